#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "field_rig.h"
#include "game/system_report.h"
#include "support/recording_host.h"

namespace {

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TReportEnv SampleEnv() {
  TReportEnv env;
  env.Date = "06.12.2026 23:00";
  env.ExePath = "/opt/zorva/zorva";
  env.ScreenWidth = 1600;
  env.ScreenHeight = 1000;
  env.BitsPerPixel = 24;
  env.System.Memory.Known = true;
  env.System.Memory.TotalPhysical = 8ull << 30;
  env.System.Memory.AvailPhysical = (3ull << 30) + 512 * 1024;
  env.System.Memory.LoadPercent = 62;
  env.System.Disks = {{"/opt/zorva/", 10ull << 30}, {"/", 3ull << 20}};
  return env;
}

TEST(ShiftStateText, BitsInFixedOrderAndButtonNames) {
  EXPECT_EQ(ShiftStateText(0), "");
  EXPECT_EQ(ShiftStateText(4), " ssCtrl");
  EXPECT_EQ(ShiftStateText(1 | 2 | 4 | 64), " ssShift ssAlt ssCtrl ssDouble");
  EXPECT_EQ(ShiftStateText(8 | 16 | 32), " ssLeft ssRight ssMiddle");
  EXPECT_EQ(MouseButtonText(0), "mbLeft");
  EXPECT_EQ(MouseButtonText(1), "mbRight");
  EXPECT_EQ(MouseButtonText(2), "mbMiddle");
  EXPECT_EQ(MouseButtonText(3), "");
}

TEST(SystemReport, AGameAddsItsLevelAndWindowCountsWithPocketsNumberedFromZero) {
  TFieldRig r(TTestCut{3, 3});
  TTestSession s;
  // The rig's game and windows moved into a session.
  s.Game.GameLevel = r.g.GameLevel;
  s.Game.Pieces = r.g.Pieces;
  s.Game.GameLoaded = true;
  s.sJigName = "Lake";
  for (int32_t i = 0; i < 9; ++i) s.Game.Pieces[size_t(i)].Window = uint8_t(i < 5 ? 0 : i < 7 ? 1 : 3);
  SetupGameWindows(s.Windows);
  TSettings st;
  const std::vector<std::string> lines = BuildSystemReport(s, st, SampleEnv());
  EXPECT_TRUE(Has(lines, "------ Jigsaw ------"));
  EXPECT_TRUE(Has(lines, "sJigName: Lake"));
  EXPECT_TRUE(Has(lines, "TileNum = " + std::to_string(s.Game.GameLevel.TileNum) + ", TotalTileNum = 9"));
  // Game window 3 is the second pocket, numbered 1 here.
  for (const char* line :
       {"Jigs in MW_SIDE0 = 5", "Jigs in MW_SIDE1 = 2", "Jigs in MW_POCKET0 = 0", "Jigs in MW_POCKET1 = 2",
        "Jigs in MW_POCKET3 = 0", "iUnsolvedNum = 9", "iSolvedPercent = 0"})
    EXPECT_TRUE(Has(lines, line)) << line;
}

TEST(SystemReport, WrittenAsLinesReplacingAnOlderReport) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zorva-report-test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / kReportFileName).string();
  { std::ofstream(path) << "an older, longer report that must not survive\n"; }
  ASSERT_TRUE(WriteReportFile(path, {"one", "", "three"}));
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "one\n\nthree\n");
  EXPECT_FALSE(WriteReportFile((dir / "missing" / "r.txt").string(), {"x"}));
  std::filesystem::remove_all(dir);
}

}  // namespace
