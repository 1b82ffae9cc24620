#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/dib_ops.h"
#include "foundation/dib_ops_internal.h"

// Scanline fill with a stack of pending spans. A span (X1, X2, Row, Dir) says: the run X1..X2
// of Row has been filled; look at the row Row + Dir below/above it. The fields are 32-bit, so
// images as wide as the buffers allow fill without wrapping.
namespace {

struct TFillSpan {
  int32_t X1, X2, Row, Dir;
};

// How far below the top of the stack a pop looks for a span of the row it took last; a short
// look keeps consecutive work on the same rows without a walk over a deep stack.
constexpr size_t kRowLookBack = 16;

class TFloodFill {
 public:
  TFloodFill(TDibImage& image, uint32_t seed, uint32_t fill, bool wantBounds, TWinRect& bounds)
      : image_(image), wantBounds_(wantBounds), bounds_(bounds) {
    seed_[0] = uint8_t(seed >> 16);
    seed_[1] = uint8_t(seed >> 8);
    seed_[2] = uint8_t(seed);
    fill_[0] = uint8_t(fill >> 16);
    fill_[1] = uint8_t(fill >> 8);
    fill_[2] = uint8_t(fill);
    for (int32_t i = 0; i < kBlock; ++i) {
      std::memcpy(seedBlock_ + 3 * i, seed_, 3);
      std::memcpy(fillBlock_ + 3 * i, fill_, 3);
    }
  }

  void Run(int32_t x, int32_t y) {
    const uint8_t* row = DibScanLine(image_, y);
    const int32_t xl = ScanLeft(row, x, 0) + 1;
    const int32_t xr = ScanRight(row, x, image_.Width - 1) - 1;
    // The second span, taken first, fills the seed row itself.
    Push(xl, xr, y, +1);
    Push(xl, xr, y + 1, -1);
    TFillSpan s;
    while (Pop(s)) Process(s);
  }

 private:
  bool Matches(const uint8_t* row, int32_t x) const {
    const uint8_t* p = row + size_t(x) * 3;
    return p[0] == seed_[0] && p[1] == seed_[1] && p[2] == seed_[2];
  }

  // Whether the kBlock pixels from x on all have the block's colour.
  static bool BlockIs(const uint8_t* row, int32_t x, const uint8_t* block) {
    return std::memcmp(row + size_t(x) * 3, block, 3 * kBlock) == 0;
  }

  // Walks left while the pixel matches; the first column that failed.
  int32_t ScanLeft(const uint8_t* row, int32_t x, int32_t limit) const {
    if (x >= image_.Width) return x;
    while (x - kBlock + 1 >= limit && BlockIs(row, x - kBlock + 1, seedBlock_)) x -= kBlock;
    while (x >= limit && Matches(row, x)) --x;
    return x;
  }

  // Walks right while the pixel matches; the first column that failed.
  int32_t ScanRight(const uint8_t* row, int32_t x, int32_t limit) const {
    if (x < 0) return x;
    while (x + kBlock - 1 <= limit && BlockIs(row, x, seedBlock_)) x += kBlock;
    while (x <= limit && Matches(row, x)) ++x;
    return x;
  }

  // Walks right while the pixel differs; the first column that matches. Pixels already filled
  // (never the seed colour) pass a block at a time.
  int32_t SkipRight(const uint8_t* row, int32_t x, int32_t limit) const {
    for (;;) {
      while (x + kBlock - 1 <= limit && BlockIs(row, x, fillBlock_)) x += kBlock;
      if (x > limit || Matches(row, x)) return x;
      ++x;
    }
  }

  void FillRun(uint8_t* row, int32_t xl, int32_t xr, int32_t y) {
    uint8_t* p = row + size_t(xl) * 3;
    int32_t x = xl;
    for (; x + kBlock - 1 <= xr; x += kBlock, p += 3 * kBlock) std::memcpy(p, fillBlock_, 3 * kBlock);
    for (; x <= xr; ++x, p += 3) {
      dibops::CopyBgr(p, fill_);
    }
    if (!wantBounds_) return;
    bounds_.left = std::min(bounds_.left, xl);
    bounds_.right = std::max(bounds_.right, xr);
    bounds_.top = std::min(bounds_.top, y);
    bounds_.bottom = std::max(bounds_.bottom, y);
  }

  void Push(int32_t x1, int32_t x2, int32_t row, int32_t dir) { stack_.push_back({x1, x2, row, dir}); }

  bool Pop(TFillSpan& s) {
    if (stack_.empty()) return false;
    const size_t top = stack_.size() - 1;
    size_t pick = top;
    for (size_t k = 1; k <= kRowLookBack && k <= top; ++k) {
      if (stack_[top - k].Row == lastRow_) {
        pick = top - k;
        break;
      }
    }
    s = stack_[pick];
    stack_.erase(stack_.begin() + std::ptrdiff_t(pick));
    lastRow_ = s.Row;
    return true;
  }

  void Process(const TFillSpan& s) {
    const int32_t y = s.Row + s.Dir;
    if (y < 0 || y >= image_.Height) return;
    // Spans always lie inside the image; the clamp only guards the scans below.
    const int32_t x1 = std::max(s.X1, 0), x2 = std::min(s.X2, image_.Width - 1);
    const int32_t dir = s.Dir;
    uint8_t* row = DibScanLine(image_, y);
    int32_t x = x1;
    int32_t xl = ScanLeft(row, x1, 0) + 1;
    if (xl <= x1) {
      const int32_t xr = ScanRight(row, x1 + 1, image_.Width - 1) - 1;
      FillRun(row, xl, xr, y);
      if (xl >= x1 - 1 && xr <= x2 + 1) {
        Push(xl, xr, y, dir);
      } else {
        // The run overhangs the span: look back at the row it came from, beyond the span.
        if (xl == x1)
          Push(x2 + 2, xr, y, -dir);
        else if (xr == x2)
          Push(xl, x1 - 2, y, -dir);
        else
          Push(xl, xr, y, -dir);
        Push(xl, xr, y, dir);
      }
      x = xr + 1;
    }
    while (x < x2) {
      x = SkipRight(row, x + 1, x2);
      if (x > x2) break;
      xl = x;
      const int32_t xr = ScanRight(row, xl + 1, image_.Width - 1) - 1;
      FillRun(row, xl, xr, y);
      if (xr > x2 + 1) Push(xl, xr, y, -dir);
      Push(xl, xr, y, dir);
      x = xr + 1;
    }
  }

  static constexpr int32_t kBlock = 4;  // pixels compared and written at once
  TDibImage& image_;
  uint8_t seed_[3];
  uint8_t fill_[3];
  uint8_t seedBlock_[3 * kBlock];
  uint8_t fillBlock_[3 * kBlock];
  bool wantBounds_;
  TWinRect& bounds_;
  std::vector<TFillSpan> stack_;
  int32_t lastRow_ = -1;
};

}  // namespace

void FloodFillDib(TDibImage& image, int32_t x, int32_t y, uint32_t fillColor, bool wantBounds, TWinRect& bounds) {
  if (wantBounds) bounds = {x, y, x, y};
  if (!dibops::Is24BitDib(image)) return;
  // Only blue, green and red take part: a stray top byte must not make a colour that equals
  // the seed look different, or the fill would never end.
  const uint32_t fill = fillColor & 0x00FFFFFF;
  const int32_t seed = GetDibPixel(image, x, y);
  if (seed < 0 || uint32_t(seed) == fill) return;
  TFloodFill(image, uint32_t(seed), fill, wantBounds, bounds).Run(x, y);
}

void FloodFillDib(TDibImage& image, int32_t x, int32_t y, uint32_t fillColor) {
  TWinRect unused{};
  FloodFillDib(image, x, y, fillColor, false, unused);
}
