#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "engine/curves.h"
#include "engine/white_regions.h"
#include "foundation/dib_ops.h"

namespace {
// A white map of w x h with no margin.
void MakeWhite(TDibHolder& map, int32_t w, int32_t h) {
  ASSERT_TRUE(CreateDib24(*map, w, h));
  FillDibRect(*map, 0, 0, w, h, kWhite);
}
}  // namespace

TEST(WhiteRegions, JoinsAcrossSharedColumnsOnlyAndSkipsOtherColours) {
  TDibHolder map;
  MakeWhite(map, 40, 12);
  DrawDibLine(*map, 20, 0, 20, 11, 0x000002);  // a wall from top to bottom
  DrawDibLine(*map, 0, 5, 8, 5, PieceColor(25));  // a spur that leaves the left side whole
  // A diagonal of two pixels apart is no passage: only a shared edge is.
  for (int32_t k = 0; k < 12; ++k) SetDibPixel(*map, 30 + k % 2, k, 0);
  TWhiteRegions r(*map);
  struct TCase {
    int32_t ax, ay, bx, by;
    bool same;
  } cases[] = {{0, 0, 19, 11, true}, {0, 0, 0, 11, true}, {21, 0, 29, 11, true}, {0, 0, 21, 0, false},
               {25, 3, 35, 3, false}, {30, 1, 31, 0, false}, {31, 0, 39, 11, true}, {5, 4, 5, 6, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ax << "," << c.ay << " " << c.bx << "," << c.by);
    ASSERT_GE(r.RegionAt(c.ax, c.ay), 0);
    ASSERT_GE(r.RegionAt(c.bx, c.by), 0);
    EXPECT_EQ(r.RegionAt(c.ax, c.ay) == r.RegionAt(c.bx, c.by), c.same);
  }
  for (auto [x, y] : {std::pair{20, 4}, std::pair{3, 5}, std::pair{31, 7}}) EXPECT_EQ(r.RegionAt(x, y), -1);
  EXPECT_EQ(r.RegionAt(5, -1), -1);
  EXPECT_EQ(r.RegionAt(5, 12), -1);
}

// Whatever a flood fill from a white pixel colours is exactly the region of that pixel.
TEST(WhiteRegions, AgreesWithAFloodFillOnAScatteredMap) {
  constexpr int32_t w = 67, h = 41;
  TDibHolder map;
  MakeWhite(map, w, h);
  uint32_t s = 99;
  for (int32_t k = 0; k < 900; ++k) {
    s = s * 134775813 + 1;
    const int32_t x = int32_t(s % w), y = int32_t((s >> 8) % h);
    SetDibPixel(*map, x, y, (s >> 20) & 1 ? 0x000002 : PieceColor(150));
  }
  TWhiteRegions r(*map);
  // Every region once, filled from its first pixel in row order.
  std::vector<uint8_t> done(size_t(r.RegionLimit()), 0);
  int32_t checked = 0;
  for (int32_t sy = 0; sy < h; ++sy)
    for (int32_t sx = 0; sx < w; ++sx) {
      const int32_t region = r.RegionAt(sx, sy);
      if (region < 0 || done[size_t(region)]) continue;
      done[size_t(region)] = 1;
      TDibHolder copy;
      MakeWhite(copy, w, h);
      std::memcpy(copy->Bits, map->Bits, size_t(map->ImageSize));
      FloodFillDib(*copy, sx, sy, 0x000001);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
          ASSERT_EQ(GetDibPixel(*copy, x, y) == 0x000001, r.RegionAt(x, y) == region) << x << "," << y;
      ++checked;
    }
  EXPECT_GE(checked, 20);
}
