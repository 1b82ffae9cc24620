#include "engine/region_claims.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <utility>

#include "foundation/dib_ops.h"
#include "foundation/run_beside.h"

TRegionClaims::TRegionClaims(TDibImage& map, int32_t fills)
    : Map(map), Regions(map), Owner(size_t(Regions.RegionLimit()), -1), Colours(size_t(std::max(fills, 0)), 0) {}

int32_t TRegionClaims::FreeRegion(int32_t x, int32_t y) {
  const int32_t r = Regions.RegionAt(x, y);
  return r >= 0 && Owner[size_t(r)] < 0 ? r : -1;
}

void TRegionClaims::Take(int32_t region, int32_t fill, uint32_t colour) {
  colour &= kWhite;  // as a flood fill compares it
  if (colour == kWhite) return;
  Owner[size_t(region)] = fill;
  Colours[size_t(fill)] = colour;
}

std::vector<TBoundsRect> TRegionClaims::Paint() {
  // Each half keeps boxes of its own; the runs go out in small batches, so that no list of
  // them all is ever held.
  Regions.Flatten();
  const TBoundsRect none{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  std::vector<TBoundsRect> upper(Colours.size(), none), lower(Colours.size(), none);
  const auto paint = [&](int32_t from, int32_t to, std::vector<TBoundsRect>& boxes) {
    constexpr size_t kBatch = 256;
    TDibRun batch[kBatch];
    size_t n = 0;
    Regions.ForEachRun(from, to, [&](int32_t y, int32_t x0, int32_t x1, int32_t region) {
      const int32_t i = Owner[size_t(region)];
      if (i < 0) return;
      batch[n++] = {y, x0, x1, Colours[size_t(i)]};
      if (n == kBatch) FillDibRuns(Map, batch, std::exchange(n, 0));
      boxes[size_t(i)].Widen(x0, y);
      boxes[size_t(i)].Widen(x1, y);
    });
    FillDibRuns(Map, batch, n);
  };
  const int32_t half = Regions.Rows() / 2;
  RunBeside([&] { paint(half, Regions.Rows(), lower); }, [&] { paint(0, half, upper); });
  for (size_t i = 0; i < upper.size(); ++i) {
    const TBoundsRect& b = lower[i];
    if (b.Left > b.Right) continue;
    upper[i].Widen(b.Left, b.Top);
    upper[i].Widen(b.Right, b.Bottom);
  }
  return upper;
}
