#include "grid_pieces.h"

namespace {

constexpr uint8_t kGridCodes[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};

void SetBytes(TDibImage& d, int32_t x, int32_t y, uint8_t b0, uint8_t b1, uint8_t b2) {
  uint8_t* p = DibPixelAddress(d, x, y);
  p[0] = b0;
  p[1] = b1;
  p[2] = b2;
}

}  // namespace

void TestPicturePixel(int32_t x, int32_t y, uint8_t bgr[3]) {
  bgr[0] = uint8_t(x * 7 + y * 3);
  bgr[1] = uint8_t(x * 2 + 40);
  bgr[2] = uint8_t(y * 5 + 90);
}

void MakeTestCut(const TTestCut& c, TLevelRecord& lv, std::vector<TPieceRecord>& pieces, TDibImage& pic,
                 TDibImage& mask) {
  const int32_t margin = c.Frame ? 20 : 0;
  const int32_t iw = 2 * margin + c.Cols * c.Tile, ih = 2 * margin + c.Rows * c.Tile;
  lv = TLevelRecord{};
  lv.TileS = c.Tile;
  lv.MaskS = c.Tile;
  lv.KnobS = c.Knob;
  lv.HalfKnobS = c.Knob / 2 > 4 ? c.Knob / 2 : 4;
  lv.TilePX = c.Cols;
  lv.TilePY = c.Rows;
  lv.TileNum = c.Cols * c.Rows;
  lv.TotalTileNum = lv.TileNum + (c.Frame ? 1 : 0);
  lv.ImageW = lv.FitImageW = iw;
  lv.ImageH = lv.FitImageH = ih;
  lv.JigsL = lv.JigsT = margin;
  lv.JigsR = margin + c.Cols * c.Tile - 1;
  lv.JigsB = margin + c.Rows * c.Tile - 1;
  lv.Rotate = c.Rotate;
  lv.BorderStyle = c.Frame ? TBorderStyle::Frame : TBorderStyle::None;

  pieces.assign(size_t(lv.TotalTileNum + 1), TPieceRecord{});
  CreateDib24(pic, iw, ih);
  CreateDib24(mask, iw + 5, ih + 5);
  for (int32_t y = 0; y < ih; ++y)
    for (int32_t x = 0; x < iw; ++x) {
      uint8_t bgr[3];
      TestPicturePixel(x, y, bgr);
      SetBytes(pic, x, y, bgr[0], bgr[1], bgr[2]);
      SetBytes(mask, x, y, c.Frame ? 5 : 255, 0, 128);
    }
  for (int32_t r = 0; r < c.Rows; ++r)
    for (int32_t col = 0; col < c.Cols; ++col) {
      TPieceRecord& p = pieces[size_t(r * c.Cols + col)];
      p.CellX = margin + col * c.Tile;
      p.CellY = margin + r * c.Tile;
      p.CellW = p.CellH = c.Tile;
      p.PieceX = p.CellX - (col > 0 ? c.Knob : 0);
      p.PieceY = p.CellY - (r > 0 ? c.Knob : 0);
      p.PieceW = c.Tile + (col > 0 ? c.Knob : 0) + (col < c.Cols - 1 ? c.Knob : 0);
      p.PieceH = c.Tile + (r > 0 ? c.Knob : 0) + (r < c.Rows - 1 ? c.Knob : 0);
      p.Code = kGridCodes[(r % 3) * 3 + col % 3];
      for (int16_t& n : p.Neighbours) n = kNoNeighbour;
      const int16_t frame = int16_t(lv.TotalTileNum - 1);
      p.Neighbours[0] = col > 0 ? int16_t(r * c.Cols + col - 1) : (c.Frame ? frame : -1);
      p.Neighbours[1] = r > 0 ? int16_t((r - 1) * c.Cols + col) : (c.Frame ? frame : -1);
      p.Neighbours[2] = col < c.Cols - 1 ? int16_t(r * c.Cols + col + 1) : (c.Frame ? frame : -1);
      p.Neighbours[3] = r < c.Rows - 1 ? int16_t((r + 1) * c.Cols + col) : (c.Frame ? frame : -1);
      for (int32_t y = p.CellY; y < p.CellY + c.Tile; ++y)
        for (int32_t x = p.CellX; x < p.CellX + c.Tile; ++x) SetBytes(mask, x, y, p.Code, 0, 128);
    }
  // Knobs last: each cuts a knob-sized square out of the right neighbour's cell.
  for (int32_t r = 0; r < c.Rows; ++r)
    for (int32_t col = 0; col + 1 < c.Cols; ++col) {
      const TPieceRecord& p = pieces[size_t(r * c.Cols + col)];
      const int32_t top = p.CellY + c.Tile / 2 - c.Knob / 2;
      for (int32_t y = top; y < top + c.Knob; ++y)
        for (int32_t x = p.CellX + c.Tile; x < p.CellX + c.Tile + c.Knob; ++x) SetBytes(mask, x, y, p.Code, 0, 128);
    }
  if (c.Frame) {
    TPieceRecord& f = pieces[size_t(lv.TotalTileNum - 1)];
    f.PieceX = f.PieceY = 0;
    f.PieceW = iw;
    f.PieceH = ih;
    f.Code = 5;
    f.Code2 = 128;
    for (int16_t& n : f.Neighbours) n = kNoNeighbour;
  }
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) pieces[size_t(i)].Group = i;
}
