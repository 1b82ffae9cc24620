#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Facts about the machine for the system report, read from /etc/os-release, uname, /proc and
// /sys. Anything that cannot be read stays empty or 0.

struct TOsRelease {
  std::string Name, Version, VersionId, PrettyName, Id;
};

struct TMemoryFacts {
  bool Known = false;
  uint64_t TotalPhysical = 0, AvailPhysical = 0;  // bytes
  uint64_t TotalVirtual = 0, AvailVirtual = 0;    // the commit limit and what is left of it
  uint64_t TotalSwap = 0, AvailSwap = 0;
  int32_t LoadPercent = 0;
};

struct TDiskFree {
  std::string Path;  // the folder whose file system was measured
  uint64_t FreeBytes = 0;
};

struct TSystemFacts {
  TOsRelease Os;
  std::string KernelName, KernelRelease, KernelVersion, Machine;
  std::string ProductName, Manufacturer;  // from the firmware tables, when readable
  std::string CpuModel;
  int32_t CpuCount = 0;
  TMemoryFacts Memory;
  std::vector<TDiskFree> Disks;  // the program's file system, then the root's when it differs
};

// Parsers of the files' texts; every line they do not understand is skipped.
TOsRelease ParseOsRelease(std::string_view text);
TMemoryFacts ParseMemInfo(std::string_view text);
// The first "model name" (or "Processor"/"cpu model") value and the number of "processor" lines.
void ParseCpuInfo(std::string_view text, std::string& model, int32_t& count);

// Reads everything; programDir is the folder the program runs from.
TSystemFacts ReadSystemFacts(const std::string& programDir);
