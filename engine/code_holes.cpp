#include "engine/code_holes.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "foundation/dib_ops.h"
#include "foundation/run_beside.h"

constexpr int32_t kTileSize = 32;

void TWhiteRows::Start(const TDibImage& map, int32_t width, int32_t height) {
  Width = map.BytesPerPixel == 3 ? std::max(std::min(width, map.Width), 0) : 0;
  Height = std::max(std::min(height, map.Height), 0);
  RowStart.assign(size_t(Height) + 1, 0);
  Runs.clear();
  NextRow = 0;
}

void TWhiteRows::Add(int32_t y, int32_t x0, int32_t x1) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, Width - 1);
  if (y < NextRow - 1 || y >= Height || x0 > x1) return;
  for (; NextRow <= y; ++NextRow) RowStart[size_t(NextRow)] = int32_t(Runs.size() / 2);
  const size_t n = Runs.size();
  if (n > size_t(RowStart[size_t(y)]) * 2 && Runs[n - 1] == x0 - 1) {
    Runs[n - 1] = x1;
  } else {
    Runs.push_back(x0);
    Runs.push_back(x1);
  }
}

void TWhiteRows::Finish() {
  for (; NextRow <= Height; ++NextRow) RowStart[size_t(NextRow)] = int32_t(Runs.size() / 2);
  TileCols = (Width + kTileSize - 1) / kTileSize;
  Tiles.assign(size_t(TileCols) * size_t((Height + kTileSize - 1) / kTileSize), 0);
  for (int32_t y = 0; y < Height; ++y) {
    uint8_t* tiles = Tiles.data() + size_t(y / kTileSize) * size_t(TileCols);
    for (int32_t r = RowStart[size_t(y)]; r < RowStart[size_t(y) + 1]; ++r) {
      for (int32_t c = Runs[size_t(r) * 2] / kTileSize; c <= Runs[size_t(r) * 2 + 1] / kTileSize; ++c) tiles[c] = 1;
    }
  }
}

void FindWhiteRows(const TDibImage& map, int32_t width, int32_t height, TWhiteRows& rows) {
  rows.Start(map, width, height);
  const size_t bytes = size_t(rows.Width) * 3;
  // Bands of rows are searched over the free cores; their runs are added in row order.
  constexpr int32_t kBandRows = 64;
  const int32_t bands = bytes > 0 ? (rows.Height + kBandRows - 1) / kBandRows : 0;
  struct TRun {
    int32_t Y, X0, X1;
  };
  std::vector<std::vector<TRun>> found(static_cast<size_t>(bands));
  RunChunks(bands, SpareCores(), [&](int32_t band) {
    std::vector<TRun>& runs = found[size_t(band)];
    for (int32_t y = band * kBandRows; y < std::min(rows.Height, (band + 1) * kBandRows); ++y) {
      const uint8_t* row = DibScanLine(map, y);
      size_t from = 0;
      // Only a white pixel has three 255 bytes: look for a 255 byte, then at its pixel.
      while (from < bytes) {
        const void* hit = std::memchr(row + from, 255, bytes - from);
        if (!hit) break;
        const int32_t x = int32_t(size_t(static_cast<const uint8_t*>(hit) - row) / 3);
        const uint8_t* p = row + size_t(x) * 3;
        if ((p[0] & p[1] & p[2]) == 255) {
          if (!runs.empty() && runs.back().Y == y && runs.back().X1 == x - 1) {
            runs.back().X1 = x;
          } else {
            runs.push_back({y, x, x});
          }
        }
        from = size_t(x + 1) * 3;
      }
    }
  });
  for (const std::vector<TRun>& runs : found) {
    for (const TRun& r : runs) rows.Add(r.Y, r.X0, r.X1);
  }
  rows.Finish();
}

bool TWhiteRows::AnyInside(int32_t top, int32_t bottom, int32_t left, int32_t right) const {
  const auto anyRow = [&] {
    for (int32_t y = top; y <= bottom; ++y) {
      if (Inside(y, left, right)) return true;
    }
    return false;
  };
  if (top > bottom) return false;
  if (top < 0 || size_t(bottom) + 1 >= RowStart.size()) return anyRow();  // rows the table does not know
  // White strictly between the columns lies on a run over left + 1 .. right - 1.
  const int32_t from = std::max(left + 1, 0), to = std::min(right - 1, Width - 1);
  if (from > to) return false;
  bool marked = false;
  for (int32_t ty = top / kTileSize; ty <= bottom / kTileSize && !marked; ++ty) {
    const uint8_t* tiles = Tiles.data() + size_t(ty) * size_t(TileCols);
    for (int32_t c = from / kTileSize; c <= to / kTileSize && !marked; ++c) marked = tiles[c] != 0;
  }
  return marked && anyRow();
}

bool TWhiteRows::Inside(int32_t y, int32_t left, int32_t right) const {
  if (y < 0 || size_t(y) + 1 >= RowStart.size()) return true;  // not in the table: assume white
  const int32_t* first = Runs.data() + size_t(RowStart[size_t(y)]) * 2;
  const int32_t* last = Runs.data() + size_t(RowStart[size_t(y) + 1]) * 2;
  // The first run that ends right of left; white lies inside when it starts left of right.
  int32_t lo = 0, hi = int32_t(last - first) / 2;
  while (lo < hi) {
    const int32_t mid = (lo + hi) / 2;
    if (first[2 * mid + 1] > left) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return first + 2 * lo < last && first[2 * lo] < right && first[2 * lo + 1] > left && right - left > 1;
}

namespace {

TBoundsRect ClampToPicture(const TCutTarget& target, TBoundsRect rect) {
  const TLevelRecord& lv = target.GameLevel;
  if (rect.Left < 0) rect.Left = 0;
  if (rect.Top < 0) rect.Top = 0;
  if (rect.Right >= lv.ImageW) rect.Right = lv.ImageW - 1;
  if (rect.Bottom >= lv.ImageH) rect.Bottom = lv.ImageH - 1;
  // The map is the picture plus its strips; a record that claims more stays inside the map.
  rect.Right = std::min(rect.Right, target.CutMap.Width - 1);
  rect.Bottom = std::min(rect.Bottom, target.CutMap.Height - 1);
  return rect;
}

// Whether the row is one FillCodeHoles looks for holes in.
bool RowMayFill(const TBoundsRect& rect, int32_t y, const TWhiteRows* whites) {
  return y > rect.Top && y < rect.Bottom && (!whites || whites->Inside(y, rect.Left, rect.Right));
}

// The first and the last pixel of the colour in the row's columns from..to, -1 when none.
// Only a pixel of the colour starts with its blue byte there: a byte search finds the
// candidates many pixels at a time.
int32_t FirstOfColour(const uint8_t* line, int32_t from, int32_t to, uint8_t blue, uint8_t green, uint8_t red) {
  const uint8_t* p = line + intptr_t(from) * 3;
  const uint8_t* const end = line + intptr_t(to + 1) * 3;
  while (p < end) {
    p = static_cast<const uint8_t*>(std::memchr(p, blue, size_t(end - p)));
    if (!p) return -1;
    const intptr_t at = p - line;
    if (at % 3 == 0 && p + 3 <= end && p[1] == green && p[2] == red) return int32_t(at / 3);
    ++p;
  }
  return -1;
}

int32_t LastOfColour(const uint8_t* line, int32_t from, int32_t to, uint8_t blue, uint8_t green, uint8_t red) {
  const uint8_t* const begin = line + intptr_t(from) * 3;
  const uint8_t* end = line + intptr_t(to + 1) * 3;
  while (end > begin) {
    const auto* p = static_cast<const uint8_t*>(memrchr(begin, blue, size_t(end - begin)));
    if (!p) return -1;
    const intptr_t at = p - line;
    if (at % 3 == 0 && p[1] == green && p[2] == red) return int32_t(at / 3);
    end = p;
  }
  return -1;
}

}  // namespace

bool MayFillCodeHoles(const TCutTarget& target, TBoundsRect rect, const TWhiteRows& whites) {
  rect = ClampToPicture(target, rect);
  return whites.AnyInside(rect.Top + 1, rect.Bottom - 1, rect.Left, rect.Right);
}

bool HoldsWhite(const TCutTarget& target, TBoundsRect rect, const TWhiteRows& whites) {
  rect = ClampToPicture(target, rect);
  return whites.AnyInside(rect.Top, rect.Bottom, rect.Left - 1, rect.Right + 1);
}

void FillCodeHoles(TCutTarget& target, TBoundsRect rect, uint32_t color, TBoundsRect& bounds,
                   const TWhiteRows* whites) {
  TDibImage& map = target.CutMap;
  bounds.Reset();
  rect = ClampToPicture(target, rect);
  const uint8_t blue = uint8_t(color >> 16), green = uint8_t(color >> 8), red = uint8_t(color);
  // A four-byte load per pixel where the map has a byte to spare after the rectangle.
  const bool spare = rect.Right + 1 < map.Width;
  const uint32_t colour24 = uint32_t(blue) | uint32_t(green) << 8 | uint32_t(red) << 16;
  const auto is = [&](const uint8_t* p) {
    if (!spare) return p[0] == blue && p[1] == green && p[2] == red;
    uint32_t v;
    std::memcpy(&v, p, 4);
    return (v & 0xFFFFFFu) == colour24;
  };
  for (int32_t y = rect.Top; y <= rect.Bottom; ++y) {
    const uint8_t* line = DibScanLine(map, y);
    int32_t first = -1, last = -1;  // this row's pixels of the colour, widened into bounds once
    const bool fills = RowMayFill(rect, y, whites);
    if (!fills) {
      // No hole to fill in this row: the first and last pixel of the colour are enough.
      first = FirstOfColour(line, rect.Left, rect.Right, blue, green, red);
      if (first >= 0) last = LastOfColour(line, first, rect.Right, blue, green, red);
    } else {
      for (int32_t x = rect.Left; x <= rect.Right; ++x) {
        const uint8_t* p = line + intptr_t(x) * 3;
        if (is(p)) {
          if (first < 0) first = x;
          last = x;
          continue;
        }
        if ((p[0] & p[1] & p[2]) != 255 || x <= rect.Left || x >= rect.Right) continue;
        const int hits = (MapColorAt(map, x - 1, y) == color) + (MapColorAt(map, x + 1, y) == color) +
                         (MapColorAt(map, x, y - 1) == color) + (MapColorAt(map, x, y + 1) == color);
        if (hits == 4)
          SetDibPixel(map, x, y, color);
        else if (hits > 0)
          FloodFillDib(map, x, y, color);
      }
    }
    if (first >= 0) {
      bounds.Widen(first, y);
      bounds.Widen(last, y);
    }
  }
}

void MeasureBeside(const std::vector<int32_t>& inTurn, const std::vector<int32_t>& alone,
                   const std::function<void(int32_t)>& measure) {
  std::atomic<size_t> next{0};
  const auto measureAlone = [&] {
    for (size_t k = next++; k < alone.size(); k = next++) measure(alone[k]);
  };
  RunBeside(measureAlone, [&] {
    for (int32_t i : inTurn) measure(i);
    measureAlone();
  });
}
