#include "foundation/numeric.h"

#include <algorithm>
#include <cmath>

void SplitColor(uint32_t color, int32_t& red, int32_t& green, int32_t& blue) {
  red = color & 255;
  green = (color >> 8) & 255;
  blue = (color >> 16) & 255;
}

int32_t MakeColor(int32_t red, int32_t green, int32_t blue) { return red + green * 256 + blue * 65536; }

int32_t ClampChannel(int32_t v) { return v > 255 ? 255 : (v < 0 ? 0 : v); }

int32_t ClampInt(int32_t v, int32_t low, int32_t high) {
  if (v > high) return high;
  if (v < low) return low;
  return v;
}

bool VertexCosine(TIntPoint p0, TIntPoint p1, TIntPoint p2, long double& c) {
  // The differences are whole numbers; their products already leave the 64-bit range for
  // points at opposite ends of the 32-bit plane, so they are taken in floating point.
  const long double ax = int64_t(p0.x) - p1.x, ay = int64_t(p0.y) - p1.y;
  const long double bx = int64_t(p2.x) - p1.x, by = int64_t(p2.y) - p1.y;
  const long double den = std::sqrt((ax * ax + ay * ay) * (bx * bx + by * by));
  if (den == 0) return false;
  c = std::clamp((ax * bx + ay * by) / den, -1.0L, 1.0L);
  return true;
}

long double VertexAngle(TIntPoint p0, TIntPoint p1, TIntPoint p2) {
  long double c;
  return VertexCosine(p0, p1, p2, c) ? std::acos(c) : 0;
}
