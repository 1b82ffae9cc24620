#include <gtest/gtest.h>

#include <string>

#include "platform/system_info.h"

namespace {

TEST(ParseOsRelease, QuotedAndPlainValuesCommentsAndJunk) {
  const TOsRelease r = ParseOsRelease(
      "# comment\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME='Debian GNU/Linux'\n"
      "VERSION_ID=\"12\"\nVERSION=\"12 (\\\"bookworm\\\")\"\nID=debian\r\nno equals sign\n=\nPRETTY");
  EXPECT_EQ(r.PrettyName, "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(r.Name, "Debian GNU/Linux");
  EXPECT_EQ(r.VersionId, "12");
  EXPECT_EQ(r.Version, "12 (\"bookworm\")");
  EXPECT_EQ(r.Id, "debian");
  const TOsRelease empty = ParseOsRelease(std::string("\0\0\"=\"\n\"", 7));
  EXPECT_TRUE(empty.Name.empty());
}

TEST(ParseMemInfo, SizesInBytesLoadAndHostileNumbers) {
  const TMemoryFacts m = ParseMemInfo(
      "MemTotal:        8000000 kB\nMemFree:  100 kB\nMemAvailable:    2000000 kB\n"
      "SwapTotal:       1000 kB\nSwapFree:        400 kB\nCommitLimit: 5000 kB\nCommitted_AS: 6000 kB\n");
  ASSERT_TRUE(m.Known);
  EXPECT_EQ(m.TotalPhysical, 8000000ull * 1024);
  EXPECT_EQ(m.AvailPhysical, 2000000ull * 1024);
  EXPECT_EQ(m.LoadPercent, 75);
  EXPECT_EQ(m.TotalSwap, 1000ull * 1024);
  EXPECT_EQ(m.AvailSwap, 400ull * 1024);
  EXPECT_EQ(m.TotalVirtual, 5000ull * 1024);
  EXPECT_EQ(m.AvailVirtual, 0u);  // overcommitted: nothing left, not a wrapped number
  // Without MemAvailable the free memory stands in; more available than total is capped.
  const TMemoryFacts old = ParseMemInfo("MemTotal: 100 kB\nMemFree: 400 kB\n");
  EXPECT_EQ(old.AvailPhysical, old.TotalPhysical);
  EXPECT_EQ(old.LoadPercent, 0);
  EXPECT_FALSE(ParseMemInfo("").Known);
  EXPECT_FALSE(ParseMemInfo("MemTotal: 0 kB\n").Known);
  EXPECT_FALSE(ParseMemInfo("MemTotal: 99999999999999999999999 kB\n").Known);
  EXPECT_FALSE(ParseMemInfo("MemTotal: -5 kB\nMemTotal\n:::\n").Known);
}

TEST(ParseCpuInfo, FirstModelNameAndProcessorCount) {
  std::string model;
  int32_t count = 0;
  ParseCpuInfo("processor\t: 0\nmodel name\t: Test CPU @ 3 GHz\nprocessor\t: 1\nmodel name\t: Other\n", model, count);
  EXPECT_EQ(model, "Test CPU @ 3 GHz");
  EXPECT_EQ(count, 2);
  ParseCpuInfo("garbage without colons\n\n", model, count);
  EXPECT_EQ(model, "");
  EXPECT_EQ(count, 0);
}

}  // namespace
