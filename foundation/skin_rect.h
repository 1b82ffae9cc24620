#pragma once
#include <cstdint>

// Left/Top/Right/Bottom are inclusive; -10000 in an edge means "not set".
constexpr int32_t kUnsetEdge = -10000;

struct TWinRect {
  int32_t left, top, right, bottom;
};

struct TSkinRect {
  int32_t Left, Top, Right, Bottom;
  int32_t Width, Height;
  TWinRect WinRect;  // copy of the edges, inclusive too; stale after MoveSkinRect and friends
};
static_assert(sizeof(TSkinRect) == 40);

void ClearSkinRect(TSkinRect& r);
void SetSkinRectEdges(TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom);
void SetSkinRectBounds(TSkinRect& r, int32_t left, int32_t top, int32_t width, int32_t height);
void IncludeInSkinRect(TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom);
bool IsSkinRectEmpty(const TSkinRect& r);
bool PointInSkinRect(const TSkinRect& r, int32_t x, int32_t y);
// out may be null, and may be a or b.
bool IntersectSkinRects(const TSkinRect& a, const TSkinRect& b, TSkinRect* out);
void MoveSkinRect(TSkinRect& r, int32_t left, int32_t top);
void SetSkinRectRightBottom(TSkinRect& r, int32_t right, int32_t bottom);
void MoveSizeSkinRect(TSkinRect& r, int32_t dx, int32_t dy, int32_t dw, int32_t dh);
void AdjustSkinRectEdges(TSkinRect& r, int32_t dleft, int32_t dtop, int32_t dright, int32_t dbottom);
TWinRect SkinRectToRect(TSkinRect& r);
