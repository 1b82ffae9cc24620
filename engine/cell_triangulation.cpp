// The Delaunay triangulation of the seed points, grown edge by edge from a hull edge.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/cells.h"

namespace {

enum class TAdd { Added, Refused, Full };

uint64_t PairKey(int32_t lower, int32_t higher) { return (uint64_t(uint32_t(lower)) << 32) | uint32_t(higher); }

// Open-addressing set of cell pairs: the duplicate test of the edge list in O(1).
bool InsertPair(std::vector<uint64_t>& keys, uint64_t key) {
  const size_t mask = keys.size() - 1;
  size_t h = size_t((key * 0x9E3779B97F4A7C15ull) >> 17) & mask;
  for (;;) {
    if (keys[h] == key) return false;
    if (keys[h] == ~uint64_t(0)) {
      keys[h] = key;
      return true;
    }
    h = (h + 1) & mask;
  }
}

bool AddCellEdge(TCellBuilder& b, TIntPoint p, TIntPoint q, int32_t cellA, int32_t cellB, int32_t openSide,
                 bool check) {
  if (cellA > cellB) {
    std::swap(cellA, cellB);
    std::swap(p, q);
  }
  const bool fresh = InsertPair(b.EdgeKeys, PairKey(cellA, cellB));
  if (check && !fresh) return false;
  b.CellEdges.push_back({p.x, p.y, q.x, q.y, cellA, cellB, openSide});
  return true;
}

// The circumcentre by the slope formula, with the points taken in the first order whose first
// two sides are not vertical. False for collinear points (parallel sides), where it has none.
bool Circumcentre(const TIntPoint (&pts)[3], double& cx, double& cy) {
  static constexpr int kOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  for (const auto& o : kOrders) {
    const double x0 = pts[o[0]].x, y0 = pts[o[0]].y, x1 = pts[o[1]].x, y1 = pts[o[1]].y;
    const double x2 = pts[o[2]].x, y2 = pts[o[2]].y;
    if (x1 == x0 || x2 == x1) continue;
    const double ma = (y1 - y0) / (x1 - x0), mb = (y2 - y1) / (x2 - x1);
    if (mb == ma) return false;
    cx = (ma * mb * (y0 - y2) + mb * (x0 + x1) - ma * (x1 + x2)) / (2 * (mb - ma));
    if (ma != 0) {
      cy = -1 / ma * (cx - (x0 + x1) / 2) + (y0 + y1) / 2;
    } else {
      cy = -1 / mb * (cx - (x1 + x2) / 2) + (y1 + y2) / 2;
    }
    return std::isfinite(cx) && std::isfinite(cy);
  }
  return false;
}

TAdd AddTriangle(TCellRecord* cells, int32_t a, int32_t b, int32_t c) {
  int32_t ids[3] = {a, b, c};
  std::sort(ids, ids + 3);
  const TIntPoint pts[3] = {cells[ids[0]].SeedPoint, cells[ids[1]].SeedPoint, cells[ids[2]].SeedPoint};
  for (int32_t id : ids) {
    const TCellRecord& cell = cells[id];
    for (int32_t t = 0; t < cell.TriangleCount; ++t) {
      const TCellTriangle& tri = cell.Triangles[t];
      int32_t shared = 0, otherNew = -1, otherOld = -1;
      for (int32_t i = 0; i < 3; ++i) {
        const bool inOld = tri.Cells[0] == ids[i] || tri.Cells[1] == ids[i] || tri.Cells[2] == ids[i];
        shared += inOld;
        if (!inOld) otherNew = i;
      }
      if (shared == 3) return TAdd::Refused;
      if (shared != 2) continue;
      for (int32_t i = 0; i < 3; ++i) {
        if (tri.Cells[i] != ids[0] && tri.Cells[i] != ids[1] && tri.Cells[i] != ids[2]) otherOld = i;
      }
      TIntPoint e[2];
      int32_t k = 0;
      for (int32_t i = 0; i < 3; ++i) {
        if (i != otherNew) e[k++] = pts[i];
      }
      if (Orientation(e[0], e[1], tri.Points[otherOld]) == Orientation(e[0], e[1], pts[otherNew])) {
        return TAdd::Refused;
      }
    }
  }
  TCellTriangle tri{};
  if (!Circumcentre(pts, tri.CentreX, tri.CentreY)) return TAdd::Refused;
  for (int32_t id : ids) {
    if (cells[id].TriangleCount >= kCellTriangleRoom) return TAdd::Full;
  }
  for (int32_t i = 0; i < 3; ++i) {
    tri.Cells[i] = ids[i];
    tri.Points[i] = pts[i];
  }
  tri.LinkA = tri.LinkB = -1;
  for (int32_t id : ids) cells[id].Triangles[cells[id].TriangleCount++] = tri;
  return TAdd::Added;
}

// Seed points sorted into grid squares, so that the search for the point that sees an edge
// under the largest angle looks only where that point can be.
struct TPointGrid {
  int32_t MinX, MinY, Side, Cols, Rows;
  TCellBuilder& B;
  const TCellRecord* Cells;

  TPointGrid(TCellBuilder& b, const TCellRecord* cells, int32_t n) : B(b), Cells(cells) {
    int32_t maxX = cells[0].SeedPoint.x, maxY = cells[0].SeedPoint.y;
    MinX = maxX;
    MinY = maxY;
    for (int32_t i = 1; i < n; ++i) {
      MinX = std::min(MinX, cells[i].SeedPoint.x);
      MinY = std::min(MinY, cells[i].SeedPoint.y);
      maxX = std::max(maxX, cells[i].SeedPoint.x);
      maxY = std::max(maxY, cells[i].SeedPoint.y);
    }
    const double span = double(maxX - MinX + 1) * double(maxY - MinY + 1);
    Side = std::max<int32_t>(1, int32_t(std::ceil(std::sqrt(span / n))));
    Cols = (maxX - MinX) / Side + 1;
    Rows = (maxY - MinY) / Side + 1;
    B.Bucket.assign(size_t(Cols) * Rows + 1, 0);
    for (int32_t i = 0; i < n; ++i) ++B.Bucket[Index(cells[i].SeedPoint) + 1];
    for (size_t i = 1; i < B.Bucket.size(); ++i) B.Bucket[i] += B.Bucket[i - 1];
    B.BucketItems.assign(size_t(n), 0);
    B.BucketPoints.assign(size_t(n), TIntPoint{});
    std::vector<int32_t> fill(B.Bucket.begin(), B.Bucket.end() - 1);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t at = fill[Index(cells[i].SeedPoint)]++;
      B.BucketItems[size_t(at)] = i;
      B.BucketPoints[size_t(at)] = cells[i].SeedPoint;
    }
  }
  size_t Index(TIntPoint p) const { return size_t((p.y - MinY) / Side) * Cols + (p.x - MinX) / Side; }
  int32_t Col(double x) const { return std::clamp<int32_t>(int32_t(std::floor((x - MinX) / Side)), 0, Cols - 1); }
  int32_t Row(double y) const { return std::clamp<int32_t>(int32_t(std::floor((y - MinY) / Side)), 0, Rows - 1); }
  template <typename F>
  void Visit(int32_t col, int32_t row, F&& f) const {
    const size_t s = size_t(row) * Cols + col;
    for (int32_t i = B.Bucket[s]; i < B.Bucket[s + 1]; ++i) f(B.BucketItems[size_t(i)], B.BucketPoints[size_t(i)]);
  }
};

// The cell k on the open side of edge a-b that sees it under the largest angle (the first in
// index order among equals), or -1.
int32_t BestApex(const TPointGrid& grid, const TCellRecord* cells, int32_t a, int32_t b, int32_t side) {
  const TIntPoint pa = cells[a].SeedPoint, pb = cells[b].SeedPoint;
  long double best = -1000, bestCosine = 2;
  int32_t bestK = -1;
  auto consider = [&](int32_t k, TIntPoint pk) {
    if (k == a || k == b || Orientation(pa, pb, pk) != side) return;
    long double c;
    const bool legs = VertexCosine(pa, pk, pb, c);
    // A cosine clearly above the best one's is a clearly smaller angle: it can neither win nor
    // tie, and needs no arc cosine.
    if (legs && bestK >= 0 && c > bestCosine + 1e-12L) return;
    const long double angle = legs ? std::acos(c) : 0;
    if (angle > best || (angle == best && k < bestK)) {
      best = angle;
      bestK = k;
      bestCosine = legs ? c : 1;
    }
  };
  if (grid.B.ExhaustiveApexSearch) {
    for (int32_t k = 0; k < int32_t(grid.B.BucketItems.size()); ++k) consider(k, cells[k].SeedPoint);
    return bestK;
  }
  // Rings of squares around the edge's midpoint until a candidate turns up.
  const int32_t mc = grid.Col((pa.x + pb.x) / 2.0), mr = grid.Row((pa.y + pb.y) / 2.0);
  const int32_t maxRing = std::max({mc, mr, grid.Cols - 1 - mc, grid.Rows - 1 - mr});
  int32_t ring = 0;
  for (; ring <= maxRing && bestK < 0; ++ring) {
    for (int32_t r = mr - ring; r <= mr + ring; ++r) {
      if (r < 0 || r >= grid.Rows) continue;
      const bool edgeRow = r == mr - ring || r == mr + ring;
      for (int32_t c = mc - ring; c <= mc + ring; c += edgeRow ? 1 : 2 * ring) {
        if (c >= 0 && c < grid.Cols) grid.Visit(c, r, consider);
        if (ring == 0) break;
      }
    }
  }
  if (bestK < 0) return -1;
  // Every point that sees the edge under at least that angle lies in the disc through a, b
  // and the candidate: look at every square the disc touches.
  TIntPoint tri[3] = {pa, pb, cells[bestK].SeedPoint};
  double cx, cy;
  if (!Circumcentre(tri, cx, cy)) return bestK;
  const double radius = std::hypot(cx - pa.x, cy - pa.y) + 2.0;
  const int32_t c0 = grid.Col(cx - radius), c1 = grid.Col(cx + radius);
  const int32_t r0 = grid.Row(cy - radius), r1 = grid.Row(cy + radius);
  // The squares of the rings looked at already hold nothing new: a point seen again changes
  // nothing, as the largest angle (the lowest index among equals) wins in any order.
  const int32_t seen = ring - 1;
  for (int32_t r = r0; r <= r1; ++r) {
    for (int32_t c = c0; c <= c1; ++c) {
      if (std::abs(r - mr) <= seen && std::abs(c - mc) <= seen) continue;
      grid.Visit(c, r, consider);
    }
  }
  return bestK;
}

// First edge: a pair with every other point on one side (a convex-hull edge), the start of the
// edge list. False when no pair qualifies.
bool AddHullEdge(TCellBuilder& builder, const TCellRecord* cells, int32_t n) {
  int32_t first = -1, second = -1, openSide = 0;
  for (int32_t i = 0; i < n && first < 0; ++i) {
    for (int32_t j = i + 1; j < n; ++j) {
      bool seen = false, same = true;
      int32_t side = 0;
      for (int32_t k = 0; k < n && same; ++k) {
        if (k == i || k == j) continue;
        const int32_t o = Orientation(cells[i].SeedPoint, cells[j].SeedPoint, cells[k].SeedPoint);
        if (!seen) {
          side = o;
          seen = true;
        } else if (o != side) {
          same = false;
        }
      }
      if (same) {
        first = i;
        second = j;
        openSide = side;
        break;
      }
    }
  }
  if (first < 0) return false;
  AddCellEdge(builder, cells[first].SeedPoint, cells[second].SeedPoint, first, second, openSide, false);
  return true;
}

// Edge expansion: each edge of the growing list takes the triangle on its open side, whose two
// new edges join the list. False when a cell runs out of room or no triangle comes about.
bool GrowTriangles(TCellBuilder& builder, TCellRecord* cells, int32_t n, std::string& message) {
  const TPointGrid grid(builder, cells, n);
  int32_t triangles = 0;
  for (size_t e = 0; e < builder.CellEdges.size(); ++e) {
    const TCellEdge edge = builder.CellEdges[e];
    if (edge.OpenSide == 0) continue;  // points on one line: no triangle on either side
    const int32_t k = BestApex(grid, cells, edge.Lower, edge.Higher, edge.OpenSide);
    if (k < 0) continue;
    const TAdd added = AddTriangle(cells, edge.Lower, edge.Higher, k);
    if (added == TAdd::Full) {
      message = "A cell has more triangles than it has room for.";
      return false;
    }
    if (added == TAdd::Refused) continue;
    ++triangles;
    const TIntPoint pa = cells[edge.Lower].SeedPoint, pb = cells[edge.Higher].SeedPoint;
    const TIntPoint pk = cells[k].SeedPoint;
    const auto addSide = [&](int32_t c, TIntPoint pc, TIntPoint third) {
      const bool cFirst = c < k;
      const int32_t o = cFirst ? Orientation(pc, pk, third) : Orientation(pk, pc, third);
      AddCellEdge(builder, pc, pk, c, k, -o, true);
    };
    addSide(edge.Lower, pa, pb);
    addSide(edge.Higher, pb, pa);
  }
  if (triangles == 0) {
    message = kFirstEdgeFailedText;  // every seed point on one line
    return false;
  }
  return true;
}

}  // namespace

bool TriangulateSeedPoints(TCellBuilder& builder, TCellRecord* cells, int32_t n, std::string& message) {
  builder.CellEdges.clear();
  builder.CellEdges.reserve(size_t(std::max(n, 1)) * 3);
  size_t keyRoom = 16;
  while (keyRoom < size_t(std::max(n, 1)) * 8) keyRoom *= 2;
  builder.EdgeKeys.assign(keyRoom, ~uint64_t(0));
  if (!AddHullEdge(builder, cells, n)) {
    message = kFirstEdgeFailedText;
    return false;
  }
  return GrowTriangles(builder, cells, n, message);
}
