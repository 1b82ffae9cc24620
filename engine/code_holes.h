#pragma once
#include "engine/curves.h"
#include "engine/cut_target.h"

// Bounds of the colour's pixels in the rectangle (inclusive, clamped to the picture); white
// holes strictly inside the rectangle that touch the colour are filled with it. Pixels a fill
// colours behind the scan do not widen the bounds.
void FillCodeHoles(TCutTarget& target, TBoundsRect rect, uint32_t color, TBoundsRect& bounds);
