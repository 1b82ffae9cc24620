#include "ui/dialogs/options_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "foundation/dib_ops.h"
#include "foundation/lang_forms.h"
#include "foundation/picture_loading.h"
#include "game/settings_table.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "support/panel_bounds.h"
#include "support/recording_host.h"
#include "support/same_dib.h"
#include "support/temp_folder.h"
#include "ui/dialogs/options_art.h"
#include "ui/dialogs/options_form.h"

namespace {

namespace fs = std::filesystem;

struct TBox {
  std::string Text;
  int Flags;
};

// The dialog in English over a private language folder with three languages: English (flag
// and help), Deutsch (own flag, help) and Suomi (neither), and two download sources.
class OptionsDialog : public ::testing::Test {
 public:
  void SetUp() override {
    const std::string data = std::string(getenv("ZORVA_DATA_DIR")) + "/language/";
    lang.LangDir = dir.Path().string() + "/";
    fs::copy_file(data + "english.lng", dir.File("english.lng"));
    fs::copy_file(data + "english.bmp", dir.File("english.bmp"));
    Write("english.chm", "help");
    Write("deutsch.lng", "[Language Info]\n<engname>German\n<localname>Deutsch\n<author>Anna\n[Options]\n");
    Write("deutsch.chm", "help");
    WriteFlag("deutsch.bmp", 0x0000C0);
    Write("suomi.lng",
          "[Language Info]\n<engname>Finnish\n<localname>Suomi\n<author>Aino\n"
          "<l_onlyinterface>Only the interface\n");

    TOptionsFormEnv env;
    env.Lang = &lang;
    env.ServerHosts = {"first.example", "second.example"};
    env.ShowHelpTopic = [this](const std::string& topic) { topics.push_back(topic); };
    env.PickColor = [this](const TColorPickRequest& r, int32_t& picked) { return picker ? picker(r, picked) : 2; };
    form = std::make_unique<TF_Options>(env);
    TLangForms forms;
    forms.Options = form.get();
    ASSERT_TRUE(LoadLanguage(lang, dir.File("english.lng"), forms));
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int flags) {
      boxes.push_back({text, flags});
      return int(kIdOk);
    });
  }
  void TearDown() override {
    form.reset();
    SetMessageBoxHandler({});
  }

  void Write(const std::string& name, const std::string& text) { std::ofstream(dir.File(name)) << text; }
  void WriteFlag(const std::string& name, uint32_t color) {
    TDibHolder flag;
    ASSERT_TRUE(CreateDib24(*flag, kFlagWidth, kFlagHeight));
    FillDibRect(*flag, 0, 0, kFlagWidth, kFlagHeight, color);
    ASSERT_TRUE(SaveBmpFile(*flag, dir.File(name)));
  }

  static TOptionsValues Sample() {
    TOptionsValues v;
    v.AutoSave = {false, 25};
    v.Settings.Flags.SoundPlay = false;
    v.Settings.Flags.ShowJoin = true;
    v.PlaySettings = StandardMouseScheme;
    TGameOptions& o = v.GameOptions;
    o.StuckKoef = 17;
    o.EmbossStyle = TEmbossStyle::Cardboard;
    o.WoodStyle = TWoodStyle::Wood;
    o.WoodColor = 0x336699;
    o.DnSrc = "SECOND.example";
    o.UseSecure = false;
    o.SecureMethodInd = 3;
    o.ThumbPath = "/thumbs/";
    o.SiteJigsawsDir = "zorva/jigsaws_quix/";
    return v;
  }
  // The sample as the dialog hands it back: the source spelled as the list names it.
  static TOptionsValues Shown() {
    TOptionsValues v = Sample();
    v.GameOptions.DnSrc = "second.example";
    return v;
  }
  // What OK hands back.
  TGameOptions Chosen() const { return form->Values().GameOptions; }

  // The main window's part: values in, then the modeless show the tests drive.
  void Open(const TOptionsValues& v) {
    form->LoadValues(v);
    form->show();
    QCoreApplication::processEvents();
  }

  template <class T>
  T* Find(const char* name) {
    T* w = form->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Check boxes and radio buttons take clicks on their box and caption only, at their left.
  void Click(const char* name) {
    auto* b = Find<QAbstractButton>(name);
    const bool boxed = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, boxed ? QPoint(8, b->height() / 2) : b->rect().center());
  }
  void ShowPage(const char* name) {
    auto* pages = Find<QTabWidget>("PC_Pages");
    pages->setCurrentWidget(Find<QWidget>(name));
    QCoreApplication::processEvents();  // lays the page out before it is clicked
  }
  // Chooses a list item with the arrow keys, as a player does: every item passed on the way
  // is chosen in turn.
  void Choose(const char* name, int index) {
    auto* combo = Find<QComboBox>(name);
    for (int guard = 0; combo->currentIndex() < index && guard < 10; ++guard) QTest::keyClick(combo, Qt::Key_Down);
    for (int guard = 0; combo->currentIndex() > index && guard < 10; ++guard) QTest::keyClick(combo, Qt::Key_Up);
    ASSERT_EQ(combo->currentIndex(), index) << name;
  }
  std::string LabelText(const char* name) { return Find<QLabel>(name)->text().toStdString(); }

  TTempFolder dir;
  TLanguageState lang;
  std::unique_ptr<TF_Options> form;
  std::vector<TBox> boxes;
  std::vector<std::string> topics;
  std::function<int(const TColorPickRequest&, int32_t&)> picker;
};

bool SameBinding(const TMouseBinding& a, const TMouseBinding& b) { return a.Button == b.Button && a.Shift == b.Shift; }

// Every value the dialog shows.
void ExpectSameValues(const TOptionsValues& a, const TOptionsValues& b) {
  EXPECT_EQ(a.AutoSave.Enabled, b.AutoSave.Enabled);
  EXPECT_EQ(a.AutoSave.Interval, b.AutoSave.Interval);
  EXPECT_EQ(a.Settings.Flags.SoundPlay, b.Settings.Flags.SoundPlay);
  EXPECT_EQ(a.Settings.Flags.ShowJoin, b.Settings.Flags.ShowJoin);
  const TPlaySettings &pa = a.PlaySettings, &pb = b.PlaySettings;
  EXPECT_TRUE(SameBinding(pa.RotCW, pb.RotCW));
  EXPECT_TRUE(SameBinding(pa.RotCCW, pb.RotCCW));
  EXPECT_TRUE(SameBinding(pa.MoveOW, pb.MoveOW));
  EXPECT_EQ(pa.SingleMainWindow, pb.SingleMainWindow);
  EXPECT_EQ(pa.ClickToDrag, pb.ClickToDrag);
  const TGameOptions &oa = a.GameOptions, &ob = b.GameOptions;
  EXPECT_EQ(oa.StuckKoef, ob.StuckKoef);
  EXPECT_EQ(oa.EmbossStyle, ob.EmbossStyle);
  EXPECT_EQ(oa.WoodStyle, ob.WoodStyle);
  EXPECT_EQ(oa.WoodColor, ob.WoodColor);
  EXPECT_EQ(oa.DnSrc, ob.DnSrc);
  EXPECT_EQ(oa.UseSecure, ob.UseSecure);
  EXPECT_EQ(oa.SecureMethodInd, ob.SecureMethodInd);
  EXPECT_EQ(oa.ThumbPath, ob.ThumbPath);
  EXPECT_EQ(oa.SiteJigsawsDir, ob.SiteJigsawsDir);
}

// --- Opening -----------------------------------------------------------------------------------

TEST_F(OptionsDialog, OpeningShowsTheCurrentSettingsInTheLanguage) {
  lang.CurrentLanguage = "Deutsch";  // matched without regard to letter case
  Open(Sample());
  EXPECT_EQ(form->windowTitle().toStdString(), "Options");
  auto* pages = Find<QTabWidget>("PC_Pages");
  ASSERT_EQ(pages->count(), 6);
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_EQ(pages->tabText(3).toStdString(), "Effects");
  for (int page = pages->count() - 1; page >= 0; --page) {
    pages->setCurrentIndex(page);
    QCoreApplication::processEvents();
    EXPECT_EQ(ControlsOutsideTheirPanels(pages->currentWidget()), std::vector<std::string>()) << page;
  }

  EXPECT_FALSE(Find<QCheckBox>("CB_AutoSave")->isChecked());
  EXPECT_EQ(Find<QScrollBar>("SB_AutoChange")->value(), 25);
  EXPECT_EQ(LabelText("L_AutoInterval"), "Every 25 minutes");
  EXPECT_FALSE(Find<QCheckBox>("CB_SoundPlay")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("CB_VisualShowJoin")->isChecked());

  EXPECT_EQ(Find<QComboBox>("CB_PlayModes")->currentText().toStdString(), "Standard");
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCW")->currentText().toStdString(), "Right + Ctrl");
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCCW")->currentText().toStdString(), "Left + Ctrl");
  EXPECT_EQ(Find<QComboBox>("CB_PlayMoveOW")->currentText().toStdString(), "Right");
  EXPECT_TRUE(Find<QComboBox>("CB_PlayMoveOW")->isEnabled());
  EXPECT_EQ(Find<QScrollBar>("SB_StuckKoef")->value(), 17);
  EXPECT_EQ(LabelText("L_StuckKoef"), "Snap distance: 17");

  EXPECT_TRUE(Find<QRadioButton>("RB_VisualEmboss2")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("RB_VisualWood1")->isChecked());
  EXPECT_EQ(Find<QRadioButton>("RB_VisualWood1")->text().toStdString(), "Wood");
  EXPECT_EQ(form->WoodColor(), 0x336699);
  EXPECT_FALSE(Find<QWidget>("S_ViewWoodColor")->isHidden());

  auto* list = Find<QListWidget>("LV_LangList");
  ASSERT_EQ(list->count(), 3);
  // Sorted by English name, shown by their own names.
  EXPECT_EQ(list->item(0)->text().toStdString(), "English");
  EXPECT_EQ(list->item(1)->text().toStdString(), "Suomi");
  EXPECT_EQ(list->item(2)->text().toStdString(), "Deutsch");
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_EQ(LabelText("L_LangName"), "Deutsch");
  EXPECT_EQ(LabelText("L_LangAuthor"), "Anna");
  EXPECT_TRUE(Find<QLabel>("L_LangNoHelp")->isHidden());
  EXPECT_EQ(form->LangName(), "Deutsch");  // the current name as it stands

  EXPECT_EQ(Find<QComboBox>("CB_DnSrc")->currentIndex(), 1);
  EXPECT_FALSE(Find<QCheckBox>("CB_UseSecure")->isChecked());
  EXPECT_EQ(Find<QComboBox>("CB_SecureMethod")->currentText().toStdString(), "TLS v1");
  EXPECT_FALSE(Find<QComboBox>("CB_SecureMethod")->isEnabled());
  EXPECT_EQ(Find<QLineEdit>("E_TestThumbPath")->text().toStdString(), "/thumbs/");
  EXPECT_TRUE(Find<QWidget>("P_Test")->isHidden());
  ExpectSameValues(form->Values(), Shown());
}

TEST_F(OptionsDialog, LanguageListShowsFlagsAndTheMissingHelp) {
  Open(Sample());
  auto* list = Find<QListWidget>("LV_LangList");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->currentRow(), 0);  // English, the current language
  EXPECT_EQ(list->iconSize(), QSize(kFlagWidth, kFlagHeight));
  EXPECT_TRUE(list->item(0)->data(Qt::UserRole + 1).toBool());
  EXPECT_FALSE(list->item(1)->data(Qt::UserRole + 1).toBool());  // Suomi: the default flag
  EXPECT_TRUE(list->item(2)->data(Qt::UserRole + 1).toBool());
  // Deutsch's own flag is its red, not the default flag.
  const QImage own = list->item(2)->icon().pixmap(kFlagWidth, kFlagHeight).toImage();
  EXPECT_EQ(own.pixelColor(30, 20), QColor(192, 0, 0));
  const QImage custom = list->item(1)->icon().pixmap(kFlagWidth, kFlagHeight).toImage();
  EXPECT_NE(custom.pixelColor(30, 20), QColor(192, 0, 0));
  EXPECT_EQ(custom.pixelColor(0, 0).alpha(), 0);  // magenta is transparent

  list->setCurrentRow(1);
  EXPECT_EQ(form->LangName(), "suomi");
  EXPECT_EQ(LabelText("L_LangName"), "Suomi");
  EXPECT_EQ(LabelText("L_LangNoHelp"), "Only the interface");
  EXPECT_FALSE(Find<QLabel>("L_LangNoHelp")->isHidden());
}

// --- OK writes exactly what changed ------------------------------------------------------------

TEST_F(OptionsDialog, EachKindOfControlChangesOnlyItsValue) {
  const TOptionsValues base = Sample();
  struct TCase {
    const char* What;
    const char* Page;
    std::function<void(OptionsDialog&)> Change;
    std::function<void(TOptionsValues&)> Expect;
  };
  const std::vector<TCase> cases = {
      {"check box", "TS_AutoSave", [](OptionsDialog& t) { t.Click("CB_AutoSave"); },
       [](TOptionsValues& v) { v.AutoSave.Enabled = true; }},
      {"sound", "TS_Sound", [](OptionsDialog& t) { t.Click("CB_SoundPlay"); },
       [](TOptionsValues& v) { v.Settings.Flags.SoundPlay = true; }},
      {"joins", "TS_Visual", [](OptionsDialog& t) { t.Click("CB_VisualShowJoin"); },
       [](TOptionsValues& v) { v.Settings.Flags.ShowJoin = false; }},
      {"scroll bar", "TS_AutoSave",
       [](OptionsDialog& t) {
         QTest::keyClick(t.Find<QScrollBar>("SB_AutoChange"), Qt::Key_Right);
         EXPECT_EQ(t.LabelText("L_AutoInterval"), "Every 26 minutes");
       },
       [](TOptionsValues& v) { v.AutoSave.Interval = 26; }},
      {"snap distance", "TS_Play",
       [](OptionsDialog& t) {
         QTest::keyClick(t.Find<QScrollBar>("SB_StuckKoef"), Qt::Key_PageUp);
         EXPECT_EQ(t.LabelText("L_StuckKoef"), "Snap distance: 22");
       },
       [](TOptionsValues& v) { v.GameOptions.StuckKoef = 22; }},
      {"binding list", "TS_Play", [](OptionsDialog& t) { t.Choose("CB_PlayRotCCW", 2); },
       [](TOptionsValues& v) { v.PlaySettings.RotCCW = MouseCombinations[2]; }},
      {"click to drag", "TS_Play", [](OptionsDialog& t) { t.Click("CB_PlayClickToDrag"); },
       [](TOptionsValues& v) { v.PlaySettings.ClickToDrag = 1; }},
      {"emboss", "TS_Visual", [](OptionsDialog& t) { t.Click("RB_VisualEmboss0"); },
       [](TOptionsValues& v) { v.GameOptions.EmbossStyle = TEmbossStyle::None; }},
      {"wood", "TS_Visual", [](OptionsDialog& t) { t.Click("RB_VisualWood2"); },
       [](TOptionsValues& v) { v.GameOptions.WoodStyle = TWoodStyle::Shadows; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    Open(base);
    ShowPage(c.Page);
    c.Change(*this);
    Click("B_Ok");
    EXPECT_EQ(form->result(), kIdOk);
    EXPECT_TRUE(form->isHidden());
    TOptionsValues expected = Shown();
    c.Expect(expected);
    ExpectSameValues(form->Values(), expected);
  }
  EXPECT_TRUE(boxes.empty());
}

// The secure methods at both ends of their list, the first one included.
TEST_F(OptionsDialog, DownloadAndLanguageChoicesComeBackFromOk) {
  for (const int method : {0, 6}) {
    SCOPED_TRACE(method);
    Open(Sample());
    ShowPage("TS_Dn");
    Choose("CB_DnSrc", 0);
    Click("CB_UseSecure");
    EXPECT_TRUE(Find<QComboBox>("CB_SecureMethod")->isEnabled());
    Choose("CB_SecureMethod", method);
    ShowPage("TS_Lang");
    auto* list = Find<QListWidget>("LV_LangList");
    const QRect item = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(form->LangName(), "deutsch");
    Click("B_Ok");
    EXPECT_EQ(form->result(), kIdOk);
    TOptionsValues expected = Sample();
    expected.GameOptions.DnSrc = "first.example";
    expected.GameOptions.UseSecure = true;
    expected.GameOptions.SecureMethodInd = method;
    ExpectSameValues(form->Values(), expected);  // the test paths stay: the panel was not shown
    EXPECT_EQ(form->LangName(), "deutsch");
  }
}

TEST_F(OptionsDialog, AfterCancelTheNextOpeningShowsTheStoredValues) {
  Open(Sample());
  Click("CB_AutoSave");
  Click("RB_VisualEmboss3");
  Choose("CB_PlayRotCW", 0);
  ShowPage("TS_Dn");
  Choose("CB_DnSrc", 0);
  Click("CB_UseSecure");
  QTest::mouseClick(Find<QWidget>("P_Form"), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(3, 3));
  Find<QLineEdit>("E_TestThumbPath")->setText("/elsewhere/");
  Click("B_Cancel");
  EXPECT_EQ(form->result(), kIdCancel);

  // Escape cancels too.
  Open(Sample());
  ExpectSameValues(form->Values(), Shown());
  EXPECT_FALSE(Find<QCheckBox>("CB_UseSecure")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("E_TestThumbPath")->text().toStdString(), "/thumbs/");
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_EQ(form->result(), kIdCancel);
  EXPECT_TRUE(boxes.empty());
}

// --- Play page -----------------------------------------------------------------------------------

TEST_F(OptionsDialog, PlayModesFollowTheBindings) {
  Open(Sample());
  ShowPage("TS_Play");
  auto* mode = Find<QComboBox>("CB_PlayModes");
  EXPECT_EQ(mode->currentIndex(), kPlayModeStandard);
  Choose("CB_PlayRotCW", 4);
  EXPECT_EQ(mode->currentIndex(), kPlayModeOther);
  Choose("CB_PlayModes", kPlayModeSimple);
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCW")->currentText().toStdString(), "Right");
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCCW")->currentText().toStdString(), "Right + Ctrl");
  EXPECT_EQ(Find<QComboBox>("CB_PlayMoveOW")->currentText().toStdString(), "Left + Ctrl");
  EXPECT_TRUE(Find<QCheckBox>("CB_PlaySingleWin")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("CB_PlayClickToDrag")->isChecked());
  EXPECT_FALSE(Find<QComboBox>("CB_PlayMoveOW")->isEnabled());
  EXPECT_FALSE(Find<QLabel>("L_PlayMoveOW")->isEnabled());
  // "Other" changes nothing.
  Choose("CB_PlayModes", kPlayModeOther);
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCW")->currentIndex(), 3);
  Choose("CB_PlayModes", kPlayModeStandard);
  EXPECT_EQ(Find<QComboBox>("CB_PlayRotCW")->currentIndex(), 5);
  EXPECT_FALSE(Find<QCheckBox>("CB_PlaySingleWin")->isChecked());
  EXPECT_TRUE(Find<QComboBox>("CB_PlayMoveOW")->isEnabled());
  Click("CB_PlaySingleWin");
  EXPECT_FALSE(Find<QComboBox>("CB_PlayMoveOW")->isEnabled());
  EXPECT_EQ(mode->currentIndex(), kPlayModeOther);
}

TEST_F(OptionsDialog, EqualBindingsAreRefusedEvenWithTheMoveListDisabled) {
  Open(Sample());
  ShowPage("TS_Play");
  Click("CB_PlaySingleWin");
  Choose("CB_PlayRotCW", 3);  // right, as the disabled move binding
  ShowPage("TS_Sound");
  Click("B_Ok");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "Each mouse action needs its own button combination.");
  EXPECT_EQ(boxes[0].Flags, kMbOk | kMbIconExclamation);
  EXPECT_FALSE(form->isHidden());
  EXPECT_EQ(Find<QTabWidget>("PC_Pages")->currentWidget()->objectName().toStdString(), "TS_Play");
  Choose("CB_PlayRotCW", 6);
  Click("B_Ok");
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(form->result(), kIdOk);
}

TEST_F(OptionsDialog, ABindingOutsideTheListsShowsEmptyAndStaysUnchosen) {
  TOptionsValues v = Sample();
  v.PlaySettings.MoveOW = {2, 0};  // e.g. the middle button from an old saved game
  Open(v);
  EXPECT_EQ(Find<QComboBox>("CB_PlayMoveOW")->currentIndex(), -1);
  EXPECT_EQ(Find<QComboBox>("CB_PlayModes")->currentIndex(), kPlayModeOther);
  Click("B_Ok");
  EXPECT_EQ(form->result(), kIdOk);
  EXPECT_TRUE(SameBinding(form->Values().PlaySettings.MoveOW, {2, 0}));
}

// --- Effects preview ------------------------------------------------------------------------------

TEST_F(OptionsDialog, PreviewFollowsTheEmbossAndWoodChoice) {
  Open(Sample());
  ShowPage("TS_Visual");
  const TDibImage& preview = form->Preview();
  ASSERT_EQ(preview.Width, kOptionsSampleWidth);
  ASSERT_EQ(preview.Height, kOptionsSampleHeight);
  EXPECT_EQ(GetDibPixel(preview, 0, 0), 0x989898);

  // The preview is the sample drawn with the chosen styles and colour.
  TDibHolder mask, picture, expected;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadResourceFile(std::string(":/images/") + kOptionsSampleMaskFile, bytes));
  ASSERT_TRUE(DecodePicture(*mask, bytes.data(), bytes.size()));
  ASSERT_TRUE(ReadResourceFile(std::string(":/images/") + kOptionsSamplePictureFile, bytes));
  ASSERT_TRUE(DecodePicture(*picture, bytes.data(), bytes.size()));
  ASSERT_TRUE(CreateDib24(*expected, preview.Width, preview.Height));

  std::vector<std::vector<uint8_t>> seen;
  for (int e = 0; e < 4; ++e)
    for (int w = 0; w < 3; ++w) {
      SCOPED_TRACE(testing::Message() << "emboss " << e << " wood " << w);
      Click(("RB_VisualEmboss" + std::to_string(e)).c_str());
      Click(("RB_VisualWood" + std::to_string(w)).c_str());
      EXPECT_EQ(Find<QWidget>("S_ViewWoodColor")->isHidden(), w != 1);
      FillDibRect(*expected, 0, 0, preview.Width, preview.Height, 0x989898);
      DrawEmbossPreview(*expected, *mask, *picture, 0x336699, TWoodStyle(w), TEmbossStyle(e));
      EXPECT_TRUE(SameDib(preview, *expected));
      std::vector<uint8_t> copy(preview.Bits, preview.Bits + preview.ImageSize);
      for (const auto& other : seen) EXPECT_NE(copy, other);
      seen.push_back(std::move(copy));
    }
  // With no effect the piece is the plain picture.
  Click("RB_VisualEmboss0");
  Click("RB_VisualWood0");
  int piecePixels = 0;
  for (int32_t y = 0; y < preview.Height; ++y)
    for (int32_t x = 0; x < preview.Width; ++x)
      if (GetDibPixel(*mask, x, y) == 0) {
        ++piecePixels;
        ASSERT_EQ(GetDibPixel(preview, x, y), GetDibPixel(*picture, x, y));
      }
  EXPECT_GT(piecePixels, 3000);
}

TEST_F(OptionsDialog, WoodColourPickerFollowsLiveAndCancelRestores) {
  Open(Sample());
  ShowPage("TS_Visual");
  auto* swatch = Find<QWidget>("S_ViewWoodColor");
  auto previewBytes = [this] {
    return std::vector<uint8_t>(form->Preview().Bits, form->Preview().Bits + form->Preview().ImageSize);
  };
  const std::vector<uint8_t> before = previewBytes();
  std::vector<int32_t> during;
  bool previewFollowed = false;
  TColorPickRequest asked;
  picker = [&](const TColorPickRequest& r, int32_t& picked) {
    asked = r;
    r.Target->SetWoodColor(0x0000FF);
    during.push_back(form->WoodColor());
    previewFollowed = previewBytes() != before;
    picked = 0x0000FF;
    return int(kIdCancel);
  };
  QTest::mouseClick(swatch, Qt::LeftButton);
  EXPECT_EQ(asked.Caption, "Wood Color");
  EXPECT_EQ(asked.PickedColor, 0x336699);
  EXPECT_EQ(asked.GammaMode, 1);
  EXPECT_EQ(asked.PickTarget, -2);
  EXPECT_EQ(asked.DefaultColors, (std::vector<int32_t>{0x49687A, 0x92ADBE}));
  ASSERT_EQ(during.size(), 1u);
  EXPECT_EQ(during[0], 0x0000FF);
  EXPECT_TRUE(previewFollowed);
  EXPECT_EQ(form->WoodColor(), 0x336699);
  EXPECT_EQ(previewBytes(), before);

  picker = [&](const TColorPickRequest& r, int32_t& picked) {
    r.Target->SetWoodColor(0x00FF00);
    picked = 0x00FF00;
    return int(kIdOk);
  };
  QTest::mouseClick(swatch, Qt::LeftButton);
  EXPECT_EQ(form->WoodColor(), 0x00FF00);
  EXPECT_NE(previewBytes(), before);
  Click("B_Ok");
  EXPECT_EQ(Chosen().WoodColor, 0x00FF00);
}

// --- Language, test panel, help ---------------------------------------------------------------------

TEST_F(OptionsDialog, ALanguageWhoseFileVanishedIsRefused) {
  Open(Sample());
  Find<QListWidget>("LV_LangList")->setCurrentRow(1);
  fs::remove(dir.File("suomi.lng"));
  Click("B_Ok");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].Text.find(dir.File("suomi.lng")), std::string::npos);
  EXPECT_EQ(boxes[0].Flags, kMbOk | kMbIconExclamation);
  EXPECT_FALSE(form->isHidden());
  Find<QListWidget>("LV_LangList")->setCurrentRow(0);
  Click("B_Ok");
  EXPECT_EQ(form->result(), kIdOk);
}

TEST_F(OptionsDialog, TestPanelTogglesWithCtrlShiftClickAndAppliesOnlyWhenShown) {
  Open(Sample());
  auto* panel = Find<QWidget>("P_Form");
  const int height = form->height();
  QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier, QPoint(3, 3));
  EXPECT_TRUE(Find<QWidget>("P_Test")->isHidden());
  QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(3, 3));
  EXPECT_FALSE(Find<QWidget>("P_Test")->isHidden());
  EXPECT_GT(form->height(), height);
  Find<QLineEdit>("E_TestThumbPath")->setText("  /other/thumbs/  ");
  Find<QLineEdit>("E_TestSiteJigsawsDir")->setText(" test/jigsaws/ ");
  QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(3, 3));
  EXPECT_TRUE(Find<QWidget>("P_Test")->isHidden());
  EXPECT_EQ(form->height(), height);
  Click("B_Ok");
  EXPECT_EQ(Chosen().ThumbPath, "/thumbs/");

  Open(Sample());
  QTest::mouseClick(panel, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, QPoint(3, 3));
  Find<QLineEdit>("E_TestThumbPath")->setText("  /other/thumbs/  ");
  Find<QLineEdit>("E_TestSiteJigsawsDir")->setText(" test/jigsaws/ ");
  Click("B_Ok");
  EXPECT_EQ(Chosen().ThumbPath, "/other/thumbs/");
  EXPECT_EQ(Chosen().SiteJigsawsDir, "test/jigsaws/");
}

// Whatever a binding box offers, chosen and stored, shows again when the dialog next opens.
TEST_F(OptionsDialog, EveryBindingChoiceShowsAgainWhenReopened) {
  for (const char* name : {"CB_PlayRotCW", "CB_PlayRotCCW", "CB_PlayMoveOW"}) {
    Open(Sample());
    ShowPage("TS_Play");
    const int count = Find<QComboBox>(name)->count();
    ASSERT_GT(count, 1) << name;
    for (int i = 0; i < count; ++i) {
      Open(Sample());
      Choose(name, i);
      const TOptionsValues stored = form->Values();
      Open(Sample());
      Open(stored);
      EXPECT_EQ(Find<QComboBox>(name)->currentIndex(), i) << name;
    }
  }
}

TEST_F(OptionsDialog, HelpShowsTheTopicOfTheOpenPage) {
  Open(Sample());
  EXPECT_EQ(form->HelpContext(), 180);
  Click("B_Help");
  ShowPage("TS_Visual");
  EXPECT_EQ(form->HelpContext(), 190);
  QTest::keyClick(form.get(), Qt::Key_F1);
  ShowPage("TS_Dn");
  Click("B_Help");
  EXPECT_EQ(topics, (std::vector<std::string>{"save.htm", "effects.htm", "options.htm"}));

  // Without a help viewer the key does nothing.
  TOptionsFormEnv bare;
  bare.Lang = &lang;
  TF_Options helpless(bare);
  helpless.LoadValues(Sample());
  helpless.show();
  QTest::keyClick(&helpless, Qt::Key_F1);
  EXPECT_TRUE(helpless.isVisible());
}

// --- Hostile values ---------------------------------------------------------------------------------

TEST_F(OptionsDialog, HostileValuesShowTheNearestChoiceAndOkStoresSaneOnes) {
  TOptionsValues v;
  v.AutoSave.Interval = -2147483647 - 1;
  TGameOptions& o = v.GameOptions;
  o.StuckKoef = 1 << 30;
  o.EmbossStyle = TEmbossStyle(200);
  o.WoodStyle = TWoodStyle(251);
  o.WoodColor = -1;
  v.PlaySettings = {{2, 0}, {0, 0}, {1, 6}, 1, 1};  // none of the seven
  o.SecureMethodInd = 99;
  o.DnSrc = std::string(5000, 'x');
  o.ThumbPath = std::string("bad\0path", 8);
  lang.CurrentLanguage = "../../etc/passwd";
  Write("broken.lng", std::string("[Language Info]\n<engname>\xff\xfe\x00broken", 30));
  Write("broken.bmp", "BM not really a bitmap");
  Open(v);
  EXPECT_EQ(Find<QScrollBar>("SB_AutoChange")->value(), 1);
  EXPECT_EQ(Find<QScrollBar>("SB_StuckKoef")->value(), 30);
  EXPECT_TRUE(Find<QRadioButton>("RB_VisualEmboss3")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("RB_VisualWood2")->isChecked());
  EXPECT_EQ(form->WoodColor(), 0xFFFFFF);
  for (const char* c : {"CB_PlayRotCW", "CB_PlayRotCCW", "CB_PlayMoveOW"})
    EXPECT_EQ(Find<QComboBox>(c)->currentIndex(), -1) << c;
  EXPECT_EQ(Find<QComboBox>("CB_DnSrc")->currentIndex(), 0);
  EXPECT_EQ(Find<QComboBox>("CB_SecureMethod")->currentIndex(), kDefaultSecureMethod);
  auto* list = Find<QListWidget>("LV_LangList");
  EXPECT_EQ(list->count(), 4);  // the broken file still has its header
  // No language matches the current name: the first stays selected, the name as it stands.
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(form->LangName(), "../../etc/passwd");
  Click("B_Ok");
  ASSERT_EQ(boxes.size(), 1u);  // no such language file
  EXPECT_FALSE(form->isHidden());
  list->setCurrentRow(1);
  Click("B_Ok");
  EXPECT_EQ(form->result(), kIdOk);
  const TOptionsValues out = form->Values();
  EXPECT_EQ(out.GameOptions.SecureMethodInd, kDefaultSecureMethod);
  EXPECT_EQ(out.GameOptions.DnSrc, "first.example");
  EXPECT_EQ(out.AutoSave.Interval, 1);
  EXPECT_EQ(out.GameOptions.StuckKoef, 30);
  EXPECT_EQ(out.GameOptions.EmbossStyle, TEmbossStyle::FatCard);
  EXPECT_EQ(out.GameOptions.WoodStyle, TWoodStyle::Shadows);
}

// The whole options command over a session: what the player changes reaches the game only on OK.
TEST_F(OptionsDialog, OptionsCommandAppliesOnOkAndLeavesEverythingOnCancel) {
  TTestSession s;
  TSettings st;
  s.AutoSave.Interval = 15;
  s.Game.GameOptions.WoodColor = 0x224466;
  TOptionsFormEnv env;
  env.Lang = &lang;
  env.ServerHosts = {"first.example", "second.example"};
  env.PickColor = [](const TColorPickRequest&, int32_t&) { return int(kIdCancel); };
  TF_Options dialog(env);
  bool heldWhileOpen = false;

  auto playerChanges = [&](const char* button) {
    QTimer::singleShot(0, &dialog, [&, button] {
      heldWhileOpen = s.AutoSaveHold;
      QTest::mouseClick(dialog.findChild<QCheckBox*>("CB_SoundPlay"), Qt::LeftButton, {}, QPoint(8, 8));
      dialog.findChild<QRadioButton*>("RB_VisualEmboss3")->click();
      dialog.findChild<QScrollBar*>("SB_AutoChange")->setValue(40);
      auto* rot = dialog.findChild<QComboBox*>("CB_PlayRotCW");
      rot->setCurrentIndex(6);
      emit rot->activated(6);
      dialog.findChild<QCheckBox*>("CB_UseSecure")->click();
      QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    });
  };

  const TPlaySettings play = s.Game.PlaySettings;
  playerChanges("B_Cancel");
  EXPECT_EQ(RunOptionsCommand(dialog, s, st, lang, s), kIdCancel);
  EXPECT_TRUE(heldWhileOpen);
  EXPECT_FALSE(s.AutoSaveHold);
  EXPECT_TRUE(st.Flags.SoundPlay);
  EXPECT_EQ(s.AutoSave.Interval, 15);
  EXPECT_EQ(s.Game.GameOptions.EmbossStyle, TEmbossStyle::Paper);
  EXPECT_EQ(std::memcmp(&play, &s.Game.PlaySettings, sizeof play), 0);
  EXPECT_FALSE(s.Game.GameOptions.UseSecure);
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "");
  EXPECT_EQ(s.Game.GameOptions.WoodColor, 0x224466);
  EXPECT_EQ(s.Count("LoadLanguage"), 0);

  playerChanges("B_Ok");
  TOptionsApplied applied;
  EXPECT_EQ(RunOptionsCommand(dialog, s, st, lang, s, &applied), kIdOk);
  EXPECT_TRUE(applied.EffectsChanged);
  EXPECT_FALSE(applied.SingleMainWindowChanged);
  EXPECT_FALSE(st.Flags.SoundPlay);
  EXPECT_EQ(s.AutoSave.Interval, 40);
  EXPECT_EQ(s.Game.GameOptions.EmbossStyle, TEmbossStyle::FatCard);
  EXPECT_EQ(s.Game.PlaySettings.RotCW.Button, 1);
  EXPECT_EQ(s.Game.PlaySettings.RotCW.Shift, 1);
  EXPECT_TRUE(s.Game.GameOptions.UseSecure);
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "first.example");
  EXPECT_EQ(s.Game.GameOptions.WoodColor, 0x224466);
  EXPECT_EQ(s.Of("LoadLanguage"), std::vector<std::string>{"LoadLanguage " + dir.File("english.lng")});
  EXPECT_EQ(st.CurrentLanguage, "english");
}

// The Downloads page and the test panel reach the game the one way every page does: through the
// options command's OK, never by the dialog itself.
TEST_F(OptionsDialog, DownloadsAndTestPanelApplyOnlyThroughTheOptionsCommand) {
  TTestSession s;
  TSettings st;
  s.Game.GameOptions.DnSrc = "second.example";
  s.Game.GameOptions.ThumbPath = "/thumbs/";
  TOptionsFormEnv env;
  env.Lang = &lang;
  env.ServerHosts = {"first.example", "second.example"};
  TF_Options dialog(env);
  auto playerChanges = [&](const char* button) {
    QTimer::singleShot(0, &dialog, [&, button] {
      dialog.findChild<QTabWidget*>("PC_Pages")->setCurrentIndex(5);
      auto* source = dialog.findChild<QComboBox*>("CB_DnSrc");
      source->setCurrentIndex(0);
      dialog.findChild<QCheckBox*>("CB_UseSecure")->click();
      dialog.findChild<QComboBox*>("CB_SecureMethod")->setCurrentIndex(6);
      if (!dialog.TestPanelShown())  // it stays shown between openings
        QTest::mouseClick(dialog.findChild<QWidget*>("P_Form"), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier,
                          QPoint(3, 3));
      dialog.findChild<QLineEdit*>("E_TestThumbPath")->setText(" /elsewhere/ ");
      dialog.findChild<QCheckBox*>("CB_VisualShowJoin")->click();
      QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    });
  };

  const TSettingsValues before = SettingsValuesOf(s, st);
  playerChanges("B_Cancel");
  EXPECT_EQ(RunOptionsCommand(dialog, s, st, lang, s), kIdCancel);
  const TSettingsValues afterCancel = SettingsValuesOf(s, st);
  ForEachSetting([&](const auto& row) { EXPECT_EQ(row.Field(afterCancel), row.Field(before)) << row.SubSection; });

  playerChanges("B_Ok");
  EXPECT_EQ(RunOptionsCommand(dialog, s, st, lang, s), kIdOk);
  const TGameOptions& o = s.Game.GameOptions;
  EXPECT_EQ(o.DnSrc, "first.example");
  EXPECT_TRUE(o.UseSecure);
  EXPECT_EQ(o.SecureMethodInd, 6);
  EXPECT_EQ(o.ThumbPath, "/elsewhere/");
  EXPECT_FALSE(st.Flags.ShowJoin);
}

TEST_F(OptionsDialog, WithoutAPickerOfItsOwnTheSwatchOpensTheGamesColourPicker) {
  TOptionsFormEnv env;
  env.Lang = &lang;
  TF_Options own(env);
  TOptionsValues v = Sample();
  own.LoadValues(v);
  own.show();
  own.findChild<QTabWidget*>("PC_Pages")->setCurrentIndex(3);
  QCoreApplication::processEvents();
  std::string caption;
  QTimer::singleShot(0, &own, [&] {
    QWidget* picker = QApplication::activeModalWidget();
    ASSERT_NE(picker, nullptr);
    caption = picker->windowTitle().toStdString();
    QTest::keyClick(picker, Qt::Key_Escape);
  });
  QTest::mouseClick(own.findChild<QWidget*>("S_ViewWoodColor"), Qt::LeftButton);
  EXPECT_EQ(caption, "Wood Color");
  EXPECT_EQ(own.WoodColor(), 0x336699);
}

TEST_F(OptionsDialog, WithoutAnyLanguageFileTheListIsEmptyAndControlsShowTheirNames) {
  TLanguageState empty;
  empty.LangDir = dir.File("none") + "/";
  TOptionsFormEnv env;
  env.Lang = &empty;
  TF_Options bare(env);
  bare.LoadValues(Sample());
  bare.show();
  EXPECT_EQ(bare.findChild<QListWidget*>("LV_LangList")->count(), 0);
  EXPECT_EQ(bare.findChild<QCheckBox*>("CB_AutoSave")->text().toStdString(), "CB_AutoSave");
  EXPECT_EQ(bare.findChild<QComboBox*>("CB_DnSrc")->count(), 2);
  QTest::mouseClick(bare.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
  ASSERT_EQ(boxes.size(), 1u);  // "english" has no file here
  EXPECT_FALSE(bare.isHidden());
}

}  // namespace
