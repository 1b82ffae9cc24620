#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

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

namespace {

std::vector<uint8_t> MapBytes(const TCutFixture& fx) {
  return std::vector<uint8_t>(fx.map->Bits, fx.map->Bits + fx.map->ImageSize);
}

// Whether a white pixel lies strictly inside the rectangle once it is clamped to the picture.
// White strictly inside the clamped rectangle, or (margin 0) anywhere in it.
bool WhiteStrictlyInside(const TCutFixture& fx, TBoundsRect r, int32_t margin = 1) {
  const int32_t left = std::max(r.Left, 0), top = std::max(r.Top, 0);
  const int32_t right = std::min(r.Right, fx.level.ImageW - 1), bottom = std::min(r.Bottom, fx.level.ImageH - 1);
  for (int32_t y = top + margin; y <= bottom - margin; ++y)
    for (int32_t x = left + margin; x <= right - margin; ++x)
      if (fx.At(x, y) == kWhite) return true;
  return false;
}

}  // namespace

// When the search says there is nothing to fill, a fill (with the table or without) leaves the
// map's bytes as they were; when it says there is, the hole is filled.
TEST(MayFillCodeHoles, SaysWhetherAFillCanChangeTheMap) {
  const uint32_t c = PieceColor(125);
  const struct {
    const char* what;
    TBoundsRect rect;
    std::vector<std::pair<int32_t, int32_t>> whites;
    bool may;
  } cases[] = {
      {"top row only", {10, 10, 30, 20}, {{20, 10}, {11, 10}}, false},
      {"bottom row only", {10, 10, 30, 20}, {{20, 20}, {29, 20}}, false},
      {"on the side columns", {10, 10, 30, 20}, {{10, 15}, {30, 15}}, false},
      {"outside the columns", {10, 10, 30, 20}, {{9, 15}, {31, 15}, {45, 12}}, false},
      {"outside the rows", {10, 10, 30, 20}, {{20, 9}, {20, 21}}, false},
      {"no column between the sides", {10, 10, 11, 20}, {{10, 15}, {11, 15}}, false},
      {"no row between top and bottom", {10, 15, 30, 16}, {{20, 15}, {20, 16}}, false},
      {"picture edges after clamping", {-10, -10, 70, 50}, {{0, 20}, {59, 20}, {30, 0}, {30, 39}}, false},
      {"clamped bottom edge", {10, 30, 30, 60}, {{20, 39}}, false},
      {"inside the corner", {10, 10, 30, 20}, {{11, 11}}, true},
      {"inside the far corner", {10, 10, 30, 20}, {{29, 19}}, true},
      {"the one inner row", {10, 14, 30, 16}, {{20, 15}}, true},
      {"inside a clamped rectangle", {-10, -10, 70, 50}, {{1, 1}}, true},
      {"above the clamped bottom", {10, 30, 30, 60}, {{20, 38}}, true},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    TCutFixture fx(60, 40);
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 60; ++x) SetDibPixel(*fx.map, x, y, c);
    for (auto [x, y] : k.whites) SetDibPixel(*fx.map, x, y, kWhite);
    TWhiteRows whites;
    FindWhiteRows(*fx.map, 60, 40, whites);
    TCutTarget t = fx.Target();
    const std::vector<uint8_t> before = MapBytes(fx);
    EXPECT_EQ(MayFillCodeHoles(t, k.rect, whites), k.may);
    TBoundsRect bounds;
    FillCodeHoles(t, k.rect, c, bounds, &whites);
    if (k.may) {
      EXPECT_EQ(fx.At(k.whites[0].first, k.whites[0].second), c);
      continue;
    }
    EXPECT_EQ(MapBytes(fx), before);
    FillCodeHoles(t, k.rect, c, bounds);
    EXPECT_EQ(MapBytes(fx), before);
  }
}

// Scattered white on two colours and rectangles of every kind against a pixel search.
TEST(MayFillCodeHoles, AgreesWithAPixelSearchOnAScatteredMap) {
  const uint32_t a = PieceColor(125), b = PieceColor(50);
  TCutFixture fx(50, 34);
  TRandom rng;
  rng.RandSeed = 11;
  for (int32_t y = 0; y < 34; ++y)
    for (int32_t x = 0; x < 50; ++x)
      SetDibPixel(*fx.map, x, y, rng.Random(40) == 0 ? kWhite : (x / 9 + y / 7) % 2 ? a : b);
  TWhiteRows whites;
  FindWhiteRows(*fx.map, 50, 34, whites);
  TCutTarget t = fx.Target();
  const std::vector<uint8_t> before = MapBytes(fx);
  int32_t mayNot = 0;
  for (int round = 0; round < 600; ++round) {
    const int32_t x = int32_t(rng.Random(60)) - 5, y = int32_t(rng.Random(44)) - 5;
    const TBoundsRect r{x, y, x + int32_t(rng.Random(12)), y + int32_t(rng.Random(12))};
    SCOPED_TRACE(testing::Message() << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom);
    const bool may = MayFillCodeHoles(t, r, whites);
    ASSERT_EQ(may, WhiteStrictlyInside(fx, r));
    if (may) continue;
    ++mayNot;
    TBoundsRect bounds;
    const TWhiteRows* const tables[] = {&whites, nullptr};
    for (const TWhiteRows* table : tables) {
      FillCodeHoles(t, r, rng.Random(2) ? a : b, bounds, table);
      ASSERT_EQ(MapBytes(fx), before);
    }
  }
  EXPECT_GT(mayNot, 100);
  EXPECT_LT(mayNot, 500);
}

// On a large map with a few specks of white, most rectangles are answered by the tiles alone:
// both questions still agree with a pixel search, right up to the tiles' borders.
TEST(MayFillCodeHoles, TilesOfASparseMapAgreeWithAPixelSearch) {
  TCutFixture fx(200, 150);
  for (int32_t y = 0; y < 150; ++y)
    for (int32_t x = 0; x < 200; ++x) SetDibPixel(*fx.map, x, y, PieceColor((x / 13 + y / 11) % 2 ? 75 : 200));
  for (const auto& [x, y] : {std::pair{31, 31}, {32, 70}, {100, 63}, {101, 64}, {199, 0}, {0, 149}, {150, 96}})
    SetDibPixel(*fx.map, x, y, kWhite);
  TWhiteRows whites;
  FindWhiteRows(*fx.map, 200, 150, whites);
  TCutTarget t = fx.Target();
  TRandom rng;
  rng.RandSeed = 5;
  int32_t holds = 0, may = 0;
  for (int round = 0; round < 3000; ++round) {
    const int32_t x = int32_t(rng.Random(220)) - 10, y = int32_t(rng.Random(170)) - 10;
    const TBoundsRect r{x, y, x + int32_t(rng.Random(50)), y + int32_t(rng.Random(50))};
    SCOPED_TRACE(testing::Message() << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom);
    ASSERT_EQ(HoldsWhite(t, r, whites), WhiteStrictlyInside(fx, r, 0));
    ASSERT_EQ(MayFillCodeHoles(t, r, whites), WhiteStrictlyInside(fx, r));
    holds += HoldsWhite(t, r, whites);
    may += MayFillCodeHoles(t, r, whites);
  }
  EXPECT_GT(may, 100);
  EXPECT_GT(holds, may);
  EXPECT_LT(holds, 2000);
}

// Every piece is measured exactly once; those in turn keep their order among themselves.
TEST(MeasureBeside, MeasuresEachPieceOnceAndTheFillsInOrder) {
  const struct {
    std::vector<int32_t> inTurn, alone;
  } cases[] = {{{}, {}}, {{3, 1, 7}, {}}, {{}, {0, 2, 4}}, {{5, 0, 9, 2}, {1, 3, 4, 6, 7, 8, 10, 11, 12, 13, 14}}};
  for (const auto& c : cases) {
    std::mutex lock;
    std::vector<int32_t> order, count(16, 0);
    MeasureBeside(c.inTurn, c.alone, [&](int32_t i) {
      const std::lock_guard<std::mutex> hold(lock);
      ++count[size_t(i)];
      if (std::find(c.inTurn.begin(), c.inTurn.end(), i) != c.inTurn.end()) order.push_back(i);
    });
    EXPECT_EQ(order, c.inTurn);
    for (int32_t i = 0; i < 16; ++i) {
      const bool listed =
          std::count(c.inTurn.begin(), c.inTurn.end(), i) + std::count(c.alone.begin(), c.alone.end(), i) > 0;
      EXPECT_EQ(count[size_t(i)], listed ? 1 : 0) << i;
    }
  }
}

// With no white about, a measure finds the colour's bounds among pixels that share its blue
// byte, and among neighbours whose bytes side by side spell the colour out of step.
TEST(FillCodeHoles, MeasuresAmongLookalikeBytes) {
  const uint32_t c = PieceColor(125);  // bytes 125, 0, 128
  const int32_t lookalikes[] = {PackColor(125, 1, 128), PackColor(125, 0, 127), PackColor(0, 125, 128),
                                PackColor(9, 9, 125),  // with the next pixel's 0, 128: the colour one byte early
                                PackColor(9, 125, 0),  // with the next pixel's 128: two bytes early
                                PackColor(0, 128, 9),   PackColor(128, 9, 9),   0};
  TCutFixture fx(90, 30);
  TRandom rng;
  rng.RandSeed = 21;
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 90; ++x) {
      const uint32_t r = rng.Random(60);
      SetDibPixel(*fx.map, x, y, r == 0 ? c : uint32_t(lookalikes[r % std::size(lookalikes)]));
    }
  TWhiteRows whites;
  FindWhiteRows(*fx.map, 90, 30, whites);
  TCutTarget t = fx.Target();
  int32_t found = 0;
  for (int32_t k = 0; k < 300; ++k) {
    const int32_t x = int32_t(rng.Random(100)) - 5, y = int32_t(rng.Random(34)) - 2;
    const TBoundsRect r{x, y, x + int32_t(rng.Random(40)), y + int32_t(rng.Random(12))};
    TBoundsRect want;
    want.Reset();
    for (int32_t py = std::max(r.Top, 0); py <= std::min(r.Bottom, 29); ++py)
      for (int32_t px = std::max(r.Left, 0); px <= std::min(r.Right, 89); ++px)
        if (fx.At(px, py) == c) want.Widen(px, py);
    found += want.Left <= want.Right;
    const TWhiteRows* const tables[] = {&whites, nullptr};
    for (const TWhiteRows* table : tables) {
      TBoundsRect got;
      FillCodeHoles(t, r, c, got, table);
      ASSERT_EQ(std::vector<int32_t>({got.Left, got.Top, got.Right, got.Bottom}),
                std::vector<int32_t>({want.Left, want.Top, want.Right, want.Bottom}))
          << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom << (table ? " with" : " without") << " table";
    }
  }
  EXPECT_GT(found, 150);
  EXPECT_LT(found, 290);
}

// A level record that claims a larger picture than the map holds: fills and measures stay
// inside the map, up to its last row and column and no further, and find the colour in the
// map's last column (read there a byte at a time) on the rows where holes are filled.
TEST(FillCodeHoles, StaysInsideAMapSmallerThanTheRecordClaims) {
  const uint32_t c = PieceColor(77);
  TCutFixture fx(40, 30);
  fx.level.ImageW = 60;
  fx.level.ImageH = 50;
  const int32_t w = fx.map->Width, h = fx.map->Height;
  for (int32_t x = 0; x < w; ++x) SetDibPixel(*fx.map, x, h - 1, c);
  for (int32_t y = 2; y < h; ++y) SetDibPixel(*fx.map, w - 1, y, c);
  SetDibPixel(*fx.map, w - 2, h - 2, kWhite);  // a hole beside the map's corner
  TCutTarget t = fx.Target();
  const struct {
    TBoundsRect rect, want;
  } cases[] = {{{-3, -3, 100, 100}, {0, 2, w - 1, h - 1}},
               {{w - 3, h - 3, w, h}, {w - 3, h - 3, w - 1, h - 1}},
               {{0, 0, 100, h - 4}, {w - 1, 2, w - 1, h - 4}}};
  for (const auto& k : cases) {
    TBoundsRect got;
    FillCodeHoles(t, k.rect, c, got);
    EXPECT_EQ(std::vector<int32_t>({got.Left, got.Top, got.Right, got.Bottom}),
              std::vector<int32_t>({k.want.Left, k.want.Top, k.want.Right, k.want.Bottom}))
        << k.rect.Left << "," << k.rect.Top;
  }
  EXPECT_EQ(fx.At(w - 2, h - 2), c);
}

// A table made from runs given one by one (clipped to the picture, runs side by side in a row,
// rows skipped, a late run for a row already passed) answers as the white columns it was given:
// every row, every pair of columns and stacks of rows, inside and beyond the picture.
TEST(WhiteRows, RunsAddedByHandAnswerAsTheirColumns) {
  constexpr int32_t w = 70, h = 40;  // three columns and two rows of tiles
  TCutFixture fx(w, h);
  TRandom rng;
  rng.RandSeed = 3;
  std::vector<std::vector<bool>> white(h, std::vector<bool>(w, false));
  TWhiteRows rows;
  rows.Start(*fx.map, w, h);
  for (int32_t y = 0; y < h; ++y) {
    if (y == 20) {
      rows.Add(20, 2, 4);
      for (int32_t c = 2; c <= 4; ++c) white[20][size_t(c)] = true;
      rows.Add(19, 30, 35);  // too late for the row before: left out
      continue;
    }
    if (rng.Random(4) == 0) continue;  // a row without runs
    for (int32_t x = int32_t(rng.Random(6)) - 3; x < w + 3; x += 1 + int32_t(rng.Random(20))) {
      const int32_t end = x + int32_t(rng.Random(5));
      rows.Add(y, x, end);
      for (int32_t c = std::max(x, 0); c <= std::min(end, w - 1); ++c) white[size_t(y)][size_t(c)] = true;
      x = end + int32_t(rng.Random(2));  // the next run may start right after this one
    }
  }
  rows.Add(h, 0, 5);  // below the picture: left out
  rows.Finish();
  const auto inside = [&](int32_t y, int32_t left, int32_t right) {
    if (y < 0 || y >= h) return true;  // not in the table
    for (int32_t c = std::max(left + 1, 0); c < std::min(right, w); ++c)
      if (white[size_t(y)][size_t(c)]) return true;
    return false;
  };
  int32_t found = 0;
  for (int32_t y = -1; y <= h; ++y) {
    for (int32_t left = -2; left <= w + 1; ++left) {
      for (int32_t right = left; right <= w + 2; ++right) {
        ASSERT_EQ(rows.Inside(y, left, right), inside(y, left, right)) << y << ": " << left << ".." << right;
        found += y >= 0 && y < h && inside(y, left, right);
      }
    }
  }
  EXPECT_GT(found, 10000);
  for (int32_t k = 0; k < 4000; ++k) {
    const int32_t top = int32_t(rng.Random(h + 4)) - 2, left = int32_t(rng.Random(w + 4)) - 2;
    const int32_t bottom = top + int32_t(rng.Random(12)) - 1, right = left + int32_t(rng.Random(30));
    bool any = false;
    for (int32_t y = top; y <= bottom && !any; ++y) any = inside(y, left, right);
    ASSERT_EQ(rows.AnyInside(top, bottom, left, right), any) << top << ".." << bottom << ": " << left << ".." << right;
  }
}
