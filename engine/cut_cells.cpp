#include "engine/cut_cells.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

#include "engine/cell_cut.h"
#include "engine/code_holes.h"
#include "engine/knobs.h"
#include "engine/region_claims.h"
#include "foundation/run_beside.h"

namespace cell_cut {

// The code table keeps grid neighbours apart, but an irregular cell can reach a cell three
// columns or rows away, which has its code: the two regions would run together in the map. Such
// a cell takes the first code of the table that none of its neighbours has.
void TCellCut::SeparateCodes() {
  static constexpr uint8_t kCodes[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};
  // Neighbours both ways: rounding can leave an edge in one of the two cells only.
  std::vector<std::vector<int32_t>> adjacent(static_cast<size_t>(CellCount));
  for (int32_t i = 0; i < CellCount; ++i) {
    const TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      const TCellSegment& g = c.Segments[s];
      if (!IsCellNeighbour(g) || g.NeighbourId >= CellCount) continue;
      adjacent[size_t(i)].push_back(g.NeighbourId);
      adjacent[g.NeighbourId].push_back(i);
    }
  }
  for (int32_t i = 0; i < CellCount; ++i) {
    const auto used = [&](uint8_t code) {
      for (int32_t n : adjacent[size_t(i)]) {
        if (Pieces[n].Code == code) return true;
      }
      return false;
    };
    if (!used(Pieces[i].Code)) continue;
    for (uint8_t code : kCodes) {
      if (!used(code)) {
        Pieces[i].Code = code;
        break;
      }
    }
  }
}

// With a frame border: the four lines one pixel outside the cut area.
void TCellCut::DrawFrameLines(TDibImage& map, uint32_t colour) {
  if (Level.BorderStyle != TBorderStyle::Frame) return;
  const int32_t l = Level.JigsL - 1, t = Level.JigsT - 1, r = Level.JigsR + 1, b = Level.JigsB + 1;
  DrawDibLine(map, l, t, r, t, colour);
  DrawDibLine(map, l, b, r, b, colour);
  DrawDibLine(map, l, t, l, b, colour);
  DrawDibLine(map, r, t, r, b, colour);
}

void TCellCut::PaintBlankMap() { PaintBlank(Target.CutMap, Level.ImageW, Level.ImageH); }

void TCellCut::PaintBlank(TDibImage& map, int32_t w, int32_t h) {
  FillDibRect(map, 0, 0, w, h, 0xFFFFFF);
  FillDibRect(map, w, 0, 5, h, 0);
  FillDibRect(map, 0, h, w + 5, 5, 0);
}

void TCellCut::PlacePoints() {
  TRandom& rng = Target.Rng;
  for (int32_t i = 0; i < CellCount; ++i) {
    const TPieceRecord& r = Pieces[i];
    TIntPoint pt{};
    for (int32_t draws = 0;; ++draws) {
      int32_t tries = 0;
      do {
        pt.x = r.CellX + int32_t(rng.Random(uint32_t(r.CellW)));
      } while ((pt.x <= Level.JigsL || pt.x >= Level.JigsR) && ++tries < kMaxPointDraws);
      tries = 0;
      do {
        pt.y = r.CellY + int32_t(rng.Random(uint32_t(r.CellH)));
      } while ((pt.y <= Level.JigsT || pt.y >= Level.JigsB) && ++tries < kMaxPointDraws);
      bool close = false;
      for (int32_t dy = -2; dy <= 0 && !close; ++dy) {
        bool stop = false;
        for (int32_t dx = -2; dx <= 2; ++dx) {
          const int32_t k = dy * Level.TilePX + dx;
          if (k >= 0) {
            stop = true;
            break;
          }
          if (i + k < 0) continue;
          const TIntPoint q = Cells[size_t(i + k)].SeedPoint;
          if (std::abs(q.x - pt.x) <= 2 && std::abs(q.y - pt.y) <= 2) {
            close = true;
            break;
          }
        }
        if (stop) break;
      }
      if (!close) break;
      if (draws >= kMaxPointDraws) {
        pt = {r.CellX + r.CellW / 2, r.CellY + r.CellH / 2};
        break;
      }
    }
    Cells[size_t(i)].SeedPoint = pt;
    Cells[size_t(i)].PieceIndex = i;
  }
}

// Rectangular cells straight from the layout: the cut's fallback when the seed points admit
// no triangulation (too few of them, all on one line, or a cell out of room).
void TCellCut::BuildGridCells() {
  for (int32_t r = 0; r < Level.TilePY; ++r) {
    for (int32_t c = 0; c < Level.TilePX; ++c) {
      const int32_t i = r * Level.TilePX + c;
      const TPieceRecord& p = Pieces[i];
      TCellRecord& cell = Cells[size_t(i)];
      cell.SegmentCount = cell.TriangleCount = 0;
      const double left = c == 0 ? Area.Left : p.CellX, top = r == 0 ? Area.Top : p.CellY;
      const double right = c == Level.TilePX - 1 ? Area.Right : p.CellX + p.CellW;
      const double bottom = r == Level.TilePY - 1 ? Area.Bottom : p.CellY + p.CellH;
      const auto id = [&](bool inside, int32_t other) { return inside ? uint16_t(other) : kBorderId; };
      AddCellSegment(Area, cell, id(r > 0, i - Level.TilePX), left, top, right, top);
      AddCellSegment(Area, cell, id(r < Level.TilePY - 1, i + Level.TilePX), left, bottom, right, bottom);
      AddCellSegment(Area, cell, id(c > 0, i - 1), left, top, left, bottom);
      AddCellSegment(Area, cell, id(c < Level.TilePX - 1, i + 1), right, top, right, bottom);
      cell.CentreX = (left + right) / 2;
      cell.CentreY = (top + bottom) / 2;
      cell.SeedPoint = RoundPoint(cell.CentreX, cell.CentreY);
    }
  }
}

bool TCellCut::BuildOrGrid(std::string& message) {
  if (BuildCells(Builder, Cells.get(), CellCount, Area, message)) {
    // Nearly collinear points (a single row or column of cells) can leave a cell without any
    // edge to another: its circumcentres all lie outside the cut area. Such cells cannot be
    // told apart; the grid can.
    bool usable = true;
    for (int32_t i = 0; i < CellCount && usable && CellCount > 1; ++i) {
      const TCellRecord& c = Cells[size_t(i)];
      bool inner = false;
      for (int32_t s = 0; s < c.SegmentCount && !inner; ++s) {
        const TCellSegment& g = c.Segments[s];
        inner = IsCellNeighbour(g) && std::hypot(g.x2 - g.x1, g.y2 - g.y1) >= 1.0;
      }
      usable = inner;
    }
    if (usable) return true;
    message.clear();
  }
  BuildGridCells();
  return false;
}

void TCellCut::SaveCells() {
  SavedCells.assign(size_t(CellCount), TSavedCell{});
  SavedSegments.clear();
  for (int32_t i = 0; i < CellCount; ++i) {
    const TCellRecord& cell = Cells[size_t(i)];
    SavedCells[size_t(i)] = {cell.CentreX, cell.CentreY, int32_t(SavedSegments.size()), cell.SegmentCount};
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      const TCellSegment& g = cell.Segments[s];
      SavedSegments.push_back({g.rx1, g.ry1, g.rx2, g.ry2, g.NeighbourId});
    }
  }
}

void TCellCut::RestoreCells() {
  for (int32_t i = 0; i < CellCount; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    const TSavedCell& saved = SavedCells[size_t(i)];
    cell.CentreX = saved.CentreX;
    cell.CentreY = saved.CentreY;
    cell.SegmentCount = saved.Count;
    for (int32_t s = 0; s < kCellSegmentRoom; ++s) {
      TCellSegment& g = cell.Segments[s];
      if (s >= saved.Count) {
        g.Valid = 0;
        continue;
      }
      const TSavedSegment& b = SavedSegments[size_t(saved.First + s)];
      g.rx1 = b.rx1;
      g.ry1 = b.ry1;
      g.rx2 = b.rx2;
      g.ry2 = b.ry2;
      g.NeighbourId = b.NeighbourId;
      g.x1 = Round(b.rx1);
      g.y1 = Round(b.ry1);
      g.x2 = Round(b.rx2);
      g.y2 = Round(b.ry2);
      g.Valid = 1;
      g.Repaired = 0;
      g.Side = 0;
      g.TwinCell = g.TwinSlot = -1;
      g.IdA = g.IdB = kNoShapeId;
      if (ShapeStyleRow(Style).PictureShapes)  // the chord across the area
        ClipLineToCutArea(Area, g.rx1, g.ry1, g.rx2, g.ry2);
      g.Length = std::hypot(g.x2 - g.x1, g.y2 - g.y1);
    }
  }
}

void TCellCut::SortEdges() {
  for (int32_t i = 0; i < CellCount; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    const int32_t n = cell.SegmentCount;
    // Longest first; an exchange sort, so the order among equal lengths is part of the result.
    for (int32_t a = 0; a < n; ++a) {
      for (int32_t b = a + 1; b < n; ++b) {
        if (cell.Segments[b].Length > cell.Segments[a].Length) std::swap(cell.Segments[a], cell.Segments[b]);
      }
    }
  }
}

void TCellCut::LinkTwins() {
  for (int32_t i = 0; i < CellCount; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      TCellSegment& g = cell.Segments[s];
      if (!IsCellNeighbour(g) || g.TwinCell >= 0 || g.NeighbourId >= CellCount) continue;
      TCellRecord& other = Cells[g.NeighbourId];
      for (int32_t t = 0; t < other.SegmentCount; ++t) {
        if (other.Segments[t].NeighbourId == i) {
          g.TwinCell = g.NeighbourId;
          g.TwinSlot = t;
          other.Segments[t].TwinCell = i;
          other.Segments[t].TwinSlot = s;
          break;
        }
      }
    }
  }
}

void TCellCut::MeasureEdges() {
  SortEdges();
  for (int32_t i = 0; i < CellCount; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    TPieceRecord& p = Pieces[i];
    const int32_t n = cell.SegmentCount;
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    int32_t slot = 0;
    for (int32_t s = 0; s < n; ++s) {
      const TCellSegment& g = cell.Segments[s];
      if (g.Length < 1.0) continue;
      minX = std::min({minX, g.x1, g.x2});
      maxX = std::max({maxX, g.x1, g.x2});
      minY = std::min(minY, g.y1);
      maxY = std::max(maxY, g.y2);
      if (slot < 9) {
        p.Neighbours[slot++] = !IsCellNeighbour(g)
                                   ? int16_t(Level.BorderStyle == TBorderStyle::Frame ? Level.TotalTileNum : -1)
                                   : int16_t(g.NeighbourId);
      }
    }
    if (minX <= maxX) {  // a cell without a real edge keeps its layout rectangle
      p.PieceX = int32_t(minX);
      p.PieceY = int32_t(minY);
      p.PieceW = int32_t(maxX - minX) + 1;
      p.PieceH = int32_t(maxY - minY) + 1;
    }
    p.SeedX = Round(cell.CentreX);
    p.SeedY = Round(cell.CentreY);
  }
  // An edge that rounding left in one of its two cells only still makes them neighbours.
  for (int32_t i = 0; i < CellCount; ++i) {
    for (int16_t n : Pieces[i].Neighbours) {
      if (n < 0 || n >= CellCount) continue;
      int16_t* back = Pieces[n].Neighbours;
      if (std::find(back, back + 9, int16_t(i)) != back + 9) continue;
      int16_t* slot = std::find(back, back + 9, int16_t(-1));
      if (slot != back + 9) *slot = int16_t(i);
    }
  }
  LinkTwins();
}

// --- Edges ----------------------------------------------------------------------------------

void TCellCut::SetActiveKnobs(double length, TIntPoint p1, TIntPoint p2) {
  TKnobState& k = Target.Knobs;
  const double tile = Level.TileS;
  std::vector<int32_t> list;
  switch (Style) {
    case TShapeStyle::Irregular:
      if (length > 6 * tile / 5.0) {
        list = {1};
      } else if (length >= tile / 2.0) {
        list = {0};
      } else {
        list = {11};
      }
      break;
    case TShapeStyle::IrregularSimpleKnobs:
      if (p1.x == Level.JigsL || p2.x == Level.JigsL || p2.y == Level.JigsB) {
        list = {4};
      } else if (p1.x == Level.JigsR || p2.x == Level.JigsR || p1.y == Level.JigsT) {
        list = {5};
      } else {
        list = {3};
      }
      break;
    case TShapeStyle::IrregularFancyKnobs:
      if (length <= tile && Level.JigsL < p1.x && p2.x < Level.JigsR && p1.y > Level.JigsT && p2.y < Level.JigsB) {
        list = {6, 7, 8, 9};
      } else {
        list = {6, 8, 9};
      }
      break;
    default:
      if (length <= tile) {
        list = {0, 13, 14, 15, 10, 11, 12};
      } else {
        list = {0, 1, 6, 13, 14, 15};
      }
      break;
  }
  k.ActiveKnobCount = int32_t(list.size());
  std::copy(list.begin(), list.end(), k.ActiveKnobs);
}

void TCellCut::DrawEdge(int32_t cell, TCellSegment& g) {
  const TIntPoint p1{int32_t(g.x1), int32_t(g.y1)}, p2{int32_t(g.x2), int32_t(g.y2)};
  const uint32_t colour = Colour(cell);
  if (g.Length < 3.0 || ((Flags & kShortStraight) && g.Length < Level.TileS / 3.0)) {
    DrawLine(p1, p2, colour);
    return;
  }
  const int32_t nb = g.NeighbourId;
  TPieceRecord& own = Pieces[cell];
  TBoundsRect bounds{own.PieceX, own.PieceY, own.PieceX + own.PieceW - 1, own.PieceY + own.PieceH - 1};
  const TIntPoint ownPt = Point(cell), nbPt = Point(nb);
  double roomA = Room(p1, p2, ownPt), roomB = Room(p1, p2, nbPt);
  const bool steep = std::abs(p1.y - p2.y) > std::abs(p1.x - p2.x);
  bool exchange;
  if (p1.x == p2.x) {
    exchange = p1.x > ownPt.x;
  } else if (p1.y == p2.y) {
    exchange = p1.y < ownPt.y;
  } else {
    const double t = double(ownPt.x - p1.x) / (p2.x - p1.x), u = double(ownPt.y - p1.y) / (p2.y - p1.y);
    exchange = (steep && p2.x <= p1.x) ? u < t : u > t;
  }
  if (exchange) std::swap(roomA, roomB);
  SetActiveKnobs(g.Length, p1, p2);
  const bool alternating = (Flags & kAlternating) != 0;
  const auto drawMirror = [&]() { return alternating ? !steep : Target.Rng.Random(2) != 0; };
  const uint8_t knob = uint8_t(Target.Knobs.ActiveKnobs[Target.Rng.Random(uint32_t(Target.Knobs.ActiveKnobCount))]);
  bool mirrored = drawMirror();
  if (knob == 8) {
    const bool a = p1.x > Level.JigsL && p2.x > Level.JigsL && p1.y > Level.JigsT;
    const bool b = p1.x < Level.JigsR && p2.x < Level.JigsR && p2.y < Level.JigsB;
    if (!a) {
      mirrored = false;
    } else if (!b) {
      mirrored = true;
    }
  }
  const int32_t d = Level.TileS / 10;
  const auto tries = [&](uint8_t k, bool m) {
    const uint8_t side = g.Side;
    const std::pair<uint8_t, bool> order[4] = {{side, m}, {side, !m}, {uint8_t(side ^ 1), m}, {uint8_t(side ^ 1), !m}};
    for (int32_t n = 0; n < (alternating ? 1 : 4); ++n) {
      TBoundsRect b = bounds;
      if (DrawKnobEdge(Target, Flags, order[n].first, k, order[n].second, p1, p2, colour, roomA, roomB, d, b, ownPt,
                       nbPt)) {
        bounds = b;
        return true;
      }
    }
    return false;
  };
  bool drawn = tries(knob, mirrored);
  for (size_t f = 0; f < Fallback.size() && !drawn; ++f) drawn = tries(uint8_t(Fallback[f]), drawMirror());
  if (!drawn) {
    DrawLine(p1, p2, colour);
    return;
  }
  GrowPieceRect(own, bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
  GrowPieceRect(Pieces[nb], bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
}

void TCellCut::DrawSidesAndEdges() {
  const bool alternating = (Flags & kAlternating) != 0;
  for (int32_t i = 0; i < CellCount; ++i) {
    TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!g.Valid || !IsCellNeighbour(g) || g.Length < 3.0 || g.NeighbourId <= i) continue;
      g.Side = alternating ? uint8_t(std::fabs(g.y1 - g.y2) > std::fabs(g.x1 - g.x2) ? 1 : 0)
                           : uint8_t(Target.Rng.Random(2));
      if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Side = g.Side ^ 1;
    }
  }
  for (int32_t i = 0; i < CellCount; ++i) {
    if (Shaped(i)) continue;
    TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!g.Valid || !IsCellNeighbour(g) || g.NeighbourId <= i || Shaped(g.NeighbourId)) continue;
      DrawEdge(i, g);
    }
  }
  DrawFrameLines(Target.CutMap, PieceColor(kFrameCode));
}

// Each plain cell's region takes its colour, as a flood fill from its point would give it, in
// cell order: a point whose region an earlier cell took (or that lies on a line) tries the middle
// of its edges, else the cell fails. The regions are labelled once and painted run by run,
// which is what the fills would do pixel by pixel.
bool TCellCut::Fill() {
  TRegionClaims claims(Target.CutMap, CellCount);
  bool ok = true;
  for (int32_t i = 0; i < CellCount; ++i) {
    if (Shaped(i)) continue;
    TPieceRecord& p = Pieces[i];
    TIntPoint seed = Point(i);
    int32_t region = claims.FreeRegion(seed.x, seed.y);
    if (region < 0) {
      const TCellRecord& c = Cells[size_t(i)];
      double sx = 0, sy = 0;
      int32_t n = 0;
      for (int32_t s = 0; s < c.SegmentCount; ++s) {
        const TCellSegment& g = c.Segments[s];
        if (!g.Valid || (IsCellNeighbour(g) && Shaped(g.NeighbourId))) continue;
        sx += g.x1 + g.x2;
        sy += g.y1 + g.y2;
        ++n;
      }
      if (n > 0) {
        const TIntPoint alt = RoundPoint(sx / n / 2, sy / n / 2);
        region = claims.FreeRegion(alt.x, alt.y);
        if (region >= 0) {
          seed = alt;
          p.SeedX = alt.x;
          p.SeedY = alt.y;
        }
      }
    }
    if (region < 0) {
      FailedIndex = i;
      FailedX = seed.x;
      FailedY = seed.y;
      ok = false;
      continue;
    }
    claims.Take(region, i, Colour(i));
  }
  const std::vector<TBoundsRect> boxes = claims.Paint();
  for (int32_t i = 0; i < CellCount; ++i) {
    const TBoundsRect& b = boxes[size_t(i)];
    if (b.Left <= b.Right) GrowPieceRect(Pieces[i], b.Left, b.Top, b.Right, b.Bottom);
  }
  return ok;
}

bool TCellCut::Attempt() {
  if (!MapBlank) PaintBlankMap();
  MapBlank = false;
  LayoutCells(Level, Pieces);
  if (!UseShapes) {
    for (int32_t i = 0; i < CellCount; ++i) Pieces[i].ShapeFlag = 0;
  }
  RestoreCells();
  MeasureEdges();
  SeparateCodes();
  Step();
  RepairFailed = false;
  Settled = false;
  if (UseShapes && !PlaceShapes()) {
    RepairFailed = true;
    Step();
    return false;
  }
  Step();
  DrawSidesAndEdges();
  const bool filled = Fill();
  if (!filled || !UseShapes) return filled;
  // Shapes can still leave a piece's point in another's colour or run two pieces of one code
  // together once the map is cleaned up: the attempt fails then, as for a taken fill seed.
  Settle();
  Settled = true;
  return RegionsSound();
}

void TCellCut::Finish() {
  // The cells are done with: their records would only add to the peak of the map's last passes.
  Cells.reset();
  std::vector<TSavedCell>().swap(SavedCells);
  std::vector<TSavedSegment>().swap(SavedSegments);
  Builder = TCellBuilder{};
  if (!Settled) Settle();
  Step();
  if (Level.BorderStyle == TBorderStyle::Frame) {
    TPieceRecord& f = Pieces[Level.TotalTileNum];
    f.PieceX = f.PieceY = 0;
    f.PieceW = Level.ImageW;
    f.PieceH = Level.ImageH;
    f.Code = kFrameCode;
    f.Code2 = 128;
    for (int16_t& n : f.Neighbours) n = kNoNeighbour;
    ++Level.TotalTileNum;
  }
  Step();
  Step();  // the game copies the map into its piece masks here
  FreeShapeFile(Shapes);
}

// The frame, holes, notches, pockets and fragments: the map's clean-up once the cells are drawn.
void TCellCut::Settle() {
  if (Level.BorderStyle == TBorderStyle::Frame) FloodFillDib(Target.CutMap, 0, 0, PieceColor(kFrameCode));
  FillHoles();
  RemoveFrameNotches(Target.CutMap, Area);
  FillWhitePockets();
  MeasurePieces();
}

// Holes in the pieces take their colour, and each shape its measure. Only a shape is measured;
// a plain cell with no white about it has nothing to fill. A shape with no white in its
// rectangle is only read, and no other fill can reach into it (fills colour white pixels only):
// those are measured beside the rest.
void TCellCut::FillHoles() {
  TWhiteRows whites;
  FindWhiteRows(Target.CutMap, Level.ImageW, Level.ImageH, whites);
  const auto rectOf = [&](int32_t i) {
    const TPieceRecord& p = Pieces[i];
    return TBoundsRect{p.PieceX, p.PieceY, p.PieceX + p.PieceW + 1, p.PieceY + p.PieceH + 1};
  };
  std::vector<int32_t> alone, inTurn;
  for (int32_t i = 0; i < CellCount; ++i) {
    const TBoundsRect rect = rectOf(i);
    if (!Shaped(i)) {
      if (MayFillCodeHoles(Target, rect, whites)) inTurn.push_back(i);
    } else {
      (HoldsWhite(Target, rect, whites) ? inTurn : alone).push_back(i);
    }
  }
  const auto measure = [&](int32_t i) {
    TBoundsRect bounds;
    FillCodeHoles(Target, rectOf(i), Colour(i), bounds, &whites);
    TPieceRecord& p = Pieces[i];
    if (Shaped(i) && bounds.Left != 10000) {
      p.PieceX = bounds.Left;
      p.PieceY = bounds.Top;
      p.PieceW = bounds.Right - bounds.Left + 1;
      p.PieceH = bounds.Bottom - bounds.Top + 1;
    }
  };
  MeasureBeside(inTurn, alone, measure);
}

// The cells from the points, relaxed twice towards their centres, and kept for every attempt.
// A hull that cannot be started (a single point) is told at once, as the triangulation reports
// it; the grid's cells take over and the cut goes on. Other refusals are kept in failure, to be
// told only when the grid in their place does not cut either.
void TCellCut::Triangulate(std::string& triangulationFailure) {
  LayoutCells(Level, Pieces);
  Cells.reset(new TCellRecord[size_t(CellCount)]());

  PlacePoints();
  Step();
  std::string message;
  const auto build = [&] {
    const bool built = BuildOrGrid(message);
    if (built) return true;
    if (CellCount < 2 && Target.ShowMessage) {  // no pair of points to start the hull from
      Target.ShowMessage(message);
    } else {
      triangulationFailure = message;
    }
    return false;
  };
  bool triangulated = build();
  Step();
  for (int32_t round = 0; round < 2; ++round) {
    if (triangulated) {
      for (int32_t i = 0; i < CellCount; ++i)
        Cells[size_t(i)].SeedPoint = RoundPoint(Cells[size_t(i)].CentreX, Cells[size_t(i)].CentreY);
      triangulated = build();
    }
    Step();
  }
  SaveCells();
}

bool TCellCut::Run() {
  // A style that is not a cells one is cut as the one with figures.
  Style = IsGridStyle(Level.ShapeStyle) ? TShapeStyle::IrregularFigures : Level.ShapeStyle;
  const TShapeStyleRow& row = ShapeStyleRow(Style);
  Flags = kScaledKnobs | kShortStraight | (row.AlternatingKnobs ? kAlternating : 0);
  Fallback = row.FallbackKnobs;
  if (row.PictureShapes) {
    if (LoadShapeFile(ShapePath, Shapes)) {
      UseShapes = Shapes.ShapeCount > 0;
    } else if (Target.ShowMessage) {
      Target.ShowMessage(kInvalidShapeFileText);
    }
  }
  // An alternating cut keeps to the one plain knob; the others start from the whole set.
  TKnobState& knobs = Target.Knobs;
  knobs.ActiveKnobCount = row.AlternatingKnobs ? 1 : 16;
  for (int32_t k = 0; k < 16; ++k) knobs.ActiveKnobs[k] = row.AlternatingKnobs ? 3 : k;

  const bool mapMade = CreateDib24(Target.CutMap, Level.ImageW + 5, Level.ImageH + 5);
  LoadKnobSetA(knobs);
  MeasureKnobTemplates(knobs);
  Level.JigsL = Level.JigsT = Level.BorderStyle == TBorderStyle::Frame ? 20 : 0;
  Level.JigsR = Level.ImageW - Level.JigsL - 1;
  Level.JigsB = Level.ImageH - Level.JigsT - 1;
  Area = CutAreaOf(Level);
  CellCount = Level.TileNum;
  // A picture with no room for a single cell (or none to cut at all) has nothing to cut: the
  // steps still run out, and the map stays blank.
  if (!mapMade || CellCount <= 0 || Level.TilePX <= 0 || Level.TilePY <= 0 ||
      CellCount != Level.TilePX * Level.TilePY || Area.Right - Area.Left < 2 || Area.Bottom - Area.Top < 2) {
    if (mapMade) PaintBlankMap();
    for (int32_t k = 0; k < 9; ++k) Step();
    FreeShapeFile(Shapes);
    return false;
  }
  std::string triangulationFailure;
  // The triangulation never reads the map: the first (and longest) blank paint, most of it the
  // new map's first touch, goes on beside it.
  RunBeside([&map = Target.CutMap, w = Level.ImageW, h = Level.ImageH] { PaintBlank(map, w, h); },
            [&] { Triangulate(triangulationFailure); });
  MapBlank = true;

  const int32_t afterRelaxation = Target.Progress.ProgressPos;
  bool ok = false;
  for (int32_t attempt = 0; attempt < kAttempts && !ok; ++attempt) {
    Target.Progress.ProgressPos = afterRelaxation;
    ok = Attempt();
  }
  // Shapes that will not fit after three attempts: a cut without them rather than a broken one.
  if (!ok && UseShapes) {
    UseShapes = false;
    Counts.ErasedByRepair = Counts.Placed - Counts.ErasedByOverlap;
    for (int32_t attempt = 0; attempt < kAttempts && !ok; ++attempt) {
      Target.Progress.ProgressPos = afterRelaxation;
      ok = Attempt();
    }
  }
  Finish();
  if (!ok && Target.ShowMessage) {
    // Only the hull failure is the player's business; a cell out of room is told by the
    // paint messages that follow.
    if (triangulationFailure == kFirstEdgeFailedText) Target.ShowMessage(triangulationFailure);
    if (!RepairFailed) {
      char text[96];
      std::snprintf(text, sizeof text, "PaintError: Ind = %d, CellX = %d, CellY = %d", FailedIndex, FailedX, FailedY);
      Target.ShowMessage(text);
    }
    Target.ShowMessage(kPaintErrorKey);
  }
  return ok;
}

}  // namespace cell_cut

bool CutJigsawCells(TCutTarget& target, const std::string& shapeFilePath, TShapeCounts* counts) {
  cell_cut::TCellCut cut(target, shapeFilePath);
  const bool ok = cut.Run();
  if (counts) *counts = cut.Counts;
  return ok;
}
