#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>
#include <vector>

#include "game/piece_order.h"

namespace {

// The sort as the game has always done it: O(n^2), the reference for the fast one.
void LiteralExchangeSort(std::vector<TPieceOrderEntry>& order, bool descending) {
  const size_t n = order.size();
  for (size_t i = 0; i + 1 < n; ++i)
    for (size_t j = i + 1; j < n; ++j) {
      const bool swap = descending ? order[i].Group < order[j].Group : order[i].Group > order[j].Group;
      if (swap) std::swap(order[i], order[j]);
    }
}

bool SameOrder(const std::vector<TPieceOrderEntry>& a, const std::vector<TPieceOrderEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].Group != b[i].Group || a[i].Index != b[i].Index) return false;
  return true;
}

// A small generator of its own so that the cases do not depend on the game's draws.
struct TCaseRandom {
  uint64_t s;
  uint32_t Next(uint32_t n) {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    return uint32_t((s >> 33) % n);
  }
};

TEST(ExchangeSortOrder, EqualGroupsAreReorderedLikeTheExchangeSort) {
  // Pieces 0 and 1 share group 2, piece 2 is group 1: the exchange sort swaps 0 past 1.
  std::vector<TPieceOrderEntry> order{{2, 0}, {2, 1}, {1, 2}};
  ExchangeSortOrder(order, false);
  EXPECT_TRUE(SameOrder(order, {{1, 2}, {2, 1}, {2, 0}}));
}

// Both directions of the fast sort against the literal one.
void ExpectLikeLiteral(const std::vector<TPieceOrderEntry>& input, int trial) {
  for (bool descending : {false, true}) {
    auto expected = input, actual = input;
    LiteralExchangeSort(expected, descending);
    ExchangeSortOrder(actual, descending);
    ASSERT_TRUE(SameOrder(expected, actual)) << "trial " << trial << " n " << input.size() << " desc " << descending;
  }
}

TEST(ExchangeSortOrder, MatchesTheLiteralSortOnRandomSparseSortedAndGameSizedInputs) {
  TCaseRandom rnd{12345};
  // Ids far apart (a group parked at TotalTileNum + 1000 and the like) and the limits.
  const int32_t extremes[6] = {0, 7, 100003, -5000000, INT32_MAX, INT32_MIN};
  for (int trial = 0; trial < 3500; ++trial) {
    const bool sparse = trial >= 3000;
    const uint32_t n = rnd.Next(40) + 1;
    const uint32_t values = rnd.Next(n + 3) + 1;  // few values: many ties
    std::vector<TPieceOrderEntry> input(n);
    for (uint32_t i = 0; i < n; ++i)
      input[i] = {sparse ? extremes[rnd.Next(6)] : int32_t(rnd.Next(values)) - int32_t(values / 3), int32_t(i)};
    ExpectLikeLiteral(input, trial);
  }
  for (int trial = 0; trial < 4; ++trial) {
    // Groups the way play makes them: ids 0..n-1, many pieces sharing a few big groups.
    const uint32_t n = 1500 + rnd.Next(500);
    std::vector<TPieceOrderEntry> input(n);
    for (uint32_t i = 0; i < n; ++i) input[i] = {int32_t(rnd.Next(4) == 0 ? rnd.Next(5) : rnd.Next(n)), int32_t(i)};
    ExpectLikeLiteral(input, trial);
  }
  std::vector<TPieceOrderEntry> up, down;
  for (int32_t i = 0; i < 200; ++i) {
    up.push_back({i / 3, i});
    down.push_back({(199 - i) / 3, i});
  }
  ExpectLikeLiteral(up, -1);
  ExpectLikeLiteral(down, -2);
}

// Groups are counted once each in the window that holds their pieces, whatever the ids and
// their order; without a refresh the order in hand is what is counted.
TEST(CountWindowPieces, CountsEachGroupOfTheWindowOnce) {
  TCaseRandom rnd{777};
  for (int trial = 0; trial < 300; ++trial) {
    TGameState g;
    const int32_t n = int32_t(rnd.Next(30)) + 1;
    g.GameLevel.TotalTileNum = n;
    g.Pieces.resize(size_t(n) + 2);  // records past the live count never count
    std::vector<uint8_t> windowOf(size_t(n) + 1);
    for (int32_t gr = 0; gr <= n; ++gr) windowOf[size_t(gr)] = uint8_t(rnd.Next(3));
    for (auto& p : g.Pieces) {
      p.Group = int32_t(rnd.Next(uint32_t(n) + 1));
      p.Window = windowOf[size_t(p.Group)];
    }
    for (int32_t w = 0; w < 3; ++w) {
      std::set<int32_t> groups;
      for (int32_t i = 0; i < n; ++i)
        if (g.Pieces[size_t(i)].Window == w) groups.insert(g.Pieces[size_t(i)].Group);
      ASSERT_EQ(CountWindowPieces(g, w, true), int32_t(groups.size())) << trial << " window " << w;
    }
  }
  TGameState g;
  g.GameLevel.TotalTileNum = 3;
  g.Pieces.resize(3);
  for (int32_t i = 0; i < 3; ++i) g.Pieces[size_t(i)].Group = 5;  // one group, all on window 0
  EXPECT_EQ(CountWindowPieces(g, 0, false), 0);                   // no order made yet
  EXPECT_EQ(CountWindowPieces(g, 0, true), 1);
  EXPECT_EQ(CountWindowPieces(g, 1, false), 0);
  g.Pieces[0].Group = 0;  // changed behind the order's back: the old order still counts one
  EXPECT_EQ(CountWindowPieces(g, 0, false), 1);
  EXPECT_EQ(CountWindowPieces(g, 0, true), 2);
}

}  // namespace
