#include <gtest/gtest.h>

#include <map>

#include "foundation/lang_forms.h"
#include "lang_test_util.h"
#include "support/temp_folder.h"

namespace {

template <class M>
typename M::mapped_type Get(const M& map, const std::string& key, typename M::mapped_type otherwise) {
  auto it = map.find(key);
  return it == map.end() ? otherwise : it->second;
}

// A form that remembers what the language loader wrote into it.
class TFakeForm : public TLangMainForm {
 public:
  std::string FormCaption = "(design)";
  std::map<std::string, std::string> Captions, Hints, Texts;
  std::map<std::string, std::vector<std::string>> Items;  // list -> item texts
  std::map<std::string, std::vector<TLangMenuItem>> Menus;
  std::map<std::string, std::vector<std::string>> PageLists;
  std::map<std::string, int32_t> Counts, Positions;
  int32_t TextsChangedCalls = 0;
  // Captions as they were when TextsChanged ran (the form's dependent updates see them).
  std::map<std::string, std::string> CaptionsAtTextsChanged;

  // Main window parts.
  struct TButton {
    bool HasImage = true;
    std::string MenuItem /* empty: none */, Shortcut;
  };
  std::map<int32_t, TButton> Buttons;
  std::map<int32_t, std::string> ButtonHints;
  std::string ThumbnailCaption;
  int32_t PocketRefreshes = 0;

  void SetFormCaption(const std::string& text) override { FormCaption = text; }
  void SetCaption(const std::string& c, const std::string& text) override { Captions[c] = text; }
  void SetHint(const std::string& c, const std::string& hint) override { Hints[c] = hint; }
  void SetItem(const std::string& list, int32_t index, const std::string& text) override {
    auto& items = Items[list];
    if (items.size() <= size_t(index)) items.resize(size_t(index) + 1);
    items[size_t(index)] = text;
  }
  void SetText(const std::string& field, const std::string& text) override { Texts[field] = text; }
  std::vector<TLangMenuItem> MenuItems(const std::string& menu) const override { return Get(Menus, menu, {}); }
  std::vector<std::string> Pages(const std::string& pc) const override { return Get(PageLists, pc, {}); }
  int32_t ItemCount(const std::string& list) const override { return Get(Counts, list, 0); }
  int32_t Position(const std::string& sb) const override { return Get(Positions, sb, 0); }
  void TextsChanged() override {
    ++TextsChangedCalls;
    CaptionsAtTextsChanged = Captions;
  }
  bool ToolbarButtonMenu(int32_t b, std::string& caption, std::string& shortcut) const override {
    auto it = Buttons.find(b);
    if (it == Buttons.end() || !it->second.HasImage || it->second.MenuItem.empty()) return false;
    caption = Get(Captions, it->second.MenuItem, "(design)");
    shortcut = it->second.Shortcut;
    return true;
  }
  void SetToolbarButtonHint(int32_t b, const std::string& hint) override { ButtonHints[b] = hint; }
  void SetThumbnailCaption(const std::string& text) override { ThumbnailCaption = text; }
  void RefreshPocketCaptions() override { ++PocketRefreshes; }

  std::string Caption(const std::string& c) const { return Get(Captions, c, "(unset)"); }
};

TLangMenuItem Item(const std::string& name, int32_t tag = 0, std::vector<TLangMenuItem> items = {},
                   const std::string& caption = "x") {
  return TLangMenuItem{name, caption, tag, std::move(items)};
}
TLangMenuItem Separator(const std::string& name, std::vector<TLangMenuItem> items = {}) {
  return Item(name, 0, std::move(items), "-");
}

class LanguageLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    st_.LangDir = temp_.Path().string() + "/";
    forms_.Main = &main_;
    forms_.DirView = &dirView_;
    forms_.Info = &info_;
    forms_.Download = &download_;
    forms_.Options = &options_;
    forms_.Help = &help_;
    forms_.ShowWarning = [this](const std::string& text) { warnings_.push_back(text); };
  }
  std::string Write(const std::string& name, const std::string& text) {
    Spit(st_.LangDir + name, Bytes(text));
    return st_.LangDir + name;
  }
  TTempFolder temp_;
  TLanguageState st_;
  TFakeForm main_, dirView_, info_, download_, options_, help_;
  TLangForms forms_;
  std::vector<std::string> warnings_;
};

TEST_F(LanguageLoading, MainWindowMenuToolbarAndGameWindows) {
  main_.Menus["PM_Menu"] = {
      Item("MI_Menu"),
      Item("MI_File", 0,
           {Item("MI_FileOpen"), Separator("N1"), Item("MI_FileLast0", 100, {}, "&1. a.zvq"),
            Item("MI_FileLast3", 103, {}, "&4. d.sv1"), Item("MI_FileSaveAs"), Item("MI_FileMissing")}),
      Separator("N2", {Item("MI_UnderSeparator")}),
      Item("MI_Help", 0, {Item("MI_HelpCont"), Item("MI_HelpProductHomePage")}),
      Item("MI_GameWeight"),
  };
  main_.Buttons[0] = {true, "MI_FileOpen", "O"};
  main_.Buttons[1] = {true, "MI_FileSaveAs", "Shift+S"};
  main_.Buttons[2] = {true, "MI_HelpCont", ""};
  main_.Buttons[3] = {false, "MI_FileOpen", "O"};  // no image: left alone
  main_.Buttons[4] = {true, "", ""};               // no menu item: left alone
  main_.Buttons[22] = {true, "MI_Exit", ""};       // an item outside PM_Menu's captions
  const std::string path = Write("english.lng",
                                 "[Main Form]\n<MI_Menu>Menu\n<MI_File>File\n<MI_FileOpen>Open...\n"
                                 "<MI_FileSaveAs>Save As\xE2\x80\xA6\n<MI_FileLast0>must not appear\n"
                                 "<MI_UnderSeparator>must not appear\n<MI_Help>Help\n<MI_HelpCont>Contents\n"
                                 "<MI_HelpProductHomePage>own key\n<MI_HelpZorvaHomePage>Product Site\n"
                                 "<SD_SaveImage>Save Solved Image\n<MI_GameWeight>Weight\n"
                                 "[Thumbnail]\n<FormCaption>Overview\n");
  ASSERT_TRUE(LoadLanguage(st_, path, forms_));
  EXPECT_TRUE(warnings_.empty());

  EXPECT_EQ(main_.Caption("MI_FileOpen"), "Open...");
  EXPECT_EQ(main_.Caption("MI_FileMissing"), "MI_FileMissing") << "a missing key shows the name";
  EXPECT_EQ(main_.Caption("MI_FileLast0"), "(unset)") << "recent-file items keep their captions";
  EXPECT_EQ(main_.Caption("N1"), "(unset)") << "separators are skipped";
  EXPECT_EQ(main_.Caption("MI_UnderSeparator"), "(unset)");
  EXPECT_EQ(main_.Caption("MI_HelpProductHomePage"), "Product Site");

  EXPECT_EQ(main_.ButtonHints[0], "Open (O)") << "hints follow the new captions";
  EXPECT_EQ(main_.ButtonHints.count(3), 0u);
  EXPECT_EQ(main_.ButtonHints[22], "(design)");
  EXPECT_EQ(main_.TextsChangedCalls, 1);
  EXPECT_EQ(main_.CaptionsAtTextsChanged["MI_GameWeight"], "Weight")
      << "the weight mode is refreshed after the menu pass overwrote its caption";

  EXPECT_EQ(main_.ThumbnailCaption, "Overview");
  EXPECT_EQ(main_.PocketRefreshes, 1);
}

TEST_F(LanguageLoading, DialogTextsOneOfEachKind) {
  dirView_.Menus["PM_Jigs"] = {Item("PMI_JigsOpen"), Separator("N1")};
  options_.PageLists["PC_Pages"] = {"TS_AutoSave"};
  options_.Counts["CB_PlayModes"] = 3;
  options_.Positions["SB_AutoChange"] = 10;
  const std::string path =
      Write("t.lng",
            "[All]\n<B_Ok>OK\n<B_Close>Close\n"
            "[Load/Save Form]\n<B_Ok>wrong section\n<RotateOn>Rot on\n<Mix>Mixing\n<Mix_Spreadout>Spread\n"
            "<Shapes0>S0\n<PMI_JigsOpen>Open\n<B_Extra>Download$DJigsaws\n"
            "[Info]\n<FormCaption>Information\n<L_JigCap>Jigsaw:\n"
            "[Download]\n<FormCaption>Download Jigsaws\n<DownMode0>Selected Jigsaw\n<DownMode2>All jigsaws\n"
            "[Options]\n<TS_AutoSave>Autosave\n<L_AutoInterval>Every %d minutes\n<CB_PlayModes2>Other\n"
            "<Key6>Right + Shift\n"
            "[Quick Help]\n<L_Ctrl>Rotate:\n");
  ASSERT_TRUE(LoadLanguage(st_, path, forms_));
  // The browser: captions from [All] first, renamed keys, line breaks, texts and hints by index.
  EXPECT_EQ(dirView_.Caption("B_Ok"), "OK");
  EXPECT_EQ(dirView_.Caption("L_Mix"), "Mixing");
  EXPECT_EQ(dirView_.Caption("PMI_JigsOpen"), "Open");
  EXPECT_EQ(dirView_.Caption("B_Extra"), "Download\r\nJigsaws");
  EXPECT_EQ(dirView_.Texts["RotateOnText"], "Rot on");
  EXPECT_EQ(dirView_.Texts["ShapeNames1"], "Shapes1");
  EXPECT_EQ(dirView_.Hints["MixImages0"], "Mix_Random") << "a missing text shows its key";
  EXPECT_EQ(dirView_.Hints["MixImages1"], "Spread");
  EXPECT_EQ(dirView_.Hints["ShapeImages0"], "S0");
  EXPECT_EQ(dirView_.TextsChangedCalls, 1) << "the rotation and fit states are shown again";
  EXPECT_EQ(info_.FormCaption, "Information");
  EXPECT_EQ(info_.Caption("L_JigCap"), "Jigsaw:");
  EXPECT_EQ(st_.DownloadCaption, "Download Jigsaws");
  EXPECT_EQ(download_.Caption("B_Ok"), "Close");
  EXPECT_EQ(download_.Items["CB_DownMode"], (std::vector<std::string>{"Selected Jigsaw", "DownMode1", "All jigsaws"}));
  // Options: page captions, formats shown with the scroll position, lists filled to their count.
  EXPECT_EQ(options_.Caption("TS_AutoSave"), "Autosave");
  EXPECT_EQ(options_.Texts["AutoIntervalFormat"], "Every %d minutes");
  EXPECT_EQ(options_.Caption("L_AutoInterval"), "Every 10 minutes");
  EXPECT_EQ(options_.Items["CB_PlayModes"], (std::vector<std::string>{"CB_PlayModes0", "CB_PlayModes1", "Other"}));
  EXPECT_EQ(options_.Items["CB_PlayMoveOW"].at(6), "Right + Shift");
  EXPECT_EQ(options_.Caption("CB_AutoSave"), "CB_AutoSave") << "looked up by name, missing here";
  EXPECT_EQ(help_.Caption("L_Ctrl1"), "Rotate:") << "the second line takes the same text";
  EXPECT_EQ(help_.TextsChangedCalls, 1) << "laid out again for the new widths";
  EXPECT_EQ(help_.CaptionsAtTextsChanged, help_.Captions) << "after every caption is in";
}

TEST_F(LanguageLoading, HostileFormatsInTheFileCannotHurt) {
  options_.Positions["SB_AutoChange"] = 5;
  const std::string path = Write("t.lng", "[Options]\n<L_AutoInterval>%s %s %n %d%9999999999d\n");
  ASSERT_TRUE(LoadLanguage(st_, path, forms_));
  // The one argument fills the first "%s"; the rest write nothing; the width is capped.
  EXPECT_EQ(options_.Caption("L_AutoInterval"), "5  %n " + std::string(4096, ' '));
}

TEST_F(LanguageLoading, MissingFileWarnsAndKeepsTheLanguage) {
  const std::string good = Write("good.lng", "[Options]\n<MS_CantFindLangFile>No file:$D%s\n[All]\n<B_Ok>OK\n");
  ASSERT_TRUE(LoadLanguage(st_, good, forms_));
  main_ = TFakeForm();
  const std::string missing = st_.LangDir + "missing.lng";
  EXPECT_FALSE(LoadLanguage(st_, missing, forms_));
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], "No file:$D" + missing) << "formatted in the language still loaded";
  EXPECT_EQ(GetLangString(st_, 1, "B_Ok"), "OK") << "the loaded language stays";
  EXPECT_EQ(main_.TextsChangedCalls, 0) << "no form is touched";

  // A file that exists but cannot be read whole is refused the same way.
  std::vector<uint8_t> big(kMaxLangFileSize + 1, ' ');
  Spit(st_.LangDir + "big.lng", big);
  EXPECT_FALSE(LoadLanguage(st_, st_.LangDir + "big.lng", forms_));
  EXPECT_EQ(warnings_.size(), 2u);
  EXPECT_EQ(GetLangString(st_, 1, "B_Ok"), "OK");
}

// With no language loaded yet (the English file itself is missing) the warning still names
// the file, in the distributed English words.
TEST_F(LanguageLoading, MissingFirstLanguageIsNamedInEnglish) {
  const std::string missing = st_.LangDir + "english.lng";
  EXPECT_FALSE(LoadLanguage(st_, missing, forms_));
  ASSERT_EQ(warnings_.size(), 1u);
  EXPECT_EQ(warnings_[0], "Cannot find the language file$D" + missing);
}

// Every text of the dialogs from a file where each key's value names its section and key: each
// control, list item, text and hint shows the entry it is made for and no other.
TEST_F(LanguageLoading, EveryDialogTextComesFromItsOwnEntry) {
  using TNames = std::vector<std::string>;
  // clang-format off
  const std::vector<std::pair<std::string, TNames>> file = {
      {"All", {"B_Ok", "B_Cancel", "B_Close"}},
      {"Load/Save Form",
       {"L_Comment", "RotateOn", "RotateOff", "FitOn", "FitOff", "Mix", "Mix_Random", "Mix_Spreadout", "Shapes0",
        "Shapes1", "Shapes2", "Shapes3", "Shapes4", "Shapes5", "Shapes6", "Borders0", "Borders1", "TS_Jigs", "TS_Games",
        "TS_Level", "L_FileNameCap", "PMI_JigsOpen", "PMI_GamesDel", "B_Extra"}},
      {"Info", {"FormCaption", "L_Rotation", "L_JigCap"}},
      {"Download", {"FormCaption", "L_DownMode", "DownMode0", "DownMode1", "DownMode2", "B_Download", "B_Stop"}},
      {"Options",
       {"FormCaption", "TS_AutoSave", "TS_Play", "CB_AutoSave", "L_AutoInterval", "CB_SoundPlay", "L_PlayModes",
        "CB_PlayModes0", "CB_PlayModes1", "L_PlayRotCW", "L_PlayRotCCW", "L_PlayMoveOW", "Key0", "Key6",
        "CB_PlaySingleWin", "CB_PlayClickToDrag", "L_StuckKoef", "GB_VisualEmboss", "RB_VisualEmboss0",
        "RB_VisualEmboss1", "RB_VisualEmboss2", "RB_VisualEmboss3", "GB_VisualWood", "RB_VisualWood0",
        "RB_VisualWood1", "RB_VisualWood2", "CB_VisualShowJoin", "L_LangListCap", "L_DnSrcCap", "CB_UseSecure",
        "L_SecureMethodCap"}},
      {"Quick Help",
       {"FormCaption", "L_Click", "L_Contents", "L_Open", "L_Download", "L_Menu", "L_RotateCW", "L_RotateCCW", "L_Ctrl",
        "L_MoveOW", "L_Switch", "L_Spacebar", "CB_Show"}},
  };
  // clang-format on
  std::string text;
  for (const auto& [section, keys] : file) {
    text += "[" + section + "]\n";
    for (const std::string& k : keys)
      text += "<" + k + ">" + section + "/" + k + (k == "L_AutoInterval" || k == "L_StuckKoef" ? " %d" : "") + "\n";
  }
  dirView_.Menus["PM_Jigs"] = {Item("PMI_JigsOpen")};
  dirView_.Menus["PM_Games"] = {Separator("N1"), Item("PMI_GamesDel")};
  options_.PageLists["PC_Pages"] = {"TS_AutoSave", "TS_Play"};
  options_.Counts["CB_PlayModes"] = 2;
  options_.Positions["SB_AutoChange"] = 10;
  options_.Positions["SB_StuckKoef"] = 7;
  ASSERT_TRUE(LoadLanguage(st_, Write("t.lng", text), forms_));

  using TTexts = std::map<std::string, std::string>;
  const std::string ls = "Load/Save Form/", op = "Options/", qh = "Quick Help/";
  TTexts dirTexts = {{"RotateOnText", ls + "RotateOn"},    {"RotateOffText", ls + "RotateOff"},
                     {"FitOnText", ls + "FitOn"},          {"FitOffText", ls + "FitOff"},
                     {"MixRandomText", ls + "Mix_Random"}, {"MixSpreadOutText", ls + "Mix_Spreadout"}};
  TTexts dirHints = {{"MixImages0", ls + "Mix_Random"}, {"MixImages1", ls + "Mix_Spreadout"}};
  for (int i = 0; i <= 6; ++i) {
    dirTexts["ShapeNames" + std::to_string(i)] = dirHints["ShapeImages" + std::to_string(i)] =
        ls + "Shapes" + std::to_string(i);
  }
  for (int i = 0; i <= 1; ++i) {
    dirTexts["BorderNames" + std::to_string(i)] = dirHints["BorderImages" + std::to_string(i)] =
        ls + "Borders" + std::to_string(i);
  }
  EXPECT_EQ(dirView_.Texts, dirTexts);
  EXPECT_EQ(dirView_.Hints, dirHints);
  TTexts dirCaptions = {{"B_Ok", "All/B_Ok"}, {"B_Cancel", "All/B_Cancel"}, {"L_Mix", ls + "Mix"}};
  for (const char* k :
       {"L_Comment", "TS_Jigs", "TS_Games", "TS_Level", "L_FileNameCap", "PMI_JigsOpen", "PMI_GamesDel", "B_Extra"})
    dirCaptions[k] = ls + k;
  EXPECT_EQ(dirView_.Captions, dirCaptions);

  EXPECT_EQ(info_.FormCaption, "Info/FormCaption");
  EXPECT_EQ(info_.Captions,
            (TTexts{{"B_Ok", "All/B_Ok"}, {"L_Rotation", "Info/L_Rotation"}, {"L_JigCap", "Info/L_JigCap"}}));

  EXPECT_EQ(download_.FormCaption, "Download/FormCaption");
  EXPECT_EQ(download_.Captions, (TTexts{{"L_DownMode", "Download/L_DownMode"},
                                        {"B_Download", "Download/B_Download"},
                                        {"B_Stop", "Download/B_Stop"},
                                        {"B_Ok", "All/B_Close"}}));
  EXPECT_EQ(download_.Items["CB_DownMode"],
            (std::vector<std::string>{"Download/DownMode0", "Download/DownMode1", "Download/DownMode2"}));

  EXPECT_EQ(options_.FormCaption, op + "FormCaption");
  TTexts optionCaptions = {{"B_Ok", "All/B_Ok"},
                           {"B_Cancel", "All/B_Cancel"},
                           {"L_AutoInterval", op + "L_AutoInterval 10"},
                           {"L_StuckKoef", op + "L_StuckKoef 7"}};
  for (const char* k :
       {"TS_AutoSave",     "TS_Play",          "CB_AutoSave",      "CB_SoundPlay",     "L_PlayModes",
        "L_PlayRotCW",     "L_PlayRotCCW",     "L_PlayMoveOW",     "CB_PlaySingleWin", "CB_PlayClickToDrag",
        "GB_VisualEmboss", "RB_VisualEmboss0", "RB_VisualEmboss1", "RB_VisualEmboss2", "RB_VisualEmboss3",
        "GB_VisualWood",   "RB_VisualWood0",   "RB_VisualWood1",   "RB_VisualWood2",   "CB_VisualShowJoin",
        "L_LangListCap",   "L_DnSrcCap",       "CB_UseSecure",     "L_SecureMethodCap"})
    optionCaptions[k] = op + k;
  EXPECT_EQ(options_.Captions, optionCaptions);
  EXPECT_EQ(options_.Texts,
            (TTexts{{"AutoIntervalFormat", op + "L_AutoInterval %d"}, {"StuckKoefFormat", op + "L_StuckKoef %d"}}));
  EXPECT_EQ(options_.Items["CB_PlayModes"], (std::vector<std::string>{op + "CB_PlayModes0", op + "CB_PlayModes1"}));
  const std::vector<std::string> keys = {op + "Key0", "Key1", "Key2", "Key3", "Key4", "Key5", op + "Key6"};
  for (const char* combo : {"CB_PlayRotCW", "CB_PlayRotCCW", "CB_PlayMoveOW"})
    EXPECT_EQ(options_.Items[combo], keys) << combo;

  EXPECT_EQ(help_.FormCaption, qh + "FormCaption");
  TTexts helpCaptions = {{"B_Close", "All/B_Close"}, {"L_Ctrl1", qh + "L_Ctrl"}};
  for (const char* k : {"L_Click", "L_Contents", "L_Open", "L_Download", "L_Menu", "L_RotateCW", "L_RotateCCW",
                        "L_Ctrl", "L_MoveOW", "L_Switch", "L_Spacebar", "CB_Show"})
    helpCaptions[k] = qh + k;
  EXPECT_EQ(help_.Captions, helpCaptions);
}

}  // namespace
