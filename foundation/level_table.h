#pragma once
#include <array>
#include <cstdint>

#include "foundation/level_record.h"

// One piece grid of a picture: what a level of the level page stands for.
struct TLevelGrid {
  int32_t MaskS;
  int32_t TileS;
  int32_t KnobS;
  int32_t TilePX;
  int32_t TilePY;
  int32_t TileNum;
  int32_t PicPX;
  int32_t PicPY;
  int32_t PicNum;
  int32_t TotalTileNum;
  int32_t HalfKnobS;  // min(KnobS div 2, 4)
};

constexpr int kLevelCount = 14;
// Index = level: 0 has the smallest pieces (fewer than 4000), 13 the largest (about 16).
using TLevelTable = std::array<TLevelGrid, kLevelCount>;

// The grid for one piece size. Sizes below 1 count as 1, and a frame border wider than the
// picture leaves no room rather than a negative count.
void ComputeGrid(TLevelGrid& grid, int32_t w, int32_t h, int32_t size, TShapeStyle shape, TBorderStyle border);

// Fills the table for a picture; a picture of width or height 0 leaves it as it was.
void BuildLevelTable(TLevelTable& table, int32_t w, int32_t h, TShapeStyle shape, TBorderStyle border);

// Copies one level of the table into a level record as the level page does: sizes and grid,
// the half-knob margin at least 4 (the grid's own half-knob value is not used), and the main
// pieces only: no extra picture pieces, TotalTileNum = TileNum (the cut adds the frame piece).
void FillLevelFromGrid(TLevelRecord& level, const TLevelGrid& grid);
