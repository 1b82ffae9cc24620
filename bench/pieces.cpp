// Play-time costs on a full-screen field: one redraw frame of a dragged group (the group moves,
// the screen buffer is restored from the static one and the group painted again), one hit
// test, the drawing order and the emboss rebuild, with 4000 pieces on a 1920 x 1080 field.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/quiet_host.h"
#include "foundation/numeric.h"
#include "foundation/skin_window.h"
#include "game/emboss_maps.h"
#include "game/field.h"
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
  TQuietHost host;
  TGameState g;
  TSkinWindows ws;
  TField f{g, ws, host};
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
    g.GameOptions.EmbossStyle = TEmbossStyle::Paper;
    g.GameOptions.WoodStyle = TWoodStyle::Shadows;
    RebuildEmbossMaps(g);
    // A group of 10 x 5 pieces, assembled, as a player drags it late in a game.
    for (int32_t r = 0; r < 5; ++r)
      for (int32_t c = 0; c < 10; ++c) {
        TPieceRecord& p = g.Pieces[size_t(r * kCols + c)];
        p.Group = 0;
        p.X = 600 + p.PieceX;
        p.Y = 400 + p.PieceY;
      }
    // The First Side covering a full-screen field, painted by the game's own field code.
    SetupGameWindows(ws);
    TSkinWindow& side = ws.GameWindows[0];
    SetSkinRectBounds(side.Outer, 0, 0, 1920, 1080);
    RelayoutSkinWindow(side);
    CopySkinWindowLayout(ws.GameWindows[1], side);
    InitField(f);
    f.Work = TWorkArea{1920, 1080, 0, 0, 0, 1920, 1080};
    UpdateFieldSize(f, TFieldLayout{});
    f.FormsReady = true;
    SetActiveSide(f, 0);
    g.Play.RedrawKind = kRedrawNone;
    Redraw(f);
    view = PieceViewOf(side);
    g.Play.HeldPiece = 0;
    grabX = 610;
    grabY = 410;
    StartDrag(g, view, grabX, grabY, false);
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
    benchmark::DoNotOptimize(b.f.ScreenBuffer->Bits);
  }
}
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMicrosecond);

// The pieces' own share of a frame: the 50 pieces of the group drawn, bottom to top.
void BM_DrawHeldGroup(benchmark::State& state) {
  TBenchGame& b = Game();
  SortPieces(b.g, false);
  const int32_t group = b.g.Pieces[size_t(b.g.Play.HeldPiece)].Group;
  for (auto _ : state) {
    for (const TPieceOrderEntry& e : b.g.PieceOrder)
      if (e.Group == group) DrawPieceClipped(b.g, *b.f.ScreenBuffer, b.f.FieldRect, b.view, e.Index);
    benchmark::DoNotOptimize(b.f.ScreenBuffer->Bits);
  }
}
BENCHMARK(BM_DrawHeldGroup)->Unit(benchmark::kMicrosecond);

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
