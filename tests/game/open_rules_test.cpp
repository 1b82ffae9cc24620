#include <gtest/gtest.h>

#include <fstream>

#include "game/open_rules.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

TEST(StartupPreset, TheMostRecentFileElseNone) {
  TSettings st;
  EXPECT_EQ(StartupPresetPath(st), "");
  st.RecentFiles[0] = {"/a/five.zvq", "five.zvq"};
  st.RecentCount = 1;
  EXPECT_EQ(StartupPresetPath(st), "/a/five.zvq");
}

class OpenRules : public ::testing::Test {
 protected:
  void SetUp() override {
    s.Paths.sSavedDir = dir.Path().string() + "/";
    s.Paths.sAutoSave = s.Paths.sSavedDir + "autosaved.sv1";
    for (const char* name : {"game.sv1", "pic.zvq", "pic.sv1", "Upper.SV1"}) std::ofstream(dir.File(name)) << "x";
  }
  TTempFolder dir;
  TTestSession s;
};

TEST_F(OpenRules, OnlyExistingSavedGamesOpenWithoutTheBrowser) {
  EXPECT_TRUE(OpensWithoutBrowser(dir.File("game.sv1")));
  EXPECT_TRUE(OpensWithoutBrowser(dir.File("Upper.SV1")));
  EXPECT_FALSE(OpensWithoutBrowser(dir.File("pic.zvq")));
  EXPECT_FALSE(OpensWithoutBrowser(dir.File("gone.sv1")));
  EXPECT_FALSE(OpensWithoutBrowser(""));
}

TEST_F(OpenRules, BrowserStartsAtTheGivenFileElseTheOpenGamesFile) {
  EXPECT_EQ(BrowserStartPath(s, "/given.zvq"), "/given.zvq");
  EXPECT_EQ(BrowserStartPath(s, ""), "");
  s.sJig = dir.File("pic.zvq");
  EXPECT_EQ(BrowserStartPath(s, ""), s.sJig);
  s.sSolve = dir.File("gone.sv1");
  EXPECT_EQ(BrowserStartPath(s, ""), s.sJig);
  s.sSolve = dir.File("pic.sv1");
  EXPECT_EQ(BrowserStartPath(s, ""), s.sSolve);
}

TEST_F(OpenRules, PlainSaveNeverWritesTheAutosave) {
  s.sSolve = dir.File("game.sv1");
  EXPECT_EQ(PlainSaveTarget(s), dir.File("game.sv1"));
  s.sSolve = s.Paths.sSavedDir + "AutoSaved.SV1";
  EXPECT_EQ(PlainSaveTarget(s), "");
  EXPECT_EQ(s.sSolve, "");
}

TEST_F(OpenRules, FirstDownloadedJigsawMustExist) {
  EXPECT_EQ(FirstDownloadedJigsaw(""), "");
  EXPECT_EQ(FirstDownloadedJigsaw(dir.File("pic.rar")), dir.File("pic.zvq"));
  EXPECT_EQ(FirstDownloadedJigsaw(dir.File("none.rar")), "");
}

}  // namespace
