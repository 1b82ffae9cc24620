#include "engine/white_regions.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/run_union.h"

namespace {

bool IsWhite(const uint8_t* p) { return (p[0] & p[1] & p[2]) == 255; }

// The first column from x on whose pixel is not white (w when none). Eight pixels at a time
// while all their bytes are 255.
int32_t EndOfWhite(const uint8_t* row, int32_t x, int32_t w) {
  static const uint8_t kWhite24[24] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                       255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  while (x + 8 <= w && std::memcmp(row + intptr_t(x) * 3, kWhite24, 24) == 0) x += 8;
  while (x < w && IsWhite(row + intptr_t(x) * 3)) ++x;
  return x;
}

// The first white column from x on (w when none). Lines are a pixel or two wide and are
// stepped over; a wider stretch (a shape) is jumped with a search for the next 255 byte, where
// any white pixel starts.
int32_t StartOfWhite(const uint8_t* row, int32_t x, int32_t w) {
  for (int32_t k = 0; k < 4 && x < w; ++k, ++x) {
    if (IsWhite(row + intptr_t(x) * 3)) return x;
  }
  const size_t bytes = size_t(w) * 3;
  while (x < w) {
    const void* hit = std::memchr(row + size_t(x) * 3, 255, bytes - size_t(x) * 3);
    if (!hit) return w;
    x = int32_t(size_t(static_cast<const uint8_t*>(hit) - row) / 3);
    if (IsWhite(row + intptr_t(x) * 3)) return x;
    ++x;
  }
  return w;
}

}  // namespace

TWhiteRegions::TWhiteRegions(const TDibImage& map) {
  const int32_t w = map.Width, h = std::max(map.Height, 0);
  const auto rowRuns = [&](int32_t y, std::vector<TRun>& runs) {
    const uint8_t* row = map.Bits + intptr_t(h - 1 - y) * map.RowStride;
    for (int32_t x = StartOfWhite(row, 0, w); x < w; x = StartOfWhite(row, x, w)) {
      const int32_t end = EndOfWhite(row, x + 1, w);
      runs.push_back({uint16_t(x), uint16_t(end - 1), int32_t(runs.size())});
      x = end;
    }
  };
  // Runs of the two rows that share a column are one region.
  const auto joinRows = [](std::vector<TRun>& runs, int32_t above, int32_t begin, int32_t end) {
    int32_t j = above;
    for (int32_t r = begin; r < end; ++r) {
      while (j < begin && runs[size_t(j)].X1 < runs[size_t(r)].X0) ++j;
      for (int32_t k = j; k < begin && runs[size_t(k)].X0 <= runs[size_t(r)].X1; ++k) JoinRuns(runs, r, k);
    }
  };
  LabelRowRuns(h, Runs, RowStart, rowRuns, joinRows);
}

int32_t TWhiteRegions::Find(int32_t r) { return FindRunRoot(Runs, r); }

void TWhiteRegions::Flatten() {
  for (int32_t r = 0; r < int32_t(Runs.size()); ++r) Find(r);
}

int32_t TWhiteRegions::RegionAt(int32_t x, int32_t y) {
  if (y < 0 || y + 1 >= int32_t(RowStart.size())) return -1;
  const auto first = Runs.begin() + RowStart[size_t(y)], last = Runs.begin() + RowStart[size_t(y) + 1];
  const auto it = std::upper_bound(first, last, x, [](int32_t v, const TRun& r) { return v < r.X0; });
  if (it == first || std::prev(it)->X1 < x) return -1;
  return Find(int32_t(std::prev(it) - Runs.begin()));
}
