// The cell cut of shape styles 0 to 3: a 1024 x 768 picture at level 6 and a 4000 x 3000
// picture at level 0 (the most pieces), with the process's peak resident memory. Style 3
// reads the shipped shape file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench/peak_memory.h"
#include "engine/cut_cells.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"

namespace {
// Args: style, width, height, level.
void BM_CutJigsawCells(benchmark::State& state) {
  const int32_t style = int32_t(state.range(0)), w = int32_t(state.range(1)), h = int32_t(state.range(2));
  TLevelTable table{};
  BuildLevelTable(table, w, h, TShapeStyle(style), TBorderStyle::None);
  const TLevelGrid& g = table[size_t(state.range(3))];
  TLevelRecord base{};
  FillLevelFromGrid(base, g);
  base.ImageW = w, base.ImageH = h, base.ShapeStyle = TShapeStyle(style);
  TDibHolder map;
  TKnobState knobs;
  std::vector<TPieceRecord> pieces(size_t(g.TileNum) + 1);
  const std::string shapes = std::string(ZORVA_SOURCE_DIR) + "/data/pic_zorva.dat";
  for (auto _ : state) {
    TLevelRecord lv = base;
    TRandom rng{12345};
    TProgress progress;
    TCutTarget t{lv, pieces.data(), *map, rng, progress, knobs, nullptr};
    CutJigsawCells(t, shapes);
    benchmark::DoNotOptimize(map->Bits);
  }
  state.counters["pieces"] = g.TileNum;
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_CutJigsawCells)
    ->ArgNames({"style", "w", "h", "level"})
    ->Args({0, 1024, 768, 6})
    ->Args({1, 1024, 768, 6})
    ->Args({2, 1024, 768, 6})
    ->Args({3, 1024, 768, 6})
    ->Args({0, 4000, 3000, 0})
    ->Args({1, 4000, 3000, 0})
    ->Args({2, 4000, 3000, 0})
    ->Args({3, 4000, 3000, 0})
    ->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
