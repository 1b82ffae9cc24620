#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "support/temp_folder.h"

// A program folder that is the distributed one but for the entries a test writes itself: every
// other entry of the data folder (and of its language folder) is a link to the real one.
inline std::string ProgramFolderWithout(const TTempFolder& dir, const std::set<std::string>& own) {
  namespace fs = std::filesystem;
  const fs::path data = getenv("ZORVA_DATA_DIR");
  const fs::path program = dir.Path() / "program";
  fs::create_directories(program / "language");
  for (const fs::directory_entry& e : fs::directory_iterator(data)) {
    const std::string name = e.path().filename().string();
    if (name != "language" && !own.count(name)) fs::create_symlink(e.path(), program / name);
  }
  for (const fs::directory_entry& e : fs::directory_iterator(data / "language")) {
    const std::string name = e.path().filename().string();
    if (!own.count("language/" + name)) fs::create_symlink(e.path(), program / "language" / name);
  }
  return program.string() + "/";
}

// The distributed English language file with some of its lines replaced (same key, new text)
// and others added after the line they follow.
inline std::string EnglishLanguageText() {
  std::ifstream in(std::string(getenv("ZORVA_DATA_DIR")) + "/language/english.lng", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void ReplaceLine(std::string& text, const std::string& line, const std::string& with) {
  const size_t at = text.find(line + "\n");
  ASSERT_NE(at, std::string::npos) << line;
  text.replace(at, line.size(), with);
}
