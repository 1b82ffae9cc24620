#pragma once
#include <cstdint>

#include "foundation/dib_image.h"

// Helpers shared by the pixel operations' source files; not for other callers.
namespace dibops {

// An image with pixels of 3 or 4 bytes.
bool IsColorDib(const TDibImage& d);
bool Is24BitDib(const TDibImage& d);

// Cuts one axis of an already target-clipped copy so that the source is read only inside
// 0..limit - 1, moving the target start along. A held axis (a repeated column or row) only
// checks that its one source position lies inside.
bool ClipSourceAxis(int32_t limit, bool held, int32_t& pos, int32_t& size, int32_t& sourcePos);

}  // namespace dibops
