#pragma once
// Two image buffers alike: the same size and pixel depth and the same pixels, row padding aside.
#include <cstring>

#include "foundation/dib_ops.h"

inline bool SameDib(const TDibImage& a, const TDibImage& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.BytesPerPixel != b.BytesPerPixel) return false;
  for (int32_t y = 0; y < a.Height; ++y)
    if (std::memcmp(DibScanLine(a, y), DibScanLine(b, y), size_t(a.Width) * size_t(a.BytesPerPixel)) != 0) return false;
  return true;
}
