#include <gtest/gtest.h>

#include "foundation/random.h"

TEST(Random, SeedZeroReplaysTheKnownStates) {
  TRandom rng;
  const uint32_t expected[] = {1u, 134775814u, 3698175007u};
  for (uint32_t state : expected) {
    rng.Random(10);
    EXPECT_EQ(rng.RandSeed, state);
  }
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
