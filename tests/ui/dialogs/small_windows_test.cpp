#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "foundation/dib_ops.h"
#include "foundation/lang_forms.h"
#include "foundation/picture_loading.h"
#include "game/solved_picture.h"
#include "platform/message_box.h"
#include "support/bmp_file.h"
#include "support/file_bytes.h"
#include "support/panel_bounds.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "ui/dialogs/about_form.h"
#include "ui/dialogs/credits_form.h"
#include "ui/dialogs/finish_form.h"
#include "ui/dialogs/form_images.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/dialogs/save_solved_image.h"

namespace {

std::string EnglishLng() { return std::string(getenv("ZORVA_DATA_DIR")) + "/language/english.lng"; }

struct TEnglish {
  TLanguageState lang;
  TEnglish() {
    lang.LangDir = std::string(getenv("ZORVA_DATA_DIR")) + "/language/";
    EXPECT_TRUE(LoadLanguage(lang, EnglishLng(), {}));
  }
};

QString Text(QWidget* root, const char* name) {
  QWidget* w = root->findChild<QWidget*>(QString::fromLatin1(name));
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
  return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// Opens the dialog once for each way of closing it: each must hide it with its result.
void ExpectCloses(QDialog& d, std::initializer_list<std::pair<std::function<void()>, int>> ways) {
  for (const auto& [close, result] : ways) {
    d.open();
    close();
    EXPECT_FALSE(d.isVisible()) << result;
    EXPECT_EQ(d.result(), result);
  }
}

TEST(InfoForm, LanguageSetsItsTextsAndEnterOrEscapeCloseTheMemo) {
  TEnglish e;
  TF_Info info;
  TLangForms forms;
  forms.Info = &info;
  ASSERT_TRUE(LoadLanguage(e.lang, EnglishLng(), forms));
  EXPECT_EQ(info.windowTitle(), QStringLiteral("Information"));
  EXPECT_EQ(Text(&info, "L_JigCap"), QStringLiteral("Jigsaw:"));

  ExpectCloses(info, {{[&] { QTest::keyClick(info.M_Info, Qt::Key_Escape); }, 2},
                      {[&] { QTest::keyClick(info.M_Info, Qt::Key_Return); }, 1},
                      {[&] { QTest::mouseClick(info.B_Ok, Qt::LeftButton); }, 1}});
}

TEST(InfoForm, DescriptionLinesRoundTrip) {
  TF_Info info;
  EXPECT_TRUE(info.InfoLines().empty());
  info.SetInfoText("Boats at dusk\n\n  Lake Bled  ");
  EXPECT_EQ(info.InfoLines(), (std::vector<std::string>{"Boats at dusk", "", "  Lake Bled  "}));
  // The memo is for reading: typing changes nothing.
  QTest::keyClicks(info.M_Info, "xyz");
  EXPECT_EQ(info.InfoLines(), (std::vector<std::string>{"Boats at dusk", "", "  Lake Bled  "}));
  // Stored descriptions: Windows-1252 or UTF-8, any line ends.
  info.SetInfoText("Caf\xE9 at dusk\r\nsecond\rthird\nfourth");
  EXPECT_EQ(info.InfoLines(), (std::vector<std::string>{"Caf\u00e9 at dusk", "second", "third", "fourth"}));
  info.SetInfoText("Saukonp\u00e4\u00e4");
  EXPECT_EQ(info.InfoLines(), (std::vector<std::string>{"Saukonp\u00e4\u00e4"}));
  // A jigsaw's description keeps its own lines, but forges none and runs nothing backwards.
  info.SetInfoText("Dusk\u2028forged\u2029para\u0085nel\r\nrtl\u202Eabc\tend");
  EXPECT_EQ(info.InfoLines(), (std::vector<std::string>{"Dusk forged para nel", "rtl abc end"}));
}

// ----- finish dialog

TEST(FinishForm, ShowsItsTextsAndSaveAcceptsWhileCancelAndEscapeDecline) {
  TEnglish e;
  TF_Finish finish(e.lang);
  finish.open();
  EXPECT_EQ(finish.windowTitle(), QStringLiteral("Puzzle Solved"));
  EXPECT_EQ(Text(&finish, "B_Save"), QStringLiteral("Save Picture"));
  ExpectCloses(finish, {{[&] { QTest::mouseClick(finish.B_Save, Qt::LeftButton); }, 1},
                        {[&] { QTest::mouseClick(finish.B_Cancel, Qt::LeftButton); }, 2},
                        {[&] { QTest::keyClick(&finish, Qt::Key_Escape); }, 2},
                        {[&] { QTest::keyClick(&finish, Qt::Key_Return); }, 1}});  // the default button
}

// ----- credits

TEST(CreditsForm, ShowsTheThanksAndTheNamesAndEveryWayOutIsOk) {
  TEnglish e;
  TF_Credits credits(e.lang);
  credits.open();
  EXPECT_EQ(credits.windowTitle(), QStringLiteral("Credits"));
  EXPECT_EQ(Text(&credits, "L_Thanks"), QStringLiteral("Thank you to everyone who helped make this game:"));
  EXPECT_EQ(Text(&credits, "B_Ok"), QStringLiteral("OK"));
  EXPECT_TRUE(credits.L_Thanks->wordWrap());
  EXPECT_TRUE(credits.L_Thanks->font().bold());
  EXPECT_EQ(credits.M_Names->toPlainText(), QString::fromUtf8(kCreditsNames));
  EXPECT_TRUE(credits.M_Names->toPlainText().contains(QStringLiteral("Risto Saukonp\u00e4\u00e4")));
  // The names are for reading: typing changes nothing.
  QTest::keyClicks(credits.M_Names, "xyz");
  EXPECT_EQ(credits.M_Names->toPlainText(), QString::fromUtf8(kCreditsNames));
  EXPECT_TRUE(credits.B_Ok->isDefault());
  ExpectCloses(credits, {{[&] { QTest::mouseClick(credits.B_Ok, Qt::LeftButton); }, 1},
                         {[&] { QTest::keyClick(&credits, Qt::Key_Escape); }, 1},
                         {[&] { QTest::keyClick(credits.M_Names, Qt::Key_Return); }, 1}});
}

// Each small window is exactly its client panel: no strip of bare window along any edge.
TEST(SmallWindows, TheClientPanelFillsTheWindowFromItsCorner) {
  TEnglish e;
  TF_Info info;
  TLangForms forms;
  forms.Info = &info;
  ASSERT_TRUE(LoadLanguage(e.lang, EnglishLng(), forms));
  TF_Finish finish(e.lang);
  TF_Credits credits(e.lang);
  TF_Help help;
  forms.Help = &help;
  ASSERT_TRUE(LoadLanguage(e.lang, EnglishLng(), forms));
  for (QDialog* d : std::initializer_list<QDialog*>{&info, &finish, &credits, &help}) {
    d->open();
    QWidget* panel = d->findChild<QWidget*>(QStringLiteral("P_Form"));
    ASSERT_NE(panel, nullptr) << d->windowTitle().toStdString();
    EXPECT_EQ(panel->geometry(), QRect(QPoint(0, 0), d->size())) << d->windowTitle().toStdString();
    EXPECT_EQ(ControlsOutsideTheirPanels(d), std::vector<std::string>()) << d->windowTitle().toStdString();
    d->close();
  }
}

// ----- pictures for the widgets

// A buffer is shown as it is drawn: top row first, every pixel in its own colour, whether its
// pixels take three bytes or four; other buffers show nothing.
TEST(FormImages, BuffersBecomeUprightPictures) {
  for (const bool wide : {false, true}) {
    TDibHolder d;
    ASSERT_TRUE(wide ? CreateDib32(*d, 3, 2) : CreateDib24(*d, 3, 2));
    const uint32_t colours[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0x123456, 0xFFFFFF, 0x000000}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) SetDibPixel(*d, x, y, colours[y][x]);
    const QImage image = ToQImage(*d);
    ASSERT_EQ(image.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        const QColor c = image.pixelColor(x, y);
        EXPECT_EQ(uint32_t(c.red() | c.green() << 8 | c.blue() << 16), colours[y][x]) << wide << " " << x << "," << y;
      }
  }
  TDibHolder grey, none;
  ASSERT_TRUE(CreateDib8(*grey, 2, 2));
  EXPECT_TRUE(ToQImage(*grey).isNull());
  EXPECT_TRUE(ToQImage(*none).isNull());

  TDibHolder decoded;
  EXPECT_FALSE(DecodeTo24(*decoded, {}));
  EXPECT_FALSE(DecodeTo24(*decoded, {'n', 'o', 't'}));
}

// ----- about form and splash

TEST(AboutForm, SplashIgnoresClicksAndKeys) {
  TF_AboutZorvaQuix splash;
  ASSERT_FALSE(splash.DialogStyle());
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  splash.show();
  QTest::mouseClick(splash.I_Bkg, Qt::LeftButton);
  QTest::mouseClick(splash.L_Version, Qt::LeftButton);
  QTest::keyClick(&splash, Qt::Key_Return);
  QTest::keyClick(&splash, Qt::Key_Escape);
  EXPECT_TRUE(splash.isVisible());
}

TEST(AboutForm, AboutBoxClosesOnClickEnterOrEscape) {
  TF_AboutZorvaQuix about;
  about.SetDialogStyle(true);
  about.B_Frame->hide();
  EXPECT_FALSE(about.windowFlags() & Qt::FramelessWindowHint);
  ExpectCloses(about, {{[&] { QTest::mouseClick(about.I_Bkg, Qt::LeftButton); }, 1},
                       {[&] { QTest::mouseClick(about.L_Date, Qt::LeftButton); }, 1},
                       {[&] { QTest::keyClick(&about, Qt::Key_Escape); }, 2},
                       {[&] { QTest::keyClick(&about, Qt::Key_Enter); }, 1}});
  EXPECT_EQ(about.size(), about.I_Bkg->pixmap().size());
}

// The card shows the version over the date at its lower right, 34 pixels in, each black over a
// white copy one pixel right and below, in a one-pixel frame; it opens centred on its screen.
TEST(AboutForm, VersionAndDateSitAtTheCardsLowerRightWithTheirShadows) {
  TF_AboutZorvaQuix about;
  about.SetDialogStyle(true);
  about.show();
  const int w = about.width(), h = about.height();
  EXPECT_EQ(QSize(w, h), about.I_Bkg->pixmap().size());
  for (const auto& [text, shadow] :
       {std::pair{about.L_Version, about.L_VersionShadow}, std::pair{about.L_Date, about.L_DateShadow}}) {
    EXPECT_EQ(text->geometry().right() + 1, w - 34) << text->objectName().toStdString();
    EXPECT_EQ(shadow->pos(), text->pos() + QPoint(1, 1)) << text->objectName().toStdString();
    EXPECT_GT(text->y(), h / 2);
    EXPECT_LT(text->geometry().bottom(), h);
  }
  EXPECT_EQ(about.L_Date->y() - about.L_Version->y(), 18) << "the date on the line below";
  EXPECT_EQ(about.B_Frame->geometry(), QRect(0, 0, w, h));
  EXPECT_EQ(about.B_Frame->lineWidth(), 1);
  if (const QScreen* s = about.screen()) {
    EXPECT_EQ(about.pos() + about.rect().center(), s->geometry().center());
  }
}

// ----- quick help

struct TKeyLog {
  std::vector<std::pair<char, int>> events;  // 'd' or 'u', key
  std::vector<Qt::KeyboardModifiers> modifiers;
  void Attach(TF_Help& help) {
    help.OwnerKeyDown = [this](QKeyEvent* e) {
      events.emplace_back('d', e->key());
      modifiers.push_back(e->modifiers());
    };
    help.OwnerKeyUp = [this](QKeyEvent* e) {
      events.emplace_back('u', e->key());
      modifiers.push_back(e->modifiers());
    };
  }
};

TEST(QuickHelpForm, KeysGoOnToTheOwnerOnceEach) {
  TF_Help help;
  TKeyLog log;
  log.Attach(help);
  help.show();
  QTest::keyClick(help.B_Close, Qt::Key_O);
  QTest::keyClick(help.CB_Show, Qt::Key_D, Qt::ShiftModifier);
  help.setFocus();
  QTest::keyClick(&help, Qt::Key_M);
  // Shift itself goes on too: the owner sees presses and releases as they came.
  const std::vector<std::pair<char, int>> expected = {{'d', Qt::Key_O}, {'u', Qt::Key_O}, {'d', Qt::Key_Shift},
                                                      {'d', Qt::Key_D}, {'u', Qt::Key_D}, {'u', Qt::Key_Shift},
                                                      {'d', Qt::Key_M}, {'u', Qt::Key_M}};
  ASSERT_EQ(log.events, expected);
  EXPECT_EQ(log.modifiers[3], Qt::ShiftModifier);  // D with Shift held
  EXPECT_EQ(log.modifiers[4], Qt::ShiftModifier);
  EXPECT_EQ(log.modifiers[6], Qt::NoModifier);
  EXPECT_TRUE(help.isVisible());
  EXPECT_TRUE(help.CB_Show->isChecked());
}

// Whatever the language's lengths, the quick help's lines sit inside their panel without
// covering each other; a check box caption too long to share its row puts Close below it.
TEST(QuickHelpForm, LinesNeverOverlapAndALongCheckBoxCaptionPushesCloseDown) {
  TTempFolder dir;
  for (const bool longCaption : {false, true}) {
    SCOPED_TRACE(longCaption);
    const std::string file = dir.File("t.lng");
    std::ofstream(file) << "[Quick Help]\n<L_Ctrl>Control key held\n<L_Switch>Tab\n<CB_Show>"
                        << (longCaption ? "Show this window every time the game starts, please" : "Show") << "\n";
    TF_Help help;
    TLanguageState lang;
    TLangForms forms;
    forms.Help = &help;
    ASSERT_TRUE(LoadLanguage(lang, file, forms));
    help.show();
    const QRect panel = help.findChild<QWidget*>("Shape1")->geometry();
    std::vector<QWidget*> lines;
    for (QWidget* w : help.P_Form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->objectName() != "Shape1" && w != help.CB_Show && w != help.B_Close) lines.push_back(w);
    ASSERT_GE(lines.size(), 12u);
    for (QWidget* a : lines) {
      EXPECT_TRUE(panel.contains(a->geometry())) << a->objectName().toStdString();
      for (QWidget* b : lines)
        if (a != b) {
          EXPECT_FALSE(a->geometry().intersects(b->geometry()))
              << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    }
    const QRect box = help.CB_Show->geometry(), close = help.B_Close->geometry();
    EXPECT_GT(box.top(), panel.bottom());
    EXPECT_FALSE(box.intersects(close));
    if (longCaption) {
      EXPECT_EQ(box.width(), 320 - 16) << "the whole row";
    } else {
      EXPECT_GE(box.width(), QFontMetrics(help.CB_Show->font()).horizontalAdvance(help.CB_Show->text()) + 18);
    }
    EXPECT_EQ(close.top() > box.bottom(), longCaption);
    EXPECT_EQ(help.height(), close.bottom() + 1 + 9);
    EXPECT_EQ(help.width(), 320);
    EXPECT_TRUE(help.rect().contains(close) && help.rect().contains(box));
  }
}

TEST(QuickHelpForm, CloseAndEscapeOnCloseOnlyHide) {
  TF_Help help;
  help.show();
  QTest::mouseClick(help.B_Close, Qt::LeftButton);
  EXPECT_FALSE(help.isVisible());
  help.show();
  QTest::keyClick(help.B_Close, Qt::Key_Escape);
  EXPECT_FALSE(help.isVisible());
  help.show();
  EXPECT_TRUE(help.CB_Show->isChecked());  // shown at start unless the player says otherwise
}

// The owner's keys reach the owner and not the focused control: Space switches the game's
// sides without ticking the box or pressing Close. Other keys still work the form.
TEST(QuickHelpForm, OwnerKeysNeverReachTheFocusedControl) {
  TF_Help help;
  TKeyLog log;
  log.Attach(help);
  help.OwnerKey = [](int key) { return key == Qt::Key_Space || key == Qt::Key_C; };
  help.show();
  QTest::keyClick(help.CB_Show, Qt::Key_Space);
  EXPECT_TRUE(help.CB_Show->isChecked());
  QTest::keyClick(help.B_Close, Qt::Key_Space);
  EXPECT_TRUE(help.isVisible());
  const std::vector<std::pair<char, int>> expected = {
      {'d', Qt::Key_Space}, {'u', Qt::Key_Space}, {'d', Qt::Key_Space}, {'u', Qt::Key_Space}};
  EXPECT_EQ(log.events, expected);

  // A key the owner does not take is the control's: Space ticks the box off once no longer
  // the owner's.
  help.OwnerKey = [](int key) { return key == Qt::Key_C; };
  QTest::keyClick(help.CB_Show, Qt::Key_Space);
  EXPECT_FALSE(help.CB_Show->isChecked());
  QTest::keyClick(help.B_Close, Qt::Key_Escape);
  EXPECT_FALSE(help.isVisible());
}

// ----- the save-solved-image command

TEST(SaveSolvedImageCommand, SuggestsThePicturesFolderAndWritesTheChosenFile) {
  TTestSession s;
  ASSERT_TRUE(CreateDib24(s.Game.Images.PictureImages[0], 90, 60));
  TTempFolder dir;
  s.Paths.sPicturesDir = dir.Path().string() + "/";
  s.sJigName = "forest-path";
  s.InfoText = "Path through a forest\r\n\r\nRisto";
  std::string title, suggested;
  const std::string target = dir.File("chosen.bmp");
  ASSERT_TRUE(
      SaveSolvedImage(nullptr, s, "Save Solved Image", [&](QWidget*, const std::string& t, const std::string& p) {
        title = t;
        suggested = p;
        return target;
      }));
  EXPECT_EQ(title, "Save Solved Image");
  EXPECT_EQ(suggested, dir.File("forest-path.bmp"));
  TDibHolder saved;
  ASSERT_TRUE(LoadBmpFile(*saved, target));
  EXPECT_EQ(saved->Width, 92);
  EXPECT_EQ(saved->Height, 112);
}

// The description drawn under a solved picture is the text it holds: a mark that would run it
// backwards or a separator that would break it draws as the blank it is shown as.
TEST(SaveSolvedImageCommand, TheDescriptionIsDrawnWithItsMarksBlanked) {
  TTestSession s;
  ASSERT_TRUE(CreateDib24(s.Game.Images.PictureImages[0], 300, 60));
  TTempFolder dir;
  std::vector<std::vector<uint8_t>> saved;
  for (const std::string info : {"Forest rtl abc line two", "Forest rtl\u202Eabc line\u2028two"}) {
    s.InfoText = info;
    const std::string target = dir.File(std::to_string(saved.size()) + ".bmp");
    ASSERT_TRUE(
        SaveSolvedImage(nullptr, s, "Save", [&](QWidget*, const std::string&, const std::string&) { return target; }));
    saved.push_back(Slurp(target));
  }
  EXPECT_EQ(saved[0], saved[1]);
}

TEST(SaveSolvedImageCommand, CancelWritesNothingAndAFailedWriteWarns) {
  TTestSession s;
  ASSERT_TRUE(CreateDib24(s.Game.Images.PictureImages[0], 30, 20));
  TTempFolder dir;
  s.Paths.sPicturesDir = dir.Path().string() + "/";
  s.sJigName = "lake";
  EXPECT_FALSE(SaveSolvedImage(nullptr, s, "Save",
                               [](QWidget*, const std::string&, const std::string&) { return std::string(); }));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

  std::vector<int> flags;
  SetMessageBoxHandler([&](const std::string&, const std::string&, int f) {
    flags.push_back(f);
    return 1;
  });
  EXPECT_FALSE(SaveSolvedImage(nullptr, s, "Save", [&](QWidget*, const std::string&, const std::string&) {
    return dir.File("no-such-folder/lake.bmp");
  }));
  SetMessageBoxHandler({});
  EXPECT_EQ(flags, std::vector<int>{kMbOk | kMbIconExclamation});
}

}  // namespace
