#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"

using dibops::Narrow;

// The sums here are taken in 64 bits so that hostile coordinates near the ends of the 32-bit
// range cut correctly instead of wrapping.
namespace {

// One axis of ClipToDib / ClipBlitToDib: pos and size cut to 0..limit - 1; the source
// position follows the start unless it is held (a repeated column or row).
bool ClipAxis(int32_t limit, int32_t& pos, int32_t& size, int32_t* sourcePos) {
  int64_t p = pos, s = size;
  if (p < 0) {
    if (sourcePos) *sourcePos = Narrow(int64_t(*sourcePos) - p);
    s += p;
    p = 0;
  }
  if (p + s > limit) s = limit - p;
  pos = Narrow(p);
  size = Narrow(s);
  return p < limit && s >= 1;
}

// One axis of ClipBlitToRect against the inclusive edges lo..hi.
void ClipAxisToEdges(int32_t lo, int32_t hi, int32_t& pos, int32_t& size, int32_t& sourcePos) {
  int64_t p = pos, s = size;
  if (lo > p) {
    const int64_t d = lo - p;
    s -= d;
    sourcePos = Narrow(int64_t(sourcePos) + d);
    p = lo;
  }
  if (p + s > int64_t(hi) + 1) s = int64_t(hi) + 1 - p;
  pos = Narrow(p);
  size = Narrow(s);
}

}  // namespace

bool ClipToDib(const TDibImage& image, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  if (!ClipAxis(image.Width, x, width, nullptr)) return false;
  return ClipAxis(image.Height, y, height, nullptr);
}

bool ClipBlitToDib(const TDibImage& target, int32_t& x, int32_t& y, int32_t& width, int32_t& height,
                   const TDibImage& /*source*/, int32_t& sourceX, int32_t& sourceY, int32_t& sourceWidth,
                   int32_t& sourceHeight) {
  const bool columnRepeat = width != sourceWidth && height == sourceHeight;
  const bool rowRepeat = height != sourceHeight && width == sourceWidth;
  if (!ClipAxis(target.Width, x, width, columnRepeat ? nullptr : &sourceX)) return false;
  if (!ClipAxis(target.Height, y, height, rowRepeat ? nullptr : &sourceY)) return false;
  if (!columnRepeat) sourceWidth = width;
  if (!rowRepeat) sourceHeight = height;
  return true;
}

bool ClipBlitToRect(const TSkinRect& clip, int32_t& x, int32_t& y, int32_t& width, int32_t& height, int32_t& sourceX,
                    int32_t& sourceY) {
  ClipAxisToEdges(clip.Left, clip.Right, x, width, sourceX);
  ClipAxisToEdges(clip.Top, clip.Bottom, y, height, sourceY);
  return width > 0 && height > 0;
}
