#pragma once
#include <cstdint>

#include "engine/grid_pieces.h"
#include "game/game_state.h"

// The hand-made cut of engine/grid_pieces.h as a loaded game, with masks and pictures of all
// four rotations made by plain pixel turns.
void MakeTestGame(TGameState& g, const TTestCut& cut);
// Puts every piece where it belongs in the picture (content = picture coordinates), rotation 0.
void AssemblePieces(TGameState& g);
// A window whose client starts at (left, top) and covers w x h, unscrolled.
TPieceView TestView(int32_t index, int32_t style, int32_t left, int32_t top, int32_t w, int32_t h);
