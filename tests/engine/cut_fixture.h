#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/curves.h"
#include "engine/cut_target.h"
#include "engine/knobs.h"
#include "foundation/dib_image.h"

// A blank cut: a white map of the picture plus its strips, a level record with the cut area
// set, the built-in templates and a recorder for messages.
struct TCutFixture {
  TLevelRecord level{};
  std::vector<TPieceRecord> pieces;
  TDibHolder map;
  TRandom rng;
  TProgress progress;
  TKnobState knobs;
  TDibHolder templates;
  std::vector<std::string> messages;

  TCutFixture(int32_t w, int32_t h, int32_t tileS = 40, int32_t knobS = 7, int32_t margin = 0) {
    level.ImageW = w;
    level.ImageH = h;
    level.TileS = tileS;
    level.KnobS = knobS;
    level.JigsL = level.JigsT = margin;
    level.JigsR = w - margin - 1;
    level.JigsB = h - margin - 1;
    CreateDib24(*map, w + 5, h + 5);
    for (int32_t y = 0; y < h + 5; ++y)
      for (int32_t x = 0; x < w + 5; ++x) SetDibPixel(*map, x, y, x < w && y < h ? kWhite : 0);
    LoadKnobTemplateImage(*templates);
    knobs.KnobTemplateImage = &*templates;
    pieces.resize(4);
  }
  TCutTarget Target() {
    return TCutTarget{
        level, pieces.data(), *map, rng, progress, knobs, [this](const std::string& m) { messages.push_back(m); }};
  }
  uint32_t At(int32_t x, int32_t y) const { return uint32_t(GetDibPixel(*map, x, y)); }
  int32_t CountColor(uint32_t c) const {
    int32_t n = 0;
    for (int32_t y = 0; y < map->Height; ++y)
      for (int32_t x = 0; x < map->Width; ++x) n += At(x, y) == c;
    return n;
  }
};

// Same-colour regions of the w x h picture of a map, 4- or 8-connected: a label per pixel, in
// the order regions are first met row by row; returns their count.
inline int32_t LabelRegions(const TDibImage& map, int32_t w, int32_t h, bool diagonal, std::vector<int32_t>& label) {
  const auto at = [&](int32_t x, int32_t y) { return GetDibPixel(map, x, y); };
  label.assign(size_t(w) * h, -1);
  int32_t regions = 0;
  std::vector<int32_t> stack;
  for (int32_t start = 0; start < w * h; ++start) {
    if (label[size_t(start)] >= 0) continue;
    const int32_t c = at(start % w, start / w);
    stack.assign(1, start);
    label[size_t(start)] = regions;
    while (!stack.empty()) {
      const int32_t x = stack.back() % w, y = stack.back() / w;
      stack.pop_back();
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const int32_t nx = x + dx, ny = y + dy;
          if (diagonal ? dx == 0 && dy == 0 : (dx == 0) == (dy == 0)) continue;
          if (nx < 0 || ny < 0 || nx >= w || ny >= h || label[size_t(ny * w + nx)] >= 0 || at(nx, ny) != c) continue;
          label[size_t(ny * w + nx)] = regions;
          stack.push_back(ny * w + nx);
        }
    }
    ++regions;
  }
  return regions;
}

// Everything a finished cut promises, grid or cells: black strips, every picture pixel a piece's
// colour, one 8-connected region per piece lying in its rectangle (exactly its bounding box where
// exactBoxes), play's fields untouched, neighbour lists that name each other (a full list may
// leave a short edge out), and the frame record over the whole picture.
inline void ExpectSoundCut(const TLevelRecord& lv, const TPieceRecord* pieces, const TDibImage& map,
                           const std::string& what, bool exactBoxes) {
  SCOPED_TRACE(what);
  const int32_t w = lv.ImageW, h = lv.ImageH;
  ASSERT_EQ(map.Width, w + 5);
  std::map<uint32_t, int> codes;
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) codes[PieceColor(pieces[i].Code)]++;
  for (int32_t y = 0; y < h + 5; ++y)
    for (int32_t x = 0; x < w + 5; ++x) {
      const uint32_t c = uint32_t(GetDibPixel(map, x, y));
      if (x >= w || y >= h) {
        ASSERT_EQ(c, 0u) << x << "," << y;
      } else {
        ASSERT_TRUE(codes.count(c)) << std::hex << c << " at " << std::dec << x << "," << y;
      }
    }
  std::vector<int32_t> label;
  const int32_t regions = LabelRegions(map, w, h, true, label);
  ASSERT_EQ(regions, lv.TotalTileNum);
  std::vector<TBoundsRect> box(static_cast<size_t>(regions));
  std::vector<uint32_t> colour(static_cast<size_t>(regions));
  for (TBoundsRect& b : box) b.Reset();
  for (int32_t i = 0; i < w * h; ++i) {
    box[size_t(label[size_t(i)])].Widen(i % w, i / w);
    colour[size_t(label[size_t(i)])] = uint32_t(GetDibPixel(map, i % w, i / w));
  }
  std::vector<int> owners(static_cast<size_t>(regions), 0);
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
    const TPieceRecord& p = pieces[i];
    int found = 0;
    for (int32_t k = 0; k < regions; ++k) {
      const TBoundsRect& b = box[size_t(k)];
      if (colour[size_t(k)] != PieceColor(p.Code)) continue;
      const bool exact = b.Left == p.PieceX && b.Top == p.PieceY && b.Right == p.PieceX + p.PieceW - 1 &&
                         b.Bottom == p.PieceY + p.PieceH - 1;
      const bool inside =
          b.Left >= p.PieceX && b.Top >= p.PieceY && b.Right < p.PieceX + p.PieceW && b.Bottom < p.PieceY + p.PieceH;
      if (exactBoxes ? exact : inside) ++found, ++owners[size_t(k)];
    }
    EXPECT_EQ(found, 1) << "piece " << i;
    EXPECT_EQ(p.X | p.Y | p.Group | p.Window | p.Rotation | p.Selected, 0) << i;
  }
  for (int n : owners) EXPECT_EQ(n, 1);
  for (int32_t i = 0; i < lv.TileNum; ++i)
    for (int16_t n : pieces[i].Neighbours) {
      if (n < 0 || n >= lv.TileNum) continue;
      const int16_t* back = pieces[n].Neighbours;
      const bool full = std::count(back, back + 9, int16_t(-1)) == 0;
      EXPECT_TRUE(full || std::count(back, back + 9, int16_t(i)) == 1) << i << " names " << n;
    }
  if (lv.BorderStyle == TBorderStyle::Frame) {
    const TPieceRecord& f = pieces[lv.TotalTileNum - 1];
    EXPECT_EQ(std::vector<int32_t>({f.Code, f.Code2, f.PieceX, f.PieceY, f.PieceW, f.PieceH}),
              std::vector<int32_t>({5, 128, 0, 0, w, h}));
    for (int16_t n : f.Neighbours) EXPECT_EQ(n, -1);
  }
}
