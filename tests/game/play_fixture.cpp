#include "play_fixture.h"

#include "game/pieces.h"

namespace {

void SetBytes(TDibImage& d, int32_t x, int32_t y, uint8_t b0, uint8_t b1, uint8_t b2) {
  uint8_t* p = DibPixelAddress(d, x, y);
  p[0] = b0;
  p[1] = b1;
  p[2] = b2;
}

// A quarter turn clockwise keeping a black margin strip at the right and bottom.
void TurnWithMargin(const TDibImage& src, TDibImage& dst, int32_t margin) {
  CreateDib24(dst, src.Height, src.Width);
  const int32_t w = src.Width - margin, h = src.Height - margin;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t* s = DibPixelAddress(src, x, y);
      SetBytes(dst, h - 1 - y, x, s[0], s[1], s[2]);
    }
}

}  // namespace

void MakeTestGame(TGameState& g, const TTestCut& c) {
  MakeTestCut(c, g.GameLevel, g.Pieces, g.Images.PictureImages[0], g.Images.PieceMasks[0]);
  g.GameLoaded = true;
  const TLevelRecord& lv = g.GameLevel;
  if (c.Rotate) {
    for (int32_t r = 1; r < 4; ++r) {
      TurnWithMargin(g.Images.PictureImages[r - 1], g.Images.PictureImages[r], 0);
      TurnWithMargin(g.Images.PieceMasks[r - 1], g.Images.PieceMasks[r], 5);
    }
  }
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    p.Group = i;
    UpdatePieceRotation(g, p);
  }
  g.Field = TFieldArea{800, 600, 800, 600};
  g.GameOptions.EmbossStyle = TEmbossStyle::None;
  g.GameOptions.WoodStyle = TWoodStyle::None;
  g.GameOptions.WoodFrameWidth = 0;
}

void AssemblePieces(TGameState& g) {
  for (int32_t i = 0; i < g.GameLevel.TotalTileNum; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    p.Rotation = 0;
    UpdatePieceRotation(g, p);
    p.X = p.PieceX;
    p.Y = p.PieceY;
    p.Window = 0;
  }
}

TPieceView TestView(int32_t index, int32_t style, int32_t left, int32_t top, int32_t w, int32_t h) {
  TPieceView v;
  v.Index = index;
  v.Style = TWindowStyle(style);
  SetSkinRectBounds(v.Client, left, top, w, h);
  return v;
}
