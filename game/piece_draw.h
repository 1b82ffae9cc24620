#pragma once
#include <cstdint>
#include <vector>

#include "game/game_state.h"

// Draws one piece of a window into a 24-bit target (the field buffer), clipped to the
// window's client rectangle, to clip (field coordinates) and to the target itself.
void DrawPieceClipped(TGameState& g, TDibImage& target, const TSkinRect& clip, const TPieceView& view, int32_t piece);
// The pieces of the list that a call of DrawPieceClipped with these arguments would show get
// their light and wood now, over the player's cores, rather than one by one as they are drawn.
void PrepareToDraw(TGameState& g, const TDibImage& target, const TSkinRect& clip, const TPieceView& view,
                   const std::vector<int32_t>& pieces);
