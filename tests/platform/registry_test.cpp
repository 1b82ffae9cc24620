#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/registry.h"
#include "support/temp_folder.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(temp_.Path() / "home/.config");
    registry_.Environment.Home = Home();
  }
  std::string Home() const { return temp_.File("home"); }
  void WriteUserDirs(const std::string& text, const std::string& configHome = "") {
    const std::string folder = configHome.empty() ? Home() + "/.config" : configHome;
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/user-dirs.dirs") << text;
  }
  std::string Read(const std::string& value, TRegistryRoot root = TRegistryRoot::CurrentUser,
                   const std::string& key = kShellFoldersKey) {
    std::string result = "stale";
    RegReadString(registry_, root, key, value, result);
    return result;
  }
  TTempFolder temp_;
  TRegistry registry_;
};

TEST_F(Registry, ShellFoldersComeFromTheUserDirectories) {
  WriteUserDirs(
      "# written by xdg-user-dirs-update\n"
      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
      "XDG_PICTURES_DIR=\"/srv/pictures/\"\n");
  EXPECT_EQ(Read("Personal"), Home() + "/Dokumente");
  EXPECT_EQ(registry_.RegReadError, kRegReadOk);
  EXPECT_EQ(Read("My Pictures"), "/srv/pictures");
  EXPECT_EQ(Read("LOCAL APPDATA"), Home() + "/.local/share") << "names without regard to case";
  registry_.Environment.DataHome = "/data/home";
  EXPECT_EQ(Read("Local AppData"), "/data/home");
  registry_.Environment.DataHome = "relative/ignored";
  EXPECT_EQ(Read("Local AppData"), Home() + "/.local/share");
}

TEST_F(Registry, MissingOrOddEntriesFallBackToHome) {
  EXPECT_EQ(Read("Personal"), Home()) << "no user-dirs.dirs at all";
  WriteUserDirs(
      "XDG_DOCUMENTS_DIR=\"$HOME/\"\n"
      "XDG_PICTURES_DIR=\"relative/path\"\n");
  EXPECT_EQ(Read("Personal"), Home()) << "a disabled folder is home itself";
  EXPECT_EQ(Read("My Pictures"), Home()) << "relative paths are not allowed";
  // The config folder may be elsewhere; the last entry of a name wins.
  const std::string config = temp_.File("config");
  registry_.Environment.ConfigHome = config;
  WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", config);
  EXPECT_EQ(Read("Personal"), Home() + "/b");
}

TEST_F(Registry, ErrorCodesTellMissingKeysFromMissingValues) {
  EXPECT_EQ(Read("Desktop"), "");
  EXPECT_EQ(registry_.RegReadError, kRegValueMissing);
  EXPECT_EQ(Read("Personal", TRegistryRoot::CurrentUser, "Software\\Nowhere"), "");
  EXPECT_EQ(registry_.RegReadError, kRegKeyMissing);
  EXPECT_EQ(Read("Personal", TRegistryRoot::CurrentUser,
                 "software\\microsoft\\windows\\currentversion\\explorer\\shell folders"),
            Home());
  EXPECT_EQ(registry_.RegReadError, kRegReadOk);
  // Folders are no numbers: read as integers they count as missing values.
  EXPECT_EQ(RegReadInteger(registry_, TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal"), 0);
  EXPECT_EQ(registry_.RegReadError, kRegValueMissing);
}

// A name matches only letter for letter, case aside: one character changed anywhere, or one
// more or fewer, names nothing.
TEST_F(Registry, NamesDifferingInOneCharacterAreMissing) {
  for (const std::string name : {"Personal", "My Pictures", "Local AppData"}) {
    for (size_t i = 0; i < name.size(); ++i) {
      std::string other = name;
      other[i] = '#';
      EXPECT_EQ(Read(other), "") << other;
      EXPECT_EQ(registry_.RegReadError, kRegValueMissing) << other;
    }
    for (const std::string& other : {name + "s", name.substr(1), name.substr(0, name.size() - 1)}) {
      EXPECT_EQ(Read(other), "") << other;
    }
    EXPECT_NE(Read(name), "") << name;
  }
  const std::string key = kShellFoldersKey;
  for (size_t i = 0; i < key.size(); ++i) {
    std::string other = key;
    other[i] = '#';
    EXPECT_EQ(Read("Personal", TRegistryRoot::CurrentUser, other), "") << other;
    EXPECT_EQ(registry_.RegReadError, kRegKeyMissing) << other;
  }
}

// user-dirs.dirs as people edit it: quoted or not, indented, "$HOME" alone or as a prefix of
// another word, and broken lines, which leave the folder at home.
TEST_F(Registry, UserDirsLinesAsWritten) {
  struct TCase {
    const char* Line;
    std::string Want;  // after the home folder
  };
  const std::vector<TCase> cases = {
      {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "/Docs"},
      {"XDG_DOCUMENTS_DIR=$HOME/Plain", "/Plain"},
      {"  \tXDG_DOCUMENTS_DIR=\"$HOME/Indented\"", "/Indented"},
      {"XDG_DOCUMENTS_DIR=\"$HOME\"", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Unclosed", ""},
      {"XDG_DOCUMENTS_DIR=\"\"", ""},
      {"XDG_DOCUMENTS_DIR=", ""},
      {"#XDG_DOCUMENTS_DIR=\"$HOME/Remark\"", ""},
      {"XDG_DOCUMENTS_DIRX=\"$HOME/Other\"", ""},
      {"XDG_PICTURES_DIR=\"$HOME/Pictures\"", ""},
      {"XDG_DOCUMENTS_DIR=\"$HOME/a b/\" trailing", "/a b"},
      {"XDG_DOCUMENTS_DIR=\"$HOME//\"", ""},
  };
  for (const TCase& c : cases) {
    WriteUserDirs(std::string(c.Line) + "\n");
    EXPECT_EQ(XdgUserDir(registry_.Environment, "DOCUMENTS"), Home() + c.Want) << c.Line;
  }
  // A root folder stays the root; an absolute folder keeps its own path.
  WriteUserDirs("XDG_DOCUMENTS_DIR=\"/\"\nXDG_PICTURES_DIR=/srv/p//\n");
  EXPECT_EQ(XdgUserDir(registry_.Environment, "DOCUMENTS"), "/");
  EXPECT_EQ(XdgUserDir(registry_.Environment, "PICTURES"), "/srv/p");
  // A relative config folder is no config folder: the one under home is read.
  registry_.Environment.ConfigHome = "relative";
  EXPECT_EQ(XdgUserDir(registry_.Environment, "PICTURES"), "/srv/p");
}

// The integer reader takes whole numbers only, within 32 bits.
TEST_F(Registry, IntegersAreWholeNumbers) {
  struct TCase {
    std::string Home;
    int32_t Want;
    int32_t Error;
  };
  for (const TCase& c :
       {TCase{"42", 42, kRegReadOk}, TCase{"-7", -7, kRegReadOk}, TCase{"2147483647", INT32_MAX, kRegReadOk},
        TCase{"2147483648", 0, kRegValueMissing}, TCase{"-2147483649", 0, kRegValueMissing},
        TCase{"12a", 0, kRegValueMissing}, TCase{"", 0, kRegValueMissing}}) {
    registry_.Environment.Home = c.Home;  // "Personal" falls back to the home folder
    EXPECT_EQ(RegReadInteger(registry_, TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal"), c.Want) << c.Home;
    EXPECT_EQ(registry_.RegReadError, c.Error) << c.Home;
  }
  EXPECT_EQ(RegReadInteger(registry_, TRegistryRoot::LocalMachine, kShellFoldersKey, "Personal"), 0);
  EXPECT_EQ(registry_.RegReadError, kRegKeyMissing);
  std::string result = "stale";
  RegReadString(registry_, TRegistryRoot::LocalMachine, kShellFoldersKey, "Personal", result);
  EXPECT_EQ(result, "");
}

}  // namespace

namespace {

// The user-dirs file as xdg-user-dirs writes it and as a hand may leave it: each line's
// documents folder, or home where the line gives none.
TEST_F(Registry, EachFormOfADocumentsLine) {
  const struct {
    const char* line;
    std::string folder;
  } cases[] = {
      {"  \tXDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "/Docs"},
      {"XDG_DOCUMENTS_DIR=$HOME/Plain", "/Plain"},
      {"XDG_DOCUMENTS_DIR=/abs/olute//", "!/abs/olute"},
      {"XDG_DOCUMENTS_DIR=\"/quoted\" # a remark", "!/quoted"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/open", ""},
      {"XDG_DOCUMENTS_DIR=\"", ""},
      {"XDG_DOCUMENTS_DIR=\"\"", ""},
      {"XDG_DOCUMENTS_DIR=$HOME", ""},
      {"XDG_DOCUMENTS_DIR=$HOMEWORK/x", ""},
      {"XDG_DOCUMENTS_DIR=/", "!/"},
      {"# XDG_DOCUMENTS_DIR=\"/remark\"", ""},
      {"XDG_DOCUMENTS_DIRS=\"/other\"", ""},
      {"XDG_DOCUMENTS_DIR", ""},
  };
  for (const auto& c : cases) {
    WriteUserDirs(std::string(c.line) + "\n");
    const std::string expected = c.folder.starts_with('!') ? c.folder.substr(1) : Home() + c.folder;
    EXPECT_EQ(Read("Personal"), expected) << c.line;
  }
}

TEST_F(Registry, OnlyTheUsersShellFoldersAreThereAndNoneIsANumber) {
  EXPECT_EQ(Read("Personal", TRegistryRoot::LocalMachine), "");
  EXPECT_EQ(registry_.RegReadError, kRegKeyMissing);
  EXPECT_EQ(RegReadInteger(registry_, TRegistryRoot::LocalMachine, kShellFoldersKey, "Personal"), 0);
  EXPECT_EQ(registry_.RegReadError, kRegKeyMissing);
  // A home whose name reads as a number is read as one, within 32 bits and whole.
  const struct {
    std::string home;
    int32_t value;
    int32_t error;
  } homes[] = {{"42", 42, kRegReadOk},
               {"-2147483648", INT32_MIN, kRegReadOk},
               {"2147483647", INT32_MAX, kRegReadOk},
               {"2147483648", 0, kRegValueMissing},
               {"-2147483649", 0, kRegValueMissing},
               {"12abc", 0, kRegValueMissing},
               {"99999999999999999999", 0, kRegValueMissing}};
  for (const auto& h : homes) {
    registry_.Environment.Home = h.home;
    EXPECT_EQ(RegReadInteger(registry_, TRegistryRoot::CurrentUser, kShellFoldersKey, "Personal"), h.value) << h.home;
    EXPECT_EQ(registry_.RegReadError, h.error) << h.home;
  }
}

}  // namespace
