#include "game/piece_order.h"

#include <algorithm>
#include <climits>
#include <cstdint>

// How the exchange sort treats one group value v, seen from the pairs of smaller value (L)
// and of value v (E): pass i carries the running minimum rightwards, dropping it wherever a
// strictly smaller pair is found. While smaller pairs remain, each pass removes the first
// L; when some E lies before that L, the first E of the prefix before the L lands in the L's
// place, that is, behind every other E of the prefix. Once no L is left, the E pairs leave in
// their current order. So the E pairs end in the order of a queue fed in input order: an E is
// appended, an L rotates a non-empty queue by one (front to back).
//
// Counting the Ls between consecutive Es (a Fenwick tree over positions, values processed in
// ascending order) turns each run of rotations into one step of a head index; the appends are
// insertions at that head, whose final places follow from an offline "k-th free slot" pass.

namespace {

class TFenwick {
 public:
  explicit TFenwick(int32_t n) : tree_(size_t(n) + 1, 0), n_(n) {
    log_ = 1;
    while ((1 << log_) <= n_) ++log_;
  }
  void Add(int32_t i, int32_t v) {
    for (++i; i <= n_; i += i & -i) tree_[size_t(i)] += v;
  }
  int32_t Prefix(int32_t i) const {  // sum of [0, i)
    int32_t s = 0;
    for (; i > 0; i -= i & -i) s += tree_[size_t(i)];
    return s;
  }
  // Smallest index whose prefix sum (inclusive) exceeds k; needs 0 <= k < total.
  int32_t FindKth(int32_t k) const {
    int32_t pos = 0;
    for (int32_t step = 1 << log_; step > 0; step >>= 1) {
      if (pos + step <= n_ && tree_[size_t(pos + step)] <= k) {
        pos += step;
        k -= tree_[size_t(pos)];
      }
    }
    return pos;
  }

 private:
  std::vector<int32_t> tree_;
  int32_t n_;
  int32_t log_;
};

}  // namespace

void ExchangeSortOrder(std::vector<TPieceOrderEntry>& order, bool descending) {
  const int32_t n = int32_t(order.size());
  if (n < 2) return;
  // Positions grouped by value, values ascending, positions ascending inside each value:
  // (value, position) packed into 64 bits, by counting when the ids are dense (as play keeps
  // them), else by one sort.
  std::vector<uint64_t> packed(static_cast<size_t>(n));
  uint32_t low = UINT32_MAX, high = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int64_t group = order[size_t(i)].Group;
    const uint32_t key = uint32_t(descending ? int64_t(INT32_MAX) - group : group - int64_t(INT32_MIN));
    packed[size_t(i)] = (uint64_t(key) << 32) | uint32_t(i);
    low = std::min(low, key);
    high = std::max(high, key);
  }
  if (uint64_t(high - low) <= uint64_t(n) * 4) {
    std::vector<int32_t> count(size_t(high - low) + 2, 0);
    for (uint64_t v : packed) ++count[size_t((v >> 32) - low) + 1];
    for (size_t k = 1; k < count.size(); ++k) count[k] += count[k - 1];
    std::vector<uint64_t> sorted(packed.size());
    for (uint64_t v : packed) sorted[size_t(count[size_t((v >> 32) - low)]++)] = v;
    packed.swap(sorted);
  } else {
    std::sort(packed.begin(), packed.end());
  }
  auto keyAt = [&](int32_t k) { return uint32_t(packed[size_t(k)] >> 32); };
  auto posAt = [&](int32_t k) { return int32_t(uint32_t(packed[size_t(k)])); };

  std::vector<TPieceOrderEntry> result;
  result.reserve(size_t(n));
  TFenwick smaller(n);  // positions of every value below the current one
  std::vector<int32_t> insertAt;
  std::vector<int32_t> finalSlot;
  for (int32_t start = 0; start < n;) {
    int32_t end = start + 1;
    while (end < n && keyAt(end) == keyAt(start)) ++end;
    const int32_t m = end - start;
    if (m == 1) {
      result.push_back(order[size_t(posAt(start))]);
    } else {
      // Queue replay: insertion index of each E and the head after the last rotation.
      insertAt.assign(size_t(m), 0);
      int32_t head = 0;
      for (int32_t k = 0; k < m; ++k) {
        const int32_t pos = posAt(start + k);
        const int32_t next = k + 1 < m ? posAt(start + k + 1) : n;
        insertAt[size_t(k)] = head;
        const int32_t size = k + 1;
        head = k == 0 ? 0 : head + 1;
        const int32_t rotations = smaller.Prefix(next) - smaller.Prefix(pos + 1);
        head = int32_t((int64_t(head) + rotations) % size);
      }
      // Final place of each insertion: the later ones take their slots first.
      finalSlot.assign(size_t(m), 0);
      TFenwick freeSlots(m);
      for (int32_t s = 0; s < m; ++s) freeSlots.Add(s, 1);
      for (int32_t k = m - 1; k >= 0; --k) {
        const int32_t slot = freeSlots.FindKth(insertAt[size_t(k)]);
        freeSlots.Add(slot, -1);
        finalSlot[size_t(slot)] = posAt(start + k);
      }
      for (int32_t k = 0; k < m; ++k) result.push_back(order[size_t(finalSlot[size_t((head + k) % m)])]);
    }
    for (int32_t k = start; k < end; ++k) smaller.Add(posAt(k), 1);
    start = end;
  }
  order.swap(result);
}

void SortPieces(TGameState& g, bool descending) {
  const int32_t n = LivePieceCount(g);
  g.PieceOrder.resize(size_t(n));
  for (int32_t i = 0; i < n; ++i) g.PieceOrder[size_t(i)] = {g.Pieces[size_t(i)].Group, i};
  ExchangeSortOrder(g.PieceOrder, descending);
}

int32_t CountWindowPieces(TGameState& g, int32_t window, bool refresh) {
  if (refresh) SortPieces(g, false);
  int32_t count = 0;
  bool havePrevious = false;
  int32_t previousGroup = 0;
  for (const TPieceOrderEntry& e : g.PieceOrder) {
    if (e.Index < 0 || size_t(e.Index) >= g.Pieces.size()) continue;
    if (g.Pieces[size_t(e.Index)].Window == window && (!havePrevious || e.Group != previousGroup)) ++count;
    havePrevious = true;
    previousGroup = e.Group;
  }
  return count;
}
