#include <algorithm>

#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"
#include "foundation/numeric.h"

using dibops::CopyBgr;
using dibops::Is24BitDib;
using dibops::Narrow;

void TintDibRect(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t tintColor,
                 uint32_t keyColor) {
  if (!Is24BitDib(image) || !ClipToDib(image, x, y, width, height)) return;
  const int32_t tint[3] = {int32_t((tintColor >> 16) & 255) >> 1, int32_t((tintColor >> 8) & 255) >> 1,
                           int32_t(tintColor & 255) >> 1};
  const uint8_t key[3] = {uint8_t(keyColor >> 16), uint8_t(keyColor >> 8), uint8_t(keyColor)};
  for (int32_t j = 0; j < height; ++j) {
    uint8_t* p = DibPixelAddress(image, x, y + j);
    for (int32_t i = 0; i < width; ++i, p += 3) {
      if (p[0] == key[0] && p[1] == key[1] && p[2] == key[2]) continue;
      for (int k = 0; k < 3; ++k) p[k] = uint8_t(ClampChannel((p[k] >> 1) + tint[k]));
    }
  }
}

namespace {

struct TLinePen {
  TDibImage& Image;
  uint8_t Bgr[3];

  void Plot(int64_t x, int64_t y) {
    if (x < 0 || y < 0 || x >= Image.Width || y >= Image.Height) return;
    uint8_t* p = DibPixelAddress(Image, int32_t(x), int32_t(y));
    CopyBgr(p, Bgr);
  }
};

// True when a walk in direction s has passed the far edge 0..limit - 1 for good.
bool Beyond(int64_t v, int s, int64_t limit) { return s > 0 ? v >= limit : v < 0; }

// Bresenham along the major axis a (the longer one; y on a tie), b the minor axis. The steps
// before the line can reach the image along a are taken in one jump; the walk stops once it
// has left the image for good. Neither changes which pixels are set.
void DrawDiagonal(TLinePen& pen, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t d[2] = {x2 > x1 ? x2 - x1 : x1 - x2, y2 > y1 ? y2 - y1 : y1 - y2};
  const int s[2] = {x2 > x1 ? 1 : -1, y2 > y1 ? 1 : -1};
  const int64_t limit[2] = {pen.Image.Width, pen.Image.Height};
  const int64_t end[2] = {x2, y2};
  int64_t p[2] = {x1, y1};
  const int a = d[0] > d[1] ? 0 : 1, b = 1 - a;
  pen.Plot(p[0], p[1]);
  int64_t err = 2 * d[b] - d[a];
  int64_t skip = 0;
  if (s[a] > 0 && p[a] < -1) skip = -1 - p[a];
  if (s[a] < 0 && p[a] > limit[a]) skip = p[a] - limit[a];
  skip = std::min(skip, d[a]);
  if (skip > 0) {
    // After k steps the error stays in [2db - 2da, 2db), which fixes the minor steps taken.
    const __int128 minor = (__int128(d[a]) + __int128(2) * d[b] * skip) / (__int128(2) * d[a]);
    p[a] += s[a] * skip;
    p[b] += s[b] * int64_t(minor);
    err = int64_t(__int128(err) + __int128(2) * d[b] * skip - __int128(2) * d[a] * minor);
  }
  while (p[a] != end[a]) {
    if (err >= 0) {
      p[b] += s[b];
      err -= 2 * d[a];
    }
    p[a] += s[a];
    err += 2 * d[b];
    pen.Plot(p[0], p[1]);
    if (Beyond(p[a], s[a], limit[a]) || Beyond(p[b], s[b], limit[b])) break;
  }
}

}  // namespace

void DrawDibLine(TDibImage& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
  if (!Is24BitDib(image)) return;
  TLinePen pen{image, {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color)}};
  if (x1 == x2 && y1 == y2) {
    pen.Plot(x1, y1);
    return;
  }
  if (x1 != x2 && y1 != y2) {
    DrawDiagonal(pen, x1, y1, x2, y2);
    return;
  }
  // Horizontal or vertical: the run cut to the image, walked through memory.
  const bool horizontal = y1 == y2;
  const int32_t fixed = horizontal ? y1 : x1;
  if (fixed < 0 || fixed >= (horizontal ? image.Height : image.Width)) return;
  const int32_t lo = std::max(std::min(horizontal ? x1 : y1, horizontal ? x2 : y2), 0);
  const int32_t hi =
      std::min(std::max(horizontal ? x1 : y1, horizontal ? x2 : y2), (horizontal ? image.Width : image.Height) - 1);
  if (lo > hi) return;
  uint8_t* p = horizontal ? DibPixelAddress(image, lo, fixed) : DibPixelAddress(image, fixed, lo);
  const intptr_t step = horizontal ? 3 : -intptr_t(image.RowStride);
  for (int32_t i = lo; i <= hi; ++i, p += step) {
    CopyBgr(p, pen.Bgr);
  }
}

void DrawDibFrame(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color) {
  // Far corners beyond the 32-bit range saturate: the sides stay straight, so the same pixels
  // of the image are drawn.
  const int32_t r = Narrow(int64_t(x) + width - 1), b = Narrow(int64_t(y) + height - 1);
  DrawDibLine(image, x, y, r, y, color);
  DrawDibLine(image, r, y, r, b, color);
  DrawDibLine(image, r, b, x, b, color);
  DrawDibLine(image, x, b, x, y, color);
}
