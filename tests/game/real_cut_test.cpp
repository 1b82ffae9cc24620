#include <gtest/gtest.h>

#include <algorithm>

#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/dib_ops.h"
#include "foundation/level_table.h"
#include "game/emboss_maps.h"
#include "game/piece_array.h"
#include "game/piece_draw.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "play_fixture.h"

namespace {

// A grid cut of a small picture, with its turned pictures and masks, pieces assembled.
void CutGame(TGameState& g, int32_t w, int32_t h, int32_t size, bool border, uint32_t seed) {
  static TDibHolder templates;
  if (templates->Width == 0) {
    ASSERT_TRUE(LoadKnobTemplateImage(*templates));
  }
  TLevelGrid grid{};
  ComputeGrid(grid, w, h, size, TShapeStyle::Classic, border ? TBorderStyle::Frame : TBorderStyle::None);
  TLevelRecord& lv = g.GameLevel;
  lv = TLevelRecord{};
  FillLevelFromGrid(lv, grid);
  lv.ImageW = w, lv.ImageH = h;
  lv.BorderStyle = border ? TBorderStyle::Frame : TBorderStyle::None;
  lv.ShapeStyle = TShapeStyle::Classic;
  lv.Rotate = 1;
  ASSERT_TRUE(AllocPieces(g, lv.TotalTileNum + 1));
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  g.Rng.RandSeed = seed;
  g.Progress.Start(11);
  TCutTarget target{lv, g.Pieces.data(), g.Images.PieceMasks[0], g.Rng, g.Progress, knobs, [](const std::string&) {}};
  CutJigsawGrid(target);
  ASSERT_TRUE(CreateDib24(g.Images.PictureImages[0], w, h));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t bgr[3];
      TestPicturePixel(x, y, bgr);
      SetDibPixel(g.Images.PictureImages[0], x, y, bgr[2] | bgr[1] << 8 | uint32_t(bgr[0]) << 16);
    }
  for (int32_t r = 1; r < 4; ++r) {
    ASSERT_TRUE(RotateDib90(g.Images.PictureImages[r], g.Images.PictureImages[r - 1]));
    ASSERT_TRUE(RotateDibWithMargin(g.Images.PieceMasks[r], g.Images.PieceMasks[r - 1], 5));
  }
  g.GameLoaded = true;
  g.Field = TFieldArea{w, h, w, h};
  g.GameOptions.EmbossStyle = TEmbossStyle::None;
  g.GameOptions.WoodStyle = TWoodStyle::None;
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) g.Pieces[size_t(i)].Group = i;
  AssemblePieces(g);
}

TEST(RealCut, EveryPixelOfTheAssembledPictureHitsItsOwnPiece) {
  TGameState g;
  CutGame(g, 150, 110, 30, true, 424242);
  const TPieceView view = TestView(0, 0, 0, 0, 150, 110);
  const TDibImage& mask = g.Images.PieceMasks[0];
  std::vector<int32_t> hits(size_t(g.GameLevel.TotalTileNum), 0);
  for (int32_t y = 0; y < 110; ++y)
    for (int32_t x = 0; x < 150; ++x) {
      const int32_t p = PieceAtPoint(g, view, x, y);
      ASSERT_GE(p, 0) << x << "," << y;
      const TPieceRecord& piece = g.Pieces[size_t(p)];
      ASSERT_EQ(piece.Code, *DibPixelAddress(mask, x, y)) << x << "," << y;
      ASSERT_TRUE(x >= piece.PieceX && x < piece.PieceX + piece.PieceW && y >= piece.PieceY &&
                  y < piece.PieceY + piece.PieceH);
      ++hits[size_t(p)];
    }
  // Every piece, the frame too, was found.
  for (size_t i = 0; i < hits.size(); ++i) EXPECT_GT(hits[i], 0) << i;
}

// A turned piece is hit exactly where its unturned silhouette, turned, lies.
TEST(RealCut, TurnedPiecesAreHitWhereTheirTurnedShapeLies) {
  TGameState g;
  CutGame(g, 150, 110, 30, false, 99);
  const TPieceView view = TestView(0, 0, 0, 0, 600, 600);
  const TDibImage& mask = g.Images.PieceMasks[0];
  for (int32_t i : {0, 4, g.GameLevel.TotalTileNum - 1}) {
    for (TPieceRecord& p : g.Pieces) p.X = p.Y = 5000;  // everything else far away
    TPieceRecord& p = g.Pieces[size_t(i)];
    const int32_t w = p.PieceW, h = p.PieceH;
    for (uint8_t r = 0; r < 4; ++r) {
      p.Rotation = r;
      UpdatePieceRotation(g, p);
      p.X = 100;
      p.Y = 80;
      for (int32_t v = 0; v < p.BoxH; ++v)
        for (int32_t u = 0; u < p.BoxW; ++u) {
          // The box-local point (u, v) of turn r comes from (x, y) of the unturned box.
          int32_t x = u, y = v;
          if (r == 1) x = v, y = h - 1 - u;
          if (r == 2) x = w - 1 - u, y = h - 1 - v;
          if (r == 3) x = w - 1 - v, y = u;
          const bool body = *DibPixelAddress(mask, p.PieceX + x, p.PieceY + y) == p.Code;
          ASSERT_EQ(PieceAtPoint(g, view, 100 + u, 80 + v) == i, body)
              << "piece " << i << " turn " << int(r) << " at " << u << "," << v;
        }
    }
  }
}

}  // namespace
