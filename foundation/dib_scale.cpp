#include <algorithm>

#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"
#include "foundation/run_beside.h"

using dibops::CopyBgr;
using dibops::Is24BitDib;

void ScaleDib(TDibImage& target, const TDibImage& source) {
  if (target.Width <= 0 || source.Width <= 0) return;
  ScaleDibRect(target, target.Width, target.Height, source, source.Width, source.Height);
}

// Bilinear in 15-bit fixed point. The steps use source size - 1, so the first target pixel is
// the first source pixel and the last target pixel stays short of the last source pixel.
void ScaleDibRect(TDibImage& target, int32_t width, int32_t height, const TDibImage& source, int32_t sourceWidth,
                  int32_t sourceHeight, int32_t helpers) {
  if (!Is24BitDib(target) || !Is24BitDib(source) || target.Bits == source.Bits) return;
  if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1) return;
  // The source area is read only where the source has pixels; the target area is written only
  // where the target has them (the steps still follow the requested size).
  sourceWidth = std::min(sourceWidth, source.Width);
  sourceHeight = std::min(sourceHeight, source.Height);
  const int32_t outWidth = std::min(width, target.Width);
  const int32_t outHeight = std::min(height, target.Height);
  const int64_t stepX = (int64_t(sourceWidth) - 1) * 32768 / width;
  const int64_t stepY = (int64_t(sourceHeight) - 1) * 32768 / height;

  const auto rows = [&](int32_t from, int32_t to) {
    int64_t fy = int64_t(from) * stepY;
    for (int32_t j = from; j < to; ++j, fy += stepY) {
      const int32_t r0 = int32_t(fy >> 15);
      const int32_t r1 = r0 < sourceHeight - 1 ? r0 + 1 : r0;
      const int32_t wy = int32_t(fy & 32767);
      const uint8_t* top = DibScanLine(source, r0);
      const uint8_t* bottom = DibScanLine(source, r1);
      uint8_t* out = DibScanLine(target, j);
      int64_t fx = 0;
      for (int32_t i = 0; i < outWidth; ++i, fx += stepX, out += 3) {
        const int32_t c0 = int32_t(fx >> 15);
        const int32_t c1 = sourceWidth == 1 ? c0 : c0 + 1;
        const int32_t wx = int32_t(fx & 32767);
        const int32_t topRight = (wx * (32768 - wy)) >> 15;
        const int32_t topLeft = (32768 - wy) - topRight;
        const int32_t bottomRight = (wx * wy) >> 15;
        const int32_t bottomLeft = wy - bottomRight;
        const uint8_t* tl = top + size_t(c0) * 3;
        const uint8_t* tr = top + size_t(c1) * 3;
        const uint8_t* bl = bottom + size_t(c0) * 3;
        const uint8_t* br = bottom + size_t(c1) * 3;
        for (int k = 0; k < 3; ++k)
          out[k] = uint8_t((topLeft * tl[k] + topRight * tr[k] + bottomLeft * bl[k] + bottomRight * br[k]) >> 15);
      }
    }
  };
  // A large picture is shared out over the free cores in bands of rows; a row is worked out
  // from its number alone, so the result does not depend on how many threads ran.
  constexpr int64_t kLeastShared = int64_t(1) << 18;  // pixels; below that a thread costs more than it saves
  constexpr int32_t kBandRows = 32;
  if (int64_t(outWidth) * outHeight < kLeastShared) {
    rows(0, outHeight);
    return;
  }
  RunChunks((outHeight + kBandRows - 1) / kBandRows, helpers < 0 ? SpareCores() : helpers,
            [&](int32_t band) { rows(band * kBandRows, std::min(outHeight, (band + 1) * kBandRows)); });
}

bool RotateDib90(TDibImage& target, const TDibImage& source) { return RotateDibWithMargin(target, source, 0); }

// Turns clockwise; source pixel (x, y) of the area without the margin goes to
// (source height - m - 1 - y, x), and the margin strips of the result are black.
bool RotateDibWithMargin(TDibImage& target, const TDibImage& source, int32_t margin) {
  if (!Is24BitDib(source)) return false;
  // The turned image is built aside: target may be the source itself.
  TDibImage turned;
  InitDib(turned);
  if (!CreateDib24(turned, source.Height, source.Width)) return false;
  // A margin wider than the image leaves nothing to turn: the result is all black.
  const int32_t m = std::clamp(margin, 0, std::min(source.Width, source.Height));
  const int32_t areaW = source.Width - m, areaH = source.Height - m;
  FillDibRect(turned, turned.Width - m, 0, m, turned.Height - m, 0);
  FillDibRect(turned, 0, turned.Height - m, turned.Width, m, 0);
  for (int32_t y = 0; y < areaH; ++y) {
    const uint8_t* s = DibScanLine(source, y);
    const int32_t tx = areaH - 1 - y;
    for (int32_t x = 0; x < areaW; ++x, s += 3) {
      uint8_t* t = DibPixelAddress(turned, tx, x);
      CopyBgr(t, s);
    }
  }
  FreeDib(target);
  target = turned;
  return true;
}
