// Play with the real keyboard and mouse under openbox: the input reaches the game through the X
// server while the game itself is at work, as a quick player's does.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "game/pieces.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/main_window/main_window_fixture.h"
#include "wm/wm_input.h"
#include "wm/wm_support.h"

namespace {

class PlayUnderWM : public MainWindow {
 protected:
  void SetUp() override {
    if (!OnWindowManagerDisplay() || !HaveRealInput()) GTEST_SKIP() << "runs under run_under_wm.sh with xdotool";
    MainWindow::SetUp();
    ASSERT_TRUE(WaitFor([this] { return !main->windowHandle()->frameMargins().isNull(); }));
    Settle();
  }
  // Runs one xdotool command line while the game goes on handling events, as a player's hands
  // do not wait for the program.
  bool RunAlongside(const QStringList& args) {
    QProcess p;
    p.start("xdotool", args);
    if (!p.waitForStarted(5000)) return false;
    const bool done = WaitFor([&p] { return p.state() == QProcess::NotRunning; });
    Settle();
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }
  QPoint Global(QPoint fieldPoint) {
    QWidget* field = main->centralWidget();
    return field->mapToGlobal(
        QPoint(int(fieldPoint.x() / field->devicePixelRatioF()), int(fieldPoint.y() / field->devicePixelRatioF())));
  }
};

// A piece pressed the moment the save key is let go, while the save is still writing, is
// picked up and dragged all the same: the press is not lost to the save. Three times: whether
// the press comes during the save's progress or just after it is up to the timing.
TEST_F(PlayUnderWM, APieceDraggedRightAfterSavingMoves) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  main->Session().sSolve = dir.File("quick.sv1");  // S writes there without asking for a name
  ASSERT_TRUE(Xdotool({"windowactivate", "--sync", QString::number(main->winId())}));
  Settle();
  const int32_t n = LivePieceCount(g);
  for (int32_t attempt = 0, i = 0; attempt < 3 && i < n; ++i) {
    QPoint at;
    if (!PointOn(i, at) || !InField(at + QPoint(90, 60))) continue;
    ++attempt;
    SCOPED_TRACE(i);
    const int32_t x0 = g.Pieces[size_t(i)].X, y0 = g.Pieces[size_t(i)].Y;
    const QPoint from = Global(at), to = Global(at + QPoint(90, 60));
    QStringList steps{"mousemove", "--sync", QString::number(from.x()), QString::number(from.y()), "key", "s",
                      "mousedown", "1"};
    for (int k = 1; k <= 6; ++k) {
      const QPoint p = from + (to - from) * k / 6;
      steps += QStringList{"sleep", "0.02", "mousemove", QString::number(p.x()), QString::number(p.y())};
    }
    steps += QStringList{"sleep", "0.02", "mouseup", "1"};
    ASSERT_TRUE(RunAlongside(steps));
    // The gesture may still be on its way behind the save: wait for it to end in a drop.
    WaitFor([&] { return g.Pieces[size_t(i)].X != x0 && g.Play.DragState == 0; }, 5000);
    EXPECT_TRUE(std::filesystem::exists(dir.File("quick.sv1"))) << "the save ran";
    EXPECT_NEAR(g.Pieces[size_t(i)].X - x0, 90, 20);
    EXPECT_NEAR(g.Pieces[size_t(i)].Y - y0, 60, 20);
  }
}

// The player clicks a jigsaw in the browser and presses Enter, which goes on to the level page,
// and Enter again, which opens the jigsaw: the game starts.
TEST_F(PlayUnderWM, EnterTwiceFromTheBrowserStartsTheGame) {
  UseScenarioLevel(main->Session().Game);
  std::string chosen, pageAfterFirstEnter;
  bool stillOpen = false;
  main->RunBrowser = [&](TF_DirView& dv) {
    QTimer::singleShot(0, &dv, [&] {
      ASSERT_TRUE(WaitFor([&] { return dv.isActiveWindow(); }));
      Settle();
      auto* list = dv.findChild<QListWidget*>("LV_Jigs");
      ASSERT_GE(list->count(), 2);
      chosen = list->item(1)->text().toStdString();
      ASSERT_TRUE(RealClick(*list->viewport(), list->visualItemRect(list->item(1)).center()));
      ASSERT_TRUE(RealKey("Return"));
      pageAfterFirstEnter = dv.findChild<QTabWidget*>("PC_Pages")->currentWidget()->objectName().toStdString();
      ASSERT_TRUE(RealKey("Return"));
      stillOpen = dv.isVisible();
      if (stillOpen) dv.reject();
    });
    return dv.exec();
  };
  main->OpenFile("", false);
  EXPECT_EQ(pageAfterFirstEnter, "TS_Level");
  EXPECT_FALSE(stillOpen) << "Enter on the level page left the browser open";
  EXPECT_TRUE(main->Session().Game.GameLoaded);
  EXPECT_EQ(main->Session().sJigName, chosen);
}

}  // namespace
