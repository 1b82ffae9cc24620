#include <gtest/gtest.h>

#include "foundation/skin_rect.h"

TEST(SkinRect, IncludeIntoClearedTakesTheGivenEdgesAndNeverShrinks) {
  TSkinRect r;
  ClearSkinRect(r);
  EXPECT_TRUE(IsSkinRectEmpty(r));
  IncludeInSkinRect(r, 5, 6, 9, 8);
  EXPECT_EQ(r.Left, 5);
  EXPECT_EQ(r.Top, 6);
  EXPECT_EQ(r.Width, 5);
  EXPECT_EQ(r.Height, 3);
  IncludeInSkinRect(r, 6, 7, 7, 7);
  EXPECT_EQ(r.Right, 9);
  EXPECT_EQ(r.Bottom, 8);
  EXPECT_EQ(r.WinRect.right, 9);
}

TEST(SkinRect, BoundsOfZeroSizeAreEmptyAndPointsOnEdgesAreInside) {
  TSkinRect r;
  SetSkinRectBounds(r, 10, 20, 0, 0);
  EXPECT_EQ(r.Right, 9);
  EXPECT_EQ(r.Bottom, 19);
  EXPECT_TRUE(IsSkinRectEmpty(r));
  SetSkinRectEdges(r, 0, 0, 4, 4);
  EXPECT_TRUE(PointInSkinRect(r, 0, 0));
  EXPECT_TRUE(PointInSkinRect(r, 4, 4));
  EXPECT_FALSE(PointInSkinRect(r, 5, 4));
}

TEST(SkinRect, IntersectionSharesOneColumnAndMayWriteIntoAnInput) {
  TSkinRect a, b, out;
  SetSkinRectEdges(a, 0, 0, 10, 10);
  SetSkinRectEdges(b, 10, 5, 20, 30);
  ASSERT_TRUE(IntersectSkinRects(a, b, &out));
  EXPECT_EQ(out.Width, 1);
  EXPECT_EQ(out.Height, 6);
  ASSERT_TRUE(IntersectSkinRects(a, b, &a));
  EXPECT_EQ(a.Left, 10);
  EXPECT_EQ(a.Bottom, 10);
  SetSkinRectEdges(b, 50, 50, 60, 60);
  EXPECT_FALSE(IntersectSkinRects(a, b, &out));
  EXPECT_EQ(out.Left, kUnsetEdge);
}

TEST(SkinRect, MoveLeavesTheWinRectCopyStaleUntilRefreshed) {
  TSkinRect r;
  SetSkinRectEdges(r, 1, 2, 3, 4);
  MoveSkinRect(r, 11, 12);
  EXPECT_EQ(r.Right, 13);
  EXPECT_EQ(r.WinRect.left, 1);
  const TWinRect w = SkinRectToRect(r);
  EXPECT_EQ(w.left, 11);
  EXPECT_EQ(w.bottom, 14);
}

TEST(SkinRect, ClearedRectangleHasUnsetEdgesEverywhere) {
  TSkinRect r;
  SetSkinRectEdges(r, 1, 2, 3, 4);
  ClearSkinRect(r);
  for (int32_t v : {r.Left, r.Top, r.Right, r.Bottom, r.WinRect.left, r.WinRect.top,
                    r.WinRect.right, r.WinRect.bottom})
    EXPECT_EQ(v, -10000);
  EXPECT_EQ(r.Width, 0);
  EXPECT_EQ(r.Height, 0);
}

TEST(SkinRect, RightBottomSetsSizesButLeavesTheWinRectCopy) {
  TSkinRect r;
  SetSkinRectEdges(r, 10, 20, 19, 29);
  SetSkinRectRightBottom(r, 14, 20);
  EXPECT_EQ(r.Width, 5);
  EXPECT_EQ(r.Height, 1);
  EXPECT_EQ(r.WinRect.right, 19);
  EXPECT_EQ(r.WinRect.bottom, 29);
  // A right edge left of the left edge gives a negative width, which is not empty.
  SetSkinRectRightBottom(r, 8, 20);
  EXPECT_EQ(r.Width, -1);
  EXPECT_FALSE(IsSkinRectEmpty(r));
  SetSkinRectRightBottom(r, 9, 20);
  EXPECT_TRUE(IsSkinRectEmpty(r));
}

TEST(SkinRect, MoveSizeAndAdjustKeepEdgesSizesAndCopyInStep) {
  TSkinRect r;
  SetSkinRectBounds(r, 10, 20, 30, 40);  // edges 10, 20, 39, 59
  MoveSizeSkinRect(r, -5, 3, 10, -20);
  EXPECT_EQ(r.Left, 5);
  EXPECT_EQ(r.Top, 23);
  EXPECT_EQ(r.Width, 40);
  EXPECT_EQ(r.Height, 20);
  EXPECT_EQ(r.Right, 44);
  EXPECT_EQ(r.Bottom, 42);
  EXPECT_EQ(r.WinRect.left, 5);
  EXPECT_EQ(r.WinRect.bottom, 42);

  AdjustSkinRectEdges(r, 1, 2, -3, 4);
  EXPECT_EQ(r.Left, 6);
  EXPECT_EQ(r.Top, 25);
  EXPECT_EQ(r.Right, 41);
  EXPECT_EQ(r.Bottom, 46);
  EXPECT_EQ(r.Width, 36);
  EXPECT_EQ(r.Height, 22);
  EXPECT_EQ(r.WinRect.right, 41);
  EXPECT_EQ(r.WinRect.top, 25);
}

TEST(SkinRect, IntersectionWithoutAnOutRecordOnlyAnswers) {
  TSkinRect a, b;
  SetSkinRectEdges(a, 0, 0, 10, 10);
  SetSkinRectEdges(b, 10, 10, 20, 20);
  EXPECT_TRUE(IntersectSkinRects(a, b, nullptr));
  SetSkinRectEdges(b, 11, 0, 20, 20);
  EXPECT_FALSE(IntersectSkinRects(a, b, nullptr));
  EXPECT_FALSE(IntersectSkinRects(b, a, nullptr));
  EXPECT_EQ(a.Right, 10);
}

TEST(SkinRect, SumsAtTheEndsOfTheRangeWrapLikeThirtyTwoBitIntegers) {
  // Coordinates may come from files; the sanitizers stop the suite on any undefined sum.
  constexpr int32_t kMax = 2147483647, kMin = -kMax - 1;
  TSkinRect r;
  SetSkinRectBounds(r, kMax, kMin, 2, 0);
  EXPECT_EQ(r.Right, kMin);  // kMax + 1
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
