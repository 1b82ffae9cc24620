#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/cells.h"
#include "foundation/dib_ops.h"

namespace {
// A row of 24-bit pixels, each a single letter's colour: "aab" is two pixels of one colour
// and one of another.
std::vector<uint8_t> Row(const std::string& pixels) {
  std::vector<uint8_t> row;
  for (char c : pixels) row.insert(row.end(), {uint8_t(c), uint8_t(c * 3), uint8_t(c * 7)});
  return row;
}
}  // namespace

// The scan for the next pixel that differs from a neighbour: it reads the row eight bytes at a
// time where the row allows and byte by byte near its end, and answers last + 1 when every
// pixel up to last matches both neighbours.
TEST(NextUnevenPixel, FindsTheFirstPixelUnlikeANeighbour) {
  const struct {
    std::string pixels;
    int32_t x, last, expected;
  } cases[] = {
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 1, 30, 31},  // even throughout
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 5, 5, 6},
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 1, 30, 14},  // left of b
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 14, 30, 14},
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 15, 30, 15},  // b itself
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 16, 30, 16},  // right of b
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 17, 30, 31},
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 1, 12, 13},  // b lies past last
      {"aaaaaaaaaaaaaaabaaaaaaaaaaaaaaaa", 1, 13, 14},
      {"abaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 1, 30, 1},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", 1, 30, 30},  // only near the row's end
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaabb", 1, 30, 29},
      {"aaaaaaaaaaaaaaaaaaaaabbbbbbbbbbb", 3, 30, 20},  // two runs meet at 20 | 21
      {"aaaaaaaaaaaaaaaaaaaaabbbbbbbbbbb", 21, 30, 21},
      {"aaaaaaaaaaaaaaaaaaaaabbbbbbbbbbb", 22, 30, 31},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> row = Row(c.pixels);
    EXPECT_EQ(NextUnevenPixel(row.data(), c.x, c.last, row.size()), c.expected)
        << c.pixels << " from " << c.x << " to " << c.last;
  }
}

// A pixel that differs in one byte only is found, whichever of the three it is.
TEST(NextUnevenPixel, OneDifferingByteIsEnough) {
  for (int32_t at = 1; at < 30; ++at) {
    for (int32_t byte = 0; byte < 3; ++byte) {
      std::vector<uint8_t> row = Row(std::string(32, 'a'));
      row[size_t(at) * 3 + size_t(byte)] ^= 1;
      EXPECT_EQ(NextUnevenPixel(row.data(), 1, 30, row.size()), std::max(1, at - 1)) << at << " byte " << byte;
    }
  }
}

// The clean-up of lone pixels and notches gives the same picture whether or not the map has
// room right of the area (where it reads a pixel's bytes in one load): regions of colours whose
// three bytes all differ, with strays, notches on the area's rows and columns, and diagonals.
TEST(RemoveFrameNotches, SameResultWithAndWithoutRoomRightOfTheArea) {
  constexpr int32_t w = 20, h = 16;
  const uint32_t colours[3] = {0x102030, 0x405060, 0x708090};
  const auto paint = [&](TDibImage& map) {
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < map.Width; ++x) SetDibPixel(map, x, y, colours[(x / 7 + y / 6) % 3]);
    }
    for (auto [x, y] : {std::pair{3, 3}, {10, 4}, {0, 5}, {19, 9}, {8, 0}, {9, 0}, {12, 15}, {5, 7}, {6, 8}})
      SetDibPixel(map, x, y, colours[(x + y) % 3]);
  };
  TDibHolder narrow, wide;
  ASSERT_TRUE(CreateDib24(*narrow, w, h));
  ASSERT_TRUE(CreateDib24(*wide, w + 4, h));
  paint(*narrow);
  paint(*wide);
  TDibHolder before;
  ASSERT_TRUE(CreateDib24(*before, w, h));
  paint(*before);
  RemoveFrameNotches(*narrow, {0, 0, w - 1, h - 1});
  RemoveFrameNotches(*wide, {0, 0, w - 1, h - 1});
  int32_t changed = 0;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      EXPECT_EQ(GetDibPixel(*wide, x, y), GetDibPixel(*narrow, x, y)) << x << "," << y;
      changed += GetDibPixel(*narrow, x, y) != GetDibPixel(*before, x, y);
    }
  }
  EXPECT_GT(changed, 0);  // there was something to clean up
  EXPECT_EQ(GetDibPixel(*narrow, 3, 3), colours[0]);  // a stray inside a region joins it
  EXPECT_EQ(GetDibPixel(*wide, 3, 3), colours[0]);
}
