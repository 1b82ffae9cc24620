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

}  // namespace
