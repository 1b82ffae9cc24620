#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cut_fixture.h"
#include "engine/curves.h"
#include "foundation/random.h"

namespace {
// A straight segment from a to b with its inner control points on the chord.
void Straight(TFloatPoint* p, float ax, float ay, float bx, float by) {
  p[0] = {ax, ay};
  p[1] = {ax + (bx - ax) / 3, ay + (by - ay) / 3};
  p[2] = {ax + 2 * (bx - ax) / 3, ay + 2 * (by - ay) / 3};
  p[3] = {bx, by};
}
constexpr TIntPoint kFar{-500, -500};
constexpr TIntPoint kNone{kNoReference, 0};
}  // namespace

// The crossing against exact integer arithmetic, rounded half to even, on random lines with
// small coordinates (where halves are common); parallel and degenerate lines give false and
// the first line's midpoint.
TEST(LineIntersection, AgreesWithExactArithmetic) {
  TRandom rng;
  rng.RandSeed = 5;
  const auto c = [&] { return int32_t(rng.Random(21)) - 10; };
  // num / den rounded half to even, den > 0.
  const auto roundHalfEven = [](int64_t num, int64_t den) {
    int64_t q = num / den, r = num % den;
    if (r < 0) r += den, --q;
    if (2 * r > den || (2 * r == den && q % 2 != 0)) ++q;
    return q;
  };
  int32_t crossings = 0;
  for (int32_t i = 0; i < 5000; ++i) {
    const TIntPoint p1{c(), c()}, p2{c(), c()}, p3{c(), c()}, p4{c(), c()};
    int32_t x = 12345, y = 12345;
    const bool crossed = LineIntersection(p1, p2, p3, p4, x, y);
    // p1 + t (p2 - p1) = p3 + s (p4 - p3), solved by Cramer's rule.
    const int64_t dx1 = p2.x - p1.x, dy1 = p2.y - p1.y, dx2 = p4.x - p3.x, dy2 = p4.y - p3.y;
    int64_t den = dx1 * dy2 - dy1 * dx2, tn = (p3.x - p1.x) * dy2 - (p3.y - p1.y) * dx2;
    const std::string where = std::to_string(p1.x) + "," + std::to_string(p1.y) + " " + std::to_string(p2.x) + "," +
                              std::to_string(p2.y) + " / " + std::to_string(p3.x) + "," + std::to_string(p3.y) + " " +
                              std::to_string(p4.x) + "," + std::to_string(p4.y);
    if (den == 0) {
      EXPECT_FALSE(crossed) << where;
      if ((p1.x + p2.x) % 2 == 0 && (p1.y + p2.y) % 2 == 0) {
        EXPECT_EQ(x, (p1.x + p2.x) / 2) << where;
        EXPECT_EQ(y, (p1.y + p2.y) / 2) << where;
      }
      continue;
    }
    if (den < 0) den = -den, tn = -tn;
    ++crossings;
    ASSERT_TRUE(crossed) << where;
    EXPECT_EQ(x, roundHalfEven(p1.x * den + tn * dx1, den)) << where;
    EXPECT_EQ(y, roundHalfEven(p1.y * den + tn * dy1, den)) << where;
  }
  EXPECT_GT(crossings, 4000);
}

// The small helpers of the geometry at and beside their edges.
TEST(CurveArithmetic, SignFactorialBinomialAndColourPacking) {
  EXPECT_EQ(Sign(-1), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_EQ(Sign(1), 1);
  EXPECT_EQ(Sign(INT32_MIN), -1);
  double f = 1;
  for (int32_t n = 0; n <= 20; ++n) {
    if (n > 1) f *= n;
    EXPECT_EQ(Factorial(n), f) << n;
  }
  std::vector<float> row{1};  // Pascal's triangle
  for (int32_t n = 0; n <= 12; ++n) {
    for (int32_t k = 0; k <= n; ++k) EXPECT_EQ(Binomial(n, k), row[size_t(k)]) << n << " " << k;
    std::vector<float> next(row.size() + 1, 1);
    for (size_t k = 1; k < row.size(); ++k) next[k] = row[k - 1] + row[k];
    row = next;
  }
  EXPECT_EQ(PackColor(0x12, 0x34, 0x56), 0x123456);
  EXPECT_EQ(PackColor(0x1FF, -1, 0x100), 0xFFFF00) << "each part keeps its low byte";
  EXPECT_EQ(PieceColor(200), 0xC80080u);
}

TEST(CheckCurve, StaysInsideTheCutAreaInclusively) {
  TCutFixture fx(100, 60, 8, 3, 20);  // TileS < 10: no end zones
  TBoundsRect bounds;
  TFloatPoint p[4];
  Straight(p, 20, 30, 79, 30);  // exactly JigsL .. right bound
  bounds.Reset();
  EXPECT_TRUE(CheckCurve(fx.level, *fx.map, p, 4, {20, 30}, {79, 30}, 2, bounds, kFar, kNone));
  EXPECT_EQ(bounds.Left, 20);
  EXPECT_EQ(bounds.Right, 79);
  EXPECT_EQ(bounds.Top, 30);
  Straight(p, 19, 30, 60, 30);
  bounds.Reset();
  EXPECT_FALSE(CheckCurve(fx.level, *fx.map, p, 4, {19, 30}, {60, 30}, 2, bounds, kFar, kNone));
  Straight(p, 30, 30, 80, 30);
  bounds.Reset();
  EXPECT_FALSE(CheckCurve(fx.level, *fx.map, p, 4, {30, 30}, {80, 30}, 2, bounds, kFar, kNone));
  EXPECT_EQ(bounds.Right, 80);  // kept what it widened before failing
}

TEST(CheckCurve, ClearanceScansStraightByDAndDiagonallyByDOverRootTwo) {
  struct TCase {
    int32_t d, off;
    bool ok;
  };
  // d = 3 gives 2 diagonal steps, d = 5 gives 4, d = 1 gives 1.
  for (TCase c : {TCase{3, 2, false}, TCase{3, 3, true}, TCase{5, 4, false}, TCase{5, 5, true}, TCase{1, 1, false},
                  TCase{1, 2, true}}) {
    TCutFixture fx(100, 60, 8, 3);
    SetDibPixel(*fx.map, 50 + c.off, 30 + c.off, 0);
    TFloatPoint p[4];
    Straight(p, 50, 30, 50, 20);  // vertical, the obstacle lies diagonally off its first end
    TBoundsRect bounds;
    bounds.Reset();
    EXPECT_EQ(CheckCurve(fx.level, *fx.map, p, 4, {0, 0}, {99, 0}, c.d, bounds, kFar, kNone), c.ok)
        << "d " << c.d << " offset " << c.off;
  }
  // Straight scans reach d pixels; with d = 0 nothing is scanned.
  for (int32_t d : {0, 4, 5}) {
    TCutFixture fx(100, 60, 8, 3);
    SetDibPixel(*fx.map, 55, 25, 0);
    TFloatPoint p[4];
    Straight(p, 50, 40, 50, 10);  // samples every third row, 25 among them
    TBoundsRect bounds;
    bounds.Reset();
    EXPECT_EQ(CheckCurve(fx.level, *fx.map, p, 4, {0, 0}, {99, 0}, d, bounds, kFar, kNone), d < 5) << d;
  }
}

TEST(WalkLineToPiece, StopsBesideThePiecesColourAndTestsASinglePointItself) {
  TCutFixture fx(100, 60);
  fx.pieces[2].Code = 75;
  const uint32_t c = PieceColor(75);
  SetDibPixel(*fx.map, 41, 21, c);
  TCutTarget t = fx.Target();
  TBoundsRect clip{0, 0, 99, 59};
  TIntPoint p;
  EXPECT_TRUE(WalkLineToPiece(t, 2, {10, 20}, {90, 20}, clip, p));
  EXPECT_EQ(p.x, 40);  // (41, 21) is the lower-right neighbour of (40, 20)
  EXPECT_EQ(p.y, 20);
  EXPECT_FALSE(WalkLineToPiece(t, 2, {10, 40}, {90, 45}, clip, p));
  EXPECT_EQ(p.x, 90);
  EXPECT_EQ(p.y, 45);
  EXPECT_FALSE(WalkLineToPiece(t, 2, {40, 20}, {40, 20}, clip, p));  // a neighbour is not enough
  EXPECT_TRUE(WalkLineToPiece(t, 2, {41, 21}, {41, 21}, clip, p));
  TBoundsRect small{0, 0, 30, 59};  // outside the clip rectangle nothing is tested
  EXPECT_FALSE(WalkLineToPiece(t, 2, {10, 20}, {90, 20}, small, p));
}

TEST(SegmentHasCode, FindsTheBlueByteAlongAllKindsOfSegments) {
  TCutFixture fx(100, 60);
  SetDibPixel(*fx.map, 30, 40, PieceColor(200));
  EXPECT_TRUE(SegmentHasCode(*fx.map, 30, 10, 30, 50, PieceColor(200)));
  EXPECT_TRUE(SegmentHasCode(*fx.map, 30, 50, 30, 10, 0xC80000));  // only blue counts
  EXPECT_FALSE(SegmentHasCode(*fx.map, 30, 41, 30, 500, PieceColor(200)));
  EXPECT_TRUE(SegmentHasCode(*fx.map, -50, 40, 31, 40, PieceColor(200)));
  EXPECT_FALSE(SegmentHasCode(*fx.map, 31, 40, 300, 40, PieceColor(200)));
  EXPECT_TRUE(SegmentHasCode(*fx.map, 20, 30, 40, 50, PieceColor(200)));
  EXPECT_TRUE(SegmentHasCode(*fx.map, 40, 50, 20, 30, PieceColor(200)));
  EXPECT_TRUE(SegmentHasCode(*fx.map, 30, 40, 30, 40, PieceColor(200)));
  EXPECT_FALSE(SegmentHasCode(*fx.map, 20, 31, 40, 51, PieceColor(200)));
  EXPECT_FALSE(SegmentHasCode(*fx.map, 100, 400, 100, 400, PieceColor(200)));
}

// A slanted segment visits one pixel per step of its longer axis; where the error term is
// exactly zero it steps the shorter axis too, so (20, 30) -> (22, 31) runs through (21, 31)
// and not (21, 30). Each case marks one pixel and asks whether the segment meets it.
TEST(SegmentHasCode, SlantedSegmentsStepTheShortAxisOnATie) {
  const struct {
    int32_t x1, y1, x2, y2, px, py;
    bool hit;
  } cases[] = {
      {20, 30, 22, 31, 21, 31, true},  {20, 30, 22, 31, 21, 30, false}, {20, 30, 22, 31, 22, 31, true},
      {22, 31, 20, 30, 21, 30, true},  {22, 31, 20, 30, 21, 31, false}, {20, 30, 24, 32, 21, 31, true},
      {20, 30, 24, 32, 21, 30, false}, {20, 30, 24, 32, 23, 32, true},  {20, 30, 24, 32, 23, 31, false},
      {20, 30, 21, 32, 21, 31, true},  {20, 30, 21, 32, 20, 31, false}, {21, 32, 20, 30, 20, 31, true},
      {20, 30, 23, 31, 21, 30, true},  {20, 30, 23, 31, 22, 31, true},  {20, 30, 23, 31, 22, 30, false},
  };
  for (const auto& c : cases) {
    TCutFixture fx(100, 60);
    SetDibPixel(*fx.map, c.px, c.py, PieceColor(90));
    EXPECT_EQ(SegmentHasCode(*fx.map, c.x1, c.y1, c.x2, c.y2, PieceColor(90)), c.hit)
        << "(" << c.x1 << "," << c.y1 << ")-(" << c.x2 << "," << c.y2 << ") pixel " << c.px << "," << c.py;
  }
}

// Against a plain reading of the rule, every segment with ends on or up to two pixels off a
// small map, for each marked pixel: a straight run or a point meets the pixel exactly when the
// pixel lies between its ends; a slanted one always meets its own ends and never leaves its box.
TEST(SegmentHasCode, AgreesWithAPixelByPixelReadingForEverySegment) {
  constexpr int32_t w = 5, h = 4;
  TDibHolder map;
  ASSERT_TRUE(CreateDib24(*map, w, h));
  int32_t wrong = 0;
  for (int32_t py = 0; py < h; ++py) {
    for (int32_t px = 0; px < w; ++px) {
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) SetDibPixel(*map, x, y, x == px && y == py ? PieceColor(40) : kWhite);
      for (int32_t y1 = -2; y1 < h + 2; ++y1)
        for (int32_t x1 = -2; x1 < w + 2; ++x1)
          for (int32_t y2 = -2; y2 < h + 2; ++y2)
            for (int32_t x2 = -2; x2 < w + 2; ++x2) {
              const bool inBox =
                  std::min(x1, x2) <= px && px <= std::max(x1, x2) && std::min(y1, y2) <= py && py <= std::max(y1, y2);
              const bool end = (px == x1 && py == y1) || (px == x2 && py == y2);
              const bool hit = SegmentHasCode(*map, x1, y1, x2, y2, PieceColor(40));
              const bool straight = x1 == x2 || y1 == y2;
              if ((straight && hit != inBox) || (end && !hit) || (!inBox && hit)) {
                if (++wrong <= 5)
                  ADD_FAILURE() << x1 << "," << y1 << " - " << x2 << "," << y2 << " pixel " << px << "," << py;
              }
            }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// Walks along the map's own outer rows and columns, where not all eight neighbours exist, look
// at the same neighbours as inside: none across the cut area's edges, none off the map. The
// cut area of a 100 x 60 picture with a margin of 20 is (20, 20) .. (79, 39); the map is
// 105 x 65.
TEST(WalkLineToPiece, AlongTheMapsEdgeSeesTheSameNeighbours) {
  const struct {
    TIntPoint a, b, piece;
    bool hit;
    TIntPoint p;
  } cases[] = {
      {{10, 0}, {90, 0}, {41, 1}, true, {40, 0}},     {{90, 0}, {10, 0}, {41, 1}, true, {42, 0}},
      {{30, 0}, {10, 0}, {19, 1}, true, {19, 0}},     {{70, 0}, {90, 0}, {80, 1}, true, {80, 0}},
      {{0, 30}, {0, 50}, {1, 40}, true, {0, 40}},     {{0, 30}, {0, 10}, {1, 19}, true, {0, 19}},
      {{10, 64}, {90, 64}, {41, 63}, true, {40, 64}}, {{104, 10}, {104, 50}, {103, 31}, true, {104, 30}},
      {{30, 64}, {10, 64}, {19, 63}, true, {19, 64}}, {{70, 64}, {90, 64}, {80, 63}, true, {80, 64}},
      {{10, 0}, {90, 0}, {41, 2}, false, {90, 0}},    {{0, 10}, {0, 50}, {2, 30}, false, {0, 50}},
      {{90, 64}, {10, 64}, {41, 63}, true, {42, 64}}, {{104, 50}, {104, 10}, {103, 31}, true, {104, 32}},
  };
  for (const auto& c : cases) {
    TCutFixture fx(100, 60, 40, 7, 20);
    fx.pieces[2].Code = 75;
    SetDibPixel(*fx.map, c.piece.x, c.piece.y, PieceColor(75));
    TCutTarget t = fx.Target();
    TIntPoint p;
    EXPECT_EQ(WalkLineToPiece(t, 2, c.a, c.b, {0, 0, 104, 64}, p), c.hit) << c.a.x << "," << c.a.y << " to " << c.b.x;
    EXPECT_EQ(p.x, c.p.x) << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
    EXPECT_EQ(p.y, c.p.y) << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
  }
}

// A walk limited to a number of steps past its start sees a piece only that far along the
// longer axis, also where the walk begins outside its clip and skips ahead to it.
TEST(WalkLineToPiece, StopsAfterItsStepLimit) {
  const struct {
    TIntPoint a, b;
    TBoundsRect clip;
    int32_t steps;
    bool hit;
    TIntPoint p;
  } cases[] = {
      {{10, 20}, {90, 20}, {0, 0, 99, 59}, 30, true, {40, 20}},  // the hit is step 30
      {{10, 20}, {90, 20}, {0, 0, 99, 59}, 29, false, {90, 20}},
      {{90, 20}, {10, 20}, {0, 0, 99, 59}, 48, true, {42, 20}},  // from the other side: step 48
      {{90, 20}, {10, 20}, {0, 0, 99, 59}, 47, false, {10, 20}},
      {{41, 0}, {41, 50}, {0, 0, 99, 59}, 20, true, {41, 20}},  // steep: rows count
      {{41, 0}, {41, 50}, {0, 0, 99, 59}, 19, false, {41, 50}},
      {{10, 20}, {90, 20}, {35, 0, 99, 59}, 30, true, {40, 20}},  // skipped to the clip first
      {{10, 20}, {90, 20}, {35, 0, 99, 59}, 29, false, {90, 20}},
      {{40, 20}, {40, 20}, {0, 0, 99, 59}, 0, false, {40, 20}},  // a single point is step 0
      {{41, 21}, {41, 21}, {0, 0, 99, 59}, 0, true, {41, 21}},
      {{41, 21}, {41, 21}, {0, 0, 99, 59}, -1, false, {41, 21}},
      {{20, 10}, {60, 30}, {0, 0, 99, 59}, 100, true, {40, 20}},  // slanted, the limit past b
      {{20, 10}, {60, 30}, {0, 0, 99, 59}, 19, false, {60, 30}},
      // A clip clear of the map's and the cut area's edges.
      {{10, 20}, {90, 20}, {30, 10, 60, 40}, 30, true, {40, 20}},
      {{10, 20}, {90, 20}, {30, 10, 60, 40}, 29, false, {90, 20}},
      {{20, 10}, {60, 30}, {30, 10, 60, 40}, 100, true, {40, 20}},
      {{41, 50}, {41, 0}, {30, 10, 60, 40}, 28, true, {41, 22}},
      {{41, 50}, {41, 0}, {30, 10, 60, 40}, 27, false, {41, 0}},
      {{10, 2}, {90, 42}, {30, 10, 60, 40}, 100, false, {90, 42}},  // passes the piece by
  };
  for (const auto& c : cases) {
    TCutFixture fx(100, 60);
    fx.pieces[2].Code = 75;
    SetDibPixel(*fx.map, 41, 21, PieceColor(75));
    TCutTarget t = fx.Target();
    TIntPoint p;
    const std::string what = std::to_string(c.a.x) + "," + std::to_string(c.a.y) + " to " + std::to_string(c.b.x) +
                             "," + std::to_string(c.b.y) + " steps " + std::to_string(c.steps);
    EXPECT_EQ(WalkLineToPiece(t, 2, c.a, c.b, c.clip, p, c.steps), c.hit) << what;
    EXPECT_EQ(p.x, c.p.x) << what;
    EXPECT_EQ(p.y, c.p.y) << what;
  }
}

// A segment is sampled every three pixels of its chord (one step at least, 150 at most), from
// its last point back to its first; the samples lie on the curve, rounded half to even.
TEST(SampleCurveSegment, SamplesEveryThirdPixelOfTheChordOnTheCurve) {
  struct TSample {
    int32_t i, x, y;
  };
  const struct {
    TFloatPoint p[4];
    int32_t count;
    std::vector<TSample> samples;
  } cases[] = {
      {{{0, 0}, {3, 0}, {6, 0}, {9, 0}}, 4, {{0, 9, 0}, {1, 6, 0}, {2, 3, 0}, {3, 0, 0}}},
      {{{0, 0}, {0.3f, 0}, {0.6f, 0}, {1, 0}}, 2, {{0, 1, 0}, {1, 0, 0}}},                // a pixel's chord: one step
      {{{0, 0}, {0, 30}, {30, 30}, {30, 0}}, 11, {{0, 30, 0}, {5, 15, 22}, {10, 0, 0}}},  // t = 1/2: (15, 22.5)
      {{{10, 20}, {10, 120}, {10, 220}, {10, 320}}, 101, {{0, 10, 320}, {50, 10, 170}, {100, 10, 20}}},
      {{{0, 0}, {300, 0}, {600, 0}, {900, 0}}, 151, {{0, 900, 0}, {1, 894, 0}, {75, 450, 0}, {150, 0, 0}}},
  };
  for (const auto& c : cases) {
    TCanvasPoint samples[kMaxCurveSamples];
    ASSERT_EQ(SampleCurveSegment(c.p, samples), c.count) << c.p[3].x << "," << c.p[3].y;
    for (const TSample& s : c.samples) {
      EXPECT_EQ(samples[s.i].x, s.x) << "sample " << s.i << " of " << c.count;
      EXPECT_EQ(samples[s.i].y, s.y) << "sample " << s.i << " of " << c.count;
    }
  }
}

// Inside the cut area a walk stops beside a piece's pixel in any of the eight directions, but
// not on the pixel itself: each case puts one pixel near the line y = 30.
TEST(WalkLineToPiece, InsideTheAreaSeesEveryNeighbourButNotThePointItself) {
  const struct {
    TIntPoint piece;
    bool hit;
    int32_t x;  // where the walk stops
  } cases[] = {
      {{50, 29}, true, 49},  {{50, 31}, true, 49},  {{50, 30}, true, 49}, {{48, 29}, true, 47},
      {{48, 31}, true, 47},  {{47, 30}, true, 46},  {{46, 30}, true, 47},  // the first point is the pixel
      {{50, 28}, false, 54}, {{50, 32}, false, 54},
  };
  for (const auto& c : cases) {
    TCutFixture fx(100, 60);
    fx.pieces[2].Code = 75;
    SetDibPixel(*fx.map, c.piece.x, c.piece.y, PieceColor(75));
    TCutTarget t = fx.Target();
    TIntPoint p;
    EXPECT_EQ(WalkLineToPiece(t, 2, {40, 30}, {54, 30}, {46, 25, 54, 35}, p), c.hit) << c.piece.x << "," << c.piece.y;
    EXPECT_EQ(p.x, c.x) << c.piece.x << "," << c.piece.y;
    EXPECT_EQ(p.y, 30) << c.piece.x << "," << c.piece.y;
  }
}

// Walks over scattered pieces in every direction, with and without a step limit, stop where a
// plain line walk that looks at all eight neighbours of every point stops.
TEST(WalkLineToPiece, StopsWhereLookingAtEveryNeighbourStops) {
  TCutFixture fx(120, 90);
  fx.pieces[2].Code = 75;
  const uint32_t c = PieceColor(75);
  uint32_t seed = 7;
  const auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int32_t k = 0; k < 60; ++k) SetDibPixel(*fx.map, 5 + int32_t(next(110)), 5 + int32_t(next(80)), c);
  TCutTarget t = fx.Target();
  const TBoundsRect clip{10, 8, 108, 80};  // clear of every edge
  const auto reference = [&](TIntPoint a, TIntPoint b, int32_t maxSteps, TIntPoint& p) {
    int32_t dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    const int32_t sx = (b.x > a.x) - (b.x < a.x), sy = (b.y > a.y) - (b.y < a.y);
    const bool steep = dy > dx;
    if (steep) std::swap(dx, dy);
    int32_t e = 2 * dy - dx, x = a.x, y = a.y;
    bool entered = false;
    p = b;
    for (int32_t i = 0; i <= std::min(dx, maxSteps); ++i) {
      if (x < clip.Left || x > clip.Right || y < clip.Top || y > clip.Bottom) {
        if (entered) return false;
      } else {
        entered = true;
        for (int32_t v = -1; v <= 1; ++v)
          for (int32_t u = -1; u <= 1; ++u)
            if ((u || v) && fx.At(x + u, y + v) == c) {
              p = {x, y};
              return true;
            }
      }
      for (; e >= 0; e -= 2 * dx) (steep ? x += sx : y += sy);
      (steep ? y += sy : x += sx);
      e += 2 * dy;
    }
    return false;
  };
  int32_t hits = 0;
  for (int32_t k = 0; k < 3000; ++k) {
    const TIntPoint a{int32_t(next(130)) - 5, int32_t(next(100)) - 5},
        b{int32_t(next(130)) - 5, int32_t(next(100)) - 5};
    const int32_t steps = k % 3 == 0 ? int32_t(next(60)) : 1 << 30;
    if (a.x == b.x && a.y == b.y) continue;  // a single point tests itself, not its neighbours
    TIntPoint got, want;
    const bool hit = reference(a, b, steps, want);
    ASSERT_EQ(WalkLineToPiece(t, 2, a, b, clip, got, steps), hit) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    ASSERT_EQ(got.x, want.x) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    ASSERT_EQ(got.y, want.y) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    hits += hit;
  }
  EXPECT_GT(hits, 1000);
  EXPECT_LT(hits, 2800);
}
