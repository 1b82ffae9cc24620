#include "game/piece_order.h"

#include <algorithm>
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
  auto key = [&](int32_t i) -> int64_t {
    return descending ? -int64_t(order[size_t(i)].Group) : int64_t(order[size_t(i)].Group);
  };
  // Positions grouped by value, values ascending, positions ascending inside each value.
  std::vector<int32_t> byValue(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) byValue[size_t(i)] = i;
  std::stable_sort(byValue.begin(), byValue.end(),
                   [&](int32_t a, int32_t b) { return key(a) < key(b); });

  std::vector<TPieceOrderEntry> result;
  result.reserve(size_t(n));
  TFenwick smaller(n);  // positions of every value below the current one
  std::vector<int32_t> insertAt;
  std::vector<int32_t> finalSlot;
  for (int32_t start = 0; start < n;) {
    int32_t end = start + 1;
    while (end < n && key(byValue[size_t(end)]) == key(byValue[size_t(start)])) ++end;
    const int32_t m = end - start;
    // Queue replay: insertion index of each E and the head after the last rotation.
    insertAt.assign(size_t(m), 0);
    int32_t head = 0;
    for (int32_t k = 0; k < m; ++k) {
      const int32_t pos = byValue[size_t(start + k)];
      const int32_t next = k + 1 < m ? byValue[size_t(start + k + 1)] : n;
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
      finalSlot[size_t(slot)] = byValue[size_t(start + k)];
    }
    for (int32_t k = 0; k < m; ++k)
      result.push_back(order[size_t(finalSlot[size_t((head + k) % m)])]);
    for (int32_t k = start; k < end; ++k) smaller.Add(byValue[size_t(k)], 1);
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
