#pragma once
#include <cstdint>

#include "game/game_state.h"

void FreeEmbossMaps(TGameState& g);
// Derives the wood width from the wood style, then builds the light and the wood of rotation
// 0 (and 1..3 when the level rotates), one progress step each. Nothing with both styles 0.
void RebuildEmbossMaps(TGameState& g);
// Before piece joins group toGroup: clears the wood between it and its neighbours there.
void MergeGroups(TGameState& g, int32_t piece, int32_t fromGroup, int32_t toGroup);
