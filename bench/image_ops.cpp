#include <benchmark/benchmark.h>

#include "foundation/dib_image.h"
#include "foundation/dib_ops.h"
#include "foundation/random.h"

namespace {

// One 4000 x 3000 region filled over and over, switching between two colours so that every
// run fills the whole region again. Scattered obstacles (arg 1) make many short runs.
void BM_FloodFill4000x3000(benchmark::State& state) {
  TDibHolder d;
  CreateDib24(*d, 4000, 3000);
  FillDibRect(*d, 0, 0, 4000, 3000, 0xFFFFFF);
  if (state.range(0)) {
    TRandom rng;
    rng.RandSeed = 1;
    for (int i = 0; i < 4000 * 3000 / 10; ++i) SetDibPixel(*d, int32_t(rng.Random(4000)), int32_t(rng.Random(3000)), 0);
  }
  SetDibPixel(*d, 2000, 1500, 0xFFFFFF);
  uint32_t colour = 0x070080;
  for (auto _ : state) {
    FloodFillDib(*d, 2000, 1500, colour);
    colour = colour == 0x070080 ? 0xFFFFFF : 0x070080;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}
BENCHMARK(BM_FloodFill4000x3000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Scale4000x3000To1920x1080(benchmark::State& state) {
  TDibHolder source, target;
  CreateDib24(*source, 4000, 3000);
  CreateDib24(*target, 1920, 1080);
  for (int32_t y = 0; y < 3000; ++y)
    for (int32_t x = 0; x < 4000; ++x) SetDibPixel(*source, x, y, uint32_t(x * 7 + y * 13) & 0xFFFFFF);
  for (auto _ : state) {
    ScaleDib(*target, *source);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_Scale4000x3000To1920x1080)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
