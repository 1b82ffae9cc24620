#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cut_fixture.h"
#include "engine/curves.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"

namespace {
struct TGridRun {
  TLevelRecord level{};
  TLevelGrid grid{};
  std::vector<TPieceRecord> pieces;
  std::vector<uint8_t> mapBytes;
  TDibHolder map;
  uint32_t rngAfter = 0;
  int32_t steps = 0;
  std::vector<std::string> messages;
};

// A level record for a grid of the given piece size, as the level page fills it.
TLevelRecord LevelFor(int32_t w, int32_t h, int32_t size, int32_t style, bool border, TLevelGrid* out = nullptr) {
  TLevelGrid g{};
  ComputeGrid(g, w, h, size, TShapeStyle(style), border ? TBorderStyle::Frame : TBorderStyle::None);
  TLevelRecord lv{};
  FillLevelFromGrid(lv, g);
  lv.ImageW = w, lv.ImageH = h;
  lv.BorderStyle = border ? TBorderStyle::Frame : TBorderStyle::None;
  lv.ShapeStyle = TShapeStyle(style);
  if (out) *out = g;
  return lv;
}

void Cut(TGridRun& r, const TLevelRecord& level, uint32_t seed) {
  static TDibHolder templates;
  if (templates->Width == 0) LoadKnobTemplateImage(*templates);
  r.level = level;
  r.pieces.assign(size_t(level.TotalTileNum) + 1, TPieceRecord{});
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{seed};
  TProgress progress;
  progress.Start(20);
  TCutTarget t{
      r.level, r.pieces.data(), *r.map, rng, progress, knobs, [&](const std::string& m) { r.messages.push_back(m); }};
  CutJigsawGrid(t);
  r.rngAfter = rng.RandSeed;
  r.steps = progress.ProgressPos;
  r.mapBytes.assign(r.map->Bits, r.map->Bits + r.map->ImageSize);
}

uint32_t At(const TGridRun& r, int32_t x, int32_t y) { return uint32_t(GetDibPixel(*r.map, x, y)); }

// The shared promises of a cut, and what a grid cut adds: its codes, cell corners, the
// neighbours in a fixed order naming the frame outside, the frame's band and three draws per edge.
void CheckCut(const TGridRun& r, const std::string& what) {
  SCOPED_TRACE(what);
  const TLevelRecord& lv = r.level;
  const bool frame = lv.BorderStyle == TBorderStyle::Frame;
  ASSERT_EQ(lv.TotalTileNum, lv.TilePX * lv.TilePY + (frame ? 1 : 0));
  EXPECT_EQ(r.steps, 11);
  EXPECT_TRUE(r.messages.empty()) << r.messages.front();
  ExpectSoundCut(lv, r.pieces.data(), *r.map, what, true);
  const int16_t frameId = frame ? int16_t(lv.TotalTileNum - 1) : -1;
  for (int32_t row = 0; row < lv.TilePY; ++row)
    for (int32_t col = 0; col < lv.TilePX; ++col) {
      const int32_t i = row * lv.TilePX + col;
      const TPieceRecord& p = r.pieces[size_t(i)];
      EXPECT_EQ(p.Code, GridCode(row, col));
      EXPECT_EQ(p.Code2, GridCode2(row, col));
      // The cell's inclusive corners in the words at 64, 68, 72 and 76 (a saved game keeps them).
      int32_t corners[4];
      std::memcpy(corners, reinterpret_cast<const char*>(&p) + 64, sizeof corners);
      EXPECT_EQ(std::vector<int32_t>(corners, corners + 4),
                std::vector<int32_t>({p.CellX, p.CellY, p.CellX + p.CellW - 1, p.CellY + p.CellH - 1}))
          << i;
      EXPECT_EQ(p.SeedX | p.SeedY | p.ShapeFlag, 0) << i;
      const bool outer[4] = {col == 0, row == 0, col == lv.TilePX - 1, row == lv.TilePY - 1};
      const int32_t step[4] = {-1, -lv.TilePX, 1, lv.TilePX};
      for (int s = 0; s < 9; ++s)
        EXPECT_EQ(p.Neighbours[s], s >= 4 ? -1 : outer[s] ? frameId : i + step[s]) << i << " slot " << s;
    }
  if (frame) {
    for (int32_t y = 0; y < lv.ImageH; ++y)
      for (int32_t x = 0; x < lv.ImageW; ++x) {
        const bool band = x < 20 || y < 20 || x >= lv.ImageW - 20 || y >= lv.ImageH - 20;
        ASSERT_EQ(At(r, x, y) == PieceColor(5), band) << x << "," << y;
      }
  }
  const int32_t c = lv.TilePX, rr = lv.TilePY;
  TRandom replay{uint32_t(lv.GameSeed)};
  for (int32_t i = 0; i < 3 * ((c - 1) * rr + c * (rr - 1)); ++i) replay.Random(2);
  EXPECT_EQ(r.rngAfter, replay.RandSeed);
}
}  // namespace

TEST(GridCut, EveryStyleCutsCompletelyOverSeedsAndSizes) {
  struct TSize {
    int32_t w, h, size;
  };
  const TSize sizes[] = {{160, 120, 20}, {203, 147, 23}, {300, 220, 71}};
  int32_t run = 0;
  for (const TShapeStyleRow& row : ShapeStyleRows())
    for (const TSize& s : sizes)
      for (bool border : {false, true}) {
        if (!IsGridStyle(row.Style)) continue;
        const int32_t style = int32_t(row.Style);
        const uint32_t seed = 1000u * uint32_t(style) + uint32_t(++run) * 7919u;
        TLevelRecord lv = LevelFor(s.w, s.h, s.size, style, border);
        lv.GameSeed = int32_t(seed);
        TGridRun a;
        Cut(a, lv, seed);
        CheckCut(a, "style " + std::to_string(style) + " " + std::to_string(s.w) + "x" + std::to_string(s.h) +
                        " size " + std::to_string(s.size) + (border ? " framed" : "") + " seed " +
                        std::to_string(seed));
        if (::testing::Test::HasFatalFailure()) return;
      }
}

TEST(GridCut, RemainderPixelsWidenTheFirstColumnsAndRows) {
  TLevelRecord lv = LevelFor(4 * 40 + 3, 2 * 40 + 1, 40, 4, false);
  ASSERT_EQ(lv.TilePX, 4);
  lv.GameSeed = 5;
  TGridRun r;
  Cut(r, lv, 5);
  const int32_t widths[4] = {41, 41, 41, 40}, xs[4] = {0, 41, 82, 123};
  for (int32_t col = 0; col < 4; ++col) {
    EXPECT_EQ(r.pieces[size_t(col)].CellW, widths[col]);
    EXPECT_EQ(r.pieces[size_t(col)].CellX, xs[col]);
    EXPECT_EQ(r.pieces[size_t(col)].CellH, 41);
    EXPECT_EQ(r.pieces[size_t(4 + col)].CellH, 40);
    EXPECT_EQ(r.pieces[size_t(4 + col)].CellY, 41);
  }
  CheckCut(r, "remainder");
}

TEST(GridCut, AKnobOverTheNextSeedIsReportedAndTheCutCompletes) {
  // A knob margin of 40 on 60-pixel cells puts the knob's head over a cell centre.
  TLevelRecord lv = LevelFor(120, 60, 60, 4, false);
  lv.KnobS = 40;
  lv.GameSeed = 8;
  TGridRun r;
  Cut(r, lv, 8);
  EXPECT_EQ(r.steps, 11);
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.messages[0], "PaintError: Ind = 1, CellX = 90, CellY = 30");
  EXPECT_EQ(r.messages[1], "Jigsaw has not been cut properly! Please reopen the puzzle.");
  EXPECT_EQ(r.level.TotalTileNum, 2);
}

TEST(GridCut, DegenerateRecordsCutNothingButStillStepAndStaySafe) {
  TLevelRecord lv = LevelFor(100, 80, 40, 6, false);
  lv.TilePX = 0;  // inconsistent with TileNum: no cells
  lv.GameSeed = 3;
  TGridRun r;
  Cut(r, lv, 3);
  EXPECT_EQ(r.steps, 11);
  EXPECT_EQ(r.rngAfter, 3u);
  EXPECT_EQ(At(r, 50, 40), kWhite);
  // One-pixel rows: every vertical edge has equal ends. Nothing may turn into NaN geometry; the
  // edges still draw their knobs in order.
  TLevelRecord thin{};
  thin.ImageW = 60, thin.ImageH = 3, thin.TileS = 1, thin.KnobS = 1, thin.TilePX = 3, thin.TilePY = 3,
  thin.TileNum = thin.TotalTileNum = 9, thin.ShapeStyle = TShapeStyle::ClassicVariedKnobs;
  TGridRun t;
  Cut(t, thin, 1);
  EXPECT_EQ(t.steps, 11);
  TRandom replay{1};
  for (int i = 0; i < 3 * 12; ++i) replay.Random(2);
  EXPECT_EQ(t.rngAfter, replay.RandSeed);
  for (int32_t row = 0; row < 3; ++row)  // each one-pixel edge leaves its pixel
    for (int32_t col = 0; col < 2; ++col) EXPECT_EQ(At(t, 19 + 20 * col, row), PieceColor(GridCode(row, col)));
}
