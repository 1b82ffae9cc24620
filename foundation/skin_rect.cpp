#include "foundation/skin_rect.h"

#include <algorithm>

namespace {
// Edge and size sums wrap round in 32 bits as the record's integers always have; coordinates
// read from outside (a settings file, a saved game) must not make them undefined.
int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }
int32_t Size(int32_t first, int32_t last) { return Wrap(int64_t(last) - first + 1); }
int32_t Last(int32_t first, int32_t size) { return Wrap(int64_t(first) + size - 1); }

void RefreshWinRect(TSkinRect& r) { r.WinRect = {r.Left, r.Top, r.Right, r.Bottom}; }
void RecomputeSize(TSkinRect& r) {
  r.Width = Size(r.Left, r.Right);
  r.Height = Size(r.Top, r.Bottom);
}
void RecomputeEdges(TSkinRect& r) {
  r.Right = Last(r.Left, r.Width);
  r.Bottom = Last(r.Top, r.Height);
}
}  // namespace

void ClearSkinRect(TSkinRect& r) {
  r.Left = r.Top = r.Right = r.Bottom = kUnsetEdge;
  r.Width = r.Height = 0;
  RefreshWinRect(r);
}

void SetSkinRectEdges(TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r.Left = left;
  r.Top = top;
  r.Right = right;
  r.Bottom = bottom;
  RecomputeSize(r);
  RefreshWinRect(r);
}

void SetSkinRectBounds(TSkinRect& r, int32_t left, int32_t top, int32_t width, int32_t height) {
  r.Left = left;
  r.Top = top;
  r.Width = width;
  r.Height = height;
  RecomputeEdges(r);
  RefreshWinRect(r);
}

void IncludeInSkinRect(TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r.Left = r.Left == kUnsetEdge ? left : std::min(r.Left, left);
  r.Top = r.Top == kUnsetEdge ? top : std::min(r.Top, top);
  r.Right = r.Right == kUnsetEdge ? right : std::max(r.Right, right);
  r.Bottom = r.Bottom == kUnsetEdge ? bottom : std::max(r.Bottom, bottom);
  RecomputeSize(r);
  RefreshWinRect(r);
}

bool IsSkinRectEmpty(const TSkinRect& r) { return r.Width == 0 || r.Height == 0; }

bool PointInSkinRect(const TSkinRect& r, int32_t x, int32_t y) {
  return r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom;
}

bool IntersectSkinRects(const TSkinRect& a, const TSkinRect& b, TSkinRect* out) {
  // Take copies first: out may be one of the inputs, and clearing it would lose that input.
  const TSkinRect ca = a, cb = b;
  if (out) ClearSkinRect(*out);
  if (cb.Left > ca.Right || ca.Left > cb.Right || ca.Bottom < cb.Top || ca.Top > cb.Bottom) return false;
  if (out)
    SetSkinRectEdges(*out, std::max(ca.Left, cb.Left), std::max(ca.Top, cb.Top), std::min(ca.Right, cb.Right),
                     std::min(ca.Bottom, cb.Bottom));
  return true;
}

void MoveSkinRect(TSkinRect& r, int32_t left, int32_t top) {
  r.Left = left;
  r.Top = top;
  RecomputeEdges(r);
}

void SetSkinRectRightBottom(TSkinRect& r, int32_t right, int32_t bottom) {
  r.Right = right;
  r.Bottom = bottom;
  RecomputeSize(r);
}

void MoveSizeSkinRect(TSkinRect& r, int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
  r.Left = Wrap(int64_t(r.Left) + dx);
  r.Top = Wrap(int64_t(r.Top) + dy);
  r.Width = Wrap(int64_t(r.Width) + dw);
  r.Height = Wrap(int64_t(r.Height) + dh);
  RecomputeEdges(r);
  RefreshWinRect(r);
}

void AdjustSkinRectEdges(TSkinRect& r, int32_t dleft, int32_t dtop, int32_t dright, int32_t dbottom) {
  r.Left = Wrap(int64_t(r.Left) + dleft);
  r.Top = Wrap(int64_t(r.Top) + dtop);
  r.Right = Wrap(int64_t(r.Right) + dright);
  r.Bottom = Wrap(int64_t(r.Bottom) + dbottom);
  RecomputeSize(r);
  RefreshWinRect(r);
}

TWinRect SkinRectToRect(TSkinRect& r) {
  RefreshWinRect(r);
  return r.WinRect;
}
