#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"

using namespace dibops;

namespace {

// The area both painters walk: target start and size, source start, and the source's steps.
struct TPaintArea {
  int32_t X, Y, Width, Height, SourceX, SourceY;
  bool ColumnRepeat, RowRepeat;
};

bool PreparePaint(const TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
                  int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, const TSkinRect& clip,
                  TPaintArea& area) {
  if (target.Width <= 0 || source.Width <= 0) return false;
  if (!IsColorDib(target) || !IsColorDib(source)) return false;
  // When both sizes differ the source is still read 1:1 at the target size.
  const bool columnRepeat = width != sourceWidth && height == sourceHeight;
  const bool rowRepeat = height != sourceHeight && width == sourceWidth;
  if (!ClipBlitToDib(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight)) return false;
  const int32_t savedX = sourceX, savedY = sourceY;
  if (!ClipBlitToRect(clip, x, y, width, height, sourceX, sourceY)) return false;
  if (columnRepeat) sourceX = savedX;
  if (rowRepeat) sourceY = savedY;
  // Read the source only where it has pixels, whatever area the caller asked for.
  if (!ClipSourceAxis(source.Width, columnRepeat, x, width, sourceX)) return false;
  if (!ClipSourceAxis(source.Height, rowRepeat, y, height, sourceY)) return false;
  area = {x, y, width, height, sourceX, sourceY, columnRepeat, rowRepeat};
  return true;
}

// Walks the area row by row; pixel(target pixel, source pixel) does the work.
template <typename PixelFn>
void WalkArea(TDibImage& target, const TDibImage& source, const TPaintArea& a, PixelFn pixel) {
  const intptr_t tb = target.BytesPerPixel;
  const intptr_t sb = a.ColumnRepeat ? 0 : source.BytesPerPixel;
  const intptr_t sRow = a.RowRepeat ? 0 : -intptr_t(source.RowStride);
  const uint8_t* sLine = DibPixelAddress(source, a.SourceX, a.SourceY);
  for (int32_t j = 0; j < a.Height; ++j, sLine += sRow) {
    uint8_t* t = DibPixelAddress(target, a.X, a.Y + j);
    const uint8_t* s = sLine;
    for (int32_t i = 0; i < a.Width; ++i, t += tb, s += sb) pixel(t, s);
  }
}

}  // namespace

void DrawDibBlended(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
                    int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                    const TSkinRect& clip) {
  TPaintArea a;
  if (!PreparePaint(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, clip, a)) return;
  if (!source.HasAlpha) {
    WalkArea(target, source, a, [](uint8_t* t, const uint8_t* s) { CopyBgr(t, s); });
    return;
  }
  WalkArea(target, source, a, [](uint8_t* t, const uint8_t* s) {
    const int32_t alpha = s[3];
    if (alpha == 0) return;
    if (alpha == 255) {
      CopyBgr(t, s);
      return;
    }
    for (int k = 0; k < 3; ++k) t[k] = uint8_t((t[k] * (255 - alpha) + s[k] * alpha) / 255);
  });
}

void DrawDibKeyed(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
                  int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, const TSkinRect& clip,
                  uint32_t keyColor) {
  TPaintArea a;
  if (!PreparePaint(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, clip, a)) return;
  const uint8_t key[3] = {uint8_t(keyColor >> 16), uint8_t(keyColor >> 8), uint8_t(keyColor)};
  WalkArea(target, source, a, [&key](uint8_t* t, const uint8_t* s) {
    if (s[0] == key[0] && s[1] == key[1] && s[2] == key[2]) return;
    CopyBgr(t, s);
  });
}
