#pragma once
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
    return TCutTarget{level, pieces.data(), *map, rng, progress, knobs,
                      [this](const std::string& m) { messages.push_back(m); }};
  }
  uint32_t At(int32_t x, int32_t y) const { return uint32_t(GetDibPixel(*map, x, y)); }
  int32_t CountColor(uint32_t c) const {
    int32_t n = 0;
    for (int32_t y = 0; y < map->Height; ++y)
      for (int32_t x = 0; x < map->Width; ++x) n += At(x, y) == c;
    return n;
  }
};
