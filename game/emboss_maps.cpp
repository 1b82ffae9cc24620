#include "game/emboss_maps.h"

#include "game/piece_order.h"

namespace {

TEmbossJob JobOf(TGameState& g) {
  TEmbossJob job;
  job.Pieces = g.Pieces.data();
  job.PieceCount = LivePieceCount(g);
  job.TilePX = g.GameLevel.TilePX;
  job.FramePiece = FramePieceIndex(g);
  job.EmbossStyle = g.GameOptions.EmbossStyle;
  job.WoodStyle = g.GameOptions.WoodStyle;
  job.WoodWidth = g.GameOptions.WoodFrameWidth;
  return job;
}

}  // namespace

void FreeEmbossMaps(TGameState& g) {
  for (TEmbossMap& map : g.Images.EmbossMaps) FreeEmbossMap(map);
}

void RebuildEmbossMaps(TGameState& g) {
  FreeEmbossMaps(g);
  g.GameOptions.WoodFrameWidth = WoodWidthForStyle(g.GameOptions.WoodStyle);
  SortPieces(g, false);
  if (g.GameOptions.EmbossStyle == 0 && g.GameOptions.WoodStyle == 0) return;
  const TEmbossJob job = JobOf(g);
  const int32_t rotations = g.GameLevel.Rotate ? 4 : 1;
  for (int32_t r = 0; r < rotations; ++r) {
    BuildEmbossMap(job, g.Images.PieceMasks[r], g.Images.EmbossMaps[r], r);
    g.Progress.Step();
  }
}

void MergeGroups(TGameState& g, int32_t piece, int32_t /*fromGroup*/, int32_t toGroup) {
  if (g.GameOptions.WoodStyle == 0) return;
  const int32_t n = LivePieceCount(g);
  if (piece < 0 || piece >= n) return;
  std::vector<int32_t> joined;
  for (int16_t nb : g.Pieces[size_t(piece)].Neighbours)
    if (nb >= 0 && nb < n && g.Pieces[size_t(nb)].Group == toGroup) joined.push_back(nb);
  if (joined.empty()) return;
  const int32_t rotations = g.GameLevel.Rotate ? 4 : 1;
  for (int32_t r = 0; r < rotations; ++r)
    ClearJoinedWood(g.Images.EmbossMaps[r], g.Images.PieceMasks[r], g.Pieces.data(), piece,
                    joined, r, g.GameOptions.WoodFrameWidth);
}
