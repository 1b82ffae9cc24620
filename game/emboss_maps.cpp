#include "game/emboss_maps.h"

#include <algorithm>
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
  if (!HasPieceEffects(g.GameOptions)) return;
  // The maps only note where each piece lies: a piece's light and wood are worked out when it
  // is first painted.
  const int32_t rotations = g.GameLevel.Rotate ? 4 : 1;
  const TEmbossJob job = JobOf(g);
  for (int32_t r = 0; r < rotations; ++r) {
    BuildEmbossMap(job, g.Images.PieceMasks[0], g.Images.EmbossMaps[r], r);
    g.Progress.Step();
  }
}

void BuildPieceLooks(TGameState& g, const std::vector<int32_t>& pieces) {
  const int32_t n = LivePieceCount(g);
  std::vector<int32_t> turn[4];
  for (int32_t i : pieces)
    if (i >= 0 && i < n) {
      const int32_t r = g.Pieces[size_t(i)].Rotation & 3;
      for (int32_t other = 0; other < 4; ++other)
        if (other != r) g.Images.EmbossMaps[other].DropLook(i);
      if (!g.Images.EmbossMaps[r].Empty() && !g.Images.EmbossMaps[r].HasLook(i)) turn[r].push_back(i);
    }
  const int32_t threads = int32_t(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  for (int32_t r = 0; r < 4; ++r)
    if (!turn[r].empty()) g.Images.EmbossMaps[r].BuildLooks(turn[r], threads);
}

TEmbossMap* PieceLookMap(TGameState& g, int32_t piece) {
  if (piece < 0 || piece >= LivePieceCount(g)) return nullptr;
  const int32_t r = g.Pieces[size_t(piece)].Rotation & 3;
  for (int32_t other = 0; other < 4; ++other)
    if (other != r) g.Images.EmbossMaps[other].DropLook(piece);
  TEmbossMap& map = g.Images.EmbossMaps[r];
  return map.Empty() ? nullptr : &map;
}

void MergeGroups(TGameState& g, int32_t piece, int32_t /*fromGroup*/, int32_t toGroup) {
  if (g.GameOptions.WoodStyle == TWoodStyle::None) return;
  const int32_t n = LivePieceCount(g);
  if (piece < 0 || piece >= n) return;
  std::vector<int32_t> joined;
  for (int16_t nb : g.Pieces[size_t(piece)].Neighbours)
    if (nb >= 0 && nb < n && g.Pieces[size_t(nb)].Group == toGroup) joined.push_back(nb);
  if (joined.empty()) return;
  const int32_t rotations = g.GameLevel.Rotate ? 4 : 1;
  for (int32_t r = 0; r < rotations; ++r) ClearJoinedWood(g.Images.EmbossMaps[r], piece, joined);
}
