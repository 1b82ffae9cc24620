#pragma once
#include <cmath>
#include <cstdint>

void SplitColor(uint32_t color, int32_t& red, int32_t& green, int32_t& blue);
int32_t MakeColor(int32_t red, int32_t green, int32_t blue);
inline int32_t IntMax(int32_t a, int32_t b) { return a > b ? a : b; }
inline int32_t IntMin(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t ClampChannel(int32_t v);
int32_t ClampInt(int32_t v, int32_t low, int32_t high);  // the upper bound is tested first

struct TIntPoint {
  int32_t x, y;
};
// The angle at p1 between p1->p0 and p1->p2 in radians. A zero-length leg gives 0 and the
// cosine is clamped to [-1, 1], so no NaN leaves here.
long double VertexAngle(TIntPoint p0, TIntPoint p1, TIntPoint p2);
// The cosine whose arc cosine VertexAngle gives, clamped to [-1, 1]; false for a zero-length
// leg. Larger angles have smaller cosines, so a search can leave the arc cosine out where the
// cosines clearly differ.
bool VertexCosine(TIntPoint p0, TIntPoint p1, TIntPoint p2, long double& c);

// Half-to-even rounding of the current floating-point environment. Inline: the cuts round
// every point they draw.
inline int32_t Round(long double v) {
  if (!std::isfinite(v)) return 0;
  // lrint rounds as nearbyint does (the current mode) but without saving and restoring the
  // floating-point environment, which made this a hot spot of the cuts.
  if (v >= 2147483647.0L) return 2147483647;
  if (v <= -2147483648.0L) return -2147483647 - 1;
  return int32_t(std::lrint(v));
}
inline TIntPoint RoundPoint(double x, double y) { return {Round(x), Round(y)}; }
