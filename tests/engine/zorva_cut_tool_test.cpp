#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cut_cells.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"
#include "foundation/picture_loading.h"
#include "support/bmp_file.h"

namespace fs = std::filesystem;

namespace {
// The tool is built beside the test programs' folder.
fs::path ToolPath() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "zorva-cut"; }

int RunTool(const std::string& args) {
  const std::string cmd = ToolPath().string() + " " + args + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The cut the tool should have written, made in process by the style's cutter.
void CutInProcess(int32_t w, int32_t h, int32_t level, uint8_t style, bool border, uint32_t seed, TLevelRecord& lv,
                  std::vector<TPieceRecord>& pieces, TDibImage& cut, TShapeCounts* counts = nullptr) {
  TLevelTable table{};
  const TBorderStyle frame = border ? TBorderStyle::Frame : TBorderStyle::None;
  BuildLevelTable(table, w, h, TShapeStyle(style), frame);
  lv = TLevelRecord{};
  FillLevelFromGrid(lv, table[size_t(level)]);
  lv.ImageW = w, lv.ImageH = h, lv.Level = level, lv.BorderStyle = frame, lv.ShapeStyle = TShapeStyle(style);
  lv.GameSeed = int32_t(seed);
  pieces.assign(size_t(lv.TotalTileNum) + 1, TPieceRecord{});
  TDibHolder templates;
  LoadKnobTemplateImage(*templates);
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{seed};
  TProgress progress;
  TCutTarget t{lv, pieces.data(), cut, rng, progress, knobs, nullptr};
  if (IsGridStyle(TShapeStyle(style))) {
    CutJigsawGrid(t);
  } else {
    const char* data = std::getenv("ZORVA_DATA_DIR");
    ASSERT_TRUE(CutJigsawCells(t, std::string(data ? data : "data") + "/pic_zorva.dat", counts));
  }
}

void ExpectSameMap(const std::string& path, const TDibImage& cut) {
  TDibHolder read;
  ASSERT_TRUE(LoadBmpFile(*read, path));
  ASSERT_EQ(read->Width, cut.Width);
  ASSERT_EQ(read->Height, cut.Height);
  for (int32_t y = 0; y < read->Height; ++y)
    for (int32_t x = 0; x < read->Width; ++x)
      ASSERT_EQ(GetDibPixel(*read, x, y), GetDibPixel(cut, x, y)) << x << "," << y;
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
  TLevelRecord lv;
  std::vector<TPieceRecord> pieces;
  TDibHolder cut;
  CutInProcess(300, 200, 5, 6, true, 4711, lv, pieces, *cut);
  ASSERT_EQ(cut->Width, 305);
  ExpectSameMap(map, *cut);
  // One row per piece after the header, each starting with its index and code.
  std::ifstream in(tsv);
  std::string line;
  std::getline(in, line);
  int32_t rows = 0, index = 0, code = 0;
  for (; std::getline(in, line) && std::istringstream(line) >> index >> code; ++rows) {
    EXPECT_EQ(index, rows);
    EXPECT_EQ(code, pieces[size_t(rows)].Code) << "piece " << rows;
  }
  EXPECT_EQ(rows, lv.TotalTileNum);
  EXPECT_GT(fs::file_size(png), 100u);

  EXPECT_EQ(RunTool("--size 300x200 --level 14 --shape 6 --seed 1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300 --level 1 --shape 6 --seed 1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 6 --seed x1 --map " + map), 2);
  EXPECT_EQ(RunTool("--size 300x200 --level 1 --shape 6 --seed 1 --map " + (dir / "no" / "m.bmp").string()), 1);
  fs::remove_all(dir);
}

TEST(ZorvaCutTool, CountsThePictureShapesAsTheEngineDoes) {
  ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath();
  const fs::path dir = fs::temp_directory_path() / ("zorva-cut-counts-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string cmd = ToolPath().string() + " --size 480x360 --level 9 --shape 3 --seed 27 --counts --map " +
                          (dir / "m.bmp").string() + " 2>/dev/null";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  TLevelRecord lv;
  std::vector<TPieceRecord> pieces;
  TDibHolder cut;
  TShapeCounts counts;
  CutInProcess(480, 360, 9, 3, false, 27, lv, pieces, *cut, &counts);
  ASSERT_GT(counts.Placed, 0);
  char want[160];
  std::snprintf(want, sizeof want, "pattern cells %d, shapes placed %d, erased by overlap %d, erased by repair %d\n",
                counts.PatternCells, counts.Placed, counts.ErasedByOverlap, counts.ErasedByRepair);
  EXPECT_EQ(out.substr(0, out.find('\n') + 1), want);
  // Without the option the line is left out.
  EXPECT_EQ(RunTool("--size 480x360 --level 9 --shape 3 --seed 27 --map " + (dir / "m.bmp").string()), 0);
  fs::remove_all(dir);
}

TEST(ShapeSweepTool, SumsTheEnginesCountsPerLevelAndRefusesBadRanges) {
  const fs::path tool = ToolPath().parent_path() / "shape-sweep";
  ASSERT_TRUE(fs::exists(tool)) << tool;
  const auto run = [&](const std::string& args, std::string& out) {
    out.clear();
    if (FILE* p = popen((tool.string() + " " + args + " 2>/dev/null").c_str(), "r")) {
      char buf[256];
      while (std::fgets(buf, sizeof buf, p)) out += buf;
      const int status = pclose(p);
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return -1;
  };
  std::string out;
  ASSERT_EQ(run("--size 480x360 --levels 6-7 --seeds 16-17 --jobs 2", out), 0);
  std::string want = "480x360 seeds 16-17\nlevel\tcuts\tfailed\tbare\tpattern\tplaced\toverlap\trepair\tshaped\n";
  for (int32_t level : {6, 7}) {
    TShapeCounts sum;
    int32_t shaped = 0, bare = 0;
    for (uint32_t seed : {16u, 17u}) {
      TLevelRecord lv;
      std::vector<TPieceRecord> pieces;
      TDibHolder cut;
      TShapeCounts c;
      CutInProcess(480, 360, level, 3, false, seed, lv, pieces, *cut, &c);
      int32_t here = 0;
      for (int32_t i = 0; i < lv.TileNum; ++i) here += pieces[size_t(i)].ShapeFlag != 0;
      shaped += here;
      bare += c.Placed > c.ErasedByOverlap && here == 0;
      sum.PatternCells += c.PatternCells, sum.Placed += c.Placed;
      sum.ErasedByOverlap += c.ErasedByOverlap, sum.ErasedByRepair += c.ErasedByRepair;
    }
    ASSERT_GT(shaped, 0);
    // These cuts erase pictures both ways, so every column is told apart.
    if (level == 6) {
      ASSERT_GT(sum.ErasedByOverlap * sum.ErasedByRepair, 0);
    }
    char line[160];
    std::snprintf(line, sizeof line, "%d\t2\t0\t%d\t%d\t%d\t%d\t%d\t%d\n", level, bare, sum.PatternCells, sum.Placed,
                  sum.ErasedByOverlap, sum.ErasedByRepair, shaped);
    want += line;
  }
  EXPECT_EQ(out, want);
  for (const char* bad :
       {"--size 480x360 --levels 9-8 --seeds 1-2", "--size 480x360 --levels 0-14 --seeds 1",
        "--size 480x360 --levels 3 --seeds 2-1", "--levels 3 --seeds 1", "--size 480 --levels 3 --seeds 1",
        "--size 480x360 --levels 3 --seeds 1 --jobs 0", "--size 480x360 --levels 3 --seeds 1 --x"})
    EXPECT_EQ(run(bad, out), 2) << bad;
}
