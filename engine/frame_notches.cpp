#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "engine/cells.h"
#include "foundation/run_beside.h"

namespace {

// 24-bit colours straight from the rows, without bounds checks (callers stay inside). The clean-up
// only compares colours and copies them about, so where the map has a byte after the last pixel
// read, a colour is the pixel's bytes as one four-byte load gives them.
struct TMapView {
  const TDibImage& Map;
  bool Raw;
  uint32_t At(int32_t x, int32_t y) const {
    const uint8_t* p = Map.Bits + intptr_t(Map.Height - 1 - y) * Map.RowStride + intptr_t(x) * 3;
    if (Raw) {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v & 0xFFFFFFu;
    }
    return uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16);
  }
  void Set(int32_t x, int32_t y, uint32_t c) const {
    uint8_t* p = Map.Bits + intptr_t(Map.Height - 1 - y) * Map.RowStride + intptr_t(x) * 3;
    const int32_t first = Raw ? 0 : 16, last = Raw ? 16 : 0;  // the shifts for bytes 0 and 2
    p[0] = uint8_t(c >> first);
    p[1] = uint8_t(c >> 8);
    p[2] = uint8_t(c >> last);
  }
};

// Inline in the notch scan, where it runs once per boundary pixel.
inline int32_t FirstUneven(const uint8_t* row, int32_t x, int32_t last, size_t rowBytes) {
  // Pixel x is even when bytes 3x - 3 .. 3x + 2 each equal the byte three on: the first byte
  // that does not, k, makes column k / 3 the first uneven one from x on.
  size_t k = size_t(x) * 3 - 3;
  const size_t end = size_t(last) * 3 + 3;
  while (k < end) {
    if (std::endian::native == std::endian::little && k + 11 <= rowBytes) {
      uint64_t here, on;
      std::memcpy(&here, row + k, 8);
      std::memcpy(&on, row + k + 3, 8);
      if (here != on) {
        k += size_t(std::countr_zero(here ^ on)) / 8;
        break;
      }
      k += 8;
    } else {
      if (row[k] != row[k + 3]) break;
      ++k;
    }
  }
  return std::max(x, int32_t(std::min(k, end) / 3));
}

// The colour the clean-up gives pixel (x, y) of colour c as the map stands: c when at least two
// of its eight neighbours share it; else the first three neighbours in a row of one colour,
// clockwise from the upper left, else the first two; else c.
inline uint32_t NotchColour(const TMapView& m, int32_t x, int32_t y, uint32_t c) {
  const uint32_t u = m.At(x, y - 1), r = m.At(x + 1, y), d = m.At(x, y + 1), l = m.At(x - 1, y);
  // Most uneven pixels lie on a straight stretch of boundary, with two sides of their own
  // colour: settled before the corners are read.
  const int32_t sides = (u == c) + (r == c) + (d == c) + (l == c);
  if (sides >= 2) return c;
  const uint32_t ul = m.At(x - 1, y - 1), ur = m.At(x + 1, y - 1), dr = m.At(x + 1, y + 1), dl = m.At(x - 1, y + 1);
  if (sides + (ul == c) + (ur == c) + (dr == c) + (dl == c) >= 2) return c;
  const uint32_t ring[8] = {ul, u, ur, r, dr, d, dl, l};
  for (int32_t k = 0; k < 8; ++k) {
    if (ring[k] == ring[(k + 1) % 8] && ring[k] == ring[(k + 2) % 8]) return ring[k];
  }
  for (int32_t k = 0; k < 8; ++k) {
    if (ring[k] == ring[(k + 1) % 8]) return ring[k];
  }
  return c;
}

}  // namespace

int32_t NextUnevenPixel(const uint8_t* row, int32_t x, int32_t last, size_t rowBytes) {
  return FirstUneven(row, x, last, rowBytes);
}

void RemoveFrameNotches(TDibImage& map, const TCutArea& area, int32_t helpers) {
  const int32_t L = area.Left, T = area.Top, R = area.Right, B = area.Bottom;
  if (R - L < 2 || B - T < 2 || L < 0 || T < 0 || R >= map.Width || B >= map.Height) return;
  const TMapView m{map, R + 1 < map.Width};  // no pixel right of R is read
  // The top and bottom rows: inner is the row next to it.
  for (int32_t pass = 0; pass < 2; ++pass) {
    const int32_t y = pass == 0 ? T : B, yi = pass == 0 ? T + 1 : B - 1;
    for (int32_t x = L + 1; x <= R - 1; ++x) {
      const uint32_t c = m.At(x, y), left = m.At(x - 1, y);
      if (m.At(x + 1, y) == c && m.At(x, yi) == left && m.At(x + 1, yi) == left) m.Set(x, y, left);
    }
    for (int32_t x = R - 1; x >= L + 1; --x) {
      const uint32_t c = m.At(x, y), inner = m.At(x - 1, yi);
      if (m.At(x - 1, y) == c && m.At(x, yi) == inner && m.At(x + 1, y) == inner) m.Set(x, y, inner);
    }
  }
  for (int32_t pass = 0; pass < 2; ++pass) {
    const int32_t x = pass == 0 ? L : R, xi = pass == 0 ? L + 1 : R - 1;
    for (int32_t y = T + 1; y <= B - 1; ++y) {
      const uint32_t c = m.At(x, y), up = m.At(x, y - 1);
      if (m.At(x, y + 1) == c && m.At(xi, y) == up && m.At(xi, y + 1) == up) m.Set(x, y, up);
    }
    for (int32_t y = B - 1; y >= T + 1; --y) {
      const uint32_t c = m.At(x, y), inner = m.At(xi, y - 1);
      if (m.At(x, y - 1) == c && m.At(xi, y) == inner && m.At(x, y + 1) == inner) m.Set(x, y, inner);
    }
  }
  // The inner pixels in row order, each judged on the map as the pixels before it left it. A
  // pixel changes only where it or one of its neighbours before it changed, so the scan is
  // split: first, over the free cores, every pixel judged on the map as the sides left it
  // (rows in fixed bands, the changes they find listed in band order); then, on this thread
  // and in row order, those and every pixel after a neighbour that changed, judged afresh.
  const size_t rowBytes = size_t(map.Width) * 3;
  const int64_t width = map.Width;
  constexpr int32_t kBandRows = 64;
  const int32_t bands = (B - 1 - T + kBandRows - 1) / kBandRows;
  std::vector<std::vector<int64_t>> found(static_cast<size_t>(bands));
  RunChunks(bands, helpers < 0 ? SpareCores() : helpers, [&](int32_t band) {
    const int32_t from = T + 1 + band * kBandRows, to = std::min(B - 1, from + kBandRows - 1);
    std::vector<int64_t>& changes = found[size_t(band)];
    for (int32_t y = from; y <= to; ++y) {
      const uint8_t* row = DibScanLine(map, y);
      for (int32_t x = L + 1; x <= R - 1; ++x) {
        // The common case, inside a region: both row neighbours share the pixel's bytes.
        x = FirstUneven(row, x, R - 1, rowBytes);
        if (x > R - 1) break;
        const uint32_t c = m.At(x, y);
        if (NotchColour(m, x, y, c) != c) changes.push_back(y * width + x);
      }
    }
  });
  std::vector<int64_t> spots;
  for (const std::vector<int64_t>& band : found) spots.insert(spots.end(), band.begin(), band.end());
  std::priority_queue<int64_t, std::vector<int64_t>, std::greater<>> after;
  int64_t last = -1;
  for (size_t i = 0; i < spots.size() || !after.empty();) {
    int64_t at;
    if (after.empty() || (i < spots.size() && spots[i] <= after.top())) {
      at = spots[i++];
    } else {
      at = after.top();
      after.pop();
    }
    if (at == last) continue;
    last = at;
    const int32_t y = int32_t(at / width), x = int32_t(at % width);
    const uint32_t c = m.At(x, y), to = NotchColour(m, x, y, c);
    if (to == c) continue;
    m.Set(x, y, to);
    // The pixels after this one that look at it.
    for (auto [nx, ny] : {std::pair{x + 1, y}, {x - 1, y + 1}, {x, y + 1}, {x + 1, y + 1}}) {
      if (nx >= L + 1 && nx <= R - 1 && ny <= B - 1) after.push(ny * width + nx);
    }
  }
}
