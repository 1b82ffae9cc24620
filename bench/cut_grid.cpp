// The grid cut of shape styles 4 to 6: a 1024 x 768 picture at level 6 and a 4000 x 3000
// picture at level 0 (the most pieces), with the process's peak resident memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/peak_memory.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"

namespace {
// Args: style, width, height, level.
void BM_CutJigsawGrid(benchmark::State& state) {
  const int32_t style = int32_t(state.range(0)), w = int32_t(state.range(1)), h = int32_t(state.range(2));
  TLevelTable table{};
  BuildLevelTable(table, w, h, TShapeStyle(style), TBorderStyle::None);
  const TLevelGrid& g = table[size_t(state.range(3))];
  TLevelRecord base{};
  FillLevelFromGrid(base, g);
  base.ImageW = w, base.ImageH = h, base.ShapeStyle = TShapeStyle(style);
  TDibHolder templates, map;
  LoadKnobTemplateImage(*templates);
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  std::vector<TPieceRecord> pieces(size_t(g.TotalTileNum) + 1);
  for (auto _ : state) {
    TLevelRecord lv = base;
    TRandom rng{12345};
    TProgress progress;
    TCutTarget t{lv, pieces.data(), *map, rng, progress, knobs, nullptr};
    CutJigsawGrid(t);
    benchmark::DoNotOptimize(map->Bits);
  }
  state.counters["pieces"] = g.TotalTileNum;
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_CutJigsawGrid)
    ->ArgNames({"style", "w", "h", "level"})
    ->Args({4, 1024, 768, 6})
    ->Args({5, 1024, 768, 6})
    ->Args({6, 1024, 768, 6})
    ->Args({4, 4000, 3000, 0})
    ->Args({5, 4000, 3000, 0})
    ->Args({6, 4000, 3000, 0})
    ->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
