#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "platform/bitmap.h"
#include "platform/metafile.h"
#include "support/file_bytes.h"

namespace {

using TPts = std::vector<std::pair<int32_t, int32_t>>;

TMetafile Make(int32_t w, int32_t h, const std::function<void(TMetafileWriter&)>& body, int32_t left = 0,
               int32_t top = 0) {
  TMetafileWriter writer(w, h, left, top);
  body(writer);
  const std::vector<uint8_t> bytes = writer.Finish();
  TMetafile mf;
  EXPECT_TRUE(MetafileFromBytes(bytes.data(), bytes.size(), mf));
  return mf;
}

// The points of every poly record, in order.
TPts Points(TMetafile& mf) {
  TPts out;
  EnumMetafile(mf, [&](uint32_t type, uint8_t* rec, uint32_t) {
    const bool wide = type == kMfPolygon || type == kMfPolylineTo || type == kMfPolyBezierTo;
    if (!wide && type != kMfPolygon16) return;
    uint32_t count;
    std::memcpy(&count, rec + 24, 4);
    for (uint32_t i = 0; i < count && wide; ++i) {
      int32_t xy[2];
      std::memcpy(xy, rec + 28 + 8 * i, 8);
      out.emplace_back(xy[0], xy[1]);
    }
    for (uint32_t i = 0; i < count && type == kMfPolygon16; ++i) {
      int16_t xy[2];
      std::memcpy(xy, rec + 28 + 4 * i, 4);
      out.emplace_back(xy[0], xy[1]);
    }
  });
  return out;
}

struct TCanvas {
  TPlatformBitmap* B;
  TCanvas(int w, int h) : B(CreatePlatformBitmap(w, h, 24)) {
    std::memset(B->Pixels, 255, size_t(B->AllocatedStride) * h);
  }
  ~TCanvas() { DestroyPlatformBitmap(B); }
  uint32_t At(int x, int y) const {
    const uint8_t* p = B->Pixels + (B->Height - 1 - y) * B->AllocatedStride + 3 * x;
    return p[2] | (p[1] << 8) | (p[0] << 16);
  }
  std::set<std::pair<int, int>> NonWhite() const {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < B->Height; ++y)
      for (int x = 0; x < B->Width; ++x)
        if (At(x, y) != 0xFFFFFF) s.insert({x, y});
    return s;
  }
};

const TPts kTriangle = {{2, 1}, {17, 5}, {6, 18}};

TEST(Metafile, WellFormedBlobsLoadAndBrokenOnesAreRefused) {
  TMetafileWriter writer(20, 20);
  writer.CreatePen(0x123456);
  writer.Polygon(kTriangle);
  const std::vector<uint8_t> good = writer.Finish();
  TMetafile mf;
  ASSERT_TRUE(MetafileFromBytes(good.data(), good.size(), mf));
  EXPECT_EQ(MetafileSize(mf).W + MetafileSize(mf).H, 40);

  // The header counts what follows it: every record with the header and the end, and the
  // handles with the metafile's own slot 0.
  uint32_t records = 0;
  EnumMetafile(mf, [&](uint32_t, uint8_t*, uint32_t) { ++records; });
  EXPECT_EQ(Int32At(good, 52), int32_t(records));
  EXPECT_EQ(records, 5u);  // header, pen, select, polygon, end
  EXPECT_EQ(Int32At(good, 56), 2);

  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_FALSE(MetafileFromBytes(good.data(), cut, mf)) << cut;  // every truncation, even between records
  }
  auto patched = [&](size_t at, int32_t v) {
    std::vector<uint8_t> b = good;
    std::memcpy(b.data() + at, &v, 4);
    return b;
  };
  const size_t pen = kMfWriterHeaderSize, poly = kMfWriterHeaderSize + 28 + 12;
  const std::vector<std::vector<uint8_t>> bad = {
      patched(4, 0),                // header of size 0 would never advance
      patched(pen + 4, 0),          // a later record of size 0
      patched(pen + 4, 6),          // below the record minimum
      patched(pen + 4, 4000),       // past the blob
      patched(poly + 24, 1000000),  // more points than the record holds
      patched(poly + 24, -1),       // a count that wraps
      patched(0, kMfPolygon),       // no header first
      patched(pen, kMfHeader),      // a second header
      patched(16, -1),              // empty drawing (the bounds are inclusive)
      patched(20, kMfMaxSide),      // absurd drawing
      patched(8, 20),               // drawing that ends before it starts
      patched(32, -1),              // empty frame
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    TMetafile untouched;
    EXPECT_FALSE(MetafileFromBytes(bad[i].data(), bad[i].size(), untouched)) << i;
    EXPECT_TRUE(untouched.Bytes.empty());
  }
}

// Every record must hold its fixed fields: a point record its bounds, count and every point
// it counts; a move or line its point; a colour record its colour; anything else its type and
// size. Each kind with every length round its minimum, and the kinds either side of each range.
TEST(Metafile, EachKindIsAcceptedExactlyWhenItHoldsItsFields) {
  struct Kind {
    uint32_t Type, Minimum, PointSize;
  };
  const Kind kinds[] = {{2, 28, 8},  {3, 28, 8},  {4, 28, 8},  {5, 28, 8},  {6, 28, 8},  {7, 8, 0},
                        {84, 8, 0},  {85, 28, 4}, {86, 28, 4}, {87, 28, 4}, {88, 28, 4}, {89, 8, 0},
                        {27, 16, 0}, {54, 16, 0}, {26, 8, 0},  {15, 20, 0}, {24, 12, 0}, {25, 12, 0},
                        {38, 28, 0}, {39, 20, 0}, {53, 20, 0}, {95, 44, 0}, {94, 8, 0}};
  for (const Kind& k : kinds)
    for (int32_t words = 0; words <= 9; ++words)
      for (int32_t count = 0; count <= 3; ++count) {
        TMetafileWriter writer(20, 20);
        std::vector<int32_t> fields(size_t(words), 0);
        if (words > 4) fields[4] = count;
        writer.Record(k.Type, fields);
        const std::vector<uint8_t> bytes = writer.Finish();
        const uint32_t size = 8 + 4 * uint32_t(words);
        const bool holds =
            size >= k.Minimum && (k.PointSize == 0 || words < 5 || 28 + uint32_t(count) * k.PointSize <= size);
        TMetafile mf;
        EXPECT_EQ(MetafileFromBytes(bytes.data(), bytes.size(), mf), holds)
            << "type " << k.Type << ", " << words << " words, count " << count;
      }
}

// Bounds and frame may lie anywhere within their limits, at either end; one step beyond is refused.
TEST(Metafile, ExtentsAreAcceptedUpToTheirLimitsOnBothSides) {
  TMetafileWriter writer(20, 20);
  writer.Polygon(kTriangle);
  const std::vector<uint8_t> good = writer.Finish();
  struct TCase {
    size_t At;  // of the low edge; the high edge is 8 bytes on
    int64_t Lo, Count;
    bool Loads;
  };
  const TCase cases[] = {
      {8, -kMfMaxSide, 20, true},        {8, -kMfMaxSide - 1, 20, false},    {12, -kMfMaxSide, 20, true},
      {12, -kMfMaxSide - 1, 20, false},  {8, kMfMaxSide, 20, true},          {12, kMfMaxSide + 1, 20, false},
      {8, 0, kMfMaxSide, true},          {12, -5, kMfMaxSide + 1, false},    {24, -kMfMaxFrame, 500, true},
      {28, -kMfMaxFrame, 500, true},     {24, -kMfMaxFrame - 1, 500, false}, {28, 7, kMfMaxFrame, true},
      {28, kMfMaxFrame + 1, 500, false}, {24, 0, kMfMaxFrame + 1, false},
  };
  for (const TCase& c : cases) {
    std::vector<uint8_t> b = good;
    const int32_t lo = int32_t(c.Lo), hi = int32_t(c.Lo + c.Count - 1);
    std::memcpy(b.data() + c.At, &lo, 4);
    std::memcpy(b.data() + c.At + 8, &hi, 4);
    TMetafile mf;
    ASSERT_EQ(MetafileFromBytes(b.data(), b.size(), mf), c.Loads) << c.At << " " << c.Lo << " " << c.Count;
    if (!c.Loads) continue;
    const TMetafileSize size = MetafileSize(mf);
    const int32_t count = c.At == 8 ? size.W : c.At == 12 ? size.H : c.At == 24 ? size.MW : size.MH;
    EXPECT_EQ(count, c.Count);
    if (c.At == 8) {
      EXPECT_EQ(size.Left, c.Lo);
    }
    if (c.At == 12) {
      EXPECT_EQ(size.Top, c.Lo);
    }
  }
}

TEST(Metafile, RecolourReachesEveryColourFieldAndNothingElse) {
  TMetafile mf = Make(20, 20, [](TMetafileWriter& w) {
    w.CreatePen(1);
    w.CreateBrush(2);
    w.Record(kMfSetPixel, {3, 4, 5});
    w.Record(kMfSetTextColour, {6});
    w.Record(kMfSetBackColour, {7});
    w.Record(kMfExtFloodFill, {1, 1, 8, 0});
    w.Record(kMfExtCreatePen, {0, 0, 0, 0, 0, 0, 0, 0, 9});
    w.Polygon(kTriangle);
  });
  const TPts before = Points(mf);
  RecolorMetafile(mf, 0x00AABBCC);
  int colours = 0;
  EnumMetafile(mf, [&](uint32_t type, uint8_t* rec, uint32_t) {
    if (uint32_t off = MetafileColourOffset(type)) {
      uint32_t c;
      std::memcpy(&c, rec + off, 4);
      EXPECT_EQ(c, 0x00AABBCCu) << type;
      ++colours;
    }
  });
  EXPECT_EQ(colours, 7);
  EXPECT_EQ(Points(mf), before);
}

TEST(Metafile, MirrorReflectsPointsAndTwiceRestoresThem) {
  TMetafile mf = Make(20, 30, [](TMetafileWriter& w) {
    w.Polygon(kTriangle);
    w.Polygon16({{1, 2}, {3, 29}, {19, 0}});
    w.Record(kMfPolylineTo, {0, 0, 0, 0, 1, 5, 5});  // a kind the walk leaves alone
    w.Poly(kMfPolyBezierTo, {{4, 6}, {7, 8}, {9, 10}}, true);
  });
  const std::vector<uint8_t> original = mf.Bytes;
  MirrorMetafile(mf, false, false);
  EXPECT_EQ(mf.Bytes, original);  // the header's sizes are rewritten with the same values

  MirrorMetafile(mf, true, false);
  const TPts lr = Points(mf);
  EXPECT_EQ(lr[0], std::make_pair(20 - 2 - 1, 1));
  EXPECT_EQ(lr[3], std::make_pair(20 - 1 - 1, 2));  // the 16-bit polygon too
  EXPECT_EQ(lr[6], std::make_pair(5, 5));           // poly line-to untouched
  EXPECT_EQ(lr[7], std::make_pair(20 - 4 - 1, 6));  // curves from the current position move
  MirrorMetafile(mf, true, false);
  EXPECT_EQ(mf.Bytes, original);

  MirrorMetafile(mf, false, true);
  EXPECT_EQ(Points(mf)[1], std::make_pair(17, 30 - 5 - 1));
  MirrorMetafile(mf, false, true);
  EXPECT_EQ(mf.Bytes, original);

  // A drawing of 13 x 13 pixels from (100, 50) is reflected across its own middle.
  TMetafile away = Make(
      13, 13,
      [](TMetafileWriter& w) {
        w.Polygon({{100, 50}, {104, 60}, {112, 62}});
      },
      100, 50);
  MirrorMetafile(away, true, true);
  EXPECT_EQ(Points(away), (TPts{{112, 62}, {108, 52}, {100, 50}}));
}

TEST(Metafile, RotationTurnsAboutTheCentreAndGrowsTheDrawing) {
  TMetafile mf = Make(20, 10, [](TMetafileWriter& w) {
    w.Polygon({{0, 0}, {19, 0}, {19, 9}, {0, 9}});
    w.Record(kMfMoveTo, {4, 7});
  });
  const std::vector<uint8_t> original = mf.Bytes;
  int32_t w = 0, h = 0;
  RotateMetafile(mf, 0, w, h);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(20, 10));
  EXPECT_EQ(mf.Bytes, original);
  RotateMetafile(mf, 90, w, h);  // a quarter turn swaps the sides
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(10, 20));
  EXPECT_EQ(MetafileSize(mf).W, 10);
  // y down, positive angles turn clockwise: the top-left corner lands top right.
  EXPECT_EQ(Points(mf), (TPts{{9, 0}, {9, 19}, {0, 19}, {0, 0}}));

  TMetafile away = Make(
      20, 10,
      [](TMetafileWriter& wr) {
        wr.Polygon({{100, 50}, {119, 50}, {119, 59}, {100, 59}});
      },
      100, 50);
  RotateMetafile(away, 90, w, h);  // about its own centre, staying where it starts
  EXPECT_EQ(Points(away), (TPts{{109, 50}, {109, 69}, {100, 69}, {100, 50}}));

  TMetafile turned = Make(40, 40, [](TMetafileWriter& wr) { wr.Polygon(kTriangle); });
  RotateMetafile(turned, 29, w, h);
  EXPECT_GT(w, 40);  // a diagonal turn needs more room
  EXPECT_EQ(w, h);
}

TEST(Metafile, PlaybackFillsAndOutlinesWithTheSamePixelsForAnyColour) {
  TMetafile mf = Make(20, 20, [](TMetafileWriter& w) {
    w.CreatePen(0x000080);
    w.CreateBrush(0x000080);
    w.Polygon(kTriangle);
  });
  TCanvas a(60, 60), b(60, 60);
  PlayMetafile(mf, *a.B, 5, 7, 40, 40, {0, 0, 59, 59});
  RecolorMetafile(mf, 0xFFFFFE);
  PlayMetafile(mf, *b.B, 5, 7, 40, 40, {0, 0, 59, 59});
  const auto pa = a.NonWhite(), pb = b.NonWhite();
  EXPECT_EQ(pa, pb);
  for (const auto& [x, y] : pa) {
    EXPECT_EQ(a.At(x, y), 0x000080u);
    EXPECT_EQ(b.At(x, y), 0xFFFFFEu);
    EXPECT_TRUE(x >= 5 && x < 45 && y >= 7 && y < 47);  // inside the target rectangle
  }
  // Stretched vertices: source pixel u lands on floor((2u + 1) * 40 / (2 * 20)) = 2u + 1.
  EXPECT_EQ(a.At(5 + 5, 7 + 3), 0x000080u);
  EXPECT_EQ(a.At(5 + 35, 7 + 11), 0x000080u);
  EXPECT_EQ(a.At(5 + 13, 7 + 37), 0x000080u);
  EXPECT_EQ(a.At(5 + 4, 7 + 3), 0xFFFFFFu);

  // The painted set is 4-closed: a 4-connected walk from outside never reaches the inside.
  std::vector<std::vector<char>> seen(60, std::vector<char>(60, 0));
  std::vector<std::pair<int, int>> stack = {{0, 0}};
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (x < 0 || y < 0 || x >= 60 || y >= 60 || seen[y][x] || a.At(x, y) != 0xFFFFFF) continue;
    seen[y][x] = 1;
    stack.insert(stack.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
  }
  int white = 0, reached = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      white += a.At(x, y) == 0xFFFFFF;
      reached += seen[y][x];
    }
  EXPECT_EQ(white, reached);  // no enclosed white pixel either
}

// Laid out as a system writer records them: a drawing at (100, 50), inclusive bounds, pens and
// brushes selected by handle, curves and paths. Played at its own size, (u, v) lands on pixel
// (u - 100, v - 50).
TEST(Metafile, PlaybackDrawsCurvesPathsAndTheSelectedObjects) {
  for (const uint32_t type : {kMfPolyBezier, kMfPolyBezier16}) {
    TMetafile curve = Make(
        13, 13,
        [&](TMetafileWriter& w) {
          w.CreatePen(0x0000FF);
          w.CreatePen(0x00FF00);
          w.CreateBrush(0x0000FF);  // an open curve is never filled
          w.Poly(type, {{100, 50}, {100, 62}, {112, 62}, {112, 50}}, type == kMfPolyBezier);
        },
        100, 50);
    TCanvas c(13, 13);
    PlayMetafile(curve, *c.B, 0, 0, 13, 13, {0, 0, 12, 12});
    const auto painted = c.NonWhite();
    for (const auto& [x, y] : painted) EXPECT_EQ(c.At(x, y), 0x00FF00u) << type << ": " << x << "," << y;
    for (const auto& p : TPts{{0, 0}, {6, 9}, {12, 0}, {2, 6}, {10, 6}}) EXPECT_TRUE(painted.count(p)) << type;
    EXPECT_LT(painted.size(), 40u);  // a line, not an area
  }

  // An arch: a line up, a curve over, a line down, closed and filled without an outline. Its
  // control points lie inside the bounds, as a system writer's bounds include them.
  for (const uint32_t type : {kMfPolyBezierTo, kMfPolyBezierTo16}) {
    TMetafile arch = Make(
        13, 13,
        [&](TMetafileWriter& w) {
          w.CreateBrush(0x800000);
          w.Record(kMfSelectObject, {int32_t(kMfNullPen)});
          w.Record(kMfBeginPath, {});
          w.Record(kMfMoveTo, {100, 62});
          w.Record(kMfLineTo, {100, 58});
          w.Poly(type, {{100, 50}, {112, 50}, {112, 58}}, type == kMfPolyBezierTo);
          w.Record(kMfLineTo, {112, 62});
          w.Record(kMfCloseFigure, {});
          w.Record(kMfEndPath, {});
          w.Record(kMfFillPath, {100, 50, 112, 62});
        },
        100, 50);
    TCanvas a(13, 13);
    PlayMetafile(arch, *a.B, 0, 0, 13, 13, {0, 0, 12, 12});
    for (const auto& [x, y] : a.NonWhite()) EXPECT_EQ(a.At(x, y), 0x800000u) << type;
    EXPECT_EQ(a.At(6, 3), 0x800000u) << type;  // under the top of the curve (y 52)
    EXPECT_EQ(a.At(6, 1), 0xFFFFFFu) << type;
    EXPECT_EQ(a.At(6, 11), 0x800000u) << type;
    EXPECT_EQ(a.At(0, 0), 0xFFFFFFu) << type;  // outside the curve's corner
    EXPECT_EQ(a.At(12, 1), 0xFFFFFFu) << type;
    EXPECT_GT(a.NonWhite().size(), 100u) << type;
  }
}

// A record of several curves draws what one record per curve draws, each curve starting where
// the last one ended; points short of a whole curve at the end draw nothing.
TEST(Metafile, ARecordOfSeveralCurvesDrawsEachOfThem) {
  const TPts chain = {{1, 20}, {4, 1}, {12, 1}, {15, 20}, {18, 38}, {30, 38}, {34, 4}, {38, 30}, {2, 2}};
  for (const uint32_t type : {kMfPolyBezier, kMfPolyBezier16}) {
    const auto play = [&](const std::vector<TPts>& records) {
      TMetafile mf = Make(40, 40, [&](TMetafileWriter& w) {
        w.CreatePen(0x00FF00);
        for (const TPts& r : records) w.Poly(type, r, type == kMfPolyBezier);
      });
      TCanvas c(40, 40);
      PlayMetafile(mf, *c.B, 0, 0, 40, 40, {0, 0, 39, 39});
      return c.NonWhite();
    };
    const TPts first(chain.begin(), chain.begin() + 4), second(chain.begin() + 3, chain.begin() + 7);
    const auto apart = play({first, second});
    EXPECT_GT(apart.size(), play({first}).size() + 20) << type;  // the second curve adds its own line
    EXPECT_EQ(play({TPts(chain.begin(), chain.begin() + 7)}), apart) << type;
    EXPECT_EQ(play({TPts(chain.begin(), chain.begin() + 9)}), apart) << type;
  }
}

TEST(Metafile, PlaybackStaysInsideTheClipAndTheBitmap) {
  TMetafile mf = Make(10, 10, [](TMetafileWriter& w) {
    w.CreateBrush(0);
    w.Polygon({{0, 0}, {9, 0}, {9, 9}, {0, 9}});
  });
  TCanvas c(30, 30);
  PlayMetafile(mf, *c.B, -10, -10, 60, 60, {3, 4, 20, 21});
  const auto painted = c.NonWhite();
  EXPECT_EQ(painted.size(), size_t(18 * 18));
  for (const auto& [x, y] : painted) {
    EXPECT_TRUE(x >= 3 && x <= 20 && y >= 4 && y <= 21);
  }
  // A clip wider than the bitmap: the bitmap shows what a larger one shows of the same
  // drawing, the fill's rows cut at its edges, above and below.
  for (const int32_t top : {-25, 10}) {
    TCanvas d(30, 30), large(100, 100);
    PlayMetafile(mf, *d.B, -10, top, 60, 50, {-5, -5, 100, 100});
    PlayMetafile(mf, *large.B, 20, top + 30, 60, 50, {0, 0, 99, 99});
    EXPECT_GT(d.NonWhite().size(), 500u);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) ASSERT_EQ(d.At(x, y), large.At(x + 30, y + 30)) << x << "," << y;
  }
}

// Turning is geometry a player sees on every piece: four quarter turns give the drawing back,
// half a turn of an even-sided drawing is its reflection both ways, and turns keep the points
// of 16-bit records and of moves with those of 32-bit ones.
TEST(Metafile, TurnsComposeLikeTheGeometry) {
  struct TCase {
    int32_t W, H, Left, Top;
  };
  for (const TCase& c : {TCase{20, 10, 0, 0}, TCase{12, 12, 100, 50}, TCase{8, 14, -30, 7}}) {
    SCOPED_TRACE(c.W * 1000 + c.H);
    const auto body = [&](TMetafileWriter& w) {
      w.Polygon({{c.Left, c.Top}, {c.Left + c.W - 1, c.Top + 2}, {c.Left + 3, c.Top + c.H - 1}});
      w.Polygon16({{c.Left + 1, c.Top}, {c.Left + c.W - 2, c.Top + c.H - 1}, {c.Left, c.Top + 1}});
      w.Record(kMfMoveTo, {c.Left + 5, c.Top + 1});
    };
    TMetafile turned = Make(c.W, c.H, body, c.Left, c.Top);
    const std::vector<uint8_t> original = turned.Bytes;
    int32_t w = 0, h = 0;
    for (int i = 0; i < 4; ++i) RotateMetafile(turned, 90, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.W, c.H)) << "the size after the last quarter turn";
    EXPECT_EQ(turned.Bytes, original);

    TMetafile half = Make(c.W, c.H, body, c.Left, c.Top), mirrored = Make(c.W, c.H, body, c.Left, c.Top);
    RotateMetafile(half, 180, w, h);
    MirrorMetafile(mirrored, true, true);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.W, c.H));
    EXPECT_EQ(half.Bytes, mirrored.Bytes);
    RotateMetafile(half, -90, w, h);
    RotateMetafile(half, 270, w, h);
    EXPECT_EQ(half.Bytes, original) << "a quarter turn back and three on";
  }
}

}  // namespace

namespace {

// The records a system writer leaves in a shape, each played alone on white at the drawing's
// own size (a drawing at (100, 50): (u, v) lands on (u - 100, v - 50)); the pixels that tell
// what each one does. Pen 0x00FF00 green, brush 0x000080 dark red.
TEST(Metafile, EachRecordKindPlaysAsTheSystemDrawsIt) {
  using TBody = std::function<void(TMetafileWriter&)>;
  constexpr uint32_t kWhite = 0xFFFFFF, kPen = 0x00FF00, kBrush = 0x000080, kOther = 0xFF0000;
  const TBody square = [](TMetafileWriter& w) {
    w.Record(kMfMoveTo, {102, 52});
    w.Record(kMfLineTo, {110, 52});
    w.Record(kMfLineTo, {110, 60});
    w.Record(kMfLineTo, {102, 60});
  };
  const TBody box = [](TMetafileWriter& w) { w.Polygon({{102, 52}, {110, 52}, {110, 60}, {102, 60}}); };
  // A brush and the extended pen of a style: a box filled and outlined by them.
  const auto extPenBox = [box](int32_t style) {
    return TBody([box, style](TMetafileWriter& w) {
      w.CreateBrush(kBrush);
      w.Record(kMfExtCreatePen, {7, 0, 0, 0, 0, style, 1, 0, int32_t(kOther)});
      w.Record(kMfSelectObject, {7});
      box(w);
    });
  };
  const TBody path = [square](TMetafileWriter& w) {
    w.CreatePen(kPen);
    w.CreateBrush(kBrush);
    w.Record(kMfBeginPath, {});
    square(w);
  };
  const struct {
    const char* what;
    TBody body;
    std::vector<std::tuple<int, int, uint32_t>> pixels;
  } cases[] = {
      {"a curve from the current position stays open and the next line starts at its end",
       [](TMetafileWriter& w) {
         w.CreatePen(kPen);
         w.Record(kMfMoveTo, {100, 62});
         w.Poly(kMfPolyBezierTo, {{100, 50}, {112, 50}, {112, 62}}, true);
         w.Record(kMfLineTo, {106, 62});
       },
       {{0, 12, kPen}, {6, 3, kPen}, {9, 12, kPen}, {3, 12, kWhite}}},
      {"a curve's points past its last whole curve are left out",
       [](TMetafileWriter& w) {
         w.CreatePen(kPen);
         w.Poly(kMfPolyBezier, {{100, 62}, {100, 50}, {112, 50}, {112, 62}, {100, 56}, {106, 56}}, true);
       },
       {{0, 12, kPen}, {6, 3, kPen}, {12, 12, kPen}, {3, 6, kWhite}, {9, 9, kWhite}}},
      {"a pixel record paints its one pixel",
       [](TMetafileWriter& w) {
         w.Record(kMfSetPixel, {103, 54, int32_t(kOther)});
       },
       {{3, 4, kOther}, {4, 4, kWhite}, {3, 5, kWhite}}},
      {"a solid extended pen outlines the fill", extPenBox(0), {{6, 6, kBrush}, {6, 10, kOther}, {6, 2, kOther}}},
      {"an extended pen of style 5 outlines nothing", extPenBox(5), {{6, 6, kBrush}, {6, 10, kWhite}, {2, 10, kWhite}}},
      {"a deleted pen cannot be selected again",
       [](TMetafileWriter& w) {
         w.CreatePen(kPen);
         w.CreatePen(kOther);
         w.Record(kMfDeleteObject, {1});
         w.Record(kMfSelectObject, {1});
         w.Polyline({{100, 56}, {112, 56}});
       },
       {{6, 6, kOther}}},
      {"stock pens and brushes, an unknown stock object ignored",
       [box](TMetafileWriter& w) {
         w.Record(kMfSelectObject, {int32_t(kMfBlackPen)});
         w.Record(kMfSelectObject, {int32_t(kMfStockObject | 2)});
         w.Record(kMfSelectObject, {int32_t(kMfStockObject | 9)});
         box(w);
       },
       {{6, 6, 0x808080}, {6, 2, 0}, {10, 6, 0}}},
      {"a stroked path is outlined only, open figures left open",
       [path](TMetafileWriter& w) {
         path(w);
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokePath, {100, 50, 112, 62});
       },
       {{6, 2, kPen}, {10, 6, kPen}, {6, 10, kPen}, {2, 6, kWhite}, {6, 6, kWhite}}},
      {"a closed figure is stroked all round",
       [path](TMetafileWriter& w) {
         path(w);
         w.Record(kMfCloseFigure, {});
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokePath, {100, 50, 112, 62});
       },
       {{2, 6, kPen}, {6, 6, kWhite}}},
      {"stroke and fill fills and closes every figure",
       [path](TMetafileWriter& w) {
         path(w);
         w.Record(kMfEndPath, {});
         w.Record(kMfStrokeAndFillPath, {100, 50, 112, 62});
       },
       {{6, 6, kBrush}, {6, 2, kPen}, {2, 6, kPen}}},
      {"a path not yet ended draws nothing, an aborted one is forgotten",
       [path, square](TMetafileWriter& w) {
         path(w);
         w.Record(kMfStrokeAndFillPath, {100, 50, 112, 62});
         w.Record(kMfAbortPath, {});
         w.Record(kMfFillPath, {100, 50, 112, 62});
       },
       {{6, 6, kWhite}, {6, 2, kWhite}, {2, 6, kWhite}}},
  };
  for (const auto& c : cases) {
    TMetafile mf = Make(13, 13, c.body, 100, 50);
    TCanvas canvas(13, 13);
    PlayMetafile(mf, *canvas.B, 0, 0, 13, 13, {0, 0, 12, 12});
    for (const auto& [x, y, colour] : c.pixels) EXPECT_EQ(canvas.At(x, y), colour) << c.what << " at " << x << "," << y;
  }
}

}  // namespace

namespace {

// A drawing of a single pixel plays; an empty target rectangle, a target that is not 24-bit or
// a metafile never loaded draw nothing.
TEST(Metafile, PlaybackNeedsATargetRectangleA24BitBitmapAndADrawing) {
  TMetafile dot = Make(1, 1, [](TMetafileWriter& w) { w.Record(kMfSetPixel, {0, 0, 0x0000FF}); });
  TCanvas one(4, 4);
  PlayMetafile(dot, *one.B, 2, 1, 1, 1, {0, 0, 3, 3});
  EXPECT_EQ(one.NonWhite(), (std::set<std::pair<int, int>>{{2, 1}}));
  for (const auto& [w, h] : {std::pair{0, 4}, {4, 0}, {-4, 4}, {4, -4}}) {
    TCanvas c(4, 4);
    PlayMetafile(dot, *c.B, 0, 0, w, h, {0, 0, 3, 3});
    EXPECT_TRUE(c.NonWhite().empty()) << w << " x " << h;
  }
  TCanvas never(4, 4);
  PlayMetafile(TMetafile{}, *never.B, 0, 0, 4, 4, {0, 0, 3, 3});
  EXPECT_TRUE(never.NonWhite().empty());
  TPlatformBitmap* wide = CreatePlatformBitmap(4, 4, 32);
  std::memset(wide->Pixels, 0x55, size_t(wide->AllocatedStride) * 4);
  PlayMetafile(dot, *wide, 0, 0, 4, 4, {0, 0, 3, 3});
  for (int i = 0; i < wide->AllocatedStride * 4; ++i) EXPECT_EQ(wide->Pixels[i], 0x55) << i;
  DestroyPlatformBitmap(wide);
}

}  // namespace
