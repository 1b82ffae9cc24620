#pragma once
#include <vector>

#include "game/game_state.h"

// Puts the entries in the order that the game's exchange sort gives: for i < j the pair at i
// is swapped with the pair at j whenever i's group is greater (ascending) or less
// (descending). That sort is not stable, and the order it leaves inside a group decides which
// piece of a group is drawn last and hit first, so the result must match it exactly.
// Runs in O(n log n).
void ExchangeSortOrder(std::vector<TPieceOrderEntry>& order, bool descending);

// Refills PieceOrder with (Group, index) of the live pieces in index order and sorts it.
void SortPieces(TGameState& g, bool descending);

// The groups with pieces in the game window of that index, counted over the drawing order
// (sorted afresh when refresh is set).
int32_t CountWindowPieces(TGameState& g, int32_t window, bool refresh);
