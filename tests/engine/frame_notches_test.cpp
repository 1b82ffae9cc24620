#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
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
  EXPECT_GT(changed, 0);                              // there was something to clean up
  EXPECT_EQ(GetDibPixel(*narrow, 3, 3), colours[0]);  // a stray inside a region joins it
  EXPECT_EQ(GetDibPixel(*wide, 3, 3), colours[0]);
}

namespace {
// The clean-up as a plain scan: the area's outer rows and columns, then every inner pixel in
// row order, judged on the map as the pixels before it left it.
void PlainNotchCleanUp(TDibImage& map, const TCutArea& a) {
  const auto at = [&](int32_t x, int32_t y) { return uint32_t(GetDibPixel(map, x, y)); };
  const int32_t L = a.Left, T = a.Top, R = a.Right, B = a.Bottom;
  for (int32_t y : {T, B}) {
    const int32_t yi = y == T ? T + 1 : B - 1;
    for (int32_t x = L + 1; x <= R - 1; ++x) {
      if (at(x + 1, y) == at(x, y) && at(x, yi) == at(x - 1, y) && at(x + 1, yi) == at(x - 1, y))
        SetDibPixel(map, x, y, at(x - 1, y));
    }
    for (int32_t x = R - 1; x >= L + 1; --x) {
      if (at(x - 1, y) == at(x, y) && at(x, yi) == at(x - 1, yi) && at(x + 1, y) == at(x - 1, yi))
        SetDibPixel(map, x, y, at(x - 1, yi));
    }
  }
  for (int32_t x : {L, R}) {
    const int32_t xi = x == L ? L + 1 : R - 1;
    for (int32_t y = T + 1; y <= B - 1; ++y) {
      if (at(x, y + 1) == at(x, y) && at(xi, y) == at(x, y - 1) && at(xi, y + 1) == at(x, y - 1))
        SetDibPixel(map, x, y, at(x, y - 1));
    }
    for (int32_t y = B - 1; y >= T + 1; --y) {
      if (at(x, y - 1) == at(x, y) && at(xi, y) == at(xi, y - 1) && at(x, y + 1) == at(xi, y - 1))
        SetDibPixel(map, x, y, at(xi, y - 1));
    }
  }
  static constexpr int32_t kRingX[8] = {-1, 0, 1, 1, 1, 0, -1, -1}, kRingY[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
  for (int32_t y = T + 1; y <= B - 1; ++y) {
    for (int32_t x = L + 1; x <= R - 1; ++x) {
      uint32_t ring[8];
      int32_t same = 0;
      for (int32_t k = 0; k < 8; ++k) {
        ring[k] = at(x + kRingX[k], y + kRingY[k]);
        same += ring[k] == at(x, y);
      }
      if (same >= 2) continue;
      int32_t run = -1;
      for (int32_t k = 0; k < 8 && run < 0; ++k) {
        if (ring[k] == ring[(k + 1) % 8] && ring[k] == ring[(k + 2) % 8]) run = k;
      }
      for (int32_t k = 0; k < 8 && run < 0; ++k) {
        if (ring[k] == ring[(k + 1) % 8]) run = k;
      }
      if (run >= 0) SetDibPixel(map, x, y, ring[run]);
    }
  }
}
}  // namespace

// The scan shared out over threads gives what the plain scan gives, whatever the number of
// threads: maps taller than a band, of three colours in blocks with a scatter of strays, where
// one pixel's change decides its neighbours' (chains of strays along rows and down columns).
TEST(RemoveFrameNotches, SharedScanMatchesThePlainOneOnAnyNumberOfThreads) {
  const uint32_t colours[3] = {0x102030, 0x405060, 0x708090};
  uint32_t state = 12345;
  const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (const auto& [w, h, area] :
       {std::tuple{40, 300, TCutArea{0, 0, 39, 299}}, std::tuple{97, 211, TCutArea{3, 5, 90, 200}},
        std::tuple{260, 130, TCutArea{1, 1, 257, 128}}}) {
    for (int32_t strays : {2, 9, 30}) {
      std::vector<uint32_t> pixels;
      for (int32_t k = 0; k < w * h; ++k) {
        const int32_t x = k % w, y = k / w;
        pixels.push_back(next() % 100 < uint32_t(strays) ? colours[next() % 3] : colours[(x / 5 + y / 4) % 3]);
      }
      const auto make = [&](TDibHolder& map) {
        ASSERT_TRUE(CreateDib24(*map, w, h));
        for (int32_t k = 0; k < w * h; ++k) SetDibPixel(*map, k % w, k / w, pixels[size_t(k)]);
      };
      TDibHolder plain;
      make(plain);
      PlainNotchCleanUp(*plain, area);
      int32_t changed = 0;
      for (int32_t k = 0; k < w * h; ++k) changed += uint32_t(GetDibPixel(*plain, k % w, k / w)) != pixels[size_t(k)];
      EXPECT_GT(changed, 0);
      for (int32_t helpers : {0, 1, 3, 7}) {
        TDibHolder shared;
        make(shared);
        RemoveFrameNotches(*shared, area, helpers);
        int32_t differ = 0;
        for (int32_t y = 0; y < h; ++y) {
          for (int32_t x = 0; x < w; ++x) differ += GetDibPixel(*shared, x, y) != GetDibPixel(*plain, x, y);
        }
        EXPECT_EQ(differ, 0) << w << "x" << h << " strays " << strays << " helpers " << helpers;
      }
    }
  }
}
