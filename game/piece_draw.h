#pragma once
#include <cstdint>

#include "game/game_state.h"

// Draws one piece of a window into a 24-bit target (the field buffer), clipped to the
// window's client rectangle, to clip (field coordinates) and to the target itself.
void DrawPieceClipped(TGameState& g, TDibImage& target, const TSkinRect& clip,
                      const TPieceView& view, int32_t piece);
