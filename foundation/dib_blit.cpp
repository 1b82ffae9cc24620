#include <algorithm>
#include <cstring>

#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"

namespace dibops {

bool IsColorDib(const TDibImage& d) {
  return d.Width > 0 && d.Height > 0 && (d.BytesPerPixel == 3 || d.BytesPerPixel == 4);
}

bool Is24BitDib(const TDibImage& d) { return d.Width > 0 && d.Height > 0 && d.BytesPerPixel == 3; }

bool ClipSourceAxis(int32_t limit, bool held, int32_t& pos, int32_t& size, int32_t& sourcePos) {
  if (held) return sourcePos >= 0 && sourcePos < limit;
  int64_t p = pos, s = size, sp = sourcePos;
  if (sp < 0) {
    p -= sp;
    s += sp;
    sp = 0;
  }
  if (sp + s > limit) s = limit - sp;
  if (s < 1) return false;
  pos = int32_t(p);
  size = int32_t(s);
  sourcePos = int32_t(sp);
  return true;
}

}  // namespace dibops

using namespace dibops;

void BlitDib(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
             int32_t sourceX, int32_t sourceY) {
  if (target.Width <= 0 || source.Width <= 0) return;
  const int32_t tb = target.BytesPerPixel, sb = source.BytesPerPixel;
  const bool sameFormat = tb == sb;
  if (!sameFormat && !(IsColorDib(target) && IsColorDib(source))) return;
  int32_t sw = width, sh = height;
  if (!ClipBlitToDib(target, x, y, width, height, source, sourceX, sourceY, sw, sh)) return;
  // The caller's source area may reach past the source: copy only what exists.
  if (!ClipSourceAxis(source.Width, false, x, width, sourceX)) return;
  if (!ClipSourceAxis(source.Height, false, y, height, sourceY)) return;

  // Within one buffer, walk the rows so that no row is overwritten before it is read.
  const bool upward = target.Bits == source.Bits && y > sourceY;
  for (int32_t k = 0; k < height; ++k) {
    const int32_t j = upward ? height - 1 - k : k;
    uint8_t* t = DibPixelAddress(target, x, y + j);
    const uint8_t* s = DibPixelAddress(source, sourceX, sourceY + j);
    if (sameFormat) {
      std::memmove(t, s, size_t(width) * size_t(tb));
      continue;
    }
    for (int32_t i = 0; i < width; ++i, t += tb, s += sb) {
      CopyBgr(t, s);
    }
  }
}

bool CopyBitmapToDib(TDibImage& image, const TPlatformBitmap& bitmap) {
  // Build the copy aside first: the bitmap may be the one the image holds now.
  TDibImage copy;
  InitDib(copy);
  const int32_t bits = bitmap.BitsPerPixel;
  const bool readable = bitmap.Pixels && (bits == 8 || bits == 24 || bits == 32);
  if (!readable || !CreateDib24(copy, bitmap.Width, bitmap.Height)) {
    FreeDib(image);
    InitDib(image);
    return false;
  }
  TDibImage source;
  InitDib(source);
  AttachDib(const_cast<TPlatformBitmap*>(&bitmap), source);  // read only, never freed here
  for (int32_t y = 0; y < copy.Height; ++y) {
    uint8_t* t = DibScanLine(copy, y);
    const uint8_t* s = DibScanLine(source, y);
    if (source.BytesPerPixel == 3) {
      std::memcpy(t, s, size_t(copy.Width) * 3);
      continue;
    }
    for (int32_t x = 0; x < copy.Width; ++x, t += 3, s += source.BytesPerPixel) {
      if (source.BytesPerPixel == 1) {
        t[0] = t[1] = t[2] = s[0];
      } else {
        CopyBgr(t, s);
      }
    }
  }
  FreeDib(image);
  image = copy;
  return true;
}

namespace {

// Sixteen pixels of one colour, ready to copy: a coloured row is then mostly block copies.
struct TColorBlock {
  static constexpr int32_t kPixels = 16;
  uint8_t Bytes[3 * kPixels];
  uint32_t Color = 0;

  void Set(uint32_t color) {
    Color = color;
    for (int32_t i = 0; i < kPixels; ++i) {
      Bytes[3 * i] = uint8_t(color >> 16);
      Bytes[3 * i + 1] = uint8_t(color >> 8);
      Bytes[3 * i + 2] = uint8_t(color);
    }
  }
  void FillRow(uint8_t* p, int32_t width) const {
    for (; width >= kPixels; width -= kPixels, p += sizeof Bytes) std::memcpy(p, Bytes, sizeof Bytes);
    std::memcpy(p, Bytes, size_t(width) * 3);
  }
};

}  // namespace

void FillDibRect(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color) {
  if (image.Width <= 0) return;
  if (!ClipToDib(image, x, y, width, height)) return;
  const int32_t bpp = image.BytesPerPixel;
  const uint8_t blue = uint8_t(color >> 16), green = uint8_t(color >> 8), red = uint8_t(color);
  TColorBlock block;
  block.Set(color);
  for (int32_t j = 0; j < height; ++j) {
    uint8_t* p = DibPixelAddress(image, x, y + j);
    if (bpp == 1) {
      std::memset(p, red, size_t(width));
      continue;
    }
    if (bpp == 3 && blue == green && green == red) {  // white and black: one run of bytes
      std::memset(p, red, size_t(width) * 3);
      continue;
    }
    if (bpp == 3) {
      block.FillRow(p, width);
      continue;
    }
    for (int32_t i = 0; i < width; ++i, p += bpp) {
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
}

void FillDibRuns(TDibImage& image, const TDibRun* runs, size_t count) {
  if (!Is24BitDib(image)) return;
  TColorBlock block;
  block.Set(0);
  for (size_t k = 0; k < count; ++k) {
    const TDibRun& r = runs[k];
    const int32_t x0 = std::max(r.X0, 0), x1 = std::min(r.X1, image.Width - 1);
    if (r.Y < 0 || r.Y >= image.Height || x0 > x1) continue;
    if ((r.Color & 0xFFFFFF) != block.Color) block.Set(r.Color & 0xFFFFFF);
    block.FillRow(DibPixelAddress(image, x0, r.Y), x1 - x0 + 1);
  }
}
