#include "platform/system_info.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <fstream>

namespace {

// Files under /proc and /sys are small; a cap keeps a strange one from filling memory.
constexpr size_t kMaxFactFile = 1 << 20;

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(kMaxFactFile, '\0');
  in.read(text.data(), std::streamsize(text.size()));
  text.resize(size_t(in.gcount()));
  return text;
}

// Blanks, tabs and returns only: platform sits below foundation's TrimBlanks, and a value keeps
// any other control bytes it holds.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// Calls f(line) for every line of the text.
template <class F>
void ForEachLine(std::string_view text, F f) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    f(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

// A value of os-release: shell quoting with single or double quotes and backslash escapes.
std::string Unquote(std::string_view v) {
  v = Trim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    const bool dq = v.front() == '"';
    v = v.substr(1, v.size() - 2);
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
      if (dq && v[i] == '\\' && i + 1 < v.size()) ++i;
      out += v[i];
    }
    return out;
  }
  return std::string(v);
}

std::string FirstLine(const std::string& text) { return std::string(Trim(text.substr(0, text.find('\n')))); }

}  // namespace

TOsRelease ParseOsRelease(std::string_view text) {
  TOsRelease r;
  ForEachLine(text, [&](std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') return;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = line.substr(0, eq);
    const std::string value = Unquote(line.substr(eq + 1));
    if (key == "NAME")
      r.Name = value;
    else if (key == "VERSION")
      r.Version = value;
    else if (key == "VERSION_ID")
      r.VersionId = value;
    else if (key == "PRETTY_NAME")
      r.PrettyName = value;
    else if (key == "ID")
      r.Id = value;
  });
  return r;
}

TMemoryFacts ParseMemInfo(std::string_view text) {
  TMemoryFacts m;
  uint64_t total = 0, avail = 0, freeMem = 0, swapTotal = 0, swapFree = 0, commitLimit = 0, committed = 0;
  bool haveAvail = false;
  ForEachLine(text, [&](std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = line.substr(0, colon);
    std::string_view v = Trim(line.substr(colon + 1));
    uint64_t kb = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), kb);
    if (ec != std::errc() || kb > (UINT64_MAX >> 11)) return;
    const uint64_t bytes = kb * 1024;
    if (key == "MemTotal")
      total = bytes;
    else if (key == "MemAvailable")
      avail = bytes, haveAvail = true;
    else if (key == "MemFree")
      freeMem = bytes;
    else if (key == "SwapTotal")
      swapTotal = bytes;
    else if (key == "SwapFree")
      swapFree = bytes;
    else if (key == "CommitLimit")
      commitLimit = bytes;
    else if (key == "Committed_AS")
      committed = bytes;
  });
  if (total == 0) return m;  // missing, or no memory to speak of
  m.Known = true;
  m.TotalPhysical = total;
  m.AvailPhysical = std::min(haveAvail ? avail : freeMem, total);
  // In kilobytes, which every size is a whole number of: the hundredfold largest one still fits.
  m.LoadPercent = int32_t((total - m.AvailPhysical) / 1024 * 100 / (total / 1024));
  m.TotalSwap = swapTotal;
  m.AvailSwap = std::min(swapFree, swapTotal);
  m.TotalVirtual = commitLimit;
  m.AvailVirtual = committed < commitLimit ? commitLimit - committed : 0;
  return m;
}

void ParseCpuInfo(std::string_view text, std::string& model, int32_t& count) {
  model.clear();
  count = 0;
  ForEachLine(text, [&](std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view key = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));
    if (key == "processor") ++count;
    if (model.empty() && (key == "model name" || key == "Processor" || key == "cpu model")) model = std::string(value);
  });
}

TSystemFacts ReadSystemFacts(const std::string& programDir) {
  TSystemFacts f;
  f.Os = ParseOsRelease(ReadSmallFile("/etc/os-release"));
  if (f.Os.Name.empty()) f.Os = ParseOsRelease(ReadSmallFile("/usr/lib/os-release"));
  utsname u{};
  if (uname(&u) == 0) {
    f.KernelName = u.sysname;
    f.KernelRelease = u.release;
    f.KernelVersion = u.version;
    f.Machine = u.machine;
  }
  f.ProductName = FirstLine(ReadSmallFile("/sys/class/dmi/id/product_name"));
  f.Manufacturer = FirstLine(ReadSmallFile("/sys/class/dmi/id/sys_vendor"));
  ParseCpuInfo(ReadSmallFile("/proc/cpuinfo"), f.CpuModel, f.CpuCount);
  if (f.CpuCount == 0) f.CpuCount = int32_t(std::max(0L, sysconf(_SC_NPROCESSORS_ONLN)));
  f.Memory = ParseMemInfo(ReadSmallFile("/proc/meminfo"));
  struct stat programStat {
  }, rootStat{};
  const bool haveProgram = !programDir.empty() && stat(programDir.c_str(), &programStat) == 0;
  const bool haveRoot = stat("/", &rootStat) == 0;
  auto addDisk = [&](const std::string& path) {
    struct statvfs v {};
    if (statvfs(path.c_str(), &v) == 0) f.Disks.push_back({path, uint64_t(v.f_bavail) * v.f_frsize});
  };
  if (haveProgram) addDisk(programDir);
  if (haveRoot && (!haveProgram || programStat.st_dev != rootStat.st_dev)) addDisk("/");
  return f;
}
