#pragma once
#include <algorithm>
#include <cstddef>
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
  // Points every run straight at its region, so that what follows only reads: RegionAt and
  // ForEachRun may then run on several threads at once.
  void Flatten();
  // f(y, x0, x1, region) for every run of the rows from..to - 1, row by row, left to right.
  template <class F>
  void ForEachRun(int32_t from, int32_t to, F&& f) {
    for (int32_t y = std::max(from, 0); y < to && y + 1 < int32_t(RowStart.size()); ++y) {
      for (int32_t r = RowStart[size_t(y)]; r < RowStart[size_t(y) + 1]; ++r)
        f(y, Runs[size_t(r)].X0, Runs[size_t(r)].X1, Find(r));
    }
  }
  int32_t Rows() const { return int32_t(RowStart.size()) - 1; }

 private:
  // Columns fit in 16 bits (no bitmap is wider than 32768 pixels): a large map has about a
  // million runs, and they are what the labels cost.
  struct TRun {
    uint16_t X0, X1;
    int32_t Parent;
  };
  std::vector<TRun> Runs;
  std::vector<int32_t> RowStart;  // per row, its first run; one more entry at the end
  int32_t Find(int32_t r);
};
