#include "engine/cut_cells.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/cells.h"
#include "engine/curves.h"
#include "engine/code_holes.h"
#include "engine/knobs.h"
#include "engine/shape_file.h"
#include "foundation/dib_ops.h"
#include "platform/metafile.h"

namespace {

constexpr uint8_t kScaledKnobs = 1;  // the knob grows with the edge
constexpr uint8_t kAlternating = 2;  // sides and mirroring follow the edge's direction
constexpr uint8_t kShortStraight = 4;  // edges shorter than TileS / 3 are straight
constexpr int32_t kAttempts = 3;
constexpr int32_t kRepairRounds = 16;
constexpr int32_t kFrameCode = 5;
// A point that cannot be placed after this many draws takes the middle of its cell instead.
constexpr int32_t kMaxPointDraws = 10000;

TIntPoint RoundPoint(double x, double y) { return {Round(x), Round(y)}; }

// The piece rectangle grows to hold the inclusive box.
void GrowPieceRect(TPieceRecord& p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  left = std::min(p.PieceX, left);
  top = std::min(p.PieceY, top);
  right = std::max(p.PieceX + p.PieceW - 1, right);
  bottom = std::max(p.PieceY + p.PieceH - 1, bottom);
  p.PieceX = left;
  p.PieceY = top;
  p.PieceW = right - left + 1;
  p.PieceH = bottom - top + 1;
}

bool SamePoint(TIntPoint a, TIntPoint b) { return a.x == b.x && a.y == b.y; }

// The distance of o from the line a-b: twice the triangle's area (Heron) over the base.
double Room(TIntPoint a, TIntPoint b, TIntPoint o) {
  const double ab = std::hypot(double(b.x - a.x), double(b.y - a.y));
  const double ao = std::hypot(double(o.x - a.x), double(o.y - a.y));
  const double bo = std::hypot(double(o.x - b.x), double(o.y - b.y));
  if (ab == 0) return 0;
  const double s = (ab + ao + bo) / 2;
  const double product = s * (s - ab) * (s - ao) * (s - bo);
  return 2 * std::sqrt(std::max(0.0, product)) / ab;  // rounding may leave a tiny negative product
}

class TCellCut {
 public:
  TCellCut(TCutTarget& target, const std::string& shapePath)
      : T(target), L(target.GameLevel), P(target.Pieces), ShapePath(shapePath) {}

  TShapeCounts Counts;

  bool Run();

 private:
  TCutTarget& T;
  TLevelRecord& L;
  TPieceRecord* P;
  std::string ShapePath;
  TCutArea Area{};
  int32_t N = 0;
  uint8_t Style = 0;
  uint8_t Flags = 0;
  std::vector<int32_t> Fallback;
  TShapeFile Shapes;
  bool UseShapes = false;
  std::unique_ptr<TCellRecord[]> Cells;
  std::unique_ptr<TCellRecord[]> Backup;
  TCellBuilder Builder;
  // The last fill that found its seed taken: piece index and seed.
  int32_t FailedIndex = -1, FailedX = 0, FailedY = 0;
  bool RepairFailed = false;
  // Shapes whose surroundings the repair could not close; they are taken out and the repair
  // runs again without them.
  std::vector<uint8_t> ShapeFailed;
  struct TDrawnShape {
    TMetafile Outline;
    int32_t X, Y, W, H;
  };
  std::vector<TDrawnShape> Drawn;

  uint32_t Colour(int32_t i) const { return PieceColor(P[i].Code); }
  bool Shaped(int32_t i) const { return UseShapes && P[i].ShapeFlag != 0; }
  bool IsCellNeighbour(const TCellSegment& s) const { return s.NeighbourId != kBorderId; }
  TIntPoint Point(int32_t i) const { return {P[i].SeedX, P[i].SeedY}; }

  void DrawLine(TIntPoint a, TIntPoint b, uint32_t colour) { DrawDibLine(T.CutMap, a.x, a.y, b.x, b.y, colour); }

  void PaintBlankMap();
  void DrawFrameLines(TDibImage& map, uint32_t colour);
  void SeparateCodes();
  void PlacePoints();
  bool BuildOrGrid(std::string& message);
  void BuildGridCells();
  bool Attempt();
  void RestoreCells();
  void SortEdges();
  void LinkTwins();
  void MeasureEdges();
  bool PlaceShapes();
  bool RepairAroundShapes();
  void ExtendEdge(int32_t cell, int32_t slot, int32_t shape);
  bool EndAtShape(TIntPoint e, int32_t shape) const;
  // Where a walk may meet a shape: around its own drawing only, never at another shape of the
  // same code further along the line.
  TBoundsRect ShapeClip(int32_t shape) const {
    const TDrawnShape& d = Drawn[size_t(shape)];
    return {std::max(Area.Left, d.X - 1), std::max(Area.Top, d.Y - 1), std::min(Area.Right, d.X + d.W),
            std::min(Area.Bottom, d.Y + d.H)};
  }
  void MarkLeakingShapes();
  TDibHolder Trial;
  bool JoinAtCrossing(int32_t cell, int32_t i, int32_t j, double x, double y);
  void SetEnds(int32_t cell, int32_t slot, TIntPoint a, TIntPoint b, bool newChord);
  void DrawSidesAndEdges();
  void DrawEdge(int32_t cell, TCellSegment& s);
  void SetActiveKnobs(double length, TIntPoint p1, TIntPoint p2);
  bool Fill();
  void FillWhitePockets();
  void MeasurePieces();
  void Finish();
  void Step() { T.Progress.Step(); }
};

// The code table keeps grid neighbours apart, but an irregular cell can reach a cell three
// columns or rows away, which has its code: the two regions would run together in the map. Such
// a cell takes the first code of the table that none of its neighbours has.
void TCellCut::SeparateCodes() {
  static constexpr uint8_t kCodes[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};
  // Neighbours both ways: rounding can leave an edge in one of the two cells only.
  std::vector<std::vector<int32_t>> adjacent(static_cast<size_t>(N));
  for (int32_t i = 0; i < N; ++i) {
    const TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      const TCellSegment& g = c.Segments[s];
      if (!IsCellNeighbour(g) || g.NeighbourId >= N) continue;
      adjacent[size_t(i)].push_back(g.NeighbourId);
      adjacent[g.NeighbourId].push_back(i);
    }
  }
  for (int32_t i = 0; i < N; ++i) {
    const auto used = [&](uint8_t code) {
      for (int32_t n : adjacent[size_t(i)]) {
        if (P[n].Code == code) return true;
      }
      return false;
    };
    if (!used(P[i].Code)) continue;
    for (uint8_t code : kCodes) {
      if (!used(code)) {
        P[i].Code = code;
        break;
      }
    }
  }
}

// With a frame border: the four lines one pixel outside the cut area.
void TCellCut::DrawFrameLines(TDibImage& map, uint32_t colour) {
  if (L.BorderStyle != 1) return;
  const int32_t l = L.JigsL - 1, t = L.JigsT - 1, r = L.JigsR + 1, b = L.JigsB + 1;
  DrawDibLine(map, l, t, r, t, colour);
  DrawDibLine(map, l, b, r, b, colour);
  DrawDibLine(map, l, t, l, b, colour);
  DrawDibLine(map, r, t, r, b, colour);
}

void TCellCut::PaintBlankMap() {
  FillDibRect(T.CutMap, 0, 0, L.ImageW, L.ImageH, 0xFFFFFF);
  FillDibRect(T.CutMap, L.ImageW, 0, 5, L.ImageH, 0);
  FillDibRect(T.CutMap, 0, L.ImageH, L.ImageW + 5, 5, 0);
}

void TCellCut::PlacePoints() {
  TRandom& rng = T.Rng;
  for (int32_t i = 0; i < N; ++i) {
    const TPieceRecord& r = P[i];
    TIntPoint pt{};
    for (int32_t draws = 0;; ++draws) {
      int32_t tries = 0;
      do {
        pt.x = r.CellX + int32_t(rng.Random(uint32_t(r.CellW)));
      } while ((pt.x <= L.JigsL || pt.x >= L.JigsR) && ++tries < kMaxPointDraws);
      tries = 0;
      do {
        pt.y = r.CellY + int32_t(rng.Random(uint32_t(r.CellH)));
      } while ((pt.y <= L.JigsT || pt.y >= L.JigsB) && ++tries < kMaxPointDraws);
      bool close = false;
      for (int32_t dy = -2; dy <= 0 && !close; ++dy) {
        bool stop = false;
        for (int32_t dx = -2; dx <= 2; ++dx) {
          const int32_t k = dy * L.TilePX + dx;
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
  for (int32_t r = 0; r < L.TilePY; ++r) {
    for (int32_t c = 0; c < L.TilePX; ++c) {
      const int32_t i = r * L.TilePX + c;
      const TPieceRecord& p = P[i];
      TCellRecord& cell = Cells[size_t(i)];
      cell.SegmentCount = cell.TriangleCount = 0;
      const double left = c == 0 ? Area.Left : p.CellX, top = r == 0 ? Area.Top : p.CellY;
      const double right = c == L.TilePX - 1 ? Area.Right : p.CellX + p.CellW;
      const double bottom = r == L.TilePY - 1 ? Area.Bottom : p.CellY + p.CellH;
      const auto id = [&](bool inside, int32_t other) { return inside ? uint16_t(other) : kBorderId; };
      AddCellSegment(Area, cell, id(r > 0, i - L.TilePX), left, top, right, top);
      AddCellSegment(Area, cell, id(r < L.TilePY - 1, i + L.TilePX), left, bottom, right, bottom);
      AddCellSegment(Area, cell, id(c > 0, i - 1), left, top, left, bottom);
      AddCellSegment(Area, cell, id(c < L.TilePX - 1, i + 1), right, top, right, bottom);
      cell.CentreX = (left + right) / 2;
      cell.CentreY = (top + bottom) / 2;
      cell.SeedPoint = RoundPoint(cell.CentreX, cell.CentreY);
    }
  }
}

bool TCellCut::BuildOrGrid(std::string& message) {
  if (BuildCells(Builder, Cells.get(), N, Area, message)) {
    // Nearly collinear points (a single row or column of cells) can leave a cell without any
    // edge to another: its circumcentres all lie outside the cut area. Such cells cannot be
    // told apart; the grid can.
    bool usable = true;
    for (int32_t i = 0; i < N && usable && N > 1; ++i) {
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

void TCellCut::RestoreCells() {
  for (int32_t i = 0; i < N; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    const TCellRecord& saved = Backup[size_t(i)];
    cell.CentreX = saved.CentreX;
    cell.CentreY = saved.CentreY;
    cell.SegmentCount = saved.SegmentCount;
    for (int32_t s = 0; s < kCellSegmentRoom; ++s) {
      TCellSegment& g = cell.Segments[s];
      if (s >= saved.SegmentCount) {
        g.Valid = 0;
        continue;
      }
      const TCellSegment& b = saved.Segments[s];
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
      g.LedTo = -1;
      if (Style == 3) ClipLineToCutArea(Area, g.rx1, g.ry1, g.rx2, g.ry2);  // the chord across the area
      g.Length = std::hypot(g.x2 - g.x1, g.y2 - g.y1);
    }
  }
}

void TCellCut::SortEdges() {
  for (int32_t i = 0; i < N; ++i) {
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
  for (int32_t i = 0; i < N; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    for (int32_t s = 0; s < cell.SegmentCount; ++s) {
      TCellSegment& g = cell.Segments[s];
      if (!IsCellNeighbour(g) || g.TwinCell >= 0 || g.NeighbourId >= N) continue;
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
  for (int32_t i = 0; i < N; ++i) {
    TCellRecord& cell = Cells[size_t(i)];
    TPieceRecord& p = P[i];
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
        p.Neighbours[slot++] = !IsCellNeighbour(g) ? int16_t(L.BorderStyle == 1 ? L.TotalTileNum : -1)
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
  for (int32_t i = 0; i < N; ++i) {
    for (int16_t n : P[i].Neighbours) {
      if (n < 0 || n >= N) continue;
      int16_t* back = P[n].Neighbours;
      if (std::find(back, back + 9, int16_t(i)) != back + 9) continue;
      int16_t* slot = std::find(back, back + 9, int16_t(-1));
      if (slot != back + 9) *slot = int16_t(i);
    }
  }
  LinkTwins();
}

// --- Picture shapes -------------------------------------------------------------------------

bool TCellCut::PlaceShapes() {
  const int32_t px = L.TilePX, py = L.TilePY;
  Counts = TShapeCounts{};
  for (int32_t i = 0; i < N; ++i) Counts.PatternCells += P[i].ShapeFlag != 0;
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
      } else if (P[g.NeighbourId].ShapeFlag) {
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
        if (!P[i].ShapeFlag || (count(i, border) <= limit && !border)) continue;
        P[i].ShapeFlag = 0;
        bool moved = false;
        for (int32_t dy = -2; dy <= 2 && !moved; ++dy) {
          for (int32_t dx = -2; dx <= 2 && !moved; ++dx) {
            const int32_t rr = r + dy, cc = c + dx, k = rr * px + cc;
            if ((!dy && !dx) || !inner(rr, cc) || P[k].ShapeFlag) continue;
            bool kb;
            if (count(k, kb) == 0 && !kb) {
              P[k].ShapeFlag = 1;
              moved = true;
            }
          }
        }
      }
    }
  }

  const TMfClip clip{Area.Left, Area.Top, Area.Right, Area.Bottom};
  const std::vector<TPieceRecord> plain(P, P + N);
  Drawn.assign(size_t(N), TDrawnShape{});
  for (int32_t r = 1; r <= py - 2; ++r) {
    for (int32_t c = 1; c <= px - 2; ++c) {
      const int32_t i = r * px + c;
      if (!P[i].ShapeFlag) continue;
      const int32_t k = int32_t(T.Rng.Random(uint32_t(Shapes.ShapeCount)));
      ShapeMetafile(Shapes, k);
      const TShapeEntry& e = Shapes.ShapeDirectory[size_t(k)];
      const int32_t w = e.Width, h = e.Height, W = P[i].PieceW, H = P[i].PieceH;
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
      const double angle = double(int32_t(T.Rng.Random(60)) - 30);
      const bool lr = e.MirrorLeftRight ? T.Rng.Random(2) != 0 : false;
      const bool tb = e.MirrorTopBottom ? T.Rng.Random(2) != 0 : false;
      TMetafile mf = Shapes.CurrentShape;
      MirrorMetafile(mf, lr, tb);
      int32_t rw, rh;
      RotateMetafile(mf, angle, rw, rh);
      const int32_t dw = Round(rw * scale), dh = Round(rh * scale);
      const TCellRecord& cell = Cells[size_t(i)];
      const int32_t x = Round(cell.CentreX) - dw / 2, y = Round(cell.CentreY) - dh / 2;
      P[i].PieceX = x;
      P[i].PieceY = y;
      P[i].PieceW = dw;
      P[i].PieceH = dh;
      // Too small to be a piece of its own: the cell stays plain.
      if (dw < 3 || dh < 3) {
        P[i].ShapeFlag = 0;
        continue;
      }
      const uint32_t colour = Colour(i);
      RecolorMetafile(mf, colour);
      PlayMetafile(mf, *T.CutMap.Bitmap, x, y, dw, dh, clip);

      bool overlap = false;
      for (int32_t dy = -2; dy <= 2 && !overlap; ++dy) {
        for (int32_t dx = -2; dx <= 2 && !overlap; ++dx) {
          const int32_t rr = r + dy, cc = c + dx, k2 = rr * px + cc;
          if ((!dy && !dx) || rr < 0 || rr >= py || cc < 0 || cc >= px || P[k2].ShapeFlag) continue;
          overlap = uint32_t(GetDibPixel(T.CutMap, P[k2].SeedX, P[k2].SeedY)) == colour;
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
          overlap = SegmentHasCode(T.CutMap, int32_t(o.x1), int32_t(o.y1), int32_t(o.x2), int32_t(o.y2), colour);
        }
      }
      ++Counts.Placed;
      if (overlap) {
        RecolorMetafile(mf, 0xFFFFFF);
        PlayMetafile(mf, *T.CutMap.Bitmap, x, y, dw, dh, clip);
        P[i].ShapeFlag = 0;
        ++Counts.ErasedByOverlap;
      } else {
        Drawn[size_t(i)] = {std::move(mf), x, y, dw, dh};
      }
    }
  }

  // The repair, again without the shapes it could not close around, until it closes.
  std::vector<TPieceRecord> placed(P, P + N);
  for (int32_t round = 0;; ++round) {
    ShapeFailed.assign(size_t(N), 0);
    const bool repaired = RepairAroundShapes();
    if (repaired) MarkLeakingShapes();
    bool culprits = false;
    for (int32_t i = 0; i < N; ++i) culprits |= ShapeFailed[size_t(i)] && P[i].ShapeFlag;
    if (repaired && !culprits) return true;
    // Two or three rounds are the rule; a cut that keeps finding culprits tries again instead.
    if (!culprits || round == kRepairRounds) return false;
    for (int32_t i = 0; i < N; ++i) {
      if (!ShapeFailed[size_t(i)] || !placed[size_t(i)].ShapeFlag) continue;
      TDrawnShape& d = Drawn[size_t(i)];
      RecolorMetafile(d.Outline, 0xFFFFFF);
      PlayMetafile(d.Outline, *T.CutMap.Bitmap, d.X, d.Y, d.W, d.H, clip);
      placed[size_t(i)] = plain[size_t(i)];
      placed[size_t(i)].ShapeFlag = 0;
      ++Counts.ErasedByRepair;
    }
    std::copy(placed.begin(), placed.end(), P);
    RestoreCells();
    SortEdges();
    LinkTwins();
  }
}

// A trial run of the fills on a copy of the map, with every edge drawn straight: where one
// cell's fill reaches another cell's point, the shapes next to the two cells are marked as
// failed, so that the repair runs again without them.
void TCellCut::MarkLeakingShapes() {
  TDibImage& trial = *Trial;
  if (trial.Width != T.CutMap.Width || trial.Height != T.CutMap.Height) CreateDib24(trial, T.CutMap.Width, T.CutMap.Height);
  std::copy(T.CutMap.Bits, T.CutMap.Bits + T.CutMap.ImageSize, trial.Bits);
  constexpr uint32_t kLine = 0x000002;  // red 2: no piece colour (red 128), no cell mark (red 1)
  const auto mark = [](int32_t i) { return uint32_t(0x000001) | (uint32_t(i + 1) << 8); };
  for (int32_t i = 0; i < N; ++i) {
    if (Shaped(i)) continue;
    const TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      const TCellSegment& g = c.Segments[s];
      if (!g.Valid || !IsCellNeighbour(g) || g.NeighbourId <= i || Shaped(g.NeighbourId)) continue;
      DrawDibLine(trial, int32_t(g.x1), int32_t(g.y1), int32_t(g.x2), int32_t(g.y2), kLine);
    }
  }
  DrawFrameLines(trial, kLine);
  const auto blame = [&](int32_t cell) {
    const TCellRecord& c = Cells[size_t(cell)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      const TCellSegment& g = c.Segments[s];
      if (IsCellNeighbour(g) && Shaped(g.NeighbourId)) ShapeFailed[g.NeighbourId] = 1;
    }
  };
  for (int32_t i = 0; i < N; ++i) {
    if (Shaped(i)) continue;
    const uint32_t at = MapColorAt(trial, P[i].SeedX, P[i].SeedY);
    if (at == 0xFFFFFF) {
      FloodFillDib(trial, P[i].SeedX, P[i].SeedY, mark(i));
      continue;
    }
    blame(i);
    if ((at & 0xFF) == 1) blame(int32_t(at >> 8) - 1);
  }
}

void TCellCut::SetEnds(int32_t cell, int32_t slot, TIntPoint a, TIntPoint b, bool newChord) {
  TCellSegment* both[2] = {&Cells[size_t(cell)].Segments[slot], nullptr};
  if (both[0]->TwinCell >= 0) both[1] = &Cells[size_t(both[0]->TwinCell)].Segments[both[0]->TwinSlot];
  double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
  OrderPoints(x1, y1, x2, y2);
  // The line is drawn in one of the two pieces' colours: both rectangles must hold it.
  for (int32_t owner : {cell, both[0]->TwinCell}) {
    if (owner < 0) continue;
    GrowPieceRect(P[owner], std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
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
// own line when that meets the shape, else turned towards it by up to 90 degrees.
void TCellCut::ExtendEdge(int32_t cell, int32_t slot, int32_t shape) {
  const TCellSegment& g = Cells[size_t(cell)].Segments[slot];
  const TIntPoint p = RoundPoint(g.rx1, g.ry1), q = RoundPoint(g.rx2, g.ry2);
  const TIntPoint s = Point(shape), own = Point(cell);
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
  const TIntPoint keep = firstSide ? TIntPoint{int32_t(g.x2), int32_t(g.y2)} : TIntPoint{int32_t(g.x1), int32_t(g.y1)};
  const TIntPoint far = firstSide ? p : q;
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
    TIntPoint c = RoundPoint(keep.x + dx * std::cos(a) + dy * std::sin(a), keep.y - dx * std::sin(a) + dy * std::cos(a));
    c.x = ClampInt(c.x, Area.Left, Area.Right);
    c.y = ClampInt(c.y, Area.Top, Area.Bottom);
    return c;
  };
  TIntPoint meet;
  bool turned = false;
  if (!WalkLineToPiece(T, shape, keep, far, ShapeClip(shape), meet)) {
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
      if (WalkLineToPiece(T, shape, keep, c, ShapeClip(shape), hit) && !SamePoint(hit, keep) && sidesKept(hit)) {
        meet = hit;
        found = true;
      }
    }
    if (!found) {
      ShapeFailed[size_t(shape)] = 1;
      return;
    }
    turned = true;
  }
  // Prefer a shorter way to the shape that keeps clear of both points.
  const TIntPoint current = meet;
  const double reach = std::hypot(double(current.x - keep.x), double(current.y - keep.y));
  for (int32_t deg = 20; deg >= -20; deg -= 2) {
    const TIntPoint c = turn(current, deg);
    TIntPoint hit;
    if (!WalkLineToPiece(T, shape, keep, c, ShapeClip(shape), hit) || SamePoint(hit, keep) || !sidesKept(hit)) continue;
    if (std::hypot(double(hit.x - keep.x), double(hit.y - keep.y)) >= reach) continue;
    double d1, d2, d3;
    TIntPoint f1, f2, f3;
    ProjectOnLine(keep, hit, own, d1, f1);
    ProjectOnLine(keep, hit, s, d2, f2);
    ProjectOnLine(keep, hit, other, d3, f3);
    if (std::fabs(d1) <= 4 || std::fabs(d2) <= 4 || std::fabs(d3) <= 4) continue;
    meet = hit;
    turned |= deg != 0;
  }
  SetEnds(cell, slot, keep, meet, turned);
  TCellSegment& led = Cells[size_t(cell)].Segments[slot];
  led.LedTo = shape;
  led.Anchor = keep;
  if (led.TwinCell >= 0) {
    Cells[size_t(led.TwinCell)].Segments[led.TwinSlot].LedTo = shape;
    Cells[size_t(led.TwinCell)].Segments[led.TwinSlot].Anchor = keep;
  }
}

// True when the point lies next to (or on) a pixel of the shaped cell's picture.
bool TCellCut::EndAtShape(TIntPoint e, int32_t shape) const {
  const uint32_t colour = Colour(shape);
  for (int32_t dy = -1; dy <= 1; ++dy) {
    for (int32_t dx = -1; dx <= 1; ++dx) {
      if (uint32_t(GetDibPixel(T.CutMap, e.x + dx, e.y + dy)) == colour) return true;
    }
  }
  return false;
}

// Two extended edges of one plain cell cross before they reach the shape: both stop at the
// crossing, and the two cells beyond them meet along a new edge from the crossing to the shape.
bool TCellCut::JoinAtCrossing(int32_t cell, int32_t i, int32_t j, double x, double y) {
  TCellRecord& c = Cells[size_t(cell)];
  const int32_t a = c.Segments[i].NeighbourId, b = c.Segments[j].NeighbourId;
  const auto ends = [&](int32_t slot) {
    const TCellSegment& g = c.Segments[slot];
    return std::pair<TIntPoint, TIntPoint>{{int32_t(g.x1), int32_t(g.y1)}, {int32_t(g.x2), int32_t(g.y2)}};
  };
  // The shape to join towards: of the shapes the two edges were led to, the one with a pixel
  // nearest to the crossing; the new edge heads for that pixel.
  const TIntPoint cross = RoundPoint(x, y);
  int32_t shape = -1;
  TIntPoint target{};
  double nearest = 1e300;
  // Squared distances are exact whole numbers: a pixel whose square is larger cannot be nearer.
  int64_t nearestSquare = INT64_MAX;
  for (int32_t candidate : {c.Segments[i].LedTo, c.Segments[j].LedTo}) {
    if (candidate < 0 || !Shaped(candidate)) continue;
    const TDrawnShape& d = Drawn[size_t(candidate)];
    const uint32_t colour = Colour(candidate);
    for (int32_t py = std::max(d.Y - 1, Area.Top); py <= std::min(d.Y + d.H, Area.Bottom); ++py) {
      const uint8_t* row = DibScanLine(T.CutMap, py);
      for (int32_t px = std::max(d.X - 1, Area.Left); px <= std::min(d.X + d.W, Area.Right); ++px) {
        const int64_t ddx = int64_t(px) - cross.x, ddy = int64_t(py) - cross.y;
        if (ddx * ddx + ddy * ddy > nearestSquare || PixelColorAt(row + intptr_t(px) * 3) != colour) continue;
        const double dist = std::hypot(double(px - cross.x), double(py - cross.y));
        if (dist < nearest) {
          nearest = dist;
          nearestSquare = ddx * ddx + ddy * ddy;
          shape = candidate;
          target = {px, py};
        }
      }
    }
  }
  if (shape < 0) return false;
  TIntPoint meet;
  // The new edge must part the two cells: their points on either side of it.
  const TIntPoint pa = Point(a), pb = Point(b);
  if (!WalkLineToPiece(T, shape, cross, target, ShapeClip(shape), meet) || Orientation(cross, target, pa) == 0 ||
      Orientation(cross, target, pa) == Orientation(cross, target, pb)) {
    ShapeFailed[size_t(shape)] = 1;
    return false;
  }
  TCellRecord& ca = Cells[size_t(a)];
  TCellRecord& cb = Cells[size_t(b)];
  // Two cells of one code would run together along the new edge.
  if (a == b || P[a].Code == P[b].Code || ca.SegmentCount >= kCellSegmentRoom || cb.SegmentCount >= kCellSegmentRoom) {
    ShapeFailed[size_t(shape)] = 1;
    return false;
  }
  // Each edge keeps the part from its end away from the shape up to the crossing.
  for (int32_t slot : {i, j}) {
    const TCellSegment& g = c.Segments[slot];
    const auto [e1, e2] = ends(slot);
    const bool at1 = EndAtShape(e1, shape), at2 = EndAtShape(e2, shape);
    bool keepFirst;
    if (at1 != at2) {
      keepFirst = at2;
    } else {
      keepFirst = std::hypot(double(e1.x - g.Anchor.x), double(e1.y - g.Anchor.y)) <=
                  std::hypot(double(e2.x - g.Anchor.x), double(e2.y - g.Anchor.y));
    }
    SetEnds(cell, slot, keepFirst ? e1 : e2, cross, false);
  }
  double x1 = cross.x, y1 = cross.y, x2 = meet.x, y2 = meet.y;
  OrderPoints(x1, y1, x2, y2);
  const int32_t sa = ca.SegmentCount++, sb = cb.SegmentCount++;
  for (auto [rec, slot, other, otherSlot] : {std::tuple{&ca, sa, b, sb}, std::tuple{&cb, sb, a, sa}}) {
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
    g.LedTo = shape;
    g.Length = std::hypot(x2 - x1, y2 - y1);
  }
  for (int32_t owner : {a, b}) GrowPieceRect(P[owner], int32_t(std::min(x1, x2)), int32_t(y1), int32_t(std::max(x1, x2)), int32_t(y2));
  // The two pieces now share an edge: each names the other where a slot is free.
  for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
    int16_t* n = P[from].Neighbours;
    if (std::find(n, n + 9, int16_t(to)) != n + 9) continue;
    int16_t* slot = std::find(n, n + 9, int16_t(-1));
    if (slot != n + 9) *slot = int16_t(to);
  }
  return true;
}

bool TCellCut::RepairAroundShapes() {
  const auto plainEdge = [&](const TCellSegment& g) {
    return g.Valid && IsCellNeighbour(g) && !Shaped(g.NeighbourId);
  };
  for (int32_t cell = 0; cell < N; ++cell) {
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
  for (int32_t cell = 0; cell < N; ++cell) {
    if (Shaped(cell)) continue;
    TCellRecord& c = Cells[size_t(cell)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!plainEdge(g)) continue;
      TIntPoint a{int32_t(g.x1), int32_t(g.y1)}, b{int32_t(g.x2), int32_t(g.y2)}, p;
      const int32_t first = WalkToWhite(T.CutMap, a, b, p);
      if (first == -1) {
        g.Valid = 0;
        if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Valid = 0;
        continue;
      }
      if (first == 1) a = p;
      if (WalkToWhite(T.CutMap, b, a, p) == 1) b = p;
      if (!SamePoint(a, {int32_t(g.x1), int32_t(g.y1)}) || !SamePoint(b, {int32_t(g.x2), int32_t(g.y2)})) {
        const uint8_t repaired = g.Repaired;
        SetEnds(cell, s, a, b, false);
        g.Repaired = repaired;
        if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Repaired = repaired;
      }
    }
  }
  const auto joinBlamed = [&] {
    for (int32_t k = 0; k < N; ++k) {
      if (ShapeFailed[size_t(k)] && P[k].ShapeFlag) return true;
    }
    return false;
  };
  // Two extended edges of one cell that cross.
  for (int32_t cell = 0; cell < N; ++cell) {
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
        if (!JoinAtCrossing(cell, i, j, x, y) && !joinBlamed()) return false;
      }
    }
  }
  return true;
}

// --- Edges ----------------------------------------------------------------------------------

void TCellCut::SetActiveKnobs(double length, TIntPoint p1, TIntPoint p2) {
  TKnobState& k = T.Knobs;
  const double tile = L.TileS;
  std::vector<int32_t> list;
  switch (Style) {
    case 0:
      if (length > 6 * tile / 5.0) {
        list = {1};
      } else if (length >= tile / 2.0) {
        list = {0};
      } else {
        list = {11};
      }
      break;
    case 1:
      if (p1.x == L.JigsL || p2.x == L.JigsL || p2.y == L.JigsB) {
        list = {4};
      } else if (p1.x == L.JigsR || p2.x == L.JigsR || p1.y == L.JigsT) {
        list = {5};
      } else {
        list = {3};
      }
      break;
    case 2:
      if (length <= tile && L.JigsL < p1.x && p2.x < L.JigsR && p1.y > L.JigsT && p2.y < L.JigsB) {
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
  if (g.Length < 3.0 || ((Flags & kShortStraight) && g.Length < L.TileS / 3.0)) {
    DrawLine(p1, p2, colour);
    return;
  }
  const int32_t nb = g.NeighbourId;
  TPieceRecord& own = P[cell];
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
  const auto drawMirror = [&]() { return alternating ? !steep : T.Rng.Random(2) != 0; };
  const uint8_t knob = uint8_t(T.Knobs.ActiveKnobs[T.Rng.Random(uint32_t(T.Knobs.ActiveKnobCount))]);
  bool mirrored = drawMirror();
  if (knob == 8) {
    const bool a = p1.x > L.JigsL && p2.x > L.JigsL && p1.y > L.JigsT;
    const bool b = p1.x < L.JigsR && p2.x < L.JigsR && p2.y < L.JigsB;
    if (!a) {
      mirrored = false;
    } else if (!b) {
      mirrored = true;
    }
  }
  const int32_t d = L.TileS / 10;
  const auto tries = [&](uint8_t k, bool m) {
    const uint8_t side = g.Side;
    const std::pair<uint8_t, bool> order[4] = {{side, m}, {side, !m}, {uint8_t(side ^ 1), m}, {uint8_t(side ^ 1), !m}};
    for (int32_t n = 0; n < (alternating ? 1 : 4); ++n) {
      TBoundsRect b = bounds;
      if (DrawKnobEdge(T, Flags, order[n].first, k, order[n].second, p1, p2, colour, roomA, roomB, d, b, ownPt,
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
  GrowPieceRect(P[nb], bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
}

void TCellCut::DrawSidesAndEdges() {
  const bool alternating = (Flags & kAlternating) != 0;
  for (int32_t i = 0; i < N; ++i) {
    TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!g.Valid || !IsCellNeighbour(g) || g.Length < 3.0 || g.NeighbourId <= i) continue;
      g.Side = alternating ? uint8_t(std::fabs(g.y1 - g.y2) > std::fabs(g.x1 - g.x2) ? 1 : 0)
                           : uint8_t(T.Rng.Random(2));
      if (g.TwinCell >= 0) Cells[size_t(g.TwinCell)].Segments[g.TwinSlot].Side = g.Side ^ 1;
    }
  }
  for (int32_t i = 0; i < N; ++i) {
    if (Shaped(i)) continue;
    TCellRecord& c = Cells[size_t(i)];
    for (int32_t s = 0; s < c.SegmentCount; ++s) {
      TCellSegment& g = c.Segments[s];
      if (!g.Valid || !IsCellNeighbour(g) || g.NeighbourId <= i || Shaped(g.NeighbourId)) continue;
      DrawEdge(i, g);
    }
  }
  DrawFrameLines(T.CutMap, PieceColor(kFrameCode));
}

bool TCellCut::Fill() {
  bool ok = true;
  for (int32_t i = 0; i < N; ++i) {
    if (Shaped(i)) continue;
    TPieceRecord& p = P[i];
    TIntPoint seed = Point(i);
    if (GetDibPixel(T.CutMap, seed.x, seed.y) != 0xFFFFFF) {
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
        if (GetDibPixel(T.CutMap, alt.x, alt.y) == 0xFFFFFF) {
          seed = alt;
          p.SeedX = alt.x;
          p.SeedY = alt.y;
        }
      }
    }
    if (GetDibPixel(T.CutMap, seed.x, seed.y) != 0xFFFFFF) {
      FailedIndex = i;
      FailedX = seed.x;
      FailedY = seed.y;
      ok = false;
      continue;
    }
    TWinRect box{};
    FloodFillDib(T.CutMap, seed.x, seed.y, Colour(i), true, box);
    GrowPieceRect(p, box.left, box.top, box.right, box.bottom);
  }
  return ok;
}

bool TCellCut::Attempt() {
  PaintBlankMap();
  LayoutCells(L, P);
  if (!UseShapes) {
    for (int32_t i = 0; i < N; ++i) P[i].ShapeFlag = 0;
  }
  RestoreCells();
  MeasureEdges();
  SeparateCodes();
  Step();
  RepairFailed = false;
  if (UseShapes && !PlaceShapes()) {
    RepairFailed = true;
    Step();
    return false;
  }
  Step();
  DrawSidesAndEdges();
  return Fill();
}

// White pockets that no fill reached (a knob closing a sliver against the picture's edge)
// join the region above or left of them, so that no pixel of the picture stays unassigned.
void TCellCut::FillWhitePockets() {
  const size_t bytes = size_t(L.ImageW) * 3;
  for (int32_t y = 0; y < L.ImageH; ++y) {
    const uint8_t* row = DibScanLine(T.CutMap, y);
    for (int32_t x = 0; x < L.ImageW; ++x) {
      // A white pixel has 255 bytes, and the fills below never make white: the scan jumps to
      // the next 255 byte.
      const void* hit = std::memchr(row + size_t(x) * 3, 255, bytes - size_t(x) * 3);
      if (!hit) break;
      x = int32_t(size_t(static_cast<const uint8_t*>(hit) - row) / 3);
      const uint8_t* q = row + intptr_t(x) * 3;
      if ((q[0] & q[1] & q[2]) != 255) continue;
      TIntPoint from{x, y};
      if (y > 0 && MapColorAt(T.CutMap, x, y - 1) != 0xFFFFFF) {
        from = {x, y - 1};
      } else if (x > 0 && MapColorAt(T.CutMap, x - 1, y) != 0xFFFFFF) {
        from = {x - 1, y};
      } else {
        for (int32_t k = x + 1; k < L.ImageW && from.x == x; ++k) {  // only the top-left pixel gets here
          if (MapColorAt(T.CutMap, k, y) != 0xFFFFFF) from = {k, y};
        }
        if (from.x == x) return;
      }
      FloodFillDib(T.CutMap, x, y, MapColorAt(T.CutMap, from.x, from.y));
    }
  }
}

// Same-coloured 8-connected regions of the picture, labelled in one pass over its rows: each
// row as runs of one colour, runs joined across rows where they touch (diagonals included).
class TRegionRuns {
 public:
  struct TRun {
    int32_t X0, X1;
    uint32_t Colour;
    int32_t Parent;
  };

  TRegionRuns(const TDibImage& map, int32_t w, int32_t h) : RowStart(size_t(h) + 1, 0) {
    Runs.reserve(size_t(h) * 64);
    for (int32_t y = 0; y < h; ++y) {
      RowStart[size_t(y)] = int32_t(Runs.size());
      const uint8_t* row = DibScanLine(map, y);
      int32_t x = 0;
      while (x < w) {
        const uint8_t* p = row + intptr_t(x) * 3;
        int32_t x1 = x;
        // Eight pixels at a time while the next eight match (24 bytes against 24 bytes 3 on).
        while (x1 + 8 < w && std::memcmp(row + intptr_t(x1) * 3, row + intptr_t(x1) * 3 + 3, 24) == 0) x1 += 8;
        while (x1 + 1 < w && std::memcmp(row + intptr_t(x1) * 3, row + intptr_t(x1 + 1) * 3, 3) == 0) ++x1;
        Runs.push_back({x, x1, PixelColorAt(p), int32_t(Runs.size())});
        x = x1 + 1;
      }
      if (y > 0) JoinRows(RowStart[size_t(y) - 1], RowStart[size_t(y)], int32_t(Runs.size()));
    }
    RowStart[size_t(h)] = int32_t(Runs.size());
  }

  int32_t Find(int32_t r) {
    int32_t root = r;
    while (Runs[size_t(root)].Parent != root) root = Runs[size_t(root)].Parent;
    while (Runs[size_t(r)].Parent != root) {
      const int32_t next = Runs[size_t(r)].Parent;
      Runs[size_t(r)].Parent = root;
      r = next;
    }
    return root;
  }
  // The run that holds the pixel.
  int32_t RunAt(int32_t x, int32_t y) const {
    const auto first = Runs.begin() + RowStart[size_t(y)], last = Runs.begin() + RowStart[size_t(y) + 1];
    const auto it = std::upper_bound(first, last, x, [](int32_t v, const TRun& r) { return v < r.X0; });
    return int32_t(it - Runs.begin()) - 1;
  }

  std::vector<TRun> Runs;
  std::vector<int32_t> RowStart;

 private:
  void Join(int32_t a, int32_t b) {
    a = Find(a);
    b = Find(b);
    if (a == b) return;
    if (a < b) std::swap(a, b);
    Runs[size_t(a)].Parent = b;
  }
  void JoinRows(int32_t above, int32_t begin, int32_t end) {
    int32_t j = above;
    for (int32_t r = begin; r < end; ++r) {
      const TRun& run = Runs[size_t(r)];
      while (j < begin && Runs[size_t(j)].X1 < run.X0 - 1) ++j;
      for (int32_t k = j; k < begin && Runs[size_t(k)].X0 <= run.X1 + 1; ++k) {
        if (Runs[size_t(k)].Colour == run.Colour) Join(r, k);
      }
    }
  }
};

// Hole fills, the notch clean-up and the merged fragments can move a piece's pixels past the
// rectangle the drawing gave it: each rectangle grows to the bounding box of the piece's
// region (8-connected), found from the piece's fill seed or a pixel of its shape.
void TCellCut::MeasurePieces() {
  const int32_t w = L.ImageW, h = L.ImageH;
  TRegionRuns regions(T.CutMap, w, h);
  std::vector<TRegionRuns::TRun>& runs = regions.Runs;
  const size_t count = runs.size();
  TBoundsRect empty;
  empty.Reset();
  std::vector<TBoundsRect> boxes(count, empty);  // by root run
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t r = regions.RowStart[size_t(y)]; r < regions.RowStart[size_t(y) + 1]; ++r) {
      TBoundsRect& box = boxes[size_t(regions.Find(r))];
      box.Widen(runs[size_t(r)].X0, y);
      box.Widen(runs[size_t(r)].X1, y);
    }
  }
  std::vector<uint8_t> reached(count, 0);  // by root run
  // A region is measured once, for the first piece that starts in it.
  const auto reach = [&](TIntPoint start) -> const TBoundsRect* {
    const int32_t root = regions.Find(regions.RunAt(start.x, start.y));
    if (reached[size_t(root)]) return nullptr;
    reached[size_t(root)] = 1;
    return &boxes[size_t(root)];
  };
  for (int32_t i = 0; i < N; ++i) {
    TPieceRecord& p = P[i];
    const uint32_t colour = Colour(i);
    TIntPoint start{-1, -1};
    if (!Shaped(i) && p.SeedX >= 0 && p.SeedX < w && p.SeedY >= 0 && p.SeedY < h &&
        MapColorAt(T.CutMap, p.SeedX, p.SeedY) == colour) {
      start = {p.SeedX, p.SeedY};
    } else {
      // A shape: its pixel nearest the middle of its rectangle lies in its body. The squared
      // distances are exact (halves squared), so they pass over the pixels that cannot be nearer.
      const double mx = p.PieceX + p.PieceW / 2.0, my = p.PieceY + p.PieceH / 2.0;
      double best = 1e300, bestSquare = 1e300;
      for (int32_t y = std::max(p.PieceY, 0); y < std::min(p.PieceY + p.PieceH, h); ++y) {
        const uint8_t* row = DibScanLine(T.CutMap, y);
        for (int32_t x = std::max(p.PieceX, 0); x < std::min(p.PieceX + p.PieceW, w); ++x) {
          const double square = (x - mx) * (x - mx) + (y - my) * (y - my);
          if (square > bestSquare || PixelColorAt(row + intptr_t(x) * 3) != colour) continue;
          const double d = std::hypot(x - mx, y - my);
          if (d < best) {
            best = d;
            bestSquare = square;
            start = {x, y};
          }
        }
      }
    }
    if (start.x < 0) continue;
    if (const TBoundsRect* box = reach(start)) GrowPieceRect(p, box->Left, box->Top, box->Right, box->Bottom);
  }
  if (L.BorderStyle == 1 && MapColorAt(T.CutMap, 0, 0) == PieceColor(kFrameCode)) reach({0, 0});
  // Whatever no region reached is a fragment cut off from its piece: it joins the region that
  // borders it above or to the left (already settled in this scan).
  bool fragments = false;
  for (size_t r = 0; r < count && !fragments; ++r) {
    fragments = !reached[size_t(regions.Find(int32_t(r)))] && runs[r].Colour != 0xFFFFFF;
  }
  if (!fragments) return;
  std::vector<uint8_t> seen(size_t(w) * h, 0);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t r = regions.RowStart[size_t(y)]; r < regions.RowStart[size_t(y) + 1]; ++r) {
      if (!reached[size_t(regions.Find(r))]) continue;
      std::fill(seen.begin() + intptr_t(y) * w + runs[size_t(r)].X0, seen.begin() + intptr_t(y) * w + runs[size_t(r)].X1 + 1,
                uint8_t(1));
    }
  }
  static constexpr int32_t kDx[4] = {-1, -1, 0, 1}, kDy[4] = {0, -1, -1, -1};
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = seen.data() + size_t(y) * w;
    for (int32_t x = 0; x < w; ++x) {
      if (row[x] || MapColorAt(T.CutMap, x, y) == 0xFFFFFF) continue;
      for (int32_t k = 0; k < 4; ++k) {
        const int32_t nx = x + kDx[k], ny = y + kDy[k];
        if (nx < 0 || ny < 0 || nx >= w || !seen[size_t(ny) * w + nx]) continue;
        const uint32_t colour = MapColorAt(T.CutMap, nx, ny);
        SetDibPixel(T.CutMap, x, y, colour);
        seen[size_t(y) * w + x] = 1;
        // The piece of that colour whose rectangle holds the neighbour takes the pixel in.
        for (int32_t i = 0; i < N; ++i) {
          TPieceRecord& p = P[i];
          if (Colour(i) == colour && nx >= p.PieceX && nx < p.PieceX + p.PieceW && ny >= p.PieceY &&
              ny < p.PieceY + p.PieceH) {
            GrowPieceRect(p, x, y, x, y);
            break;
          }
        }
        break;
      }
    }
  }
}

void TCellCut::Finish() {
  if (L.BorderStyle == 1) FloodFillDib(T.CutMap, 0, 0, PieceColor(kFrameCode));
  Step();
  TWhiteRows whites;
  FindWhiteRows(T.CutMap, L.ImageW, L.ImageH, whites);
  for (int32_t i = 0; i < N; ++i) {
    TPieceRecord& p = P[i];
    TBoundsRect bounds;
    FillCodeHoles(T, {p.PieceX, p.PieceY, p.PieceX + p.PieceW + 1, p.PieceY + p.PieceH + 1}, Colour(i), bounds,
                  &whites);
    if (Shaped(i) && bounds.Left != 10000) {
      p.PieceX = bounds.Left;
      p.PieceY = bounds.Top;
      p.PieceW = bounds.Right - bounds.Left + 1;
      p.PieceH = bounds.Bottom - bounds.Top + 1;
    }
  }
  RemoveFrameNotches(T.CutMap, Area);
  FillWhitePockets();
  MeasurePieces();
  if (L.BorderStyle == 1) {
    TPieceRecord& f = P[L.TotalTileNum];
    f.PieceX = f.PieceY = 0;
    f.PieceW = L.ImageW;
    f.PieceH = L.ImageH;
    f.Code = kFrameCode;
    f.Code2 = 128;
    for (int16_t& n : f.Neighbours) n = kNoNeighbour;
    ++L.TotalTileNum;
  }
  Step();
  Step();  // the game copies the map into its piece masks here
  FreeShapeFile(Shapes);
}

bool TCellCut::Run() {
  Style = L.ShapeStyle;
  switch (Style) {
    case 0:
      Flags = kScaledKnobs | kShortStraight;
      Fallback = {0, 1, 10, 11};
      break;
    case 1:
      Flags = kScaledKnobs | kAlternating | kShortStraight;
      Fallback = {10};
      break;
    case 2:
      Flags = kScaledKnobs | kShortStraight;
      Fallback = {7, 6, 8, 9, 4, 5, 10, 11, 12};
      break;
    default:
      Style = 3;
      Flags = kScaledKnobs | kShortStraight;
      Fallback = {10, 11, 12};
      if (LoadShapeFile(ShapePath, Shapes)) {
        UseShapes = Shapes.ShapeCount > 0;
      } else if (T.ShowMessage) {
        T.ShowMessage(kInvalidShapeFileText);
      }
      break;
  }
  TKnobState& knobs = T.Knobs;
  knobs.ActiveKnobCount = Style == 1 ? 1 : 16;
  for (int32_t k = 0; k < 16; ++k) knobs.ActiveKnobs[k] = Style == 1 ? 3 : k;

  const bool mapMade = CreateDib24(T.CutMap, L.ImageW + 5, L.ImageH + 5);
  LoadKnobSetA(knobs);
  MeasureKnobTemplates(knobs);
  L.JigsL = L.JigsT = L.BorderStyle == 1 ? 20 : 0;
  L.JigsR = L.ImageW - L.JigsL - 1;
  L.JigsB = L.ImageH - L.JigsT - 1;
  Area = CutAreaOf(L);
  N = L.TileNum;
  // A picture with no room for a single cell (or none to cut at all) has nothing to cut: the
  // steps still run out, and the map stays blank.
  if (!mapMade || N <= 0 || L.TilePX <= 0 || L.TilePY <= 0 || N != L.TilePX * L.TilePY ||
      Area.Right - Area.Left < 2 || Area.Bottom - Area.Top < 2) {
    if (mapMade) PaintBlankMap();
    for (int32_t k = 0; k < 9; ++k) Step();
    FreeShapeFile(Shapes);
    return false;
  }
  LayoutCells(L, P);
  Cells.reset(new TCellRecord[size_t(N)]());
  Backup.reset(new TCellRecord[size_t(N)]());

  PlacePoints();
  Step();
  // A triangulation that fails is told only when the grid in its place does not cut either.
  std::string message, triangulationFailure;
  bool triangulated = BuildOrGrid(message);
  if (!triangulated) triangulationFailure = message;
  Step();
  for (int32_t round = 0; round < 2; ++round) {
    if (triangulated) {
      for (int32_t i = 0; i < N; ++i) Cells[size_t(i)].SeedPoint = RoundPoint(Cells[size_t(i)].CentreX, Cells[size_t(i)].CentreY);
      triangulated = BuildOrGrid(message);
      if (!triangulated) triangulationFailure = message;
    }
    Step();
  }
  std::copy(Cells.get(), Cells.get() + N, Backup.get());

  const int32_t afterRelaxation = T.Progress.ProgressPos;
  bool ok = false;
  for (int32_t attempt = 0; attempt < kAttempts && !ok; ++attempt) {
    T.Progress.ProgressPos = afterRelaxation;
    ok = Attempt();
  }
  // Shapes that will not fit after three attempts: a cut without them rather than a broken one.
  if (!ok && UseShapes) {
    UseShapes = false;
    Counts.ErasedByRepair = Counts.Placed - Counts.ErasedByOverlap;
    for (int32_t attempt = 0; attempt < kAttempts && !ok; ++attempt) {
      T.Progress.ProgressPos = afterRelaxation;
      ok = Attempt();
    }
  }
  Finish();
  if (!ok && T.ShowMessage) {
    if (!triangulationFailure.empty()) T.ShowMessage(triangulationFailure);
    if (!RepairFailed) {
      char text[96];
      std::snprintf(text, sizeof text, "PaintError: Ind = %d, CellX = %d, CellY = %d", FailedIndex, FailedX, FailedY);
      T.ShowMessage(text);
    }
    T.ShowMessage(kPaintErrorKey);
  }
  return ok;
}

}  // namespace

bool CutJigsawCells(TCutTarget& target, const std::string& shapeFilePath, TShapeCounts* counts) {
  TCellCut cut(target, shapeFilePath);
  const bool ok = cut.Run();
  if (counts) *counts = cut.Counts;
  return ok;
}
