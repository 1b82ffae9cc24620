#include "foundation/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

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
  for (const char* name : {"b.sv1", "A.sv1", "c.SV1", "d.sv", "e.sv1x", "f.sv1.bak", "g", "h.zvq"}) Touch(name);
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

TEST_F(FileHelpers, IsRegularFileFollowsLinksAndRefusesEverythingElse) {
  Touch("plain");
  fs::create_directory(dir_ / "folder");
  fs::create_symlink(dir_ / "plain", dir_ / "to-plain");
  fs::create_symlink(dir_ / "gone", dir_ / "dangling");
  fs::create_symlink(dir_ / "folder", dir_ / "to-folder");
  ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  EXPECT_TRUE(IsRegularFile(Dir() + "/plain"));
  EXPECT_TRUE(IsRegularFile(Dir() + "/to-plain")) << "a link to a file counts";
  for (const char* name : {"folder", "dangling", "to-folder", "pipe", "missing", "plain/below"})
    EXPECT_FALSE(IsRegularFile(Dir() + "/" + name)) << name;
  EXPECT_FALSE(IsRegularFile(""));
}

TEST(PathParts, NameStemAndLowerExtension) {
  struct Case {
    const char *path, *name, *stem, *ext;
  };
  for (const Case& c :
       {Case{"/a/b/Jig.ZVQ", "Jig.ZVQ", "Jig", ".zvq"}, Case{"Jig.tar.Gz", "Jig.tar.Gz", "Jig.tar", ".gz"},
        Case{"/a/.hidden", ".hidden", ".hidden", ".hidden"}, Case{"a.dir/plain", "plain", "plain", ""},
        Case{"/a/b/", "", "", ""}, Case{"name.", "name.", "name", "."}, Case{"", "", "", ""},
        Case{"a/..", "..", "..", "."}}) {
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(FileStemOf(c.path), c.stem) << c.path;
    EXPECT_EQ(LowerExtension(c.path), c.ext) << c.path;
  }
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
