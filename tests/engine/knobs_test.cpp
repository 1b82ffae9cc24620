#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "cut_fixture.h"
#include "engine/knobs.h"

namespace {
const uint32_t kInk = PieceColor(150);

// The pixels of the map in the given colour.
std::set<std::pair<int32_t, int32_t>> Pixels(const TCutFixture& fx, uint32_t c) {
  std::set<std::pair<int32_t, int32_t>> s;
  for (int32_t y = 0; y < fx.map->Height; ++y)
    for (int32_t x = 0; x < fx.map->Width; ++x)
      if (fx.At(x, y) == c) s.insert({x, y});
  return s;
}

void UseOnly(TKnobState& knobs, std::initializer_list<int32_t> list) {
  knobs.ActiveKnobCount = 0;
  for (int32_t k : list) knobs.ActiveKnobs[knobs.ActiveKnobCount++] = k;
}

// Set B with measured templates and only the given knobs in play.
void UseSetB(TCutFixture& fx, std::initializer_list<int32_t> list) {
  LoadKnobSetB(fx.knobs);
  MeasureKnobTemplates(fx.knobs);
  UseOnly(fx.knobs, list);
}

// What routine B draws as a curve for the knob and mirror flag that the generator will give.
std::set<std::pair<int32_t, int32_t>> ExpectedCurve(TCutFixture& fx, uint8_t side, TIntPoint p1, TIntPoint p2) {
  TCutFixture ref(fx.level.ImageW, fx.level.ImageH, fx.level.TileS, fx.level.KnobS);
  ref.knobs = fx.knobs;
  ref.knobs.KnobTemplateImage = &*ref.templates;
  TRandom replay = fx.rng;
  const TKnobShape* shape;
  TFloatPoint pts[40], out[40];
  uint8_t knob;
  bool mirrored = false;
  PickKnob(ref.knobs, replay, shape, pts, knob, mirrored, true);
  TKnobFrame f;
  KnobFrameEnds(p1, p2, f);
  f.h = fx.level.KnobS;
  KnobFrameApex(fx.level.ImageW, fx.level.ImageH, side, f);
  TransformKnobPoints(f, side, *shape, pts, out);
  DrawCurve(*ref.map, out, shape->Count, kInk);
  SetDibPixel(*ref.map, Round(out[0].x), Round(out[0].y), kInk);
  return Pixels(ref, kInk);
}
}  // namespace

TEST(GridKnobEdge, EdgesOf20To48AreStampedAndLongerOrShorterOnesDrawnAsCurves) {
  for (int32_t n : {19, 20, 48, 49}) {
    for (uint8_t side : {0, 1}) {
      for (bool vertical : {false, true}) {
        TCutFixture fx(200, 200, 40, 7);
        fx.rng.RandSeed = 77 + n;
        UseSetB(fx, {0});
        const TIntPoint p1{60, 100}, p2 = vertical ? TIntPoint{60, 100 + n - 1} : TIntPoint{60 + n - 1, 100};
        const auto curve = ExpectedCurve(fx, side, p1, p2);
        TCutTarget t = fx.Target();
        DrawGridKnobEdge(t, 0, side, p2, p1, kInk);
        const auto drawn = Pixels(fx, kInk);
        const bool stamped = n >= 20 && n <= 48;
        EXPECT_EQ(drawn != curve, stamped) << n << " side " << int(side) << " vertical " << vertical;
        EXPECT_TRUE(drawn.count({p1.x, p1.y}) && drawn.count({p2.x, p2.y}));
        // Where the head lies: beyond the edge by at least half the knob's height.
        int32_t lo = 1000, hi = -1000;
        for (auto [x, y] : drawn) {
          const int32_t across = vertical ? x - p1.x : y - p1.y;
          lo = std::min(lo, across);
          hi = std::max(hi, across);
        }
        // Curves put side != 0 up (or right), side 0 down (or left). Stamped horizontal knobs
        // bulge the other way for the same side byte; stamped vertical ones agree with curves.
        bool positive = vertical ? side != 0 : side == 0;
        if (stamped && !vertical) positive = !positive;
        if (positive)
          EXPECT_GE(hi, 3) << n << " side " << int(side) << " vertical " << vertical;
        else
          EXPECT_LE(lo, -3) << n << " side " << int(side) << " vertical " << vertical;
      }
    }
  }
}

TEST(GridKnobEdge, UnknownKnobsAndOnePixelEdgesStillDrawTwice) {
  {  // a knob the loaded set does not hold: a straight edge, and still the two draws
    TCutFixture fx(100, 100, 40, 7);
    LoadKnobSetB(fx.knobs);
    UseOnly(fx.knobs, {10});
    TCutTarget t = fx.Target();
    DrawGridKnobEdge(t, 0, 1, {20, 30}, {60, 30}, kInk);
    const auto drawn = Pixels(fx, kInk);
    EXPECT_EQ(drawn.size(), 41u);
    EXPECT_TRUE(drawn.count({20, 30}) && drawn.count({60, 30}));
    TBoundsRect bounds;
    EXPECT_FALSE(
        DrawKnobEdge(t, 1, 1, 10, false, {20, 50}, {60, 50}, kInk, -1.0, -1.0, -1, bounds, {0, 0}, {kNoReference, 0}));
    EXPECT_FALSE(
        DrawKnobEdge(t, 1, 1, 200, false, {20, 50}, {60, 50}, kInk, -1.0, -1.0, -1, bounds, {0, 0}, {kNoReference, 0}));
    EXPECT_EQ(Pixels(fx, kInk).size(), 41u);
  }
  {  // equal ends: the pixel, and still the two draws
    TCutFixture fx(100, 100, 40, 7);
    UseSetB(fx, {0});
    fx.rng.RandSeed = 5;
    TRandom replay{5};
    replay.Random(1);
    replay.Random(2);
    TCutTarget t = fx.Target();
    DrawGridKnobEdge(t, 0, 1, {30, 30}, {30, 30}, kInk);
    EXPECT_EQ(Pixels(fx, kInk), (std::set<std::pair<int32_t, int32_t>>{{30, 30}}));
    EXPECT_EQ(fx.rng.RandSeed, replay.RandSeed);
  }
}

TEST(KnobEdge, DrawsOnlyWhatPassedTheCheckAndReportsEveryUndrawnEdge) {
  TCutFixture fx(200, 200, 40, 7);
  LoadKnobSetA(fx.knobs);
  TCutTarget t = fx.Target();
  TBoundsRect bounds;
  const TIntPoint none{kNoReference, 0}, q{-500, -900};
  // Zero length, zero room: nothing drawn, so the caller must draw something itself.
  EXPECT_FALSE(DrawKnobEdge(t, 1, 1, 0, false, {50, 50}, {50, 50}, kInk, -1.0, -1.0, -1, bounds, q, none));
  EXPECT_FALSE(DrawKnobEdge(t, 1, 1, 0, false, {50, 50}, {120, 50}, kInk, 0.0, 30.0, -1, bounds, q, none));
  EXPECT_EQ(fx.CountColor(kInk), 0);
  // Full height (room not limited): the head of A0 reaches Baseline * L / EndX above the edge.
  EXPECT_TRUE(DrawKnobEdge(t, 1, 1, 0, false, {50, 100}, {177, 100}, kInk, -1.0, 10.0, -1, bounds, q, none));
  int32_t top = 1000;
  for (auto [x, y] : Pixels(fx, kInk)) top = std::min(top, y);
  EXPECT_EQ(top, 100 - 31);         // h = Baseline: the crown, y = 0 of the shape, 31 above the edge
  EXPECT_EQ(fx.At(50, 100), kInk);  // the first point, which no polyline covers
  // Checked against the line just drawn: the same knob again fails and draws nothing.
  const int32_t before = fx.CountColor(PieceColor(75));
  EXPECT_FALSE(DrawKnobEdge(t, 1, 1, 0, false, {50, 100}, {177, 100}, PieceColor(75), -1.0, -1.0, 2, bounds, q, none));
  EXPECT_EQ(fx.CountColor(PieceColor(75)), before);
  EXPECT_NE(bounds.Left, 10000);
  // Limited room shrinks the knob; flags bit 0 clear uses the knob margin.
  TCutFixture fy(200, 200, 40, 7);
  LoadKnobSetA(fy.knobs);
  TCutTarget u = fy.Target();
  EXPECT_TRUE(DrawKnobEdge(u, 1, 1, 0, false, {20, 100}, {147, 100}, kInk, 16.0, 30.0, 2, bounds, q, none));
  EXPECT_TRUE(DrawKnobEdge(u, 0, 0, 0, false, {20, 160}, {147, 160}, kInk, -1.0, -1.0, -1, bounds, q, none));
  int32_t top1 = 1000, bottom2 = -1000;
  for (auto [x, y] : Pixels(fy, kInk)) {
    if (y < 130) top1 = std::min(top1, y);
    if (y > 130) bottom2 = std::max(bottom2, y);
  }
  EXPECT_GE(top1, 100 - 16);  // up + 1 > R1 = 16: fitted under the room
  EXPECT_LE(top1, 100 - 12);
  EXPECT_EQ(bottom2, 160 + 7);  // side 0: down by the knob margin
}

// The template picture names its colours by the key pixels at (4, 5..8); each length's column
// is searched from the top for its first mark, within that length only.
TEST(KnobTemplates, MeasuredFromTheKeyPixelsAndEachColumnsFirstMark) {
  TDibHolder img;
  ASSERT_TRUE(CreateDib8(*img, kTemplateImageWidth, kTemplateImageHeight));
  for (int32_t y = 0; y < kTemplateImageHeight; ++y)
    for (int32_t x = 0; x < kTemplateImageWidth; ++x) *DibPixelAddress(*img, x, y) = 7;
  const uint8_t keys[4] = {7, 30, 31, 32};
  for (int32_t i = 0; i < 4; ++i) *DibPixelAddress(*img, 4, 5 + i) = keys[i];
  // Length index k, the row of its mark (-1 none), the base row measured.
  const int32_t marks[][3] = {{0, 0, 0},   {1, 20, 20}, {2, 22, 0},   {3, 21, 21},
                              {5, 10, 10}, {28, 48, 0}, {27, 46, 46}, {6, -1, 0}};
  for (const auto& m : marks)
    if (m[1] >= 0) *DibPixelAddress(*img, TemplateColumn(m[0]), m[1]) = 30;
  *DibPixelAddress(*img, TemplateColumn(5), 11) = 31;  // only the first mark counts
  TKnobState knobs;
  knobs.KnobTemplateImage = &*img;
  ASSERT_TRUE(MeasureKnobTemplates(knobs));
  EXPECT_EQ(knobs.TemplateBackground, 7);
  EXPECT_EQ(knobs.TemplateLineA, 30);
  EXPECT_EQ(knobs.TemplateLineB, 31);
  EXPECT_EQ(knobs.TemplateStop, 32);
  for (const auto& m : marks) EXPECT_EQ(knobs.KnobTemplateBaseRows[m[0]], m[2]) << "length index " << m[0];
  // A picture too small or not of one byte a pixel measures nothing and leaves no stale rows.
  TDibHolder small, wide;
  ASSERT_TRUE(CreateDib8(*small, kTemplateImageWidth - 1, kTemplateImageHeight));
  ASSERT_TRUE(CreateDib24(*wide, kTemplateImageWidth, kTemplateImageHeight));
  for (TDibImage* bad : {&*small, &*wide}) {
    knobs.KnobTemplateImage = bad;
    EXPECT_FALSE(MeasureKnobTemplates(knobs));
    EXPECT_EQ(knobs.KnobTemplateBaseRows[1], 0);
    EXPECT_EQ(knobs.TemplateLineA, 0);
    knobs.KnobTemplateImage = &*img;
    ASSERT_TRUE(MeasureKnobTemplates(knobs));
  }
  TDibHolder shortPicture;
  ASSERT_TRUE(CreateDib8(*shortPicture, kTemplateImageWidth, kTemplateImageHeight - 1));
  knobs.KnobTemplateImage = &*shortPicture;
  EXPECT_FALSE(MeasureKnobTemplates(knobs));
}

// Room of exactly the knob's extent plus one pixel is still room enough: the knob keeps its
// full height on either side. Only less room than that scales it down.
TEST(KnobEdge, RoomOfTheExtentPlusOneKeepsTheFullKnob) {
  auto draw = [](double roomA, double roomB) {
    TCutFixture fx(260, 200, 40, 7);
    LoadKnobSetA(fx.knobs);
    TCutTarget t = fx.Target();
    TBoundsRect bounds;
    const TKnobShape& s = fx.knobs.KnobShapes[0];
    // An edge exactly EndX long, so the extents are the shape's own.
    EXPECT_TRUE(DrawKnobEdge(t, 1, 1, 0, false, {20, 100}, {20 + s.EndX, 100}, kInk, roomA, roomB, -1, bounds,
                             {-500, -900}, {kNoReference, 0}));
    return Pixels(fx, kInk);
  };
  TCutFixture probe(260, 200, 40, 7);
  LoadKnobSetA(probe.knobs);
  const TKnobShape& s = probe.knobs.KnobShapes[0];
  ASSERT_LT(20 + s.EndX, 260);
  ASSERT_GT(s.ExtentAbove, 0);
  ASSERT_GT(s.ExtentBelow, 0);
  const auto full = draw(1000.0, 1000.0);
  EXPECT_EQ(draw(s.ExtentAbove + 1.0, 1000.0), full);
  EXPECT_EQ(draw(1000.0, s.ExtentBelow + 1.0), full);
  EXPECT_NE(draw(1000.0, s.ExtentBelow + 0.5), full);
  EXPECT_NE(draw(s.ExtentAbove + 0.5, 1000.0), full);
}

// A damaged shape (too few or too many points, no width or no height) is refused whole: the
// edge is not drawn, whatever else about the shape looks right.
TEST(KnobEdge, DamagedShapesDrawNothing) {
  struct TCase {
    const char* Name;
    int32_t Count, EndX, Baseline;
  };
  TCutFixture probe(260, 200, 40, 7);
  LoadKnobSetA(probe.knobs);
  const TKnobShape good = probe.knobs.KnobShapes[0];
  ASSERT_GE(good.Count, 4);
  for (const TCase& c :
       {TCase{"no width", good.Count, 0, good.Baseline}, TCase{"no height", good.Count, good.EndX, 0},
        TCase{"three points", 3, good.EndX, good.Baseline}, TCase{"forty-one points", 41, good.EndX, good.Baseline}}) {
    TCutFixture fx(260, 200, 40, 7);
    LoadKnobSetA(fx.knobs);
    TKnobShape& s = fx.knobs.KnobShapes[0];
    s.Count = c.Count;
    s.EndX = c.EndX;
    s.Baseline = c.Baseline;
    TCutTarget t = fx.Target();
    TBoundsRect bounds;
    EXPECT_FALSE(DrawKnobEdge(t, 1, 1, 0, false, {20, 100}, {20 + good.EndX, 100}, kInk, 1000.0, 1000.0, -1, bounds,
                              {-500, -900}, {kNoReference, 0}))
        << c.Name;
    EXPECT_TRUE(Pixels(fx, kInk).empty()) << c.Name;
  }
  // The untouched shape on the same edge draws: the refusals above are the damage's doing.
  TCutTarget t = probe.Target();
  TBoundsRect bounds;
  EXPECT_TRUE(DrawKnobEdge(t, 1, 1, 0, false, {20, 100}, {20 + good.EndX, 100}, kInk, 1000.0, 1000.0, -1, bounds,
                           {-500, -900}, {kNoReference, 0}));
  EXPECT_FALSE(Pixels(probe, kInk).empty());
}

// The frame of a knob on an edge: the ends in order whichever way the edge is given (the upper
// one first on a steep edge, else the left one), the head h from the middle on the side's side,
// pulled back two pixels inside a picture side it would pass, and a shape's points mapped so
// that its ends land on the edge's ends and its peak on the head.
TEST(KnobFrame, EndsInOrderHeadOnItsSideAndPulledBackInsideThePicture) {
  for (const auto& [p1, p2, s] : {std::tuple{TIntPoint{3, 9}, TIntPoint{7, 1}, TIntPoint{7, 1}},  // steep
                                  std::tuple{TIntPoint{3, 9}, TIntPoint{9, 6}, TIntPoint{3, 9}},
                                  std::tuple{TIntPoint{3, 9}, TIntPoint{7, 5}, TIntPoint{3, 9}},  // 45 degrees
                                  std::tuple{TIntPoint{5, 5}, TIntPoint{5, 5}, TIntPoint{5, 5}}}) {
    for (const auto& [a, b] : {std::pair{p1, p2}, std::pair{p2, p1}}) {
      TKnobFrame f;
      KnobFrameEnds(a, b, f);
      const TIntPoint e = s.x == p1.x && s.y == p1.y ? p2 : p1;
      EXPECT_TRUE(f.S.x == s.x && f.S.y == s.y && f.E.x == e.x && f.E.y == e.y) << a.x << "," << a.y;
      EXPECT_TRUE(f.M.x == (s.x + e.x) / 2 && f.M.y == (s.y + e.y) / 2);
      EXPECT_DOUBLE_EQ(f.L, std::hypot(e.x - s.x, e.y - s.y));
      EXPECT_DOUBLE_EQ(f.L == 0 ? 0.0 : std::hypot(f.ux, f.uy), f.L == 0 ? 0.0 : 1.0);
    }
  }
  // A shape whose ends lie on its baseline and whose peak is over its middle.
  TKnobShape shape{};
  shape.Count = 3, shape.EndX = 10, shape.Baseline = 8;
  shape.Points[0] = {0, 8}, shape.Points[1] = {5, 0}, shape.Points[2] = {10, 8};
  constexpr int32_t W = 100, H = 80;
  const struct {
    TIntPoint p1, p2;
    uint8_t side;
    double h;
    TIntPoint head;
    bool clipped;
  } cases[] = {
      {{40, 10}, {60, 10}, 1, 10, {50, 0}, false},
      {{40, 10}, {60, 10}, 1, 11, {50, 2}, true},
      {{40, 69}, {60, 69}, 0, 10, {50, 79}, false},
      {{40, 69}, {60, 69}, 0, 11, {50, 78}, true},
      {{10, 30}, {10, 50}, 0, 10, {0, 40}, false},
      {{10, 30}, {10, 50}, 0, 11, {2, 40}, true},
      {{89, 30}, {89, 50}, 1, 10, {99, 40}, false},
      {{89, 30}, {89, 50}, 1, 11, {98, 40}, true},
      {{40, 10}, {60, 10}, 0, 11, {50, 21}, false},  // the other side of an edge near the top
      {{89, 30}, {89, 50}, 0, 11, {78, 40}, false},
      {{30, 30}, {50, 50}, 1, 20, {54, 26}, false},  // a diagonal: the head square to the edge
  };
  for (const auto& c : cases) {
    TKnobFrame f;
    KnobFrameEnds(c.p1, c.p2, f);
    f.h = c.h;
    KnobFrameApex(W, H, c.side, f);
    const std::string at = std::to_string(c.p1.x) + "," + std::to_string(c.p1.y) + " h " + std::to_string(c.h);
    EXPECT_TRUE(f.T.x == c.head.x && f.T.y == c.head.y) << at << ": " << f.T.x << "," << f.T.y;
    EXPECT_EQ(f.Clipped, c.clipped) << at;
    EXPECT_NEAR(f.h, std::hypot(f.T.x - f.M.x, f.T.y - f.M.y), c.clipped ? 1e-9 : 0.5) << at;
    TFloatPoint out[3];
    TransformKnobPoints(f, c.side, shape, shape.Points, out);
    EXPECT_NEAR(out[0].x, f.S.x, 1e-3) << at;
    EXPECT_NEAR(out[0].y, f.S.y, 1e-3) << at;
    EXPECT_NEAR(out[2].x, f.E.x, 1e-3) << at;
    EXPECT_NEAR(out[2].y, f.E.y, 1e-3) << at;
    EXPECT_NEAR(out[1].x, f.T.x, 0.75) << at;
    EXPECT_NEAR(out[1].y, f.T.y, 0.75) << at;
  }
}

// A knob with too little room on both sides of its edge shrinks to the tighter of the two: it
// stays inside both and reaches nearly to the tighter one, whichever side that is.
TEST(KnobEdge, TooLittleRoomOnBothSidesShrinksToTheTighter) {
  TCutFixture probe(260, 200, 40, 7);
  LoadKnobSetA(probe.knobs);
  const TKnobShape& s = probe.knobs.KnobShapes[0];
  const double up = s.ExtentAbove, down = s.ExtentBelow;
  for (const auto& [roomA, roomB] : {std::pair{up * 0.5, down * 0.8}, std::pair{up * 0.8, down * 0.5},
                                     std::pair{up * 0.6, down * 0.6 + 2}, std::pair{up * 0.9, down}}) {
    TCutFixture fx(260, 200, 40, 7);
    LoadKnobSetA(fx.knobs);
    TCutTarget t = fx.Target();
    TBoundsRect bounds;
    // Side 1 on a level edge: the head rises, into roomA.
    ASSERT_TRUE(DrawKnobEdge(t, 1, 1, 0, false, {20, 100}, {20 + s.EndX, 100}, kInk, roomA, roomB, -1, bounds,
                             {-500, -900}, {kNoReference, 0}));
    int32_t above = 0, below = 0;
    for (const auto& [x, y] : Pixels(fx, kInk)) above = std::max(above, 100 - y), below = std::max(below, y - 100);
    const std::string what = std::to_string(roomA) + " / " + std::to_string(roomB);
    EXPECT_LT(above, roomA) << what;
    EXPECT_LT(below, roomB) << what;
    EXPECT_GT(std::max(above / roomA, below / roomB), 0.75) << what;  // shrunk no further than needed
  }
}

// A stamped knob on an edge by the map's border draws what it draws away from the borders, less
// the pixels beyond the map: on each of the four borders, for knobs of the set on both sides,
// at the template's shortest and longest edges.
TEST(GridKnobEdge, StampsByTheMapsBorderKeepTheirPixelsInsideIt) {
  constexpr int32_t kShift = 60;
  int32_t stamps = 0, beyond[4] = {};  // pixels left out past the left, top, right, bottom
  for (int32_t n : {20, 48}) {
    for (int32_t knob : {0, 6}) {
      for (uint8_t side : {0, 1}) {
        for (const bool vertical : {false, true}) {
          for (int32_t at : {0, 59}) {
            TCutFixture near(55, 55, 40, 7), far(175, 175, 40, 7);
            const int32_t size = near.map->Width;  // 60, square
            for (TCutFixture* f : {&near, &far}) {
              UseSetB(*f, {knob});
              f->level.ImageW = f->level.ImageH = 1000;  // no head passes the right or the bottom
              f->rng.RandSeed = uint32_t(17 * n + knob);
            }
            const TIntPoint p1 = vertical ? TIntPoint{at, 7} : TIntPoint{7, at};
            const TIntPoint p2 = vertical ? TIntPoint{at, 7 + n - 1} : TIntPoint{7 + n - 1, at};
            TKnobFrame frame;
            KnobFrameEnds(p1, p2, frame);
            frame.h = near.level.KnobS;
            KnobFrameApex(near.level.ImageW, near.level.ImageH, side, frame);
            if (frame.Clipped) continue;  // a head beyond the picture's top or left: drawn as a curve
            ++stamps;
            TCutTarget tn = near.Target(), tf = far.Target();
            DrawGridKnobEdge(tn, 0, side, p1, p2, kInk);
            DrawGridKnobEdge(tf, 0, side, {p1.x + kShift, p1.y + kShift}, {p2.x + kShift, p2.y + kShift}, kInk);
            std::set<std::pair<int32_t, int32_t>> want;
            for (const auto& [fx, fy] : Pixels(far, kInk)) {
              const int32_t x = fx - kShift, y = fy - kShift;
              beyond[0] += x < 0, beyond[1] += y < 0, beyond[2] += x >= size, beyond[3] += y >= size;
              if (x >= 0 && y >= 0 && x < size && y < size) want.insert({x, y});
            }
            ASSERT_EQ(Pixels(near, kInk), want) << "length " << n << " knob " << knob << " side " << int(side)
                                                << (vertical ? " vertical at x " : " level at y ") << at;
          }
        }
      }
    }
  }
  EXPECT_EQ(stamps, 2 * 2 * 6);
  for (int32_t b = 0; b < 4; ++b) {
    EXPECT_GT(beyond[b], 0) << "border " << b;
  }
}
