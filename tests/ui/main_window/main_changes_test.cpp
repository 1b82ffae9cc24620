// What the player does around a save: input that comes while the save runs, and which of the
// player's acts make Exit ask about unsaved changes.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialogs/finish_form.h"
#include "ui/main_window/held_input.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_window_fixture.h"

namespace {

class MainChanges : public MainWindow {
 protected:
  QPoint Logical(QPoint fieldPoint) const {
    const double r = main->P_Field()->devicePixelRatioF();
    return QPoint(int(fieldPoint.x() / r), int(fieldPoint.y() / r));
  }
  // A piece in view with room to be dragged by `by` inside the field.
  int32_t PieceWithRoom(QPoint by, QPoint& at) {
    for (int32_t i = 0; i < LivePieceCount(main->Session().Game); ++i)
      if (PointOn(i, at) && InField(at + by)) return i;
    return -1;
  }
  // Exit, the save question counted and cancelled; true when the window closed.
  bool Exit(int& asked) {
    SetMessageBoxHandler([&asked](const std::string&, const std::string&, int) {
      ++asked;
      return kIdCancel;
    });
    return main->close();
  }
};

// A press that comes while the save still writes is held, not lost: the drag it starts moves
// the piece once the save is done. A key pressed meanwhile acts afterwards too.
TEST_F(MainChanges, InputThatComesDuringASaveActsWhenItIsDone) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  main->Session().sSolve = dir.File("quick.sv1");  // S writes there without asking
  const QPoint by(90, 60);
  QPoint at;
  const int32_t i = PieceWithRoom(by, at);
  ASSERT_GE(i, 0);
  const int32_t x0 = g.Pieces[size_t(i)].X, y0 = g.Pieces[size_t(i)].Y;
  QWidget* field = main->P_Field();
  bool duringSave = false;
  // The save pumps events to show its progress: the press and W arrive then.
  QTimer::singleShot(0, main.get(), [&] {
    duringSave = main->Field().Busy;
    QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, Logical(at));
    QTest::mouseMove(field, Logical(at + by / 2));
  });
  ReleaseKey(Qt::Key_S);
  ASSERT_TRUE(duringSave);
  ASSERT_TRUE(std::filesystem::exists(dir.File("quick.sv1")));
  QTest::mouseMove(field, Logical(at + by));
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, Logical(at + by));
  EXPECT_EQ(g.Play.DragState, 0);
  EXPECT_NEAR(g.Pieces[size_t(i)].X - x0, by.x(), 13);  // a snap moves it by less than its margin
  EXPECT_NEAR(g.Pieces[size_t(i)].Y - y0, by.y(), 13);

  QTimer::singleShot(0, main.get(), [&] {
    duringSave = main->Field().Busy;
    ReleaseKey(Qt::Key_W);
    EXPECT_FALSE(main->Field().Pin.Dragging) << "nothing acts while the save runs";
  });
  ReleaseKey(Qt::Key_S);
  ASSERT_TRUE(duringSave);
  QCoreApplication::processEvents();
  EXPECT_TRUE(main->Field().Pin.Dragging) << "W brought the weight pin after the save";
}

// Solving changes the game (the last join, and the picture moved to the middle), so Exit asks
// to save it; once it is saved, Exit asks nothing.
TEST_F(MainChanges, ExitAsksAfterSolvingUntilTheSolvedGameIsSaved) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  main->Session().sSolve = dir.File("solved.sv1");
  ReleaseKey(Qt::Key_S);
  ASSERT_FALSE(main->Session().SaveModified);
  // The picture laid in place as one group but for one piece a little off its place.
  const int32_t n = LivePieceCount(g);
  int32_t last = -1;
  QPoint at;
  for (int32_t k = 0; k < n; ++k) {
    TPieceRecord& q = g.Pieces[size_t(k)];
    q.Window = 0;
    q.X = 10 + q.PieceX;
    q.Y = 10 + q.PieceY;
    q.Group = 0;
  }
  for (int32_t k = 0; k < n && last < 0; ++k) {
    TPieceRecord& q = g.Pieces[size_t(k)];
    q.Group = n + 1;
    q.X += 2;
    if (PointOn(k, at))
      last = k;
    else
      q.Group = 0, q.X -= 2;
  }
  ASSERT_GE(last, 0);
  int finishShown = 0;
  main->RunModal = [&finishShown](QDialog& d) {
    finishShown += dynamic_cast<TF_Finish*>(&d) != nullptr;
    return 2;  // no picture saved
  };
  QTest::mouseClick(main->P_Field(), Qt::LeftButton, Qt::NoModifier, Logical(at));
  ASSERT_EQ(finishShown, 1);
  int asked = 0;
  EXPECT_FALSE(Exit(asked));
  EXPECT_EQ(asked, 1);

  ReleaseKey(Qt::Key_S);
  EXPECT_TRUE(Exit(asked));
  EXPECT_EQ(asked, 1);
}

// The weight pin dropped on a group, or put away, is no change of the game: Exit asks nothing.
// A piece moved afterwards is.
TEST_F(MainChanges, TheWeightPinIsNoChangeButAMovedPieceIs) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  TGameState& g = main->Session().Game;
  QPoint at;
  const int32_t i = PieceWithRoom(QPoint(40, 0), at);
  ASSERT_GE(i, 0);
  QWidget* field = main->P_Field();
  ReleaseKey(Qt::Key_W);
  QTest::mouseMove(field, Logical(at));
  QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, Logical(at));
  ASSERT_NE(g.Play.WeightGroup, -1);
  ReleaseKey(Qt::Key_W);
  ASSERT_EQ(g.Play.WeightGroup, -1);
  EXPECT_FALSE(main->Session().SaveModified);
  EXPECT_FALSE(main->Session().AutoSaveModified);

  QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, Logical(at));
  QTest::mouseMove(field, Logical(at + QPoint(40, 0)));
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, Logical(at + QPoint(40, 0)));
  EXPECT_TRUE(main->Session().SaveModified);
  int asked = 0;
  EXPECT_FALSE(Exit(asked));
  EXPECT_EQ(asked, 1);
  main->Session().SaveModified = false;  // as if saved
  ReleaseKey(Qt::Key_W);
  QTest::mouseMove(field, Logical(at + QPoint(40, 0)));
  QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, Logical(at + QPoint(40, 0)));
  ASSERT_NE(g.Play.WeightGroup, -1);
  EXPECT_TRUE(Exit(asked));
  EXPECT_EQ(asked, 1);
}

}  // namespace

namespace {

// Records what reaches it, by kind and place.
class TRecorder : public QObject {
 public:
  bool event(QEvent* e) override {
    if (auto* m = dynamic_cast<QMouseEvent*>(e))
      got.push_back({m->type(), m->position().toPoint().x()});
    else if (auto* k = dynamic_cast<QKeyEvent*>(e))
      got.push_back({k->type(), k->key()});
    else
      return QObject::event(e);
    return true;
  }
  std::vector<std::pair<QEvent::Type, int>> got;
};

QMouseEvent Mouse(QEvent::Type type, int x) {
  return QMouseEvent(type, QPointF(x, 5), QPointF(x, 5), Qt::LeftButton,
                     type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
}

// Held input comes out in its order once the work is done, moves in a row as the last of them;
// what comes before it is out waits behind it, and none of it goes to a game under a dialog.
TEST(HeldInput, HandsOnInOrderAfterTheWorkAndNeverUnderADialog) {
  TRecorder target;
  bool busy = true;
  THeldInput held(&target, [&busy] { return busy; });
  for (const QMouseEvent& e : {Mouse(QEvent::MouseButtonPress, 1), Mouse(QEvent::MouseMove, 2),
                               Mouse(QEvent::MouseMove, 3), Mouse(QEvent::MouseButtonRelease, 4)})
    EXPECT_TRUE(held.Hold(&target, e));
  QKeyEvent key(QEvent::KeyPress, Qt::Key_W, Qt::NoModifier);
  EXPECT_TRUE(held.Hold(&target, key));
  EXPECT_EQ(held.Count(), 4u);
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.got.empty()) << "nothing while the work runs";

  busy = false;
  held.OperationEnded();
  // A move that comes before the hand-on goes after what was held.
  EXPECT_FALSE(held.Hold(&target, Mouse(QEvent::MouseMove, 9)));
  const std::vector<std::pair<QEvent::Type, int>> order = {{QEvent::MouseButtonPress, 1},
                                                           {QEvent::MouseMove, 3},
                                                           {QEvent::MouseButtonRelease, 4},
                                                           {QEvent::KeyPress, Qt::Key_W}};
  EXPECT_EQ(target.got, order);
  EXPECT_EQ(held.Count(), 0u);

  target.got.clear();
  busy = true;
  EXPECT_TRUE(held.Hold(&target, Mouse(QEvent::MouseButtonPress, 5)));
  busy = false;
  QDialog dialog;
  dialog.setModal(true);
  dialog.show();
  held.OperationEnded();
  QCoreApplication::processEvents();
  EXPECT_TRUE(target.got.empty());
  EXPECT_EQ(held.Count(), 0u);
}

}  // namespace
