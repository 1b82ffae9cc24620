#include "game/game_paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "support/file_bytes.h"
#include "support/read_only_folder.h"
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
  // The documents folder named as the desktop names it, whether it exists or not.
  std::string UseDocuments() {
    std::filesystem::create_directories(dir.File("config"));
    std::ofstream(dir.File("config/user-dirs.dirs")) << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
    return dir.File("home/Documents") + "/";
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }
  static std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
  Spit(p.sJigsawDir + "two.zvq", {8, 8});        // the player's own file by a listed name
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
  EXPECT_EQ(Slurp(p.sJigsawDir + "two.zvq"), (std::vector<uint8_t>{8, 8}));
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
  const std::vector<std::string> players = {
      p.sMyDocs + "notes.~backup",    p.sMyDocs + "game.sv1.~Ab12Cd",         p.sSavedDir + "mine.zvq.~copy",
      p.sJigsawDir + ".rar-part-1-1", p.sJigsawDir + "set/.zorva-tmp-Ab12Cd", p.sMyDocs + "x.zorva-tmp-1"};
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

// A documents folder the desktop names but nobody made, under a data folder that is missing
// too: every level is made, and the distributed files arrive with nothing else beside them.
TEST_F(GamePaths, MissingDocumentsAndDataFoldersAreMadeLevelByLevel) {
  const std::string docs = UseDocuments();
  registry.Environment.DataHome = dir.File("home/.local/share/deeper");
  TGamePaths p;
  InitPaths(p, program, registry);
  EXPECT_EQ(p.FolderProblem, "");
  EXPECT_EQ(p.sDocsDir, docs + "Tamo Games/Zorva Jigsaw Quix/");
  EXPECT_EQ(p.sJigsawDir, p.sDocsDir + "Jigsaws/");
  EXPECT_EQ(PlayerJigsawFolder(p), p.sJigsawDir);
  EXPECT_EQ(Names(p.sJigsawDir), (std::vector<std::string>{"listed.zvq", "one.zvq", "two.zvq"}));
  EXPECT_EQ(Names(p.sSavedDir), (std::vector<std::string>{"autosaved.sv1", "first.sv1"}));
  EXPECT_EQ(p.sAppDataDir, dir.File("home/.local/share/deeper/zorva-jigsaw-quix/"));
  EXPECT_TRUE(std::filesystem::is_directory(p.sAppDataDir));
  EXPECT_TRUE(Names(p.sAppDataDir).empty());  // the check that it can be written leaves nothing
}

// What stands in the way of a folder is the player's: it stays as it was, and the one level
// that failed is named once with the reason, whatever else fails because of it. Without a jigsaw
// folder the browser gets the program's own.
TEST_F(GamePaths, AFolderInTheWayIsNamedOnceAndLeftAlone) {
  const std::string docs = UseDocuments();
  struct Case {
    const char* what;
    std::function<void()> block;
    std::string named, reason;
  };
  const std::string documents = dir.File("home/Documents");
  const std::vector<Case> cases = {
      {"a file of the player's",
       [&] {
         Spit(documents, {5, 6});
       },
       docs, "a file is in the way"},
      {"a link to nowhere", [&] { std::filesystem::create_symlink(dir.File("nowhere"), documents); }, docs,
       "a file is in the way"},
      {"a file where the jigsaws go",
       [&] {
         std::filesystem::create_directories(docs + "Tamo Games/Zorva Jigsaw Quix");
         Spit(docs + "Tamo Games/Zorva Jigsaw Quix/Jigsaws", {5, 6});
       },
       docs + "Tamo Games/Zorva Jigsaw Quix/Jigsaws/", "a file is in the way"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(documents);
    c.block();
    const std::string blocker = c.named.substr(0, c.named.size() - 1);
    const auto before = std::filesystem::symlink_status(blocker).type();
    TGamePaths p;
    InitPaths(p, program, registry);
    EXPECT_EQ(Count(p.FolderProblem, "The folder \"" + c.named + "\" could not be made: " + c.reason + "."), 1u)
        << p.FolderProblem;
    EXPECT_EQ(Count(p.FolderProblem, "could not be made"), 1u) << p.FolderProblem;
    EXPECT_EQ(std::filesystem::symlink_status(blocker).type(), before);
    if (before == std::filesystem::file_type::regular) {
      EXPECT_EQ(Slurp(blocker), (std::vector<uint8_t>{5, 6}));
    }
    EXPECT_EQ(p.sJigsawDir, program + "jigsaws/");
    EXPECT_EQ(PlayerJigsawFolder(p), docs + "Tamo Games/Zorva Jigsaw Quix/Jigsaws/");
    EXPECT_NE(p.FolderProblem.find("jigsaws cannot be downloaded"), std::string::npos);
    EXPECT_NE(p.FolderProblem.find("The jigsaws that came with the game are offered all the same."), std::string::npos);
    // The saved games fail only when their own folder does.
    EXPECT_EQ(p.FolderProblem.find("games cannot be saved") != std::string::npos,
              !std::filesystem::is_directory(p.sSavedDir));
  }
}

// A jigsaw folder nothing can be written in is named with the system's reason, and still lists
// what it holds.
TEST_F(GamePaths, AReadOnlyJigsawFolderIsNamedAndStillListed) {
  const std::string docs = UseDocuments();
  const std::string jigsaws = docs + "Tamo Games/Zorva Jigsaw Quix/Jigsaws/";
  std::filesystem::create_directories(jigsaws);
  Spit(jigsaws + "mine.zvq", {3});
  TReadOnlyFolder locked(jigsaws);
  ASSERT_TRUE(locked.Holds());
  TGamePaths p;
  InitPaths(p, program, registry);
  EXPECT_EQ(p.FolderProblem, "Nothing can be written in the folder \"" + jigsaws + "\": " + std::strerror(EACCES) +
                                 ".\n\nUntil that is put right, jigsaws cannot be downloaded.");
  EXPECT_EQ(p.sJigsawDir, jigsaws);
  EXPECT_EQ(Names(jigsaws), std::vector<std::string>{"mine.zvq"});
  EXPECT_TRUE(std::filesystem::exists(p.sSavedDir + "first.sv1"));
}

// Without a data folder the settings cannot be kept either, and the player is told so.
TEST_F(GamePaths, AnUnusableDataFolderIsNamedWithWhatIsLost) {
  Spit(dir.File("data"), {1});
  TGamePaths p;
  InitPaths(p, program, registry);
  EXPECT_EQ(p.FolderProblem, "The folder \"" + dir.File("data") +
                                 "/\" could not be made: a file is in the way.\n\nUntil that is put right, jigsaws "
                                 "cannot be downloaded and the settings cannot be kept.");
  EXPECT_EQ(p.sJigsawDir, PlayerJigsawFolder(p));
  EXPECT_EQ(Slurp(dir.File("data")), std::vector<uint8_t>{1});
}

TEST(ProgramFolder, BuildTreeDataElseInstalledShare) {
  TTempFolder dir;
  const std::string exe = dir.File("bin");
  std::filesystem::create_directories(exe);
  EXPECT_EQ(ProgramFolder(exe), exe + "/../share/zorva-jigsaw-quix/");
  std::filesystem::create_directories(exe + "/data/jigsaws");
  EXPECT_EQ(ProgramFolder(exe + "/"), exe + "/data/");
}

// A list line is one plain file name: blanks and carriage returns at its end go, a line that is
// empty then, names a folder or reaches into one is skipped; everything else is kept as it is.
TEST(DistributedJigsaws, ListLinesArePlainFileNamesOnly) {
  TTempFolder dir;
  TGamePaths paths;
  paths.sExeJigsawDir = dir.Path().string() + "/";
  EXPECT_TRUE(DistributedJigsaws(paths).empty());  // no list
  WriteRaw(dir.File("distjiglist.txt"),
           "a.zvq\r\n \r\n  lead.zvq\nin side.zvq  \r \n.\n..\n...\nsub/b.zvq\n/abs.zvq\n\r\n"
           "back\\slash.zvq\n.hidden\nlast.zvq");
  EXPECT_EQ(DistributedJigsaws(paths), (std::vector<std::string>{"a.zvq", "  lead.zvq", "in side.zvq", "...",
                                                                 "back\\slash.zvq", ".hidden", "last.zvq"}));
}

}  // namespace
