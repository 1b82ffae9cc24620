#pragma once
#include <cstdint>
#include <vector>

#include "game/game_state.h"

void FreeEmbossMaps(TGameState& g);
// Derives the wood width from the wood style, then sets up the light and the wood of rotation
// 0 (and 1..3 when the level rotates), one progress step each. Nothing with both styles 0.
// Every piece's look is worked out again when next drawn.
void RebuildEmbossMaps(TGameState& g);
// The pieces get their looks in their current turns now, over the player's cores, and lose
// those of other turns.
void BuildPieceLooks(TGameState& g, const std::vector<int32_t>& pieces);
// The map that holds the piece's look in its current turn, null without light and wood; the
// looks of its other turns go.
TEmbossMap* PieceLookMap(TGameState& g, int32_t piece);
// Before piece joins group toGroup: clears the wood between it and its neighbours there.
void MergeGroups(TGameState& g, int32_t piece, int32_t fromGroup, int32_t toGroup);
