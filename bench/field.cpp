// The play field per mouse move: one frame of a dragged group through the field's own input
// and painting (restore from the static buffer, draw the held pieces, overlays), on a
// 1920 x 1080 field with about 4000 pieces of a real grid cut, with light and wood.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "bench/quiet_host.h"
#include "engine/cut_target.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"
#include "game/emboss_maps.h"
#include "game/field.h"
#include "game/layout.h"
#include "game/piece_array.h"
#include "game/piece_order.h"
#include "game/pieces.h"

namespace {

constexpr int32_t kW = 1920, kH = 1080;

struct TBenchField {
  TQuietHost host;
  TGameState g;
  TSkinWindows ws;
  TField f{g, ws, host};
  TDibHolder templates;
  int32_t grabX = 0, grabY = 0;

  TBenchField() {
    LoadKnobTemplateImage(*templates);
    const int32_t pw = 1900, ph = 1060;
    TLevelTable table{};
    BuildLevelTable(table, pw, ph, TShapeStyle::Classic, TBorderStyle::None);
    // The finest level that stays near 4000 pieces.
    size_t level = 0;
    for (size_t l = 0; l < table.size(); ++l)
      if (table[l].TotalTileNum <= 4200 && table[l].TotalTileNum > table[level].TotalTileNum) level = l;
    const TLevelGrid& grid = table[level];
    TLevelRecord& lv = g.GameLevel;
    FillLevelFromGrid(lv, grid);
    lv.ImageW = lv.FitImageW = pw;
    lv.ImageH = lv.FitImageH = ph;
    lv.ShapeStyle = TShapeStyle::Classic;
    AllocPieces(g, lv.TotalTileNum + 1);
    TKnobState knobs;
    knobs.KnobTemplateImage = &*templates;
    g.Rng.RandSeed = 7;
    TCutTarget target{lv, g.Pieces.data(), g.Images.PieceMasks[0], g.Rng, g.Progress, knobs, [](const std::string&) {}};
    CutJigsawGrid(target);
    CreateDib24(g.Images.PictureImages[0], pw, ph);
    for (int32_t y = 0; y < ph; ++y)
      for (int32_t x = 0; x < pw; ++x) SetDibPixel(g.Images.PictureImages[0], x, y, uint32_t(x * 3 + y * 5) & 0xFFFFFF);
    g.GameLoaded = true;
    g.Field = TFieldArea{kW, kH, kW, kH};
    InitPiecesForPlay(g);
    SpreadPieces(g, 0, false);
    g.GameOptions.EmbossStyle = TEmbossStyle::Paper;
    g.GameOptions.WoodStyle = TWoodStyle::Shadows;
    RebuildEmbossMaps(g);
    // An assembled block of 10 x 5 pieces, as a player drags it late in a game.
    for (int32_t r = 0; r < 5; ++r)
      for (int32_t c = 0; c < 10; ++c) {
        TPieceRecord& p = g.Pieces[size_t(r * lv.TilePX + c)];
        p.Group = 0;
        p.X = 600 + p.PieceX;
        p.Y = 400 + p.PieceY;
      }
    SortPieces(g, false);

    SetupGameWindows(ws);
    TSkinWindow& side = ws.GameWindows[0];
    SetSkinRectBounds(side.Outer, 0, 0, kW, kH);
    RelayoutSkinWindow(side);
    InitField(f);
    f.Work = TWorkArea{kW, kH, 0, 0, 0, kW, kH};
    UpdateFieldSize(f, TFieldLayout{});
    f.FormsReady = true;
    SetActiveSide(f, 0);
    const TPieceRecord& p = g.Pieces[0];
    grabX = 600 + p.CellX + p.CellW / 2;
    grabY = 400 + p.CellY + p.CellH / 2;
    I_FieldMouseDown(f, kMouseLeft, kShiftLeftDown, grabX, grabY);
  }
};

TBenchField& Field() {
  static std::unique_ptr<TBenchField> field = std::make_unique<TBenchField>();
  return *field;
}

void BM_FieldDragFrame(benchmark::State& state) {
  TBenchField& b = Field();
  if (b.g.Play.DragState != 1) state.SkipWithError("nothing was picked up");
  int32_t step = 0;
  for (auto _ : state) {
    step = (step + 1) % 40;
    I_FieldMouseMove(b.f, kShiftLeftDown, b.grabX + step, b.grabY + step / 2);
    benchmark::DoNotOptimize(b.f.ScreenBuffer->Bits);
  }
  state.counters["pieces"] = b.g.GameLevel.TotalTileNum;
}
BENCHMARK(BM_FieldDragFrame)->Unit(benchmark::kMicrosecond);

void BM_FieldRepaintAll(benchmark::State& state) {
  TBenchField& b = Field();
  for (auto _ : state) {
    b.g.Play.RedrawKind = kRedrawField;
    Redraw(b.f);
    benchmark::DoNotOptimize(b.f.ScreenBuffer->Bits);
  }
}
BENCHMARK(BM_FieldRepaintAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
