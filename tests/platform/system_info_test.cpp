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

// Values as os-release writers quote them: double quotes take backslash escapes, single quotes
// keep every byte, unmatched quotes are part of the value.
TEST(ParseOsRelease, QuotingRules) {
  struct TCase {
    const char* Line;
    std::string Name;
  };
  for (const TCase& c :
       {TCase{"NAME='a\\b'", "a\\b"}, TCase{"NAME=\"a\\\\b\\$\"", "a\\b$"}, TCase{"NAME=\"open", "\"open"},
        TCase{"NAME=\"mixed'", "\"mixed'"}, TCase{"NAME=\"", "\""}, TCase{"NAME=\"\"", ""},
        TCase{"  NAME = spaced  ", ""}, TCase{"NAME=plain value \t", "plain value"}, TCase{"NAME=\"x\\\"", "x\\"},
        TCase{"\tNAME=tabbed", "tabbed"}}) {
    EXPECT_EQ(ParseOsRelease(c.Line).Name, c.Name) << c.Line;
  }
}

TEST(ParseMemInfo, CapsAndWhatIsLeftToCommit) {
  const TMemoryFacts m = ParseMemInfo(
      "MemTotal: 1000 kB\nMemAvailable: 5000 kB\nMemFree: 10 kB\nSwapTotal: 100 kB\nSwapFree: 300 kB\n"
      "CommitLimit: 5000 kB\nCommitted_AS: 1200 kB\nNoNumber: kB\n");
  ASSERT_TRUE(m.Known);
  EXPECT_EQ(m.AvailPhysical, 1000ull * 1024) << "never more available than there is";
  EXPECT_EQ(m.LoadPercent, 0);
  EXPECT_EQ(m.AvailSwap, 100ull * 1024);
  EXPECT_EQ(m.AvailVirtual, 3800ull * 1024);
  const TMemoryFacts half = ParseMemInfo("MemTotal: 1000 kB\nMemAvailable: 0 kB\nMemFree: 500 kB\n");
  EXPECT_EQ(half.AvailPhysical, 0u) << "an available count of zero is still the available count";
  EXPECT_EQ(half.LoadPercent, 100);
}

// The largest size taken is 2^53 - 1 kB; a kilobyte more is refused. Sums and the load stay
// sound even at that size.
TEST(ParseMemInfo, TheLargestSizeTakenAndOneMore) {
  const TMemoryFacts full = ParseMemInfo("MemTotal: 9007199254740991 kB\nMemAvailable: 0 kB\n");
  ASSERT_TRUE(full.Known);
  EXPECT_EQ(full.TotalPhysical, 9007199254740991ull * 1024);
  EXPECT_EQ(full.LoadPercent, 100);
  const TMemoryFacts quarter = ParseMemInfo(
      "MemTotal: 9007199254740988 kB\nMemAvailable: 2251799813685247 kB\nSwapTotal: 9007199254740991 kB\n"
      "SwapFree: 9007199254740992 kB\n");
  EXPECT_EQ(quarter.LoadPercent, 75);
  EXPECT_EQ(quarter.AvailSwap, 0u) << "a size past the largest is not read";
  EXPECT_FALSE(ParseMemInfo("MemTotal: 9007199254740992 kB\n").Known);
}

TEST(ParseCpuInfo, ModelKeysOfOtherMachines) {
  struct TCase {
    const char* Text;
    std::string Model;
    int32_t Count;
  };
  for (const TCase& c : {TCase{"Processor\t: ARMv7 rev 4\nprocessor\t: 0\nprocessor\t: 1\n", "ARMv7 rev 4", 2},
                         TCase{"system type : X\nprocessor : 0\ncpu model : MIPS 24Kc\n", "MIPS 24Kc", 1},
                         TCase{"processor:0\nmodel name:\n", "", 1},
                         TCase{"  model name  :  Spaced CPU  \r\nprocessors : 4\n", "Spaced CPU", 0}}) {
    std::string model = "stale";
    int32_t count = -1;
    ParseCpuInfo(c.Text, model, count);
    EXPECT_EQ(model, c.Model) << c.Text;
    EXPECT_EQ(count, c.Count) << c.Text;
  }
}

// The report's facts come from this machine: the program's file system is measured, and the
// root's only when it is another one.
TEST(ReadSystemFacts, TheProgramsDiskThenTheRootsWhenItDiffers) {
  for (const std::string& dir : {std::string(), std::string("/"), std::string("/no/such/folder")}) {
    const TSystemFacts f = ReadSystemFacts(dir);
    ASSERT_EQ(f.Disks.size(), 1u) << dir;
    EXPECT_EQ(f.Disks[0].Path, "/") << dir;
    EXPECT_GT(f.Disks[0].FreeBytes, 0u);
    EXPECT_EQ(f.KernelName, "Linux");
    EXPECT_GE(f.CpuCount, 1);
    EXPECT_TRUE(f.Memory.Known);
    EXPECT_FALSE(f.Os.Name.empty());
  }
  const std::string proc = "/proc";  // another file system than the root's
  const TSystemFacts f = ReadSystemFacts(proc);
  ASSERT_EQ(f.Disks.size(), 2u);
  EXPECT_EQ(f.Disks[0].Path, proc);
  EXPECT_EQ(f.Disks[1].Path, "/");
}

}  // namespace

namespace {

// Shell quoting as os-release uses it: escapes only inside double quotes, quotes only in pairs.
TEST(ParseOsRelease, EachQuotingOfAValue) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"NAME=\"a \\\"b\\\" \\\\ c\"", "a \"b\" \\ c"},
      {"NAME='a \\' b'", "a \\' b"},
      {"NAME=\"mixed'", "\"mixed'"},
      {"NAME=\"", "\""},
      {"NAME=\"\"", ""},
      {"NAME=\"ends with \\\"", "ends with \\"},
      {"  NAME = x", ""},
      {"\tNAME=\t spaced \t\r", "spaced"},
      {"NAME=a=b", "a=b"},
      {"#NAME=remark", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseOsRelease(c.line).Name, c.name) << c.line;
}

TEST(ParseMemInfo, SwapAndCommitLimitsAndTheLargestNumber) {
  const TMemoryFacts m = ParseMemInfo(
      "MemTotal: 1000 kB\nMemAvailable: 1000 kB\nSwapTotal: 300 kB\nSwapFree: 900 kB\n"
      "CommitLimit: 5000 kB\nCommitted_AS: 1200 kB\n");
  EXPECT_EQ(m.LoadPercent, 0);
  EXPECT_EQ(m.AvailSwap, 300ull * 1024);  // never more free than there is
  EXPECT_EQ(m.AvailVirtual, 3800ull * 1024);
  const uint64_t largest = UINT64_MAX >> 11;
  EXPECT_EQ(ParseMemInfo("MemTotal: " + std::to_string(largest) + " kB\n").TotalPhysical, largest * 1024);
  EXPECT_FALSE(ParseMemInfo("MemTotal: " + std::to_string(largest + 1) + " kB\n").Known);
  EXPECT_EQ(ParseMemInfo("MemTotal: 300 kB\nMemFree: 100 kB\n").LoadPercent, 66);
}

TEST(ParseCpuInfo, EveryKindOfModelLine) {
  for (const char* key : {"model name", "Processor", "cpu model"}) {
    std::string model;
    int32_t count = 0;
    ParseCpuInfo(std::string("processor : 0\n  ") + key + "\t:  Chip 9 \nprocessor: 1\nprocessor: 2", model, count);
    EXPECT_EQ(model, "Chip 9") << key;
    EXPECT_EQ(count, 3) << key;
  }
}

// This machine's own facts: the kernel, at least one processor and the memory, and the free
// space of the program's file system, the root's only when it is another.
TEST(ReadSystemFacts, ThisMachine) {
  const TSystemFacts root = ReadSystemFacts("/");
  EXPECT_EQ(root.KernelName, "Linux");
  EXPECT_FALSE(root.KernelRelease.empty());
  EXPECT_FALSE(root.Machine.empty());
  EXPECT_GE(root.CpuCount, 1);
  EXPECT_TRUE(root.Memory.Known);
  EXPECT_FALSE(root.Os.Name.empty());
  ASSERT_EQ(root.Disks.size(), 1u);
  EXPECT_EQ(root.Disks[0].Path, "/");
  for (const std::string& dir : {std::string(), std::string("/no/such/folder")}) {
    const TSystemFacts none = ReadSystemFacts(dir);
    ASSERT_EQ(none.Disks.size(), 1u) << dir;
    EXPECT_EQ(none.Disks[0].Path, "/") << dir;
  }
}

}  // namespace
