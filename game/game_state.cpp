#include "game/game_state.h"

TGameImages::TGameImages() {
  for (int r = 0; r < 4; ++r) {
    InitDib(PictureImages[r]);
    InitDib(PieceMasks[r]);
  }
}

TGameImages::~TGameImages() { FreeAll(); }

void TGameImages::FreeAll() {
  for (int r = 0; r < 4; ++r) {
    FreeDib(PictureImages[r]);
    FreeDib(PieceMasks[r]);
    FreeEmbossMap(EmbossMaps[r]);
  }
}

int32_t LivePieceCount(const TGameState& g) {
  const int64_t n = g.GameLevel.TotalTileNum;
  if (n <= 0) return 0;
  return int32_t(n < int64_t(g.Pieces.size()) ? n : int64_t(g.Pieces.size()));
}

int32_t FramePieceIndex(const TGameState& g) {
  if (g.GameLevel.BorderStyle != TBorderStyle::Frame) return -1;
  return LivePieceCount(g) - 1;
}

void NotifyModified(TGameState& g) { g.Host->SetModified(); }

namespace {
class TDetachedPlayHost final : public TPlayHost {
 public:
  void SetModified() override {}
  void CheckSolved() override {}
  void SelectionChanged(bool) override {}
  void RefreshWindow(int32_t) override {}
  void ActivateWindow(int32_t) override {}
  void DragRedraw(int32_t) override {}
  void PaintHeld() override {}
};
}  // namespace

TPlayHost& DetachedPlayHost() {
  static TDetachedPlayHost host;
  return host;
}
