#pragma once
// The generic loop for readers of outside data: a good input cut short at every offset (or every
// cutStep-th; 0 for none), then copies with a few bytes of [flipFrom, flipTo) replaced from a
// seeded generator (the same ones on every run). The reader must refuse or succeed, never crash
// or stall; what it promises on refusal (mostly: nothing changed) is the caller's check.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

inline void ForEachHostileVariant(const std::vector<uint8_t>& good, int flips,
                                  const std::function<void(const std::vector<uint8_t>&)>& read, size_t cutStep = 1,
                                  size_t flipFrom = 0, size_t flipTo = SIZE_MAX) {
  for (size_t n = 0; cutStep > 0 && n < good.size(); n += cutStep)
    read(std::vector<uint8_t>(good.begin(), good.begin() + long(n)));
  flipTo = std::min(flipTo, good.size());
  uint32_t s = 20261207;
  auto draw = [&s](size_t n) {
    s = s * 134775813u + 1;
    return size_t((uint64_t(s) * n) >> 32);
  };
  for (int i = 0; i < flips && flipFrom < flipTo; ++i) {
    std::vector<uint8_t> bytes = good;
    for (size_t k = 0, count = 1 + draw(4); k < count; ++k)
      bytes[flipFrom + draw(flipTo - flipFrom)] = uint8_t(draw(256));
    read(bytes);
  }
}
