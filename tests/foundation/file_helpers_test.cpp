#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/file_helpers.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class FileHelpers : public ::testing::Test {
 protected:
  void Touch(const std::string& name) { std::ofstream(dir_ / name) << "x"; }
  std::string Dir() const { return dir_.string(); }
  TTempFolder temp_;
  const fs::path dir_ = temp_.Path();
};

TEST_F(FileHelpers, ListFilesTakesRegularFilesWithExactlyTheAskedExtension) {
  for (const char* name : {"b.sv1", "A.sv1", "c.SV1", "d.sv", "e.sv1x", "f.sv1.bak", "g", "h.zvq"})
    Touch(name);
  fs::create_directory(dir_ / "folder.sv1");
  auto list = ListFiles(Dir(), ".sv1", false);
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (TStringList{"A.sv1", "b.sv1"})) << "sorted without regard to case";

  list = ListFiles(Dir() + "/", ".sv1;.zvq", true);
  ASSERT_TRUE(list);
  EXPECT_EQ(*list, (TStringList{Dir() + "/A.sv1", Dir() + "/b.sv1", Dir() + "/h.zvq"}));
  FreeStringList(list);
  FreeStringList(list);  // twice is harmless
  EXPECT_FALSE(list);

  EXPECT_FALSE(ListFiles(Dir(), ".jpg", false)) << "no match gives no list, not an empty one";
  EXPECT_FALSE(ListFiles(Dir(), "", false)) << "files without the extension never match";
  EXPECT_FALSE(ListFiles(Dir() + "/missing", ".sv1", false));
  EXPECT_FALSE(ListFiles(Dir() + "/b.sv1", ".sv1", false)) << "a file is not a folder";
}

TEST_F(FileHelpers, EnsureDirCreatesOneLevel) {
  EXPECT_TRUE(EnsureDir(Dir()));
  EXPECT_TRUE(EnsureDir(Dir() + "/new"));
  EXPECT_TRUE(fs::is_directory(dir_ / "new"));
  EXPECT_TRUE(EnsureDir(Dir() + "/new")) << "an existing folder is fine";
  EXPECT_FALSE(EnsureDir(Dir() + "/a/b")) << "parents are not made";
  Touch("plain");
  EXPECT_FALSE(EnsureDir(Dir() + "/plain")) << "a file in the way";
}

TEST(CompareFileNames, CaseBlindInTheLanguageOrderThenTotal) {
  EXPECT_LT(CompareFileNames("apple", "Banana"), 0);
  EXPECT_LT(CompareFileNames("\xC3\x89mile.zvq", "Zebra.zvq"), 0) << "an accented letter sorts with its letter";
  EXPECT_LT(CompareFileNames("\xC3\xA9mile.zvq", "Emma.zvq"), 0);
  EXPECT_LT(CompareFileNames("abc", "abcd"), 0);
  EXPECT_NE(CompareFileNames("ABC", "abc"), 0) << "different names never compare equal";
  EXPECT_EQ(CompareFileNames("ABC", "abc"), -CompareFileNames("abc", "ABC"));
}

}  // namespace
