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
  for (int32_t y = rect.Top; y <= rect.Bottom; ++y) {
    const uint8_t* line = DibScanLine(map, y);
    for (int32_t x = rect.Left; x <= rect.Right; ++x) {
      const uint32_t c = DibPixelColor(line + intptr_t(x) * 3);
      if (c == color) {
        bounds.Widen(x, y);
        continue;
      }
      if (c != kWhite || x <= rect.Left || x >= rect.Right || y <= rect.Top || y >= rect.Bottom) continue;
      const int hits = (MapColorAt(map, x - 1, y) == color) + (MapColorAt(map, x + 1, y) == color) +
                       (MapColorAt(map, x, y - 1) == color) + (MapColorAt(map, x, y + 1) == color);
      if (hits == 4)
        SetDibPixel(map, x, y, color);
      else if (hits > 0)
        FloodFillDib(map, x, y, color);
    }
  }
}
