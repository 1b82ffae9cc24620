#pragma once
#include <cstdint>

#include "platform/bitmap.h"

// Drawing on a 24-bit bitmap as the host canvas does with a one-pixel cosmetic pen: lines are
// 8-connected, each line leaves out its last point, and pixels outside the bitmap are dropped
// without changing which pixels inside it are set. Colours are 0x00BBGGRR.
struct TCanvasPoint {
  int32_t x, y;
};

// The pixels of one pen line from a to b, without b, in drawing order. The octant bias makes
// the line from b to a cover the same pixels (except for the end left out).
template <typename Plot>
inline void WalkPenLine(TCanvasPoint a, TCanvasPoint b, Plot plot) {
  const int32_t dx = b.x - a.x, dy = b.y - a.y;
  const int32_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  if (adx == 0 && ady == 0) return;
  // Ties go the way the host's octants 3, 5, 6 and 8 take them.
  int octant;
  if (dy > 0)
    octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
  else
    octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
  const int32_t bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
  const int32_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  int32_t x = a.x, y = a.y;
  if (adx > ady) {
    int32_t err = 2 * ady - adx;
    for (int32_t n = adx; n > 0; --n) {
      plot(x, y);
      if (err + bias > 0) {
        y += sy;
        err += 2 * ady - 2 * adx;
      } else {
        err += 2 * ady;
      }
      x += sx;
    }
  } else {
    int32_t err = 2 * adx - ady;
    for (int32_t n = ady; n > 0; --n) {
      plot(x, y);
      if (err + bias > 0) {
        x += sx;
        err += 2 * adx - 2 * ady;
      } else {
        err += 2 * adx;
      }
      y += sy;
    }
  }
}

// One pen line segment (move to a, line to b): b itself stays unset.
void CanvasLine(TPlatformBitmap& bitmap, TCanvasPoint a, TCanvasPoint b, uint32_t color);
// A polyline: count - 1 pen lines; the last point stays unset. Fewer than two points draw nothing.
void CanvasPolyline(TPlatformBitmap& bitmap, const TCanvasPoint* points, int32_t count, uint32_t color);
// One pixel; outside the bitmap nothing happens.
void CanvasSetPixel(TPlatformBitmap& bitmap, int32_t x, int32_t y, uint32_t color);
