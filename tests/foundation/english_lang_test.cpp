#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "foundation/lang.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"

namespace {

// Every key that the game looks up, by section, as the game's code names them (not as the
// shipped file lists them).
struct TRequired {
  int32_t Section;
  std::vector<const char*> Keys;
};

const std::vector<TRequired>& RequiredKeys() {
  static const std::vector<TRequired> keys = {
      {0, {"engname", "localname", "author", "l_onlyinterface"}},
      {1, {"B_Ok", "B_Cancel", "B_Close"}},
      {2,
       {"MI_Menu", "MI_File", "MI_FileOpen", "MI_FileSave", "MI_FileSaveAs", "MI_FileSaveImage",
        "MI_FileDownload", "MI_Game", "MI_GameWin1", "MI_GameWin2", "MI_GameThumb", "MI_GameBkgAll",
        "MI_GameBkgCur", "MI_GameInfo", "MI_GameSelectAll", "MI_GameArrange", "MI_GameGather", "MI_GameGlass",
        "MI_GameWeight", "MI_Pockets", "MI_PocketsPocket1", "MI_PocketsPocket2", "MI_PocketsPocket3",
        "MI_PocketsPocket4", "MI_PocketsTile", "MI_PocketsCascade", "MI_Options", "MI_Help", "MI_HelpCont",
        "MI_HelpQuick", "MI_HelpHomePage", "MI_HelpProductHomePage", "MI_HelpZorvaHomePage", "MI_HelpReport",
        "MI_HelpCredits", "MI_HelpAbout", "MI_FullScreen", "MI_Min", "MI_Exit", "MI_GameWeightOn",
        "MI_GameWeightOff", "MI_GameBkgWin1", "MI_GameBkgWin2", "MI_GameSelectAllWin1", "MI_GameSelectAllWin2",
        "MI_GameBkgPocket1", "MI_GameBkgPocket2", "MI_GameBkgPocket3", "MI_GameBkgPocket4",
        "MI_GameSelectAllPocket1", "MI_GameSelectAllPocket2", "MI_GameSelectAllPocket3",
        "MI_GameSelectAllPocket4", "SD_SaveImage", "Q_SaveChanges", "Q_Gather", "MS_PaintError",
        "Prog_OpenJig", "Prog_SaveSolve", "Prog_AutoSaveSolve", "Prog_ChangeEmboss"}},
      {3,
       {"Cap_Load", "Cap_Save", "B_Save", "B_Next", "B_Open", "B_Extra", "L_Comment", "L_FileNameCap", "TS_Jigs",
        "TS_Games", "TS_Level", "PMI_JigsOpen", "PMI_JigsDel", "PMI_JigsDelAll", "PMI_GamesOpen", "PMI_GamesDel",
        "PMI_GamesDelAll", "L_PieceNum", "RotateOn", "RotateOff", "FitOn", "FitOff", "Mix", "Mix_Random",
        "Mix_Spreadout", "Shapes0", "Shapes1", "Shapes2", "Shapes3", "Shapes4", "Shapes5", "Shapes6", "Borders0",
        "Borders1", "MS_EnterFileName", "MS_InvalidFileName", "MS_CantFindFile", "MS_CantDeleteFile",
        "Q_OverwriteFile", "Q_DeleteFile", "Q_DelAllJigs", "Q_DelAllGames"}},
      {4, {"PocketCaption"}},
      {5,
       {"FormCaption", "TS_AutoSave", "TS_Sound", "TS_Play", "TS_Visual", "TS_Lang", "TS_Dn", "CB_AutoSave",
        "L_AutoInterval", "CB_SoundPlay", "L_PlayModes", "CB_PlayModes0", "CB_PlayModes1", "CB_PlayModes2",
        "L_PlayRotCW", "L_PlayRotCCW", "L_PlayMoveOW", "Key0", "Key1", "Key2", "Key3", "Key4", "Key5", "Key6",
        "CB_PlaySingleWin", "CB_PlayClickToDrag", "L_StuckKoef", "GB_VisualEmboss", "RB_VisualEmboss0",
        "RB_VisualEmboss1", "RB_VisualEmboss2", "RB_VisualEmboss3", "GB_VisualWood", "RB_VisualWood0",
        "RB_VisualWood1", "RB_VisualWood2", "GB_VisualWoodColor", "CB_VisualShowJoin", "L_LangListCap",
        "L_DnSrcCap", "CB_UseSecure", "L_SecureMethodCap", "MS_KeysMustBeDiff", "MS_CantFindLangFile"}},
      {6, {"FormCaption", "L_Rotation", "L_JigCap", "L_PieceNum", "L_SolvedPercent", "l_UnsolvedNum"}},
      {8, {"FormCaption", "L_Thanks"}},
      {9, {"FormCaption"}},
      {10, {"FormCaption"}},
      {11,
       {"FormCaption", "L_DownMode", "DownMode0", "DownMode1", "DownMode2", "B_Download", "B_Stop",
        "ProcConnect", "ProcDisconnect", "ProcReceivingData", "MS_ListEmpty", "MS_SelJigsaw", "MS_NoNewJigs",
        "MS_SomeFailed", "MS_FileNotFound", "MS_InvalidLogin", "MS_TcpNotInstalled", "Q_TryAnotherDnSrc",
        "Q_OpenFirstJigsaw"}},
      {12, {"FormCaption", "L_Congratulations", "L_Solved", "L_AskForSave", "B_Save"}},
      {13,
       {"FormCaption", "L_Click", "L_Contents", "L_Open", "L_Download", "L_Menu", "L_RotateCW", "L_RotateCCW",
        "L_Ctrl", "L_MoveOW", "L_Switch", "L_Spacebar", "CB_Show"}},
      {14, {"L_PalCap", "L_GammaCap", "L_DefColCap", "L_SelColCap", "L_BkgPicsCap"}},
  };
  return keys;
}

// The texts the game formats, with the kinds of their arguments in order.
struct TFormatted {
  int32_t Section;
  const char* Key;
  const char* Kinds;  // 'd' a number, 's' a text
};
const TFormatted kFormatted[] = {
    {3, "L_PieceNum", "d"},          {3, "MS_CantFindFile", "s"},    {3, "MS_CantDeleteFile", "s"},
    {3, "Q_OverwriteFile", "s"},     {3, "Q_DeleteFile", "s"},       {4, "PocketCaption", "dd"},
    {5, "L_AutoInterval", "d"},      {5, "L_StuckKoef", "d"},        {5, "MS_CantFindLangFile", "s"},
    {6, "L_PieceNum", "d"},          {6, "L_SolvedPercent", "d"},    {6, "l_UnsolvedNum", "d"},
    {11, "MS_SomeFailed", "d"},      {11, "MS_FileNotFound", "s"},   {11, "MS_InvalidLogin", "s"},
    {11, "Q_TryAnotherDnSrc", "ss"},
};

std::string LangDir() {
  const char* data = std::getenv("ZORVA_DATA_DIR");
  return std::string(data ? data : "data") + "/language/";
}

class EnglishLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    st_.LangDir = LangDir();
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLangLines(LangFilePath(st_, "english"), lines));
    st_.LangList = ParseLangLines(lines);
  }
  const TLangEntry* Find(int32_t section, const std::string& key) const {
    for (const TLangEntry& e : st_.LangList)
      if (e.Section == section && SameAsciiText(e.Key, key)) return &e;
    return nullptr;
  }
  TLanguageState st_;
};

TEST_F(EnglishLanguage, HasEveryKeyTheGameLooksUp) {
  for (const TRequired& r : RequiredKeys())
    for (const char* key : r.Keys) {
      const TLangEntry* e = Find(r.Section, key);
      ASSERT_NE(e, nullptr) << "section " << r.Section << " key " << key;
      EXPECT_FALSE(e->Value.empty()) << "section " << r.Section << " key " << key;
    }
}

TEST_F(EnglishLanguage, FormattedTextsTakeTheirArguments) {
  for (const TFormatted& f : kFormatted) {
    const TLangEntry* e = Find(f.Section, f.Key);
    ASSERT_NE(e, nullptr) << f.Key;
    // The argument kinds in order, "%%" skipped.
    std::string kinds;
    for (size_t i = 0; i + 1 < e->Value.size(); ++i) {
      if (e->Value[i] != '%') continue;
      if (e->Value[i + 1] == '%') {
        ++i;
        continue;
      }
      kinds += e->Value[i + 1];
    }
    EXPECT_EQ(kinds, f.Kinds) << "section " << f.Section << " key " << f.Key << ": " << e->Value;
  }
  EXPECT_EQ(WideFormat(GetLangString(st_, 4, "PocketCaption"), {3, 12}), "Pocket 3 (12)");
  EXPECT_EQ(WideFormat(GetLangString(st_, 6, "L_SolvedPercent"), {40}), "Solved: 40%");
}

TEST_F(EnglishLanguage, UsesTheGamesOwnWordingWhereItIsFixed) {
  EXPECT_EQ(GetLangString(st_, 2, "SD_SaveImage"), "Save Solved Image");
  EXPECT_EQ(GetLangString(st_, 11, "DownMode2"), "All jigsaws");
  EXPECT_EQ(GetLangString(st_, 5, "Key6"), "Right + Shift");
  // The colour picker takes the menu caption without its ellipsis.
  EXPECT_EQ(StripEllipsis(GetLangString(st_, 2, "MI_GameBkgAll")), "Background of All Windows");
  EXPECT_NE(GetLangText(st_, 3, "B_Extra").find("\r\n"), std::string::npos) << "two lines";
}

TEST_F(EnglishLanguage, NoKeyTwiceInASection) {
  // A second entry would never be seen (the first wins): a slip in the file.
  for (size_t i = 0; i < st_.LangList.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      EXPECT_FALSE(st_.LangList[i].Section == st_.LangList[j].Section &&
                   SameAsciiText(st_.LangList[i].Key, st_.LangList[j].Key))
          << st_.LangList[i].Key;
}

TEST_F(EnglishLanguage, IsListedWithItsFlag) {
  TLanguageState st;
  st.LangDir = LangDir();
  ScanLanguages(st);
  ASSERT_TRUE(st.LangInfoList);
  const TLangInfo* english = nullptr;
  for (const TLangInfo& i : *st.LangInfoList)
    if (i.Name == "english") english = &i;
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(english->engname, "English");

  // The language list shows 60 x 40 flags on the transparent colour magenta.
  TDibImage flag;
  InitDib(flag);
  ASSERT_TRUE(LoadBmpFile(flag, FlagFilePath(st, "english")));
  EXPECT_EQ(flag.Width * 1000 + flag.Height, 60040);
  EXPECT_EQ(GetDibPixel(flag, 0, 0), 0xFF00FF) << "corners show the list through";
  EXPECT_NE(GetDibPixel(flag, 30, 20), 0xFF00FF);
  FreeDib(flag);
}

}  // namespace
