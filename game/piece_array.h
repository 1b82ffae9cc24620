#pragma once
#include <cstdint>

#include "game/game_state.h"

// The piece records of a game and their drawing order are one allocation: a game being opened
// asks for TotalTileNum + 1 records before the cut (the extra one becomes the frame piece with a
// frame border), a saved game for the records it stores.

// Largest count: neighbour indexes are 16-bit.
constexpr int32_t kMaxPieceRecords = 32767;

// Frees any earlier block and makes count zeroed records and order entries. A count below 1 or
// above kMaxPieceRecords is refused (false) and leaves no block.
bool AllocPieces(TGameState& g, int32_t count);
void FreePieces(TGameState& g);
// True when the game has a frame border, that is when its last live record is the frame piece.
bool HasBorderPiece(const TGameState& g);
