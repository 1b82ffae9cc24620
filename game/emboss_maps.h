#pragma once
#include <cstddef>
#include <cstdint>

#include "game/game_state.h"

// What the light and wood maps of all turns together keep of what they worked out, beyond what
// the paint under way reads: about two full screens of pieces.
constexpr size_t kEmbossTileBudget = size_t(24) << 20;

void FreeEmbossMaps(TGameState& g);
// Derives the wood width from the wood style, then builds the light and the wood of rotation
// 0 (and 1..3 when the level rotates), one progress step each. Nothing with both styles 0.
void RebuildEmbossMaps(TGameState& g);
// Before piece joins group toGroup: clears the wood between it and its neighbours there.
void MergeGroups(TGameState& g, int32_t piece, int32_t fromGroup, int32_t toGroup);
