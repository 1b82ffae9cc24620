#include <gtest/gtest.h>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/pieces.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_window_fixture.h"
#include "wm/wm_game.h"
#include "wm/wm_support.h"

namespace {

// The real main window under openbox, placed in the work area as at start-up.
class FullScreenUnderWM : public TGameUnderWM {
 protected:
  void SetUp() override {
    TGameUnderWM::SetUp();
    if (IsSkipped()) return;
    MakePlacedMain();
    if (HasFatalFailure()) return;
  }

  bool Open(bool fitToScreen) {
    UseScenarioLevel(main->Session().Game, false, fitToScreen);
    return main->StartGame(main->Session().Paths.sJigsawDir + "dune-grass.zvq");
  }
  // Switches while the window manager is busy, then waits until the field has the size it gave.
  void Switch() {
    const TFieldArea before = G().Field;
    const bool on = !main->FullScreenOn();
    {
      TLateWindowManager late;
      ASSERT_TRUE(late.Held());
      main->MI_FullScreenClick();
    }
    ASSERT_TRUE(WaitFor([&] { return main->isFullScreen() == on && G().Field.FieldW != before.FieldW; }));
    Settle();
  }
  TGameState& G() { return main->Session().Game; }
  const TSkinWindow& Side() { return main->Session().Windows.GameWindows[0]; }
  QSize Screen() { return main->screen()->size() * main->screen()->devicePixelRatio(); }
};

// On and off again under a window manager: in full screen the pieces keep their places relative
// to the field the window really got, and back in the window they return to where they were,
// with no scroll bars on either side.
TEST_F(FullScreenUnderWM, PiecesFollowTheFieldTheWindowGetsAndComeBack) {
  ASSERT_TRUE(Open(true));
  const TFieldArea windowed = G().Field;
  const std::vector<TPieceRecord> before = G().Pieces;
  const int32_t n = LivePieceCount(G());
  ASSERT_FALSE(Side().HorzScrollVisible || Side().VertScrollVisible);
  Screenshot("windowed");

  Switch();
  EXPECT_TRUE(WaitFor([&] { return G().Field.FieldW == Screen().width(); }));
  Screenshot("full-screen");
  const TFieldArea full = G().Field;
  EXPECT_EQ(full.FieldW, Screen().width());
  EXPECT_GT(full.FieldH, windowed.FieldH);
  EXPECT_FALSE(Side().HorzScrollVisible || Side().VertScrollVisible);
  for (int32_t i = 0; i < n; ++i) {
    const TPieceRecord& was = before[size_t(i)];
    const TPieceRecord& p = G().Pieces[size_t(i)];
    const double cx = was.X + (was.BoxW - 1) / 2.0, cy = was.Y + (was.BoxH - 1) / 2.0;
    EXPECT_NEAR(p.X + (p.BoxW - 1) / 2.0, cx * full.FieldW / windowed.FieldW, 1.0) << i;
    EXPECT_NEAR(p.Y + (p.BoxH - 1) / 2.0, cy * full.FieldH / windowed.FieldH, 1.0) << i;
  }

  Switch();
  EXPECT_TRUE(WaitFor([&] { return G().Field.FieldW == windowed.FieldW && G().Field.FieldH == windowed.FieldH; }));
  Screenshot("windowed-again");
  EXPECT_EQ(G().Field.FieldW, windowed.FieldW);
  EXPECT_EQ(G().Field.FieldH, windowed.FieldH);
  EXPECT_FALSE(Side().HorzScrollVisible || Side().VertScrollVisible);
  EXPECT_TRUE(main->screen()->availableGeometry().contains(main->frameGeometry()));
  for (int32_t i = 0; i < n; ++i) {
    EXPECT_NEAR(G().Pieces[size_t(i)].X, before[size_t(i)].X, 2) << i;
    EXPECT_NEAR(G().Pieces[size_t(i)].Y, before[size_t(i)].Y, 2) << i;
  }
}

// A picture fitted while in full screen still fits the window once full screen is left.
TEST_F(FullScreenUnderWM, PictureFittedInFullScreenNeedsNoScrollingInTheWindow) {
  Switch();
  ASSERT_TRUE(Open(true));
  EXPECT_FALSE(Side().HorzScrollVisible || Side().VertScrollVisible);
  Switch();
  Screenshot("fitted-in-full-screen-windowed");
  EXPECT_LE(G().GameLevel.ImageW, G().Field.FieldW);
  EXPECT_LE(G().GameLevel.ImageH, G().Field.FieldH);
  EXPECT_FALSE(Side().HorzScrollVisible || Side().VertScrollVisible);
}

}  // namespace
