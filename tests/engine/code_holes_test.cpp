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

TEST(FillCodeHoles, AWhiteTableChangesNothingButTheWork) {
  // Two maps alike: pieces of two colours with white holes, some on a rectangle's edge, some
  // touching neither colour. Filled through the same rectangles, once with the table of white
  // runs made first and once without, they end byte for byte alike with the same bounds.
  const uint32_t a = PieceColor(125), b = PieceColor(50);
  TCutFixture with(80, 50), without(80, 50);
  for (TCutFixture* fx : {&with, &without}) {
    for (int32_t y = 0; y < 50; ++y)
      for (int32_t x = 0; x < 80; ++x) SetDibPixel(*fx->map, x, y, (x / 20 + y / 25) % 2 ? b : a);
    for (auto [x, y] : {std::pair{5, 5}, {6, 5}, {30, 10}, {20, 30}, {79, 40}, {45, 24}, {46, 25}, {60, 0}})
      SetDibPixel(*fx->map, x, y, kWhite);
  }
  TWhiteRows whites;
  FindWhiteRows(*with.map, 80, 50, whites);
  EXPECT_TRUE(whites.Inside(5, 4, 7));
  EXPECT_FALSE(whites.Inside(5, 6, 20));  // only on the left edge
  EXPECT_FALSE(whites.Inside(6, 0, 79));
  TCutTarget tw = with.Target(), to = without.Target();
  const TBoundsRect rects[] = {{0, 0, 19, 24}, {20, 0, 39, 24}, {19, 24, 41, 49}, {40, 20, 60, 30}, {60, 30, 79, 49}};
  for (const TBoundsRect& r : rects) {
    for (uint32_t c : {a, b}) {
      TBoundsRect got, want;
      FillCodeHoles(tw, r, c, got, &whites);
      FillCodeHoles(to, r, c, want);
      EXPECT_EQ(std::vector<int32_t>({got.Left, got.Top, got.Right, got.Bottom}),
                std::vector<int32_t>({want.Left, want.Top, want.Right, want.Bottom}))
          << r.Left << "," << r.Top;
    }
  }
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 80; ++x) ASSERT_EQ(with.At(x, y), without.At(x, y)) << x << "," << y;
  EXPECT_EQ(with.At(5, 5), a);  // a hole inside a rectangle was filled
}
