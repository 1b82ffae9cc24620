#include "field_rig.h"

#include <algorithm>

#include "engine/cut_target.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"
#include "game/piece_array.h"

void MakeGridCutGame(TGameState& g, int32_t width, int32_t height, int32_t level, bool border, uint32_t seed) {
  static TDibHolder templates;
  if (templates->Width == 0) LoadKnobTemplateImage(*templates);
  TLevelTable table{};
  BuildLevelTable(table, width, height, TShapeStyle::Classic, border ? TBorderStyle::Frame : TBorderStyle::None);
  const TLevelGrid& grid = table[size_t(level)];
  TLevelRecord& lv = g.GameLevel;
  lv = TLevelRecord{};
  lv.GameSeed = int32_t(seed);
  FillLevelFromGrid(lv, grid);
  lv.ImageW = lv.FitImageW = width;
  lv.ImageH = lv.FitImageH = height;
  lv.Level = level;
  lv.BorderStyle = border ? TBorderStyle::Frame : TBorderStyle::None;
  lv.ShapeStyle = TShapeStyle::Classic;
  AllocPieces(g, lv.TotalTileNum + 1);
  TKnobState knobs;
  knobs.KnobTemplateImage = &*templates;
  g.Rng.RandSeed = seed;
  TCutTarget target{lv, g.Pieces.data(), g.Images.PieceMasks[0], g.Rng, g.Progress, knobs, [](const std::string&) {}};
  CutJigsawGrid(target);
  TDibImage& pic = g.Images.PictureImages[0];
  CreateDib24(pic, width, height);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t bgr[3];
      TestPicturePixel(x, y, bgr);
      uint8_t* p = DibPixelAddress(pic, x, y);
      p[0] = bgr[0];
      p[1] = bgr[1];
      p[2] = bgr[2];
    }
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    p.Group = i;
    p.Window = 0;
    p.Rotation = 0;
    UpdatePieceRotation(g, p);
  }
  g.GameLoaded = true;
  g.GameOptions.EmbossStyle = TEmbossStyle::None;
  g.GameOptions.WoodStyle = TWoodStyle::None;
  g.GameOptions.WoodFrameWidth = 0;
}
