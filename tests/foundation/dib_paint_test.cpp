#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "dib_test_util.h"
#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "foundation/random.h"

using namespace dibtest;

namespace {

TSkinRect Everywhere() {
  TSkinRect r;
  SetSkinRectEdges(r, -100000, -100000, 100000, 100000);
  return r;
}

// One white pixel of the given alpha.
void MakeSprite(TDibImage& s, uint8_t alpha, uint32_t color = 0xFFFFFF) {
  ASSERT_TRUE(CreateDib32(s, 1, 1));
  SetDibPixel(s, 0, 0, color);
  SetAlpha(s, 0, 0, alpha);
}

int32_t BlendOne(uint32_t target, uint32_t source, uint8_t alpha) {
  TDibHolder t, s;
  EXPECT_TRUE(CreateDib24(*t, 1, 1));
  SetDibPixel(*t, 0, 0, target);
  MakeSprite(*s, alpha, source);
  DrawDibBlended(*t, 0, 0, 1, 1, *s, 0, 0, 1, 1, Everywhere());
  return GetDibPixel(*t, 0, 0);
}

}  // namespace

TEST(DrawDibBlended, AlphaRule) {
  EXPECT_EQ(BlendOne(0, 0xFFFFFF, 128), int32_t(Grey(128)));
  EXPECT_EQ(BlendOne(0x00332211, 0xFFFFFF, 0), 0x00332211);
  EXPECT_EQ(BlendOne(0x00332211, 0x00C0B0A0, 255), 0x00C0B0A0);
  // (100 x 191 + 200 x 64) div 255 = 125; (0 x 191 + 255 x 64) div 255 = 64.
  EXPECT_EQ(BlendOne(MakeColor(100, 0, 255), MakeColor(200, 255, 0), 64), MakeColor(125, 64, 191));
}

TEST(DrawDibBlended, SourceWithoutAlphaCopiesAndTargetAlphaStays) {
  TDibHolder t, s;
  ASSERT_TRUE(CreateDib32(*t, 3, 3));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) SetAlpha(*t, x, y, uint8_t(40 + x + 3 * y));
  const std::vector<uint8_t> alphas = Alphas(*t);
  ASSERT_TRUE(CreateDib24(*s, 3, 3));
  FillPattern(*s);
  DrawDibBlended(*t, 0, 0, 3, 3, *s, 0, 0, 3, 3, Everywhere());
  EXPECT_EQ(Pixels(*t), Pixels(*s));
  EXPECT_EQ(Alphas(*t), alphas);
  TDibHolder sprite;
  MakeSprite(*sprite, 200);
  DrawDibBlended(*t, 1, 1, 1, 1, *sprite, 0, 0, 1, 1, Everywhere());
  EXPECT_EQ(Alphas(*t), alphas);
}

namespace {

// A painter's result pixel by pixel: inside the area, the target and the clip rectangle, the
// target takes the source pixel the mode points at when the source has it; all else stays.
void ExpectPaint(const std::vector<int32_t>& before, const TDibImage& t, const TDibImage& s, int32_t x, int32_t y,
                 int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw, int32_t sh, const TSkinRect& clip,
                 uint32_t key, bool keyed) {
  const bool colRepeat = w != sw && h == sh, rowRepeat = h != sh && w == sw;
  for (int32_t ty = 0; ty < t.Height; ++ty)
    for (int32_t tx = 0; tx < t.Width; ++tx) {
      int32_t want = before[size_t(ty) * t.Width + tx];
      const bool inArea = tx >= x && tx < x + w && ty >= y && ty < y + h;
      if (inArea && PointInSkinRect(clip, tx, ty)) {
        const int32_t ux = colRepeat ? sx : sx + tx - x, uy = rowRepeat ? sy : sy + ty - y;
        const int32_t c = GetDibPixel(s, ux, uy);  // -1 outside the source
        if (c >= 0 && !(keyed && uint32_t(c) == key)) want = c;
      }
      ASSERT_EQ(GetDibPixel(t, tx, ty), want) << "pixel " << tx << "," << ty << " area " << x << "," << y << " " << w
                                              << "x" << h << " src " << sx << "," << sy << " " << sw << "x" << sh;
    }
}

}  // namespace

TEST(SpritePainters, CutToTargetClipAndSourceInEveryMode) {
  TDibHolder t, s;
  ASSERT_TRUE(CreateDib24(*s, 7, 6));
  FillPattern(*s);
  const uint32_t key = PatternColor(3, 3);
  TRandom rng;
  rng.RandSeed = 9001;
  for (int round = 0; round < 600; ++round) {
    ASSERT_TRUE(CreateDib24(*t, 16, 12));
    Fill(*t, 0x00ABCDEF);
    const std::vector<int32_t> before = Pixels(*t);
    const auto r = [&](int32_t n, int32_t lo) { return int32_t(rng.Random(uint32_t(n))) + lo; };
    const int32_t x = r(30, -10), y = r(26, -9), w = r(22, -2), h = r(18, -2);
    const int32_t sx = r(14, -4), sy = r(12, -3);
    int32_t sw = w, sh = h;
    switch (rng.Random(4)) {
      case 0: sw = 1; break;                      // column repeat (unless w is 1)
      case 1: sh = 1; break;                      // row repeat
      case 2: sw = r(5, 1), sh = r(5, 1); break;  // both differ: read 1:1
      default: break;                             // 1:1
    }
    TSkinRect clip;
    SetSkinRectEdges(clip, r(10, -2), r(8, -2), r(12, 5), r(10, 4));
    const bool keyed = round % 2 == 1;
    if (keyed)
      DrawDibKeyed(*t, x, y, w, h, *s, sx, sy, sw, sh, clip, key);
    else
      DrawDibBlended(*t, x, y, w, h, *s, sx, sy, sw, sh, clip);
    ExpectPaint(before, *t, *s, x, y, w, h, sx, sy, sw, sh, clip, key, keyed);
    if (HasFatalFailure()) return;
  }
}

TEST(DrawDibKeyed, SkipsOnlyTheExactKeyAndIgnoresAlpha) {
  TDibHolder t, s;
  ASSERT_TRUE(CreateDib24(*t, 4, 1));
  Fill(*t, 0x00111111);
  ASSERT_TRUE(CreateDib32(*s, 4, 1));
  const uint32_t colors[4] = {0x00FF00FF, 0x00FF01FF, 0x00FE00FF, 0x00FF00FE};  // the key, then one channel off
  for (int32_t x = 0; x < 4; ++x) {
    SetDibPixel(*s, x, 0, colors[x]);
    SetAlpha(*s, x, 0, 0);
  }
  DrawDibKeyed(*t, 0, 0, 4, 1, *s, 0, 0, 4, 1, Everywhere(), 0x00FF00FF);
  EXPECT_EQ(Pixels(*t), (std::vector<int32_t>{0x00111111, 0x00FF01FF, 0x00FE00FF, 0x00FF00FE}));
}
