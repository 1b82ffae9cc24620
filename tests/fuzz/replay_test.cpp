#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_registry.h"

namespace {

// Every harness meets every file of its seed corpus (tests/fuzz/corpus/<harness>/): the inputs
// that once crashed or stalled a reader stay in the ordinary test run.
TEST(FuzzCorpus, EveryHarnessReplaysItsSeeds) {
  const std::filesystem::path root = std::filesystem::path(ZORVA_SOURCE_DIR) / "tests/fuzz/corpus";
  ASSERT_GE(FuzzTargets().size(), 8u);
  for (const auto& [name, target] : FuzzTargets()) {
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root / name)) {
      SCOPED_TRACE(entry.path().string());
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      target(bytes.data(), bytes.size());
      ++seeds;
    }
    EXPECT_GT(seeds, 0) << name << " has no seeds";
  }
}

}  // namespace
