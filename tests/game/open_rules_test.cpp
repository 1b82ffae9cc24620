#include <gtest/gtest.h>

#include <fstream>

#include "game/open_rules.h"
#include "support/temp_folder.h"

namespace {

std::vector<std::string> Paths(const TSettings& st) {
  std::vector<std::string> v;
  for (int32_t i = 0; i < st.RecentCount; ++i) v.push_back(st.RecentFiles[i].Path);
  return v;
}

TEST(RecentFiles, NewestFirstMovedUpWhenListedOldestDropped) {
  TSettings st;
  AddRecentFile(st, "");
  EXPECT_EQ(st.RecentCount, 0);
  for (const char* p : {"/a/one.zvq", "/a/two.sv1", "/a/three.zvq"}) AddRecentFile(st, p);
  EXPECT_EQ(Paths(st), (std::vector<std::string>{"/a/three.zvq", "/a/two.sv1", "/a/one.zvq"}));
  EXPECT_EQ(st.RecentFiles[1].Name, "two.sv1");
  // Listed already (in another letter case): moved to the top, nothing added.
  AddRecentFile(st, "/A/ONE.zvq");
  EXPECT_EQ(Paths(st), (std::vector<std::string>{"/A/ONE.zvq", "/a/three.zvq", "/a/two.sv1"}));
  AddRecentFile(st, "/a/four.zvq");
  AddRecentFile(st, "/a/five.zvq");
  EXPECT_EQ(Paths(st), (std::vector<std::string>{"/a/five.zvq", "/a/four.zvq", "/A/ONE.zvq", "/a/three.zvq"}));
  AddRecentFile(st, "/a/five.zvq");
  EXPECT_EQ(st.RecentCount, 4);
  EXPECT_EQ(st.RecentFiles[0].Path, "/a/five.zvq");
  EXPECT_EQ(st.RecentFiles[1].Path, "/a/four.zvq");
  EXPECT_EQ(StartupPresetPath(st), "/a/five.zvq");
  EXPECT_EQ(StartupPresetPath(TSettings{}), "");
}

class OpenRules : public ::testing::Test {
 protected:
  void SetUp() override {
    s.Paths.sSavedDir = dir.Path().string() + "/";
    s.Paths.sAutoSave = s.Paths.sSavedDir + "autosaved.sv1";
    for (const char* name : {"game.sv1", "pic.zvq", "pic.sv1", "Upper.SV1"}) std::ofstream(dir.File(name)) << "x";
  }
  TTempFolder dir;
  TGameSession s;
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
