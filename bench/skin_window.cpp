// Painting and hit testing of the skinned game windows, as a full-field repaint and a drag
// do them: a screen-sized side, a pocket with both bars, and the hover hit test.
#include <benchmark/benchmark.h>

#include "foundation/skin_window.h"

namespace {

void MakeSheet(TDibImage& sheet, int w, int h) {
  CreateDib32(sheet, w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = DibPixelAddress(sheet, x, y);
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 0x80, p[3] = uint8_t((x * 7 + y) & 0xFF);
    }
}

struct Fixture {
  TSkinWindows ws;
  TDibHolder frame, glass, field;
  TSkinRect clip;
  Fixture() {
    MakeSheet(*frame, 390, 170);
    MakeSheet(*glass, 290, 189);
    ws.FrameSkin = &*frame;
    ws.GlassSkin = &*glass;
    CreateDib24(*field, 1280, 1024);
    SetSkinRectBounds(clip, 0, 0, 1280, 1024);
    SetupGameWindows(ws);
    TSkinWindow& side = ws.GameWindows[0];
    SetSkinRectBounds(side.Outer, 0, 0, 1280, 1000);
    side.ContentWidth = 2400;
    side.ContentHeight = 1800;
    ResizeSkinWindow(side, false);
    TSkinWindow& pocket = ws.GameWindows[2];
    pocket.Visible = true;
    SetSkinRectBounds(pocket.Outer, 300, 200, 400, 300);
    pocket.ContentWidth = 900;
    pocket.ContentHeight = 900;
    ResizeSkinWindow(pocket, false);
  }
};

void BM_PaintSide(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    PaintSkinWindow(f.ws, *f.field, f.clip, f.ws.GameWindows[0]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintSide);

void BM_PaintPocket(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    PaintSkinWindow(f.ws, *f.field, f.clip, f.ws.GameWindows[2]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintPocket);

void BM_HitTestAcrossAPocket(benchmark::State& state) {
  Fixture f;
  TSkinWindow& pocket = f.ws.GameWindows[2];
  for (auto _ : state) {
    int sum = 0;
    for (int y = pocket.Outer.Top; y <= pocket.Outer.Bottom; y += 7)
      for (int x = pocket.Outer.Left; x <= pocket.Outer.Right; x += 7)
        sum += SkinWindowHitTest(f.ws, pocket, x, y, false);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_HitTestAcrossAPocket);

}  // namespace

BENCHMARK_MAIN();
