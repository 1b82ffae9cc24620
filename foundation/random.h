#pragma once
#include <cstdint>

// The one generator behind every random choice of the game: the cut, the first quarter turns
// and the spread of the pieces. Replaying a seed replays a game, so the order of draws is
// behaviour: never add, drop or reorder a draw.
struct TRandom {
  uint32_t RandSeed = 0;

  // A draw of n values: 0 .. n-1 (0 when n is 0).
  uint32_t Random(uint32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(RandSeed) * n) >> 32);
  }
};
