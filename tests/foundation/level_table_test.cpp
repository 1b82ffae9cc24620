#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "foundation/level_table.h"

namespace {

std::vector<int32_t> Sizes(const TLevelTable& t) {
  std::vector<int32_t> v;
  for (const TLevelGrid& g : t) v.push_back(g.TileS);
  return v;
}

TEST(ComputeGrid, DerivedSizesCountsAndTinyInputs) {
  TLevelGrid g;
  ComputeGrid(g, 1024, 768, 40, TShapeStyle::Classic,
              TBorderStyle::None);  // mask (40 - 20) div 4 * 6 + 28
  EXPECT_EQ(std::vector<int32_t>({g.MaskS, g.KnobS, g.HalfKnobS, g.TilePX, g.TilePY, g.PicNum, g.TotalTileNum}),
            std::vector<int32_t>({58, 9, 4, 25, 19, 0, 475}));
  ComputeGrid(g, 800, 600, 20, TShapeStyle::IrregularFigures,
              TBorderStyle::Frame);  // frame border: 760 x 560 usable; picture shapes add pieces
  EXPECT_EQ(std::vector<int32_t>({g.KnobS, g.HalfKnobS, g.TilePX, g.TilePY, g.PicPX, g.PicPY, g.TotalTileNum}),
            std::vector<int32_t>({4, 2, 38, 28, 19, 14, 38 * 28 + 19 * 14}));
  ComputeGrid(g, 10, 10, -7, TShapeStyle::Classic, TBorderStyle::None);
  EXPECT_EQ(g.TileS, 1);
  EXPECT_EQ(g.TileNum, 100);
  // A frame border wider than the picture leaves no pieces, not a product of two negatives.
  ComputeGrid(g, 30, 30, 1, TShapeStyle::Classic, TBorderStyle::Frame);
  EXPECT_EQ(g.TilePX | g.TilePY | g.TotalTileNum, 0);
}

TEST(LevelTable, WorkedExamplesAndTheLargestLevelSearch) {
  TLevelTable t{};
  BuildLevelTable(t, 1024, 768, TShapeStyle::Classic, TBorderStyle::None);
  EXPECT_EQ(Sizes(t), (std::vector<int32_t>{20, 24, 28, 34, 40, 48, 57, 68, 80, 96, 114, 136, 161, 192}));
  EXPECT_EQ(t[0].TotalTileNum, 1938);
  EXPECT_EQ(t[13].TotalTileNum, 20);
  BuildLevelTable(t, 800, 600, TShapeStyle::IrregularFigures, TBorderStyle::Frame);
  EXPECT_EQ(Sizes(t), (std::vector<int32_t>{20, 23, 27, 32, 37, 43, 51, 59, 69, 81, 94, 110, 128, 150}));
  EXPECT_EQ(t[0].TotalTileNum, 1330);
  EXPECT_EQ(t[13].TotalTileNum, 17);
  BuildLevelTable(t, 1600, 1200, TShapeStyle::Irregular, TBorderStyle::None);
  EXPECT_EQ(std::vector<int32_t>({t[0].TileS, t[0].TotalTileNum, t[13].TileS, t[13].TotalTileNum}),
            std::vector<int32_t>({22, 3888, 300, 20}));
  // 1000 x 200: size 50 gives 80; 50.5 rounds to even 50; 51 gives 57 (> 16), which ends it.
  BuildLevelTable(t, 1000, 200, TShapeStyle::Classic, TBorderStyle::None);
  EXPECT_EQ(t[13].TileS, 51);
  EXPECT_EQ(t[13].TotalTileNum, 57);
  // 60 x 60 inside the frame: shrinking by 1 % steps first reaches 16 pieces at size 15.
  BuildLevelTable(t, 100, 100, TShapeStyle::Classic, TBorderStyle::Frame);
  EXPECT_EQ(t[13].TileS, 15);
  EXPECT_EQ(t[13].TotalTileNum, 16);
}

TEST(LevelTable, EmptyPicturesKeepTheTableAndTinyOnesEndWithPiecesOfOnePixel) {
  TLevelTable t{};
  BuildLevelTable(t, 1024, 768, TShapeStyle::Classic, TBorderStyle::None);
  const std::vector<int32_t> before = Sizes(t);
  BuildLevelTable(t, 0, 500, TShapeStyle::Classic, TBorderStyle::None);
  BuildLevelTable(t, 500, 0, TShapeStyle::Classic, TBorderStyle::None);
  EXPECT_EQ(Sizes(t), before);
  for (auto [w, h, border] : {std::tuple{3, 5, 0}, std::tuple{30, 30, 1}, std::tuple{4, 4, 0}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    BuildLevelTable(t, w, h, TShapeStyle::Classic, TBorderStyle(border));
    for (const TLevelGrid& g : t) EXPECT_GE(g.TileS, 1);
    EXPECT_EQ(t[13].TileS, 1);
  }
  EXPECT_EQ(t[13].TotalTileNum, 16);  // 4 x 4 pixels: just large enough
}

TEST(LevelTable, FillLevelFromGridCopiesTheGridAsTheLevelPageDoes) {
  TLevelGrid g;
  ComputeGrid(g, 800, 600, 20, TShapeStyle::IrregularFigures,
              TBorderStyle::Frame);  // picture shapes: the table counts extra pieces
  TLevelRecord lv{};
  lv.ImageW = 800, lv.GameSeed = 99, lv.PicNum = 7, lv.TotalTileNum = 5;
  FillLevelFromGrid(lv, g);
  // Only the main pieces: the cut makes TileNum cells and adds the frame itself.
  EXPECT_EQ(std::vector<int32_t>({lv.MaskS, lv.TileS, lv.KnobS, lv.TilePX, lv.TilePY, lv.TileNum, lv.PicPX, lv.PicPY,
                                  lv.PicNum, lv.TotalTileNum, lv.ImageW, lv.GameSeed}),
            std::vector<int32_t>({g.MaskS, 20, 4, 38, 28, 38 * 28, 0, 0, 0, 38 * 28, 800, 99}));
  // The half-knob margin is KnobS div 2 raised to 4, unlike the grid's own min(.., 4).
  EXPECT_EQ(lv.HalfKnobS, 4);
  ComputeGrid(g, 1024, 768, 192, TShapeStyle::Classic, TBorderStyle::None);
  FillLevelFromGrid(lv, g);
  EXPECT_EQ(g.HalfKnobS, 4);
  EXPECT_EQ(lv.HalfKnobS, 47 / 2);
}

}  // namespace
