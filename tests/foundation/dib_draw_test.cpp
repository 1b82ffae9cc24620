#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "dib_test_util.h"
#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "foundation/random.h"

using namespace dibtest;

namespace {

constexpr uint32_t kInk = 0x00203040;
using Points = std::set<std::pair<int32_t, int32_t>>;

Points InkedPoints(const TDibImage& d) {
  Points out;
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x)
      if (GetDibPixel(d, x, y) == int32_t(kInk)) out.insert({x, y});
  return out;
}

Points LineOn(int32_t w, int32_t h, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  TDibHolder d;
  EXPECT_TRUE(CreateDib24(*d, w, h));
  DrawDibLine(*d, x1, y1, x2, y2, kInk);
  return InkedPoints(*d);
}

// The stepping rule written out plainly, every point walked and kept when inside: the
// reference for lines whose ends lie far outside the image.
Points WalkedLine(int32_t w, int32_t h, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  Points out;
  auto keep = [&](int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x < w && y < h) out.insert({int32_t(x), int32_t(y)});
  };
  const int64_t dx = std::llabs(x2 - x1), dy = std::llabs(y2 - y1);
  const int64_t sx = x2 > x1 ? 1 : -1, sy = y2 > y1 ? 1 : -1;
  int64_t x = x1, y = y1;
  keep(x, y);
  if (dx > dy) {
    for (int64_t err = 2 * dy - dx; x != x2;) {
      if (err >= 0) y += sy, err -= 2 * dx;
      x += sx, err += 2 * dy;
      keep(x, y);
    }
  } else {
    for (int64_t err = 2 * dx - dy; y != y2;) {
      if (err >= 0) x += sx, err -= 2 * dy;
      y += sy, err += 2 * dx;
      keep(x, y);
    }
  }
  return out;
}

}  // namespace

TEST(DrawDibLine, WorkedExamplesAndTheTieRule) {
  // x-major with ties: the error reaches 0 and steps; the reversed line steps elsewhere.
  EXPECT_EQ(LineOn(8, 8, 0, 0, 4, 2), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(LineOn(8, 8, 4, 2, 0, 0), (Points{{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}));
  // y-major, and 45 degrees counts as y-major.
  EXPECT_EQ(LineOn(8, 8, 0, 0, 1, 3), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
  EXPECT_EQ(LineOn(8, 8, 3, 0, 0, 3), (Points{{3, 0}, {2, 1}, {1, 2}, {0, 3}}));
  // Both end points belong to straight lines, in either order; one point is a line too.
  EXPECT_EQ(LineOn(8, 8, 6, 2, 2, 2), (Points{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}}));
  EXPECT_EQ(LineOn(8, 8, 1, 3, 1, 1), (Points{{1, 1}, {1, 2}, {1, 3}}));
  EXPECT_EQ(LineOn(8, 8, 7, 7, 7, 7), (Points{{7, 7}}));
  EXPECT_EQ(LineOn(8, 8, 8, 7, 8, 7), Points{});
}

TEST(DrawDibLine, SlantedLinesThroughTheEdgesMatchThePlainWalk) {
  TRandom rng;
  rng.RandSeed = 4242;
  for (int round = 0; round < 500; ++round) {
    const auto coord = [&] { return int32_t(rng.Random(700)) - 350; };
    const int32_t x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
    ASSERT_EQ(LineOn(50, 40, x1, y1, x2, y2), WalkedLine(50, 40, x1, y1, x2, y2))
        << x1 << "," << y1 << " - " << x2 << "," << y2;
  }
  // Far ends: the jump to the image edge lands where the walk would have been.
  for (auto [x1, y1, x2, y2] : {std::tuple{-100000, -33333, 60, 20},
                                {5, 7, 300001, 100003},
                                {-7, 250000, 40, -3},
                                {49, 39, -999999, -1000000}}) {
    EXPECT_EQ(LineOn(50, 40, x1, y1, x2, y2), WalkedLine(50, 40, x1, y1, x2, y2))
        << x1 << "," << y1 << " - " << x2 << "," << y2;
  }
}

TEST(DrawDibFrame, OutlinesTheRectangleOnly) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 7, 6));
  DrawDibFrame(*d, 1, 1, 4, 3, kInk);
  Points want;
  for (int32_t x = 1; x <= 4; ++x) want.insert({x, 1}), want.insert({x, 3});
  want.insert({{1, 2}, {4, 2}});
  EXPECT_EQ(InkedPoints(*d), want);
  // Partly off the image: the sides inside remain; huge sizes do not wrap.
  ASSERT_TRUE(CreateDib24(*d, 7, 6));
  DrawDibFrame(*d, -2, 2, 5, INT_MAX, kInk);
  want = {};
  for (int32_t x = 0; x <= 2; ++x) want.insert({x, 2});
  for (int32_t y = 2; y < 6; ++y) want.insert({2, y});
  EXPECT_EQ(InkedPoints(*d), want);
  ASSERT_TRUE(CreateDib32(*d, 5, 5));  // other formats are refused
  DrawDibLine(*d, 0, 0, 4, 4, kInk);
  DrawDibFrame(*d, 0, 0, 5, 5, kInk);
  EXPECT_EQ(GetDibPixel(*d, 2, 2) | GetDibPixel(*d, 0, 0), 0);
}

TEST(TintDibRect, HalvesTowardTheTintSparesTheKeyAndIsCutToTheImage) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 4, 3));
  SetDibPixel(*d, 1, 1, 0x00FF00FF);  // the key
  SetDibPixel(*d, 2, 1, MakeColor(200, 101, 7));
  TintDibRect(*d, 1, -5, 100, 7, 0xFFFFFF, 0x00FF00FF);  // rows 0..1, columns 1..3
  EXPECT_EQ(GetDibPixel(*d, 3, 0), int32_t(Grey(127)));
  EXPECT_EQ(GetDibPixel(*d, 1, 1), 0x00FF00FF);
  EXPECT_EQ(GetDibPixel(*d, 2, 1), MakeColor(100 + 127, 50 + 127, 3 + 127));
  EXPECT_EQ(GetDibPixel(*d, 0, 0) | GetDibPixel(*d, 3, 2), 0);
  TintDibRect(*d, 3, 0, 1, 1, MakeColor(100, 0, 255), 0x00FF00FF);
  EXPECT_EQ(GetDibPixel(*d, 3, 0), MakeColor(63 + 50, 63, 63 + 127));
  TintDibRect(*d, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFF, 0x00FF00FF);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), 0);
  ASSERT_TRUE(CreateDib32(*d, 4, 3));
  TintDibRect(*d, 0, 0, 4, 3, 0xFFFFFF, 0x00FF00FF);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), 0);
}
