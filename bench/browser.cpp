// The browser's thumbnail loader over the shipped jigsaws (every thumbnail read afresh), one
// list thumbnail composed from a large preview, and the level page's piece preview at the
// largest drawn size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/quiet_host.h"
#include "foundation/dib_ops.h"
#include "game/browser_model.h"
#include "game/level_page.h"

namespace {

std::string TempFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorva-bench-XXXXXX").string();
    return std::string(mkdtemp(pattern.data())) + "/";
  }();
  return folder;
}

void BM_LoadAllThumbs(benchmark::State& state) {
  TQuietHost host;
  TGameSession session{host};
  session.Paths.sExeDir = std::string(ZORVA_DATA_DIR) + "/";
  session.Paths.sJigsawDir = session.Paths.sExeDir + "jigsaws/";
  session.Paths.sSavedDir = TempFolder();
  session.Paths.TempPictureFile = TempFolder() + "~zjtemp.bmp";
  TBrowserModel model(session);
  int64_t items = 0;
  for (auto _ : state) {
    InitThumbCache(model.Cache);
    FillFileLists(model);
    while (LoadNextThumb(model)) ++items;
  }
  state.counters["thumbs"] = double(model.Jigs.size());
  state.SetItemsProcessed(items);
}
BENCHMARK(BM_LoadAllThumbs)->Unit(benchmark::kMillisecond);

void BM_DrawFittedThumb(benchmark::State& state) {
  TDibHolder picture, thumb;
  CreateDib24(*picture, 1024, 768);
  FillDibRect(*picture, 0, 0, 1024, 768, 0x336699);
  for (auto _ : state) {
    DrawFittedThumb(*thumb, *picture, nullptr);
    benchmark::DoNotOptimize(thumb->Bits);
  }
}
BENCHMARK(BM_DrawFittedThumb)->Unit(benchmark::kMicrosecond);

void BM_DrawShapePreview(benchmark::State& state) {
  TDibHolder masks, texture, target;
  CreateDib24(*masks, 165 * 7 + 1, 168);
  FillDibRect(*masks, 0, 0, masks->Width, 168, 0xFFFFFF);
  CreateDib24(*texture, 164, 168);
  FillDibRect(*texture, 0, 0, 164, 168, 0x5080B0);
  CreateDib24(*target, 164, 168);
  for (auto _ : state) {
    DrawShapePreview(*target, 128, 3, *masks, *texture, 0xF0F0F0);
    benchmark::DoNotOptimize(target->Bits);
  }
}
BENCHMARK(BM_DrawShapePreview)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
