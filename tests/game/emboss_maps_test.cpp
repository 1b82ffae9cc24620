#include <gtest/gtest.h>

#include <cmath>

#include "engine/emboss.h"
#include "foundation/numeric.h"
#include "game/emboss_maps.h"
#include "game/game_state.h"
#include "game/pieces.h"
#include "play_fixture.h"

namespace {

int32_t Light(TGameState& g, int32_t x, int32_t y, int32_t r = 0) { return g.Images.EmbossMaps[r].Light(x, y); }

uint32_t WoodDepth(TGameState& g, int32_t x, int32_t y, int32_t patternClass) {
  return g.Images.EmbossMaps[0].Depth(x, y, patternClass);
}

uint16_t Classes(TGameState& g, int32_t x, int32_t y) { return g.Images.EmbossMaps[0].ClassBits(x, y); }

// Every pixel's classes and depths of turn 0.
std::vector<uint64_t> Wood(TGameState& g) {
  TEmbossMap& m = g.Images.EmbossMaps[0];
  std::vector<uint64_t> all;
  for (int32_t y = 0; y < m.Height; ++y)
    for (int32_t x = 0; x < m.Width; ++x) {
      uint64_t v = m.ClassBits(x, y);
      for (int32_t c = 0; c <= kFrameClass; ++c) v = v << 3 | m.Depth(x, y, c);
      all.push_back(v);
    }
  return all;
}

void Rebuild(TGameState& g, int emboss, int wood) {
  g.GameOptions.EmbossStyle = TEmbossStyle(emboss);
  g.GameOptions.WoodStyle = TWoodStyle(wood);
  RebuildEmbossMaps(g);
}

// One lone 20 x 20 piece at (0, 0): its light follows from the weights by hand.
TEST(EmbossLight, PaperStyleOnALonePiece) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20});
  Rebuild(g, 1, 0);
  // Radius 2 (reach 256). Top-left corner: left and up one step (128 each, weight 20),
  // up-left, up-right and down-left one diagonal step (181; weights 40, 10, -10):
  // 2 * 128 * 20 + 75 * 40 + 75 * 10 - 75 * 10 = 8120; 8120 / 128 = 63.
  EXPECT_EQ(Light(g, 0, 0), 128 + 63);
  // One pixel in: the orthogonal steps reach 256 (no light) and the diagonals 362.
  EXPECT_EQ(Light(g, 1, 1), 128);
  // Top edge: up 128 * 20, up-left 75 * 40, up-right 75 * 10 = 6310; / 128 = 49.
  EXPECT_EQ(Light(g, 10, 0), 128 + 49);
  // Left edge: left 2560, up-left 3000, down-left -750 = 4810; / 128 = 37.
  EXPECT_EQ(Light(g, 0, 10), 128 + 37);
  // Bottom-right corner mirrors the top-left with the negative weights: -8120 / 128 = -63.
  EXPECT_EQ(Light(g, 19, 19), 128 - 63);
  // Without a wood style there is no wood.
  EXPECT_FALSE(g.Images.EmbossMaps[0].HasWood());
}

TEST(EmbossLight, FatCardStyleReachesFurther) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20});
  Rebuild(g, 3, 0);
  // Radius 4 (reach 512), weights 8, 8, -8, -8, 12, 5, -12, -5.
  // Corner: 2 * 384 * 8 + 331 * 12 + 331 * 5 - 331 * 5 = 10116; / 128 = 79.
  EXPECT_EQ(Light(g, 0, 0), 128 + 79);
  // (1, 1): 2 * 256 * 8 + 150 * 12 + 150 * 5 - 150 * 5 = 5896; / 128 = 46.
  EXPECT_EQ(Light(g, 1, 1), 128 + 46);
  // (4, 10): the left step counts 5 (640 > 512): nothing from any side.
  EXPECT_EQ(Light(g, 5, 10), 128);
}

TEST(EmbossLight, ANarrowPieceCancelsToNoLight) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20});
  // Leave only columns 0..2 of the piece.
  TDibImage& mask = g.Images.PieceMasks[0];
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 3; x < 20; ++x) DibPixelAddress(mask, x, y)[0] = 255;
  Rebuild(g, 1, 0);
  // Middle column: left and right both count 2 (256, no light), diagonals 362: sum 0.
  EXPECT_EQ(Light(g, 1, 10), 128);
  // Right column: right 128 * -20, up-right and down-right diagonals leave at once:
  // -2560 + 75 * 10 - 75 * 40 = -4810; / 128 = -37.
  EXPECT_EQ(Light(g, 2, 10), 128 - 37);
}

TEST(EmbossLight, NoStylesBuildNothingAndTakeNoStep) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 2, .Rotate = true});
  int steps = 0;
  g.Progress.OnStep = [&](int, int) { ++steps; };
  Rebuild(g, 0, 0);
  EXPECT_EQ(steps, 0);
  for (int r = 0; r < 4; ++r) EXPECT_TRUE(g.Images.EmbossMaps[r].Empty());
  EXPECT_EQ(Light(g, 0, 0), 128);
  EXPECT_EQ(g.GameOptions.WoodFrameWidth, 0);
  // With rotation a style builds all four turns, one step each; without, one.
  Rebuild(g, 0, 2);
  EXPECT_EQ(steps, 4);
  EXPECT_EQ(g.GameOptions.WoodFrameWidth, 5);
  for (int r = 0; r < 4; ++r) EXPECT_FALSE(g.Images.EmbossMaps[r].Empty());
  g.GameLevel.Rotate = 0;
  Rebuild(g, 1, 0);
  EXPECT_EQ(steps, 5);
  EXPECT_FALSE(g.Images.EmbossMaps[0].HasWood());
  EXPECT_TRUE(g.Images.EmbossMaps[1].Empty());
}

TEST(EmbossLight, TurnedMasksAreLitFromTheScreenTopLeft) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20, .Rotate = true});
  Rebuild(g, 1, 0);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(Light(g, 0, 0, r), 128 + 63) << r;
    EXPECT_EQ(Light(g, 19, 19, r), 128 - 63) << r;
  }
}

TEST(WoodMap, DepthIsTheSmallestShiftThatCoversThePixel) {
  TGameState g;
  MakeTestGame(g, {.Cols = 1, .Rows = 1, .Tile = 20});
  Rebuild(g, 0, 1);  // width 3
  const TPieceRecord& p = g.Pieces[0];
  EXPECT_EQ(p.PatternClass, 0);
  EXPECT_EQ(p.ClassBit, 1);
  EXPECT_EQ(Classes(g, 5, 5), 1);
  EXPECT_EQ(WoodDepth(g, 5, 5, 0), 0u);    // body
  EXPECT_EQ(WoodDepth(g, 20, 20, 0), 1u);  // diagonal off the corner
  EXPECT_EQ(WoodDepth(g, 22, 10, 0), 3u);  // (19, 7) is the first body pixel up-left
  EXPECT_EQ(WoodDepth(g, 1, 20, 0), 1u);
  EXPECT_EQ(Classes(g, 23, 10), 0);  // beyond the wood width
  EXPECT_EQ(Classes(g, 0, 20), 0);   // no wood below the left column
  // Where a class has neither body nor wood its depth reads as none, for every class.
  for (auto [x, y] : {std::pair{23, 10}, {0, 20}, {5, 5}, {30, 30}}) {
    for (int32_t c = (x == 5 ? 1 : 0); c <= kFrameClass; ++c)
      EXPECT_EQ(WoodDepth(g, x, y, c), 0u) << x << "," << y << " class " << c;
  }
}

// Off the map and outside the classes nothing is read: no light, no classes, no depth, right
// beside a map whose every pixel has both.
TEST(WoodMap, ReadsOffTheMapOrPastTheClassesFindNothing) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 2, .Tile = 20, .Frame = true});
  Rebuild(g, 1, 2);
  const TEmbossMap& m = g.Images.EmbossMaps[0];
  ASSERT_TRUE(m.HasLight() && m.HasWood());
  const int32_t w = m.Width, h = m.Height;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      EXPECT_EQ(m.Depth(x, y, -1), 0u);
      EXPECT_EQ(m.Depth(x, y, kFrameClass + 1), 0u);
    }
  int32_t frameDepths = 0;
  for (int32_t y = 0; y < h; ++y) frameDepths += m.Depth(0, y, kFrameClass) + m.Depth(w - 1, y, kFrameClass);
  EXPECT_GT(frameDepths, 0) << "the frame's wood reaches the map's edges";
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {w, 0}, {0, h}, {w - 1, h}, {w, h - 1}}) {
    EXPECT_EQ(m.Light(x, y), kNoLight) << x << "," << y;
    EXPECT_EQ(m.ClassBits(x, y), 0) << x << "," << y;
    for (int32_t c = 0; c <= kFrameClass; ++c) EXPECT_EQ(m.Depth(x, y, c), 0u) << x << "," << y;
  }
}

TEST(WoodMap, PatternClassesFollowTheGridAndTheFrameHasItsOwn) {
  TGameState g;
  MakeTestGame(g, {.Cols = 4, .Rows = 4, .Frame = true});
  Rebuild(g, 0, 2);
  for (int32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(g.Pieces[size_t(i)].PatternClass, (i / 4 % 3) * 3 + i % 4 % 3) << i;
    EXPECT_EQ(g.Pieces[size_t(i)].ClassBit, 1 << g.Pieces[size_t(i)].PatternClass);
  }
  EXPECT_EQ(g.Pieces[16].PatternClass, 9);
  EXPECT_EQ(g.Pieces[16].ClassBit, 512);
  // The frame's inner edge throws wood into the cut area.
  EXPECT_EQ(WoodDepth(g, 30, 21, 9), 2u);
}

// Pieces 0 and 1 side by side, piece 0's knob at x 20..23, y 8..11 inside piece 1's cell.
TEST(WoodMap, JoinedNeighboursShowNoWoodOverEachOther) {
  TGameState apart;
  MakeTestGame(apart, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  Rebuild(apart, 0, 1);
  // Piece 0's wood on piece 1's body, piece 1's wood on piece 0's knob.
  EXPECT_EQ(WoodDepth(apart, 21, 2, 0), 2u);
  EXPECT_EQ(Classes(apart, 21, 2), 3);
  EXPECT_EQ(WoodDepth(apart, 21, 8, 1), 1u);
  EXPECT_EQ(WoodDepth(apart, 25, 12, 0), 2u);

  TGameState joined;
  MakeTestGame(joined, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  joined.Pieces[1].Group = 0;
  Rebuild(joined, 0, 1);
  EXPECT_EQ(WoodDepth(joined, 21, 2, 0), 0u);
  EXPECT_EQ(WoodDepth(joined, 21, 8, 1), 0u);
  EXPECT_EQ(WoodDepth(joined, 25, 12, 0), 0u);
  // Wood outside both bodies stays.
  EXPECT_EQ(WoodDepth(joined, 40, 20, 1), 1u);

  // A join of no neighbours or of a piece the map does not hold, or on a map without wood,
  // changes nothing.
  const std::vector<uint64_t> before = Wood(apart);
  TEmbossMap& map = apart.Images.EmbossMaps[0];
  for (const int32_t p : {-1, 2, 0}) ClearJoinedWood(map, p, p == 0 ? std::vector<int32_t>{} : std::vector<int32_t>{1});
  EXPECT_EQ(Wood(apart), before);
  TEmbossMap bare;
  ClearJoinedWood(bare, 0, {1});
  EXPECT_TRUE(bare.Empty());

  // A join at play time clears the same wood as a build of the joined groups.
  MergeGroups(apart, 0, 0, 1);
  EXPECT_EQ(Wood(apart), Wood(joined));
}

TEST(WoodMap, MergeGroupsNeedsAWoodStyleAndANeighbourInTheGroup) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 20, .Knob = 4});
  Rebuild(g, 0, 1);
  const std::vector<uint64_t> before = Wood(g);
  MergeGroups(g, 0, 0, 2);  // piece 2 is no neighbour of piece 0
  EXPECT_EQ(Wood(g), before);
  g.GameOptions.WoodStyle = TWoodStyle::None;
  MergeGroups(g, 0, 0, 1);
  EXPECT_EQ(Wood(g), before);
}

}  // namespace
