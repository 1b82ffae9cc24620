#include "engine/curves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

int32_t PackColor(int32_t high, int32_t middle, int32_t low) {
  return ((high & 255) << 16) + ((middle & 255) << 8) + (low & 255);
}

int32_t Sign(int32_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

double Factorial(int32_t n) {
  double f = 1.0;
  for (int32_t i = 2; i <= n; ++i) f *= i;
  return f;
}

float Binomial(int32_t n, int32_t k) {
  const long double v = (long double)Factorial(n) / ((long double)Factorial(k) * (long double)Factorial(n - k));
  return float(v);
}

bool LineIntersection(TIntPoint p1, TIntPoint p2, TIntPoint p3, TIntPoint p4, int32_t& x, int32_t& y) {
  const int64_t a1 = int64_t(p2.y) - p1.y, b1 = int64_t(p1.x) - p2.x;
  const int64_t c1 = -int64_t(p1.x) * a1 + (int64_t(p2.x) - p1.x) * p1.y;
  const int64_t a2 = int64_t(p4.y) - p3.y, b2 = int64_t(p3.x) - p4.x;
  const int64_t c2 = -int64_t(p3.x) * a2 + (int64_t(p4.x) - p3.x) * p3.y;
  const double den = double(b2) * double(a1) - double(b1) * double(a2);
  if (den == 0.0) {
    // Parallel (or degenerate) lines: a point on the first line instead of a NaN.
    x = int32_t((int64_t(p1.x) + p2.x) / 2);
    y = int32_t((int64_t(p1.y) + p2.y) / 2);
    return false;
  }
  x = Round((double(b1) * double(c2) - double(b2) * double(c1)) / den);
  y = Round((double(a1) * double(c2) - double(a2) * double(c1)) / -den);
  return true;
}

namespace {
// Round for sample coordinates: the same half-to-even result without the extended-precision
// library call (a float converts to double exactly).
inline int32_t RoundSample(float v) {
  if (v > -2147483648.0f && v < 2147483648.0f) return int32_t(std::lrint(double(v)));
  return Round(v);
}

// (1 - t)^k t^(3-k) times the binomial weight, evaluated in extended precision as the
// integer powers are, then kept as float.
inline float BezierWeight(float binom, long double t, int k) {
  long double v = binom;
  const long double u = 1.0L - t;
  for (int i = 0; i < k; ++i) v *= u;
  for (int i = 0; i < 3 - k; ++i) v *= t;
  return float(v);
}

constexpr int32_t kMaxCurveSteps = kMaxCurveSamples - 1;

// The four weights of every sample: they depend only on the number of steps and the sample's
// place, so each is worked out once rather than at every segment.
struct TCurveWeights {
  std::vector<std::array<float, 4>> Weights;
  int32_t First[kMaxCurveSteps + 1];  // where the samples of a number of steps start
};

const TCurveWeights& CurveWeights() {
  static const TCurveWeights table = [] {
    const float binomials[4] = {Binomial(3, 0), Binomial(3, 1), Binomial(3, 2), Binomial(3, 3)};
    TCurveWeights t{};
    for (int32_t steps = 1; steps <= kMaxCurveSteps; ++steps) {
      t.First[steps] = int32_t(t.Weights.size());
      const float step = float(1.0L / steps);
      for (int32_t i = 0; i <= steps; ++i) {
        const float at = float((long double)i * step);
        std::array<float, 4> w;
        for (int k = 0; k < 4; ++k) w[size_t(k)] = BezierWeight(binomials[k], at, k);
        t.Weights.push_back(w);
      }
    }
    return t;
  }();
  return table;
}
}  // namespace

int32_t SampleCurveSegment(const TFloatPoint* seg, TCanvasPoint* samples) {
  const long double dx = (long double)seg[3].x - seg[0].x, dy = (long double)seg[3].y - seg[0].y;
  const float chord = float(std::sqrt(dx * dx + dy * dy));
  int32_t steps = Round((long double)chord / 3.0L);
  if (steps < 1) steps = 1;
  if (steps > kMaxCurveSteps) steps = kMaxCurveSteps;
  const TCurveWeights& table = CurveWeights();
  const std::array<float, 4>* weights = table.Weights.data() + table.First[steps];
  for (int32_t i = 0; i <= steps; ++i) {
    float x = 0.0f, y = 0.0f;
    for (int k = 0; k < 4; ++k) {
      const float w = weights[i][size_t(k)];
      x = float((long double)x + (long double)w * seg[k].x);
      y = float((long double)y + (long double)w * seg[k].y);
    }
    samples[i] = TCanvasPoint{RoundSample(x), RoundSample(y)};
  }
  return steps + 1;
}

bool CheckCurve(const TLevelRecord& level, const TDibImage& map, const TFloatPoint* points, int32_t count, TIntPoint a,
                TIntPoint b, int32_t d, TBoundsRect& bounds, TIntPoint q, TIntPoint r) {
  const int32_t left = level.JigsL, top = level.JigsT, right = level.JigsR, bottom = level.JigsB;
  const int32_t z = level.TileS / 10;
  const int32_t dd = Round((long double)d / std::sqrt(2.0L));
  auto inEndZone = [&](int32_t x, int32_t y) {
    return (std::abs(x - a.x) < z && std::abs(y - a.y) < z) || (std::abs(x - b.x) < z && std::abs(y - b.y) < z);
  };
  auto inArea = [&](int32_t x, int32_t y) { return x >= left && x <= right && y >= top && y <= bottom; };
  // A scanned pixel inside the map and the area that is neither white nor in an end zone.
  auto blocked = [&](int32_t x, int32_t y) {
    if (inEndZone(x, y)) return false;
    if (x < 0 || y < 0 || x >= map.Width || y >= map.Height) return false;
    return MapColorAt(map, x, y) != kWhite;
  };
  // One clearance scan; it ends without failing where it leaves the cut area.
  auto scan = [&](int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t n) {
    for (int32_t i = 1; i <= n; ++i) {
      const int32_t px = x + sx * i, py = y + sy * i;
      if (!inArea(px, py)) return true;
      if (blocked(px, py)) return false;
    }
    return true;
  };
  // The line through p and the sample passes through the reference point.
  auto collinear = [](TIntPoint ref, TCanvasPoint p, int32_t x, int32_t y) {
    return (int64_t(ref.x) - p.x) * (int64_t(y) - p.y) - (int64_t(ref.y) - p.y) * (int64_t(x) - p.x) == 0;
  };

  // Where every scanned pixel lies in the area, in the map and away from both end zones, the
  // scans come down to: no pixel of the cross and the diagonals is anything but white.
  const int32_t reach = std::max(d, dd);
  const auto clearOfZone = [&](int32_t x, int32_t y, TIntPoint e) {
    return std::abs(x - e.x) >= z + reach || std::abs(y - e.y) >= z + reach;
  };
  const auto plainSurroundings = [&](int32_t x, int32_t y) {
    return x - reach >= std::max(left, 0) && y - reach >= std::max(top, 0) && x + reach <= right &&
           y + reach <= bottom && x + reach < map.Width && y + reach < map.Height && clearOfZone(x, y, a) &&
           clearOfZone(x, y, b);
  };
  const auto notWhite = [](const uint8_t* p) { return (p[0] & p[1] & p[2]) != 255; };
  const intptr_t stride = map.RowStride;
  const auto anyDrawn = [&](int32_t x, int32_t y) {
    const uint8_t* c = DibPixelAddress(map, x, y);
    for (int32_t i = 1; i <= d; ++i) {
      // Rows run bottom-up in memory: the row above lies one stride further on.
      if (notWhite(c - 3 * i) || notWhite(c + 3 * i) || notWhite(c + i * stride) || notWhite(c - i * stride))
        return true;
    }
    for (int32_t i = 1; i <= dd; ++i) {
      const intptr_t up = i * stride, side = 3 * i;
      if (notWhite(c + up - side) || notWhite(c + up + side) || notWhite(c - up - side) || notWhite(c - up + side))
        return true;
    }
    return false;
  };

  TCanvasPoint samples[kMaxCurveSamples];
  for (int32_t s = 0; 3 * s + 3 < count; ++s) {
    const int32_t n = SampleCurveSegment(points + 3 * s, samples);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t x = samples[i].x, y = samples[i].y;
      bounds.Widen(x, y);
      if (!inArea(x, y)) return false;
      if (inEndZone(x, y)) continue;
      if (i > 0) {
        if (collinear(q, samples[i - 1], x, y)) return false;
        if (r.x != kNoReference && collinear(r, samples[i - 1], x, y)) return false;
      }
      if (map.BytesPerPixel == 3 && plainSurroundings(x, y)) {
        if (anyDrawn(x, y)) return false;
        continue;
      }
      if (!scan(x, y, -1, 0, d) || !scan(x, y, 1, 0, d) || !scan(x, y, 0, -1, d) || !scan(x, y, 0, 1, d)) return false;
      if (!scan(x, y, -1, -1, dd) || !scan(x, y, 1, -1, dd) || !scan(x, y, -1, 1, dd) || !scan(x, y, 1, 1, dd))
        return false;
    }
  }
  return true;
}

void DrawCurve(TDibImage& image, const TFloatPoint* points, int32_t count, uint32_t penColor) {
  if (image.Width <= 0 || !image.Bitmap) return;
  TCanvasPoint samples[kMaxCurveSamples];
  for (int32_t s = 0; 3 * s + 3 < count; ++s) {
    const int32_t n = SampleCurveSegment(points + 3 * s, samples);
    CanvasPolyline(*image.Bitmap, samples, n, penColor);
  }
}

namespace {

// The piece's colour on the cut map, as the walk looks for it around each point.
struct TPieceProbe {
  const TDibImage& Map;
  const uint8_t* Bits;
  intptr_t Stride;
  int32_t Width, Height;
  int32_t JigsL, JigsT, JigsR, JigsB;
  uint32_t Want;
  uint32_t Want24;  // the colour as a pixel's three bytes read in one four-byte load

  // One four-byte load per pixel (the fast path keeps a pixel's spare byte in the map).
  bool At(const uint8_t* q) const {
    uint32_t v;
    std::memcpy(&v, q, 4);
    return (v & 0xFFFFFFu) == Want24;
  }
  bool Is(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < Width && y < Height && MapColorAt(Map, x, y) == Want;
  }
  // Whether a neighbour of (x, y) within the cut area has the colour, for a point near the edges
  // of the map or of the cut area.
  bool AroundNearEdges(int32_t x, int32_t y) const {
    if (x >= 1 && y >= 1 && x + 2 < Width && y + 1 < Height) {
      // All eight neighbours inside the map: read them straight from the rows (the row above
      // lies one stride further on in memory).
      const uint8_t* c = Bits + intptr_t(Height - 1 - y) * Stride + intptr_t(x) * 3;
      const uint8_t* up = c + Stride;
      const uint8_t* down = c - Stride;
      const bool left = x > JigsL, right = x < JigsR;
      return (y > JigsT && ((left && At(up - 3)) || At(up) || (right && At(up + 3)))) || (left && At(c - 3)) ||
             (right && At(c + 3)) || (y < JigsB && ((left && At(down - 3)) || At(down) || (right && At(down + 3))));
    }
    bool hit = false;
    if (y > JigsT) {
      hit = (x > JigsL && Is(x - 1, y - 1)) || Is(x, y - 1) || (x < JigsR && Is(x + 1, y - 1));
    }
    if (!hit) hit = (x > JigsL && Is(x - 1, y)) || (x < JigsR && Is(x + 1, y));
    if (!hit && y < JigsB) {
      hit = (x > JigsL && Is(x - 1, y + 1)) || Is(x, y + 1) || (x < JigsR && Is(x + 1, y + 1));
    }
    return hit;
  }
};

// The steps of a Bresenham walk that can lie in the clip, and the point and error term at the
// first of them.
struct TWalkStart {
  int32_t First, Last;  // none when First > Last
  int32_t X, Y, E;
};

TWalkStart StartInClip(TIntPoint a, int32_t dx, int32_t dy, int32_t sx, int32_t sy, bool steep, const TBoundsRect& clip,
                       int32_t maxSteps) {
  int32_t e = 2 * dy - dx;
  int32_t x = a.x, y = a.y;
  // No point before the clip's first column (row, for a steep walk) can be in it: the walk
  // starts there, with the minor coordinate and error term the steps up to it would give.
  const int32_t major = steep ? a.y : a.x, step = steep ? sy : sx;
  const int32_t low = steep ? clip.Top : clip.Left, high = steep ? clip.Bottom : clip.Right;
  const int64_t skip = step > 0 ? int64_t(low) - major : int64_t(major) - high;
  const int32_t first = int32_t(std::max<int64_t>(0, skip));
  // Nor any point past its last one.
  const int64_t span = step > 0 ? int64_t(high) - major : int64_t(major) - low;
  const int32_t last = int32_t(std::min<int64_t>({dx, span, maxSteps}));
  if (first > 0 && first <= last) {
    const int64_t f = int64_t(2 * dy - dx) + int64_t(first - 1) * 2 * dy, twice = 2 * int64_t(dx);
    const int64_t minorSteps = (f >= 0 ? f / twice : -((-f + twice - 1) / twice)) + 1;
    e = int32_t(int64_t(2 * dy - dx) + int64_t(first) * 2 * dy - minorSteps * twice);
    if (steep) {
      y += sy * first;
      x += sx * int32_t(minorSteps);
    } else {
      x += sx * first;
      y += sy * int32_t(minorSteps);
    }
  }
  return {first, last, x, y, e};
}

// After a point found clear, the next one's neighbours are the last point itself and those
// new to its window (three after a straight step, five after a diagonal one); the rest were
// the last point's neighbours. Their offsets in the map, by kind of step: 1 straight, 2
// diagonal.
void FreshNeighbourOffsets(bool steep, int32_t sx, int32_t sy, intptr_t stride, intptr_t (&fresh)[3][6],
                           int32_t (&freshCount)[3]) {
  for (int32_t move = 1; move <= 2; ++move) {
    const int32_t mx = move == 2 || !steep ? sx : 0, my = move == 2 || steep ? sy : 0;
    intptr_t* list = fresh[move];
    int32_t& n = freshCount[move];
    list[n++] = -(3 * intptr_t(mx) - stride * my);  // the last point
    for (int32_t v = -1; v <= 1; ++v) {
      for (int32_t u = -1; u <= 1; ++u) {
        if ((u || v) && (std::abs(u + mx) > 1 || std::abs(v + my) > 1)) list[n++] = 3 * intptr_t(u) - stride * v;
      }
    }
  }
}

}  // namespace

bool WalkLineToPiece(const TCutTarget& target, int32_t piece, TIntPoint a, TIntPoint b, const TBoundsRect& clipRect,
                     TIntPoint& p, int32_t maxSteps) {
  const TLevelRecord& lv = target.GameLevel;
  const TDibImage& map = target.CutMap;
  // Everything the loop reads, in locals: with p written through a reference, the compiler
  // would otherwise load the map's and the clip's fields again at every pixel.
  const TBoundsRect clip = clipRect;
  const int32_t width = map.Width, height = map.Height;
  const uint8_t* const bits = map.Bits;
  const intptr_t stride = map.RowStride;
  const int32_t jigsL = lv.JigsL, jigsT = lv.JigsT, jigsR = lv.JigsR, jigsB = lv.JigsB;
  const uint32_t want = PieceColor(target.Pieces[piece].Code);
  auto inClip = [&](int32_t x, int32_t y) {
    return x >= clip.Left && x <= clip.Right && y >= clip.Top && y <= clip.Bottom;
  };
  const uint8_t wantBlue = uint8_t(want >> 16), wantGreen = uint8_t(want >> 8), wantRed = uint8_t(want);
  const uint32_t want24 = uint32_t(wantBlue) | uint32_t(wantGreen) << 8 | uint32_t(wantRed) << 16;
  const TPieceProbe probe{map, bits, stride, width, height, jigsL, jigsT, jigsR, jigsB, want, want24};
  if (a.x == b.x && a.y == b.y) {
    p = a;
    return maxSteps >= 0 && inClip(a.x, a.y) && probe.Is(a.x, a.y);
  }
  int32_t dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
  const int32_t sx = Sign(b.x - a.x), sy = Sign(b.y - a.y);
  const bool steep = dy > dx;
  if (steep) std::swap(dx, dy);
  const TWalkStart start = StartInClip(a, dx, dy, sx, sy, steep, clip, maxSteps);
  const int32_t first = start.First, last = start.Last;
  p = b;
  if (first > last) return false;
  int32_t e = start.E, x = start.X, y = start.Y;
  // Where the clip keeps clear of the map's edges and of the cut area's, every point in it has
  // all eight neighbours to look at, found from the point's place in the map, which follows the
  // steps (a row down the picture lies a stride back in memory).
  const bool plain = clip.Left > std::max(jigsL, 0) && clip.Top > std::max(jigsT, 0) && clip.Right < jigsR &&
                     clip.Bottom < jigsB && clip.Right + 2 < width && clip.Bottom + 1 < height;
  const intptr_t xStep = 3 * intptr_t(sx), yStep = -stride * sy;
  intptr_t offset = intptr_t(height - 1 - y) * stride + intptr_t(x) * 3;
  // kind: 0 look at all eight neighbours, 1 the fresh ones after a straight step, 2 diagonal.
  intptr_t fresh[3][6];
  int32_t freshCount[3] = {0, 0, 0};
  FreshNeighbourOffsets(steep, sx, sy, stride, fresh, freshCount);
  int32_t kind = 0;
  bool entered = false;
  for (int32_t i = first; i <= last; ++i) {
    if (!inClip(x, y)) {
      // A straight walk that has left the (convex) clip never comes back into it.
      if (entered) return false;
    } else {
      entered = true;
      bool hit = false;
      if (plain) {
        const uint8_t* c = bits + offset;
        if (kind) {
          for (int32_t k = 0; k < freshCount[kind] && !hit; ++k) hit = probe.At(c + fresh[kind][k]);
        } else {
          const uint8_t* up = c + stride;
          const uint8_t* down = c - stride;
          hit = probe.At(up - 3) || probe.At(up) || probe.At(up + 3) || probe.At(c - 3) || probe.At(c + 3) ||
                probe.At(down - 3) || probe.At(down) || probe.At(down + 3);
        }
      } else {
        hit = probe.AroundNearEdges(x, y);
      }
      if (hit) {
        p = TIntPoint{x, y};
        return true;
      }
    }
    const bool tested = plain && inClip(x, y);
    int32_t minorSteps = 0;
    while (e >= 0) {
      if (steep) {
        x += sx;
        offset += xStep;
      } else {
        y += sy;
        offset += yStep;
      }
      e -= 2 * dx;
      ++minorSteps;
    }
    kind = tested && minorSteps <= 1 ? 1 + minorSteps : 0;
    if (steep) {
      y += sy;
      offset += yStep;
    } else {
      x += sx;
      offset += xStep;
    }
    e += 2 * dy;
  }
  return false;
}

bool SegmentHasCode(const TDibImage& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color) {
  const uint8_t blue = uint8_t((color >> 16) & 255);
  const int32_t w = image.Width, h = image.Height;
  auto inside = [&](int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < w && y < h; };
  auto test = [&](int32_t x, int32_t y) { return inside(x, y) && DibPixelAddress(image, x, y)[0] == blue; };
  if (w <= 0) return false;
  if (x1 == x2 && y1 == y2) return test(x1, y1);
  if (x1 != x2 && y1 != y2) {
    if (test(x1, y1)) return true;
    const int32_t adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
    const int32_t sx = Sign(x2 - x1), sy = Sign(y2 - y1);
    int32_t x = x1, y = y1;
    if (2 * adx <= 2 * ady) {
      int32_t e = 2 * adx - ady;
      while (y != y2) {
        if (e >= 0) {
          x += sx;
          e -= 2 * ady;
        }
        y += sy;
        e += 2 * adx;
        if (test(x, y)) return true;
      }
    } else {
      int32_t e = 2 * ady - adx;
      while (x != x2) {
        if (e >= 0) {
          y += sy;
          e -= 2 * adx;
        }
        x += sx;
        e += 2 * ady;
        if (test(x, y)) return true;
      }
    }
    return false;
  }
  // Horizontal or vertical: an ordered run clipped to the image.
  if (y1 == y2) {
    if (y1 < 0 || y1 >= h) return false;
    int32_t lo = std::min(x1, x2), hi = std::max(x1, x2);
    if (hi < 0 || lo >= w) return false;
    lo = std::max(lo, 0);
    hi = std::min(hi, w - 1);
    const uint8_t* p = DibPixelAddress(image, lo, y1);
    for (int32_t x = lo; x <= hi; ++x, p += 3)
      if (*p == blue) return true;
    return false;
  }
  if (x1 < 0 || x1 >= w) return false;
  int32_t lo = std::min(y1, y2), hi = std::max(y1, y2);
  if (hi < 0 || lo >= h) return false;
  lo = std::max(lo, 0);
  hi = std::min(hi, h - 1);
  const uint8_t* p = DibPixelAddress(image, x1, lo);
  for (int32_t y = lo; y <= hi; ++y, p -= image.RowStride)
    if (*p == blue) return true;
  return false;
}
