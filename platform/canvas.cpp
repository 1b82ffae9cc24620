#include "platform/canvas.h"

namespace {
struct TPixelWriter {
  TPlatformBitmap& bitmap;
  uint8_t blue, green, red;
  void operator()(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= bitmap.Width || y >= bitmap.Height) return;
    uint8_t* p = bitmap.Pixels + intptr_t(bitmap.Height - 1 - y) * bitmap.AllocatedStride + intptr_t(x) * 3;
    p[0] = blue;
    p[1] = green;
    p[2] = red;
  }
};

TPixelWriter Writer(TPlatformBitmap& bitmap, uint32_t color) {
  return TPixelWriter{bitmap, uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color)};
}

// Lines wholly beside the bitmap are skipped, and so are coordinates beyond what the host's
// canvas accepts (27 bits), which only come from broken geometry.
bool Visible(const TPlatformBitmap& bitmap, TCanvasPoint a, TCanvasPoint b) {
  constexpr int32_t kLimit = 1 << 26;
  if (a.x < -kLimit || a.x > kLimit || a.y < -kLimit || a.y > kLimit) return false;
  if (b.x < -kLimit || b.x > kLimit || b.y < -kLimit || b.y > kLimit) return false;
  if (a.x < 0 && b.x < 0) return false;
  if (a.y < 0 && b.y < 0) return false;
  if (a.x >= bitmap.Width && b.x >= bitmap.Width) return false;
  if (a.y >= bitmap.Height && b.y >= bitmap.Height) return false;
  return true;
}
}  // namespace

void CanvasLine(TPlatformBitmap& bitmap, TCanvasPoint a, TCanvasPoint b, uint32_t color) {
  if (bitmap.BitsPerPixel != 24 || !Visible(bitmap, a, b)) return;
  WalkPenLine(a, b, Writer(bitmap, color));
}

void CanvasPolyline(TPlatformBitmap& bitmap, const TCanvasPoint* points, int32_t count, uint32_t color) {
  if (bitmap.BitsPerPixel != 24) return;
  const TPixelWriter w = Writer(bitmap, color);
  for (int32_t i = 0; i + 1 < count; ++i)
    if (Visible(bitmap, points[i], points[i + 1])) WalkPenLine(points[i], points[i + 1], w);
}

void CanvasSetPixel(TPlatformBitmap& bitmap, int32_t x, int32_t y, uint32_t color) {
  if (bitmap.BitsPerPixel != 24) return;
  Writer(bitmap, color)(x, y);
}
