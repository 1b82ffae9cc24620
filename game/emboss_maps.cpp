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
  if (g.GameOptions.EmbossStyle == 0 && g.GameOptions.WoodStyle == 0) return;
  // The maps only note where each piece lies: their pixels are worked out when first drawn.
  const int32_t rotations = g.GameLevel.Rotate ? 4 : 1;
  TEmbossJob job = JobOf(g);
  job.TileBudget = kEmbossTileBudget / size_t(rotations);
  for (int32_t r = 0; r < rotations; ++r) {
    BuildEmbossMap(job, g.Images.PieceMasks[0], g.Images.EmbossMaps[r], r);
    g.Progress.Step();
  }
  // The field is painted next, the First Side from its top-left corner: what the pieces there
  // show in their own turns is built now, over the free cores. The rest, and the frame's band,
  // wait for their first paint.
  const int32_t threads = int32_t(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  const int32_t frame = FramePieceIndex(g), ww = g.GameOptions.WoodFrameWidth;
  for (int32_t r = 0; r < rotations; ++r) {
    std::vector<TPieceBox> drawn;
    for (int32_t i = 0; i < job.PieceCount; ++i) {
      const TPieceRecord& p = g.Pieces[size_t(i)];
      if (i != frame && (p.Rotation & 3) == r && p.Window == 0 && p.X < g.Field.FieldW && p.Y < g.Field.FieldH &&
          p.X + p.BoxW + ww > 0 && p.Y + p.BoxH + ww > 0)
        drawn.push_back({p.BoxX, p.BoxY, p.BoxW + ww, p.BoxH + ww});
    }
    g.Images.EmbossMaps[r].BuildTiles(drawn, threads);
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
  for (int32_t r = 0; r < rotations; ++r) ClearJoinedWood(g.Images.EmbossMaps[r], piece, joined);
}
