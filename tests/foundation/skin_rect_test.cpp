#include <gtest/gtest.h>

#include <vector>

#include "foundation/skin_rect.h"

namespace {

// Edges, sizes, then the stored platform copy's edges.
std::vector<int32_t> Fields(const TSkinRect& r) {
  return {r.Left,   r.Top,          r.Right,       r.Bottom,        r.Width,
          r.Height, r.WinRect.left, r.WinRect.top, r.WinRect.right, r.WinRect.bottom};
}

}  // namespace

TEST(SkinRect, IncludeClearAndEmptiness) {
  TSkinRect r;
  SetSkinRectEdges(r, 1, 2, 3, 4);
  ClearSkinRect(r);
  const int32_t u = -10000;
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{u, u, u, u, 0, 0, u, u, u, u}));
  EXPECT_TRUE(IsSkinRectEmpty(r));
  IncludeInSkinRect(r, 5, 6, 9, 8);  // a cleared rectangle takes the given edges
  IncludeInSkinRect(r, 6, 7, 7, 7);  // and never shrinks
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{5, 6, 9, 8, 5, 3, 5, 6, 9, 8}));
  SetSkinRectBounds(r, 10, 20, 0, 0);
  EXPECT_EQ(r.Right, 9);
  EXPECT_TRUE(IsSkinRectEmpty(r));
  SetSkinRectEdges(r, 0, 0, 4, 4);
  EXPECT_TRUE(PointInSkinRect(r, 4, 4));  // edges are inside
  EXPECT_FALSE(PointInSkinRect(r, 5, 4));
}

TEST(SkinRect, IntersectionSharesOneColumnMayWriteIntoAnInputOrOnlyAnswer) {
  TSkinRect a, b, out;
  SetSkinRectEdges(a, 0, 0, 10, 10);
  SetSkinRectEdges(b, 10, 5, 20, 30);
  ASSERT_TRUE(IntersectSkinRects(a, b, &out));
  EXPECT_EQ(out.Width, 1);
  EXPECT_EQ(out.Height, 6);
  EXPECT_TRUE(IntersectSkinRects(a, b, nullptr));
  ASSERT_TRUE(IntersectSkinRects(a, b, &a));
  EXPECT_EQ(Fields(a), (std::vector<int32_t>{10, 5, 10, 10, 1, 6, 10, 5, 10, 10}));
  SetSkinRectEdges(b, 11, 0, 20, 20);
  EXPECT_FALSE(IntersectSkinRects(b, a, nullptr));
  EXPECT_FALSE(IntersectSkinRects(a, b, &out));
  EXPECT_EQ(out.Left, kUnsetEdge);
}

TEST(SkinRect, MovesAndResizesKeepEdgesSizesAndCopyInStepOrLeaveTheCopyStale) {
  TSkinRect r;
  SetSkinRectEdges(r, 1, 2, 3, 4);
  MoveSkinRect(r, 11, 12);
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{11, 12, 13, 14, 3, 3, 1, 2, 3, 4}));
  const TWinRect w = SkinRectToRect(r);
  EXPECT_EQ(std::vector<int32_t>({w.left, w.top, w.right, w.bottom}), std::vector<int32_t>({11, 12, 13, 14}));

  SetSkinRectEdges(r, 10, 20, 19, 29);
  SetSkinRectRightBottom(r, 14, 20);
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{10, 20, 14, 20, 5, 1, 10, 20, 19, 29}));
  SetSkinRectRightBottom(r, 8, 20);  // a negative width is not empty
  EXPECT_FALSE(IsSkinRectEmpty(r));
  SetSkinRectRightBottom(r, 9, 20);
  EXPECT_TRUE(IsSkinRectEmpty(r));

  SetSkinRectBounds(r, 10, 20, 30, 40);  // edges 10, 20, 39, 59
  MoveSizeSkinRect(r, -5, 3, 10, -20);
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{5, 23, 44, 42, 40, 20, 5, 23, 44, 42}));
  AdjustSkinRectEdges(r, 1, 2, -3, 4);
  EXPECT_EQ(Fields(r), (std::vector<int32_t>{6, 25, 41, 46, 36, 22, 6, 25, 41, 46}));
}

TEST(SkinRect, SumsAtTheEndsOfTheRangeWrapLikeThirtyTwoBitIntegers) {
  // Coordinates may come from files; the sanitizers stop the suite on any undefined sum.
  constexpr int32_t kMax = 2147483647, kMin = -kMax - 1;
  TSkinRect r;
  SetSkinRectBounds(r, kMax, kMin, 2, 0);
  EXPECT_EQ(r.Right, kMin);   // kMax + 1
  EXPECT_EQ(r.Bottom, kMax);  // kMin - 1
  SetSkinRectEdges(r, kMin, 0, kMax, kMax);
  EXPECT_EQ(r.Width, 0);  // 2^32 columns do not fit a 32-bit width
  EXPECT_EQ(r.Height, kMin);
  MoveSkinRect(r, kMax, kMax);
  SetSkinRectRightBottom(r, kMin, kMin);
  MoveSizeSkinRect(r, kMax, kMax, kMax, kMax);
  AdjustSkinRectEdges(r, kMin, kMin, kMax, kMax);
  IncludeInSkinRect(r, kMin, kMin, kMax, kMax);
  EXPECT_EQ(r.Left, kMin);
  EXPECT_EQ(r.Right, kMax);
  EXPECT_EQ(r.Width, 0);
}

// Over every pair of small rectangles: they meet exactly when a pixel lies in both, and the
// meeting is the box of those pixels; a point is inside exactly when it lies between the edges.
TEST(SkinRect, IntersectionAndHitsAgreeWithThePixelsOfEveryPairOfSmallRectangles) {
  std::vector<TSkinRect> rects;
  for (int32_t l = 0; l < 4; ++l)
    for (int32_t r = l; r < 4; ++r)
      for (int32_t t = 0; t < 3; ++t)
        for (int32_t b = t; b < 3; ++b) SetSkinRectEdges(rects.emplace_back(), l, t, r, b);
  const auto inside = [](const TSkinRect& r, int32_t x, int32_t y) {
    return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
  };
  for (const TSkinRect& a : rects) {
    for (int32_t y = -1; y <= 3; ++y)
      for (int32_t x = -1; x <= 4; ++x) {
        if (PointInSkinRect(a, x, y) != inside(a, x, y)) {
          ADD_FAILURE() << "point " << x << "," << y << " in " << ::testing::PrintToString(Fields(a));
        }
      }
    for (const TSkinRect& b : rects) {
      TSkinRect box;
      ClearSkinRect(box);
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x) {
          if (inside(a, x, y) && inside(b, x, y)) IncludeInSkinRect(box, x, y, x, y);
        }
      TSkinRect out;
      const bool meet = IntersectSkinRects(a, b, &out);
      const std::string pair = ::testing::PrintToString(Fields(a)) + " and " + ::testing::PrintToString(Fields(b));
      ASSERT_EQ(meet, !IsSkinRectEmpty(box)) << pair;
      ASSERT_EQ(Fields(out), Fields(box)) << pair;
    }
  }
}
