#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "platform/canvas.h"

namespace {
using TPixelSet = std::set<std::pair<int32_t, int32_t>>;

std::vector<std::pair<int32_t, int32_t>> Walk(TCanvasPoint a, TCanvasPoint b) {
  std::vector<std::pair<int32_t, int32_t>> out;
  WalkPenLine(a, b, [&](int32_t x, int32_t y) { out.push_back({x, y}); });
  return out;
}

struct TBitmapHolder {
  TPlatformBitmap* b;
  TBitmapHolder(int32_t w, int32_t h) : b(CreatePlatformBitmap(w, h, 24)) {}
  ~TBitmapHolder() { DestroyPlatformBitmap(b); }
  uint32_t At(int32_t x, int32_t y) const {
    const uint8_t* p = b->Pixels + intptr_t(b->Height - 1 - y) * b->AllocatedStride + x * 3;
    return p[2] | (p[1] << 8) | (uint32_t(p[0]) << 16);
  }
  TPixelSet Set() const {
    TPixelSet s;
    for (int32_t y = 0; y < b->Height; ++y)
      for (int32_t x = 0; x < b->Width; ++x)
        if (At(x, y)) s.insert({x, y});
    return s;
  }
};
}  // namespace

TEST(PenLine, LeavesOutItsLastPointAndStays8Connected) {
  EXPECT_EQ(Walk({0, 0}, {5, 0}), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
  EXPECT_TRUE(Walk({3, 3}, {3, 3}).empty());
  srand(7);
  for (int i = 0; i < 500; ++i) {
    const TCanvasPoint a{rand() % 61 - 30, rand() % 61 - 30}, b{rand() % 61 - 30, rand() % 61 - 30};
    auto pts = Walk(a, b);
    ASSERT_EQ(int32_t(pts.size()), std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    if (pts.empty()) continue;
    EXPECT_EQ(pts.front(), std::make_pair(a.x, a.y));
    pts.push_back({b.x, b.y});  // the left-out end is the next step
    for (size_t k = 1; k < pts.size(); ++k)
      EXPECT_LE(std::max(std::abs(pts[k].first - pts[k - 1].first), std::abs(pts[k].second - pts[k - 1].second)), 1);
  }
}

TEST(PenLine, TiesFallSoThatBothDirectionsCoverTheSamePixels) {
  // (0,0)-(2,1) is a tie at the middle pixel; forwards and backwards must agree on it.
  EXPECT_EQ(Walk({0, 0}, {2, 1}), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}}));
  EXPECT_EQ(Walk({2, 1}, {0, 0}), (std::vector<std::pair<int32_t, int32_t>>{{2, 1}, {1, 0}}));
  srand(11);
  for (int i = 0; i < 1000; ++i) {
    const TCanvasPoint a{rand() % 41 - 20, rand() % 41 - 20}, b{rand() % 41 - 20, rand() % 41 - 20};
    if (a.x == b.x && a.y == b.y) continue;
    auto f = Walk(a, b), r = Walk(b, a);
    TPixelSet fs(f.begin(), f.end()), rs(r.begin(), r.end());
    fs.insert({b.x, b.y});
    rs.insert({a.x, a.y});
    EXPECT_EQ(fs, rs) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
  }
}

TEST(PenLine, ClippingKeepsTheUnclippedPixels) {
  TBitmapHolder small(40, 30), big(140, 130);
  srand(3);
  for (int i = 0; i < 200; ++i) {
    const TCanvasPoint a{rand() % 120 - 40, rand() % 110 - 40}, b{rand() % 120 - 40, rand() % 110 - 40};
    CanvasLine(*small.b, a, b, 0x00FF00);
    CanvasLine(*big.b, {a.x + 50, a.y + 50}, {b.x + 50, b.y + 50}, 0x00FF00);
  }
  TPixelSet inBig;
  for (auto [x, y] : big.Set())
    if (x >= 50 && x < 90 && y >= 50 && y < 80) inBig.insert({x - 50, y - 50});
  EXPECT_EQ(small.Set(), inBig);
  EXPECT_FALSE(inBig.empty());
  // Absurd coordinates neither hang nor write.
  TBitmapHolder c(10, 10);
  CanvasLine(*c.b, {-2000000000, 5}, {2000000000, 5}, 0xFFFFFF);
  CanvasSetPixel(*c.b, -1, 3, 0xFFFFFF);
  CanvasSetPixel(*c.b, 10, 3, 0xFFFFFF);
  EXPECT_TRUE(c.Set().empty());
}

// A line with either end beyond what the host's canvas takes comes from broken geometry:
// it is left out whole, even where its other end lies on the bitmap.
TEST(PenLine, ALineWithOneAbsurdEndWritesNothing) {
  constexpr int32_t kFar = 1 << 27;
  for (TCanvasPoint far :
       {TCanvasPoint{kFar, 5}, TCanvasPoint{-kFar, 5}, TCanvasPoint{5, kFar}, TCanvasPoint{5, -kFar}}) {
    for (bool farFirst : {false, true}) {
      TBitmapHolder c(10, 10);
      const TCanvasPoint near{4, 4};
      CanvasLine(*c.b, farFirst ? far : near, farFirst ? near : far, 0xFFFFFF);
      EXPECT_TRUE(c.Set().empty()) << far.x << "," << far.y << (farFirst ? " first" : " last");
    }
  }
  TBitmapHolder c(10, 10);
  CanvasLine(*c.b, {4, 4}, {1 << 25, 4}, 0xFFFFFF);  // far but within the limit: drawn
  EXPECT_EQ(c.Set().size(), 6u);
}

TEST(PenLine, PolylineSetsEveryPointButTheLastInTheGivenColour) {
  TBitmapHolder bm(20, 20);
  const TCanvasPoint pts[] = {{2, 2}, {10, 2}, {10, 9}, {4, 15}};
  CanvasPolyline(*bm.b, pts, 4, 0x123456);
  EXPECT_EQ(bm.At(10, 9), 0x123456u);
  EXPECT_EQ(bm.At(4, 15), 0u);
  EXPECT_EQ(bm.Set().size(), 8u + 7u + 6u);
  CanvasPolyline(*bm.b, pts, 1, 0xFFFFFF);  // one point draws nothing
  EXPECT_EQ(bm.At(2, 2), 0x123456u);
}

// Lines along each of the bitmap's own edges are drawn, alone or in a polyline; lines one
// pixel beside the bitmap draw nothing.
TEST(PenLine, LinesAlongTheBitmapsEdgesAreDrawn) {
  const struct {
    TCanvasPoint a, b;
    TPixelSet drawn;
  } cases[] = {
      {{0, 1}, {0, 4}, {{0, 1}, {0, 2}, {0, 3}}},
      {{1, 0}, {4, 0}, {{1, 0}, {2, 0}, {3, 0}}},
      {{9, 4}, {9, 1}, {{9, 4}, {9, 3}, {9, 2}}},
      {{4, 5}, {1, 5}, {{4, 5}, {3, 5}, {2, 5}}},
      {{-1, 1}, {-1, 4}, {}},
      {{1, -1}, {4, -1}, {}},
      {{10, 1}, {10, 4}, {}},
      {{1, 6}, {4, 6}, {}},
  };
  for (const auto& c : cases) {
    TBitmapHolder line(10, 6), poly(10, 6);
    std::fill(line.b->Pixels, line.b->Pixels + line.b->AllocatedStride * 6, 0);
    std::fill(poly.b->Pixels, poly.b->Pixels + poly.b->AllocatedStride * 6, 0);
    CanvasLine(*line.b, c.a, c.b, 0xFFFFFF);
    const TCanvasPoint points[2] = {c.a, c.b};
    CanvasPolyline(*poly.b, points, 2, 0xFFFFFF);
    EXPECT_EQ(line.Set(), c.drawn) << c.a.x << "," << c.a.y;
    EXPECT_EQ(poly.Set(), c.drawn) << c.a.x << "," << c.a.y;
  }
}

// A line that starts on the bitmap's edge and leaves it draws its first pixel.
TEST(PenLine, ALineLeavingFromTheEdgeDrawsItsFirstPixel) {
  const struct {
    TCanvasPoint a, b;
  } cases[] = {{{3, 0}, {3, -4}}, {{3, 0}, {6, -4}}, {{0, 3}, {-4, 3}}, {{9, 3}, {14, 3}}, {{3, 5}, {3, 10}}};
  for (const auto& c : cases) {
    TBitmapHolder line(10, 6);
    std::fill(line.b->Pixels, line.b->Pixels + line.b->AllocatedStride * 6, 0);
    CanvasLine(*line.b, c.a, c.b, 0xFFFFFF);
    EXPECT_EQ(line.Set(), (TPixelSet{{c.a.x, c.a.y}})) << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
  }
}

// A line that passes exactly between two pixels takes the one the host's pen takes, octant by
// octant: towards the end's minor coordinate in octants 3, 5, 6 and 8, else the start's.
TEST(PenLine, EachOctantBreaksItsTiesTheHostsWay) {
  struct TCase {
    TCanvasPoint End;
    std::pair<int32_t, int32_t> Middle;
  };
  for (const TCase& c :
       {TCase{{2, 1}, {1, 0}}, TCase{{1, 2}, {0, 1}}, TCase{{-1, 2}, {-1, 1}}, TCase{{-2, 1}, {-1, 0}},
        TCase{{-2, -1}, {-1, -1}}, TCase{{-1, -2}, {-1, -1}}, TCase{{1, -2}, {0, -1}}, TCase{{2, -1}, {1, -1}}}) {
    EXPECT_EQ(Walk({0, 0}, c.End), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, c.Middle}))
        << c.End.x << "," << c.End.y;
    // Moved away from the origin the choice is the same.
    EXPECT_EQ(Walk({7, -4}, {7 + c.End.x, -4 + c.End.y}),
              (std::vector<std::pair<int32_t, int32_t>>{{7, -4}, {7 + c.Middle.first, -4 + c.Middle.second}}));
  }
  // Longer ties: every other step of a 4:2 line is a tie.
  EXPECT_EQ(Walk({0, 0}, {4, 2}), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Walk({0, 0}, {-4, -2}), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {-1, -1}, {-2, -1}, {-3, -2}}));
}
