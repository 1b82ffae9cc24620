#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"
#include "foundation/picture_loading.h"

namespace fs = std::filesystem;

namespace {
// The tool is built beside the test programs' folder.
fs::path ToolPath() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "zorva-cut"; }

int RunTool(const std::string& args) {
  const std::string cmd = ToolPath().string() + " " + args + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

TEST(ZorvaCutTool, WritesTheSameCutAsTheEngineAndRefusesBadArguments) {
  ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath();
  const fs::path dir = fs::temp_directory_path() / ("zorva-cut-test-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string map = (dir / "m.bmp").string(), tsv = (dir / "p.tsv").string(), png = (dir / "c.png").string();
  ASSERT_EQ(RunTool("--size 300x200 --level 5 --shape 6 --border --seed 4711 --map " + map + " --pieces " + tsv +
                " --png " + png),
            0);
  // The same cut in process.
  TLevelTable table{};
  BuildLevelTable(table, 300, 200, 6, 1);
  const TLevelGrid& g = table[5];
  TLevelRecord lv{};
  FillLevelFromGrid(lv, g);
  lv.ImageW = 300, lv.ImageH = 200, lv.BorderStyle = 1, lv.ShapeStyle = 6;
  std::vector<TPieceRecord> pieces(size_t(lv.TotalTileNum) + 1);
  TDibHolder cut, templates, read;
  LoadKnobTemplateImage(*templates);
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{4711};
  TProgress progress;
  TCutTarget t{lv, pieces.data(), *cut, rng, progress, knobs, nullptr};
  CutJigsawGrid(t);

  ASSERT_TRUE(LoadBmpFile(*read, map));
  ASSERT_EQ(read->Width, 305);
  ASSERT_EQ(read->Height, 205);
  for (int32_t y = 0; y < 205; ++y)
    for (int32_t x = 0; x < 305; ++x) ASSERT_EQ(GetDibPixel(*read, x, y), GetDibPixel(*cut, x, y)) << x << "," << y;

  std::ifstream in(tsv);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line.substr(0, 11), "index\tCode\t");
  int32_t rows = 0;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    int32_t index, code, code2, x, y, w, h;
    fields >> index >> code >> code2 >> x >> y >> w >> h;
    ASSERT_EQ(index, rows);
    const TPieceRecord& p = pieces[size_t(index)];
    EXPECT_EQ(code, p.Code);
    EXPECT_EQ(code2, p.Code2);
    EXPECT_EQ(x, p.PieceX);
    EXPECT_EQ(w, p.PieceW);
    for (int16_t n : p.Neighbours) {
      int32_t v;
      fields >> v;
      EXPECT_EQ(v, n);
    }
    ++rows;
  }
  EXPECT_EQ(rows, lv.TotalTileNum);
  EXPECT_GT(fs::file_size(png), 100u);

  EXPECT_EQ(RunTool("--size 300x200 --level 14 --shape 6 --seed 1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300 --level 1 --shape 6 --seed 1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 7 --seed 1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 6 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 6 --seed x1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 6 --seed 1 --map " + (dir / "no" / "m.bmp").string()), 1);
  fs::remove_all(dir);
}
