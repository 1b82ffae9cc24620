#include <gtest/gtest.h>

#include <cstring>

#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"
#include "game/piece_array.h"

TEST(PieceArray, AllocatesZeroedRecordsWithTheirOrderAndRefusesAbsurdCounts) {
  TGameState g;
  ASSERT_TRUE(AllocPieces(g, 5));
  EXPECT_EQ(g.Pieces.size(), 5u);
  EXPECT_EQ(g.PieceOrder.size(), 5u);
  g.Pieces[4].Code = 9;
  ASSERT_TRUE(AllocPieces(g, 3));  // the earlier block goes, the new one is clean
  EXPECT_EQ(g.Pieces.size(), 3u);
  const TPieceRecord zero{};
  for (const TPieceRecord& p : g.Pieces) EXPECT_EQ(std::memcmp(&p, &zero, sizeof p), 0);
  EXPECT_FALSE(AllocPieces(g, 0));
  EXPECT_TRUE(g.Pieces.empty());
  EXPECT_FALSE(AllocPieces(g, -4));
  EXPECT_FALSE(AllocPieces(g, kMaxPieceRecords + 1));
  EXPECT_TRUE(g.PieceOrder.empty());
  ASSERT_TRUE(AllocPieces(g, kMaxPieceRecords));
  FreePieces(g);
  EXPECT_TRUE(g.Pieces.empty());
  EXPECT_TRUE(g.PieceOrder.empty());
}

TEST(PieceArray, WithAFrameTheCutFillsTheExtraRecordAsTheLastLivePiece) {
  for (uint8_t border : {0, 1}) {
    TGameState g;
    TLevelGrid grid{};
    ComputeGrid(grid, 300, 240, 60, TShapeStyle::ClassicMixedKnobs, TBorderStyle(border));
    TLevelRecord& lv = g.GameLevel;
    FillLevelFromGrid(lv, grid);
    lv.ImageW = 300, lv.ImageH = 240, lv.BorderStyle = TBorderStyle(border),
    lv.ShapeStyle = TShapeStyle::ClassicMixedKnobs;
    const int32_t before = lv.TotalTileNum;
    ASSERT_TRUE(AllocPieces(g, lv.TotalTileNum + 1));
    TDibHolder templates;
    LoadKnobTemplateImage(*templates);
    TKnobState knobs;
    knobs.KnobTemplateImage = &*templates;
    g.Rng.RandSeed = 4242;
    TCutTarget t{lv, g.Pieces.data(), g.Images.PieceMasks[0], g.Rng, g.Progress, knobs, nullptr};
    CutJigsawGrid(t);
    EXPECT_EQ(HasBorderPiece(g), border == 1);
    if (border) {
      EXPECT_EQ(lv.TotalTileNum, before + 1);
      EXPECT_EQ(FramePieceIndex(g), before);
      EXPECT_EQ(g.Pieces[size_t(before)].Code, 5);
      EXPECT_EQ(g.Pieces[0].Neighbours[0], before);
      EXPECT_EQ(g.Pieces[0].Neighbours[1], before);
    } else {
      EXPECT_EQ(lv.TotalTileNum, before);
      EXPECT_EQ(FramePieceIndex(g), -1);
      const TPieceRecord zero{};
      EXPECT_EQ(std::memcmp(&g.Pieces[size_t(before)], &zero, sizeof zero), 0);  // the extra stays unused
    }
    EXPECT_EQ(g.Images.PieceMasks[0].Width, 305);
  }
}
