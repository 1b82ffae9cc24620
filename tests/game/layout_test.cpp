#include <gtest/gtest.h>
#include <algorithm>

#include "game/layout.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "play_fixture.h"
#include "support/recording_host.h"

namespace {

struct TPlace {
  int32_t X, Y;
  bool operator==(const TPlace& o) const { return X == o.X && Y == o.Y; }
};

std::vector<TPlace> Places(const TGameState& g) {
  std::vector<TPlace> v;
  for (int32_t i = 0; i < g.GameLevel.TotalTileNum; ++i) v.push_back({g.Pieces[size_t(i)].X, g.Pieces[size_t(i)].Y});
  return v;
}

// A fresh game of cols x rows pieces spread from a seed; returns the generator's state.
uint32_t SpreadGame(TGameState& g, const TTestCut& cut, uint32_t seed, bool spreadOut) {
  MakeTestGame(g, cut);
  g.Rng.RandSeed = seed;
  InitPiecesForPlay(g);
  SpreadPieces(g, 0, spreadOut);
  PlaceFramePiece(g);
  return g.Rng.RandSeed;
}

struct TGridCase {
  int32_t Count, W, H, Cols, Rows;
};

TEST(SpreadGrid, FollowsTheRuleAndNeverLosesAColumnOrARow) {
  const TGridCase cases[] = {
      {10, 800, 600, 5, 2},  // round(sqrt(13)) = 4, 2 rows, one column more
      {11, 800, 600, 5, 2},  // still 5 x 2: the eleventh piece gets a third row
      {12, 800, 600, 4, 3},  // sqrt(16) = 4, 3 rows: full
      {3, 800, 600, 3, 1},   // sqrt(4) = 2, 1 row, 2 * 1 < 3: 3 * 1 < 2 * 2, a column
      {1, 600, 800, 1, 1},   // a tall field: 0 columns would divide by zero
      {3, 3840, 600, 3, 1},  // a very wide field: 4 columns for 3 pieces would leave 0 rows
  };
  for (const TGridCase& c : cases) {
    const auto grid = SpreadGrid(c.Count, c.W, c.H);
    EXPECT_EQ(grid.Cols, c.Cols) << c.Count << " " << c.W << "x" << c.H;
    EXPECT_EQ(grid.Rows, c.Rows) << c.Count << " " << c.W << "x" << c.H;
  }
  const auto grid = SpreadGrid(5, 800, 0);
  EXPECT_GE(grid.Cols * grid.Rows, 1);
}

TEST(SpreadPieces, ASeedReplaysTheSameLayoutWithOneDrawPerPiece) {
  const TTestCut cut{.Cols = 6, .Rows = 5, .Tile = 30, .Knob = 6, .Frame = true, .Rotate = true};
  for (bool spreadOut : {true, false}) {
    TGameState a, b;
    const uint32_t endA = SpreadGame(a, cut, 90210, spreadOut);
    const uint32_t endB = SpreadGame(b, cut, 90210, spreadOut);
    EXPECT_TRUE(Places(a) == Places(b));
    EXPECT_EQ(endA, endB);
    // 31 quarter-turn draws (the frame too), then the spread: one draw per free piece for
    // the shuffle, two per piece for random places.
    TRandom count{90210};
    for (int i = 0; i < 31 + (spreadOut ? 30 : 60); ++i) count.Random(1);
    EXPECT_EQ(endA, count.RandSeed);
    // Another seed gives another layout.
    TGameState c;
    SpreadGame(c, cut, 90211, spreadOut);
    EXPECT_FALSE(Places(a) == Places(c));
  }
}

TEST(SpreadPieces, RandomPlacesStayInsideTheContent) {
  TGameState g;
  SpreadGame(g, {.Cols = 8, .Rows = 6, .Tile = 30, .Knob = 6, .Rotate = true}, 5, false);
  for (int32_t i = 0; i < g.GameLevel.TotalTileNum; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    EXPECT_GE(p.X, 6);
    EXPECT_GE(p.Y, 6);
    EXPECT_LE(p.X + p.BoxW, g.Field.ContentW);
    EXPECT_LE(p.Y + p.BoxH, g.Field.ContentH);
  }
}

TEST(SpreadPieces, GridPlacesAreShuffledCellsOfTheGrid) {
  TGameState g;
  SpreadGame(g, {.Cols = 5, .Rows = 2, .Tile = 30, .Knob = 6}, 77, true);
  // 10 pieces on 800 x 600: a 5 x 2 grid over (800 - 12) x (600 - 12), each cell used once.
  std::vector<int> used(10, 0);
  for (int32_t i = 0; i < 10; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    int32_t col = 0, row = 0;
    while (col < 4 && 788 * (col + 1) / 5 + 6 <= p.X) ++col;
    while (row < 1 && 588 * (row + 1) / 2 + 6 <= p.Y) ++row;
    ASSERT_EQ(p.X, 788 * col / 5 + 6);
    ASSERT_EQ(p.Y, 588 * row / 2 + 6);
    ++used[size_t(row * 5 + col)];
  }
  EXPECT_EQ(used, std::vector<int>(10, 1));
  // Spread pieces all lie inside the field once the start of the game has pulled them in.
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  BringGroupsIntoView(g, side, true);
  for (int32_t i = 0; i < 10; ++i) {
    EXPECT_GE(g.Pieces[size_t(i)].X, 0);
    EXPECT_LE(g.Pieces[size_t(i)].X + g.Pieces[size_t(i)].BoxW, 800);
  }
}

TEST(SpreadPieces, TheEleventhPieceIsPulledBackIntoView) {
  TGameState g;
  SpreadGame(g, {.Cols = 11, .Rows = 1, .Tile = 30, .Knob = 6}, 3, true);
  int32_t low = -1;
  for (int32_t i = 0; i < 11; ++i)
    if (g.Pieces[size_t(i)].Y == 588 + 6) low = i;
  ASSERT_GE(low, 0);  // third row: Y = H + knob margin
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  EXPECT_TRUE(BringGroupsIntoView(g, side, true));
  const TPieceRecord& p = g.Pieces[size_t(low)];
  EXPECT_EQ(p.Y, 600 - (p.BoxH - p.BoxH / 4));
}

TEST(SpreadPieces, OnlyLonePiecesOfTheWindowMoveAndNeverTheFrame) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 2, .Frame = true});
  for (TPieceRecord& p : g.Pieces) p.X = p.Y = -7;
  g.Pieces[0].Group = g.Pieces[1].Group;  // a pair: not free
  g.Pieces[2].Window = 1;
  SpreadPieces(g, 0, true);
  EXPECT_EQ(g.Pieces[0].X, -7);
  EXPECT_EQ(g.Pieces[1].X, -7);
  EXPECT_EQ(g.Pieces[2].X, -7);
  EXPECT_EQ(g.Pieces[6].X, -7);  // the frame
  EXPECT_NE(g.Pieces[3].X, -7);
  EXPECT_NE(g.Pieces[5].X, -7);
}

TEST(SpreadPieces, AContentTooSmallForAPieceKeepsTheDrawsInStep) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 30, .Knob = 6});
  g.Field = TFieldArea{40, 40, 40, 40};
  g.Rng.RandSeed = 11;
  SpreadPieces(g, 0, false);
  TRandom count{11};
  for (int i = 0; i < 6; ++i) count.Random(1);
  EXPECT_EQ(g.Rng.RandSeed, count.RandSeed);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(g.Pieces[size_t(i)].X, 6);
    EXPECT_EQ(g.Pieces[size_t(i)].Y, 6);
  }
}

TEST(BringGroupsIntoView, StrictAndLooseReturnPlaces) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 40, .Knob = 8, .Frame = true});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  const int32_t frame = 2;
  for (TPieceRecord& p : g.Pieces) p.X = p.Y = 300;
  TPieceRecord& p = g.Pieces[0];  // 48 x 40 box
  ASSERT_EQ(p.BoxW, 48);
  p.X = -500;
  EXPECT_TRUE(BringGroupsIntoView(g, side, true));
  EXPECT_EQ(p.X, -(48 / 4));
  EXPECT_EQ(p.Y, 300);
  p.X = -500;
  EXPECT_TRUE(BringGroupsIntoView(g, side, false));
  EXPECT_EQ(p.X, 40 - 48);  // kx = max(40, 36) = 40 pixels stay visible
  // Right of the window.
  p.X = 900;
  BringGroupsIntoView(g, side, true);
  EXPECT_EQ(p.X + 48 - 48 / 4, 800);

  TPieceRecord& f = g.Pieces[size_t(frame)];
  f.X = -1000;
  BringGroupsIntoView(g, side, true);
  EXPECT_EQ(f.X, -40);
  f.X = -1000;
  BringGroupsIntoView(g, side, false);
  EXPECT_EQ(f.X, 40 - f.BoxW);

  // Nothing out of view: nothing moves, yet the game is flagged as changed.
  TRecordingHost host;
  g.Host = &host;
  EXPECT_FALSE(BringGroupsIntoView(g, side, false));
  EXPECT_EQ(host.Count("SetModified"), 1);
}

TEST(BringGroupsIntoView, GroupsMoveAsOneAndLooseKeepsGroupsPartlyInView) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 40, .Knob = 8});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  g.Pieces[1].Group = g.Pieces[0].Group;
  g.Pieces[0].X = -300, g.Pieces[0].Y = 100;
  g.Pieces[1].X = 100, g.Pieces[1].Y = 100;  // still in view
  g.Pieces[2].X = 400, g.Pieces[2].Y = 100;
  EXPECT_FALSE(BringGroupsIntoView(g, side, false));
  EXPECT_EQ(g.Pieces[0].X, -300);
  EXPECT_TRUE(BringGroupsIntoView(g, side, true));
  const int32_t dx = -(-300 + g.Pieces[0].BoxW / 4);
  EXPECT_EQ(g.Pieces[0].X, -300 + dx);
  EXPECT_EQ(g.Pieces[1].X, 100 + dx);
  // A group parked very far away comes back first to the origin, then into view.
  g.Pieces[2].X = 250000;
  BringGroupsIntoView(g, side, true);
  EXPECT_EQ(g.Pieces[2].X, 0);
}

// Past 100000 pixels either way a group counts as parked and first returns to the origin; at
// the limit itself it is pulled back only as far as the view needs.
TEST(BringGroupsIntoView, ParkedBeyondTheLimitOnEitherAxis) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 40, .Knob = 8});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  TPieceRecord& p = g.Pieces[0];
  const int32_t w = p.BoxW, h = p.BoxH;
  for (const int32_t v : {-100001, -100000, 100000, 100001}) {
    SCOPED_TRACE(v);
    const bool parked = v < -100000 || v > 100000;
    p.X = v, p.Y = 50;
    BringGroupsIntoView(g, side, true);
    EXPECT_EQ(p.X, parked ? 0 : v < 0 ? -(w / 4) : 800 - (w - w / 4));
    EXPECT_EQ(p.Y, 50);
    p.X = 50, p.Y = v;
    BringGroupsIntoView(g, side, true);
    EXPECT_EQ(p.Y, parked ? 0 : v < 0 ? -(h / 4) : 600 - (h - h / 4));
    EXPECT_EQ(p.X, 50);
  }
}

// Bringing every window's groups in is the strict pass: a side's group with one piece still in
// view is moved too; a window that is neither side nor pocket is left alone.
TEST(BringGroupsIntoView, AllWindowsTakeTheStrictPassOverSidesAndPockets) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 40, .Knob = 8});
  g.Field = TFieldArea{800, 600, 2000, 2000};
  g.Pieces[1].Group = g.Pieces[0].Group;
  g.Pieces[0].X = -300, g.Pieces[0].Y = 100;
  g.Pieces[1].X = 100, g.Pieces[1].Y = 100;  // still in view
  g.Pieces[2].Window = 6;
  g.Pieces[2].X = -500;
  BringAllGroupsIntoView(g, {TestView(0, 0, 0, 0, 800, 600), TestView(6, 2, 0, 0, 200, 200)});
  EXPECT_EQ(g.Pieces[0].X, -(g.Pieces[0].BoxW / 4));
  EXPECT_EQ(g.Pieces[1].X, 100 + g.Pieces[0].X + 300);
  EXPECT_EQ(g.Pieces[2].X, -500);
}

TEST(BringGroupsIntoView, PocketsUseTheFieldSize) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 40, .Knob = 8});
  g.Field = TFieldArea{500, 400, 2000, 2000};
  const TPieceView pocket = TestView(3, 1, 0, 0, 200, 200);
  TRecordingHost host;
  g.Host = &host;
  g.Pieces[0].Window = 3;
  g.Pieces[0].X = 700;
  EXPECT_TRUE(BringGroupsIntoView(g, pocket, true));
  EXPECT_EQ(g.Pieces[0].X, 500 - 30);
  EXPECT_EQ(host.Of("RefreshWindow"), std::vector<std::string>{"RefreshWindow 3"});
}

TEST(ScaleGroupPositions, KeepsGroupCentresInProportion) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 0});
  g.Pieces[1].Group = 0;
  g.Pieces[0].X = 100, g.Pieces[0].Y = 100;  // group box 100..139 x 100..119
  g.Pieces[1].X = 120, g.Pieces[1].Y = 100;
  g.Field.FieldW = 1600;
  g.Field.FieldH = 600;
  ScaleGroupPositions(g, 0, 800, 600);
  // Centre x 119.5 becomes 239: dx = round(119.5) = 120 (half to even); y unchanged.
  EXPECT_EQ(g.Pieces[0].X, 220);
  EXPECT_EQ(g.Pieces[1].X, 240);
  EXPECT_EQ(g.Pieces[0].Y, 100);
  ScaleGroupPositions(g, 0, 0, 0);
  EXPECT_EQ(g.Pieces[0].X, 220);
}

TEST(SelectInBand, WholeGroupsOnlyAndNeverTheWeightGroup) {
  TGameState g;
  MakeTestGame(g, {.Cols = 4, .Rows = 1, .Tile = 30, .Knob = 0});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  TRecordingHost host;
  g.Host = &host;
  for (int32_t i = 0; i < 4; ++i) g.Pieces[size_t(i)].X = 100 * (i + 1), g.Pieces[size_t(i)].Y = 50;
  g.Pieces[2].Group = g.Pieces[1].Group;  // group {1, 2} straddles the band's edge
  // Band over pieces 0 and 1 (and a third of piece 3's box is not enough).
  SetSkinRectBounds(g.Play.Band, 90, 40, 150, 60);
  SelectInBand(g, side, false);
  EXPECT_EQ(g.Pieces[0].Selected, 1);
  EXPECT_EQ(g.Pieces[1].Selected, 0);
  EXPECT_EQ(g.Pieces[2].Selected, 0);
  EXPECT_TRUE(g.Play.HasSelection);
  EXPECT_EQ(host.Count("SelectionChanged 1"), 1);
  // The selection is raised to the top.
  SortPieces(g, false);
  EXPECT_EQ(g.PieceOrder.back().Index, 0);
  // A box counts as inside when its middle third is: piece 3 at 400..429 with margins 10.
  SetSkinRectBounds(g.Play.Band, 410, 60, 10, 10);
  SelectInBand(g, side, false);
  EXPECT_EQ(g.Pieces[3].Selected, 1);

  for (TPieceRecord& p : g.Pieces) p.Selected = 0;
  g.Play.WeightGroup = 0;
  SelectInBand(g, side, true);
  EXPECT_EQ(g.Pieces[0].Selected, 0);
  EXPECT_EQ(g.Pieces[1].Selected + g.Pieces[2].Selected + g.Pieces[3].Selected, 3);
}

TEST(SelectInBand, TheFrameCountsWithTwentyPixelMargins) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 30, .Knob = 0, .Frame = true});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  TPieceRecord& f = g.Pieces[2];  // 100 x 70 at (0, 0)
  for (TPieceRecord& p : g.Pieces) p.X = p.Y = 300;
  f.X = f.Y = 0;
  SetSkinRectBounds(g.Play.Band, 20, 20, 60, 30);
  SelectInBand(g, side, false);
  EXPECT_EQ(g.Pieces[2].Selected, 1);
  g.Pieces[2].Selected = 0;
  SetSkinRectBounds(g.Play.Band, 21, 20, 59, 30);
  SelectInBand(g, side, false);
  EXPECT_EQ(g.Pieces[2].Selected, 0);
  EXPECT_FALSE(g.Play.HasSelection);
}

TEST(ArrangeGrid, FollowsTheRuleWithAtLeastOneColumn) {
  const TGridCase cases[] = {
      {10, 1000, 500, 5, 2},  // 4 x 2, then a column: 2 * 5 <= 4 * 3
      {3, 600, 600, 2, 2},    // 2 x 2 holds 3
      {2, 600, 600, 2, 1},    // 1 x 1, a tie (1 * 2 = 1 * 2): the column wins
      {5, 600, 600, 3, 2},    // 2 x 2, a tie again: 3 x 2
      {5, 100, 400, 1, 5},    // round(sqrt(1.25)) = 1, round(sqrt(20)) = 4: 1 * 5 > 4 * 2
      {1, 100, 500, 1, 2},    // sqrt(0.2) rounds to 0 columns
      {4, 1, 1, 2, 2},        // the smallest area still follows the rule
      {0, 1000, 500, 1, 1},   // nothing to place still makes a grid of one cell
  };
  for (const TGridCase& c : cases) {
    const auto grid = ArrangeGrid(c.Count, c.W, c.H);
    EXPECT_EQ(grid.Cols, c.Cols) << c.Count << " " << c.W << "x" << c.H;
    EXPECT_EQ(grid.Rows, c.Rows) << c.Count << " " << c.W << "x" << c.H;
  }
}

TEST(ArrangeSelectedPieces, LonePiecesInAShuffledGridFromTheSelectionCorner) {
  TGameState g;
  MakeTestGame(g, {.Cols = 5, .Rows = 3, .Tile = 20, .Knob = 4, .Frame = true});
  for (int32_t i = 0; i < 15; ++i) {
    g.Pieces[size_t(i)].X = 300 + 13 * i;
    g.Pieces[size_t(i)].Y = 200 + 7 * (i % 4);
    g.Pieces[size_t(i)].Selected = i < 12;
  }
  g.Pieces[1].Group = g.Pieces[0].Group;  // a selected pair: sets the corner, does not move
  g.Pieces[15].Selected = 1;              // the frame never moves
  g.Pieces[15].X = 900;
  g.Pieces[15].Y = 400;
  g.Pieces[0].X = 250;
  g.Rng.RandSeed = 31337;
  ASSERT_TRUE(ArrangeSelectedPieces(g, 1000, 500));
  // Ten lone pieces: 5 x 2 cells of MaskS + KnobS = 24 pixels from (250, 200).
  std::vector<int> used(10, 0);
  for (int32_t i = 2; i < 12; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    ASSERT_EQ((p.X - 250) % 24, 0);
    ASSERT_EQ((p.Y - 200) % 24, 0);
    const int32_t col = (p.X - 250) / 24, row = (p.Y - 200) / 24;
    ASSERT_LT(col, 5);
    ASSERT_LT(row, 2);
    ++used[size_t(row * 5 + col)];
  }
  EXPECT_EQ(used, std::vector<int>(10, 1));
  EXPECT_EQ(g.Pieces[0].X, 250);
  EXPECT_EQ(g.Pieces[1].X, 313);
  EXPECT_EQ(g.Pieces[12].X, 300 + 13 * 12);
  EXPECT_EQ(g.Pieces[15].X, 900);
  TRandom count{31337};
  for (int i = 0; i < 10; ++i) count.Random(1);
  EXPECT_EQ(g.Rng.RandSeed, count.RandSeed);
}

TEST(ArrangeSelectedPieces, NothingWithoutLoneSelectedPieces) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1});
  for (TPieceRecord& p : g.Pieces) p.Group = 0, p.X = 50, p.Selected = 1;
  g.Rng.RandSeed = 5;
  EXPECT_FALSE(ArrangeSelectedPieces(g, 800, 600));
  EXPECT_EQ(g.Pieces[2].X, 50);
  EXPECT_EQ(g.Rng.RandSeed, 5u);
}

TEST(ArrangeSelectedPieces, ATallNarrowAreaStillGetsAColumn) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  g.Pieces[0].Selected = 1;
  g.Pieces[0].X = 10;
  g.Pieces[0].Y = 20;
  ASSERT_TRUE(ArrangeSelectedPieces(g, 30, 500));
  EXPECT_EQ(g.Pieces[0].X, 10);
  EXPECT_EQ(g.Pieces[0].Y, 20);
}

}  // namespace

namespace {

// Scaled with the field, a group that lay inside the sides' content stays inside it; one that
// already passed its edge is scaled as it is, and without content nothing is held back.
TEST(ScaleGroupPositions, KeepsGroupsThatLayInsideTheContentInside) {
  const struct {
    int32_t X, FieldFrom, FieldTo, ContentFrom, ContentTo;
    bool Content;
    int32_t ExpectedX;
  } cases[] = {
      {100, 640, 800, 800, 800, true, 127},  // centre 109.5 -> 136.9
      {700, 640, 800, 800, 800, true, 780},  // would end at 896: held at the content's edge
      {790, 640, 800, 800, 800, true, 990},  // ended past the edge before: scaled freely
      {700, 640, 800, 800, 800, false, 877}, {700, 800, 640, 800, 800, true, 558},  // shrinking never holds back
  };
  for (const auto& c : cases) {
    TGameState g;
    MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20, .Knob = 0});
    g.Pieces[0].X = c.X;
    g.Pieces[0].Y = 10;
    g.Field.FieldW = c.FieldTo;
    g.Field.FieldH = 600;
    const TContentChange content{c.ContentFrom, 600, c.ContentTo, 600};
    ScaleGroupPositions(g, 0, c.FieldFrom, 600, c.Content ? &content : nullptr);
    EXPECT_EQ(g.Pieces[0].X, c.ExpectedX) << c.X << " " << c.FieldFrom << "->" << c.FieldTo;
    EXPECT_EQ(g.Pieces[0].Y, 10);
  }
}

// The arranged grid moved back into the area keeps its pitch of MaskS + KnobS; it lies against
// the edge it ran past, or from the selection's corner when it fits; a grid wider than the area
// has each piece clamped in.
// On an area smaller than the boxes, wherever they lay, every piece comes to its top left.
TEST(MovePiecesIntoArea, BoxesLargerThanTheAreaAllGoToItsCorner) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 20, .Knob = 4});  // boxes 24, 28, 24 by 20
  for (int32_t i = 0; i < 3; ++i) {
    g.Pieces[size_t(i)].X = 3 * i;
    g.Pieces[size_t(i)].Y = 2 * i;
  }
  MovePiecesIntoArea(g, {0, 1, 2}, 20, 10);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(g.Pieces[size_t(i)].X, 0) << i;
    EXPECT_EQ(g.Pieces[size_t(i)].Y, 0) << i;
  }
}

TEST(MovePiecesIntoArea, ArrangedGridComesBackIntoTheArea) {
  const struct {
    int32_t X, Y, AreaW, AreaH;
    int32_t Left, Top, Right, Bottom;  // of the boxes together; -1: not checked
    bool Pitch;
  } cases[] = {
      {40, 30, 400, 100, 40, 30, -1, -1, true},    // room enough: from the selection's corner
      {150, 70, 200, 100, -1, 70, 200, 90, true},  // 3 x 1: against the right edge
      {60, 60, 100, 100, -1, -1, 100, 100, true},  // 2 x 2: against the right and bottom edges
      {-30, -5, 400, 100, 0, 0, -1, -1, true},     // never past the left or top edge
      {0, 0, 60, 30, 0, 0, 60, 20, false},         // a pitch of 20 for boxes of 24 and 28: clamped
  };
  for (const auto& c : cases) {
    TGameState g;
    MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 20, .Knob = 4});  // boxes 24, 28, 24 by 20
    for (int32_t i = 0; i < 3; ++i) {
      TPieceRecord& p = g.Pieces[size_t(i)];
      p.X = c.X + 5 * i;
      p.Y = c.Y;
      p.Selected = 1;
    }
    g.Rng.RandSeed = 7;
    std::vector<int32_t> arranged;
    ASSERT_TRUE(ArrangeSelectedPieces(g, c.AreaW, c.AreaH, &arranged));
    ASSERT_EQ(arranged.size(), 3u);
    MovePiecesIntoArea(g, arranged, c.AreaW, c.AreaH);
    const std::string at = std::to_string(c.X) + "," + std::to_string(c.Y) + " on " + std::to_string(c.AreaW) + "x" +
                           std::to_string(c.AreaH);
    int32_t left = 1 << 20, top = 1 << 20, right = 0, bottom = 0;
    std::vector<int32_t> xs, ys;
    for (int32_t i = 0; i < 3; ++i) {
      const TPieceRecord& p = g.Pieces[size_t(i)];
      left = std::min(left, p.X), top = std::min(top, p.Y);
      right = std::max(right, p.X + p.BoxW), bottom = std::max(bottom, p.Y + p.BoxH);
      xs.push_back(p.X), ys.push_back(p.Y);
    }
    EXPECT_GE(left, 0) << at;
    EXPECT_GE(top, 0) << at;
    EXPECT_LE(right, c.AreaW) << at;
    EXPECT_LE(bottom, c.AreaH) << at;
    if (c.Left >= 0) {
      EXPECT_EQ(left, c.Left) << at;
    }
    if (c.Top >= 0) {
      EXPECT_EQ(top, c.Top) << at;
    }
    if (c.Right >= 0) {
      EXPECT_EQ(right, c.Right) << at;
    }
    if (c.Bottom >= 0) {
      EXPECT_EQ(bottom, c.Bottom) << at;
    }
    if (!c.Pitch) continue;
    for (std::vector<int32_t>* v : {&xs, &ys}) {
      std::sort(v->begin(), v->end());
      v->erase(std::unique(v->begin(), v->end()), v->end());
      for (size_t k = 1; k < v->size(); ++k) EXPECT_EQ((*v)[k] - (*v)[k - 1], 24) << at;
    }
  }
}

// Two pieces of a group equally far out of view: the one first in the drawing order decides.
TEST(BringGroupsIntoView, AnEqualPullGoesToTheFirstPieceOfTheGroup) {
  for (bool leftFirst : {true, false}) {
    SCOPED_TRACE(leftFirst);
    TGameState g;
    MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 40, .Knob = 8});
    const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
    g.Pieces[1].Group = g.Pieces[0].Group;
    g.Pieces[2].X = g.Pieces[2].Y = 300;
    SortPieces(g, false);
    std::vector<int32_t> joined;  // the group's pieces in drawing order
    for (const auto& o : g.PieceOrder)
      if (o.Index >= 0 && o.Index < 2) joined.push_back(o.Index);
    ASSERT_EQ(joined.size(), 2u);
    const int32_t first = joined[0], second = joined[1];
    TPieceRecord& left = g.Pieces[size_t(leftFirst ? first : second)];
    TPieceRecord& above = g.Pieces[size_t(leftFirst ? second : first)];
    // Each is 10 pixels short of its strict margin: one to the left, one above.
    left.X = -left.BoxW / 4 - 10, left.Y = 200;
    above.X = 200, above.Y = -above.BoxH / 4 - 10;
    const TPlace before[2] = {{left.X, left.Y}, {above.X, above.Y}};
    EXPECT_TRUE(BringGroupsIntoView(g, side, true));
    const int32_t dx = leftFirst ? 10 : 0, dy = leftFirst ? 0 : 10;
    EXPECT_EQ((TPlace{left.X, left.Y}), (TPlace{before[0].X + dx, before[0].Y + dy}));
    EXPECT_EQ((TPlace{above.X, above.Y}), (TPlace{before[1].X + dx, before[1].Y + dy}));
  }
}

}  // namespace
