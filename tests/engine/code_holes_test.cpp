#include <gtest/gtest.h>

#include "cut_fixture.h"
#include "engine/code_holes.h"

TEST(FillCodeHoles, FillsInnerHolesTouchingTheColourAndMeasuresIt) {
  TCutFixture fx(60, 40);
  const uint32_t c = PieceColor(125);
  // A ring with a one-pixel hole and a larger hole, and a white pixel on the rectangle's edge.
  for (int32_t y = 10; y <= 20; ++y)
    for (int32_t x = 10; x <= 30; ++x) SetDibPixel(*fx.map, x, y, c);
  SetDibPixel(*fx.map, 12, 12, kWhite);
  for (int32_t y = 14; y <= 17; ++y)
    for (int32_t x = 20; x <= 25; ++x) SetDibPixel(*fx.map, x, y, kWhite);
  SetDibPixel(*fx.map, 10, 15, kWhite);
  TCutTarget t = fx.Target();
  TBoundsRect bounds;
  FillCodeHoles(t, {10, 10, 30, 20}, c, bounds);
  EXPECT_EQ(fx.At(12, 12), c);
  EXPECT_EQ(fx.At(22, 16), c);
  EXPECT_EQ(fx.At(10, 15), kWhite);  // on the rectangle's border: never filled
  EXPECT_EQ(bounds.Left, 10);
  EXPECT_EQ(bounds.Top, 10);
  EXPECT_EQ(bounds.Right, 30);
  EXPECT_EQ(bounds.Bottom, 20);
  // An absent colour leaves bounds empty.
  FillCodeHoles(t, {-20, -20, 500, 500}, PieceColor(9), bounds);
  EXPECT_EQ(bounds.Left, 10000);
  EXPECT_EQ(bounds.Right, -10000);
  // The rectangle is clamped to the picture. The white surroundings touch the colour and are
  // filled when the scan first meets them in row 9; what the fill coloured behind the scan
  // (rows 0 to 8) does not count, what lies ahead does.
  FillCodeHoles(t, {-20, -20, 500, 500}, c, bounds);
  EXPECT_EQ(fx.At(59, 0), c);
  EXPECT_EQ(fx.At(10, 15), c);
  EXPECT_EQ(fx.At(60, 39), 0u);  // the black strip stays
  EXPECT_EQ(bounds.Left, 0);
  EXPECT_EQ(bounds.Top, 9);
  EXPECT_EQ(bounds.Right, 59);
  EXPECT_EQ(bounds.Bottom, 39);
}
