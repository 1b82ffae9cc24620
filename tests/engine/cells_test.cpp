#include <gtest/gtest.h>

#include <cmath>
#include <memory>
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
      pts.push_back({c * cell + 1 + int32_t(rng.Random(uint32_t(cell - 2))), r * cell + 1 + int32_t(rng.Random(uint32_t(cell - 2)))});
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
      {{0, 0}, {10, 0}, {3, 5}, {3, 0}, 5},
      {{10, 0}, {0, 0}, {3, -5}, {3, 0}, 5},
      {{0, 0}, {8, 6}, {-2, 11}, {4, 3}, 10},
      {{8, 6}, {0, 0}, {-2, 11}, {4, 3}, 10},
      {{0, 0}, {8, 6}, {-10, 5}, {-4, -3}, 10},
      {{0, 0}, {8, 6}, {18, 1}, {12, 9}, 10},
      {{5, 5}, {5, 25}, {-7, 9}, {5, 9}, 12},
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
