#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "dib_test_util.h"
#include "foundation/dib_ops.h"
#include "foundation/random.h"

using namespace dibtest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kPiece = 0x070080;  // red 128, green 0, blue 7: a cut-map piece colour

// The 4-connected region of the seed's colour, found by a plain breadth-first walk: the
// independent reference the scanline fill is compared with.
std::vector<bool> Region(const TDibImage& d, int32_t sx, int32_t sy) {
  std::vector<bool> in(size_t(d.Width) * d.Height, false);
  const int32_t seed = GetDibPixel(d, sx, sy);
  std::deque<std::pair<int32_t, int32_t>> todo{{sx, sy}};
  in[size_t(sy) * d.Width + sx] = true;
  while (!todo.empty()) {
    auto [x, y] = todo.front();
    todo.pop_front();
    const int32_t nx[4] = {x - 1, x + 1, x, x};
    const int32_t ny[4] = {y, y, y - 1, y + 1};
    for (int k = 0; k < 4; ++k) {
      if (GetDibPixel(d, nx[k], ny[k]) != seed) continue;
      const size_t i = size_t(ny[k]) * d.Width + nx[k];
      if (in[i]) continue;
      in[i] = true;
      todo.emplace_back(nx[k], ny[k]);
    }
  }
  return in;
}

std::vector<int32_t> Box(const TWinRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Fills from (sx, sy) and checks the whole image against the reference: region pixels take the
// fill colour, every other pixel keeps its colour, and the bounds are the region's box.
void ExpectFillMatchesReference(TDibImage& d, int32_t sx, int32_t sy, uint32_t fill) {
  const std::vector<int32_t> before = Pixels(d);
  const std::vector<bool> region = Region(d, sx, sy);
  TWinRect bounds{};
  FloodFillDib(d, sx, sy, fill, true, bounds);
  const std::vector<int32_t> after = Pixels(d);
  TWinRect box{sx, sy, sx, sy};
  for (int32_t y = 0; y < d.Height; ++y) {
    for (int32_t x = 0; x < d.Width; ++x) {
      const size_t i = size_t(y) * d.Width + x;
      if (region[i]) {
        ASSERT_EQ(after[i], int32_t(fill)) << x << "," << y;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
      } else {
        ASSERT_EQ(after[i], before[i]) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(Box(bounds), Box(box));
}

}  // namespace

TEST(FloodFill, FillsExactlyTheFourConnectedRegionOfRandomMaps) {
  TRandom rng;
  rng.RandSeed = 20261206;
  TDibHolder d;
  const std::vector<uint32_t> two{kWhite, kBlack};
  const std::vector<uint32_t> three{kWhite, kBlack, 0x00FF00};
  for (int round = 0; round < 300; ++round) {
    const int32_t w = 1 + int32_t(rng.Random(40)), h = 1 + int32_t(rng.Random(30));
    ASSERT_TRUE(CreateDib24(*d, w, h));
    FillRandom(*d, rng, round % 2 ? two : three);
    const int32_t sx = int32_t(rng.Random(uint32_t(w))), sy = int32_t(rng.Random(uint32_t(h)));
    ExpectFillMatchesReference(*d, sx, sy, kPiece);
    if (HasFatalFailure()) {
      ADD_FAILURE() << "round " << round;
      return;
    }
  }
}

TEST(FloodFill, NothingHappensForTheSeedColourOrAnOutsideSeed) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 5, 4));
  FillPattern(*d);
  const std::vector<int32_t> before = Pixels(*d);
  TWinRect bounds{-1, -1, -1, -1};
  FloodFillDib(*d, 2, 3, PatternColor(2, 3), true, bounds);
  EXPECT_EQ(Pixels(*d), before);
  EXPECT_EQ(Box(bounds), (std::vector<int32_t>{2, 3, 2, 3}));
  for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 4}}) {
    FloodFillDib(*d, x, y, kPiece, true, bounds);
    EXPECT_EQ(bounds.left, x);
    EXPECT_EQ(bounds.bottom, y);
  }
  EXPECT_EQ(Pixels(*d), before);
}

TEST(FloodFill, StrayTopByteOfTheFillColourIsIgnored) {
  // 0x01FFFFFF paints white; on a white region it must be the "same colour" case, not an
  // endless refill.
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 6, 6));
  Fill(*d, kWhite);
  FloodFillDib(*d, 3, 3, 0x01FFFFFF);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), int32_t(kWhite));
  FloodFillDib(*d, 3, 3, 0xFF070080);
  EXPECT_EQ(GetDibPixel(*d, 5, 5), int32_t(kPiece));
  ASSERT_TRUE(CreateDib32(*d, 4, 4));  // other formats are refused
  FloodFillDib(*d, 1, 1, kPiece);
  EXPECT_EQ(GetDibPixel(*d, 1, 1), 0);
}

TEST(FloodFill, RegionsWiderAndTallerThanSixteenBitsFill) {
  // Runs reaching column 32767 push spans beyond 32767: they must not wrap.
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 32768, 3));
  Fill(*d, kWhite);
  SetDibPixel(*d, 32767, 1, kBlack);
  TWinRect bounds{};
  FloodFillDib(*d, 0, 2, kPiece, true, bounds);
  EXPECT_EQ(bounds.right, 32767);
  EXPECT_EQ(bounds.bottom, 2);
  int32_t white = 0, piece = 0;
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 32768; ++x) {
      const int32_t c = GetDibPixel(*d, x, y);
      white += c == int32_t(kWhite);
      piece += c == int32_t(kPiece);
    }
  EXPECT_EQ(white, 0);
  EXPECT_EQ(piece, 3 * 32768 - 1);

  ASSERT_TRUE(CreateDib24(*d, 2, 32768));
  Fill(*d, kWhite);
  FloodFillDib(*d, 1, 32767, kPiece, true, bounds);
  EXPECT_EQ(bounds.top, 0);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), int32_t(kPiece));
}
