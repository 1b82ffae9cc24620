#include "foundation/level_table.h"

#include <cmath>

#include "foundation/numeric.h"

namespace {
constexpr int32_t kFramePictureMargin = 40;  // a frame border takes 20 pixels on each side
constexpr int32_t kSmallestPieceSize = 20;
constexpr int32_t kMostPiecesBelow = 4000;
constexpr int32_t kFewestPieces = 16;
}  // namespace

void ComputeGrid(TLevelGrid& grid, int32_t w, int32_t h, int32_t size, TShapeStyle shape, TBorderStyle border) {
  size = IntMax(size, 1);
  grid.TileS = size;
  grid.MaskS = (size - 20) / 4 * 6 + 28;
  grid.KnobS = (grid.MaskS - grid.TileS) / 2;
  grid.HalfKnobS = IntMin(grid.KnobS / 2, 4);
  const bool frame = border == TBorderStyle::Frame;
  const int32_t usableW = IntMax(frame ? w - kFramePictureMargin : w, 0);
  const int32_t usableH = IntMax(frame ? h - kFramePictureMargin : h, 0);
  grid.TilePX = usableW / size;
  grid.TilePY = usableH / size;
  grid.TileNum = grid.TilePX * grid.TilePY;
  if (ShapeStyleRow(shape).PictureShapes) {  // room for the pictures among the cells
    grid.PicPX = grid.TilePX / 2;
    grid.PicPY = grid.TilePY / 2;
  } else {
    grid.PicPX = grid.PicPY = 0;
  }
  grid.PicNum = grid.PicPX * grid.PicPY;
  grid.TotalTileNum = grid.TileNum + grid.PicNum;
}

void BuildLevelTable(TLevelTable& table, int32_t w, int32_t h, TShapeStyle shape, TBorderStyle border) {
  if (w == 0 || h == 0) return;
  TLevelGrid g0, g1, g2;
  for (int32_t size = kSmallestPieceSize;; ++size) {
    ComputeGrid(g0, w, h, size, shape, border);
    if (g0.TotalTileNum < kMostPiecesBelow) break;
  }

  // The running size is a double, each step multiplied in extended precision.
  const int32_t s = IntMax(IntMin(w, h) / 4, 1);
  ComputeGrid(g1, w, h, s, shape, border);
  double d = s;
  if (g1.TotalTileNum < kFewestPieces) {
    // Shrink until there are enough pieces; a size that would round to 0 stops at 1.
    while (g1.TotalTileNum < kFewestPieces && g1.TileS > 1) {
      d = double(d * 0.99L);
      ComputeGrid(g1, w, h, IntMax(Round(d), 1), shape, border);
    }
  } else if (g1.TotalTileNum > kFewestPieces) {
    for (;;) {
      d = double(d * 1.01L);
      ComputeGrid(g2, w, h, Round(d), shape, border);
      if (g2.TotalTileNum <= kFewestPieces) break;
      if (g2.TotalTileNum < g1.TotalTileNum) {
        g1 = g2;
        break;
      }
    }
  }

  const long double ratio = std::pow((long double)g1.TileS / g0.TileS, 1.0L / 13);
  table[0] = g0;
  table[kLevelCount - 1] = g1;
  d = g0.TileS;
  for (int level = 1; level < kLevelCount - 1; ++level) {
    d = double(d * ratio);
    ComputeGrid(table[size_t(level)], w, h, Round(d), shape, border);
  }
}

void FillLevelFromGrid(TLevelRecord& level, const TLevelGrid& grid) {
  level.MaskS = grid.MaskS;
  level.TileS = grid.TileS;
  level.KnobS = grid.KnobS;
  level.HalfKnobS = IntMax(grid.KnobS / 2, 4);
  level.TilePX = grid.TilePX;
  level.TilePY = grid.TilePY;
  level.TileNum = grid.TileNum;
  level.PicPX = level.PicPY = level.PicNum = 0;
  level.TotalTileNum = grid.TileNum;
}
