#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "game/game_paths.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace {

class GamePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    program = dir.File("program") + "/";
    std::filesystem::create_directories(program + "jigsaws");
    std::ofstream(program + "jigsaws/distjiglist.txt") << "one.zvq\r\n\r\ntwo.zvq\n../escape.zvq\n";
    Spit(program + "jigsaws/one.zvq", {1, 2, 3});
    Spit(program + "jigsaws/two.zvq", {4, 5});
    Spit(program + "jigsaws/first.sv1", {9});
    std::filesystem::create_directories(program + "thumb");
    std::ofstream(program + "thumb/jiglist.txt") << "listed\n";
    Spit(program + "jigsaws/listed.zvq", {6});
    Spit(program + "autosaved.sv1", {7, 7});
    registry.Environment.Home = dir.File("home");
    registry.Environment.DataHome = dir.File("data");
    registry.Environment.ConfigHome = dir.File("config");
    std::filesystem::create_directories(registry.Environment.Home);
  }
  TTempFolder dir;
  std::string program;
  TRegistry registry;
};

TEST_F(GamePaths, FoldersAreMadeAndTheDistributedFilesCopied) {
  TGamePaths p;
  InitPaths(p, program, registry);
  EXPECT_EQ(p.sDocsDir, dir.File("home") + "/Tamo Games/Zorva Jigsaw Quix/");
  EXPECT_TRUE(std::filesystem::is_directory(p.sSavedDir));
  EXPECT_EQ(p.sAutoSave, p.sSavedDir + "autosaved.sv1");
  EXPECT_EQ(p.sAppDataDir, dir.File("data") + "/zorva-jigsaw-quix/");
  EXPECT_TRUE(p.FirstRun);
  EXPECT_EQ(Slurp(p.sJigsawDir + "one.zvq"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(std::filesystem::exists(p.sJigsawDir + "two.zvq"));
  EXPECT_FALSE(std::filesystem::exists(p.sDocsDir + "escape.zvq"));  // names only, no paths
  EXPECT_EQ(Slurp(p.sSavedDir + "first.sv1"), (std::vector<uint8_t>{9}));
  EXPECT_EQ(Slurp(p.sAutoSave), (std::vector<uint8_t>{7, 7}));
  EXPECT_EQ(Slurp(p.sJigsawDir + "listed.zvq"), (std::vector<uint8_t>{6}));
  EXPECT_EQ(p.sMyDocs, dir.File("home") + "/");
  EXPECT_EQ(DistributedJigsaws(p), (std::vector<std::string>{"one.zvq", "two.zvq"}));
  Spit(p.TempPictureFile, {1});
  FreeStartupLists(p);
  EXPECT_FALSE(std::filesystem::exists(p.TempPictureFile));
}

TEST_F(GamePaths, LaterStartsRestoreJigsawsOnlyAndClearLeftoverSaves) {
  TGamePaths p;
  InitPaths(p, program, registry);
  std::ofstream(p.sIniFile) << "[Main]\n";  // no longer the first run
  std::filesystem::remove(p.sJigsawDir + "one.zvq");
  std::filesystem::remove(p.sSavedDir + "first.sv1");
  std::filesystem::remove(p.sJigsawDir + "listed.zvq");
  Spit(p.sAutoSave, {1});
  Spit(p.sSavedDir + ".zorva-tmp-Ab12Cd", {0});  // a save that a crash cut short
  Spit(p.sSavedDir + "zorva.svt", {0});
  Spit(p.sSavedDir + "notes.sv1.~x", {0});  // not one of ours
  // Wherever else a write was cut short: settings, start-up picture, report, copies, archives.
  const std::vector<std::string> elsewhere = {p.sAppDataDir + ".zorva-tmp-Q1w2E3", p.sAppDataDir + ".zorva-tmp-Zz9Yy8",
                                              p.sMyDocs + ".zorva-tmp-a1B2c3", p.sJigsawDir + ".zorva-tmp-copy",
                                              p.sAppDataDir + ".zorva-tmp-ladybird.zip"};
  std::filesystem::create_directories(p.sJigsawDir + ".zorva-tmp-unpack-Ab12Cd/set");
  Spit(p.sJigsawDir + ".zorva-tmp-unpack-Ab12Cd/set/.zorva-tmp-part-41-1", {0});
  for (const std::string& path : elsewhere) Spit(path, {0});
  InitPaths(p, program, registry);
  for (const std::string& path : elsewhere) EXPECT_FALSE(std::filesystem::exists(path)) << path;
  EXPECT_FALSE(std::filesystem::exists(p.sJigsawDir + ".zorva-tmp-unpack-Ab12Cd"));
  EXPECT_FALSE(p.FirstRun);
  EXPECT_TRUE(std::filesystem::exists(p.sJigsawDir + "one.zvq"));
  EXPECT_FALSE(std::filesystem::exists(p.sSavedDir + "first.sv1"));
  EXPECT_FALSE(std::filesystem::exists(p.sJigsawDir + "listed.zvq"));
  EXPECT_EQ(Slurp(p.sAutoSave), (std::vector<uint8_t>{1}));  // the player's autosave stays
  EXPECT_FALSE(std::filesystem::exists(p.sSavedDir + ".zorva-tmp-Ab12Cd"));
  EXPECT_FALSE(std::filesystem::exists(p.sSavedDir + "zorva.svt"));
  EXPECT_TRUE(std::filesystem::exists(p.sSavedDir + "notes.sv1.~x"));
}

// Start-up removes only what carries the program's mark, only in its own folders and without a
// walk below them; what the player keeps there, however named or deep, stays. A marked folder
// that an interrupted download left, with a path far past PATH_MAX, goes whole.
TEST_F(GamePaths, StartUpRemovesOnlyItsOwnLeftovers) {
  TGamePaths p;
  InitPaths(p, program, registry);
  const std::vector<std::string> players = {p.sMyDocs + "notes.~backup", p.sMyDocs + "game.sv1.~Ab12Cd",
                                            p.sSavedDir + "mine.zvq.~copy", p.sJigsawDir + ".rar-part-1-1",
                                            p.sJigsawDir + "set/.zorva-tmp-Ab12Cd", p.sMyDocs + "x.zorva-tmp-1"};
  std::filesystem::create_directories(p.sJigsawDir + "set");
  for (const std::string& path : players) Spit(path, {1});
  // Deep trees, made one level at a time: their paths run far past PATH_MAX.
  auto makeDeep = [](const std::string& top, int depth, const std::string& level) {
    std::filesystem::create_directory(top);
    const int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    int current = fd;
    for (int i = 0; i < depth; ++i) {
      mkdirat(current, level.c_str(), 0755);
      const int next = openat(current, level.c_str(), O_RDONLY | O_DIRECTORY);
      if (current != fd) close(current);
      current = next;
    }
    close(openat(current, "leaf.zvq", O_WRONLY | O_CREAT, 0644));
    if (current != fd) close(current);
    close(fd);
  };
  makeDeep(p.sJigsawDir + ".zorva-tmp-unpack-Xy12Zz", 60, std::string(200, 'e'));
  makeDeep(p.sJigsawDir + "deep", 300, "e");  // the player's own
  InitPaths(p, program, registry);
  for (const std::string& path : players) EXPECT_TRUE(std::filesystem::exists(path)) << path;
  EXPECT_FALSE(std::filesystem::exists(p.sJigsawDir + ".zorva-tmp-unpack-Xy12Zz"));
  EXPECT_TRUE(std::filesystem::exists(p.sJigsawDir + "deep/e/e/e"));
}

TEST(ProgramFolder, BuildTreeDataElseInstalledShare) {
  TTempFolder dir;
  const std::string exe = dir.File("bin");
  std::filesystem::create_directories(exe);
  EXPECT_EQ(ProgramFolder(exe), exe + "/../share/zorva-jigsaw-quix/");
  std::filesystem::create_directories(exe + "/data/jigsaws");
  EXPECT_EQ(ProgramFolder(exe + "/"), exe + "/data/");
}

}  // namespace
