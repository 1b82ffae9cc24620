#pragma once
#include "engine/cut_target.h"

// The grid cut of shape styles 4 to 6: a regular grid of knobbed pieces.
//
// Reads the game record's picture size, piece size, knob margin, grid and styles; writes JigsL,
// JigsT, JigsR, JigsB and (with a frame border) raises TotalTileNum by one for the frame piece.
// The cut map is made anew in target.CutMap ((ImageW + 5) x (ImageH + 5), white picture area,
// black strips): the game passes its first piece mask. Fills the cut fields of the piece
// records (at least TotalTileNum + 1 of them), draws from the generator in a fixed order and
// makes exactly 11 progress steps. A piece whose seed point was not white is reported through
// ShowMessage once the cut is complete.
void CutJigsawGrid(TCutTarget& target);

// Cut-map codes of the grid: any two cells that touch, diagonals included, differ.
uint8_t GridCode(int32_t row, int32_t column);
uint8_t GridCode2(int32_t row, int32_t column);
constexpr uint8_t kFrameCode = 5;
constexpr uint8_t kFrameCode2 = 128;
constexpr int32_t kFrameWidth = 20;
constexpr int32_t kGridCutSteps = 11;
