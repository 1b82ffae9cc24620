// Play-time costs on a full-screen field: one redraw frame of a dragged group, one hit test,
// and the drawing order, with about 4000 pieces on a 1920 x 1080 field.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "foundation/numeric.h"
#include "game/emboss_maps.h"
#include "game/game_state.h"
#include "game/layout.h"
#include "game/piece_draw.h"
#include "game/piece_order.h"
#include "game/pieces.h"

namespace {

constexpr int32_t kCols = 80, kRows = 50, kTile = 21, kKnob = 5;
constexpr uint8_t kCodes[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};

// Rectangular pieces with knob margins: enough for the costs, which depend on box sizes.
struct TBenchGame {
  TGameState g;
  TDibHolder screen, still;
  TPieceView view;
  int32_t grabX = 0, grabY = 0;

  TBenchGame() {
    TLevelRecord& lv = g.GameLevel;
    lv.TileS = lv.MaskS = kTile;
    lv.KnobS = kKnob;
    lv.TilePX = kCols;
    lv.TilePY = kRows;
    lv.TileNum = lv.TotalTileNum = kCols * kRows;
    lv.ImageW = kCols * kTile;
    lv.ImageH = kRows * kTile;
    g.GameLoaded = true;
    CreateDib24(g.Images.PictureImages[0], lv.ImageW, lv.ImageH);
    CreateDib24(g.Images.PieceMasks[0], lv.ImageW + 5, lv.ImageH + 5);
    for (int32_t y = 0; y < lv.ImageH; ++y)
      for (int32_t x = 0; x < lv.ImageW; ++x) {
        SetDibPixel(g.Images.PictureImages[0], x, y, uint32_t(x * 3 + y * 5) & 0xFFFFFF);
        uint8_t* m = DibPixelAddress(g.Images.PieceMasks[0], x, y);
        m[0] = kCodes[(y / kTile % 3) * 3 + x / kTile % 3];
        m[2] = 128;
      }
    g.Pieces.assign(size_t(lv.TotalTileNum + 1), TPieceRecord{});
    for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
      TPieceRecord& p = g.Pieces[size_t(i)];
      const int32_t c = i % kCols, r = i / kCols;
      p.PieceX = c * kTile - (c > 0 ? kKnob : 0);
      p.PieceY = r * kTile - (r > 0 ? kKnob : 0);
      p.PieceW = kTile + (c > 0 ? kKnob : 0) + (c < kCols - 1 ? kKnob : 0);
      p.PieceH = kTile + (r > 0 ? kKnob : 0) + (r < kRows - 1 ? kKnob : 0);
      p.Code = kCodes[(r % 3) * 3 + c % 3];
      for (int16_t& n : p.Neighbours) n = kNoNeighbour;
    }
    g.Field = TFieldArea{1920, 1080, 1920, 1080};
    g.Rng.RandSeed = 2024;
    InitPiecesForPlay(g);
    SpreadPieces(g, 0, false);
    g.GameOptions.EmbossStyle = 1;
    g.GameOptions.WoodStyle = 2;
    RebuildEmbossMaps(g);
    // A group of 10 x 5 pieces, assembled, as a player drags it late in a game.
    for (int32_t r = 0; r < 5; ++r)
      for (int32_t c = 0; c < 10; ++c) {
        TPieceRecord& p = g.Pieces[size_t(r * kCols + c)];
        p.Group = 0;
        p.X = 600 + p.PieceX;
        p.Y = 400 + p.PieceY;
      }
    view.Index = 0;
    SetSkinRectBounds(view.Client, 0, 0, 1920, 1080);
    CreateDib24(*screen, 1920, 1080);
    CreateDib24(*still, 1920, 1080);
    g.Play.HeldPiece = 0;
    grabX = 610;
    grabY = 410;
    StartDrag(g, view, grabX, grabY, false);
    g.Hooks.PaintHeld = [this] { PaintHeld(); };
  }

  // What the field painter does per mouse move: restore the static buffer under the old and
  // new drag rectangles, then draw the held group bottom to top.
  void PaintHeld() {
    TSkinRect area = g.Play.DragRect;
    IncludeInSkinRect(area, area.Left - 8, area.Top - 8, area.Right + 8, area.Bottom + 8);
    const int32_t left = IntMax(area.Left, 0), right = IntMin(area.Right, 1919);
    for (int32_t y = IntMax(area.Top, 0); y <= IntMin(area.Bottom, 1079); ++y)
      std::memcpy(DibPixelAddress(*screen, left, y), DibPixelAddress(*still, left, y),
                  size_t(right - left + 1) * 3);
    SortPieces(g, false);
    const int32_t group = g.Pieces[size_t(g.Play.HeldPiece)].Group;
    for (const TPieceOrderEntry& e : g.PieceOrder)
      if (e.Group == group) DrawPieceClipped(g, *screen, area, view, e.Index);
  }
};

TBenchGame& Game() {
  static std::unique_ptr<TBenchGame> game = std::make_unique<TBenchGame>();
  return *game;
}

void BM_DragFrame(benchmark::State& state) {
  TBenchGame& b = Game();
  int32_t step = 0;
  for (auto _ : state) {
    step = (step + 1) % 40;
    MoveHeld(b.g, b.view, nullptr, b.grabX + step, b.grabY + step / 2, false);
    benchmark::DoNotOptimize(b.screen->Bits);
  }
}
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMicrosecond);

void BM_HitTest(benchmark::State& state) {
  TBenchGame& b = Game();
  int32_t k = 0;
  for (auto _ : state) {
    k = (k + 97) % 1000;
    benchmark::DoNotOptimize(PieceAtPoint(b.g, b.view, 400 + k, 300 + k / 2));
  }
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

void BM_SortPieces(benchmark::State& state) {
  TBenchGame& b = Game();
  for (auto _ : state) {
    SortPieces(b.g, false);
    benchmark::DoNotOptimize(b.g.PieceOrder.data());
  }
}
BENCHMARK(BM_SortPieces)->Unit(benchmark::kMicrosecond);

void BM_RebuildEmbossMaps(benchmark::State& state) {
  TBenchGame& b = Game();
  for (auto _ : state) RebuildEmbossMaps(b.g);
}
BENCHMARK(BM_RebuildEmbossMaps)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
