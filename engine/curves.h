#pragma once
#include <cstdint>

#include "engine/cut_target.h"
#include "foundation/dib_image.h"
#include "foundation/level_record.h"
#include "foundation/numeric.h"
#include "platform/canvas.h"

// The cutter's geometry: cubic Bezier chains sampled to pixels, checked against the cut map
// before they are drawn, and the small line walks the cut routines need.

struct TFloatPoint {
  float x, y;
};

// left, top, right, bottom, inclusive. Reset() gives the empty box that widening starts from.
struct TBoundsRect {
  int32_t Left, Top, Right, Bottom;
  void Reset() {
    Left = Top = 10000;
    Right = Bottom = -10000;
  }
  void Widen(int32_t x, int32_t y) {
    if (x < Left) Left = x;
    if (y < Top) Top = y;
    if (x > Right) Right = x;
    if (y > Bottom) Bottom = y;
  }
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kPieceRed = 128;       // red byte of every piece colour in the cut map
constexpr int32_t kNoReference = -1000;  // R.x of CheckCurve: no second reference point
constexpr int32_t kMaxCurveSamples = 151;

int32_t PackColor(int32_t high, int32_t middle, int32_t low);
// The cut-map colour of a piece code: blue = code, green 0, red 128.
inline uint32_t PieceColor(int32_t code) { return uint32_t(PackColor(code, 0, kPieceRed)); }
int32_t Sign(int32_t v);
double Factorial(int32_t n);
float Binomial(int32_t n, int32_t k);

// Crossing of the infinite lines p1-p2 and p3-p4, rounded half to even. Parallel lines have no
// crossing: the result is false and (x, y) is the midpoint of p1 and p2.
bool LineIntersection(TIntPoint p1, TIntPoint p2, TIntPoint p3, TIntPoint p4, int32_t& x, int32_t& y);

// Samples of segment s of a chain (points 3s..3s+3), from its last control point back to its
// first. Returns the sample count (steps + 1, at most 151).
int32_t SampleCurveSegment(const TFloatPoint* segment, TCanvasPoint* samples);

// True when every sample stays in the cut area, clear by d pixels of every line already drawn
// (outside the end zones round a and b), and not in line with q or r from its predecessor.
bool CheckCurve(const TLevelRecord& level, const TDibImage& map, const TFloatPoint* points, int32_t count, TIntPoint a,
                TIntPoint b, int32_t d, TBoundsRect& bounds, TIntPoint q, TIntPoint r);
// One pen polyline per segment; the chain's very first point stays unset (the caller sets it).
void DrawCurve(TDibImage& image, const TFloatPoint* points, int32_t count, uint32_t penColor);

// Bresenham walk from a to b that stops at the first point with an 8-neighbour in the piece's
// colour; p is that point (b when none). Only the first maxSteps steps past a are walked.
bool WalkLineToPiece(const TCutTarget& target, int32_t piece, TIntPoint a, TIntPoint b, const TBoundsRect& clip,
                     TIntPoint& p, int32_t maxSteps = INT32_MAX);
// True when a pixel of the segment has the blue byte of colour.
bool SegmentHasCode(const TDibImage& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color);

// 24-bit cut-map access without bounds checks: callers stay inside the map.
inline uint32_t PixelColorAt(const uint8_t* p) { return p[2] | (p[1] << 8) | (uint32_t(p[0]) << 16); }
inline uint32_t MapColorAt(const TDibImage& map, int32_t x, int32_t y) {
  return PixelColorAt(map.Bits + intptr_t(map.Height - 1 - y) * map.RowStride + intptr_t(x) * 3);
}
