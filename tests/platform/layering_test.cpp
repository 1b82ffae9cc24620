#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

// The build links each floor only to the floors below it, which catches calls up a floor. What
// it cannot catch is read here from the sources: a Qt header below ui/ outside platform/, and a
// header of a higher floor whose inline code never reaches the linker.
namespace {

namespace fs = std::filesystem;

const char* const kFloors[] = {"platform", "foundation", "engine", "game", "download", "ui"};

fs::path SourceRoot() { return fs::path(getenv("ZORVA_DATA_DIR")).parent_path(); }

// Calls visit(path, line number, line) for every line of every file below root/floor; the
// number of files read.
int ForEachLine(const std::string& floor,
                const std::function<void(const std::string&, int, const std::string&)>& visit) {
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(SourceRoot() / floor)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path());
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) visit(entry.path().string(), lineNo, line);
    ++files;
  }
  return files;
}

TEST(Layering, FloorsBetweenPlatformAndUiIncludeNoQtHeader) {
  const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q[A-Za-z]*[>"/])");
  for (const char* floor : {"foundation", "engine", "game", "download"}) {
    const int files = ForEachLine(floor, [&](const std::string& path, int lineNo, const std::string& line) {
      EXPECT_FALSE(std::regex_search(line, qtInclude)) << path << ":" << lineNo << ": " << line;
    });
    EXPECT_GT(files, 3) << floor;
  }
}

TEST(Layering, NoFloorIncludesAHeaderOfAFloorAboveIt) {
  const std::regex floorInclude(R"(^\s*#\s*include\s*"([a-z_]+)/)");
  for (size_t level = 0; level < std::size(kFloors); ++level) {
    const int files = ForEachLine(kFloors[level], [&](const std::string& path, int lineNo, const std::string& line) {
      std::smatch m;
      if (!std::regex_search(line, m, floorInclude)) return;
      for (size_t above = level + 1; above < std::size(kFloors); ++above)
        EXPECT_NE(m[1].str(), kFloors[above]) << path << ":" << lineNo << ": " << line;
    });
    EXPECT_GT(files, 3) << kFloors[level];
  }
}

}  // namespace
