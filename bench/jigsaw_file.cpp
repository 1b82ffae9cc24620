// How fast the browser gets a jigsaw's thumbnail, and how fast a game gets its picture bytes.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "game/embedded_file.h"
#include "game/jigsaw_file.h"

namespace {
const std::filesystem::path kJigsaws = std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "jigsaws";
const std::string kLargest = (kJigsaws / "nuthatch.zvq").string();  // 4000 x 3000

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_OpenJigsawThumbnail(benchmark::State& state) {
  TLevelRecord level{};
  TImageControl load;
  TJigsawOpenTarget target{level, load, TempPath("zorva-bench-temp.jpg"), {}, {}};
  for (auto _ : state)
    if (!OpenJigsaw(kLargest, OpenJigsawThumbnail, target)) state.SkipWithError("open failed");
}
BENCHMARK(BM_OpenJigsawThumbnail)->Unit(benchmark::kMicrosecond);

void BM_ReadJigsawPicture(benchmark::State& state) {
  TLevelRecord level{};
  TImageControl load;
  TJigsawOpenTarget target{level, load, TempPath("zorva-bench-temp.jpg"), {}, {}};
  if (!OpenJigsaw(kLargest, OpenJigsawSelect, target)) state.SkipWithError("open failed");
  std::vector<uint8_t> description, picture;
  for (auto _ : state) {
    TBinaryReader f;
    if (!f.Open(kLargest) || !ReadJigsawVariant(f, level, description, picture)) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(picture.size()));
}
BENCHMARK(BM_ReadJigsawPicture)->Unit(benchmark::kMillisecond);

void BM_EmbedBytesRotating(benchmark::State& state) {
  std::vector<uint8_t> data(size_t(state.range(0)), 0x5C);
  const std::string path = TempPath("zorva-bench-embed.bin");
  for (auto _ : state) {
    TBinaryWriter w;
    if (!w.Create(path) || !EmbedBytes(w, data, PictureKey, true)) state.SkipWithError("write failed");
    w.Discard();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_EmbedBytesRotating)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
