#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/dib_image.h"
#include "foundation/random.h"

// Small helpers shared by the pixel-operation tests.
namespace dibtest {

inline void Fill(TDibImage& d, uint32_t color) {
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x) SetDibPixel(d, x, y, color);
}

// Every pixel a different colour, so that a misplaced copy shows.
inline uint32_t PatternColor(int32_t x, int32_t y) {
  return uint32_t((x * 37 + y * 11) & 255) | (uint32_t((x * 5 + y * 71) & 255) << 8) |
         (uint32_t((x + y * 3 + 128) & 255) << 16);
}

inline void FillPattern(TDibImage& d) {
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x) SetDibPixel(d, x, y, PatternColor(x, y));
}

// Random colours from a palette of n, for maps with many small regions.
inline void FillRandom(TDibImage& d, TRandom& rng, const std::vector<uint32_t>& palette) {
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x) SetDibPixel(d, x, y, palette[rng.Random(uint32_t(palette.size()))]);
}

// All pixel colours, top row first.
inline std::vector<int32_t> Pixels(const TDibImage& d) {
  std::vector<int32_t> out;
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x) out.push_back(GetDibPixel(d, x, y));
  return out;
}

inline std::vector<uint8_t> Alphas(const TDibImage& d) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < d.Height; ++y)
    for (int32_t x = 0; x < d.Width; ++x) out.push_back(uint8_t(GetDibAlpha(d, x, y)));
  return out;
}

inline void SetAlpha(TDibImage& d, int32_t x, int32_t y, uint8_t a) { DibPixelAddress(d, x, y)[3] = a; }

inline uint32_t Grey(int v) { return uint32_t(v) * 0x010101u; }

}  // namespace dibtest
