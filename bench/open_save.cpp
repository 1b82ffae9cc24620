// Opening a 4000 x 3000 jigsaw at level 0 until the field is painted and the game can be
// played, with light, wood and rotation off and with all of them on; saving and continuing
// that game. Each case reports the process's peak memory: run one case per process
// (--benchmark_filter) for a figure of that case alone.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <chrono>
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
    s.Game.GameOptions.EmbossStyle = effects ? TEmbossStyle::Paper : TEmbossStyle::None;
    s.Game.GameOptions.WoodStyle = effects ? TWoodStyle::Shadows : TWoodStyle::None;
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
    choice.ShapeStyle = TShapeStyle(shape);
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

  // What the pieces' looks of light and wood hold, and how many were worked out.
  double LookMegabytes() const {
    size_t bytes = 0;
    for (const TEmbossMap& map : s.Game.Images.EmbossMaps) bytes += map.LookBytes();
    return double(bytes) / (1 << 20);
  }
  double LooksBuilt() const {
    uint64_t built = 0;
    for (const TEmbossMap& map : s.Game.Images.EmbossMaps) built += map.LooksBuilt();
    return double(built);
  }

  // Paints the field as it stands, in ms.
  double TimedRedraw() {
    const auto start = std::chrono::steady_clock::now();
    s.Game.Play.RedrawKind = kRedrawField;
    Redraw(f);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }

  // Both sides scrolled over their whole content a view at a time, each view painted: every
  // piece has then been drawn once. Returns each view's paint in ms.
  std::vector<double> Tour() {
    std::vector<double> ms;
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
          ms.push_back(TimedRedraw());
        }
    }
    return ms;
  }
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void OpenToPlayable(benchmark::State& state, bool effects, uint8_t shape) {
  Jigsaw();
  int32_t pieces = 0;
  double looks = 0;
  for (auto _ : state) {
    TBenchGame game(effects);
    if (!game.Open(effects, shape)) {
      state.SkipWithError("the jigsaw did not open");
      return;
    }
    pieces = game.s.Game.GameLevel.TotalTileNum;
    looks = game.LookMegabytes();
  }
  state.counters["pieces"] = pieces;
  state.counters["looks_MiB"] = looks;
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
    state.counters["looks_MiB"] = game.LookMegabytes();
  }
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_OpenAllOnGridTour)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every effect on, the open, every other piece moved onto the Second Side where it lay (so that
// both sides have pieces to show), then the tour twice, then the last view painted again in
// place: a view seen before should cost no more than a repaint. The first tour's first view is
// the one the open painted, so it counts with neither.
void BM_OpenAllOnGridTourTwice(benchmark::State& state) {
  Jigsaw();
  std::vector<double> first, again, repaint;
  double looks = 0, built = 0, views = 0;
  for (auto _ : state) {
    TBenchGame game(true);
    if (!game.Open(true, 4)) return state.SkipWithError("the jigsaw did not open");
    TGameState& g = game.s.Game;
    for (int32_t i = 1; i < LivePieceCount(g); i += 2)
      if (i != FramePieceIndex(g)) g.Pieces[size_t(i)].Window = 1;
    const std::vector<double> one = game.Tour();
    const std::vector<double> two = game.Tour();
    first.insert(first.end(), one.begin() + std::min<size_t>(one.size(), 1), one.end());
    again.insert(again.end(), two.begin(), two.end());
    for (int k = 0; k < 5; ++k) repaint.push_back(game.TimedRedraw());
    looks = game.LookMegabytes();
    built = game.LooksBuilt();
    views = double(one.size());
  }
  state.counters["views"] = views;
  state.counters["first_view_ms"] = Median(first);
  state.counters["revisit_view_ms"] = Median(again);
  state.counters["repaint_ms"] = Median(repaint);
  state.counters["looks_built"] = built;
  state.counters["looks_MiB"] = looks;
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_OpenAllOnGridTourTwice)->Unit(benchmark::kMillisecond)->Iterations(3);

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
    if (!OpenSavedGameFile(game.s, path, OpenSavedSelect) || !OpenSavedGameFile(game.s, path, OpenSavedContinue))
      return state.SkipWithError("the saved game did not open");
    game.Paint();
  }
  state.counters["peak_MiB"] = PeakMegabytes();
}
BENCHMARK(BM_LoadGame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
