#include "engine/cells.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr uint8_t kCodeTable[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};
constexpr uint8_t kCode2Table[6] = {1, 2, 4, 8, 16, 32};
// Ends closer than this to a border line count as lying on it (clipped ends are computed).
constexpr double kOnBorder = 1e-6;

bool Near(double a, double b) { return std::fabs(a - b) < kOnBorder; }

enum class TAdd { Added, Refused, Full };

uint64_t PairKey(int32_t lower, int32_t higher) {
  return (uint64_t(uint32_t(lower)) << 32) | uint32_t(higher);
}

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

}  // namespace

void LayoutCells(const TLevelRecord& level, TPieceRecord* pieces) {
  const int32_t px = level.TilePX, py = level.TilePY, tile = level.TileS, margin = level.KnobS;
  if (px <= 0 || py <= 0) return;
  const int32_t wr = level.ImageW - px * tile - 2 * level.JigsL;
  const int32_t hr = level.ImageH - py * tile - 2 * level.JigsT;
  const int32_t qx = wr / px, rx = wr % px, qy = hr / py, ry = hr % py;
  for (int32_t r = 0; r < py; ++r) {
    for (int32_t c = 0; c < px; ++c) {
      TPieceRecord& p = pieces[r * px + c];
      p.CellW = tile + qx + (c < rx ? 1 : 0);
      p.CellH = tile + qy + (r < ry ? 1 : 0);
      p.CellX = c == 0 ? level.JigsL : pieces[r * px + c - 1].CellX + pieces[r * px + c - 1].CellW;
      p.CellY = r == 0 ? level.JigsT : pieces[(r - 1) * px + c].CellY + pieces[(r - 1) * px + c].CellH;
      p.PieceX = p.CellX;
      p.PieceY = p.CellY;
      p.PieceW = p.CellW;
      p.PieceH = p.CellH;
      if (c > 0) {
        p.PieceX -= margin;
        p.PieceW += margin;
      }
      if (c < px - 1) p.PieceW += margin;
      if (r > 0) {
        p.PieceY -= margin;
        p.PieceH += margin;
      }
      if (r < py - 1) p.PieceH += margin;
      p.Code = kCodeTable[(r % 3) * 3 + c % 3];
      p.Code2 = kCode2Table[c % 3 + (r % 2) * 3];
      for (int16_t& n : p.Neighbours) n = kNoNeighbour;
      p.ShapeFlag = 0;
      if (ShapeStyleRow(level.ShapeStyle).PictureShapes && c > 0 && c < px - 1 && r > 0 &&
          r < py - 1) {
        if ((r - 1) % 4 == 0 && c % 2 == 1) p.ShapeFlag = 1;
        if ((r - 1) % 4 == 2 && c % 2 == 0) p.ShapeFlag = 1;
      }
    }
  }
}

int32_t Orientation(TIntPoint a, TIntPoint b, TIntPoint c) {
  const int64_t v = (int64_t(a.x) - c.x) * (int64_t(a.y) - b.y) - (int64_t(a.y) - c.y) * (int64_t(a.x) - b.x);
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

bool SegmentIntersection(double& x, double& y, bool inclusive, double x1, double y1, double x2, double y2,
                         double x3, double y3, double x4, double y4) {
  const long double d = (long double)(x2 - x1) * (y4 - y3) - (long double)(y2 - y1) * (x4 - x3);
  if (d == 0) return false;
  const long double t = ((long double)(y1 - y3) * (x4 - x3) - (long double)(x1 - x3) * (y4 - y3)) / d;
  const long double u = ((long double)(y1 - y3) * (x2 - x1) - (long double)(x1 - x3) * (y2 - y1)) / d;
  if (inclusive) {
    if (t < 0 || t > 1 || u < 0 || u > 1) return false;
  } else {
    const long double lo = 0.00001L, hi = 0.99999L;
    if (!(t > lo && t < hi && u > lo && u < hi)) return false;
  }
  x = double(x1 + t * (x2 - x1));
  y = double(y1 + t * (y2 - y1));
  return true;
}

void OrderPoints(double& x1, double& y1, double& x2, double& y2) {
  if (y1 > y2 || (y1 == y2 && x1 > x2)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
}

void Bisector(double& x1, double& y1, double& x2, double& y2, double ax, double ay, double bx, double by) {
  const double mx = (ax + bx) / 2, my = (ay + by) / 2;
  x1 = mx - (by - ay);
  y1 = my + (bx - ax);
  x2 = mx + (by - ay);
  y2 = my - (bx - ax);
  OrderPoints(x1, y1, x2, y2);
}

void ExtendRayToCutArea(const TCutArea& area, double x1, double y1, double& x2, double& y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) return;
  if (dx == 0) {
    y2 = y1 < y2 ? area.Bottom : area.Top;
  } else if (dy == 0) {
    x2 = x1 < x2 ? area.Right : area.Left;
  } else if (std::fabs(dx) <= std::fabs(dy)) {
    const double edge = dy > 0 ? area.Bottom : area.Top;
    if ((dy > 0 && y2 < edge) || (dy < 0 && y2 > edge)) {
      x2 = x1 + (edge - y1) * dx / dy;
      y2 = edge;
    }
  } else {
    const double edge = dx > 0 ? area.Right : area.Left;
    if ((dx > 0 && x2 < edge) || (dx < 0 && x2 > edge)) {
      y2 = y1 + (edge - x1) * dy / dx;
      x2 = edge;
    }
  }
}

bool ClipLineToCutArea(const TCutArea& area, double& x1, double& y1, double& x2, double& y2) {
  const double L = area.Left, T = area.Top, R = area.Right, B = area.Bottom;
  double ax = x1, ay = y1, bx = x2, by = y2;
  if (ax == bx && ay == by) return false;
  OrderPoints(ax, ay, bx, by);
  if (ax == bx) {
    if (ax < L || ax > R) return false;
    ay = T;
    by = B;
  } else if (ay == by) {
    if (ay < T || ay > B) return false;
    ax = L;
    bx = R;
  } else {
    const double dx = bx - ax, dy = by - ay;
    if (std::fabs(dx) <= std::fabs(dy)) {
      if (ay > T) {
        ax += (T - ay) * dx / dy;
        ay = T;
      }
      if (by < B) {
        bx += (B - by) * dx / dy;
        by = B;
      }
    } else {
      double& lx = ax < bx ? ax : bx;
      double& ly = ax < bx ? ay : by;
      double& hx = ax < bx ? bx : ax;
      double& hy = ax < bx ? by : ay;
      if (lx > L) {
        ly += (L - lx) * dy / dx;
        lx = L;
      }
      if (hx < R) {
        hy += (R - hx) * dy / dx;
        hx = R;
      }
    }
    double cx, cy;
    // Edges first: a crossing then lies exactly on the border line.
    // Moves the upper (lower, left, right) end onto the crossing with an edge.
    const auto moveEnd = [&](bool firstEnd) {
      (firstEnd ? ax : bx) = cx;
      (firstEnd ? ay : by) = cy;
    };
    if (SegmentIntersection(cx, cy, false, L, T, R, T, ax, ay, bx, by)) moveEnd(ay < by);
    if (SegmentIntersection(cx, cy, false, L, B, R, B, ax, ay, bx, by)) moveEnd(!(ay < by));
    if (SegmentIntersection(cx, cy, false, L, T, L, B, ax, ay, bx, by)) moveEnd(ax < bx);
    if (SegmentIntersection(cx, cy, false, R, T, R, B, ax, ay, bx, by)) moveEnd(!(ax < bx));
  }
  // A line that misses the area keeps an end outside it: no chord.
  for (double v : {ax, bx}) {
    if (v < L - kOnBorder || v > R + kOnBorder) return false;
  }
  for (double v : {ay, by}) {
    if (v < T - kOnBorder || v > B + kOnBorder) return false;
  }
  x1 = ax;
  y1 = ay;
  x2 = bx;
  y2 = by;
  return true;
}

bool AddCellSegment(const TCutArea& area, TCellRecord& cell, uint16_t id, double x1, double y1, double x2,
                    double y2) {
  const double L = area.Left, T = area.Top, R = area.Right, B = area.Bottom;
  if ((x1 < L && x2 < L) || (x1 > R && x2 > R) || (y1 < T && y2 < T) || (y1 > B && y2 > B)) return false;
  OrderPoints(x1, y1, x2, y2);
  double cx, cy;
  if (y1 < T && SegmentIntersection(cx, cy, true, L, T, R, T, x1, y1, x2, y2)) {
    x1 = cx;
    y1 = cy;
  }
  if (y2 > B && SegmentIntersection(cx, cy, true, L, B, R, B, x1, y1, x2, y2)) {
    x2 = cx;
    y2 = cy;
  }
  if ((x1 < L || x2 < L) && SegmentIntersection(cx, cy, true, L, T, L, B, x1, y1, x2, y2)) {
    const bool firstEnd = x1 < L;
    (firstEnd ? x1 : x2) = cx;
    (firstEnd ? y1 : y2) = cy;
    if (x1 == x2 && y1 > y2) std::swap(y1, y2);
  }
  if ((x1 > R || x2 > R) && SegmentIntersection(cx, cy, true, R, T, R, B, x1, y1, x2, y2)) {
    const bool firstEnd = x1 > R;
    (firstEnd ? x1 : x2) = cx;
    (firstEnd ? y1 : y2) = cy;
    if (x1 == x2 && y1 > y2) std::swap(y1, y2);
  }
  // A segment that passes outside a corner keeps an end outside after clipping: not stored.
  if (x1 < L - kOnBorder || x2 < L - kOnBorder || x1 > R + kOnBorder || x2 > R + kOnBorder ||
      y1 < T - kOnBorder || y2 < T - kOnBorder || y1 > B + kOnBorder || y2 > B + kOnBorder) {
    return false;
  }
  if (cell.SegmentCount >= kCellSegmentRoom) return false;
  TCellSegment& s = cell.Segments[cell.SegmentCount++];
  s = TCellSegment{};
  s.x1 = x1;
  s.y1 = y1;
  s.x2 = x2;
  s.y2 = y2;
  s.rx1 = x1;
  s.ry1 = y1;
  s.rx2 = x2;
  s.ry2 = y2;
  s.NeighbourId = id;
  s.TwinCell = s.TwinSlot = -1;
  s.IdA = s.IdB = kNoShapeId;
  s.Valid = 1;
  return true;
}

bool BuildCells(TCellBuilder& builder, TCellRecord* cells, int32_t n, const TCutArea& area,
                std::string& message) {
  message.clear();
  for (int32_t i = 0; i < n; ++i) cells[i].SegmentCount = cells[i].TriangleCount = 0;
  builder.CellEdges.clear();
  builder.CellEdges.reserve(size_t(std::max(n, 1)) * 3);
  size_t keyRoom = 16;
  while (keyRoom < size_t(std::max(n, 1)) * 8) keyRoom *= 2;
  builder.EdgeKeys.assign(keyRoom, ~uint64_t(0));

  // First edge: a pair with every other point on one side (a convex-hull edge).
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
  if (first < 0) {
    message = kFirstEdgeFailedText;
    return false;
  }
  AddCellEdge(builder, cells[first].SeedPoint, cells[second].SeedPoint, first, second, openSide, false);

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

  for (int32_t c = 0; c < n; ++c) {
    TCellRecord& cell = cells[c];
    // Keep only the two other corners of each triangle.
    for (int32_t t = 0; t < cell.TriangleCount; ++t) {
      TCellTriangle& tri = cell.Triangles[t];
      int32_t k = 0;
      for (int32_t i = 0; i < 3; ++i) {
        if (tri.Cells[i] == c) continue;
        tri.Cells[k] = tri.Cells[i];
        tri.Points[k] = tri.Points[i];
        ++k;
      }
      tri.LinkA = tri.LinkB = -1;
    }
    bool full = false;
    const auto add = [&](uint16_t id, double x1, double y1, double x2, double y2) {
      if (cell.SegmentCount >= kCellSegmentRoom) {
        full = true;
        return;
      }
      AddCellSegment(area, cell, id, x1, y1, x2, y2);
    };
    if (cell.TriangleCount > 1) {
      for (int32_t i = 0; i < cell.TriangleCount; ++i) {
        TCellTriangle& ti = cell.Triangles[i];
        for (int32_t j = i + 1; j < cell.TriangleCount && (ti.LinkA < 0 || ti.LinkB < 0); ++j) {
          TCellTriangle& tj = cell.Triangles[j];
          int32_t shared = -1;
          for (int32_t a = 0; a < 2; ++a) {
            if (ti.Cells[a] == tj.Cells[0] || ti.Cells[a] == tj.Cells[1]) shared = ti.Cells[a];
          }
          if (shared < 0) continue;
          (shared == ti.Cells[0] ? ti.LinkA : ti.LinkB) = int8_t(j);
          (shared == tj.Cells[0] ? tj.LinkA : tj.LinkB) = int8_t(i);
          add(uint16_t(shared), ti.CentreX, ti.CentreY, tj.CentreX, tj.CentreY);
        }
      }
    }
    // Open ends: a ray from the circumcentre away from the third point.
    for (int32_t t = 0; t < cell.TriangleCount; ++t) {
      const TCellTriangle& tri = cell.Triangles[t];
      if (tri.CentreX < area.Left || tri.CentreX > area.Right || tri.CentreY < area.Top ||
          tri.CentreY > area.Bottom) {
        continue;
      }
      for (int32_t end = 0; end < 2; ++end) {
        if ((end == 0 ? tri.LinkA : tri.LinkB) >= 0) continue;
        const int32_t nb = tri.Cells[end];
        const TIntPoint pn = tri.Points[end], third = tri.Points[1 - end];
        double bx1, by1, bx2, by2;
        Bisector(bx1, by1, bx2, by2, cell.SeedPoint.x, cell.SeedPoint.y, pn.x, pn.y);
        double px = bx2, py = by2;
        if (Orientation(cell.SeedPoint, pn, RoundPoint(bx2, by2)) ==
            Orientation(cell.SeedPoint, pn, third)) {
          px = bx1;
          py = by1;
        }
        // The ray leaves the circumcentre in the bisector's direction away from the third
        // point, even when the circumcentre lies beyond the chosen bisector point.
        const double mx = (cell.SeedPoint.x + pn.x) / 2.0, my = (cell.SeedPoint.y + pn.y) / 2.0;
        double rx = tri.CentreX + (px - mx), ry = tri.CentreY + (py - my);
        ExtendRayToCutArea(area, tri.CentreX, tri.CentreY, rx, ry);
        add(uint16_t(nb), tri.CentreX, tri.CentreY, rx, ry);
      }
    }
    // Close the polygon along the border of the cut area.
    int32_t lists[4][2];  // left, top, right, bottom: segment indexes
    int32_t counts[4] = {0, 0, 0, 0};
    const auto note = [&](int32_t side, int32_t s) {
      if (counts[side] < 2) {
        lists[side][counts[side]++] = s;
      } else {
        lists[side][1] = s;
      }
    };
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      const TCellSegment& g = cell.Segments[s];
      if (g.x1 == g.x2 && g.y1 == g.y2) continue;
      if (Near(g.x1, area.Left) || Near(g.x2, area.Left)) note(0, s);
      if (Near(g.y1, area.Top)) note(1, s);
      if (Near(g.x1, area.Right) || Near(g.x2, area.Right)) note(2, s);
      if (Near(g.y2, area.Bottom)) note(3, s);
    }
    // The end of segment s that lies on a side.
    const auto endOn = [&](int32_t side, int32_t s, double& x, double& y) {
      const TCellSegment& g = cell.Segments[s];
      bool firstEnd;
      switch (side) {
        case 0: firstEnd = Near(g.x1, area.Left); break;
        case 1: firstEnd = true; break;
        case 2: firstEnd = Near(g.x1, area.Right); break;
        default: firstEnd = false; break;
      }
      x = firstEnd ? g.x1 : g.x2;
      y = firstEnd ? g.y1 : g.y2;
    };
    const auto join = [&](int32_t side) {
      double ax, ay, bx, by;
      endOn(side, lists[side][0], ax, ay);
      endOn(side, lists[side][1], bx, by);
      add(kBorderId, ax, ay, bx, by);
    };
    const auto corner = [&](int32_t sideA, int32_t sideB, double cx, double cy) {
      double ax, ay;
      endOn(sideA, lists[sideA][0], ax, ay);
      add(kBorderId, ax, ay, cx, cy);
      endOn(sideB, lists[sideB][0], ax, ay);
      add(kBorderId, ax, ay, cx, cy);
    };
    if (counts[0] == 2) {
      join(0);
    } else if (counts[1] == 2) {
      join(1);
    } else if (counts[2] == 2) {
      join(2);
    } else if (counts[3] == 2) {
      join(3);
    } else if (counts[0] && counts[1]) {
      corner(0, 1, area.Left, area.Top);
    } else if (counts[2] && counts[1]) {
      corner(2, 1, area.Right, area.Top);
    } else if (counts[0] && counts[3]) {
      corner(0, 3, area.Left, area.Bottom);
    } else if (counts[2] && counts[3]) {
      corner(2, 3, area.Right, area.Bottom);
    }
    if (full) {
      message = "A cell has more edges than it has room for.";
      return false;
    }
    double sx = 0, sy = 0;
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      sx += cell.Segments[s].x1 + cell.Segments[s].x2;
      sy += cell.Segments[s].y1 + cell.Segments[s].y2;
    }
    if (cell.SegmentCount > 0) {
      cell.CentreX = sx / cell.SegmentCount / 2;
      cell.CentreY = sy / cell.SegmentCount / 2;
    } else {
      cell.CentreX = cell.SeedPoint.x;
      cell.CentreY = cell.SeedPoint.y;
    }
  }
  return true;
}

void ProjectOnLine(TIntPoint p, TIntPoint q, TIntPoint x, double& distance, TIntPoint& foot) {
  const int64_t cross = (int64_t(p.x) - x.x) * (int64_t(p.y) - q.y) - (int64_t(p.y) - x.y) * (int64_t(p.x) - q.x);
  const auto sq = [](int64_t dx, int64_t dy) { return dx * dx + dy * dy; };
  const int64_t pq = sq(int64_t(q.x) - p.x, int64_t(q.y) - p.y);
  const int64_t px = sq(int64_t(x.x) - p.x, int64_t(x.y) - p.y);
  const int64_t qx = sq(int64_t(x.x) - q.x, int64_t(x.y) - q.y);
  if (pq == 0) {  // no line: the foot is the point itself
    foot = p;
    distance = std::sqrt(double(px));
    return;
  }
  if (std::llabs(cross) < 2) {
    if (p.x == q.x) {
      foot = {p.x, x.y};
      distance = 0;
    } else if (p.y == q.y) {
      foot = {x.x, p.y};
      distance = 0;
    } else if (int64_t(p.y) - q.y <= int64_t(p.x) - q.x) {
      const double slope = double(int64_t(q.y) - p.y) / double(int64_t(q.x) - p.x);
      foot = {Round(p.x + (x.y - p.y) / slope), x.y};
      distance = std::hypot(double(x.x - foot.x), double(x.y - foot.y));
    } else {
      const double slope = double(int64_t(q.y) - p.y) / double(int64_t(q.x) - p.x);
      foot = {x.x, Round(p.y + (x.x - p.x) * slope)};
      distance = std::hypot(double(x.x - foot.x), double(x.y - foot.y));
    }
    return;
  }
  if (px == pq + qx) {
    foot = q;
    distance = std::sqrt(double(qx));
    return;
  }
  if (qx == pq + px) {
    foot = p;
    distance = std::sqrt(double(px));
    return;
  }
  const double len = std::sqrt(double(pq));
  distance = double(cross) / len;
  const double along = std::sqrt(std::max(0.0, double(px) - distance * distance));
  // The foot lies on the side of p towards x's projection.
  const int64_t dot = (int64_t(x.x) - p.x) * (int64_t(q.x) - p.x) + (int64_t(x.y) - p.y) * (int64_t(q.y) - p.y);
  const double s = dot < 0 ? -along : along;
  foot = {Round(p.x + s * (q.x - p.x) / len), Round(p.y + s * (q.y - p.y) / len)};
}

int32_t WalkToWhite(const TDibImage& map, TIntPoint a, TIntPoint b, TIntPoint& p) {
  p = a;
  const auto white = [&](int32_t x, int32_t y) { return GetDibPixel(map, x, y) == 0xFFFFFF; };
  if (white(a.x, a.y)) return 0;
  if (a.x == b.x && a.y == b.y) return -1;
  int32_t x = a.x, y = a.y;
  if (a.x != b.x && a.y != b.y) {
    const int32_t dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    const int32_t sx = b.x > a.x ? 1 : -1, sy = b.y > a.y ? 1 : -1;
    if (2 * dx <= 2 * dy) {
      int32_t e = 2 * dx - dy;
      while (y != b.y) {
        if (e >= 0) {
          x += sx;
          e -= 2 * dy;
        }
        y += sy;
        e += 2 * dx;
        if (white(x, y)) {
          p = {x, y};
          return 1;
        }
      }
    } else {
      int32_t e = 2 * dy - dx;
      while (x != b.x) {
        if (e >= 0) {
          y += sy;
          e -= 2 * dx;
        }
        x += sx;
        e += 2 * dy;
        if (white(x, y)) {
          p = {x, y};
          return 1;
        }
      }
    }
    return -1;
  }
  const int32_t sx = b.x > a.x ? 1 : (b.x < a.x ? -1 : 0), sy = b.y > a.y ? 1 : (b.y < a.y ? -1 : 0);
  for (;;) {
    x += sx;
    y += sy;
    if (x == b.x && y == b.y) return -1;
    if (white(x, y)) {
      p = {x, y};
      return 1;
    }
  }
}
