#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

#include "engine/cell_cut.h"
#include "engine/code_holes.h"
#include "engine/knobs.h"
#include "engine/white_regions.h"

namespace cell_cut {

// --- Picture shapes -------------------------------------------------------------------------

// A shaped cell beside the border or beside other shaped cells moves to a cell within two rows
// and columns that touches neither, or stays plain.
void TCellCut::MoveCrowdedShapes() {
  const int32_t px = Level.TilePX, py = Level.TilePY;
  const auto inner = [&](int32_t r, int32_t c) { return r >= 1 && r <= py - 2 && c >= 1 && c <= px - 2; };
  const auto count = [&](int32_t i, bool& border) {
    int32_t shaped = 0;
    border = false;
    const TCellRecord& cell = Cells[size_t(i)];
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      const TCellSegment& g = cell.Segments[s];
      if (!g.Valid) continue;
      if (!IsCellNeighbour(g)) {
        border = true;
      } else if (Pieces[g.NeighbourId].ShapeFlag) {
        ++shaped;
      }
    }
    return shaped;
  };
  for (int32_t limit = 1; limit >= 0; --limit) {
    for (int32_t r = 1; r <= py - 2; ++r) {
      for (int32_t c = 1; c <= px - 2; ++c) {
        const int32_t i = r * px + c;
        bool border;
        if (!Pieces[i].ShapeFlag || (count(i, border) <= limit && !border)) continue;
        Pieces[i].ShapeFlag = 0;
        bool moved = false;
        for (int32_t dy = -2; dy <= 2 && !moved; ++dy) {
          for (int32_t dx = -2; dx <= 2 && !moved; ++dx) {
            const int32_t rr = r + dy, cc = c + dx, k = rr * px + cc;
            if ((!dy && !dx) || !inner(rr, cc) || Pieces[k].ShapeFlag) continue;
            bool kb;
            if (count(k, kb) == 0 && !kb) {
              Pieces[k].ShapeFlag = 1;
              moved = true;
            }
          }
        }
      }
    }
  }
}

// Draws a random shape, turned, mirrored and scaled to the piece, over the cell at row r, column
// c; one too small, or that overlaps a neighbour, leaves the cell plain.
void TCellCut::DrawShape(int32_t r, int32_t c, const TMfClip& clip) {
  const int32_t px = Level.TilePX;
  const int32_t i = r * px + c;
  if (!Pieces[i].ShapeFlag) return;
  const int32_t k = int32_t(Target.Rng.Random(uint32_t(Shapes.ShapeCount)));
  ShapeMetafile(Shapes, k);
  const TShapeEntry& e = Shapes.ShapeDirectory[size_t(k)];
  const int32_t w = e.Width, h = e.Height, W = Pieces[i].PieceW, H = Pieces[i].PieceH;
  int32_t fw = w, fh = h;  // a shape that already fits keeps its size
  if (w > W || h > H) {
    fw = H * w / h;
    fh = H;
    if (fw > W || fh > H) {
      fh = h * W / w;
      fw = W;
    }
  }
  fw = Round(fw * 1.2L);
  fh = Round(fh * 1.2L);
  const double scale = fw <= fh ? double(fh) / h : double(fw) / w;
  const double angle = double(int32_t(Target.Rng.Random(60)) - 30);
  const bool lr = e.MirrorLeftRight ? Target.Rng.Random(2) != 0 : false;
  const bool tb = e.MirrorTopBottom ? Target.Rng.Random(2) != 0 : false;
  TMetafile mf = Shapes.CurrentShape;
  MirrorMetafile(mf, lr, tb);
  int32_t rw, rh;
  RotateMetafile(mf, angle, rw, rh);
  const int32_t dw = Round(rw * scale), dh = Round(rh * scale);
  const TCellRecord& cell = Cells[size_t(i)];
  const int32_t x = Round(cell.CentreX) - dw / 2, y = Round(cell.CentreY) - dh / 2;
  Pieces[i].PieceX = x;
  Pieces[i].PieceY = y;
  Pieces[i].PieceW = dw;
  Pieces[i].PieceH = dh;
  // Too small to be a piece of its own: the cell stays plain.
  if (dw < 3 || dh < 3) {
    Pieces[i].ShapeFlag = 0;
    return;
  }
  const uint32_t colour = Colour(i);
  RecolorMetafile(mf, colour);
  PlayMetafile(mf, *Target.CutMap.Bitmap, x, y, dw, dh, clip);

  const bool overlap = ShapeOverlaps(r, c, colour);
  ++Counts.Placed;
  if (overlap) {
    RecolorMetafile(mf, 0xFFFFFF);
    PlayMetafile(mf, *Target.CutMap.Bitmap, x, y, dw, dh, clip);
    Pieces[i].ShapeFlag = 0;
    ++Counts.ErasedByOverlap;
  } else {
    Drawn[size_t(i)] = {std::move(mf), x, y, dw, dh};
  }
}

// Whether the shape just drawn over the cell at row r, column c reaches the seed point of a plain
// cell nearby, or an edge of a neighbour that does not meet the cell's own.
bool TCellCut::ShapeOverlaps(int32_t r, int32_t c, uint32_t colour) const {
  const int32_t px = Level.TilePX, py = Level.TilePY;
  const TCellRecord& cell = Cells[size_t(r * px + c)];
  bool overlap = false;
  for (int32_t dy = -2; dy <= 2 && !overlap; ++dy) {
    for (int32_t dx = -2; dx <= 2 && !overlap; ++dx) {
      const int32_t rr = r + dy, cc = c + dx, k2 = rr * px + cc;
      if ((!dy && !dx) || rr < 0 || rr >= py || cc < 0 || cc >= px || Pieces[k2].ShapeFlag) continue;
      overlap = uint32_t(GetDibPixel(Target.CutMap, Pieces[k2].SeedX, Pieces[k2].SeedY)) == colour;
    }
  }
  for (int32_t s = 0; s < cell.SegmentCount && !overlap; ++s) {
    const TCellSegment& g = cell.Segments[s];
    if (!IsCellNeighbour(g)) continue;
    const TCellRecord& nb = Cells[g.NeighbourId];
    for (int32_t t = 0; t < nb.SegmentCount && !overlap; ++t) {
      const TCellSegment& o = nb.Segments[t];
      if (g.TwinCell == int32_t(g.NeighbourId) && g.TwinSlot == t) continue;
      const bool touches = (o.x1 == g.x1 && o.y1 == g.y1) || (o.x1 == g.x2 && o.y1 == g.y2) ||
                           (o.x2 == g.x1 && o.y2 == g.y1) || (o.x2 == g.x2 && o.y2 == g.y2);
      if (touches) continue;
      overlap = SegmentHasCode(Target.CutMap, int32_t(o.x1), int32_t(o.y1), int32_t(o.x2), int32_t(o.y2), colour);
    }
  }
  return overlap;
}

bool TCellCut::PlaceShapes() {
  Counts = TShapeCounts{};
  for (int32_t i = 0; i < CellCount; ++i) Counts.PatternCells += Pieces[i].ShapeFlag != 0;
  MoveCrowdedShapes();

  const TMfClip clip{Area.Left, Area.Top, Area.Right, Area.Bottom};
  const std::vector<TPieceRecord> plain(Pieces, Pieces + CellCount);
  Drawn.assign(size_t(CellCount), TDrawnShape{});
  const int32_t px = Level.TilePX, py = Level.TilePY;
  for (int32_t r = 1; r <= py - 2; ++r) {
    for (int32_t c = 1; c <= px - 2; ++c) DrawShape(r, c, clip);
  }

  return RepairAroundShapesUntilClosed(clip, plain);
}

// The repair, again without the shapes it could not close around, until it closes.
bool TCellCut::RepairAroundShapesUntilClosed(const TMfClip& clip, const std::vector<TPieceRecord>& plain) {
  std::vector<TPieceRecord> placed(Pieces, Pieces + CellCount);
  for (int32_t round = 0;; ++round) {
    ShapeFailed.assign(size_t(CellCount), 0);
    Unled.clear();
    // A leak that no shape can be blamed for fails the repair like a failed join.
    const bool repaired = RepairAroundShapes() && MarkLeakingShapes();
    bool culprits = false;
    for (int32_t i = 0; i < CellCount; ++i) culprits |= ShapeFailed[size_t(i)] && Pieces[i].ShapeFlag;
    if (repaired && !culprits) return true;
    // Two or three rounds are the rule; a cut that keeps finding culprits tries again instead.
    if (!culprits || round == kRepairRounds) return false;
    for (int32_t i = 0; i < CellCount; ++i) {
      if (!ShapeFailed[size_t(i)] || !placed[size_t(i)].ShapeFlag) continue;
      TDrawnShape& d = Drawn[size_t(i)];
      RecolorMetafile(d.Outline, 0xFFFFFF);
      PlayMetafile(d.Outline, *Target.CutMap.Bitmap, d.X, d.Y, d.W, d.H, clip);
      placed[size_t(i)] = plain[size_t(i)];
      placed[size_t(i)].ShapeFlag = 0;
      ++Counts.ErasedByRepair;
    }
    std::copy(placed.begin(), placed.end(), Pieces);
    RestoreCells();
    SortEdges();
    LinkTwins();
  }
}

// A trial of the fills with every edge drawn straight: where one cell's region reaches another
// cell's point, the shapes next to the two cells are marked as failed, so that the repair runs
// again without them. False when a leak has no shape to blame.
bool TCellCut::MarkLeakingShapes() {
  // The trial lines go on the map itself, which holds only the shapes so far, and are drawn
  // over in white afterwards; the regions are labelled, not filled, so nothing else needs a wipe.
  TDibImage& trial = Target.CutMap;
  constexpr uint32_t kLine = 0x000002;  // red 2: no piece colour (red 128)
  const auto drawLines = [&](uint32_t colour) {
    for (int32_t i = 0; i < CellCount; ++i) {
      if (Shaped(i)) continue;
      const TCellRecord& c = Cells[size_t(i)];
      for (int32_t s = 0; s < c.SegmentCount; ++s) {
        const TCellSegment& g = c.Segments[s];
        if (!g.Valid || !IsCellNeighbour(g) || g.NeighbourId <= i || Shaped(g.NeighbourId)) continue;
        DrawDibLine(trial, int32_t(g.x1), int32_t(g.y1), int32_t(g.x2), int32_t(g.y2), colour);
      }
    }
    DrawFrameLines(trial, colour);
  };
  drawLines(kLine);
  // Each blame tells whether it found a shape to lay the leak on.
  const auto blameAround = [&](int32_t cell, int32_t with) {
    bool found = false;
    const TCellRecord& c = Cells[size_t(cell)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      const TCellSegment& g = c.Segments[s];
      if (!IsCellNeighbour(g) || !Shaped(g.NeighbourId)) continue;
      bool shared = with < 0;
      const TCellRecord& w = Cells[size_t(std::max(with, 0))];
      for (int32_t t = 0; t < w.SegmentCount && !shared; ++t) shared = w.Segments[t].NeighbourId == g.NeighbourId;
      if (shared) ShapeFailed[g.NeighbourId] = 1;
      found |= shared;
    }
    return found;
  };
  // A shape a cell away that edges of both cells were led to: turning one of those edges can
  // leave the end of the edge between the two cells short of it.
  const auto blameLed = [&](int32_t a, int32_t b) {
    bool found = false;
    const TCellRecord& ca = Cells[size_t(a)];
    const TCellRecord& cb = Cells[size_t(b)];
    for (int32_t s = 0; s < ca.SegmentCount; ++s) {
      for (uint16_t id : {ca.Segments[s].IdA, ca.Segments[s].IdB}) {
        if (id == kNoShapeId || id >= CellCount || !Shaped(id)) continue;
        bool both = false;
        for (int32_t t = 0; t < cb.SegmentCount && !both; ++t)
          both = cb.Segments[t].IdA == id || cb.Segments[t].IdB == id;
        if (both) ShapeFailed[id] = 1;
        found |= both;
      }
    }
    return found;
  };
  // Two cells ran together: the gap lies where their edge failed to reach a shape. Only that
  // shape goes; without such an edge, the shapes both cells border, else all next to them, else
  // the shapes both cells' edges were led to.
  const auto blameMerge = [&](int32_t a, int32_t b) {
    bool found = false;
    for (const TUnledEdge& e : Unled) {
      if ((e.A == a && e.B == b) || (e.A == b && e.B == a)) {
        ShapeFailed[size_t(e.Shape)] = 1;
        found = true;
      }
    }
    if (found || blameAround(a, b)) return true;
    found = blameAround(a, -1);
    found = blameAround(b, -1) || found;
    return found || blameLed(a, b);
  };
  TWhiteRegions regions(trial);
  // The first cell whose point lies in each region, as the first fill there would have coloured it.
  std::vector<int32_t> owner(size_t(regions.RegionLimit()), -1);
  bool blamed = true;
  for (int32_t i = 0; i < CellCount; ++i) {
    if (Shaped(i)) continue;
    const int32_t region = regions.RegionAt(Pieces[i].SeedX, Pieces[i].SeedY);
    if (region < 0) {
      blamed &= blameAround(i, -1);
    } else if (owner[size_t(region)] < 0) {
      owner[size_t(region)] = i;
    } else {
      blamed &= blameMerge(i, owner[size_t(region)]);
    }
  }
  drawLines(kWhite);
  return blamed;
}

void TCellCut::SetEnds(int32_t cell, int32_t slot, TIntPoint a, TIntPoint b, bool newChord) {
  TCellSegment* both[2] = {&Cells[size_t(cell)].Segments[slot], nullptr};
  if (both[0]->TwinCell >= 0) both[1] = &Cells[size_t(both[0]->TwinCell)].Segments[both[0]->TwinSlot];
  double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
  OrderPoints(x1, y1, x2, y2);
  // The line is drawn in one of the two pieces' colours: both rectangles must hold it.
  for (int32_t owner : {cell, both[0]->TwinCell}) {
    if (owner < 0) continue;
    GrowPieceRect(Pieces[owner], std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
  }
  for (TCellSegment* g : both) {
    if (!g) continue;
    g->x1 = x1;
    g->y1 = y1;
    g->x2 = x2;
    g->y2 = y2;
    g->Length = std::hypot(x2 - x1, y2 - y1);
    g->Repaired = 1;
    if (newChord) {
      double cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
      if (ClipLineToCutArea(Area, cx1, cy1, cx2, cy2)) {
        g->rx1 = cx1;
        g->ry1 = cy1;
        g->rx2 = cx2;
        g->ry2 = cy2;
      }
    }
  }
}

// Leads edge slot of a plain cell on towards the picture shape of the shaped cell: along its
// own line when that meets the shape, else turned towards it by up to 90 degrees. An edge that
// finds no way stays as it was; it is noted, so that a leak past it can be laid on its shape.
void TCellCut::ExtendEdge(int32_t cell, int32_t slot, int32_t shape) {
  const TCellSegment& g = Cells[size_t(cell)].Segments[slot];
  const TIntPoint p = RoundPoint(g.rx1, g.ry1), q = RoundPoint(g.rx2, g.ry2);
  const TIntPoint s = Point(shape), own = Point(cell);
  const TIntPoint e1{int32_t(g.x1), int32_t(g.y1)}, e2{int32_t(g.x2), int32_t(g.y2)};
  TIntPoint keep, far;
  if (g.IdA == shape || g.IdB == shape) return;  // it reaches that picture already
  if (g.IdA != kNoShapeId) {
    // Already led to another picture: that end stays there, and the end that stayed then
    // (the anchor) is the one that moves, on along the line.
    keep = SamePoint(e1, g.Anchor) ? e2 : e1;
    const TIntPoint way{g.Anchor.x - keep.x, g.Anchor.y - keep.y};
    const auto ahead = [&](TIntPoint c) { return int64_t(c.x - keep.x) * way.x + int64_t(c.y - keep.y) * way.y; };
    far = ahead(p) >= ahead(q) ? p : q;
  } else {
    double distance;
    TIntPoint foot;
    ProjectOnLine(p, q, s, distance, foot);
    // Which end moves: the one on the side of the edge's midpoint where the shape's point lies.
    const double mx = (g.x1 + g.x2) / 2.0, my = (g.y1 + g.y2) / 2.0;
    bool firstSide;
    if (std::abs(q.x - p.x) >= std::abs(q.y - p.y)) {
      firstSide = p.x <= q.x ? foot.x <= mx : foot.x >= mx;
    } else {
      firstSide = foot.y <= my;
    }
    far = firstSide ? p : q;
    // The chord and the working ends need not be listed in the same order: the end that stays
    // is the working end away from the one that moves.
    keep = firstSide ? e2 : e1;
  }
  if (SamePoint(keep, far)) return;
  // Both plain cells' points and the shape's point stay on their sides of the edge.
  const TIntPoint other = Point(g.NeighbourId);
  const int32_t ownSide = Orientation(keep, far, own), shapeSide = Orientation(keep, far, s);
  const int32_t otherSide = Orientation(keep, far, other);
  const auto sidesKept = [&](TIntPoint end) {
    return Orientation(keep, end, own) == ownSide && Orientation(keep, end, s) == shapeSide &&
           Orientation(keep, end, other) == otherSide;
  };
  const auto turn = [&](TIntPoint towards, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double dx = towards.x - keep.x, dy = towards.y - keep.y;
    TIntPoint c =
        RoundPoint(keep.x + dx * std::cos(a) + dy * std::sin(a), keep.y - dx * std::sin(a) + dy * std::cos(a));
    c.x = ClampInt(c.x, Area.Left, Area.Right);
    c.y = ClampInt(c.y, Area.Top, Area.Bottom);
    return c;
  };
  TIntPoint meet;
  bool turned = false;
  if (!WalkLineToPiece(Target, shape, keep, far, ShapeClip(shape), meet)) {
    const auto angleOf = [](TIntPoint from, TIntPoint to) {
      double a = std::atan2(double(to.y - from.y), double(to.x - from.x));
      return a < 0 ? a + 2 * std::numbers::pi : a;
    };
    const double diff = angleOf(keep, far) - angleOf(keep, s);
    double sign = diff < 0 ? -1 : 1;
    if (std::fabs(diff) > std::numbers::pi) sign = -sign;
    bool found = false;
    for (int32_t k = 1; k <= 9 && !found; ++k) {
      const TIntPoint c = turn(far, sign * 10 * k);
      TIntPoint hit;
      if (WalkLineToPiece(Target, shape, keep, c, ShapeClip(shape), hit) && !SamePoint(hit, keep) && sidesKept(hit)) {
        meet = hit;
        found = true;
      }
    }
    if (!found) {
      Unled.push_back({cell, int32_t(g.NeighbourId), shape});
      return;
    }
    turned = true;
  }
  // Prefer a shorter way to the shape that keeps clear of both points.
  const TIntPoint current = meet;
  const double reach = std::hypot(double(current.x - keep.x), double(current.y - keep.y));
  // A point k steps along a walk lies at least k away: past reach, no hit can be shorter.
  const int32_t steps = int32_t(std::ceil(reach)) - 1;
  // Of the turns from 20 degrees down to -20, the last that takes a shorter way wins, and any
  // turn taken marks the edge as turned: they are tried from -20 up, so the first taken wins.
  const auto shorter = [&](int32_t deg, TIntPoint& hit) {
    const TIntPoint c = turn(current, deg);
    if (!WalkLineToPiece(Target, shape, keep, c, ShapeClip(shape), hit, steps) || SamePoint(hit, keep) ||
        !sidesKept(hit))
      return false;
    if (std::hypot(double(hit.x - keep.x), double(hit.y - keep.y)) >= reach) return false;
    double d1, d2, d3;
    TIntPoint f1, f2, f3;
    ProjectOnLine(keep, hit, own, d1, f1);
    ProjectOnLine(keep, hit, s, d2, f2);
    ProjectOnLine(keep, hit, other, d3, f3);
    return std::fabs(d1) > 4 && std::fabs(d2) > 4 && std::fabs(d3) > 4;
  };
  for (int32_t deg = -20; deg <= 20; deg += 2) {
    TIntPoint hit;
    if (!shorter(deg, hit)) continue;
    meet = hit;
    turned |= deg != 0;
    // Straight on: a positive turn, tried before it, that was taken still marks the edge.
    for (int32_t before = 20; before > deg && !turned; before -= 2) turned = shorter(before, hit);
    break;
  }
  SetEnds(cell, slot, keep, meet, turned);
  TCellSegment& led = Cells[size_t(cell)].Segments[slot];
  for (TCellSegment* e : {&led, led.TwinCell >= 0 ? &Cells[size_t(led.TwinCell)].Segments[led.TwinSlot] : nullptr}) {
    if (!e) continue;
    if (e->IdA == kNoShapeId) {
      e->IdA = uint16_t(shape);
      e->Anchor = keep;
    } else if (e->IdA != shape) {
      e->IdB = uint16_t(shape);
    }
  }
}

// The pixel of the shaped cell's picture nearest to p.
TIntPoint TCellCut::NearestShapePixel(int32_t shape, TIntPoint p) const {
  const TDrawnShape& d = Drawn[size_t(shape)];
  const uint32_t colour = Colour(shape);
  TIntPoint best = Point(shape);
  const TBoundsRect rect{std::max(d.X - 1, Area.Left), std::max(d.Y - 1, Area.Top), std::min(d.X + d.W, Area.Right),
                         std::min(d.Y + d.H, Area.Bottom)};
  // Squared distances are exact whole numbers. The scan keeps the first pixel, in row order, of
  // the least one: knowing it beforehand, it looks only at the pixels that can have it.
  const double least = NearestSquare(Target.CutMap, rect, colour, p.x, p.y);
  if (least >= 1e300) return best;
  int64_t nearest = int64_t(least) + 1;
  for (int32_t y = rect.Top; y <= rect.Bottom; ++y) {
    if ((int64_t(y) - p.y) * (int64_t(y) - p.y) >= nearest) continue;
    const uint8_t* row = DibScanLine(Target.CutMap, y);
    for (int32_t x = rect.Left; x <= rect.Right; ++x) {
      const int64_t dx = int64_t(x) - p.x, dy = int64_t(y) - p.y;
      if (dx * dx + dy * dy >= nearest || PixelColorAt(row + intptr_t(x) * 3) != colour) continue;
      nearest = dx * dx + dy * dy;
      best = {x, y};
    }
  }
  return best;
}

// Two led edges s and t of one plain cell cross at b before they reach the picture they share:
// both stop at b, and the two cells beyond them meet along a new edge from b to that picture.
// a is the plain cell's point: an end that lies beyond the other edge, seen from a, is the one
// cut off. Where b touches the picture already, the two edges end at b and the picture itself
// parts the cells beyond. 0 when joined; 100 when the edges share no picture or the cells beyond
// cannot meet; 101 when the walk from b finds no way to the picture between the two cells' points.
int32_t TCellCut::JoinCellSegments(TIntPoint a, TIntPoint b, int32_t cell, int32_t s, int32_t t, int32_t& shape) {
  TCellRecord& c = Cells[size_t(cell)];
  TCellSegment& gs = c.Segments[s];
  TCellSegment& gt = c.Segments[t];
  shape = -1;
  for (uint16_t id : {gt.IdA, gt.IdB}) {
    if (id != kNoShapeId && id < CellCount && Shaped(id) && (id == gs.IdA || id == gs.IdB)) {
      shape = id;
      break;
    }
  }
  // Edges led to different pictures: the one of theirs nearest to b (a mend: the cell can
  // still be closed there).
  if (shape < 0) {
    int64_t nearest = INT64_MAX;
    for (uint16_t id : {gs.IdA, gs.IdB, gt.IdA, gt.IdB}) {
      if (id == kNoShapeId || id >= CellCount || !Shaped(id)) continue;
      const TIntPoint q = NearestShapePixel(id, b);
      const int64_t d = int64_t(q.x - b.x) * (q.x - b.x) + int64_t(q.y - b.y) * (q.y - b.y);
      if (d < nearest) {
        nearest = d;
        shape = id;
      }
    }
  }
  if (shape < 0) return kJoinNotPossible;
  const int32_t na = gt.NeighbourId, nb = gs.NeighbourId;
  TCellRecord& ca = Cells[size_t(na)];
  TCellRecord& cb = Cells[size_t(nb)];
  // Two cells of one code would run together along the new edge.
  if (na == nb || Pieces[na].Code == Pieces[nb].Code || ca.SegmentCount >= kCellSegmentRoom ||
      cb.SegmentCount >= kCellSegmentRoom)
    return kJoinNotPossible;
  const auto clearId = [&](TCellSegment& g) {
    for (TCellSegment* e : {&g, g.TwinCell >= 0 ? &Cells[size_t(g.TwinCell)].Segments[g.TwinSlot] : nullptr}) {
      if (!e) continue;
      if (e->IdA == shape) e->IdA = kNoShapeId;
      if (e->IdB == shape) e->IdB = kNoShapeId;
    }
  };
  clearId(gs);
  clearId(gt);
  // t first, then s: the end that lies beyond the other edge, seen from a, moves to b (both
  // judged against the edges as they were).
  TIntPoint stays[2], moves[2];
  const int32_t slots[2] = {t, s};
  for (int32_t k = 0; k < 2; ++k) {
    const TCellSegment& g = c.Segments[slots[k]];
    const TCellSegment& o = c.Segments[slots[1 - k]];
    const TIntPoint p1{int32_t(g.x1), int32_t(g.y1)}, p2{int32_t(g.x2), int32_t(g.y2)};
    double x, y;
    const bool firstBeyond = SegmentIntersection(x, y, false, a.x, a.y, g.x1, g.y1, o.x1, o.y1, o.x2, o.y2);
    stays[k] = firstBeyond ? p2 : p1;
    moves[k] = firstBeyond ? p1 : p2;
  }
  // The new edge must run into the corner beyond b between the two parts cut off: on its
  // either side, that corner joins one of the two cells.
  const auto cross = [](TIntPoint o, TIntPoint p, TIntPoint q) {
    return int64_t(p.x - o.x) * (q.y - o.y) - int64_t(p.y - o.y) * (q.x - o.x);
  };
  const int64_t wedge = cross(b, moves[0], moves[1]);
  TIntPoint meet;
  bool atCrossing = false;
  const auto parts = [&](TIntPoint towards) {
    if (!WalkLineToPiece(Target, shape, b, towards, ShapeClip(shape), meet)) return false;
    // Every walk starts at b: one that meets the picture there is as good as any.
    if (SamePoint(meet, b)) return atCrossing = true;
    const int64_t u = cross(b, moves[0], meet), v = cross(b, meet, moves[1]);
    // Along one of the parts cut off is as good: it parts the corner the same way.
    const auto inside = [&](int64_t side) { return side == 0 || (side > 0) == (wedge > 0); };
    return wedge != 0 && inside(u) && inside(v);
  };
  // The picture's pixel nearest to b; past a bend of the picture, its point; else straight
  // down the middle of the corner.
  const auto middle = [&] {
    const double lu = std::hypot(moves[0].x - b.x, moves[0].y - b.y),
                 lv = std::hypot(moves[1].x - b.x, moves[1].y - b.y);
    if (lu == 0 || lv == 0) return b;
    const double dx = (moves[0].x - b.x) / lu + (moves[1].x - b.x) / lv,
                 dy = (moves[0].y - b.y) / lu + (moves[1].y - b.y) / lv;
    const double reach = 2.0 * (Level.TileS + 2);
    const double n = std::hypot(dx, dy);
    if (n == 0) return b;
    return TIntPoint{ClampInt(Round(b.x + dx / n * reach), Area.Left, Area.Right),
                     ClampInt(Round(b.y + dy / n * reach), Area.Top, Area.Bottom)};
  };
  if (!parts(NearestShapePixel(shape, b)) && !parts(Point(shape)) && !parts(middle())) return kJoinWalkFailed;
  for (int32_t k = 0; k < 2; ++k) SetEnds(cell, slots[k], stays[k], b, false);
  if (atCrossing) return kJoined;
  double x1 = b.x, y1 = b.y, x2 = meet.x, y2 = meet.y;
  OrderPoints(x1, y1, x2, y2);
  const int32_t sa = ca.SegmentCount++, sb = cb.SegmentCount++;
  for (auto [rec, slot, other, otherSlot] : {std::tuple{&ca, sa, nb, sb}, std::tuple{&cb, sb, na, sa}}) {
    TCellSegment& g = rec->Segments[slot];
    g = TCellSegment{};
    g.x1 = g.rx1 = x1;
    g.y1 = g.ry1 = y1;
    g.x2 = g.rx2 = x2;
    g.y2 = g.ry2 = y2;
    g.NeighbourId = uint16_t(other);
    g.TwinCell = other;
    g.TwinSlot = otherSlot;
    g.Valid = 1;
    g.Repaired = 1;
    g.IdA = g.IdB = kNoShapeId;
    g.Length = std::hypot(x2 - x1, y2 - y1);
  }
  for (int32_t owner : {na, nb})
    GrowPieceRect(Pieces[owner], int32_t(std::min(x1, x2)), int32_t(y1), int32_t(std::max(x1, x2)), int32_t(y2));
  // The two pieces now share an edge: each names the other where a slot is free.
  for (auto [from, to] : {std::pair{na, nb}, std::pair{nb, na}}) {
    int16_t* n = Pieces[from].Neighbours;
    if (std::find(n, n + 9, int16_t(to)) != n + 9) continue;
    int16_t* slot = std::find(n, n + 9, int16_t(-1));
    if (slot != n + 9) *slot = int16_t(to);
  }
  return kJoined;
}

bool TCellCut::RepairAroundShapes() {
  const auto plainEdge = [&](const TCellSegment& g) { return g.Valid && IsCellNeighbour(g) && !Shaped(g.NeighbourId); };
  for (int32_t cell = 0; cell < CellCount; ++cell) {
    if (Shaped(cell)) continue;
    TCellRecord& c = Cells[size_t(cell)];
    for (int32_t i = 0; i < c.SegmentCount; ++i) {
      const TCellSegment& gi = c.Segments[i];
      if (!gi.Valid || !IsCellNeighbour(gi) || !Shaped(gi.NeighbourId)) continue;
      const TIntPoint ends[2] = {{int32_t(gi.x1), int32_t(gi.y1)}, {int32_t(gi.x2), int32_t(gi.y2)}};
      bool served[2] = {false, false};
      for (int32_t j = 0; j < c.SegmentCount && !(served[0] && served[1]); ++j) {
        const TCellSegment& gj = c.Segments[j];
        if (j == i || !plainEdge(gj)) continue;
        for (int32_t e = 0; e < 2; ++e) {
          if (served[e]) continue;
          const bool near = (std::fabs(gj.x1 - ends[e].x) < 2 && std::fabs(gj.y1 - ends[e].y) < 2) ||
                            (std::fabs(gj.x2 - ends[e].x) < 2 && std::fabs(gj.y2 - ends[e].y) < 2);
          if (!near) continue;
          served[e] = true;
          ExtendEdge(cell, j, gi.NeighbourId);
          break;
        }
      }
    }
  }
  // Trim the edges where they run into a shape.
  for (int32_t cell = 0; cell < CellCount; ++cell) {
    if (Shaped(cell)) continue;
    TCellRecord& c = Cells[size_t(cell)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!plainEdge(g)) continue;
      TIntPoint a{int32_t(g.x1), int32_t(g.y1)}, b{int32_t(g.x2), int32_t(g.y2)}, p;
      const int32_t first = WalkToWhite(Target.CutMap, a, b, p);
      if (first == -1) {
        g.Valid = 0;
        if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Valid = 0;
        continue;
      }
      if (first == 1) a = p;
      if (WalkToWhite(Target.CutMap, b, a, p) == 1) b = p;
      if (!SamePoint(a, {int32_t(g.x1), int32_t(g.y1)}) || !SamePoint(b, {int32_t(g.x2), int32_t(g.y2)})) {
        const uint8_t repaired = g.Repaired;
        SetEnds(cell, s, a, b, false);
        g.Repaired = repaired;
        if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Repaired = repaired;
      }
    }
  }
  // Two extended edges of one cell that cross.
  for (int32_t cell = 0; cell < CellCount; ++cell) {
    if (Shaped(cell)) continue;
    TCellRecord& c = Cells[size_t(cell)];
    for (int32_t i = 0; i < c.SegmentCount; ++i) {
      for (int32_t j = i + 1; j < c.SegmentCount; ++j) {
        const TCellSegment& gi = c.Segments[i];
        const TCellSegment& gj = c.Segments[j];
        if (!plainEdge(gi) || !plainEdge(gj) || !gi.Repaired || !gj.Repaired) continue;
        if (std::fabs(gj.x2 - gj.x1) <= 2 && std::fabs(gj.y2 - gj.y1) <= 2) continue;
        double x, y;
        if (!SegmentIntersection(x, y, false, gi.x1, gi.y1, gi.x2, gi.y2, gj.x1, gj.y1, gj.x2, gj.y2)) continue;
        // A join that fails blames its shape (which the caller then takes out); one that
        // cannot name a shape fails the repair.
        int32_t shape;
        if (JoinCellSegments(Point(cell), RoundPoint(x, y), cell, i, j, shape) == kJoined) continue;
        // The mend for a join that fails: its picture goes (the caller takes it out) and the
        // repair runs again, in the same attempt. A join that names no picture fails the repair.
        if (shape < 0) return false;
        ShapeFailed[size_t(shape)] = 1;
      }
    }
  }
  return true;
}

}  // namespace cell_cut
