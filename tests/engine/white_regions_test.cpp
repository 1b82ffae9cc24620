#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "cut_fixture.h"
#include "engine/curves.h"
#include "engine/run_union.h"
#include "engine/white_regions.h"
#include "foundation/dib_ops.h"
#include "foundation/random.h"

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
  DrawDibLine(*map, 20, 0, 20, 11, 0x000002);     // a wall from top to bottom
  DrawDibLine(*map, 0, 5, 8, 5, PieceColor(25));  // a spur that leaves the left side whole
  // A diagonal of two pixels apart is no passage: only a shared edge is.
  for (int32_t k = 0; k < 12; ++k) SetDibPixel(*map, 30 + k % 2, k, 0);
  TWhiteRegions r(*map);
  struct TCase {
    int32_t ax, ay, bx, by;
    bool same;
  } cases[] = {{0, 0, 19, 11, true},  {0, 0, 0, 11, true},   {21, 0, 29, 11, true}, {0, 0, 21, 0, false},
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

namespace {

// The labels must split the white pixels exactly as a four-connected fill does, give -1
// elsewhere, and a run walk must cover each white pixel once, row after row.
void ExpectFloodFillPartition(const TDibImage& map) {
  const int32_t w = map.Width, h = map.Height;
  std::vector<int32_t> label;
  LabelRegions(map, w, h, false, label);
  TWhiteRegions r(map);
  std::map<int32_t, int32_t> regionOfLabel, labelOfRegion;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t got = r.RegionAt(x, y);
      if (uint32_t(GetDibPixel(map, x, y)) != kWhite) {
        ASSERT_EQ(got, -1) << x << "," << y;
        continue;
      }
      ASSERT_GE(got, 0) << x << "," << y;
      ASSERT_LT(got, r.RegionLimit());
      const int32_t l = label[size_t(y) * w + x];
      ASSERT_EQ(regionOfLabel.emplace(l, got).first->second, got) << "one fill, two regions at " << x << "," << y;
      ASSERT_EQ(labelOfRegion.emplace(got, l).first->second, l) << "two fills, one region at " << x << "," << y;
    }
  for (int32_t y : {0, h - 1}) EXPECT_EQ(r.RegionAt(-1, y) & r.RegionAt(w, y), -1);
  std::vector<int32_t> visits(size_t(w) * h, 0);
  int32_t lastY = 0, lastX1 = -1;
  // Flattened first, and walked in two halves as the fills walk it.
  r.Flatten();
  const auto visit = [&](int32_t y, int32_t x0, int32_t x1, int32_t region) {
    ASSERT_TRUE(y > lastY || (y == lastY && x0 > lastX1)) << "out of order at " << x0 << "," << y;
    ASSERT_TRUE(y < h && x0 >= 0 && x0 <= x1 && x1 < w);
    lastY = y;
    lastX1 = x1;
    for (int32_t x = x0; x <= x1; ++x) {
      ++visits[size_t(y) * w + x];
      ASSERT_EQ(r.RegionAt(x, y), region) << x << "," << y;
    }
  };
  r.ForEachRun(0, h / 2, visit);
  r.ForEachRun(h / 2, h, visit);
  for (int32_t i = 0; i < w * h; ++i)
    ASSERT_EQ(visits[size_t(i)], int32_t(uint32_t(GetDibPixel(map, i % w, i / w)) == kWhite)) << i % w << "," << i / w;
}

}  // namespace

// Tall maps are labelled in bands that meet at seams (two at 601 rows, eight at 2100); short
// ones in one.
TEST(WhiteRegions, TallAndShortMapsSplitLikeAFourConnectedFill) {
  enum TKind { kScatter, kCombJoinedAtBottom, kCombJoinedAboveSeam, kWalls };
  const struct {
    int32_t w, h;
    TKind kind;
    uint32_t blackPerMille;
  } cases[] = {{61, 1, kScatter, 300},
               {41, 255, kScatter, 400},
               {41, 256, kScatter, 400},
               {40, 257, kScatter, 450},
               {53, 300, kScatter, 50},
               {53, 300, kScatter, 420},
               {29, 601, kScatter, 380},
               {29, 601, kScatter, 700},
               {33, 300, kCombJoinedAtBottom, 0},
               {33, 601, kCombJoinedAboveSeam, 0},
               {34, 257, kWalls, 0},
               {7, 256, kCombJoinedAtBottom, 0},
               {13, 2100, kScatter, 380},
               {9, 2100, kCombJoinedAtBottom, 0}};
  TRandom rng;
  rng.RandSeed = 5;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " kind " << c.kind << " black " << c.blackPerMille);
    TDibHolder map;
    MakeWhite(map, c.w, c.h);
    for (int32_t y = 0; y < c.h; ++y)
      for (int32_t x = 0; x < c.w; ++x) {
        bool black = rng.Random(1000) < c.blackPerMille;
        if (c.kind != kScatter) black = x % 2 == 0;
        if (c.kind == kCombJoinedAtBottom && y == c.h - 1) black = false;
        if (c.kind == kCombJoinedAboveSeam && y == c.h / 2 - 1) black = false;
        // Near-white colours are not white.
        if (black) SetDibPixel(*map, x, y, (x + y) % 3 == 0 ? 0x000002 : (x + y) % 3 == 1 ? 0xFFFEFF : 0xFFFFFE);
      }
    ExpectFloodFillPartition(*map);
    if (HasFatalFailure()) return;
  }
}

// Bands of rows are shared out over however many threads there are: every run comes out in
// row order with the same region on none, one or seven helpers.
TEST(LabelRowRuns, RegionsDoNotDependOnTheNumberOfThreads) {
  struct TRun {
    int32_t X0, X1, Parent;
  };
  constexpr int32_t w = 23, h = 2311;
  TRandom rng;
  rng.RandSeed = 9;
  std::vector<uint8_t> wall(size_t(w) * h);
  for (uint8_t& b : wall) b = rng.Random(100) < 42;
  const auto rowRuns = [&](int32_t y, std::vector<TRun>& runs) {
    for (int32_t x = 0; x < w; ++x) {
      if (wall[size_t(y) * w + x]) continue;
      int32_t end = x;
      while (end + 1 < w && !wall[size_t(y) * w + end + 1]) ++end;
      runs.push_back({x, end, int32_t(runs.size())});
      x = end;
    }
  };
  const auto joinRows = [](std::vector<TRun>& runs, int32_t above, int32_t begin, int32_t end) {
    for (int32_t r = begin; r < end; ++r) {
      for (int32_t k = above; k < begin; ++k) {
        if (runs[size_t(k)].X0 <= runs[size_t(r)].X1 && runs[size_t(r)].X0 <= runs[size_t(k)].X1) JoinRuns(runs, r, k);
      }
    }
  };
  const auto label = [&](int32_t helpers, std::vector<int32_t>& rowStart) {
    std::vector<TRun> runs;
    LabelRowRuns(h, runs, rowStart, rowRuns, joinRows, helpers);
    std::vector<std::array<int32_t, 3>> out;
    for (int32_t r = 0; r < int32_t(runs.size()); ++r)
      out.push_back({runs[size_t(r)].X0, runs[size_t(r)].X1, FindRunRoot(runs, r)});
    return out;
  };
  std::vector<int32_t> rowStart;
  const auto alone = label(0, rowStart);
  // One pass over all rows by hand: a region's root is its first run in row order.
  std::vector<TRun> plain;
  for (int32_t y = 0; y < h; ++y) {
    const int32_t above = y > 0 ? rowStart[size_t(y) - 1] : 0, begin = int32_t(plain.size());
    ASSERT_EQ(rowStart[size_t(y)], begin) << y;
    rowRuns(y, plain);
    if (y > 0) joinRows(plain, above, begin, int32_t(plain.size()));
  }
  ASSERT_EQ(alone.size(), plain.size());
  for (int32_t r = 0; r < int32_t(plain.size()); ++r) ASSERT_EQ(alone[size_t(r)][2], FindRunRoot(plain, r)) << r;
  for (int32_t helpers : {1, 3, 7}) {
    std::vector<int32_t> starts;
    EXPECT_EQ(label(helpers, starts), alone) << helpers;
    EXPECT_EQ(starts, rowStart) << helpers;
  }
}
