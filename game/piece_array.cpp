#include "game/piece_array.h"

bool AllocPieces(TGameState& g, int32_t count) {
  FreePieces(g);
  if (count < 1 || count > kMaxPieceRecords) return false;
  g.Pieces.assign(size_t(count), TPieceRecord{});
  g.PieceOrder.assign(size_t(count), TPieceOrderEntry{});
  return true;
}

void FreePieces(TGameState& g) {
  std::vector<TPieceRecord>().swap(g.Pieces);
  std::vector<TPieceOrderEntry>().swap(g.PieceOrder);
}

bool HasBorderPiece(const TGameState& g) { return g.GameLevel.BorderStyle == TBorderStyle::Frame; }
