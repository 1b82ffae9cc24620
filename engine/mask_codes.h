#pragma once
// Reading a turn's mask: the codes of an area, copied out of the unturned mask, and the runs of
// equal codes around each pixel that the light is worked out from.
#include <cstdint>
#include <vector>

#include "engine/emboss.h"

namespace emboss {

inline const uint8_t* PixelAt(const TDibImage& d, int32_t x, int32_t y) {
  return d.Bits + intptr_t(d.Height - 1 - y) * d.RowStride + intptr_t(x) * d.BytesPerPixel;
}

// Directions: left, up, right, down, up-left, up-right, down-right, down-left.
constexpr int32_t kDirX[8] = {-1, 0, 1, 0, -1, 1, 1, -1};
constexpr int32_t kDirY[8] = {0, -1, 0, 1, -1, -1, 1, 1};

// The codes of a rectangle of a turn's mask, copied out of the unturned mask.
struct TCodes {
  TPieceBox Area;
  std::vector<uint8_t> Bytes;
  const uint8_t* Row(int32_t x, int32_t y) const {
    return &Bytes[size_t(y - Area.Y) * size_t(Area.W) + size_t(x - Area.X)];
  }
};

void ReadCodes(TCodes& c, const TDibImage& mask, int32_t r);

// Per pixel and direction, how many pixels in a row that way share its code (at most kRun):
// the walks of the light, worked out once for all the pieces of an area. Shortest holds the
// least of the eight.
constexpr int32_t kRun = 4;
struct TRuns {
  int32_t Size = 0;
  std::vector<uint8_t> Bytes;  // direction by direction
  std::vector<uint8_t> Shortest;
  const uint8_t* Dir(int dir) const { return &Bytes[size_t(dir) * size_t(Size)]; }
};

void CountRuns(const TCodes& c, TRuns& runs);

}  // namespace emboss
