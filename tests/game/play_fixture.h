#pragma once
#include <cstdint>

#include "game/game_state.h"

// A hand-made cut: a grid of square cells, each piece with a square knob pushed into its
// right neighbour, codes by the grid pattern, optionally a 20-pixel frame piece around it.
// Masks and pictures of all four rotations are made here by plain pixel turns, independently
// of the game's own image operations.
struct TTestCut {
  int32_t Cols = 3;
  int32_t Rows = 3;
  int32_t Tile = 20;
  int32_t Knob = 4;
  bool Frame = false;
  bool Rotate = false;
};

void MakeTestGame(TGameState& g, const TTestCut& cut);
// Puts every piece where it belongs in the picture (content = picture coordinates), rotation 0.
void AssemblePieces(TGameState& g);
// The test picture's colour at a point of rotation 0, as bytes blue, green, red.
void TestPicturePixel(int32_t x, int32_t y, uint8_t bgr[3]);
// A window whose client starts at (left, top) and covers w x h, unscrolled.
TPieceView TestView(int32_t index, int32_t style, int32_t left, int32_t top, int32_t w, int32_t h);
