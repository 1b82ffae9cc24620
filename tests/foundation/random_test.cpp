#include <gtest/gtest.h>

#include "foundation/random.h"

TEST(Random, SeedsReplayTheirKnownStatesAndDraws) {
  TRandom rng;  // seed 0
  const uint32_t states[] = {1u, 134775814u, 3698175007u, 870078620u}, limits[] = {100, 100, 100, 0xFFFFFFFFu},
                 draws[] = {0, 3, 86, 870078619u};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rng.Random(limits[i]), draws[i]) << i;
    EXPECT_EQ(rng.RandSeed, states[i]) << i;
  }
  EXPECT_EQ(TRandom{5}.Random(0), 0u);
}
