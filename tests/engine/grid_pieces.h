#pragma once
#include <cstdint>
#include <vector>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"
#include "foundation/level_record.h"

// A hand-made cut: a grid of square cells, each piece with a square knob pushed into its
// right neighbour, codes by the grid pattern, optionally a 20-pixel frame piece around it.
struct TTestCut {
  int32_t Cols = 3;
  int32_t Rows = 3;
  int32_t Tile = 20;
  int32_t Knob = 4;
  bool Frame = false;
  bool Rotate = false;
};

// The level record, the pieces (one spare record past the last), the picture and the unturned
// mask of the cut; each piece its own group. Made by plain pixel writes, independently of the
// game's own image operations.
void MakeTestCut(const TTestCut& cut, TLevelRecord& level, std::vector<TPieceRecord>& pieces, TDibImage& picture,
                 TDibImage& mask);
// The test picture's colour at a point of rotation 0, as bytes blue, green, red.
void TestPicturePixel(int32_t x, int32_t y, uint8_t bgr[3]);
