#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

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
