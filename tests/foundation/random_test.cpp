#include <gtest/gtest.h>

#include "foundation/random.h"

TEST(Random, SeedZeroReplaysTheKnownStatesAndDraws) {
  // The states 1, 134775814, 3698175007 times 100, divided by 2^32: 0, 3.1 and 86.1.
  TRandom rng;
  const uint32_t states[] = {1u, 134775814u, 3698175007u}, draws[] = {0, 3, 86};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rng.Random(100), draws[i]);
    EXPECT_EQ(rng.RandSeed, states[i]);
  }
  // One more draw of a larger range: state 134775813 x 3698175007 + 1 mod 2^32.
  const uint32_t state = uint32_t(134775813ull * 3698175007ull + 1);
  EXPECT_EQ(rng.Random(0xFFFFFFFFu), uint32_t((uint64_t(state) * 0xFFFFFFFFull) >> 32));
  EXPECT_EQ(rng.RandSeed, state);
}

TEST(Random, DrawIsTheHighHalfOfTheProduct) {
  TRandom rng{0x12345678u};
  for (int i = 0; i < 1000; ++i) {
    const uint32_t n = uint32_t(i * 7919 + 1);
    const uint32_t draw = rng.Random(n);
    EXPECT_LT(draw, n);
    EXPECT_EQ(draw, uint32_t((uint64_t(rng.RandSeed) * n) >> 32));
  }
  EXPECT_EQ(TRandom{5}.Random(0), 0u);
}
