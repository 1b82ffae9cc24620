#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engine/cut_jigsaw.h"
#include "engine/knobs.h"
#include "foundation/lang.h"
#include "foundation/level_table.h"
#include "foundation/piece_styles.h"

// Each shape style's row against what the program does with it: the cutter it names cuts its
// kind of pieces, picture shapes appear where it says so, and its name and preview exist.

namespace {

std::string DataDir() {
  const char* data = std::getenv("ZORVA_DATA_DIR");
  return data ? data : "data";
}

struct TStyleCut {
  TLevelRecord Level{};
  std::vector<TPieceRecord> Pieces;
  TShapeCounts Counts;
  TLevelGrid Grid{};  // the level table's grid, extra picture pieces included
};

// The level page's record of a 320 x 240 picture at level 11, cut as the game opens it.
TStyleCut Cut(TShapeStyle style) {
  TStyleCut c;
  TLevelTable table{};
  BuildLevelTable(table, 320, 240, style, TBorderStyle::None);
  c.Grid = table[11];
  FillLevelFromGrid(c.Level, c.Grid);
  c.Level.ImageW = c.Level.FitImageW = 320;
  c.Level.ImageH = c.Level.FitImageH = 240;
  c.Level.Level = 11;
  c.Level.ShapeStyle = style;
  c.Level.GameSeed = 321;
  c.Pieces.assign(size_t(c.Level.TotalTileNum) + 1, TPieceRecord{});
  TDibHolder map, templates;
  LoadKnobTemplateImage(*templates);
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{321};
  TProgress progress;
  TCutTarget t{c.Level, c.Pieces.data(), *map, rng, progress, knobs, nullptr};
  EXPECT_TRUE(CutJigsaw(t, DataDir() + "/pic_zorva.dat", &c.Counts));
  return c;
}

// Every piece is linked to exactly its left, upper, right and lower grid neighbours, in that
// order, and to nothing else.
bool LinkedAsAGrid(const TStyleCut& c) {
  const int32_t px = c.Level.TilePX, py = c.Level.TilePY;
  for (int32_t i = 0; i < px * py; ++i) {
    const int32_t col = i % px, row = i / px;
    const int16_t expected[9] = {int16_t(col > 0 ? i - 1 : -1),
                                 int16_t(row > 0 ? i - px : -1),
                                 int16_t(col < px - 1 ? i + 1 : -1),
                                 int16_t(row < py - 1 ? i + px : -1),
                                 -1,
                                 -1,
                                 -1,
                                 -1,
                                 -1};
    for (int32_t k = 0; k < 9; ++k)
      if (c.Pieces[size_t(i)].Neighbours[k] != expected[k]) return false;
  }
  return true;
}

// Some piece borders one of its diagonal cells: irregular cells, not a grid.
bool HasDiagonalNeighbour(const TStyleCut& c) {
  const int32_t px = c.Level.TilePX;
  for (int32_t i = 0; i < c.Level.TotalTileNum; ++i)
    for (int16_t n : c.Pieces[size_t(i)].Neighbours)
      if (n >= 0 && n % px != i % px && n / px != i / px) return true;
  return false;
}

}  // namespace

TEST(ShapeStyleRows, EachCutsWithItsCutterAndHasPictureShapesOnlyWhereItSays) {
  for (const TShapeStyleRow& row : ShapeStyleRows()) {
    SCOPED_TRACE(row.NameKey);
    const TStyleCut c = Cut(row.Style);
    ASSERT_GE(c.Level.TilePX, 4);
    ASSERT_GE(c.Level.TilePY, 3);
    const bool grid = row.Cutter == TShapeCutter::Grid;
    EXPECT_EQ(LinkedAsAGrid(c), grid);
    EXPECT_EQ(HasDiagonalNeighbour(c), !grid);
    EXPECT_EQ(IsGridStyle(row.Style), grid);

    int32_t flagged = 0;
    for (int32_t i = 0; i < c.Level.TotalTileNum; ++i) flagged += c.Pieces[size_t(i)].ShapeFlag != 0;
    EXPECT_EQ(flagged > 0, row.PictureShapes);
    EXPECT_EQ(c.Counts.Placed > 0, row.PictureShapes);
    EXPECT_EQ(c.Grid.PicNum > 0, row.PictureShapes);  // the level page counts room for them
  }
}

// A record nobody checked may hold any byte: it reads as the last style, the one the game's
// start clamps it to, and cuts as that style does.
TEST(ShapeStyleRows, AValuePastTheLastReadsAsTheLast) {
  EXPECT_TRUE(IsShapeStyle(int32_t(kShapeStyleCount) - 1));
  EXPECT_FALSE(IsShapeStyle(int32_t(kShapeStyleCount)));
  EXPECT_FALSE(IsShapeStyle(-1));
  EXPECT_EQ(&ShapeStyleRow(TShapeStyle(kShapeStyleCount)), &ShapeStyleRow(kLastShapeStyle));
  EXPECT_EQ(&ShapeStyleRow(TShapeStyle(255)), &ShapeStyleRow(kLastShapeStyle));
  const TStyleCut past = Cut(TShapeStyle(200)), last = Cut(kLastShapeStyle);
  ASSERT_EQ(past.Pieces.size(), last.Pieces.size());
  for (size_t i = 0; i < past.Pieces.size(); ++i)
    EXPECT_EQ(std::memcmp(&past.Pieces[i], &last.Pieces[i], sizeof(TPieceRecord)), 0) << i;
}

// Every style has its own name in the shipped language and its own outline in the browser's
// artwork.
TEST(ShapeStyleRows, EachHasANameAndAPreviewOfItsOwn) {
  TLanguageState st;
  st.LangDir = DataDir() + "/language/";
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLangLines(LangFilePath(st, "english"), lines));
  st.LangList = ParseLangLines(lines);
  const QImage masks(":/images/browser-shape-masks.png");
  ASSERT_FALSE(masks.isNull());
  constexpr int kCellW = 164, kCellH = 168;
  std::set<std::string> names;
  std::set<QByteArray> previews;
  for (const TShapeStyleRow& row : ShapeStyleRows()) {
    SCOPED_TRACE(row.NameKey);
    std::string name;
    for (const TLangEntry& e : st.LangList)
      if (e.Section == kLangLoadSave && e.Key == row.NameKey) name = e.Value;
    EXPECT_FALSE(name.empty());
    names.insert(name);

    const int x = (kCellW + 1) * row.PreviewCell + 1;
    ASSERT_LE(x + kCellW, masks.width());
    const QImage cell = masks.copy(x, 0, kCellW, kCellH).convertToFormat(QImage::Format_RGB32);
    int inside = 0;
    for (int y = 0; y < kCellH; ++y)
      for (int cx = 0; cx < kCellW; ++cx) inside += cell.pixel(cx, y) == qRgb(255, 255, 255);
    EXPECT_GT(inside, kCellW * kCellH / 4);  // a piece fills much of its cell
    previews.insert(QByteArray(reinterpret_cast<const char*>(cell.constBits()), int(cell.sizeInBytes())));
  }
  EXPECT_EQ(names.size(), kShapeStyleCount);
  EXPECT_EQ(previews.size(), kShapeStyleCount);
}
