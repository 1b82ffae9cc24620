// Opening a 4000 x 3000 jigsaw at level 0 until the field is painted and the game can be
// played, with light, wood and rotation off and with all of them on; saving and continuing
// that game. Each case reports the process's peak memory: run one case per process
// (--benchmark_filter) for a figure of that case alone.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/peak_memory.h"
#include "bench/quiet_host.h"
#include "game/field.h"
#include "game/game_open.h"
#include "game/jigsaw_file.h"
#include "game/saved_game.h"

namespace {

// 4000 x 3000 unless ZORVA_BENCH_PICTURE names another size ("8000x6000").
struct TPictureSize {
  int32_t W = 4000, H = 3000;
  TPictureSize() {
    if (const char* v = std::getenv("ZORVA_BENCH_PICTURE")) {
      int w = 0, h = 0;
      if (std::sscanf(v, "%dx%d", &w, &h) == 2 && w > 0 && h > 0) W = w, H = h;
    }
  }
};
const TPictureSize kPicture;
const int32_t kPictureW = kPicture.W, kPictureH = kPicture.H;
constexpr int32_t kFieldW = 1920, kFieldH = 1080;

std::string Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorva-bench-XXXXXX").string();
    return std::string(mkdtemp(pattern.data())) + "/";
  }();
  return folder;
}

// A photo-sized JFIF picture with detail everywhere, packed as the game's jigsaws are.
const std::string& Jigsaw() {
  static const std::string path = [] {
    QImage image(kPictureW, kPictureH, QImage::Format_RGB888);
    for (int y = 0; y < kPictureH; ++y) {
      uchar* row = image.scanLine(y);
      for (int x = 0; x < kPictureW; ++x) {
        row[3 * x] = uchar((x * 7 + y / 3) & 255);
        row[3 * x + 1] = uchar((y * 5 + (x >> 4)) & 255);
        row[3 * x + 2] = uchar(((x ^ y) >> 2) & 255);
      }
    }
    auto encode = [](const QImage& img) {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      img.save(&buffer, "JPEG", 88);
      return std::vector<uint8_t>(bytes.begin(), bytes.end());
    };
    const std::vector<uint8_t> picture = encode(image);
    const std::vector<uint8_t> preview = encode(image.scaled(180, 135));
    const std::string text = "A bench picture\n";
    TJigsawHeader header;
    header.ImageW = kPictureW;
    header.ImageH = kPictureH;
    const std::string file = Folder() + "bench.zvq";
    WriteJigsawFile(file, header, preview, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                    picture);
    return file;
  }();
  return path;
}

// A main window's worth of game: the session, the field and its buffers.
struct TBenchGame {
  TQuietHost host;
  TGameSession s{host};
  TField f{s.Game, s.Windows, host};

  explicit TBenchGame(bool effects) {
    SetupGameWindows(s.Windows);
    s.Paths.sSavedDir = Folder();
    s.Paths.sAutoSave = Folder() + "autosaved.sv1";
    s.Paths.sShapeFile = std::string(ZORVA_DATA_DIR) + "/pic_zorva.dat";
    s.Game.GameOptions.EmbossStyle = effects ? 1 : 0;
    s.Game.GameOptions.WoodStyle = effects ? 2 : 0;
    InitField(f);
    f.ThumbPicture = &*s.ThumbImage;
    f.Work = TWorkArea{kFieldW, kFieldH, 0, 0, 0, kFieldW, kFieldH};
    UpdateFieldSize(f, TFieldLayout{0, true, false, kFieldW, kFieldH});
    for (int side = 0; side < 2; ++side) {
      SetSkinRectBounds(s.Windows.GameWindows[size_t(side)].Outer, 0, 0, kFieldW, kFieldH);
      ResizeSkinWindow(s.Windows.GameWindows[size_t(side)], false);
    }
    f.FormsReady = true;
  }

  // The game start of the main window: choices, open, first paint.
  bool Open(bool rotate, uint8_t shape) {
    TImageControl load;
    TJigsawOpenTarget target{s.Game.CurrentLevel, load, Folder() + "~zjtemp.bmp", {}, {}};
    if (!OpenJigsaw(Jigsaw(), OpenJigsawSelect, target)) return false;
    TLevelRecord choice{};
    choice.Level = 0;
    choice.ShapeStyle = shape;
    choice.Rotate = rotate;
    choice.SpreadOut = 1;
    if (!ApplyLevelChoices(s.Game.CurrentLevel, choice, false)) return false;
    TOpenChoices choices;
    choices.SeedPanelVisible = true;
    choices.SeedText = "4711";
    if (!StartJigsawGame(s, Jigsaw(), choices)) return false;
    Paint();
    return true;
  }

  void Paint() {
    DrawThumbnailImage(s);
    SetActiveSide(f, 0);
    s.Game.Play.RedrawKind = kRedrawField;
    Redraw(f);
  }

  // What the light and wood maps hold of what they worked out.
  double TileMegabytes() const {
    size_t bytes = 0;
    for (const TEmbossMap& map : s.Game.Images.EmbossMaps) bytes += map.TileBytes();
    return double(bytes) / (1 << 20);
  }

  // Both sides scrolled over their whole content a view at a time, each view painted: every
  // piece has then been drawn once.
  void Tour() {
    for (int32_t side = 0; side < 2; ++side) {
      SetActiveSide(f, side);
      TSkinWindow& w = s.Windows.GameWindows[size_t(side)];
      const int32_t stepX = std::max(w.Client.Width, 1), stepY = std::max(w.Client.Height, 1);
      for (int32_t y = 0; y < w.ContentHeight; y += stepY)
        for (int32_t x = 0; x < w.ContentWidth; x += stepX) {
          w.ScrollX = x;
          w.ScrollY = y;
          ResizeSkinWindow(w, false);
          CopySkinWindowLayout(s.Windows.GameWindows[size_t(1 - side)], w);
          s.Game.Play.RedrawKind = kRedrawField;
          Redraw(f);
        }
    }
  }
};

void OpenToPlayable(benchmark::State& state, bool effects, uint8_t shape) {
  Jigsaw();
  int32_t pieces = 0;
  double tiles = 0;
  for (auto _ : state) {
    TBenchGame game(effects);
    if (!game.Open(effects, shape)) {
      state.SkipWithError("the jigsaw did not open");
      return;
    }
    pieces = game.s.Game.GameLevel.TotalTileNum;
    tiles = game.TileMegabytes();
  }
  state.counters["pieces"] = pieces;
  state.counters["tiles_MiB"] = tiles;
  state.counters["peak_MiB"] = PeakMegabytes();
}

// Every effect on, the open and then a tour of the whole field: what the game holds once the
// player has seen everything.
void BM_OpenAllOnGridTour(benchmark::State& state) {
  Jigsaw();
  for (auto _ : state) {
    TBenchGame game(true);
    if (!game.Open(true, 4)) return state.SkipWithError("the jigsaw did not open");
    game.Tour();
    state.counters["tiles_MiB"] = game.TileMegabytes();
  }
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_OpenAllOnGridTour)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenEffectsOffGrid(benchmark::State& state) { OpenToPlayable(state, false, 4); }
void BM_OpenAllOnGrid(benchmark::State& state) { OpenToPlayable(state, true, 4); }
void BM_OpenEffectsOffCells(benchmark::State& state) { OpenToPlayable(state, false, 3); }
void BM_OpenAllOnCells(benchmark::State& state) { OpenToPlayable(state, true, 3); }
BENCHMARK(BM_OpenEffectsOffGrid)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAllOnGrid)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenEffectsOffCells)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAllOnCells)->Unit(benchmark::kMillisecond)->Iterations(3);

// Saving the whole game to a new file, and saving it again over itself (its state block).
void BM_SaveGame(benchmark::State& state) {
  TBenchGame game(true);
  if (!game.Open(true, 4)) return state.SkipWithError("the jigsaw did not open");
  const std::string path = Folder() + "bench.sv1";
  const bool inPlace = state.range(0) != 0;
  for (auto _ : state) {
    if (!inPlace) {
      state.PauseTiming();
      std::remove(path.c_str());
      std::remove(game.s.Paths.sAutoSave.c_str());
      state.ResumeTiming();
    }
    if (!SaveGame(game.s, path, true)) return state.SkipWithError("the save failed");
  }
  state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_SaveGame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Continuing the saved game until the field is painted; arg 1: rotation, light and wood on.
void BM_LoadGame(benchmark::State& state) {
  const bool effects = state.range(0) != 0;
  const std::string path = Folder() + "load.sv1";
  {
    TBenchGame game(effects);
    if (!game.Open(effects, 4) || !SaveGame(game.s, path, true)) return state.SkipWithError("no saved game");
  }
  for (auto _ : state) {
    TBenchGame game(effects);
    if (!OpenSavedGameFile(game.s, path, OpenSavedSelect) ||
        !OpenSavedGameFile(game.s, path, OpenSavedContinue))
      return state.SkipWithError("the saved game did not open");
    game.Paint();
  }
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_LoadGame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
