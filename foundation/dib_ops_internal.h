#pragma once
#include <cstdint>
#include <limits>

#include "foundation/dib_image.h"

// Helpers shared by the pixel operations' source files; not for other callers.
namespace dibops {

// A 64-bit intermediate brought back into the 32-bit range, saturating.
inline int32_t Narrow(int64_t v) {
  constexpr int64_t lo = std::numeric_limits<int32_t>::min();
  constexpr int64_t hi = std::numeric_limits<int32_t>::max();
  return int32_t(v < lo ? lo : (v > hi ? hi : v));
}

// Copies blue, green and red; an alpha byte stays.
inline void CopyBgr(uint8_t* t, const uint8_t* s) {
  t[0] = s[0];
  t[1] = s[1];
  t[2] = s[2];
}

// An image with pixels of 3 or 4 bytes.
bool IsColorDib(const TDibImage& d);
bool Is24BitDib(const TDibImage& d);

// Cuts one axis of an already target-clipped copy so that the source is read only inside
// 0..limit - 1, moving the target start along. A held axis (a repeated column or row) only
// checks that its one source position lies inside.
bool ClipSourceAxis(int32_t limit, bool held, int32_t& pos, int32_t& size, int32_t& sourcePos);

}  // namespace dibops
