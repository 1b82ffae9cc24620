#include "engine/code_holes.h"

#include <algorithm>

#include "foundation/dib_ops.h"

void FillCodeHoles(TCutTarget& target, TBoundsRect rect, uint32_t color, TBoundsRect& bounds) {
  const TLevelRecord& lv = target.GameLevel;
  TDibImage& map = target.CutMap;
  bounds.Reset();
  if (rect.Left < 0) rect.Left = 0;
  if (rect.Top < 0) rect.Top = 0;
  if (rect.Right >= lv.ImageW) rect.Right = lv.ImageW - 1;
  if (rect.Bottom >= lv.ImageH) rect.Bottom = lv.ImageH - 1;
  // The map is the picture plus its strips; a record that claims more stays inside the map.
  rect.Right = std::min(rect.Right, map.Width - 1);
  rect.Bottom = std::min(rect.Bottom, map.Height - 1);
  const uint8_t blue = uint8_t(color >> 16), green = uint8_t(color >> 8), red = uint8_t(color);
  for (int32_t y = rect.Top; y <= rect.Bottom; ++y) {
    const uint8_t* line = DibScanLine(map, y);
    int32_t first = -1, last = -1;  // this row's pixels of the colour, widened into bounds once
    for (int32_t x = rect.Left; x <= rect.Right; ++x) {
      const uint8_t* p = line + intptr_t(x) * 3;
      if (p[0] == blue && p[1] == green && p[2] == red) {
        if (first < 0) first = x;
        last = x;
        continue;
      }
      if ((p[0] & p[1] & p[2]) != 255 || x <= rect.Left || x >= rect.Right || y <= rect.Top || y >= rect.Bottom)
        continue;
      const int hits = (MapColorAt(map, x - 1, y) == color) + (MapColorAt(map, x + 1, y) == color) +
                       (MapColorAt(map, x, y - 1) == color) + (MapColorAt(map, x, y + 1) == color);
      if (hits == 4)
        SetDibPixel(map, x, y, color);
      else if (hits > 0)
        FloodFillDib(map, x, y, color);
    }
    if (first >= 0) {
      bounds.Widen(first, y);
      bounds.Widen(last, y);
    }
  }
}
