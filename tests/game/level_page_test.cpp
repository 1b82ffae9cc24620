// The level page's rules: piece counts from the level table, the 4000-piece limit, the choices
// written into both records, and the piece preview.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/dib_ops.h"
#include "game/level_page.h"

namespace {

// A jigsaw of w x h selected with the given defaults.
struct TSelected {
  TLevelPage Page;
  TLevelRecord Current{};
  TLevelRecord Default{};
  TSelected(int32_t w, int32_t h, uint8_t shape, uint8_t border, int32_t level = 5) {
    Default.ShapeStyle = TShapeStyle(shape);
    Default.BorderStyle = TBorderStyle(border);
    Default.Level = level;
    Current = Default;
    Current.ImageW = Current.FitImageW = w;
    Current.ImageH = Current.FitImageH = h;
    Page.SelectedKind = kSelectedJigsaw;
    ApplyLevelRecord(Page, Default);
  }
  // Piece size and count at a level, through the scroll bar.
  std::pair<int32_t, int32_t> At(int32_t level) {
    ChooseLevel(Page, Current, Default, level);
    return {Current.TileS, Current.TotalTileNum};
  }
};

TEST(LevelPage, ShapeThreeWithFrameCountsMainPiecesOnly) {
  TSelected s(800, 600, 3, 1);
  // The table counts 1330 with the extra half grid; the page shows 38 x 28 and stores no
  // extra pieces.
  EXPECT_EQ(s.At(0), std::make_pair(20, 38 * 28));
  EXPECT_EQ(s.Page.LevelTable[0].TotalTileNum, 1330);
  EXPECT_EQ(s.Current.PicPX | s.Current.PicPY | s.Current.PicNum, 0);
  EXPECT_EQ(s.At(13), std::make_pair(150, 5 * 3));  // 150-pixel pieces on 760 x 560
}

TEST(LevelPage, PieceLimitIsFourThousandInclusive) {
  TLevelPage page;
  page.SelectedKind = kSelectedGame;  // a stored record: the count is taken as it stands
  TLevelRecord r{};
  r.TotalTileNum = 4000;
  EXPECT_TRUE(UpdatePieceCount(page, r));
  r.TotalTileNum = 4001;
  EXPECT_FALSE(UpdatePieceCount(page, r));
}

TEST(LevelPage, FitToScreenCountsTheFittedPicture) {
  TSelected s(2048, 1536, 4, 0, 7);
  s.Current.FitImageW = 1024;
  s.Current.FitImageH = 768;
  const int32_t full = s.At(7).second;
  const std::optional<bool> ok = ToggleFitToScreen(s.Page, s.Current, s.Default);
  ASSERT_TRUE(ok && *ok);
  EXPECT_EQ(s.Current.FitToScreen, 1);
  EXPECT_EQ(s.Default.FitToScreen, 1);
  // As for 1024 x 768.
  EXPECT_EQ(s.Current.TileS, 68);
  EXPECT_EQ(s.Current.TotalTileNum, 15 * 11);
  EXPECT_NE(s.Current.TotalTileNum, full);
}

TEST(LevelPage, ChoicesGoIntoBothRecords) {
  TSelected s(1024, 768, 4, 0);
  ASSERT_TRUE(ChooseShape(s.Page, s.Current, s.Default, 2).has_value());
  ToggleRotation(s.Page, s.Current, s.Default);
  ChooseLevel(s.Page, s.Current, s.Default, 11);
  const int32_t count = s.Current.TotalTileNum;
  ChooseMix(s.Page, s.Current, s.Default, 1);
  EXPECT_EQ(s.Current.TotalTileNum, count) << "mixing changes no count";
  for (const TLevelRecord* r : {&s.Current, &s.Default})
    EXPECT_EQ(std::vector<int>({int(r->ShapeStyle), r->Rotate, r->Level, r->SpreadOut}),
              std::vector<int>({2, 1, 11, 1}));
  ToggleRotation(s.Page, s.Current, s.Default);
  EXPECT_EQ(s.Current.Rotate, 0);
  EXPECT_EQ(s.Default.Rotate, 0);
}

TEST(LevelPage, SavedGameChoicesChangeNeitherRecord) {
  TLevelRecord stored{};
  stored.ImageW = 800;
  stored.ImageH = 600;
  stored.Level = 4;
  stored.ShapeStyle = TShapeStyle::ClassicMixedKnobs;
  stored.TotalTileNum = 321;
  TLevelPage page;
  page.SelectedKind = kSelectedGame;
  ApplyLevelRecord(page, stored);
  TLevelRecord cur = stored, def{};
  const TLevelRecord curBefore = cur, defBefore = def;
  EXPECT_FALSE(ChooseShape(page, cur, def, 1).has_value());
  EXPECT_FALSE(ChooseBorder(page, cur, def, 1).has_value());
  EXPECT_FALSE(ChooseLevel(page, cur, def, 9).has_value());
  EXPECT_FALSE(ToggleFitToScreen(page, cur, def).has_value());
  ChooseMix(page, cur, def, 1);
  ToggleRotation(page, cur, def);
  EXPECT_EQ(std::memcmp(&cur, &curBefore, sizeof cur), 0);
  EXPECT_EQ(std::memcmp(&def, &defBefore, sizeof def), 0);
  EXPECT_TRUE(UpdatePieceCount(page, cur));
  EXPECT_EQ(cur.TotalTileNum, 321);
}

TEST(LevelPage, OutOfRangeRecordsAreClamped) {
  TLevelRecord r{};
  r.ImageW = 640;
  r.ImageH = 480;
  r.Level = 99;
  r.ShapeStyle = TShapeStyle(200);
  r.BorderStyle = TBorderStyle(7);
  r.SpreadOut = 9;
  TLevelPage page;
  ApplyLevelRecord(page, r);
  EXPECT_EQ(page.Position, 13);
  EXPECT_EQ(page.ShapeIndex, 6);
  EXPECT_EQ(page.BorderIndex, 1);
  EXPECT_EQ(page.MixIndex, 1);
}

// --- Pictures ---------------------------------------------------------------------------

constexpr uint32_t kFace = 0xC0C0C0;

// A mask strip whose cells are all inside except the given shape's, which is a centred box.
void MakeMasks(TDibHolder& masks, int32_t shape, int32_t boxW, int32_t boxH) {
  ASSERT_TRUE(CreateDib24(*masks, 165 * 7 + 1, 168));
  FillDibRect(*masks, 0, 0, masks->Width, 168, 0);
  FillDibRect(*masks, 165 * shape + 1 + (164 - boxW) / 2, (168 - boxH) / 2, boxW, boxH, 0xFFFFFF);
}

// Those masks, a grey texture and a target of the given size.
struct TPreviewRig {
  TDibHolder masks, texture, target;
  TPreviewRig(int32_t shape, int32_t boxW, int32_t boxH, int32_t w, int32_t h) {
    MakeMasks(masks, shape, boxW, boxH);
    EXPECT_TRUE(CreateDib24(*texture, 164, 168));
    FillDibRect(*texture, 0, 0, 164, 168, 0x505050);
    EXPECT_TRUE(CreateDib24(*target, w, h));
  }
};

TEST(ShapePreview, InnerOutlineLightsTopLeftAndShadesBottomRight) {
  TPreviewRig r(0, 100, 100, 164, 168);
  TDibHolder& target = r.target;
  DrawShapePreview(*target, 128, 0, *r.masks, *r.texture, kFace);
  // Along the middle row and column: face, one lit pixel, the texture, one shaded pixel, face.
  std::vector<uint32_t> row, col;
  for (int32_t x = 0; x < 164; ++x) row.push_back(uint32_t(GetDibPixel(*target, x, 84)));
  for (int32_t y = 0; y < 168; ++y) col.push_back(uint32_t(GetDibPixel(*target, 82, y)));
  for (const std::vector<uint32_t>* line : {&row, &col}) {
    std::vector<uint32_t> runs;
    for (uint32_t c : *line)
      if (runs.empty() || runs.back() != c) runs.push_back(c);
    EXPECT_EQ(runs, (std::vector<uint32_t>{kFace, 0x6E6E6E, 0x505050, 0x323232, kFace}));
    const auto inside = std::count_if(line->begin(), line->end(), [](uint32_t c) { return c != kFace; });
    EXPECT_NEAR(double(inside), 100.0, 2.0);
  }
}

// The piece grows with the size and never past its cell; no size shows the face alone.
TEST(ShapePreview, ThePieceFollowsTheSizeUpToItsCell) {
  TPreviewRig r(2, 164, 168, 200, 200);
  TDibHolder& target = r.target;
  // Size, the piece's width on the middle row.
  const std::pair<int32_t, int32_t> sizes[] = {{-64, 0}, {0, 0}, {1, 0}, {64, 82}, {128, 164}, {400, 164}};
  for (const auto& [size, width] : sizes) {
    DrawShapePreview(*target, size, 2, *r.masks, *r.texture, kFace);
    int32_t painted = 0;
    for (int32_t x = 0; x < 200; ++x) painted += uint32_t(GetDibPixel(*target, x, 100)) != kFace;
    EXPECT_EQ(painted, width) << size;
  }
}

TEST(GreyedStrip, LowerHalfIsTheTintedUpperHalfKeyKept) {
  TDibHolder strip;
  ASSERT_TRUE(CreateDib24(*strip, 4, 4));
  FillDibRect(*strip, 0, 0, 4, 4, 0);
  SetDibPixel(*strip, 0, 0, 0x204060);
  SetDibPixel(*strip, 1, 0, 0xFFFFFF);
  SetDibPixel(*strip, 2, 1, 0xFF00FF);
  MakeGreyedHalf(*strip, 0xC8C8C8, 0xFF00FF);
  EXPECT_EQ(GetDibPixel(*strip, 0, 0), 0x204060);  // upper half untouched
  EXPECT_EQ(GetDibPixel(*strip, 0, 2), 0x748494);
  EXPECT_EQ(GetDibPixel(*strip, 1, 2), 0xE3E3E3);  // 127 + 100 per channel
  EXPECT_EQ(GetDibPixel(*strip, 2, 3), 0xFF00FF);  // the key stays
  EXPECT_EQ(GetDibPixel(*strip, 3, 3), 0x646464);  // black: half the tint
}

}  // namespace
