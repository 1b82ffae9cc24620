#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/cells.h"
#include "foundation/random.h"

namespace {

TLevelRecord Level(int32_t w, int32_t h, int32_t tile, int32_t px, int32_t py, int32_t border, int32_t shape) {
  TLevelRecord l{};
  l.ImageW = w;
  l.ImageH = h;
  l.TileS = tile;
  l.KnobS = 7;
  l.TilePX = px;
  l.TilePY = py;
  l.TileNum = px * py;
  l.BorderStyle = TBorderStyle(border);
  l.ShapeStyle = TShapeStyle(shape);
  l.JigsL = l.JigsT = border ? 20 : 0;
  l.JigsR = w - l.JigsL - 1;
  l.JigsB = h - l.JigsT - 1;
  return l;
}

TEST(LayoutCells, CodesAndTheShapePattern) {
  const TLevelRecord l = Level(600, 600, 100, 6, 6, 0, 3);
  std::vector<TPieceRecord> p(36);
  LayoutCells(l, p.data());
  EXPECT_EQ(p[4 * 6 + 5].Code, 50);
  EXPECT_EQ(p[4 * 6 + 5].Code2, 4);
  std::vector<int> flagged;
  for (int i = 0; i < 36; ++i) {
    if (p[size_t(i)].ShapeFlag) flagged.push_back(i);
  }
  EXPECT_EQ(flagged, (std::vector<int>{1 * 6 + 1, 1 * 6 + 3, 3 * 6 + 2, 3 * 6 + 4}));
  // Touching cells, diagonals included, never share a code.
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 6; ++c)
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
          const int rr = r + dr, cc = c + dc;
          if ((dr || dc) && rr >= 0 && rr < 6 && cc >= 0 && cc < 6) {
            EXPECT_NE(p[size_t(r * 6 + c)].Code, p[size_t(rr * 6 + cc)].Code);
          }
        }
  const TLevelRecord plain = Level(600, 600, 100, 6, 6, 0, 2);
  LayoutCells(plain, p.data());
  for (const auto& r : p) EXPECT_EQ(r.ShapeFlag, 0);
}

// On grids of many sizes, with and without a border: the cells tile the cut area without gap
// or overlap, their sizes differ by one at most with the larger ones first, and each piece is
// its cell grown by the knob size, cut to the cut area.
TEST(LayoutCells, CellsTileTheCutAreaAndPiecesAreCellsGrownByTheKnob) {
  TRandom rng{4};
  for (int32_t round = 0; round < 60; ++round) {
    const int32_t px = 1 + int32_t(rng.Random(6)), py = 1 + int32_t(rng.Random(6)), tile = 30 + int32_t(rng.Random(20));
    const int32_t border = int32_t(rng.Random(2));
    TLevelRecord l = Level(px * tile + 40 * border + int32_t(rng.Random(uint32_t(px * 3))),
                           py * tile + 40 * border + int32_t(rng.Random(uint32_t(py * 3))), tile, px, py, border, 2);
    l.KnobS = 3 + int32_t(rng.Random(8));
    std::vector<TPieceRecord> p(size_t(px * py));
    LayoutCells(l, p.data());
    const std::string where = std::to_string(round) + ": " + std::to_string(px) + " x " + std::to_string(py);
    std::vector<int32_t> cover(size_t(l.ImageW * l.ImageH), 0);
    for (int32_t r = 0; r < py; ++r)
      for (int32_t c = 0; c < px; ++c) {
        const TPieceRecord& q = p[size_t(r * px + c)];
        for (int32_t y = q.CellY; y < q.CellY + q.CellH; ++y)
          for (int32_t x = q.CellX; x < q.CellX + q.CellW; ++x)
            if (x >= 0 && y >= 0 && x < l.ImageW && y < l.ImageH) ++cover[size_t(y * l.ImageW + x)];
        EXPECT_LE(std::abs(q.CellW - p[0].CellW), 1) << where;
        EXPECT_LE(std::abs(q.CellH - p[0].CellH), 1) << where;
        EXPECT_LE(q.CellW, p[size_t(r * px + std::max(c - 1, 0))].CellW) << where;  // larger first
        EXPECT_LE(q.CellH, p[size_t(std::max(r - 1, 0) * px + c)].CellH) << where;
        const int32_t left = std::max(q.CellX - l.KnobS, l.JigsL), top = std::max(q.CellY - l.KnobS, l.JigsT);
        const int32_t right = std::min(q.CellX + q.CellW + l.KnobS, l.JigsR + 1);
        const int32_t bottom = std::min(q.CellY + q.CellH + l.KnobS, l.JigsB + 1);
        EXPECT_TRUE(q.PieceX == left && q.PieceY == top && q.PieceW == right - left && q.PieceH == bottom - top)
            << where << " piece " << r << "," << c;
      }
    int32_t wrong = 0;
    for (int32_t y = 0; y < l.ImageH; ++y)
      for (int32_t x = 0; x < l.ImageW; ++x) {
        const bool inside = x >= l.JigsL && x <= l.JigsR && y >= l.JigsT && y <= l.JigsB;
        wrong += cover[size_t(y * l.ImageW + x)] != (inside ? 1 : 0);
      }
    EXPECT_EQ(wrong, 0) << where;
  }
  // No columns or no rows: nothing is laid out (and nothing divided by zero).
  for (auto [px, py] : {std::pair{0, 3}, {3, 0}}) {
    std::vector<TPieceRecord> p(3);
    LayoutCells(Level(100, 100, 30, px, py, 0, 2), p.data());
    for (const TPieceRecord& q : p) EXPECT_TRUE(q.CellW == 0 && q.PieceW == 0 && q.Code == 0);
  }
}

struct TCells {
  std::unique_ptr<TCellRecord[]> Cells;
  int32_t N;
  explicit TCells(const std::vector<TIntPoint>& pts) : Cells(new TCellRecord[pts.size()]()), N(int32_t(pts.size())) {
    for (int32_t i = 0; i < N; ++i) {
      Cells[size_t(i)].SeedPoint = pts[size_t(i)];
      Cells[size_t(i)].PieceIndex = i;
    }
  }
};

std::vector<TIntPoint> JitteredGrid(uint32_t seed, int32_t cols, int32_t rows, int32_t cell) {
  TRandom rng{seed};
  std::vector<TIntPoint> pts;
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < cols; ++c)
      pts.push_back({c * cell + 1 + int32_t(rng.Random(uint32_t(cell - 2))),
                     r * cell + 1 + int32_t(rng.Random(uint32_t(cell - 2)))});
  return pts;
}

double Dist(double x, double y, TIntPoint p) { return std::hypot(x - p.x, y - p.y); }

TEST(BuildCells, SegmentsAreVoronoiEdgesSharedByBothCells) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    const int32_t cols = 3 + int32_t(seed % 7), rows = 2 + int32_t(seed % 5), cell = 37;
    const TCutArea area{0, 0, cols * cell - 1, rows * cell - 1};
    const auto pts = JitteredGrid(seed, cols, rows, cell);
    TCells c(pts);
    TCellBuilder b;
    std::string message;
    ASSERT_TRUE(BuildCells(b, c.Cells.get(), c.N, area, message)) << message;
    for (int32_t i = 0; i < c.N; ++i) {
      const TCellRecord& cell_i = c.Cells[size_t(i)];
      ASSERT_GE(cell_i.SegmentCount, 3) << seed << " " << i;
      EXPECT_GE(cell_i.CentreX, area.Left);
      EXPECT_LE(cell_i.CentreX, area.Right);
      for (int32_t s = 0; s < cell_i.SegmentCount; ++s) {
        const TCellSegment& g = cell_i.Segments[s];
        for (double x : {g.x1, g.x2}) EXPECT_TRUE(x >= area.Left - 1e-6 && x <= area.Right + 1e-6);
        for (double y : {g.y1, g.y2}) EXPECT_TRUE(y >= area.Top - 1e-6 && y <= area.Bottom + 1e-6);
        EXPECT_TRUE(g.y1 < g.y2 || (g.y1 == g.y2 && g.x1 <= g.x2));
        const double mx = (g.x1 + g.x2) / 2, my = (g.y1 + g.y2) / 2;
        if (g.NeighbourId == kBorderId) continue;
        // Equidistant to both seeds, and no other seed nearer.
        const TIntPoint other = pts[g.NeighbourId];
        EXPECT_NEAR(Dist(mx, my, pts[size_t(i)]), Dist(mx, my, other), 1e-6 * (1 + Dist(mx, my, other)));
        for (const TIntPoint& q : pts) EXPECT_GE(Dist(mx, my, q), Dist(mx, my, other) - 1e-6);
        // The neighbour has the same edge back.
        const TCellRecord& nb = c.Cells[g.NeighbourId];
        bool found = false;
        for (int32_t t = 0; t < nb.SegmentCount; ++t) {
          const TCellSegment& h = nb.Segments[t];
          found |= h.NeighbourId == i && std::fabs(h.x1 - g.x1) < 1e-6 && std::fabs(h.y1 - g.y1) < 1e-6 &&
                   std::fabs(h.x2 - g.x2) < 1e-6 && std::fabs(h.y2 - g.y2) < 1e-6;
        }
        EXPECT_TRUE(found) << seed << " cell " << i << " to " << g.NeighbourId;
      }
    }
  }
}

TEST(BuildCells, DegenerateSeedsFailWithTheMessage) {
  const TCutArea area{0, 0, 99, 99};
  TCellBuilder b;
  std::string message;
  TCells one({{10, 10}});
  EXPECT_FALSE(BuildCells(b, one.Cells.get(), one.N, area, message));
  EXPECT_EQ(message, kFirstEdgeFailedText);
  TCells two({{10, 10}, {50, 60}});
  EXPECT_FALSE(BuildCells(b, two.Cells.get(), two.N, area, message));
  EXPECT_EQ(message, kFirstEdgeFailedText);
  TCells line({{10, 10}, {20, 20}, {30, 30}, {40, 40}});
  EXPECT_FALSE(BuildCells(b, line.Cells.get(), line.N, area, message));
  EXPECT_EQ(message, kFirstEdgeFailedText);
  // A point ringed by more neighbours than a cell has room for.
  std::vector<TIntPoint> wheel = {{500, 500}};
  for (int i = 0; i < 26; ++i) {
    const double a = 2 * M_PI * i / 26;
    wheel.push_back({500 + int32_t(std::lround(300 * std::cos(a))), 500 + int32_t(std::lround(300 * std::sin(a)))});
  }
  TCells crowded(wheel);
  EXPECT_FALSE(BuildCells(b, crowded.Cells.get(), crowded.N, {0, 0, 999, 999}, message));
  EXPECT_FALSE(message.empty());
  // Three points are enough.
  TCells three({{10, 10}, {80, 20}, {40, 90}});
  EXPECT_TRUE(BuildCells(b, three.Cells.get(), three.N, area, message));
}

struct TMap {
  TDibHolder D;
  TMap(int w, int h) {
    CreateDib24(*D, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetDibPixel(*D, x, y, 0xFFFFFF);
  }
};

TEST(CellGeometry, WalkToWhite) {
  TMap m(20, 20);
  TIntPoint p;
  EXPECT_EQ(WalkToWhite(*m.D, {3, 3}, {10, 10}, p), 0);  // starts on white
  for (int x = 0; x < 8; ++x) SetDibPixel(*m.D, x, 5, 0x000080);
  EXPECT_EQ(WalkToWhite(*m.D, {2, 5}, {12, 5}, p), 1);
  EXPECT_EQ(p.x, 8);
  EXPECT_EQ(WalkToWhite(*m.D, {2, 5}, {7, 5}, p), -1);  // b itself is not read
  EXPECT_EQ(WalkToWhite(*m.D, {2, 5}, {2, 5}, p), -1);
  for (int i = 0; i < 6; ++i) SetDibPixel(*m.D, 2 + i, 2 + i, 0x000080);
  EXPECT_EQ(WalkToWhite(*m.D, {2, 2}, {12, 12}, p), 1);
  EXPECT_EQ(p.x, 8);
  EXPECT_EQ(p.y, 8);
}

TEST(CellGeometry, RemoveFrameNotchesTakesLonePixels) {
  TMap m(12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) SetDibPixel(*m.D, x, y, x < 6 ? 0x100080 : 0x200080);
  SetDibPixel(*m.D, 3, 4, 0x200080);  // a stray pixel inside the left region
  RemoveFrameNotches(*m.D, {0, 0, 11, 11});
  EXPECT_EQ(GetDibPixel(*m.D, 3, 4), 0x100080);
  EXPECT_EQ(GetDibPixel(*m.D, 6, 4), 0x200080);  // the straight border stays
  EXPECT_EQ(GetDibPixel(*m.D, 5, 4), 0x100080);
  // A two-pixel notch at the start of the top row loses its inner pixel; pixels outside the
  // area stay as they are even where they look like a notch.
  TMap n(12, 12);
  for (auto [x, y] : {std::pair{2, 2}, {3, 2}, {2, 1}}) SetDibPixel(*n.D, x, y, 0x300080);
  RemoveFrameNotches(*n.D, {2, 2, 9, 9});
  EXPECT_EQ(GetDibPixel(*n.D, 3, 2), 0xFFFFFF);
  EXPECT_EQ(GetDibPixel(*n.D, 2, 1), 0x300080);
}

// The foot of the perpendicular from x to the line through p and q, for points whose foot falls
// between, before or after the ends; |distance| is the length of that perpendicular.
TEST(CellGeometry, ProjectOnLineFindsThePerpendicularFoot) {
  struct TCase {
    TIntPoint p, q, x, foot;
    double distance;
  };
  const TCase cases[] = {
      {{0, 0}, {10, 0}, {3, 5}, {3, 0}, 5},     {{10, 0}, {0, 0}, {3, -5}, {3, 0}, 5},
      {{0, 0}, {8, 6}, {-2, 11}, {4, 3}, 10},   {{8, 6}, {0, 0}, {-2, 11}, {4, 3}, 10},
      {{0, 0}, {8, 6}, {-10, 5}, {-4, -3}, 10}, {{0, 0}, {8, 6}, {18, 1}, {12, 9}, 10},
      {{5, 5}, {5, 25}, {-7, 9}, {5, 9}, 12},   {{0, 0}, {8, 6}, {2, 14}, {8, 6}, 10},  // a right angle at q
      {{8, 6}, {0, 0}, {-6, 8}, {0, 0}, 10},    {{0, 5}, {10, 5}, {3, 5}, {3, 5}, 0},   // x on the line itself
      {{5, 0}, {5, 10}, {5, 7}, {5, 7}, 0},     {{0, 0}, {4, 2}, {6, 3}, {6, 3}, 0},
      {{0, 0}, {2, 4}, {3, 6}, {3, 6}, 0},
  };
  for (const TCase& c : cases) {
    double distance = -1;
    TIntPoint foot{-99, -99};
    ProjectOnLine(c.p, c.q, c.x, distance, foot);
    EXPECT_EQ(foot.x, c.foot.x) << c.x.x << "," << c.x.y;
    EXPECT_EQ(foot.y, c.foot.y) << c.x.x << "," << c.x.y;
    EXPECT_NEAR(std::abs(distance), c.distance, 1e-9) << c.x.x << "," << c.x.y;
  }
}

// Where two segments meet, against the exact parametric rule on small integer segments: the
// inclusive test takes touching ends, the strict one only crossings inside both.
TEST(CellGeometry, SegmentIntersectionFollowsTheParametricRule) {
  TRandom rng{77};
  const auto v = [&] { return double(int32_t(rng.Random(9)) - 4); };
  int32_t met[2] = {0, 0};
  for (int32_t k = 0; k < 4000; ++k) {
    const double x1 = v(), y1 = v(), x2 = v(), y2 = v(), x3 = v(), y3 = v(), x4 = v(), y4 = v();
    const int64_t d = int64_t((x2 - x1) * (y4 - y3) - (y2 - y1) * (x4 - x3));
    const int64_t tn = int64_t((y1 - y3) * (x4 - x3) - (x1 - x3) * (y4 - y3));
    const int64_t un = int64_t((y1 - y3) * (x2 - x1) - (x1 - x3) * (y2 - y1));
    // t = tn / d and u = un / d, compared with 0 and 1 without dividing.
    const auto within = [&](int64_t num, bool strict) {
      const int64_t a = d > 0 ? num : -num, b = d > 0 ? d : -d;
      return strict ? a > 0 && a < b : a >= 0 && a <= b;
    };
    for (bool inclusive : {true, false}) {
      const bool want = d != 0 && within(tn, !inclusive) && within(un, !inclusive);
      double x = 1e9, y = 1e9;
      ASSERT_EQ(SegmentIntersection(x, y, inclusive, x1, y1, x2, y2, x3, y3, x4, y4), want)
          << inclusive << " " << x1 << "," << y1 << " " << x2 << "," << y2 << " / " << x3 << "," << y3 << " " << x4
          << "," << y4;
      if (!want) continue;
      ++met[inclusive];
      const double t = double(tn) / double(d);
      EXPECT_NEAR(x, x1 + t * (x2 - x1), 1e-9);
      EXPECT_NEAR(y, y1 + t * (y2 - y1), 1e-9);
    }
  }
  EXPECT_GT(met[0], 100);
  EXPECT_GT(met[1], met[0]);  // touching ends are met by the inclusive test only
}

// The part of the line p + s (q - p) inside the rectangle, s within [lo, hi] (Liang-Barsky);
// 0 when it is empty, 1 when it is a single point, 2 for a piece of line.
int ClipOracle(const TCutArea& a, double px, double py, double qx, double qy, double lo, double hi, double& ax,
               double& ay, double& bx, double& by) {
  const double dx = qx - px, dy = qy - py;
  const double p[4] = {-dx, dx, -dy, dy}, q[4] = {px - a.Left, a.Right - px, py - a.Top, a.Bottom - py};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return 0;
    } else if (p[i] < 0) {
      lo = std::max(lo, q[i] / p[i]);
    } else {
      hi = std::min(hi, q[i] / p[i]);
    }
  }
  if (hi - lo < -1e-9) return 0;
  if (hi - lo < 1e-9) return 1;
  ax = px + lo * dx, ay = py + lo * dy, bx = px + hi * dx, by = py + hi * dy;
  OrderPoints(ax, ay, bx, by);
  return 2;
}

// The chord of a line and the clipped part of a segment are what the plain clipping rule gives,
// upper end first, for lines and segments that cross, touch, run along or miss the area.
TEST(CellGeometry, ClippingToTheCutAreaMatchesThePlainRule) {
  const TCutArea area{10, 20, 60, 50};
  TRandom rng{2027};
  const auto at = [&](int32_t n) { return double(rng.Random(uint32_t(n))); };
  int32_t chords = 0, stored = 0, refused = 0;
  for (int32_t k = 0; k < 6000; ++k) {
    double px = at(80), py = at(70), qx = at(80), qy = at(70);
    if (k % 5 == 0) qx = px;  // vertical and horizontal lines, some along a border
    if (k % 7 == 0) qy = py;
    // Lines through two corners, the end beyond each corner or only one, and lines that pass
    // a corner by less than the strict crossing test's margin.
    static constexpr double kCorners[][4] = {
        {0, 14, 70, 56}, {75, 59, 35, 35}, {65, 17, 5, 53}, {0, 14.0001, 70, 56.0001}, {5, 53.00005, 65, 17}};
    if (k < 5) px = kCorners[k][0], py = kCorners[k][1], qx = kCorners[k][2], qy = kCorners[k][3];
    if (px == qx && py == qy) continue;
    double ax, ay, bx, by;
    // A line that only touches a corner may go either way.
    const int line = ClipOracle(area, px, py, qx, qy, -1e9, 1e9, ax, ay, bx, by);
    double x1 = px, y1 = py, x2 = qx, y2 = qy;
    const bool got = ClipLineToCutArea(area, x1, y1, x2, y2);
    if (line != 1) {
      ASSERT_EQ(got, line == 2) << px << "," << py << " " << qx << "," << qy;
    }
    if (got && line == 2) {
      ++chords;
      EXPECT_NEAR(x1, ax, 1e-6) << px << "," << py << " " << qx << "," << qy;
      EXPECT_NEAR(y1, ay, 1e-6) << px << "," << py << " " << qx << "," << qy;
      EXPECT_NEAR(x2, bx, 1e-6) << px << "," << py << " " << qx << "," << qy;
      EXPECT_NEAR(y2, by, 1e-6) << px << "," << py << " " << qx << "," << qy;
    } else if (!got) {
      EXPECT_TRUE(x1 == px && y1 == py && x2 == qx && y2 == qy);
    }

    TCellRecord cell{};
    cell.SegmentCount = int32_t(k % 3);
    const int part = ClipOracle(area, px, py, qx, qy, 0, 1, ax, ay, bx, by);
    const bool added = AddCellSegment(area, cell, uint16_t(k % 50), px, py, qx, qy);
    if (part != 1) {
      ASSERT_EQ(added, part == 2) << px << "," << py << " " << qx << "," << qy;
    }
    EXPECT_EQ(cell.SegmentCount, int32_t(k % 3) + (added ? 1 : 0));
    if (!added) {
      ++refused;
      continue;
    }
    if (part != 2) continue;
    ++stored;
    const TCellSegment& s = cell.Segments[k % 3];
    EXPECT_NEAR(s.x1, ax, 1e-6) << px << "," << py << " " << qx << "," << qy;
    EXPECT_NEAR(s.y1, ay, 1e-6) << px << "," << py << " " << qx << "," << qy;
    EXPECT_NEAR(s.x2, bx, 1e-6) << px << "," << py << " " << qx << "," << qy;
    EXPECT_NEAR(s.y2, by, 1e-6) << px << "," << py << " " << qx << "," << qy;
    EXPECT_TRUE(s.rx1 == s.x1 && s.ry1 == s.y1 && s.rx2 == s.x2 && s.ry2 == s.y2);
    EXPECT_EQ(s.NeighbourId, k % 50);
    EXPECT_TRUE(s.TwinCell == -1 && s.TwinSlot == -1 && s.Valid == 1 && s.Repaired == 0);
    EXPECT_TRUE(s.IdA == kNoShapeId && s.IdB == kNoShapeId);
  }
  EXPECT_GT(chords, 1000);
  EXPECT_GT(stored, 1000);
  EXPECT_GT(refused, 500);
  // A full cell takes nothing more; one short of full takes its last segment.
  TCellRecord cell{};
  cell.SegmentCount = kCellSegmentRoom - 1;
  EXPECT_TRUE(AddCellSegment(area, cell, 1, 20, 30, 40, 30));
  EXPECT_FALSE(AddCellSegment(area, cell, 1, 20, 30, 40, 30));
  EXPECT_EQ(cell.SegmentCount, kCellSegmentRoom);
}

// A ray is carried along its own line, never turned back or shortened, until it reaches the
// line of the side it heads for mostly (or, going straight along an axis, that side itself).
// The bisector of two points is a segment of equal distances through their middle.
TEST(CellGeometry, RaysReachTheSideTheyHeadForAndBisectorsLieHalfway) {
  const TCutArea area{10, 20, 60, 50};
  TRandom rng{4099};
  const auto at = [&](int32_t lo, int32_t hi) { return double(lo + int32_t(rng.Random(uint32_t(hi - lo + 1)))); };
  for (int32_t k = 0; k < 3000; ++k) {
    const double x1 = at(11, 59), y1 = at(21, 49);
    double x2 = k % 6 == 0 ? x1 : at(0, 70), y2 = k % 6 == 1 ? y1 : at(10, 60);
    const double ox = x2, oy = y2;
    ExtendRayToCutArea(area, x1, y1, x2, y2);
    SCOPED_TRACE(testing::Message() << x1 << "," << y1 << " to " << ox << "," << oy);
    const double dx = ox - x1, dy = oy - y1;
    if (dx == 0 && dy == 0) {
      EXPECT_TRUE(x2 == ox && y2 == oy);
      continue;
    }
    // On the ray, ahead of the start.
    EXPECT_NEAR((x2 - x1) * dy - (y2 - y1) * dx, 0, 1e-6 * (1 + std::fabs(dx) + std::fabs(dy)) * 100);
    EXPECT_GT((x2 - x1) * dx + (y2 - y1) * dy, 0);
    const bool mostlyDown = std::fabs(dx) <= std::fabs(dy);
    const double edge = mostlyDown ? (dy > 0 ? area.Bottom : area.Top) : (dx > 0 ? area.Right : area.Left);
    const double along = mostlyDown ? y2 : x2, before = mostlyDown ? oy : ox;
    const bool beyond =
        mostlyDown ? (dy > 0 ? before >= edge : before <= edge) : (dx > 0 ? before >= edge : before <= edge);
    if (dx == 0 || dy == 0 || !beyond) {
      EXPECT_NEAR(along, edge, 1e-9);
    } else {
      EXPECT_TRUE(x2 == ox && y2 == oy);
    }
    double bx1, by1, bx2, by2;
    const double ax = at(0, 70), ay = at(0, 70), cx = at(0, 70), cy = at(0, 70);
    if (ax == cx && ay == cy) continue;
    Bisector(bx1, by1, bx2, by2, ax, ay, cx, cy);
    EXPECT_TRUE(by1 < by2 || (by1 == by2 && bx1 <= bx2));
    EXPECT_NEAR((bx1 + bx2) / 2, (ax + cx) / 2, 1e-9);
    EXPECT_NEAR((by1 + by2) / 2, (ay + cy) / 2, 1e-9);
    for (auto [x, y] : {std::pair{bx1, by1}, {bx2, by2}}) {
      EXPECT_NEAR(std::hypot(x - ax, y - ay), std::hypot(x - cx, y - cy), 1e-9);
    }
    EXPECT_NEAR(std::hypot(bx2 - bx1, by2 - by1), 2 * std::hypot(cx - ax, cy - ay), 1e-9);
    // Orientation is the sign of the turn a -> c -> b.
    const TIntPoint a{int32_t(ax), int32_t(ay)}, b{int32_t(cx), int32_t(cy)};
    const TIntPoint o = k % 4 == 0 ? TIntPoint{2 * b.x - a.x, 2 * b.y - a.y} : TIntPoint{int32_t(ox), int32_t(oy)};
    const int64_t turn = (int64_t(b.x) - a.x) * (int64_t(o.y) - a.y) - (int64_t(b.y) - a.y) * (int64_t(o.x) - a.x);
    EXPECT_EQ(Orientation(a, b, o), turn > 0 ? -1 : turn < 0 ? 1 : 0);
  }
}

int64_t Cross(TIntPoint o, TIntPoint a, TIntPoint b) {
  return (int64_t(a.x) - o.x) * (int64_t(b.y) - o.y) - (int64_t(a.y) - o.y) * (int64_t(b.x) - o.x);
}

// Twice the area of the convex hull (monotone chain).
int64_t TwiceHullArea(std::vector<TIntPoint> p) {
  std::sort(p.begin(), p.end(), [](TIntPoint a, TIntPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
  std::vector<TIntPoint> h(2 * p.size());
  size_t k = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    while (k >= 2 && Cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  for (size_t i = p.size() - 1, t = k + 1; i-- > 0;) {
    while (k >= t && Cross(h[k - 2], h[k - 1], p[i]) <= 0) --k;
    h[k++] = p[i];
  }
  int64_t twice = 0;
  for (size_t i = 0; i + 1 < k; ++i) twice += Cross({0, 0}, h[i], h[i + 1]);
  return twice;
}

// The triangulation of the seed points: every triangle listed once in each of its three cells,
// no seed point inside any triangle's circumcircle, no two triangles overlapping, and together
// they cover the hull of the points. Jittered grids, and lattices where many points share a
// circle and the Delaunay triangles are not unique.
TEST(TriangulateSeedPoints, TrianglesAreDelaunayAndTileTheHull) {
  std::vector<std::vector<TIntPoint>> sets;
  for (uint32_t seed = 1; seed <= 6; ++seed)
    sets.push_back(JitteredGrid(seed, 3 + int32_t(seed % 4), 2 + int32_t(seed % 3), 23));
  for (int32_t cols : {3, 4}) {
    std::vector<TIntPoint> lattice;  // two rows: the short sides start the hull
    for (int32_t y = 0; y < 2; ++y)
      for (int32_t x = 0; x < cols; ++x) lattice.push_back({10 * x, 10 * y});
    sets.push_back(lattice);
  }
  sets.push_back({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {15, 7}});  // a hull edge with points along it
  for (const auto& pts : sets) {
    SCOPED_TRACE(testing::Message() << pts.size() << " points from " << pts[0].x << "," << pts[0].y);
    TCells c(pts);
    TCellBuilder b;
    std::string message;
    ASSERT_TRUE(TriangulateSeedPoints(b, c.Cells.get(), c.N, message)) << message;
    std::vector<std::array<int32_t, 3>> tris;
    for (int32_t i = 0; i < c.N; ++i) {
      const TCellRecord& cell = c.Cells[size_t(i)];
      for (int32_t t = 0; t < cell.TriangleCount; ++t) {
        const TCellTriangle& tri = cell.Triangles[t];
        const std::array<int32_t, 3> ids{tri.Cells[0], tri.Cells[1], tri.Cells[2]};
        ASSERT_TRUE(ids[0] < ids[1] && ids[1] < ids[2]);
        ASSERT_TRUE(ids[0] == i || ids[1] == i || ids[2] == i);
        for (int k = 0; k < 3; ++k) {
          EXPECT_TRUE(tri.Points[k].x == pts[size_t(ids[size_t(k)])].x &&
                      tri.Points[k].y == pts[size_t(ids[size_t(k)])].y);
          // The circumcentre is as far from every corner.
          EXPECT_NEAR(std::hypot(tri.CentreX - tri.Points[k].x, tri.CentreY - tri.Points[k].y),
                      std::hypot(tri.CentreX - tri.Points[0].x, tri.CentreY - tri.Points[0].y), 1e-6);
        }
        if (ids[0] == i) tris.push_back(ids);
      }
    }
    std::vector<std::array<int32_t, 3>> listed;
    for (int32_t i = 0; i < c.N; ++i)
      for (int32_t t = 0; t < c.Cells[size_t(i)].TriangleCount; ++t) {
        const int32_t* ids = c.Cells[size_t(i)].Triangles[t].Cells;
        listed.push_back({ids[0], ids[1], ids[2]});
      }
    EXPECT_EQ(listed.size(), 3 * tris.size());
    std::sort(tris.begin(), tris.end());
    EXPECT_TRUE(std::adjacent_find(tris.begin(), tris.end()) == tris.end());
    int64_t twice = 0;
    for (const auto& t : tris) {
      const TIntPoint a = pts[size_t(t[0])], p = pts[size_t(t[1])], q = pts[size_t(t[2])];
      const int64_t area = Cross(a, p, q);
      ASSERT_NE(area, 0);
      twice += std::llabs(area);
      EXPECT_EQ(std::count(listed.begin(), listed.end(), t), 3);
      // In-circle determinant, exact: nothing strictly inside.
      const int64_t sign = area > 0 ? 1 : -1;
      for (const TIntPoint& d : pts) {
        const auto row = [&](TIntPoint v) {
          const __int128 x = int64_t(v.x) - d.x, y = int64_t(v.y) - d.y;
          return std::array<__int128, 3>{x, y, x * x + y * y};
        };
        const auto r0 = row(a), r1 = row(p), r2 = row(q);
        const __int128 det = r0[0] * (r1[1] * r2[2] - r1[2] * r2[1]) - r0[1] * (r1[0] * r2[2] - r1[2] * r2[0]) +
                             r0[2] * (r1[0] * r2[1] - r1[1] * r2[0]);
        EXPECT_LE(det * sign, 0) << d.x << "," << d.y << " inside " << t[0] << " " << t[1] << " " << t[2];
      }
    }
    // Triangles whose areas add up to the hull's and that pairwise keep to either side of one
    // of their edges tile the hull.
    EXPECT_EQ(twice, TwiceHullArea(pts));
    for (size_t i = 0; i < tris.size(); ++i)
      for (size_t j = i + 1; j < tris.size(); ++j) {
        bool apart = false;
        for (const auto& [s, o] : {std::pair{tris[i], tris[j]}, {tris[j], tris[i]}})
          for (int e = 0; e < 3 && !apart; ++e) {
            const TIntPoint u = pts[size_t(s[size_t(e)])], w = pts[size_t(s[size_t((e + 1) % 3)])];
            const int64_t inner = Cross(u, w, pts[size_t(s[size_t((e + 2) % 3)])]);
            bool all = true;
            for (int32_t v : o) all &= Cross(u, w, pts[size_t(v)]) * inner <= 0;
            apart = all;
          }
        EXPECT_TRUE(apart) << "triangles " << i << " and " << j << " overlap";
      }
  }
}

// A point ringed by as many neighbours as a cell has room for triangles is built; one more
// neighbour is too many.
TEST(TriangulateSeedPoints, ACellTakesAsManyTrianglesAsItHasRoomFor) {
  for (int32_t rim : {kCellTriangleRoom, kCellTriangleRoom + 1}) {
    std::vector<TIntPoint> wheel = {{500, 500}};
    for (int32_t i = 0; i < rim; ++i) {
      const double a = 2 * M_PI * i / rim;
      wheel.push_back({500 + int32_t(std::lround(300 * std::cos(a))), 500 + int32_t(std::lround(300 * std::sin(a)))});
    }
    TCells c(wheel);
    TCellBuilder b;
    std::string message;
    const bool built = TriangulateSeedPoints(b, c.Cells.get(), c.N, message);
    EXPECT_EQ(built, rim == kCellTriangleRoom) << rim << ": " << message;
    if (built) {
      EXPECT_EQ(c.Cells[0].TriangleCount, rim);
    } else {
      EXPECT_EQ(message, "A cell has more triangles than it has room for.");
    }
  }
}

// Twice the area of a cell: the fan of its segments around its seed point (a Voronoi cell is
// convex and holds its seed).
double TwiceCellArea(const TCellRecord& cell) {
  double twice = 0;
  for (int32_t s = 0; s < cell.SegmentCount; ++s) {
    const TCellSegment& g = cell.Segments[s];
    twice += std::fabs((g.x1 - cell.SeedPoint.x) * (g.y2 - cell.SeedPoint.y) -
                       (g.y1 - cell.SeedPoint.y) * (g.x2 - cell.SeedPoint.x));
  }
  return twice;
}

// The cells tile the cut area: every cell a closed polygon (each corner the end of two of its
// segments), the border segments on the area's sides, and the areas adding up to the area's.
TEST(BuildCells, CellsAreClosedAndTileTheCutArea) {
  for (uint32_t seed = 20; seed <= 31; ++seed) {
    const int32_t cols = 3 + int32_t(seed % 4), rows = 3 + int32_t(seed % 3), cell = 31;
    const TCutArea area{5, 3, 5 + cols * cell - 1 + int32_t(seed % 3), 3 + rows * cell - 1};
    auto pts = JitteredGrid(seed, cols, rows, cell);
    for (TIntPoint& p : pts) p = {p.x + 5, p.y + 3};
    TCells c(pts);
    TCellBuilder b;
    std::string message;
    ASSERT_TRUE(BuildCells(b, c.Cells.get(), c.N, area, message)) << seed << " " << message;
    double total = 0;
    for (int32_t i = 0; i < c.N; ++i) {
      const TCellRecord& cl = c.Cells[size_t(i)];
      SCOPED_TRACE(testing::Message() << "seed " << seed << " cell " << i);
      total += TwiceCellArea(cl) / 2;
      double sx = 0, sy = 0;
      for (int32_t s = 0; s < cl.SegmentCount; ++s) {
        const TCellSegment& g = cl.Segments[s];
        sx += g.x1 + g.x2;
        sy += g.y1 + g.y2;
        for (auto [x, y] : {std::pair{g.x1, g.y1}, {g.x2, g.y2}}) {
          int32_t ends = 0;
          for (int32_t t = 0; t < cl.SegmentCount; ++t) {
            const TCellSegment& h = cl.Segments[t];
            ends += std::hypot(h.x1 - x, h.y1 - y) < 1e-6;
            ends += std::hypot(h.x2 - x, h.y2 - y) < 1e-6;
          }
          EXPECT_EQ(ends, 2) << x << "," << y;
        }
        if (g.NeighbourId != kBorderId) continue;
        const bool vertical = std::fabs(g.x1 - g.x2) < 1e-6, horizontal = std::fabs(g.y1 - g.y2) < 1e-6;
        EXPECT_TRUE((vertical && (std::fabs(g.x1 - area.Left) < 1e-6 || std::fabs(g.x1 - area.Right) < 1e-6)) ||
                    (horizontal && (std::fabs(g.y1 - area.Top) < 1e-6 || std::fabs(g.y1 - area.Bottom) < 1e-6)))
            << g.x1 << "," << g.y1 << " " << g.x2 << "," << g.y2;
      }
      // The centre is the mean of the segments' ends.
      EXPECT_NEAR(cl.CentreX, sx / cl.SegmentCount / 2, 1e-9);
      EXPECT_NEAR(cl.CentreY, sy / cl.SegmentCount / 2, 1e-9);
    }
    EXPECT_NEAR(total, double(area.Right - area.Left) * (area.Bottom - area.Top), 1e-6 * total) << seed;
  }
}

}  // namespace

// The grid search for each edge's apex finds what trying every seed point finds: the same
// segments in every cell.
TEST(BuildCells, GridSearchMatchesTryingEverySeed) {
  for (uint32_t seed = 3; seed <= 8; ++seed) {
    const int32_t cols = 2 + int32_t(seed % 5), rows = 2 + int32_t(seed % 4), cell = 41;
    const TCutArea area{0, 0, cols * cell - 1, rows * cell - 1};
    const auto pts = JitteredGrid(seed, cols, rows, cell);
    TCells searched(pts), exhaustive(pts);
    TCellBuilder b, e;
    e.ExhaustiveApexSearch = true;
    std::string message;
    ASSERT_TRUE(BuildCells(b, searched.Cells.get(), searched.N, area, message)) << message;
    ASSERT_TRUE(BuildCells(e, exhaustive.Cells.get(), exhaustive.N, area, message)) << message;
    for (int32_t i = 0; i < searched.N; ++i) {
      const TCellRecord &s = searched.Cells[size_t(i)], &x = exhaustive.Cells[size_t(i)];
      ASSERT_EQ(s.SegmentCount, x.SegmentCount) << seed << " cell " << i;
      ASSERT_GE(s.SegmentCount, 3) << seed << " cell " << i;
      for (int32_t k = 0; k < s.SegmentCount; ++k) {
        const TCellSegment &g = s.Segments[k], &h = x.Segments[k];
        EXPECT_EQ(g.NeighbourId, h.NeighbourId) << seed << " cell " << i;
        EXPECT_EQ(g.x1, h.x1);
        EXPECT_EQ(g.y1, h.y1);
        EXPECT_EQ(g.x2, h.x2);
        EXPECT_EQ(g.y2, h.y2);
      }
    }
  }
}
