#include "game/emboss_maps.h"

#include <thread>
#include <vector>

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
  if (!g.GameLevel.Rotate) {
    BuildEmbossMap(job, g.Images.PieceMasks[0], g.Images.EmbossMaps[0], 0);
    g.Progress.Step();
    return;
  }
  // The four rotations touch their own mask and map only: they are built side by side, once
  // the pieces' classes are set. The progress steps follow on this thread.
  if (job.WoodStyle != 0) AssignPatternClasses(job);
  std::vector<std::thread> workers;
  for (int32_t r = 1; r < 4; ++r)
    workers.emplace_back([&g, &job, r] { BuildEmbossMap(job, g.Images.PieceMasks[r], g.Images.EmbossMaps[r], r); });
  BuildEmbossMap(job, g.Images.PieceMasks[0], g.Images.EmbossMaps[0], 0);
  g.Progress.Step();
  for (std::thread& w : workers) {
    w.join();
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
