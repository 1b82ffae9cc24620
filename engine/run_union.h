#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/run_beside.h"

// Union-find over runs of pixels, each run naming its parent run; a region's root is its
// lowest run, so roots follow row order.
template <class TRun>
int32_t FindRunRoot(std::vector<TRun>& runs, int32_t r) {
  int32_t root = r;
  while (runs[size_t(root)].Parent != root) root = runs[size_t(root)].Parent;
  while (runs[size_t(r)].Parent != root) {
    const int32_t next = runs[size_t(r)].Parent;
    runs[size_t(r)].Parent = root;
    r = next;
  }
  return root;
}

template <class TRun>
void JoinRuns(std::vector<TRun>& runs, int32_t a, int32_t b) {
  a = FindRunRoot(runs, a);
  b = FindRunRoot(runs, b);
  if (a == b) return;
  if (a < b) std::swap(a, b);
  runs[size_t(a)].Parent = b;
}

// Labels the runs of rows 0..h-1: rowRuns(y, runs) appends row y's runs, each its own parent
// (its index in that vector); joinRows(runs, above, begin, end) joins the row [begin, end) to
// the one above it [above, begin). A tall picture goes in two bands on two threads, put one
// after the other and joined at their seam: as the root of a region is its lowest run either
// way, every run, its order and its region come out as one pass gives them.
template <class TRun, class RowRuns, class JoinRows>
void LabelRowRuns(int32_t h, std::vector<TRun>& runs, std::vector<int32_t>& rowStart, const RowRuns& rowRuns,
                  const JoinRows& joinRows) {
  rowStart.assign(size_t(std::max(h, 0)) + 1, 0);
  const auto band = [&](int32_t from, int32_t to, std::vector<TRun>& out) {
    for (int32_t y = from; y < to; ++y) {
      rowStart[size_t(y)] = int32_t(out.size());  // within the band's own runs
      rowRuns(y, out);
      if (y > from) joinRows(out, rowStart[size_t(y) - 1], rowStart[size_t(y)], int32_t(out.size()));
    }
  };
  constexpr int32_t kLeastSplit = 256;  // rows; below that a thread costs more than it saves
  const int32_t mid = h >= kLeastSplit ? h / 2 : std::max(h, 0);
  // Room for many runs a row, taken from this thread: pages never written cost nothing, and
  // neither band's runs move while they grow or when they are put together (a grid's knobs
  // leave about 150 runs a row at 8000 x 6000).
  constexpr size_t kRunsPerRow = 192;
  runs.reserve(std::max(runs.capacity(), size_t(std::max(h, 0)) * kRunsPerRow));
  std::vector<TRun> lower;
  if (mid < h) lower.reserve(size_t(h - mid) * kRunsPerRow);
  RunBeside([&] { band(mid, h, lower); }, [&] { band(0, mid, runs); });
  const int32_t offset = int32_t(runs.size());
  for (TRun& r : lower) r.Parent += offset;
  runs.insert(runs.end(), lower.begin(), lower.end());
  for (int32_t y = mid; y < h; ++y) rowStart[size_t(y)] += offset;
  rowStart[size_t(std::max(h, 0))] = int32_t(runs.size());
  if (mid > 0 && mid < h) joinRows(runs, rowStart[size_t(mid) - 1], rowStart[size_t(mid)], rowStart[size_t(mid) + 1]);
}
