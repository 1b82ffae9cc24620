// The colour picker's work per event: rendering the gamma field when its mode changes, the marker
// search over it after every pick, and loading a background picture at a large field's size.
#include <benchmark/benchmark.h>

#include "game/background_pictures.h"
#include "game/color_picker.h"

namespace {

void RenderGammaField(benchmark::State& state) {
  TColorPicker p;
  ActivateColorPicker(p, TPickerControlSizes{});
  const int32_t mode = int32_t(state.range(0));
  for (auto _ : state) {
    SetGammaMode(p, mode);
    benchmark::DoNotOptimize(p.Gamma->Bits);
  }
}
BENCHMARK(RenderGammaField)->Arg(kGammaCircle)->Arg(kGammaSquare)->Unit(benchmark::kMillisecond);

// A pick in the palette redraws the palette and searches the field for the new colour.
void PaletteClick(benchmark::State& state) {
  TColorPicker p;
  p.GammaMode = int32_t(state.range(0));
  ActivateColorPicker(p, TPickerControlSizes{});
  int i = 0;
  for (auto _ : state) {
    const TSkinRect& r = p.PaletteCellRects[i++ % kPaletteColorCount];
    PaletteMouseDown(p, r.Left, r.Top);
  }
}
BENCHMARK(PaletteClick)->Arg(kGammaCircle)->Arg(kGammaSquare)->Unit(benchmark::kMillisecond);

void LoadBackgroundAtFieldSize(benchmark::State& state) {
  const std::string dir = BackgroundFolder(ZORVA_DATA_DIR "/");
  int32_t code = 10;
  for (auto _ : state) {
    TImageControl bkg;
    benchmark::DoNotOptimize(LoadBackgroundPicture(bkg, dir, code, 2560, 1440));
    code = code == 17 ? 10 : code + 1;
  }
}
BENCHMARK(LoadBackgroundAtFieldSize)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
