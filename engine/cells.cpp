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
      if (ShapeStyleRow(level.ShapeStyle).PictureShapes && c > 0 && c < px - 1 && r > 0 && r < py - 1) {
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

bool SegmentIntersection(double& x, double& y, bool inclusive, double x1, double y1, double x2, double y2, double x3,
                         double y3, double x4, double y4) {
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
  // A line through a corner, or within the strict tests' margin of one, meets no side between
  // the side's ends: an end still outside takes the crossing of the plain parametric clip.
  const auto outside = [&](double x, double y) {
    return x < L - kOnBorder || x > R + kOnBorder || y < T - kOnBorder || y > B + kOnBorder;
  };
  if (outside(ax, ay) || outside(bx, by)) {
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {ax - L, R - ax, ay - T, B - ay};
    double lo = 0, hi = 1;
    for (int32_t i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;
      } else if (p[i] < 0) {
        lo = std::max(lo, q[i] / p[i]);
      } else {
        hi = std::min(hi, q[i] / p[i]);
      }
    }
    if (hi - lo < 1e-9) return false;  // misses the area, or only touches a corner
    const double nax = ax + lo * dx, nay = ay + lo * dy, nbx = ax + hi * dx, nby = ay + hi * dy;
    if (outside(ax, ay)) {
      ax = nax;
      ay = nay;
    }
    if (outside(bx, by)) {
      bx = nbx;
      by = nby;
    }
  }
  // A line that misses the area keeps an end outside it: no chord.
  if (outside(ax, ay) || outside(bx, by)) return false;
  x1 = ax;
  y1 = ay;
  x2 = bx;
  y2 = by;
  return true;
}

bool AddCellSegment(const TCutArea& area, TCellRecord& cell, uint16_t id, double x1, double y1, double x2, double y2) {
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
  if (x1 < L - kOnBorder || x2 < L - kOnBorder || x1 > R + kOnBorder || x2 > R + kOnBorder || y1 < T - kOnBorder ||
      y2 < T - kOnBorder || y1 > B + kOnBorder || y2 > B + kOnBorder) {
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

namespace {

// Stores the cell's segments; one that finds the cell's room used up marks the cell full.
struct TSegmentAdder {
  const TCutArea& Area;
  TCellRecord& Cell;
  bool Full = false;
  void operator()(uint16_t id, double x1, double y1, double x2, double y2) {
    if (Cell.SegmentCount >= kCellSegmentRoom) {
      Full = true;
      return;
    }
    AddCellSegment(Area, Cell, id, x1, y1, x2, y2);
  }
};

// The triangles of cell c that share a corner are linked, and the Voronoi edge between their
// circumcentres is stored for that neighbour.
void LinkCellTriangles(TCellRecord& cell, int32_t c, TSegmentAdder& add) {
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
}

// Open ends: a ray from the circumcentre away from the third point.
void AddOpenRays(const TCellRecord& cell, const TCutArea& area, TSegmentAdder& add) {
  for (int32_t t = 0; t < cell.TriangleCount; ++t) {
    const TCellTriangle& tri = cell.Triangles[t];
    if (tri.CentreX < area.Left || tri.CentreX > area.Right || tri.CentreY < area.Top || tri.CentreY > area.Bottom) {
      continue;
    }
    for (int32_t end = 0; end < 2; ++end) {
      if ((end == 0 ? tri.LinkA : tri.LinkB) >= 0) continue;
      const int32_t nb = tri.Cells[end];
      const TIntPoint pn = tri.Points[end], third = tri.Points[1 - end];
      double bx1, by1, bx2, by2;
      Bisector(bx1, by1, bx2, by2, cell.SeedPoint.x, cell.SeedPoint.y, pn.x, pn.y);
      double px = bx2, py = by2;
      if (Orientation(cell.SeedPoint, pn, RoundPoint(bx2, by2)) == Orientation(cell.SeedPoint, pn, third)) {
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
}

// Close the polygon along the border of the cut area.
void CloseAlongCutArea(TCellRecord& cell, const TCutArea& area, TSegmentAdder& add) {
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
}

// The mean of the ends of the cell's segments, its seed point without any.
void SetCellCentre(TCellRecord& cell) {
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

}  // namespace

bool BuildCells(TCellBuilder& builder, TCellRecord* cells, int32_t n, const TCutArea& area, std::string& message) {
  message.clear();
  for (int32_t i = 0; i < n; ++i) cells[i].SegmentCount = cells[i].TriangleCount = 0;
  if (!TriangulateSeedPoints(builder, cells, n, message)) return false;

  for (int32_t c = 0; c < n; ++c) {
    TCellRecord& cell = cells[c];
    TSegmentAdder add{area, cell};
    LinkCellTriangles(cell, c, add);
    AddOpenRays(cell, area, add);
    CloseAlongCutArea(cell, area, add);
    if (add.Full) {
      message = "A cell has more edges than it has room for.";
      return false;
    }
    SetCellCentre(cell);
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
