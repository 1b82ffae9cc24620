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
