#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/game_paths.h"
#include "game/settings_file.h"
#include "game/settings_text.h"
#include "support/file_bytes.h"
#include "support/hostile_input.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

constexpr char kHost[] = "second.source.test";

std::string ReadRaw(const std::string& path) {
  const std::vector<uint8_t> b = Slurp(path);
  return std::string(b.begin(), b.end());
}

std::string DataDir() { return std::string(std::getenv("ZORVA_DATA_DIR")) + "/"; }

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.File("lang"));
    env.sLangDir = dir.File("lang") + "/";
    env.sThumbDir = "/opt/zorva/thumb/";
    env.DefaultDnSrc = kHost;
    env.ServerHosts = {"first.source.test", kHost};
    env.LoadLanguage = [this](const std::string& path) { loaded.push_back(path); };
    env.ToggleFullScreen = [this] { ++toggles; };
    Prepare(s);
  }

  void Prepare(TGameSession& session) {
    session.Paths.sIniFile = dir.File("zorva.ini");
    session.Paths.sJigsawDir = "/home/p/Jigsaws/";
    session.Paths.sSavedDir = "/home/p/Saved Games/";
  }

  // Reads the settings file into a fresh session.
  bool Read(const std::string& text) {
    WriteRaw(s.Paths.sIniFile, text);
    return ReadSettings(s, st, env);
  }

  // Every setting at the value the game starts with: written out, it is the shipped file (less
  // the download source, which the first run resets); the rest is never stored.
  void ExpectDefaults() {
    const std::string ini = s.Paths.sIniFile, hostLine = std::string("   <DnSrc> ") + kHost + "\n";
    s.Paths.sIniFile = dir.File("defaults.ini");
    std::filesystem::remove(s.Paths.sIniFile);
    ASSERT_TRUE(WriteSettings(s, st));
    std::string written = ReadRaw(s.Paths.sIniFile);
    s.Paths.sIniFile = ini;
    const size_t at = written.find(hostLine);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(written.erase(at, hostLine.size()), ReadRaw(DataDir() + kSettingsFileName));
    EXPECT_EQ(s.Game.GameOptions.ThumbPath + s.Game.GameOptions.SiteJigsawsDir, "/opt/zorva/thumb/zorva/jigsaws_quix/");
    for (int32_t bkg : s.ViewState.WindowBkg) EXPECT_EQ(bkg, 0x989898);
    EXPECT_EQ(s.ViewState.lBkg, 0x989898);
  }

  TTempFolder dir;
  TSettingsEnv env;
  TTestSession s;
  TSettings st;
  std::vector<std::string> loaded;
  int toggles = 0;
};

TEST_F(SettingsFile, WithoutAFileEverySettingKeepsItsDefault) {
  // Leftovers of an earlier read are all put back.
  s.Game.DefaultLevel.Level = 13;
  s.Game.GameOptions.EmbossStyle = TEmbossStyle::FatCard;
  s.Game.PlaySettings.ClickToDrag = 1;
  s.ViewState.WindowBkg[4] = 12;
  st.RecentCount = 2;
  st.RecentFiles[0] = {"/x.zvq", "x.zvq"};
  st.Flags.ShowQuickHelp = false;
  st.CurrentLanguage = "deutsch";
  EXPECT_FALSE(ReadSettings(s, st, env));
  ExpectDefaults();
  EXPECT_TRUE(st.RecentFiles[0].Path.empty());
  EXPECT_EQ(st.sHelpFile, env.sLangDir + "english.chm");
  // Loaded before anything is read, even when missing: the loader itself reports that.
  EXPECT_EQ(loaded, std::vector<std::string>{env.sLangDir + "english.lng"});
  EXPECT_EQ(toggles, 0);
}

TEST_F(SettingsFile, TheFullScreenDefaultIsTheCurrentMode) {
  st.Flags.FullScreen = true;
  EXPECT_FALSE(ReadSettings(s, st, env));
  EXPECT_TRUE(st.Flags.FullScreen);
  EXPECT_TRUE(Read("[Main]\n   <Sound> 0\n"));
  EXPECT_TRUE(st.Flags.FullScreen);
  EXPECT_EQ(toggles, 0);
  EXPECT_TRUE(Read("[Main]\n   <FullScreen> 0\n"));
  EXPECT_FALSE(st.Flags.FullScreen);
  EXPECT_EQ(toggles, 1);
}

// The shipped file pins the order of sections and entries; recent files come last, reversed.
TEST_F(SettingsFile, RecentFilesAreWrittenInReverseBeforeTheirCount) {
  ReadSettings(s, st, env);
  st.RecentCount = 2;
  st.RecentFiles[0] = {"/a/one.zvq", "one.zvq"};
  st.RecentFiles[1] = {"/a/two.sv1", "two.sv1"};
  ASSERT_TRUE(WriteSettings(s, st));
  EXPECT_NE(
      ReadRaw(s.Paths.sIniFile).find("[Files]\n   <Last1> /a/two.sv1\n   <Last0> /a/one.zvq\n   <LastFileNum> 2\n"),
      std::string::npos);
}

TEST_F(SettingsFile, EveryValueSurvivesAWriteAndARead) {
  SetDefaultSettings(s, st, env);
  TLevelRecord& l = s.Game.DefaultLevel;
  l.Rotate = 1;
  l.BorderStyle = TBorderStyle::Frame;
  l.ShapeStyle = TShapeStyle::ClassicVariedKnobs;
  l.Level = 13;
  l.SpreadOut = 1;
  l.FitToScreen = 0;
  s.AutoSave = {false, 37};
  TGameOptions& o = s.Game.GameOptions;
  o.EmbossStyle = TEmbossStyle::FatCard;
  o.WoodStyle = TWoodStyle::None;
  o.WoodColor = 0x123456;
  o.StuckKoef = 27;
  o.DnSrc = "first.source.test";
  o.UseSecure = true;
  o.SecureMethodInd = 6;
  s.Game.PlaySettings = TPlaySettings{{0, 1}, {1, 2}, {0, 7}, 1, 1};
  st.Flags = {false, false, false, true};
  st.CurrentLanguage = "Deutsch";
  st.RecentCount = 4;
  st.RecentFiles[0] = {"/home/p/Jigsaws/a.zvq", "a.zvq"};
  st.RecentFiles[1] = {"/home/p/Saved Games/b c.sv1", "b c.sv1"};
  st.RecentFiles[2] = {"/mnt/pictures/\xC3\xA9t\xC3\xA9.jpg", "\xC3\xA9t\xC3\xA9.jpg"};
  st.RecentFiles[3] = {"/home/p/Jigsaws/d.zvq", "d.zvq"};
  ASSERT_TRUE(WriteSettings(s, st));
  const std::string written = ReadRaw(s.Paths.sIniFile);

  TTestSession r;
  Prepare(r);
  TSettings rt;
  rt.Flags.FullScreen = false;
  ASSERT_TRUE(ReadSettings(r, rt, env));
  EXPECT_EQ(toggles, 1);  // stored full screen, window not in it
  EXPECT_EQ(rt.RecentCount, 4);
  // Written afresh from what was read, the file is the same to the byte: nothing was lost.
  std::filesystem::remove(r.Paths.sIniFile);
  ASSERT_TRUE(WriteSettings(r, rt));
  EXPECT_EQ(ReadRaw(r.Paths.sIniFile), written);
}

TEST_F(SettingsFile, MissingKeysKeepTheirDefaults) {
  ASSERT_TRUE(
      Read("[Main]\n   <DefJigP>\n      Level=2\n   <Embossing>\n      WoodStyle=0\n"
           "[Play]\n   <RotCW>\n      Shift=1\n"));
  EXPECT_EQ(s.Game.DefaultLevel.Level, 2);
  EXPECT_EQ(s.Game.GameOptions.WoodStyle, TWoodStyle::None);
  EXPECT_EQ(s.Game.PlaySettings.RotCW.Shift, 1);
  // Everything else as without a file.
  s.Game.DefaultLevel.Level = 6;
  s.Game.GameOptions.WoodStyle = TWoodStyle::Shadows;
  s.Game.PlaySettings.RotCW.Shift = 4;
  ExpectDefaults();
}

TEST_F(SettingsFile, OutOfRangeValuesArePulledInOrKeepTheirDefault) {
  ASSERT_TRUE(
      Read("[Main]\n<DefJigP>\nRotate=2\nBorderStyle=2\nShapeStyle=7\nLevel=14\nSpreadOut=-1\nFitToScreen=5\n"
           "<Embossing>\nStyle=5\nWoodStyle=3\nWoodColor=16777216\n"
           "[Play]\n<RotCW>\nButton=2\nShift=8\n<RotCCW>\nButton=-1\nShift=-1\n"
           "[Files]\n<LastFileNum> -3\n"
           "[Download]\n<SecureMethodInd> 7\n"));
  ExpectDefaults();
}

TEST_F(SettingsFile, RangedValuesArePulledToTheirNearestEnd) {
  ASSERT_TRUE(Read("[Main]\n<AutoSave>\nInterval=-5\n[Play]\n<StuckKoef> 9\n"));
  EXPECT_EQ(s.AutoSave.Interval, 1);
  EXPECT_EQ(s.Game.GameOptions.StuckKoef, 10);
  ASSERT_TRUE(Read("[Main]\n<AutoSave>\nInterval=61\n[Play]\n<StuckKoef> 2147483647\n"));
  EXPECT_EQ(s.AutoSave.Interval, 60);
  EXPECT_EQ(s.Game.GameOptions.StuckKoef, 30);
  ASSERT_TRUE(
      Read("[Main]\n<DefJigP>\nLevel=0\nShapeStyle=0\n<Embossing>\nStyle=0\nWoodColor=0\n"
           "[Download]\n<SecureMethodInd> 0\n"));
  EXPECT_EQ(s.Game.DefaultLevel.Level, 0);
  EXPECT_EQ(s.Game.DefaultLevel.ShapeStyle, TShapeStyle::Irregular);
  EXPECT_EQ(s.Game.GameOptions.EmbossStyle, TEmbossStyle::None);
  EXPECT_EQ(s.Game.GameOptions.WoodColor, 0);
  EXPECT_EQ(s.Game.GameOptions.SecureMethodInd, 0);
}

TEST_F(SettingsFile, AnOldWoodEmbossStyleBecomesTheWoodFrame) {
  ASSERT_TRUE(Read("[Main]\n   <Embossing>\n      WoodColor=255\n      WoodStyle=2\n      Style=4\n"));
  EXPECT_EQ(s.Game.GameOptions.EmbossStyle, TEmbossStyle::None);
  EXPECT_EQ(s.Game.GameOptions.WoodStyle, TWoodStyle::Wood);
  EXPECT_EQ(s.Game.GameOptions.WoodColor, 255);
  ASSERT_TRUE(WriteSettings(s, st));
  TSettingsText t;
  ASSERT_TRUE(LoadSettingsText(t, s.Paths.sIniFile));
  EXPECT_EQ(ReadSettingInt(t, "Main", "Embossing", "Style", -1), 0);
  EXPECT_EQ(ReadSettingInt(t, "Main", "Embossing", "WoodStyle", -1), 1);
}

TEST_F(SettingsFile, RecentFilesComeBackInTheCurrentFolders) {
  ASSERT_TRUE(
      Read("[Files]\n<LastFileNum> 4\n<Last0> /old/docs/Jigsaws/Sea.ZVQ\n"
           "<Last1> C:/gone/Saved Games/mine.Sv1\n<Last2> /pictures/cat.jpg\n<Last3> plain\n"));
  ASSERT_EQ(st.RecentCount, 4);
  // The extension is compared without case; the name stays as stored, since the file system
  // tells the cases apart.
  EXPECT_EQ(st.RecentFiles[0].Path, "/home/p/Jigsaws/Sea.ZVQ");
  EXPECT_EQ(st.RecentFiles[0].Name, "Sea.ZVQ");
  EXPECT_EQ(st.RecentFiles[1].Path, "/home/p/Saved Games/mine.Sv1");
  EXPECT_EQ(st.RecentFiles[2].Path, "/pictures/cat.jpg");
  EXPECT_EQ(st.RecentFiles[3].Path, "plain");
  EXPECT_EQ(RecentFileCaption(0, st.RecentFiles[0].Name), "&1. Sea.ZVQ");
  EXPECT_EQ(RecentFileCaption(3, "plain"), "&4. plain");
}

TEST_F(SettingsFile, RecentListBeyondFourHolesAndStaleLines) {
  ASSERT_TRUE(Read("[Files]\n<LastFileNum> 9\n<Last0> /a.jpg\n<Last2> /c.jpg\n<Last3>\n<Last4> /e.jpg\n"));
  ASSERT_EQ(st.RecentCount, 2);  // four places looked at, two of them hold a path
  EXPECT_EQ(st.RecentFiles[0].Path, "/a.jpg");
  EXPECT_EQ(st.RecentFiles[1].Path, "/c.jpg");
  EXPECT_TRUE(st.RecentFiles[2].Path.empty());

  // A shrinking list leaves the old lines, which the count then hides.
  st.RecentCount = 1;
  ASSERT_TRUE(WriteSettings(s, st));
  EXPECT_NE(ReadRaw(s.Paths.sIniFile).find("<Last4> /e.jpg"), std::string::npos);
  ASSERT_TRUE(ReadSettings(s, st, env));
  EXPECT_EQ(st.RecentCount, 1);
  EXPECT_EQ(st.RecentFiles[0].Path, "/a.jpg");
}

TEST_F(SettingsFile, ARecentPathWithALineBreakIsLeftOut) {
  SetDefaultSettings(s, st, env);
  st.RecentCount = 3;
  st.RecentFiles[0] = {"/a.jpg", "a.jpg"};
  st.RecentFiles[1] = {"/b\n[Main].jpg", "b\n[Main].jpg"};
  st.RecentFiles[2] = {"/c.jpg", "c.jpg"};
  ASSERT_TRUE(WriteSettings(s, st));
  ASSERT_TRUE(ReadSettings(s, st, env));
  ASSERT_EQ(st.RecentCount, 2);
  EXPECT_EQ(st.RecentFiles[0].Path, "/a.jpg");
  EXPECT_EQ(st.RecentFiles[1].Path, "/c.jpg");
}

TEST_F(SettingsFile, TheStoredLanguageLoadsWhenItsFilesExist) {
  WriteRaw(env.sLangDir + "english.lng", "");
  WriteRaw(env.sLangDir + "english.chm", "");
  WriteRaw(env.sLangDir + "deutsch.lng", "");
  ASSERT_TRUE(Read("[Lang]\n   <Lang> Deutsch\n   <QuickHelp> 0\n"));
  EXPECT_EQ(st.CurrentLanguage, "Deutsch");
  EXPECT_EQ(loaded, (std::vector<std::string>{env.sLangDir + "english.lng", env.sLangDir + "deutsch.lng"}));
  EXPECT_EQ(st.sHelpFile, env.sLangDir + "english.chm");  // no German help: the English stays
  EXPECT_FALSE(st.Flags.ShowQuickHelp);

  WriteRaw(env.sLangDir + "deutsch.chm", "");
  loaded.clear();
  ASSERT_TRUE(Read("[Lang]\n   <Lang> Deutsch\n"));
  EXPECT_EQ(st.sHelpFile, env.sLangDir + "deutsch.chm");

  // A language whose file is missing is still the current one; no file is loaded for it.
  loaded.clear();
  ASSERT_TRUE(Read("[Lang]\n   <Lang> klingon\n"));
  EXPECT_EQ(st.CurrentLanguage, "klingon");
  EXPECT_EQ(loaded, std::vector<std::string>{env.sLangDir + "english.lng"});
}

TEST_F(SettingsFile, ALanguageNameNeverReachesOutOfTheLanguageFolder) {
  WriteRaw(dir.File("evil.lng"), "");
  for (const char* name : {"../evil", "/tmp/evil", "..", ""}) {
    loaded.clear();
    ASSERT_TRUE(Read(std::string("[Lang]\n   <Lang> ") + name + "\n"));
    EXPECT_EQ(st.CurrentLanguage, "english") << name;
    EXPECT_EQ(loaded, std::vector<std::string>{env.sLangDir + "english.lng"}) << name;
  }
}

TEST_F(SettingsFile, TheFirstRunResetsTheDownloadSource) {
  const std::string text = "[Download]\n   <DnSrc> first.source.test\n   <UseSecure> 1\n   <SecureMethodInd> 3\n";
  ASSERT_TRUE(Read(text));
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "first.source.test");
  EXPECT_TRUE(s.Game.GameOptions.UseSecure);
  s.Paths.FirstRun = true;
  ASSERT_TRUE(Read(text));
  EXPECT_EQ(s.Game.GameOptions.DnSrc, kHost);
  EXPECT_FALSE(s.Game.GameOptions.UseSecure);
  EXPECT_EQ(s.Game.GameOptions.SecureMethodInd, 3);
  // An empty host is no host.
  s.Paths.FirstRun = false;
  ASSERT_TRUE(Read("[Download]\n   <DnSrc>   \n"));
  EXPECT_EQ(s.Game.GameOptions.DnSrc, kHost);
}

// The sources file names the sources: a stored host that is none of them (the file was edited
// since) gives way to the file's default; one of them is kept in any case.
TEST_F(SettingsFile, AStoredSourceMustBeOneOfTheSources) {
  struct TCase {
    const char* Stored;
    std::string Taken;
  };
  for (const TCase& c : {TCase{"FIRST.source.test", "FIRST.source.test"}, TCase{"old.source.test", kHost},
                         TCase{"first.source.test.evil", kHost}}) {
    ASSERT_TRUE(Read(std::string("[Download]\n   <DnSrc> ") + c.Stored + "\n"));
    EXPECT_EQ(s.Game.GameOptions.DnSrc, c.Taken) << c.Stored;
  }
  env.ServerHosts = {};
  env.DefaultDnSrc.clear();
  ASSERT_TRUE(Read("[Download]\n   <DnSrc> first.source.test\n"));
  EXPECT_EQ(s.Game.GameOptions.DnSrc, "");
}

TEST_F(SettingsFile, HostileFilesGiveDefaultsForWhatTheyBreak) {
  const std::string shipped = ReadRaw(DataDir() + kSettingsFileName);
  ASSERT_TRUE(Read(shipped));
  ExpectDefaults();  // the shipped file holds exactly the defaults
  // Every cut and a few hundred changed bytes read; whatever a value becomes, it stays in range.
  ForEachHostileVariant(std::vector<uint8_t>(shipped.begin(), shipped.end()), 300, [&](const std::vector<uint8_t>& b) {
    ASSERT_TRUE(Read(std::string(b.begin(), b.end())));
    const TLevelRecord& l = s.Game.DefaultLevel;
    EXPECT_TRUE(l.Level <= 13 && l.ShapeStyle <= kLastShapeStyle && l.Rotate <= 1 && l.BorderStyle <= kLastBorderStyle);
    const TGameOptions& o = s.Game.GameOptions;
    EXPECT_TRUE(o.WoodColor >= 0 && o.WoodColor <= 0xFFFFFF && o.EmbossStyle <= TEmbossStyle::FatCard &&
                o.WoodStyle <= TWoodStyle::Shadows);
    EXPECT_TRUE(o.StuckKoef >= 10 && o.StuckKoef <= 30 && s.AutoSave.Interval >= 1 && s.AutoSave.Interval <= 60);
    EXPECT_TRUE(st.RecentCount >= 0 && st.RecentCount <= 4);
  });
  // NUL bytes within values and lines.
  ASSERT_TRUE(Read(std::string("[Main]\n<Sound> \0\n<DefJigP>\nLevel=1\0 2\nShapeStyle=\0\0\0 5\n", 50)));
  EXPECT_TRUE(st.Flags.SoundPlay);
  EXPECT_EQ(s.Game.DefaultLevel.Level, 6);
}

TEST_F(SettingsFile, AnOversizedFileIsIgnoredAndReplacedOnWriting) {
  ASSERT_FALSE(Read("[Main]\n<DefJigP>\nLevel=2\n" + std::string(size_t(kMaxSettingsFileSize), ' ')));
  ExpectDefaults();
  ASSERT_TRUE(WriteSettings(s, st));
  EXPECT_LT(Slurp(s.Paths.sIniFile).size(), 2000u);
}

TEST_F(SettingsFile, LinesOthersWroteSurviveWriting) {
  WriteRaw(s.Paths.sIniFile, "; kept\n[Main]\n   <DefJigP>\n      Level=2\n      Extra=yes\n[Tools]\n   <X> 1\n");
  ReadSettings(s, st, env);
  s.Game.DefaultLevel.Level = 8;
  ASSERT_TRUE(WriteSettings(s, st));
  TSettingsText t;
  ASSERT_TRUE(LoadSettingsText(t, s.Paths.sIniFile));
  EXPECT_EQ(t.Lines[0], "; kept");
  EXPECT_EQ(ReadSettingString(t, "Main", "DefJigP", "Extra", ""), "yes");
  EXPECT_EQ(ReadSettingInt(t, "Main", "DefJigP", "Level", 0), 8);
  EXPECT_EQ(ReadSettingInt(t, "Tools", "X", "", 0), 1);
}

TEST(SettingsFirstRun, TheProgramFoldersSettingsAreCopiedOnlyWhenMissing) {
  TTempFolder dir;
  const std::string program = dir.File("program") + "/";
  std::filesystem::create_directories(program + "jigsaws");
  WriteRaw(program + "zorva.ini", "[Main]\n   <Sound> 0\n");
  TRegistry registry;
  registry.Environment.Home = dir.File("home");
  registry.Environment.DataHome = dir.File("home") + "/data";
  std::filesystem::create_directories(registry.Environment.Home);

  TGamePaths paths;
  InitPaths(paths, program, registry);
  EXPECT_TRUE(paths.FirstRun);
  EXPECT_EQ(paths.sIniFile, registry.Environment.DataHome + "/zorva-jigsaw-quix/zorva.ini");
  EXPECT_EQ(ReadRaw(paths.sIniFile), "[Main]\n   <Sound> 0\n");

  WriteRaw(paths.sIniFile, "[Main]\n   <Sound> 1\n");
  TGamePaths again;
  InitPaths(again, program, registry);
  EXPECT_FALSE(again.FirstRun);
  EXPECT_EQ(ReadRaw(paths.sIniFile), "[Main]\n   <Sound> 1\n");
}

}  // namespace
