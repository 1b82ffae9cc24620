#include "platform/temp_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

// A marked folder goes whole, but a link inside it is removed as a link: what it points at, the
// player's, stays. Names without the mark, or with it anywhere but at the start, stay too.
TEST(TempFiles, RemovalNeverFollowsALinkAndKeepsUnmarkedNames) {
  TTempFolder dir;
  fs::create_directories(dir.File("players/inner"));
  Spit(dir.File("players/inner/photo.jpg"), {1, 2});
  const std::string stage = dir.File(TempName("unpack-Ab12Cd"));
  fs::create_directories(stage + "/a/b");
  Spit(stage + "/a/b/" + TempName("part-1-0"), {0});
  fs::create_directory_symlink(dir.File("players"), stage + "/a/link");
  fs::create_symlink(dir.File("players/inner/photo.jpg"), stage + "/photo");
  for (const char* kept : {"notes.~backup", "x.zorva-tmp-1", "zorva-tmp-1"}) Spit(dir.File(kept), {1});
  Spit(dir.File(TempName("Zz9Yy8")), {0});
  RemoveTempLeftovers(dir.File(""));
  EXPECT_FALSE(fs::exists(stage));
  EXPECT_FALSE(fs::exists(dir.File(TempName("Zz9Yy8"))));
  EXPECT_EQ(Slurp(dir.File("players/inner/photo.jpg")), (std::vector<uint8_t>{1, 2}));
  for (const char* kept : {"notes.~backup", "x.zorva-tmp-1", "zorva-tmp-1"})
    EXPECT_TRUE(fs::exists(dir.File(kept))) << kept;
  // A plain file, a missing name, and a walk cut short by its bound.
  EXPECT_TRUE(RemoveTree(dir.File("notes.~backup")));
  EXPECT_FALSE(fs::exists(dir.File("notes.~backup")));
  EXPECT_TRUE(RemoveTree(dir.File("missing")));
  fs::create_directories(dir.File("many/a"));
  for (const char* f : {"many/1", "many/2", "many/a/3"}) Spit(dir.File(f), {0});
  EXPECT_FALSE(RemoveTree(dir.File("many"), 2));
  EXPECT_TRUE(fs::exists(dir.File("many")));
  EXPECT_TRUE(RemoveTree(dir.File("many")));
  EXPECT_FALSE(fs::exists(dir.File("many")));
  // A name that cannot be looked at is no success, unlike one that is not there.
  EXPECT_FALSE(RemoveTree(dir.File("x.zorva-tmp-1") + "/inside"));
}

// A chain of one folder in each, a file at its foot: four entries in all. A bound of four takes
// the whole tree; a bound of three stops before the top folder.
TEST(TempFiles, RemovalBoundCountsEveryFileAndFolder) {
  TTempFolder dir;
  for (int64_t bound : {3, 4}) {
    fs::create_directories(dir.File("chain/a/b"));
    Spit(dir.File("chain/a/b/f"), {0});
    EXPECT_EQ(RemoveTree(dir.File("chain"), bound), bound >= 4) << bound;
    EXPECT_EQ(fs::exists(dir.File("chain")), bound < 4) << bound;
    EXPECT_FALSE(fs::exists(dir.File("chain/a"))) << bound;
  }
}

// A marked folder left by a crash may be deeper than any path can name: it still goes whole,
// one level at a time, with files at every level; a trailing slash names the same folder.
TEST(TempFiles, RemovalReachesAnyDepthWithoutLongPaths) {
  TTempFolder dir;
  const std::string top = dir.File(TempName("deep"));
  fs::create_directory(top);
  int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string level(60, 'd');
  for (int depth = 0; depth < 120 && fd >= 0; ++depth) {  // some 7300 bytes of path
    close(openat(fd, "f", O_WRONLY | O_CREAT, 0644));
    mkdirat(fd, level.c_str(), 0755);
    const int next = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  close(fd);
  Spit(dir.File("kept"), {1});
  RemoveTempLeftovers(dir.Path().string());  // the folder named without its slash
  EXPECT_FALSE(fs::exists(top));
  EXPECT_TRUE(fs::exists(dir.File("kept")));

  fs::create_directories(dir.File("slash/a"));
  Spit(dir.File("slash/a/x"), {0});
  EXPECT_TRUE(RemoveTree(dir.File("slash") + "//"));
  EXPECT_FALSE(fs::exists(dir.File("slash")));
  EXPECT_EQ(fs::directory_iterator(dir.Path())->path().filename(), "kept") << "the parent stays";
}
