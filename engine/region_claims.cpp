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

std::vector<TBoundsRect> TRegionClaims::Paint(int32_t helpers) {
  // Bands of rows paint at once, each with boxes of its own, merged in order; the runs go out
  // in small batches, so that no list of them all is ever held.
  Regions.Flatten();
  const TBoundsRect none{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  constexpr int32_t kBandRows = 128;
  const int32_t rows = Regions.Rows(), bands = std::clamp(rows / kBandRows, 1, 16);
  std::vector<std::vector<TBoundsRect>> boxes(static_cast<size_t>(bands));
  RunChunks(bands, helpers < 0 ? SpareCores() : helpers, [&](int32_t band) {
    std::vector<TBoundsRect>& own = boxes[size_t(band)];
    own.assign(Colours.size(), none);
    constexpr size_t kBatch = 256;
    TDibRun batch[kBatch];
    size_t n = 0;
    const int32_t from = int32_t(int64_t(rows) * band / bands), to = int32_t(int64_t(rows) * (band + 1) / bands);
    Regions.ForEachRun(from, to, [&](int32_t y, int32_t x0, int32_t x1, int32_t region) {
      const int32_t i = Owner[size_t(region)];
      if (i < 0) return;
      batch[n++] = {y, x0, x1, Colours[size_t(i)]};
      if (n == kBatch) FillDibRuns(Map, batch, std::exchange(n, 0));
      own[size_t(i)].Widen(x0, y);
      own[size_t(i)].Widen(x1, y);
    });
    FillDibRuns(Map, batch, n);
  });
  std::vector<TBoundsRect>& all = boxes[0];
  for (size_t band = 1; band < boxes.size(); ++band) {
    for (size_t i = 0; i < all.size(); ++i) {
      const TBoundsRect& b = boxes[band][i];
      if (b.Left > b.Right) continue;
      all[i].Widen(b.Left, b.Top);
      all[i].Widen(b.Right, b.Bottom);
    }
  }
  return std::move(all);
}
