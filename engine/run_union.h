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
// the one above it [above, begin). A tall picture goes in bands of rows, as many as its height
// gives, shared out over this thread and up to helpers more (-1: the spare cores); the bands are
// put one after the other in order and joined at their seams. As the root of a region is its
// lowest run either way, every run, its order and its region come out as one pass gives them,
// on any number of threads.
template <class TRun, class RowRuns, class JoinRows>
void LabelRowRuns(int32_t h, std::vector<TRun>& runs, std::vector<int32_t>& rowStart, const RowRuns& rowRuns,
                  const JoinRows& joinRows, int32_t helpers = -1) {
  h = std::max(h, 0);
  rowStart.assign(size_t(h) + 1, 0);
  const auto band = [&](int32_t from, int32_t to, std::vector<TRun>& out) {
    for (int32_t y = from; y < to; ++y) {
      rowStart[size_t(y)] = int32_t(out.size());  // within the band's own runs
      rowRuns(y, out);
      if (y > from) joinRows(out, rowStart[size_t(y) - 1], rowStart[size_t(y)], int32_t(out.size()));
    }
  };
  constexpr int32_t kBandRows = 256;  // below that a thread costs more than it saves
  const int32_t bands = std::clamp(h / kBandRows, 1, 8);
  const auto first = [&](int32_t k) { return int32_t(int64_t(h) * k / bands); };
  // Room for many runs a row, taken from this thread: pages never written cost nothing, and
  // no band's runs move while they grow or when they are put together (a grid's knobs leave
  // about 150 runs a row at 8000 x 6000).
  constexpr size_t kRunsPerRow = 192;
  runs.reserve(std::max(runs.capacity(), size_t(h) * kRunsPerRow));
  std::vector<std::vector<TRun>> later(size_t(bands - 1));
  for (int32_t k = 1; k < bands; ++k) later[size_t(k - 1)].reserve(size_t(first(k + 1) - first(k)) * kRunsPerRow);
  RunChunks(bands, helpers < 0 ? SpareCores() : helpers,
            [&](int32_t k) { band(first(k), first(k + 1), k == 0 ? runs : later[size_t(k - 1)]); });
  for (int32_t k = 1; k < bands; ++k) {
    std::vector<TRun>& part = later[size_t(k - 1)];
    const int32_t offset = int32_t(runs.size());
    for (TRun& r : part) r.Parent += offset;
    runs.insert(runs.end(), part.begin(), part.end());
    std::vector<TRun>().swap(part);  // each band's copy goes as soon as it is in
    for (int32_t y = first(k); y < first(k + 1); ++y) rowStart[size_t(y)] += offset;
  }
  rowStart[size_t(h)] = int32_t(runs.size());
  for (int32_t k = 1; k < bands; ++k) {
    const int32_t seam = first(k);
    joinRows(runs, rowStart[size_t(seam) - 1], rowStart[size_t(seam)], rowStart[size_t(seam) + 1]);
  }
}
