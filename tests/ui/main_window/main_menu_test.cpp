#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "game/browser_model.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"
#include "ui/main_window/private_home.h"

namespace {

// The main window as the game starts it: settings read (English texts), browser answered by
// the test.
class MainMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePrivateHome(dir);
    SetSoundSink([](const std::string&) {});
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int) {
      boxes.push_back(text);
      return answer;
    });
    Start();
  }
  void TearDown() override {
    main.reset();
    SetMessageBoxHandler({});
    SetSoundSink({});
  }
  void Start() {
    main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
    main->resize(1200, 900);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->ReadStartupSettings();
    main->Session().Game.DefaultLevel.Level = 13;  // big pieces: fast
    main->Session().Game.Rng.RandSeed = 7;
    Answer([](TF_DirView&) {});
  }
  // The browser is shown and driven by drive; left open, it is cancelled.
  void Answer(std::function<void(TF_DirView&)> drive) {
    main->RunBrowser = [this, drive](TF_DirView& dv) {
      ++browserRuns;
      modes.push_back(dv.BrowseMode());
      dv.show();
      QCoreApplication::processEvents();
      drive(dv);
      if (dv.isVisible()) dv.reject();
      return dv.result();
    };
  }
  static void ClickOk(TF_DirView& dv) {
    QTest::mouseClick(dv.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
  // Jigsaw page, OK to the level page, OK to open; chosen names the preselected jigsaw.
  void AnswerJigsaw() {
    Answer([this](TF_DirView& dv) {
      chosen = dv.findChild<QLineEdit*>("E_FileName")->text().toStdString();
      ClickOk(dv);
      ClickOk(dv);
    });
  }
  void ReleaseKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyPress(main.get(), key, mods);
    QTest::keyRelease(main.get(), key, mods);
  }
  std::string Text(const char* item) { return main->MenuAction(item)->text().toStdString(); }
  bool Enabled(const char* item) { return main->MenuAction(item)->isEnabled(); }
  bool ButtonEnabled(int32_t i) { return main->Toolbar()->Record().ToolbarButtons[i].Enabled; }
  void ClickButton(int32_t i) {
    const TToolbarButton& b = main->Toolbar()->Record().ToolbarButtons[i];
    ASSERT_TRUE(b.Visible);
    QTest::mouseClick(main->Toolbar(), Qt::LeftButton, {}, QPoint(b.Left + b.Width / 2, b.Top + b.Height / 2));
  }

  TTempFolder dir;
  std::unique_ptr<TF_Main> main;
  std::vector<std::string> boxes;
  std::vector<int32_t> modes;
  int answer = kIdNo;
  int browserRuns = 0;
  std::string chosen;
};

TEST_F(MainMenu, StartUpOpensTheBrowserAndTheChosenJigsawStartsAGame) {
  AnswerJigsaw();
  main->StartupChoice();
  EXPECT_EQ(browserRuns, 1);
  EXPECT_EQ(modes, std::vector<int32_t>{kBrowseLoad});
  const TGameSession& s = main->Session();
  ASSERT_TRUE(s.Game.GameLoaded);
  ASSERT_FALSE(chosen.empty());  // the browser preselects its first jigsaw
  EXPECT_EQ(s.sJig, s.Paths.sJigsawDir + chosen);
  EXPECT_EQ(s.Game.GameLevel.Level, s.Game.DefaultLevel.Level);
  EXPECT_TRUE(s.sSolve.empty());
  // Cancelling the browser at the next start leaves the window without a game.
  main.reset();
  Start();
  main->StartupChoice();
  EXPECT_EQ(browserRuns, 2);
  EXPECT_FALSE(main->Session().Game.GameLoaded);
}

TEST_F(MainMenu, CaptionsShortcutsAndToolbarFollowTheGame) {
  EXPECT_EQ(Text("MI_FileSaveAs"), "Save As...\tShift+S");
  EXPECT_EQ(Text("MI_PocketsPocket3"), "Pocket 3\t3");
  EXPECT_EQ(Text("MI_Exit"), "Exit");
  EXPECT_FALSE(main->MenuAction("MI_FileLast0")->isVisible());
  EXPECT_FALSE(Enabled("MI_FileSave"));
  EXPECT_FALSE(ButtonEnabled(1));
  std::string caption, shortcut;
  ASSERT_TRUE(main->ToolbarButtonMenu(0, caption, shortcut));
  EXPECT_EQ(caption, "Open...");
  EXPECT_EQ(shortcut, "O");
  // S before any game does nothing: the save command is disabled.
  ReleaseKey(Qt::Key_S);
  EXPECT_EQ(browserRuns, 0);

  AnswerJigsaw();
  ReleaseKey(Qt::Key_O);
  ASSERT_TRUE(main->Session().Game.GameLoaded);
  EXPECT_TRUE(Enabled("MI_FileSave"));
  EXPECT_TRUE(ButtonEnabled(1));
  EXPECT_TRUE(main->MenuAction("MI_FileLast0")->isVisible());
  EXPECT_EQ(Text("MI_FileLast0"), "&1. " + chosen);
  // Pocket captions come from the language.
  EXPECT_EQ(main->Session().Windows.GameWindows[3].Caption, u"Pocket 2 (0)");
}

TEST_F(MainMenu, KeysToggleWindowsAndSidesOnRelease) {
  AnswerJigsaw();
  ASSERT_TRUE(main->OpenFile("", false));
  TSkinWindows& ws = main->Session().Windows;
  ReleaseKey(Qt::Key_1);
  EXPECT_TRUE(ws.GameWindows[2].Visible);
  ReleaseKey(Qt::Key_1);
  EXPECT_FALSE(ws.GameWindows[2].Visible);
  ReleaseKey(Qt::Key_4);
  EXPECT_TRUE(ws.GameWindows[5].Visible);
  const bool thumb = ws.GameWindows[6].Visible;
  ReleaseKey(Qt::Key_T);
  EXPECT_NE(ws.GameWindows[6].Visible, thumb);
  EXPECT_EQ(main->Field().ActiveSide, 0);
  ReleaseKey(Qt::Key_Space);
  EXPECT_EQ(main->Field().ActiveSide, 1);
  ReleaseKey(Qt::Key_Space);
  EXPECT_EQ(main->Field().ActiveSide, 0);
  // Switching sides drops the selection, except the one a drag is carrying across.
  TPlayState& play = main->Session().Game.Play;
  ReleaseKey(Qt::Key_A);
  ASSERT_TRUE(play.HasSelection);
  play.DragState = 1;
  ReleaseKey(Qt::Key_Space);
  EXPECT_TRUE(play.HasSelection);
  play.DragState = 0;
  ReleaseKey(Qt::Key_Space);
  EXPECT_FALSE(play.HasSelection);
  EXPECT_EQ(main->Field().ActiveSide, 0);
  // With a single main window the Space key does nothing.
  main->Session().Game.PlaySettings.SingleMainWindow = 1;
  ReleaseKey(Qt::Key_Space);
  EXPECT_EQ(main->Field().ActiveSide, 0);
  // A key pressed elsewhere and released here does nothing.
  QTest::keyRelease(main.get(), Qt::Key_1);
  EXPECT_TRUE(ws.GameWindows[5].Visible);
  EXPECT_FALSE(ws.GameWindows[2].Visible);
}

// The function keys are shortcuts too: F1 opens the help at its contents.
TEST_F(MainMenu, F1ShowsTheHelpContents) {
  auto helpShown = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "F_HelpViewer" && w->isVisible()) return true;
    return false;
  };
  EXPECT_EQ(Text("MI_HelpCont"), "Help Contents\tF1");
  ReleaseKey(Qt::Key_Escape);
  EXPECT_FALSE(helpShown());
  ReleaseKey(Qt::Key_F1);
  EXPECT_TRUE(helpShown());
}

// Resting the pointer on a toolbar button shows its menu item's caption and shortcut.
TEST_F(MainMenu, ToolbarButtonsShowTheirHintsWhereThePointerRests) {
  TToolbarPanel* bar = main->Toolbar();
  const TToolbarButton& open = bar->Record().ToolbarButtons[0];
  const QPoint on(open.Left + open.Width / 2, open.Top + open.Height / 2);
  QHelpEvent over(QEvent::ToolTip, on, bar->mapToGlobal(on));
  QApplication::sendEvent(bar, &over);
  EXPECT_EQ(QToolTip::text().toStdString(), "Open (O)");
  const QPoint off(bar->width() - 2, 1);
  ASSERT_LT(bar->ButtonAt(off), 0);
  QHelpEvent away(QEvent::ToolTip, off, bar->mapToGlobal(off));
  QApplication::sendEvent(bar, &away);
  QTest::qWait(400);  // a tip fades after 300 ms
  EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(MainMenu, SaveAsAndTheRecentSavedGameOpenWithoutTheBrowser) {
  AnswerJigsaw();
  ASSERT_TRUE(main->OpenFile("", false));
  Answer([](TF_DirView& dv) {
    auto* edit = dv.findChild<QLineEdit*>("E_FileName");
    edit->setText("first try");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  ReleaseKey(Qt::Key_S, Qt::ShiftModifier);
  EXPECT_EQ(modes.back(), kBrowseSave);
  const std::string saved = main->Session().Paths.sSavedDir + "first try.sv1";
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_EQ(Text("MI_FileLast0"), "&1. first try.sv1");
  EXPECT_EQ(Text("MI_FileLast1"), "&2. " + chosen);

  // The recent saved game opens straight away; the recent jigsaw opens the browser at it.
  const int runs = browserRuns;
  main->Session().sSolve.clear();
  main->MenuAction("MI_FileLast0")->trigger();
  EXPECT_EQ(browserRuns, runs);
  EXPECT_EQ(main->Session().sSolve, saved);
  std::string preset;
  Answer([&preset](TF_DirView& dv) { preset = dv.findChild<QLineEdit*>("E_FileName")->text().toStdString(); });
  main->MenuAction("MI_FileLast1")->trigger();
  EXPECT_EQ(browserRuns, runs + 1);
  EXPECT_EQ(preset, chosen);
  EXPECT_EQ(main->Session().sSolve, saved);  // cancelled: the game stays
}

TEST_F(MainMenu, ToolbarButtonsRunTheirMenuItems) {
  ClickButton(kToolbarOpen);
  EXPECT_EQ(browserRuns, 1);
  ClickButton(1);  // save: disabled without a game
  EXPECT_EQ(browserRuns, 1);
}

TEST_F(MainMenu, DownloadKeyShowsTheDownloadWindowAndNothingDownloadedAsksNothing) {
  std::vector<std::string> shown;
  main->RunModal = [&shown](QDialog& d) {
    shown.push_back(d.objectName().toStdString());
    return 0;
  };
  ReleaseKey(Qt::Key_D);
  EXPECT_EQ(shown, std::vector<std::string>{main->Download().objectName().toStdString()});
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(browserRuns, 0);
}

TEST_F(MainMenu, QuickHelpFollowsItsCheckBoxAcrossStarts) {
  main->StartupChoice();
  EXPECT_TRUE(main->QuickHelp().isVisible());  // on by default
  main->QuickHelp().CB_Show->setChecked(false);
  EXPECT_TRUE(main->close());
  main.reset();
  Start();
  EXPECT_FALSE(main->QuickHelp().CB_Show->isChecked());
  main->StartupChoice();
  EXPECT_FALSE(main->QuickHelp().isVisible());
}

TEST_F(MainMenu, ChangesAreOfferedForSavingBeforeAnotherOpen) {
  AnswerJigsaw();
  ASSERT_TRUE(main->OpenFile("", false));
  main->Session().SaveModified = true;
  answer = kIdCancel;
  ReleaseKey(Qt::Key_O);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Do you want to save the changes to the current game?");
  EXPECT_EQ(browserRuns, 1);  // cancelled before the browser
  answer = kIdNo;
  ReleaseKey(Qt::Key_O);
  EXPECT_EQ(browserRuns, 2);
}

}  // namespace
