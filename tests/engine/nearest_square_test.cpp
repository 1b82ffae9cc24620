#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cut_fixture.h"
#include "engine/cell_cut.h"

// The least squared distance of a pixel of one colour from a point, within a rectangle: pixels
// of other colours and outside the rectangle do not count, and the search from the point's row
// outward still finds a nearer pixel in a row further down than one found above.
TEST(NearestSquare, FindsTheNearestPixelOfTheColourInTheRectangle) {
  const uint32_t colour = PieceColor(75), other = PieceColor(150);
  struct TPixel {
    int32_t x, y;
    uint32_t c;
  };
  const struct {
    std::vector<TPixel> pixels;
    TBoundsRect rect;
    double mx, my, square;
  } cases[] = {
      {{}, {10, 10, 50, 40}, 30, 25, 1e300},  // none at all
      {{{30, 25, colour}}, {10, 10, 50, 40}, 30, 25, 0},
      {{{30, 25, other}, {33, 25, colour}}, {10, 10, 50, 40}, 30, 25, 9},          // another colour is not it
      {{{34, 24, colour}, {31, 26, colour}}, {10, 10, 50, 40}, 30, 25, 2},         // the row above first, below nearer
      {{{30, 20, colour}, {30, 31, colour}}, {10, 10, 50, 40}, 30.5, 25.5, 30.5},  // halves: 0.25 + 30.25
      {{{30, 25, colour}, {40, 25, colour}}, {35, 10, 50, 40}, 30, 25, 100},       // left of the rectangle
      {{{30, 9, colour}, {30, 12, colour}}, {10, 10, 50, 40}, 30, 5, 49},          // the point above the rectangle
      {{{30, 44, colour}, {30, 41, colour}, {30, 38, colour}}, {10, 10, 50, 40}, 30, 45, 49},  // and below it
      {{{30, 25, colour}}, {31, 10, 30, 40}, 30, 25, 1e300},                                   // an empty rectangle
      {{{26, 10, colour}}, {10, 10, 50, 40}, 30, 25, 241},                  // on the rectangle's top row
      {{{33, 10, colour}, {30, 14, colour}}, {10, 10, 50, 40}, 30, 9, 10},  // the top row, from above it
  };
  for (const auto& c : cases) {
    TCutFixture fx(100, 60);
    for (const TPixel& p : c.pixels) SetDibPixel(*fx.map, p.x, p.y, p.c);
    EXPECT_EQ(cell_cut::NearestSquare(*fx.map, c.rect, colour, c.mx, c.my), c.square)
        << "rect " << c.rect.Left << "," << c.rect.Top << " point " << c.mx << "," << c.my;
  }
}
