#include <gtest/gtest.h>

#include <algorithm>

#include "field_rig.h"

namespace {

// Every piece its own group, far from every neighbour's place.
void Scatter(TFieldRig& r) {
  for (int32_t i = 0; i < r.g.GameLevel.TotalTileNum; ++i) {
    r.P(i).X = 10 + 61 * i;
    r.P(i).Y = 480 - 13 * i;
  }
}

// Puts piece p at its true place next to n, shifted by (sx, sy).
void PlaceBeside(TFieldRig& r, int32_t p, int32_t n, int32_t sx, int32_t sy) {
  const TSnapOffset e = ExpectedOffset(r.P(p), r.P(n), r.P(p).Rotation);
  r.P(p).X = r.P(n).X + e.X + sx;
  r.P(p).Y = r.P(n).Y + e.Y + sy;
}

void Drop(TFieldRig& r, int32_t held) {
  r.g.Play.HeldPiece = held;
  r.g.Play.DragState = 1;
  SnapDroppedGroup(r.f);
}

std::string Data(const char* name) { return std::string(getenv("ZORVA_DATA_DIR")) + "/" + name; }

TEST(SnapThreshold, RoundsHalfToEven) {
  TGameState g;
  g.GameLevel.HalfKnobS = 10;
  g.GameOptions.StuckKoef = 12;
  EXPECT_EQ(SnapThreshold(g), 12);
  g.GameLevel.HalfKnobS = 5;
  g.GameOptions.StuckKoef = 5;  // 2.5
  EXPECT_EQ(SnapThreshold(g), 2);
  g.GameOptions.StuckKoef = 15;  // 7.5
  EXPECT_EQ(SnapThreshold(g), 8);
}

TEST(ExpectedOffset, MatchesTheTurnedPictureForEveryRotation) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  // Piece 4 and its right neighbour 5: where do their boxes sit in the turned mask?
  for (int32_t rot = 0; rot < 4; ++rot) {
    const TPieceBox b4 = PieceRotatedBounds(r.g, r.P(4), rot), b5 = PieceRotatedBounds(r.g, r.P(5), rot);
    const TSnapOffset e = ExpectedOffset(r.P(4), r.P(5), rot);
    EXPECT_EQ(e.X, b4.X - b5.X) << rot;
    EXPECT_EQ(e.Y, b4.Y - b5.Y) << rot;
  }
}

class Snap : public ::testing::Test {
 protected:
  TFieldRig r{{.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true}};
  void SetUp() override {
    r.g.GameLevel.HalfKnobS = 10;  // threshold 12 with the default factor 12
    Scatter(r);
  }
};

TEST_F(Snap, JoinsOnePixelInsideTheThresholdAndNotAtIt) {
  for (const auto& [sx, sy] : {std::pair{11, 0}, {0, -11}, {-11, 11}}) {
    Scatter(r);
    for (int32_t i = 0; i < 9; ++i) r.P(i).Group = i;
    PlaceBeside(r, 4, 3, sx, sy);
    Drop(r, 4);
    // A tie of single pieces moves the dropped one, exactly into place.
    EXPECT_EQ(r.P(3).Group, r.P(4).Group) << sx << "," << sy;
    const TSnapOffset e = ExpectedOffset(r.P(4), r.P(3), 0);
    EXPECT_EQ(r.P(4).X - r.P(3).X, e.X);
    EXPECT_EQ(r.P(4).Y - r.P(3).Y, e.Y);
    EXPECT_EQ(r.g.Play.HeldPiece, -1);
    EXPECT_EQ(r.g.Play.DragState, 0);
  }
  for (const auto& [sx, sy] : {std::pair{12, 0}, {0, -12}, {12, 12}}) {
    Scatter(r);
    for (int32_t i = 0; i < 9; ++i) r.P(i).Group = i;
    PlaceBeside(r, 4, 3, sx, sy);
    const int32_t x = r.P(4).X, y = r.P(4).Y;
    Drop(r, 4);
    EXPECT_NE(r.P(3).Group, r.P(4).Group) << sx << "," << sy;
    EXPECT_EQ(r.P(4).X, x);
    EXPECT_EQ(r.P(4).Y, y);
  }
}

TEST_F(Snap, NeighboursTurnedElsewhereOrInTheGroupAreNoCandidates) {
  // Turned differently.
  r.P(3).Rotation = 1;
  UpdatePieceRotation(r.g, r.P(3));
  PlaceBeside(r, 4, 3, 0, 0);
  Drop(r, 4);
  EXPECT_NE(r.P(3).Group, r.P(4).Group);
  // In the other side's window.
  r.P(3).Rotation = 0;
  UpdatePieceRotation(r.g, r.P(3));
  r.P(3).Window = 1;
  PlaceBeside(r, 4, 3, 1, 0);
  Drop(r, 4);
  EXPECT_NE(r.P(3).Group, r.P(4).Group);
  // Already in the dropped group: nothing joins, nothing moves, no sound.
  r.P(3).Window = 0;
  r.P(3).Group = r.P(4).Group;
  PlaceBeside(r, 4, 3, 3, 0);
  const int32_t x = r.P(4).X;
  Drop(r, 4);
  EXPECT_EQ(r.P(4).X, x);
  EXPECT_TRUE(r.sounds.empty());
}

TEST_F(Snap, TurnedPiecesJoinByTheTurnedTable) {
  for (int32_t i : {3, 4}) {
    r.P(i).Rotation = 2;
    UpdatePieceRotation(r.g, r.P(i));
  }
  PlaceBeside(r, 4, 3, 5, -5);
  Drop(r, 4);
  EXPECT_EQ(r.P(3).Group, r.P(4).Group);
  // Turned half round, the right neighbour lies to the left.
  EXPECT_LT(r.P(4).X, r.P(3).X);
}

TEST_F(Snap, TheSmallerGroupComesToTheLarger) {
  // {3, 4} assembled; 5 dropped near 4 moves to them.
  r.P(3).Group = r.P(4).Group = 20;
  PlaceBeside(r, 4, 3, 0, 0);
  const int32_t x3 = r.P(3).X, x4 = r.P(4).X;
  PlaceBeside(r, 5, 4, 4, 4);
  Drop(r, 5);
  EXPECT_EQ(r.P(3).X, x3);
  EXPECT_EQ(r.P(4).X, x4);
  EXPECT_EQ(r.P(5).Group, r.P(4).Group);
  EXPECT_EQ(r.P(5).X - r.P(4).X, ExpectedOffset(r.P(5), r.P(4), 0).X);

  // The group {3, 4, 5} dropped near the single piece 2: the single piece comes.
  PlaceBeside(r, 2, 5, 0, 0);
  r.P(2).X += 7;
  const int32_t x5 = r.P(5).X;
  Drop(r, 5);
  EXPECT_EQ(r.P(5).X, x5);
  EXPECT_EQ(r.P(2).Group, r.P(5).Group);
  const TSnapOffset e = ExpectedOffset(r.P(2), r.P(5), 0);
  EXPECT_EQ(r.P(2).X - r.P(5).X, e.X);
  EXPECT_EQ(r.P(2).Y - r.P(5).Y, e.Y);
}

TEST_F(Snap, JoinPlaysTheSoundAndShowsSixStarFrames) {
  r.f.SoundPlay = true;
  r.f.ShowJoin = true;
  PlaceBeside(r, 4, 3, 2, 2);
  Drop(r, 4);
  ASSERT_EQ(r.sounds.size(), 1u);
  EXPECT_EQ(r.sounds[0], Data("set.wav"));
  EXPECT_EQ(r.host.Of("Wait"), std::vector<std::string>(6, "Wait 18"));
  EXPECT_EQ(r.f.Star.Frame, -1);
  // The star sits on the midpoint of the two box centres.
  const int32_t cx = (r.P(4).X + r.P(4).BoxW / 2 + r.P(3).X + r.P(3).BoxW / 2) / 2;
  EXPECT_EQ(r.f.Star.X, cx - 11);

  r.f.SoundPlay = false;
  r.f.ShowJoin = false;
  PlaceBeside(r, 5, 4, 2, 2);
  Drop(r, 5);
  EXPECT_EQ(r.P(5).Group, r.P(4).Group);
  EXPECT_EQ(r.sounds.size(), 1u);
  EXPECT_EQ(size_t(r.host.Count("Wait")), 6u);
}

TEST(SnapFrame, TheFrameNeverMoves) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Frame = true});
  r.g.GameLevel.HalfKnobS = 10;
  Scatter(r);
  const int32_t frame = FramePieceIndex(r.g);
  ASSERT_EQ(frame, 9);
  TPieceRecord& fr = r.P(frame);
  fr.X = 100;
  fr.Y = 90;
  // An edge piece dropped near the frame comes to it through its neighbour slot.
  PlaceBeside(r, 0, frame, -6, 9);
  Drop(r, 0);
  EXPECT_EQ(fr.X, 100);
  EXPECT_EQ(fr.Y, 90);
  EXPECT_EQ(r.P(0).Group, fr.Group);
  EXPECT_EQ(r.P(0).X, 100 + r.g.GameLevel.JigsL);
  EXPECT_EQ(r.P(0).Y, 90 + r.g.GameLevel.JigsT);

  // The frame group dropped near a larger group still stays; the group comes.
  r.P(7).Group = r.P(8).Group = 40;
  PlaceBeside(r, 8, 7, 0, 0);
  r.P(7).X = 100 + r.P(7).PieceX + 5;
  r.P(7).Y = 90 + r.P(7).PieceY - 4;
  PlaceBeside(r, 8, 7, 0, 0);
  Drop(r, frame);
  EXPECT_EQ(fr.X, 100);
  EXPECT_EQ(fr.Y, 90);
  EXPECT_EQ(r.P(7).Group, fr.Group);
  EXPECT_EQ(r.P(8).Group, fr.Group);
  EXPECT_EQ(r.P(7).X, 100 + r.P(7).PieceX);
  EXPECT_EQ(r.P(8).Y, 90 + r.P(8).PieceY);
}

TEST(SolvedCheck, FiresOnceAndOnlyUnrotated) {
  TFieldRig r({.Cols = 2, .Rows = 2, .Tile = 20, .Knob = 4, .Rotate = true});
  r.g.GameLevel.HalfKnobS = 10;
  AssemblePieces(r.g);
  for (int32_t i = 0; i < 3; ++i) r.P(i).Group = 0;
  r.P(3).Group = 3;
  r.P(3).X += 5;
  Drop(r, 3);
  EXPECT_TRUE(r.f.Solved);
  EXPECT_EQ(r.host.Count("ShowFinish"), 1);
  EXPECT_EQ(r.host.Count("SaveImageEnabled 1"), 1);
  EXPECT_EQ(r.sounds, (std::vector<std::string>{Data("set.wav"), Data("win.wav")}));
  // Piece 0 ends at the centring offset of the field.
  EXPECT_EQ(r.P(0).X, (800 - r.g.GameLevel.ImageW) / 2);
  EXPECT_EQ(r.P(0).Y, (600 - r.g.GameLevel.ImageH) / 2);

  // Taking it apart and joining again shows nothing more.
  r.P(3).Group = 9;
  r.P(3).X += 3;
  Drop(r, 3);
  EXPECT_EQ(r.P(3).Group, r.P(0).Group);
  EXPECT_EQ(r.host.Count("ShowFinish"), 1);
  EXPECT_EQ(r.sounds.size(), 3u);
}

// Piece 0 goes to the field's centring offset only while the picture's top left stays in the
// content: with a picture larger than the field, or a frame wider than the room left around
// the picture, it would lie at content coordinates below 0, where no scrolling reaches.
TEST(SolvedCheck, TheSolvedPictureStaysWithinReach) {
  for (const auto& [fw, fh] : {std::pair{160, 90}, std::pair{230, 150}}) {
    SCOPED_TRACE(fw);
    TFieldRig r({.Cols = 9, .Rows = 5, .Tile = 20, .Knob = 4, .Frame = true}, fw, fh);
    const TLevelRecord& lv = r.g.GameLevel;
    ASSERT_EQ(lv.ImageW, 220);  // 180 and the frame's 20 on each side
    ASSERT_EQ(lv.ImageH, 140);
    r.g.Field.ContentW = std::max(r.g.Field.FieldW, lv.ImageW);
    r.g.Field.ContentH = std::max(r.g.Field.FieldH, lv.ImageH);
    r.f.SoundPlay = false;
    AssemblePieces(r.g);
    const int32_t n = lv.TotalTileNum, frame = FramePieceIndex(r.g);
    for (int32_t i = 0; i < n; ++i) {
      r.P(i).Group = 0;
      r.P(i).X += 300;
      r.P(i).Y += 200;
    }
    r.P(4).Group = 4;
    r.P(4).X += 3;
    Drop(r, 4);
    ASSERT_TRUE(r.f.Solved);
    EXPECT_EQ(r.P(frame).X, 0);
    EXPECT_EQ(r.P(frame).Y, 0);
    for (int32_t i = 0; i < n; ++i) {
      EXPECT_GE(r.P(i).X, 0) << i;
      EXPECT_GE(r.P(i).Y, 0) << i;
      EXPECT_LE(r.P(i).X + r.P(i).BoxW, r.g.Field.ContentW) << i;
      EXPECT_LE(r.P(i).Y + r.P(i).BoxH, r.g.Field.ContentH) << i;
    }
  }
}

TEST(SolvedCheck, ARotatedGroupIsNotSolvedUntilTurnedBack) {
  TFieldRig r({.Cols = 2, .Rows = 2, .Tile = 20, .Knob = 4, .Rotate = true});
  r.f.SoundPlay = false;
  AssemblePieces(r.g);
  for (int32_t i = 0; i < 4; ++i) {
    r.P(i).Group = 0;
    r.P(i).X += 100;
    r.P(i).Y += 100;
  }
  int32_t x, y;
  r.BodyPoint(0, x, y);
  RotateGroup(r.g, PieceViewOf(r.ws.GameWindows[0]), x, y, true);
  EXPECT_FALSE(r.f.Solved);  // the rotation ran the check: one group, but turned
  EXPECT_EQ(r.host.Count("ShowFinish"), 0);
  for (int turn = 0; turn < 3; ++turn) RotateGroup(r.g, PieceViewOf(r.ws.GameWindows[0]), x, y, true);
  EXPECT_TRUE(r.f.Solved);
  EXPECT_EQ(r.host.Count("ShowFinish"), 1);
}

}  // namespace

namespace {

TEST(SnapRealCut, DroppingEveryPieceNearItsPlaceAssemblesThePictureOnce) {
  for (bool border : {false, true}) {
    TFieldRig r(0, border, 77);
    const int32_t n = r.g.GameLevel.TotalTileNum;
    ASSERT_GT(n, 4);
    Scatter(r);
    for (int32_t i = 0; i < n; ++i) r.P(i).Y += 2000;  // all far from each other's places
    // Piece 0 stays; every other piece comes within a few pixels of its place beside it.
    const int32_t x0 = 300, y0 = 200;
    r.P(0).X = x0 + r.P(0).PieceX;
    r.P(0).Y = y0 + r.P(0).PieceY;
    for (int32_t i = 1; i < n; ++i) {
      r.P(i).X = x0 + r.P(i).PieceX + (i % 3) - 1;
      r.P(i).Y = y0 + r.P(i).PieceY + (i % 5) - 2;
      Drop(r, i);
    }
    for (int32_t i = 1; i < n; ++i) {
      EXPECT_EQ(r.P(i).Group, r.P(0).Group) << i;
      // Joined pieces keep their true relative places.
      EXPECT_EQ(r.P(i).X - r.P(0).X, r.P(i).PieceX - r.P(0).PieceX) << i;
      EXPECT_EQ(r.P(i).Y - r.P(0).Y, r.P(i).PieceY - r.P(0).PieceY) << i;
    }
    EXPECT_TRUE(r.f.Solved);
    EXPECT_EQ(r.host.Count("ShowFinish"), 1);
    EXPECT_EQ(size_t(r.host.Count("Wait")), size_t(6 * (n - 1)));
  }
}

}  // namespace

namespace {

// A join with the frame shows its star where the piece meets the cut's edge: the outer corner
// of a corner piece, the middle of the outer side of a side piece; whichever of the two was
// dropped. Pieces of a 3 x 3 cut by column and row.
TEST(SnapStar, AJoinWithTheFrameShinesOnTheCutEdge) {
  for (int32_t k : {0, 1, 2, 3, 5, 6, 7, 8})
    for (bool holdFrame : {false, true}) {
      SCOPED_TRACE(testing::Message() << "piece " << k << (holdFrame ? ", frame held" : ""));
      TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Frame = true});
      r.g.GameLevel.HalfKnobS = 10;
      r.f.ShowJoin = true;
      Scatter(r);
      const int32_t frame = FramePieceIndex(r.g);
      r.P(frame).X = 100;
      r.P(frame).Y = 90;
      if (holdFrame) {
        r.P(frame).X = r.P(k).X - r.P(k).PieceX + 3;
        r.P(frame).Y = r.P(k).Y - r.P(k).PieceY - 2;
      } else {
        PlaceBeside(r, k, frame, 3, -2);
      }
      Drop(r, holdFrame ? frame : k);
      ASSERT_EQ(r.P(k).Group, r.P(frame).Group);
      const TPieceRecord& q = r.P(k);
      const int32_t col = k % 3, row = k / 3;
      const int32_t cx = q.X + (col == 0 ? 0 : col == 1 ? q.BoxW / 2 : q.BoxW - 1);
      const int32_t cy = q.Y + (row == 0 ? 0 : row == 1 ? q.BoxH / 2 : q.BoxH - 1);
      const TSkinRect& client = r.ws.GameWindows[q.Window].Client;
      EXPECT_EQ(r.f.Star.X, client.Left + cx - 11);
      EXPECT_EQ(r.f.Star.Y, client.Top + cy - 11);
      EXPECT_EQ(r.f.Star.Window, q.Window);
    }
}

// Two pieces: the star on the midpoint of their box centres, in a scrolled pocket too, and the
// magnifier over the field is repainted with the star's frames.
TEST(SnapStar, APlainJoinShinesBetweenTheTwoPiecesWhereverTheyLie) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4});
  r.g.GameLevel.HalfKnobS = 10;
  r.f.ShowJoin = true;
  Scatter(r);
  TSkinWindow& pocket = r.ShowPocketAt(3, 300, 100, 300, 300);
  for (int32_t i : {3, 4}) r.P(i).Window = 3;
  r.P(3).X = 40;
  r.P(3).Y = 50;
  pocket.ContentWidth = pocket.ContentHeight = 2000;
  RelayoutSkinWindow(pocket);
  pocket.ScrollX = 7;
  pocket.ScrollY = 5;
  const TSkinWindow& glass = r.ShowGlass(20, 30);
  PlaceBeside(r, 4, 3, 2, -3);
  Drop(r, 4);
  ASSERT_EQ(r.P(4).Group, r.P(3).Group);
  const TPieceRecord &p = r.P(4), &n = r.P(3);
  const int32_t cx = (p.X + p.BoxW / 2 + n.X + n.BoxW / 2) / 2, cy = (p.Y + p.BoxH / 2 + n.Y + n.BoxH / 2) / 2;
  EXPECT_EQ(r.f.Star.Window, 3);
  EXPECT_EQ(r.f.Star.X, pocket.Client.Left - 7 + cx - 11);
  EXPECT_EQ(r.f.Star.Y, pocket.Client.Top - 5 + cy - 11);
  // The repainted rectangle spans the star and the magnifier.
  const TSkinRect& s = r.f.Star.Rect;
  EXPECT_EQ(s.Left, std::min(glass.Outer.Left, r.f.Star.X));
  EXPECT_EQ(s.Top, std::min(glass.Outer.Top, r.f.Star.Y));
  EXPECT_EQ(s.Right, std::max(glass.Outer.Right, r.f.Star.X + kStarSize - 1));
  EXPECT_EQ(s.Bottom, std::max(glass.Outer.Bottom, r.f.Star.Y + kStarSize - 1));
  EXPECT_GT(r.f.Star.X + kStarSize - 1, glass.Outer.Right);  // neither holds the other
}

}  // namespace
