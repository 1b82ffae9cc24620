#include <gtest/gtest.h>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <filesystem>
#include <string>
#include <vector>

#include "game/background_pictures.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"
#include "ui/main_window/main_window_fixture.h"

namespace {

QImage Shown(TF_Main& main) { return main.P_Field()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// The pieces' wood frames and shadows look the same whichever way the game reached the field:
// just opened, continued from its save, or redrawn after Options came back to the same style.
TEST_F(MainWindow, PiecesLookTheSameOpenedContinuedAndAfterOptions) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  ASSERT_EQ(main->Session().Game.GameOptions.WoodStyle,
            TWoodStyle::Shadows);  // "Shadows", the default
  const QImage opened = Shown(*main);

  main->Session().SaveModified = true;
  SaveAs("frames");
  ReleaseKey(Qt::Key_S);
  const std::string saved = main->Session().Paths.sSavedDir + "frames.sv1";
  ASSERT_TRUE(std::filesystem::exists(saved));
  ASSERT_TRUE(main->StartGame(saved));
  EXPECT_EQ(DifferentPixels(Shown(*main), opened), 0) << "continued";

  // Options: OK as they are; then another frame style, and "Shadows" again.
  TF_Options& options = main->Options();
  const auto ok = [&](const char* wood) {
    QTimer::singleShot(0, &options, [&options, wood] {
      if (wood) options.findChild<QRadioButton*>(wood)->click();
      QTest::mouseClick(options.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
    });
    main->MI_OptionsClick();
  };
  ok(nullptr);
  EXPECT_EQ(DifferentPixels(Shown(*main), opened), 0) << "after Options OK";
  ok("RB_VisualWood1");
  ok("RB_VisualWood2");
  EXPECT_EQ(DifferentPixels(Shown(*main), opened), 0) << "after Options back at Shadows";
}

void Wheel(QWidget* field, QPoint at, int angle) {
  QWheelEvent e(QPointF(at), QPointF(field->mapToGlobal(at)), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(field, &e);
}

// A smooth wheel or a touchpad sends a notch of 120 in parts: the piece turns once per whole
// notch, up counter-clockwise and down clockwise, however the notch came.
TEST_F(MainWindow, WheelTurnsAPieceOncePerWholeNotch) {
  ASSERT_TRUE(Open("dune-grass.zvq", true));
  const struct {
    std::vector<int> Angles;
    int Turns;  // quarter turns clockwise
  } cases[] = {
      {{120}, 3},           {{15, 15, 15, 15, 15, 15, 15, 15}, 3},
      {{-40, -40, -40}, 1}, {{60, 60, 60, 60}, 2},
      {{-240}, 2},          {{90, -90, -30}, 1},  // a turn the other way starts a notch afresh
      {{100}, 0},
  };
  const TPieceRecord& p = main->Session().Game.Pieces[4];
  for (const auto& c : cases) {
    QPoint at;
    ASSERT_TRUE(PointOn(4, at));
    const int before = p.Rotation;
    for (int angle : c.Angles) Wheel(main->P_Field(), at, angle);
    EXPECT_EQ((p.Rotation - before + 4) % 4, c.Turns) << ::testing::PrintToString(c.Angles);
  }
}

// W brings the weight pin; only the pin dropped on a piece turns weight mode on, and the menu
// item is checked exactly while the mode is on.
TEST_F(MainWindow, WeightItemIsCheckedOnlyWhileWeightModeIsOn) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  const TGameState& g = main->Session().Game;
  const QAction* weight = main->MenuAction("MI_GameWeight");
  ReleaseKey(Qt::Key_W);
  EXPECT_TRUE(main->Field().Pin.Dragging);
  EXPECT_FALSE(weight->isChecked());
  ReleaseKey(Qt::Key_W);  // the pin put away unused
  EXPECT_FALSE(main->Field().Pin.Dragging);
  EXPECT_FALSE(weight->isChecked());

  ReleaseKey(Qt::Key_W);
  QPoint at;
  ASSERT_TRUE(PointOn(3, at));
  QTest::mouseMove(main->P_Field(), at);
  QTest::mouseClick(main->P_Field(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(g.Play.WeightGroup, 3);  // the piece the pin was dropped on
  EXPECT_TRUE(weight->isChecked());
  ReleaseKey(Qt::Key_W);
  EXPECT_EQ(g.Play.WeightGroup, -1);
  EXPECT_FALSE(weight->isChecked());
}

// At the largest pieces, select all and Arrange: every piece lies inside the side, in the
// field, with a part of it on top where the player can take it.
TEST_F(MainWindow, ArrangedLargestPiecesLieWithinReach) {
  main->resize(900, 700);
  QCoreApplication::processEvents();
  ASSERT_TRUE(Open("dune-grass.zvq", false, true));
  const TGameState& g = main->Session().Game;
  const TSkinWindow& side = main->Session().Windows.GameWindows[0];
  ReleaseKey(Qt::Key_A);
  ASSERT_TRUE(g.Play.HasSelection);
  ReleaseKey(Qt::Key_R);
  for (int32_t i = 0; i < LivePieceCount(g); ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    EXPECT_GE(p.X, 0) << i;
    EXPECT_GE(p.Y, 0) << i;
    EXPECT_LE(p.X + p.BoxW, side.ContentWidth) << i;
    EXPECT_LE(p.Y + p.BoxH, side.ContentHeight) << i;
    QPoint at;
    EXPECT_TRUE(PointOn(i, at)) << i;
  }
}

// A picture fitted to the screen fits the window as it fills the work area, however small the
// window was when the jigsaw was opened: the window placed there shows it whole, unscrolled.
TEST_F(MainWindow, FittedPictureFitsTheWorkAreaNotTheWindowOfTheMoment) {
  main->resize(640, 520);
  QCoreApplication::processEvents();
  ASSERT_TRUE(Open("dune-grass.zvq", false, true));
  main->PlaceInWorkArea();
  QCoreApplication::processEvents();
  const TGameState& g = main->Session().Game;
  const TSkinWindow& side = main->Session().Windows.GameWindows[0];
  EXPECT_FALSE(side.HorzScrollVisible || side.VertScrollVisible);
  EXPECT_TRUE(g.GameLevel.ImageW == g.Field.FieldW || g.GameLevel.ImageH == g.Field.FieldH)
      << g.GameLevel.ImageW << "x" << g.GameLevel.ImageH << " on " << g.Field.FieldW << "x" << g.Field.FieldH;
}

// The background picture is made once at the size of the largest field of the window; resizing
// the window neither reloads nor rescales it.
TEST_F(MainWindow, BackgroundPictureCoversTheLargestFieldThroughResizes) {
  main->resize(640, 520);
  QCoreApplication::processEvents();
  main->SetWindowBackground(0, kFirstBackgroundCode + 2);
  const TDibImage* picture = main->Session().Windows.BackgroundPicture;
  ASSERT_NE(picture, nullptr);
  const uint8_t* bits = picture->Bits;
  const QRect work = main->screen()->availableGeometry();
  EXPECT_EQ(picture->Width, work.width());
  EXPECT_EQ(picture->Height, work.height() - main->Toolbar()->height());
  for (const QSize size : {QSize(700, 560), QSize(560, 500), QSize(760, 580)}) {
    main->resize(size);
    QCoreApplication::processEvents();
    ASSERT_EQ(main->Session().Windows.BackgroundPicture, picture);
    EXPECT_EQ(picture->Bits, bits) << size.width();
    EXPECT_EQ(picture->Width, work.width()) << size.width();
  }
}

// A window manager may resize the window seconds after a full-screen switch: a game opened in
// between is scaled from the field it was laid out on, not from the field before the switch.
TEST_F(MainWindow, GameOpenedWhileFullScreenSettlesScalesFromItsOwnField) {
  main->MI_FullScreenClick();
  ASSERT_TRUE(Open("dune-grass.zvq"));
  const TGameState& g = main->Session().Game;
  const TFieldArea opened = g.Field;
  const std::vector<TPieceRecord> before = g.Pieces;
  main->resize(opened.FieldW * 3 / 4, main->height());  // the late answer of the window manager
  QCoreApplication::processEvents();
  ASSERT_LT(g.Field.FieldW, opened.FieldW);
  for (int32_t i = 0; i < LivePieceCount(g); ++i) {
    const TPieceRecord& was = before[size_t(i)];
    const double cx = was.X + (was.BoxW - 1) / 2.0;
    EXPECT_NEAR(g.Pieces[size_t(i)].X + (was.BoxW - 1) / 2.0, cx * g.Field.FieldW / opened.FieldW, 1.0) << i;
  }
}

}  // namespace
