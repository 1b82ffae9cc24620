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
#include "engine/run_union.h"

namespace cell_cut {

// White pockets that no fill reached (a knob closing a sliver against the picture's edge)
// join the region above or left of them, so that no pixel of the picture stays unassigned.
// The fills below never make white: the white runs are found first (over the free cores) and
// taken in row order, the pixels a fill coloured meanwhile passed over.
void TCellCut::FillWhitePockets() {
  TWhiteRows whites;
  FindWhiteRows(Target.CutMap, Level.ImageW, Level.ImageH, whites);
  for (int32_t y = 0; y < whites.Height; ++y) {
    for (int32_t r = whites.RowStart[size_t(y)]; r < whites.RowStart[size_t(y) + 1]; ++r) {
      for (int32_t x = whites.Runs[size_t(r) * 2]; x <= whites.Runs[size_t(r) * 2 + 1]; ++x) {
        if (MapColorAt(Target.CutMap, x, y) != 0xFFFFFF) continue;  // a fill took it
        TIntPoint from{x, y};
        if (y > 0 && MapColorAt(Target.CutMap, x, y - 1) != 0xFFFFFF) {
          from = {x, y - 1};
        } else if (x > 0 && MapColorAt(Target.CutMap, x - 1, y) != 0xFFFFFF) {
          from = {x - 1, y};
        } else {
          // Only the top-left pixel gets here.
          for (int32_t k = x + 1; k < Level.ImageW && from.x == x; ++k) {
            if (MapColorAt(Target.CutMap, k, y) != 0xFFFFFF) from = {k, y};
          }
          if (from.x == x) return;
        }
        FloodFillDib(Target.CutMap, x, y, MapColorAt(Target.CutMap, from.x, from.y));
      }
    }
  }
}

// Same-coloured 8-connected regions of the picture, labelled row by row: each
// row as runs of one colour, runs joined across rows where they touch (diagonals included).
class TRegionRuns {
 public:
  struct TRun {
    int32_t X0, X1;
    uint32_t Colour;
    int32_t Parent;
  };

  TRegionRuns(const TDibImage& map, int32_t w, int32_t h) {
    const auto rowRuns = [&](int32_t y, std::vector<TRun>& runs) {
      const uint8_t* row = DibScanLine(map, y);
      int32_t x = 0;
      while (x < w) {
        const uint8_t* p = row + intptr_t(x) * 3;
        int32_t x1 = x;
        // Eight pixels at a time while the next eight match (24 bytes against 24 bytes 3 on).
        while (x1 + 8 < w && std::memcmp(row + intptr_t(x1) * 3, row + intptr_t(x1) * 3 + 3, 24) == 0) x1 += 8;
        while (x1 + 1 < w && std::memcmp(row + intptr_t(x1) * 3, row + intptr_t(x1 + 1) * 3, 3) == 0) ++x1;
        runs.push_back({x, x1, PixelColorAt(p), int32_t(runs.size())});
        x = x1 + 1;
      }
    };
    LabelRowRuns(h, Runs, RowStart, rowRuns, JoinRows);
  }

  int32_t Find(int32_t r) { return FindRunRoot(Runs, r); }
  // The run that holds the pixel.
  int32_t RunAt(int32_t x, int32_t y) const {
    const auto first = Runs.begin() + RowStart[size_t(y)], last = Runs.begin() + RowStart[size_t(y) + 1];
    const auto it = std::upper_bound(first, last, x, [](int32_t v, const TRun& r) { return v < r.X0; });
    return int32_t(it - Runs.begin()) - 1;
  }

  std::vector<TRun> Runs;
  std::vector<int32_t> RowStart;

 private:
  // Runs of one colour that touch, diagonals included, are one region.
  static void JoinRows(std::vector<TRun>& runs, int32_t above, int32_t begin, int32_t end) {
    int32_t j = above;
    for (int32_t r = begin; r < end; ++r) {
      const TRun& run = runs[size_t(r)];
      while (j < begin && runs[size_t(j)].X1 < run.X0 - 1) ++j;
      for (int32_t k = j; k < begin && runs[size_t(k)].X0 <= run.X1 + 1; ++k) {
        if (runs[size_t(k)].Colour == run.Colour) JoinRuns(runs, r, k);
      }
    }
  }
};

// Rows are taken outward from my's, so that the search ends as soon as a row lies further off
// than the nearest pixel found.
double NearestSquare(const TDibImage& map, const TBoundsRect& rect, uint32_t colour, double mx, double my) {
  double best = 1e300;
  if (rect.Left > rect.Right || rect.Top > rect.Bottom) return best;
  const int32_t middle = std::clamp(int32_t(std::floor(my)), rect.Top, rect.Bottom);
  const auto scanRow = [&](int32_t y) {
    const double dy = (y - my) * (y - my);
    const uint8_t* row = DibScanLine(map, y);
    for (int32_t x = rect.Left; x <= rect.Right; ++x) {
      if (PixelColorAt(row + intptr_t(x) * 3) != colour) continue;
      best = std::min(best, (x - mx) * (x - mx) + dy);
    }
  };
  // Upwards from the middle row, then downwards from the one below; each way the rows only
  // get further off.
  for (int32_t y = middle; y >= rect.Top && (y - my) * (y - my) <= best; --y) scanRow(y);
  for (int32_t y = middle + 1; y <= rect.Bottom && (y - my) * (y - my) <= best; ++y) scanRow(y);
  return best;
}

// Hole fills, the notch clean-up and the merged fragments can move a piece's pixels past the
// rectangle the drawing gave it: each rectangle grows to the bounding box of the piece's
// region (8-connected), found from the piece's fill seed or a pixel of its shape.
void TCellCut::MeasurePieces() {
  const int32_t w = Level.ImageW, h = Level.ImageH;
  TRegionRuns regions(Target.CutMap, w, h);
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
  for (int32_t i = 0; i < CellCount; ++i) {
    TPieceRecord& p = Pieces[i];
    const uint32_t colour = Colour(i);
    TIntPoint start{-1, -1};
    if (!Shaped(i) && p.SeedX >= 0 && p.SeedX < w && p.SeedY >= 0 && p.SeedY < h &&
        MapColorAt(Target.CutMap, p.SeedX, p.SeedY) == colour) {
      start = {p.SeedX, p.SeedY};
    } else {
      // A shape: its pixel nearest the middle of its rectangle lies in its body. The squared
      // distances are exact (halves squared), so they pass over the pixels that cannot be nearer.
      const double mx = p.PieceX + p.PieceW / 2.0, my = p.PieceY + p.PieceH / 2.0;
      const TBoundsRect rect{std::max(p.PieceX, 0), std::max(p.PieceY, 0), std::min(p.PieceX + p.PieceW, w) - 1,
                             std::min(p.PieceY + p.PieceH, h) - 1};
      // The scan below keeps the first pixel, in row order, of the least distance; knowing that
      // distance beforehand, it looks at the pixels that have it only.
      double best = 1e300, bestSquare = NearestSquare(Target.CutMap, rect, colour, mx, my);
      for (int32_t y = rect.Top; y <= rect.Bottom && bestSquare < 1e300; ++y) {
        if ((y - my) * (y - my) > bestSquare) continue;
        const uint8_t* row = DibScanLine(Target.CutMap, y);
        for (int32_t x = rect.Left; x <= rect.Right; ++x) {
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
  if (Level.BorderStyle == TBorderStyle::Frame && MapColorAt(Target.CutMap, 0, 0) == PieceColor(kFrameCode))
    reach({0, 0});
  // Whatever no region reached is a fragment cut off from its piece: it joins the region that
  // borders it above or to the left (already settled in this scan).
  bool fragments = false;
  for (size_t r = 0; r < count && !fragments; ++r) {
    fragments = !reached[size_t(regions.Find(int32_t(r)))] && runs[r].Colour != 0xFFFFFF;
  }
  if (!fragments) return;
  // Only the pixels of the regions no piece reached can change, row by row, left to right. A
  // neighbour is settled when its region was reached or this pass coloured it: one bit a pixel
  // for those, a run lookup for the rest.
  std::vector<uint64_t> coloured((size_t(w) * h + 63) / 64, 0);
  const auto settled = [&](int32_t x, int32_t y) {
    const size_t k = size_t(y) * w + size_t(x);
    return ((coloured[k >> 6] >> (k & 63)) & 1) != 0 || reached[size_t(regions.Find(regions.RunAt(x, y)))] != 0;
  };
  static constexpr int32_t kDx[4] = {-1, -1, 0, 1}, kDy[4] = {0, -1, -1, -1};
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t r = regions.RowStart[size_t(y)]; r < regions.RowStart[size_t(y) + 1]; ++r) {
      if (reached[size_t(regions.Find(r))] || runs[size_t(r)].Colour == 0xFFFFFF) continue;
      for (int32_t x = runs[size_t(r)].X0; x <= runs[size_t(r)].X1; ++x) {
        for (int32_t k = 0; k < 4; ++k) {
          const int32_t nx = x + kDx[k], ny = y + kDy[k];
          if (nx < 0 || ny < 0 || nx >= w || !settled(nx, ny)) continue;
          const uint32_t colour = MapColorAt(Target.CutMap, nx, ny);
          SetDibPixel(Target.CutMap, x, y, colour);
          const size_t at = size_t(y) * w + size_t(x);
          coloured[at >> 6] |= uint64_t(1) << (at & 63);
          // The piece of that colour whose rectangle holds the neighbour takes the pixel in.
          for (int32_t i = 0; i < CellCount; ++i) {
            TPieceRecord& p = Pieces[i];
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
}

// After the clean-up: as many regions as pieces (and the frame), and each plain piece's point in
// its own colour, in a region no other plain piece's point lies in.
bool TCellCut::RegionsSound() {
  const int32_t w = Level.ImageW, h = Level.ImageH;
  TRegionRuns regions(Target.CutMap, w, h);
  const size_t count = regions.Runs.size();
  int32_t roots = 0;
  for (size_t r = 0; r < count; ++r) roots += regions.Find(int32_t(r)) == int32_t(r);
  if (roots != CellCount + (Level.BorderStyle == TBorderStyle::Frame ? 1 : 0)) return false;
  std::vector<uint8_t> taken(count, 0);
  for (int32_t i = 0; i < CellCount; ++i) {
    if (Shaped(i)) continue;
    const TIntPoint s = Point(i);
    if (s.x < 0 || s.y < 0 || s.x >= w || s.y >= h || MapColorAt(Target.CutMap, s.x, s.y) != Colour(i)) return false;
    uint8_t& t = taken[size_t(regions.Find(regions.RunAt(s.x, s.y)))];
    if (t) return false;
    t = 1;
  }
  return true;
}

}  // namespace cell_cut
