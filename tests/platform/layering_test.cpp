#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

// The engine, the foundation and the game logic stay free of Qt so they build, test and run
// without a window system; only platform/, forms and dialogs may include Qt.
TEST(Layering, CoreSourcesIncludeNoQtHeader) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(getenv("ZORVA_DATA_DIR")).parent_path();
  const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q[A-Za-z]*[>"/])");
  int checked = 0;
  for (const char* layer : {"foundation", "engine", "game", "download"}) {
    if (!fs::exists(root / layer)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / layer)) {
      const std::string path = entry.path().string();
      if (!entry.is_regular_file() || path.find("/forms/") != std::string::npos) continue;
      std::ifstream in(entry.path());
      std::string line;
      int lineNo = 0;
      while (std::getline(in, line)) {
        ++lineNo;
        EXPECT_FALSE(std::regex_search(line, qtInclude)) << path << ":" << lineNo << ": " << line;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 5);
}
