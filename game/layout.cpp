#include "game/layout.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "foundation/numeric.h"
#include "game/piece_order.h"
#include "game/pieces.h"

TSpreadGrid SpreadGrid(int32_t n, int32_t fieldW, int32_t fieldH) {
  if (n <= 0) return {1, 1};
  const int64_t ratio = fieldH > 0 ? int64_t(n) * fieldW / fieldH : n;
  // A very tall or very wide field gives 0 columns, or more columns than pieces and so 0
  // rows; either would divide by zero below.
  int32_t cols = ClampInt(Round(std::sqrt((long double)ratio)), 1, n);
  int32_t rows = n / cols;
  if (int64_t(cols) * rows < n) {
    if (int64_t(cols + 1) * rows >= int64_t(rows + 1) * cols)
      ++rows;
    else
      ++cols;
  }
  return {cols, rows};
}

void SpreadPieces(TGameState& g, int32_t window, bool spreadOut) {
  const int32_t frame = FramePieceIndex(g);
  const int32_t m = frame >= 0 ? LivePieceCount(g) - 1 : LivePieceCount(g);
  std::unordered_map<int32_t, int32_t> members;
  for (int32_t i = 0; i < m; ++i) ++members[g.Pieces[size_t(i)].Group];
  std::vector<int32_t> list;
  for (int32_t i = 0; i < m; ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    if (p.Window == window && members[p.Group] == 1) list.push_back(i);
  }
  const int32_t n = int32_t(list.size());
  if (n == 0) return;
  const int32_t knob = g.GameLevel.KnobS;
  const int32_t w = g.Field.ContentW - 2 * knob, h = g.Field.ContentH - 2 * knob;
  if (spreadOut) {
    for (int32_t i = 0; i < n; ++i) std::swap(list[size_t(i)], list[g.Rng.Random(uint32_t(n))]);
    const TSpreadGrid grid = SpreadGrid(n, g.Field.FieldW, g.Field.FieldH);
    for (int32_t k = 0; k < n; ++k) {
      TPieceRecord& p = g.Pieces[size_t(list[size_t(k)])];
      p.X = int32_t(int64_t(w) * (k % grid.Cols) / grid.Cols) + knob;
      p.Y = int32_t(int64_t(h) * (k / grid.Cols) / grid.Rows) + knob;
    }
    return;
  }
  // A content area too small for a piece still takes both draws, so that the draws that
  // follow stay in step; the pieces then start at the margin.
  const int32_t rangeX = IntMax(w - g.GameLevel.TileS - 2 * knob, 0);
  const int32_t rangeY = IntMax(h - g.GameLevel.TileS - 2 * knob, 0);
  for (int32_t k = 0; k < n; ++k) {
    TPieceRecord& p = g.Pieces[size_t(list[size_t(k)])];
    p.X = int32_t(g.Rng.Random(uint32_t(rangeX))) + knob;
    p.Y = int32_t(g.Rng.Random(uint32_t(rangeY))) + knob;
  }
}

namespace {

struct TShift {
  int32_t Dx = 0, Dy = 0;
};

int32_t Correction(int32_t a, int32_t b, int32_t bound, bool lowInclusive) {
  if (lowInclusive ? a <= 0 : a < 1) return -a;
  if (b > bound) return bound - b;
  return 0;
}

// Runs of equal Group in the ascending order: [start, end) of g.PieceOrder.
template <typename F>
void ForEachGroup(TGameState& g, F f) {
  const size_t n = g.PieceOrder.size();
  for (size_t start = 0; start < n;) {
    size_t end = start + 1;
    while (end < n && g.PieceOrder[end].Group == g.PieceOrder[start].Group) ++end;
    f(start, end);
    start = end;
  }
}

void MoveRun(TGameState& g, size_t start, size_t end, int32_t dx, int32_t dy) {
  for (size_t k = start; k < end; ++k) {
    TPieceRecord& p = g.Pieces[size_t(g.PieceOrder[k].Index)];
    p.X += dx;
    p.Y += dy;
  }
}

// The boxes of a run's pieces together.
TSkinRect RunBox(const TGameState& g, size_t start, size_t end) {
  TSkinRect box;
  ClearSkinRect(box);
  for (size_t k = start; k < end; ++k) {
    const TPieceRecord& p = g.Pieces[size_t(g.PieceOrder[k].Index)];
    IncludeInSkinRect(box, p.X, p.Y, p.X + p.BoxW - 1, p.Y + p.BoxH - 1);
  }
  return box;
}

}  // namespace

bool BringGroupsIntoView(TGameState& g, const TPieceView& view, bool strict) {
  SortPieces(g, false);
  const bool pocket = view.Style == kSkinStylePocket;
  const int32_t bw = pocket ? g.Field.FieldW : g.Field.ContentW;
  const int32_t bh = pocket ? g.Field.FieldH : g.Field.ContentH;
  const int32_t keep = IntMin(40, g.GameLevel.TileS);
  const int32_t frame = FramePieceIndex(g);
  bool moved = false;
  ForEachGroup(g, [&](size_t start, size_t end) {
    const TPieceRecord& first = g.Pieces[size_t(g.PieceOrder[start].Index)];
    if (first.Window != view.Index) return;
    // Groups parked far away come back to the origin first.
    if (first.X < -100000 || first.X >= 100001) {
      MoveRun(g, start, end, -first.X, 0);
      moved = true;
    }
    if (first.Y < -100000 || first.Y >= 100001) {
      MoveRun(g, start, end, 0, -first.Y);
      moved = true;
    }
    TShift shift;
    bool hasFrame = false;
    for (size_t k = start; k < end; ++k) hasFrame |= g.PieceOrder[k].Index == frame;
    if (hasFrame) {
      const TPieceRecord& p = g.Pieces[size_t(frame)];
      int32_t a, b, c, d;
      if (strict) {
        a = p.X + 40, b = p.X + p.BoxW - 40, c = p.Y + 40, d = p.Y + p.BoxH - 40;
      } else {
        a = p.X + p.BoxW - 40, b = p.X + 40, c = p.Y + p.BoxH - 40, d = p.Y + 40;
      }
      shift.Dx = Correction(a, b, bw, true);
      shift.Dy = Correction(c, d, bh, false);
    } else {
      int64_t best = -1;
      bool anyInView = false;
      for (size_t k = start; k < end; ++k) {
        const TPieceRecord& p = g.Pieces[size_t(g.PieceOrder[k].Index)];
        const int32_t w = p.BoxW, h = p.BoxH;
        int32_t a, b, c, d;
        if (strict) {
          a = p.X + w / 4, b = p.X + w - w / 4, c = p.Y + h / 4, d = p.Y + h - h / 4;
        } else {
          const int32_t kx = IntMax(keep, 3 * w / 4), ky = IntMax(keep, 3 * h / 4);
          a = p.X + w - kx, b = p.X + kx, c = p.Y + h - ky, d = p.Y + ky;
        }
        const TShift s{Correction(a, b, bw, false), Correction(c, d, bh, false)};
        const int64_t dist = int64_t(s.Dx) * s.Dx + int64_t(s.Dy) * s.Dy;
        if (dist == 0) {
          anyInView = true;
        } else if (best < 0 || dist < best) {
          best = dist;
          shift = s;
        }
      }
      if (!strict && anyInView) shift = TShift{};
    }
    if (shift.Dx != 0 || shift.Dy != 0) {
      MoveRun(g, start, end, shift.Dx, shift.Dy);
      moved = true;
    }
  });
  if (moved) {
    if (pocket) g.Host->RefreshWindow(view.Index);
    g.Play.RedrawKind = 1;
  }
  NotifyModified(g);
  return moved;
}

void BringAllGroupsIntoView(TGameState& g, const std::vector<TPieceView>& views) {
  for (const TPieceView& v : views)
    if (v.Style == kSkinStyleSide || v.Style == kSkinStylePocket) BringGroupsIntoView(g, v, true);
}

void ScaleGroupPositions(TGameState& g, int32_t window, int32_t oldWidth, int32_t oldHeight,
                         const TContentChange* content) {
  if (!g.GameLoaded) return;
  SortPieces(g, false);
  ForEachGroup(g, [&](size_t start, size_t end) {
    if (g.Pieces[size_t(g.PieceOrder[start].Index)].Window != window) return;
    const TSkinRect box = RunBox(g, start, end);
    const long double cx = ((long double)box.Left + box.Right) / 2;
    const long double cy = ((long double)box.Top + box.Bottom) / 2;
    const int32_t dx = oldWidth != 0 ? Round(g.Field.FieldW * cx / oldWidth - cx) : 0;
    const int32_t dy = oldHeight != 0 ? Round(g.Field.FieldH * cy / oldHeight - cy) : 0;
    if (!content) return MoveRun(g, start, end, dx, dy);
    // Scaled with the field, a group on content beyond the field would leave the content: one
    // that lay inside stays inside, as far as its left or top edge allows.
    const auto keep = [](int32_t d, int32_t low, int32_t high, int32_t oldSize, int32_t newSize) {
      return high < oldSize ? IntMax(IntMin(d, newSize - 1 - high), IntMin(d, -low)) : d;
    };
    MoveRun(g, start, end, keep(dx, box.Left, box.Right, content->OldW, content->NewW),
            keep(dy, box.Top, box.Bottom, content->OldH, content->NewH));
  });
}

void SelectInBand(TGameState& g, const TPieceView& view, bool all) {
  g.Play.RedrawKind = 1;
  SortPieces(g, false);
  g.Play.HasSelection = false;
  g.Play.DragState = 0;
  const int32_t frame = FramePieceIndex(g);
  const TSkinRect& band = g.Play.Band;
  if (!all) {
    ForEachGroup(g, [&](size_t start, size_t end) {
      const int32_t firstIndex = g.PieceOrder[start].Index;
      if (g.Pieces[size_t(firstIndex)].Window != view.Index || IsInWeightGroup(g, firstIndex)) return;
      for (size_t k = start; k < end; ++k) {
        const int32_t i = g.PieceOrder[k].Index;
        const TPieceRecord& p = g.Pieces[size_t(i)];
        const int32_t mx = i == frame ? 20 : p.BoxW / 3, my = i == frame ? 20 : p.BoxH / 3;
        if (p.X + mx < band.Left || p.Y + my < band.Top || p.X + p.BoxW - mx > band.Left + band.Width ||
            p.Y + p.BoxH - my > band.Top + band.Height)
          return;
      }
      for (size_t k = start; k < end; ++k) g.Pieces[size_t(g.PieceOrder[k].Index)].Selected = 1;
      g.Play.HasSelection = true;
    });
  } else {
    const int32_t n = LivePieceCount(g);
    for (int32_t i = 0; i < n; ++i) {
      TPieceRecord& p = g.Pieces[size_t(i)];
      if (p.Window == view.Index && !IsInWeightGroup(g, i)) p.Selected = 1;
    }
    g.Play.HasSelection = true;
  }
  if (g.Play.HasSelection) {
    RaiseGroups(g, true);
    g.Host->SelectionChanged(true);
  } else {
    SortPieces(g, false);
  }
}

TSpreadGrid ArrangeGrid(int32_t n, int32_t areaW, int32_t areaH) {
  if (n <= 0 || areaW <= 0 || areaH <= 0) return {IntMax(n, 1), 1};
  int32_t cols = Round(std::sqrt((long double)n * areaW / areaH));
  int32_t rows = Round(std::sqrt((long double)n * areaH / areaW));
  // One piece on an area more than four times taller than wide rounds to no column at all.
  cols = IntMax(cols, 1);
  if (int64_t(cols) * rows < n) {
    if (int64_t(rows) * (cols + 1) <= int64_t(cols) * (rows + 1))
      ++cols;
    else
      ++rows;
  }
  return {cols, rows};
}

bool ArrangeSelectedPieces(TGameState& g, int32_t areaW, int32_t areaH, std::vector<int32_t>* arranged) {
  const int32_t frame = FramePieceIndex(g);
  SortPieces(g, false);
  int32_t minX = areaW + 5000, minY = areaH + 5000;
  std::vector<int32_t> list;
  const size_t count = g.PieceOrder.size();
  for (size_t k = 0; k < count; ++k) {
    const TPieceOrderEntry& e = g.PieceOrder[k];
    const TPieceRecord& p = g.Pieces[size_t(e.Index)];
    if (!p.Selected) continue;
    minX = IntMin(minX, p.X);
    minY = IntMin(minY, p.Y);
    const bool alone =
        (k == 0 || g.PieceOrder[k - 1].Group != e.Group) && (k + 1 == count || g.PieceOrder[k + 1].Group != e.Group);
    if (alone && e.Index != frame) list.push_back(e.Index);
  }
  const int32_t n = int32_t(list.size());
  if (n == 0) return false;
  for (int32_t k = 0; k < n; ++k) std::swap(list[size_t(k)], list[g.Rng.Random(uint32_t(n))]);
  const TSpreadGrid grid = ArrangeGrid(n, areaW, areaH);
  int32_t px = g.GameLevel.MaskS + g.GameLevel.KnobS, py = px;
  if (int64_t(px) * grid.Cols > areaW) px = areaW / grid.Cols;
  if (int64_t(py) * grid.Rows > areaH && grid.Rows > 0) py = areaH / grid.Rows;
  for (int32_t k = 0; k < n; ++k) {
    TPieceRecord& p = g.Pieces[size_t(list[size_t(k)])];
    p.X = minX + (k % grid.Cols) * px;
    p.Y = minY + (k / grid.Cols) * py;
  }
  if (arranged) *arranged = std::move(list);
  return true;
}

void MovePiecesIntoArea(TGameState& g, const std::vector<int32_t>& pieces, int32_t areaW, int32_t areaH) {
  if (pieces.empty()) return;
  int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
  for (const int32_t i : pieces) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    left = IntMin(left, p.X);
    top = IntMin(top, p.Y);
    right = IntMax(right, p.X + p.BoxW);
    bottom = IntMax(bottom, p.Y + p.BoxH);
  }
  // As one block first, so that a grid stays a grid; what still sticks out is clamped alone.
  const auto shift = [](int32_t low, int32_t high, int32_t size) {
    return high > size ? IntMax(size - high, -low) : IntMax(-low, 0);
  };
  const int32_t dx = shift(left, right, areaW), dy = shift(top, bottom, areaH);
  for (const int32_t i : pieces) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    p.X = ClampInt(p.X + dx, 0, IntMax(areaW - p.BoxW, 0));
    p.Y = ClampInt(p.Y + dy, 0, IntMax(areaH - p.BoxH, 0));
  }
}
