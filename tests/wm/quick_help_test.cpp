#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "game/settings_text.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_window_fixture.h"
#include "wm/wm_game.h"
#include "wm/wm_input.h"
#include "wm/wm_stacking.h"
#include "wm/wm_support.h"

namespace {

// Once a modal window is up and managed, runs body on it (once); body ends it.
void WhenModalUp(const std::function<void(QWidget&)>& body) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, body] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || StackPosition(*modal) < 0) return;
    poll->stop();
    poll->deleteLater();
    Settle();
    body(*modal);
  });
  poll->start(50);
}

void EndModal(QWidget& modal) {
  if (auto* dialog = qobject_cast<QDialog*>(&modal)) dialog->reject();
}

// The game started as a player starts it, with Quick Help on: the browser comes first and is
// left with Escape, then Quick Help shows beside the main window.
class QuickHelpUnderWM : public TGameUnderWM {
 protected:
  void SetUp() override {
    TGameUnderWM::SetUp();
    if (IsSkipped()) return;
    MakePlacedMain();
    if (HasFatalFailure()) return;
    main->ReadStartupSettings();
    ASSERT_TRUE(main->QuickHelp().CB_Show->isChecked());
  }

  void Start() {
    bool browserSeen = false;
    WhenModalUp([&](QWidget& browser) {
      browserSeen = &browser == &main->DirView();
      RealKeyOn(browser, "Escape");
      EndModal(browser);  // should Escape not have reached it
    });
    main->StartupChoice();
    ASSERT_TRUE(browserSeen);
    ASSERT_TRUE(WaitFor([&] { return Help().isVisible() && StackPosition(Help()) >= 0; }));
    Settle();
  }
  TF_Help& Help() { return main->QuickHelp(); }
  bool HelpAboveMain() { return StackPosition(Help()) > StackPosition(*main); }

  // Opens a modal window with open(), then checks that it came in front of Quick Help, stays
  // there after a real click on it and after one on Quick Help's Close, and keeps the keyboard.
  void OpensInFront(const std::string& what, const std::function<void()>& open) {
    SCOPED_TRACE(what);
    bool opened = false, inFront = false, stillInFront = false, notBlocked = false, keptKeys = false;
    WhenModalUp([&](QWidget& modal) {
      opened = true;
      Screenshot("quick-help-" + what);
      inFront = StackPosition(modal) > StackPosition(Help());
      RealClick(modal, QPoint(4, 4));
      stillInFront = StackPosition(modal) > StackPosition(Help());
      // Quick Help's Close cannot act while the modal window is up; it must not cover that
      // window either.
      RealClick(*Help().B_Close);
      Settle(300);
      notBlocked = OnTop(modal) || StackPosition(modal) > StackPosition(Help());
      keptKeys = QApplication::activeWindow() == &modal;
      EndModal(modal);
    });
    open();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(inFront);
    EXPECT_TRUE(stillInFront);
    EXPECT_TRUE(notBlocked);
    EXPECT_TRUE(keptKeys);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeModalWidget() == nullptr; }));
    Settle();
    // Back with the game: Quick Help is there again, above it.
    ASSERT_TRUE(Help().isVisible());
    EXPECT_TRUE(HelpAboveMain());
  }
};

// Quick Help stays above the game, but the download window, the browser and a message box,
// opened after it, come in front of it and stay there.
TEST_F(QuickHelpUnderWM, StaysAboveTheGameButWindowsOpenedLaterComeInFront) {
  Start();
  EXPECT_TRUE(HelpAboveMain());
  RealClick(*main->P_Field(), QPoint(60, 60));
  EXPECT_TRUE(HelpAboveMain()) << "a click on the game keeps Quick Help above it";
  ASSERT_EQ(QApplication::activeWindow(), main.get());

  OpensInFront("download", [] { RealKey("d"); });
  RealClick(*main->P_Field(), QPoint(60, 60));
  OpensInFront("browser", [] { RealKey("o"); });
  RealClick(*main->P_Field(), QPoint(60, 60));
  OpensInFront("message", [&] { main->MsgBox("A message over the game", kMbIconExclamation); });

  // With nothing else up, its Close hides it (clicked off the spot of the last click, which
  // xdotool's synchronous move would wait for forever).
  RealClick(*Help().B_Close, Help().B_Close->rect().center() + QPoint(12, 0));
  EXPECT_TRUE(WaitFor([&] { return !Help().isVisible(); }, 3000));
}

// Space, the key Quick Help names for switching sides, pressed while Quick Help has the focus,
// switches the sides and nothing in Quick Help: the "show at start" setting stays as it was.
TEST_F(QuickHelpUnderWM, GameKeysOnAFocusedQuickHelpActOnTheGameOnly) {
  UseScenarioLevel(main->Session().Game);
  ASSERT_TRUE(main->StartGame(main->Session().Paths.sJigsawDir + "dune-grass.zvq"));
  main->MI_HelpQuickClick();
  ASSERT_TRUE(WaitFor([&] { return Help().isVisible() && StackPosition(Help()) >= 0; }));
  Settle();
  RealClick(*Help().L_Click);
  ASSERT_EQ(QApplication::activeWindow(), &Help());
  const int side = main->Field().ActiveSide;

  RealKey("space");
  EXPECT_EQ(main->Field().ActiveSide, 1 - side);
  EXPECT_TRUE(Help().CB_Show->isChecked());
  EXPECT_TRUE(Help().isVisible());
  main->WriteExitSettings();
  TSettingsText saved;
  ASSERT_TRUE(LoadSettingsText(saved, main->Session().Paths.sIniFile));
  EXPECT_TRUE(ReadSettingBool(saved, "Lang", "QuickHelp", "", false));

  RealKey("space");
  EXPECT_EQ(main->Field().ActiveSide, side);
  EXPECT_TRUE(Help().CB_Show->isChecked());

  // Tab still moves between Quick Help's own controls, and Escape on Close closes it.
  Help().CB_Show->setFocus();
  RealKey("Tab");
  EXPECT_EQ(QApplication::focusWidget(), Help().B_Close);
  RealKey("Escape");
  EXPECT_TRUE(WaitFor([&] { return !Help().isVisible(); }, 3000));
}

// At start-up Quick Help's frame stands 10 px inside the main window's right edge, centred on
// it from top to bottom; Help > Quick Help shows it where the player left it.
TEST_F(QuickHelpUnderWM, PlacedByTheFramesAtStartAndShownWhereLeftLater) {
  Start();
  const QRect owner = main->frameGeometry();
  const QRect own = Help().frameGeometry();
  ASSERT_GT(own.height(), Help().height()) << "framed, with a caption";
  EXPECT_EQ(own.left() + own.width(), owner.left() + owner.width() - 10);
  EXPECT_EQ(own.top(), owner.top() + (owner.height() - own.height()) / 2);
  Screenshot("quick-help-placed");

  // The player drags it by its caption to the left, closes it and asks for it again.
  const QPoint caption(own.left() + own.width() / 2, own.top() + (Help().geometry().top() - own.top()) / 2);
  auto moveTo = [](QPoint p) {
    return Xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
  };
  ASSERT_TRUE(moveTo(caption));
  ASSERT_TRUE(Xdotool({"mousedown", "1"}));
  Settle(100);
  for (int step = 1; step <= 10; ++step) {
    ASSERT_TRUE(moveTo(caption + QPoint(-30, 4) * step));
    Settle(30);
  }
  ASSERT_TRUE(Xdotool({"mouseup", "1"}));
  ASSERT_TRUE(WaitFor([&] { return Help().frameGeometry().topLeft() != own.topLeft(); }, 3000));
  Settle();
  const QPoint left = Help().frameGeometry().topLeft();
  RealClick(*Help().B_Close);
  ASSERT_TRUE(WaitFor([&] { return !Help().isVisible(); }, 3000));

  main->MenuAction("MI_HelpQuick")->trigger();
  ASSERT_TRUE(WaitFor([&] { return Help().isVisible() && StackPosition(Help()) >= 0; }));
  Settle(600);
  EXPECT_EQ(Help().frameGeometry().topLeft(), left);
  EXPECT_TRUE(HelpAboveMain());
}

}  // namespace
