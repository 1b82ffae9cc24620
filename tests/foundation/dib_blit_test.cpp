#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

#include "dib_test_util.h"
#include "foundation/dib_ops.h"
#include "foundation/random.h"
#include "platform/bitmap.h"

using namespace dibtest;

TEST(ClipToDib, CutsEachSideFailsOutsideAndNeverWraps) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 100, 50));
  struct Case {
    int32_t x, y, w, h;
    bool ok;
    int32_t ex, ey, ew, eh;
  };
  const Case cases[] = {
      {-5, 10, 10, 5, true, 0, 10, 5, 5},
      {100, 7, 10, 5, false, 0, 0, 0, 0},
      {95, 45, 10, 10, true, 95, 45, 5, 5},
      {0, -3, 1, 3, false, 0, 0, 0, 0},  // ends just above the top
      {0, 50, 1, 1, false, 0, 0, 0, 0},
      {3, 3, 0, 4, false, 0, 0, 0, 0},
      {INT_MIN, 0, INT_MAX, 10, false, 0, 0, 0, 0},  // ends at -1
      {INT_MAX - 5, 0, INT_MAX, 10, false, 0, 0, 0, 0},
      {-1000, -1000, INT_MAX, INT_MAX, true, 0, 0, 100, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
    int32_t x = c.x, y = c.y, w = c.w, h = c.h;
    EXPECT_EQ(ClipToDib(*d, x, y, w, h), c.ok);
    if (c.ok) {
      EXPECT_EQ(std::vector<int32_t>({x, y, w, h}), std::vector<int32_t>({c.ex, c.ey, c.ew, c.eh}));
    }
  }
  int32_t x = -10, y = INT_MIN + 1, w = INT_MAX, h = INT_MAX;
  EXPECT_FALSE(ClipToDib(*d, x, y, w, h));
  EXPECT_EQ(w, 100);
}

namespace {

// What a block copy must do, pixel by pixel: a target pixel inside the requested rectangle whose
// source pixel exists takes that pixel; every other pixel keeps its colour.
void ExpectBlit(const std::vector<int32_t>& before, const std::vector<int32_t>& source, int32_t sw, int32_t sh,
                const TDibImage& t, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy) {
  for (int32_t ty = 0; ty < t.Height; ++ty)
    for (int32_t tx = 0; tx < t.Width; ++tx) {
      const int64_t ux = int64_t(sx) + tx - x, uy = int64_t(sy) + ty - y;
      const bool inRect = tx >= x && tx < int64_t(x) + w && ty >= y && ty < int64_t(y) + h;
      const bool inSource = ux >= 0 && ux < sw && uy >= 0 && uy < sh;
      const int32_t want = inRect && inSource ? source[size_t(uy * sw + ux)] : before[size_t(ty) * t.Width + tx];
      ASSERT_EQ(GetDibPixel(t, tx, ty), want) << "pixel " << tx << "," << ty << " blit " << x << "," << y << " " << w
                                              << "x" << h << " from " << sx << "," << sy;
    }
}

}  // namespace

TEST(BlitDib, CopiesAndCutsAtEveryEdgeOfBothImages) {
  TDibHolder t, s;
  ASSERT_TRUE(CreateDib24(*s, 9, 7));
  FillPattern(*s);
  const std::vector<int32_t> src = Pixels(*s);
  TRandom rng;
  rng.RandSeed = 77;
  for (int round = 0; round < 400; ++round) {
    ASSERT_TRUE(CreateDib24(*t, 12, 10));
    Fill(*t, 0x00ABCDEF);
    const std::vector<int32_t> before = Pixels(*t);
    const int32_t x = int32_t(rng.Random(30)) - 15, y = int32_t(rng.Random(26)) - 13;
    const int32_t w = int32_t(rng.Random(20)) - 2, h = int32_t(rng.Random(18)) - 2;
    const int32_t sx = int32_t(rng.Random(20)) - 6, sy = int32_t(rng.Random(16)) - 5;
    BlitDib(*t, x, y, w, h, *s, sx, sy);
    ExpectBlit(before, src, 9, 7, *t, x, y, w, h, sx, sy);
    if (HasFatalFailure()) return;
  }
}

TEST(BlitDib, OverlappingCopyWithinOneImage) {
  TDibHolder d;
  for (auto [dx, dy] : {std::pair{3, 2}, {-3, -2}, {2, -3}, {-2, 3}}) {
    ASSERT_TRUE(CreateDib24(*d, 10, 10));
    FillPattern(*d);
    const std::vector<int32_t> before = Pixels(*d);
    BlitDib(*d, 2 + dx, 2 + dy, 6, 6, *d, 2, 2);
    ExpectBlit(before, before, 10, 10, *d, 2 + dx, 2 + dy, 6, 6, 2, 2);
    if (HasFatalFailure()) return;
  }
}

TEST(BlitDib, MixedFormatsCopyColourAndKeepTargetAlpha) {
  TDibHolder t32, s24, t24, s32;
  ASSERT_TRUE(CreateDib32(*t32, 4, 3));
  ASSERT_TRUE(CreateDib24(*s24, 4, 3));
  FillPattern(*s24);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) SetAlpha(*t32, x, y, uint8_t(10 * x + y));
  BlitDib(*t32, 0, 0, 4, 3, *s24, 0, 0);
  EXPECT_EQ(Pixels(*t32), Pixels(*s24));
  EXPECT_EQ(GetDibAlpha(*t32, 3, 2), 32);

  ASSERT_TRUE(CreateDib32(*s32, 4, 3));
  FillPattern(*s32);
  SetAlpha(*s32, 1, 1, 7);
  ASSERT_TRUE(CreateDib24(*t24, 4, 3));
  BlitDib(*t24, 0, 0, 4, 3, *s32, 0, 0);
  EXPECT_EQ(Pixels(*t24), Pixels(*s32));
}

TEST(FillDibRect, FillsTheClippedAreaAndKeepsAlpha) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib32(*d, 6, 5));
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) SetAlpha(*d, x, y, uint8_t(x + 10 * y));
  const std::vector<uint8_t> alphas = Alphas(*d);
  FillDibRect(*d, -2, 3, 5, 10, 0x00102030);
  EXPECT_EQ(Alphas(*d), alphas);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(GetDibPixel(*d, x, y), x < 3 && y >= 3 ? 0x00102030 : 0) << x << "," << y;

  ASSERT_TRUE(CreateDib8(*d, 7, 3));
  FillDibRect(*d, 5, 1, 9, 9, 0x00AABBCC);  // one channel: the low byte
  EXPECT_EQ(DibPixelAddress(*d, 6, 2)[0], 0xCC);
  EXPECT_EQ(DibPixelAddress(*d, 4, 2)[0] | DibPixelAddress(*d, 6, 0)[0], 0);
}

TEST(CopyBitmapToDib, MakesATwentyFourBitCopyOfAnyBitmap) {
  TDibHolder a, out;
  ASSERT_TRUE(CreateDib32(*a, 5, 3));
  FillPattern(*a);
  SetAlpha(*a, 2, 2, 99);
  ASSERT_TRUE(CopyBitmapToDib(*out, *a->Bitmap));
  EXPECT_EQ(out->BytesPerPixel, 3);
  EXPECT_EQ(Pixels(*out), Pixels(*a));

  // Copying an image's own bitmap into it must not free the bitmap before reading it.
  ASSERT_TRUE(CreateDib24(*a, 4, 4));
  FillPattern(*a);
  const std::vector<int32_t> before = Pixels(*a);
  ASSERT_TRUE(CopyBitmapToDib(*a, *a->Bitmap));
  EXPECT_EQ(Pixels(*a), before);
}

// Bitmaps the copy cannot read (a depth it has no rule for, or no pixels) give no image, and
// the image that was there is let go rather than kept stale.
TEST(CopyBitmapToDib, RefusesBitmapsItCannotReadAndLeavesNoImage) {
  std::vector<uint8_t> pixels(64, 0x55);
  const struct {
    int32_t bits, rowBytes;
    bool withPixels;
  } cases[] = {{16, 8, true}, {1, 2, true}, {24, 12, false}, {8, 4, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, pixels " << c.withPixels);
    TPlatformBitmap bitmap;
    bitmap.Width = 4;
    bitmap.Height = 2;
    bitmap.BitsPerPixel = c.bits;
    bitmap.RowBytes = c.rowBytes;
    bitmap.AllocatedStride = c.rowBytes;
    bitmap.Pixels = c.withPixels ? pixels.data() : nullptr;
    TDibHolder out;
    ASSERT_TRUE(CreateDib24(*out, 3, 3));
    EXPECT_FALSE(CopyBitmapToDib(*out, bitmap));
    EXPECT_EQ(out->Width, 0);
    EXPECT_EQ(out->Bits, nullptr);
  }
}

namespace {

// Every byte of a buffer, padding included, set to a pattern that no fill colour matches.
std::vector<uint8_t> Scribble(TDibImage& d) {
  for (int32_t i = 0; i < d.ImageSize; ++i) d.Bits[i] = uint8_t(i * 7 + 3);
  return std::vector<uint8_t>(d.Bits, d.Bits + d.ImageSize);
}

std::vector<uint8_t> Bytes(const TDibImage& d) { return std::vector<uint8_t>(d.Bits, d.Bits + d.ImageSize); }

// What painting one run must do to a 24-bit buffer, pixel by pixel, clipped to the image.
void PaintRun(std::vector<uint8_t>& bytes, const TDibImage& d, const TDibRun& r) {
  if (r.Y < 0 || r.Y >= d.Height) return;
  for (int64_t x = std::max(r.X0, 0); x <= r.X1 && x < d.Width; ++x) {
    uint8_t* p = bytes.data() + size_t(d.Height - 1 - r.Y) * size_t(d.RowStride) + size_t(x) * 3;
    p[0] = uint8_t(r.Color >> 16);
    p[1] = uint8_t(r.Color >> 8);
    p[2] = uint8_t(r.Color);
  }
}

const uint32_t kRunColours[] = {0x00123456, 0x00123456, 0xFF0000FF, 0x00808080, 0x0000FF00, 0x00000000};

}  // namespace

// Runs of every length up to forty from several starts, one row each, the colour changing (or
// not) from run to run, against a pixel-by-pixel paint of the same runs. A 50-pixel row has two
// padding bytes, which must keep their values.
TEST(FillDibRuns, PaintsEachRunClippedAndNothingElse) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 50, 44));
  ASSERT_GT(d->RowStride, 150);
  for (int32_t x0 : {-20, -1, 0, 1, 5, 16, 17, 33, 49, 50}) {
    SCOPED_TRACE(testing::Message() << "from " << x0);
    std::vector<uint8_t> want = Scribble(*d);
    std::vector<TDibRun> runs;
    for (int32_t len = 0; len <= 40; ++len)
      runs.push_back({len + 1, x0, x0 + len - 1, kRunColours[size_t(len * len) % std::size(kRunColours)]});
    // Two runs that share a row, rows above and below the image, and one that ends left of it.
    runs.push_back({0, x0, x0 + 2, 0x00ABCDEF});
    runs.push_back({0, x0 + 3, x0 + 30, 0x00FEDCBA});
    runs.push_back({-1, 0, 49, 0x00111111});
    runs.push_back({44, 0, 49, 0x00222222});
    runs.push_back({43, -30, -1, 0x00333333});
    for (const TDibRun& r : runs) PaintRun(want, *d, r);
    FillDibRuns(*d, runs.data(), runs.size());
    ASSERT_EQ(Bytes(*d), want);
  }
}

TEST(FillDibRuns, LeavesImagesOtherThanTwentyFourBitAlone) {
  const TDibRun run{1, 0, 5, 0x00112233};
  TDibHolder d;
  for (bool (*create)(TDibImage&, int32_t, int32_t) : {&CreateDib32, &CreateDib8}) {
    ASSERT_TRUE(create(*d, 9, 3));
    const std::vector<uint8_t> before = Scribble(*d);
    FillDibRuns(*d, &run, 1);
    EXPECT_EQ(Bytes(*d), before);
  }
  TDibImage none;
  InitDib(none);
  FillDibRuns(none, &run, 1);  // no bitmap: nothing to paint, nothing to crash on
  EXPECT_EQ(none.Width, 0);
}

// A coloured rectangle on a 24-bit image is the same as its rows painted pixel by pixel; so is
// a grey one, which goes another way, and so is every colour with two channels alike.
TEST(FillDibRect, TwentyFourBitRowsMatchAPixelPaint) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 45, 9));
  for (uint32_t colour : {0x00123456u, 0xFF0000FFu, 0x00777777u, 0x00FF0000u, 0x0000FF00u, 0x00FFFF00u})
    for (int32_t x : {-9, 0, 3, 16, 30})
      for (int32_t w = 0; w <= 40; ++w) {
        SCOPED_TRACE(testing::Message() << std::hex << colour << std::dec << " x " << x << " width " << w);
        std::vector<uint8_t> want = Scribble(*d);
        for (int32_t y = -2; y < 3; ++y) PaintRun(want, *d, {y, x, x + w - 1, colour});
        FillDibRect(*d, x, -2, w, 5, colour);
        ASSERT_EQ(Bytes(*d), want);
      }
}
