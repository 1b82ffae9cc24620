#pragma once
#include <cstdint>
#include <vector>

#include "foundation/dib_image.h"

// The white regions of a 24-bit map, four-connected as a flood fill spreads: each row as runs
// of white pixels, runs joined where they share a column with a run of the row above. Tells
// which region a white pixel lies in without colouring anything.
class TWhiteRegions {
 public:
  explicit TWhiteRegions(const TDibImage& map);
  // The region of a white pixel (a number below RegionLimit()), -1 for any other pixel.
  int32_t RegionAt(int32_t x, int32_t y);
  int32_t RegionLimit() const { return int32_t(Runs.size()); }

 private:
  struct TRun {
    int32_t X0, X1, Parent;
  };
  std::vector<TRun> Runs;
  std::vector<int32_t> RowStart;  // per row, its first run; one more entry at the end
  int32_t Find(int32_t r);
  void Join(int32_t a, int32_t b);
};
