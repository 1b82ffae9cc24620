#include "engine/grid_cut.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "engine/code_holes.h"
#include "engine/curves.h"
#include "engine/knobs.h"
#include "engine/region_claims.h"
#include "foundation/dib_ops.h"

namespace {
// One cell of the grid: inclusive corners and the side bytes of its right and bottom edges.
struct TGridCell {
  TIntPoint TopLeft, TopRight, BottomLeft, BottomRight;
  uint8_t RightSide, BottomSide;
};

void SetActiveKnobs(TKnobState& knobs, TShapeStyle style) {
  for (int32_t i = 0; i < 16; ++i) knobs.ActiveKnobs[i] = i;
  // A style that is not a grid's gets the last grid list rather than shapes that set B does not
  // hold.
  knobs.ActiveKnobCount = ShapeStyleRow(IsGridStyle(style) ? style : kLastShapeStyle).GridKnobCount;
}

void PaintBlankMap(TDibImage& map, int32_t w, int32_t h) {
  for (int32_t y = 0; y < map.Height; ++y) {
    uint8_t* line = DibScanLine(map, y);
    const int32_t white = y < h ? w : 0;
    std::memset(line, 0xFF, size_t(white) * 3);
    std::memset(line + size_t(white) * 3, 0, size_t(map.Width - white) * 3);
  }
}

// A straight outer side of the cut area, its end pixel included.
void DrawOuterLine(TDibImage& map, TIntPoint a, TIntPoint b, uint32_t color) {
  CanvasLine(*map.Bitmap, TCanvasPoint{a.x, a.y}, TCanvasPoint{b.x, b.y}, color);
  CanvasSetPixel(*map.Bitmap, b.x, b.y, color);
}
}  // namespace

uint8_t GridCode(int32_t row, int32_t column) {
  static const uint8_t kCodes[9] = {25, 150, 75, 200, 125, 50, 175, 100, 225};
  return kCodes[(row % 3) * 3 + column % 3];
}

uint8_t GridCode2(int32_t row, int32_t column) {
  static const uint8_t kCodes2[6] = {1, 2, 4, 8, 16, 32};
  return kCodes2[column % 3 + (row % 2) * 3];
}

namespace {

// The cut-map colour of a piece: every edge is drawn in that of the cell on its left or above,
// which owns it.
struct TCellColor {
  const TPieceRecord* Pieces;
  uint32_t operator()(int32_t index) const { return PieceColor(Pieces[index].Code); }
};

// The last cell whose centre an earlier fill took, or that lay on a line: -1 none.
struct TFailedCell {
  int32_t Index = -1, X = 0, Y = 0;
};

// Cell and piece rectangles, corners, codes and neighbours of every piece of the grid.
void LayOutGridCells(TCutTarget& target, std::vector<TGridCell>& cells, int32_t cols, int32_t rows) {
  const TLevelRecord& lv = target.GameLevel;
  TPieceRecord* pieces = target.Pieces;
  const int32_t knob = lv.KnobS;
  // The remainder is spread: every cell grows by rx div cols, the first rx mod cols by one more.
  const int32_t rx = cols ? lv.ImageW - cols * lv.TileS - 2 * lv.JigsL : 0;
  const int32_t ry = rows ? lv.ImageH - rows * lv.TileS - 2 * lv.JigsT : 0;
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t col = 0; col < cols; ++col) {
      const int32_t index = row * cols + col;
      TPieceRecord& p = pieces[index];
      const int32_t w = lv.TileS + rx / cols + (col < rx % cols ? 1 : 0);
      const int32_t h = lv.TileS + ry / rows + (row < ry % rows ? 1 : 0);
      const int32_t x = col == 0 ? lv.JigsL : pieces[index - 1].CellX + pieces[index - 1].CellW;
      const int32_t y = row == 0 ? lv.JigsT : pieces[index - cols].CellY + pieces[index - cols].CellH;
      p.CellX = x, p.CellY = y, p.CellW = w, p.CellH = h;
      p.PieceX = x, p.PieceY = y, p.PieceW = w, p.PieceH = h;
      if (col > 0) p.PieceX -= knob, p.PieceW += knob;
      if (col < cols - 1) p.PieceW += knob;
      if (row > 0) p.PieceY -= knob, p.PieceH += knob;
      if (row < rows - 1) p.PieceH += knob;
      const int32_t x2 = x + w - 1, y2 = y + h - 1;
      TGridCell& c = cells[size_t(index)];
      c.TopLeft = {x, y}, c.TopRight = {x2, y}, c.BottomLeft = {x, y2}, c.BottomRight = {x2, y2};
      // The corners go into the words at 64..76 as well; the wood pass reuses the first two.
      const int32_t corners[4] = {x, y, x2, y2};
      std::memcpy(reinterpret_cast<char*>(&p) + offsetof(TPieceRecord, PatternClass), corners, sizeof corners);
      p.Code = GridCode(row, col);
      p.Code2 = GridCode2(row, col);
      std::fill(std::begin(p.Neighbours), std::end(p.Neighbours), kNoNeighbour);
      if (col > 0) p.Neighbours[0] = int16_t(index - 1);
      if (row > 0) p.Neighbours[1] = int16_t(index - cols);
      if (col < cols - 1) p.Neighbours[2] = int16_t(index + 1);
      if (row < rows - 1) p.Neighbours[3] = int16_t(index + cols);
    }
  }
}

// Which side of each inner edge its knob goes, drawn row by row.
void ChooseKnobSides(TCutTarget& target, std::vector<TGridCell>& cells, int32_t cols, int32_t rows) {
  for (int32_t row = 0; row < rows; ++row)
    for (int32_t col = 0; col < cols; ++col) {
      TGridCell& c = cells[size_t(row * cols + col)];
      if (col < cols - 1) c.RightSide = uint8_t(target.Rng.Random(2));
      if (row < rows - 1) c.BottomSide = uint8_t(target.Rng.Random(2));
    }
}

void DrawColumnEdges(TCutTarget& target, const std::vector<TGridCell>& cells, int32_t cols, int32_t rows) {
  const TCellColor color{target.Pieces};
  for (int32_t col = 0; col < cols - 1; ++col)
    for (int32_t row = 0; row < rows; ++row) {
      const int32_t index = row * cols + col;
      const TGridCell& c = cells[size_t(index)];
      DrawGridKnobEdge(target, 0, c.RightSide, c.TopRight, c.BottomRight, color(index));
    }
}

void DrawRowEdges(TCutTarget& target, const std::vector<TGridCell>& cells, int32_t cols, int32_t rows) {
  const TCellColor color{target.Pieces};
  for (int32_t row = 0; row < rows - 1; ++row)
    for (int32_t col = 0; col < cols; ++col) {
      const int32_t index = row * cols + col;
      const TGridCell& c = cells[size_t(index)];
      DrawGridKnobEdge(target, 0, c.BottomSide, c.BottomLeft, c.BottomRight, color(index));
    }
}

// The outer sides of the grid, where the frame meets it.
void DrawFrameSides(TCutTarget& target, const std::vector<TGridCell>& cells, int32_t cols, int32_t rows) {
  TDibImage& map = target.CutMap;
  const TCellColor color{target.Pieces};
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t first = row * cols, last = first + cols - 1;
    DrawOuterLine(map, cells[size_t(first)].TopLeft, cells[size_t(first)].BottomLeft, color(first));
    DrawOuterLine(map, cells[size_t(last)].TopRight, cells[size_t(last)].BottomRight, color(last));
  }
  for (int32_t col = 0; col < cols; ++col) {
    const int32_t top = col, bottom = (rows - 1) * cols + col;
    DrawOuterLine(map, cells[size_t(top)].TopLeft, cells[size_t(top)].TopRight, color(top));
    DrawOuterLine(map, cells[size_t(bottom)].BottomLeft, cells[size_t(bottom)].BottomRight, color(bottom));
  }
}

// Each cell fills from its centre in turn; a centre an earlier fill took, or on a line, fails.
TFailedCell FillFromCentres(TCutTarget& target, const std::vector<TGridCell>& cells, int32_t count,
                            std::optional<TRegionClaims>& claims) {
  const TCellColor color{target.Pieces};
  TFailedCell failed;
  for (int32_t index = 0; index < count; ++index) {
    const TGridCell& c = cells[size_t(index)];
    int32_t x, y;
    LineIntersection(c.TopLeft, c.BottomRight, c.TopRight, c.BottomLeft, x, y);
    const int32_t region = claims ? claims->FreeRegion(x, y) : -1;
    if (region >= 0) {
      claims->Take(region, index, color(index));
    } else {
      failed = {index, x, y};
    }
  }
  if (claims) claims->Paint();
  return failed;
}

// Every piece's rectangle measured anew on the map, once the white holes in it took its code.
void MeasurePieces(TCutTarget& target, int32_t cols, int32_t rows, std::optional<TRegionClaims>& claims,
                   int32_t frameRegion) {
  const TLevelRecord& lv = target.GameLevel;
  TPieceRecord* pieces = target.Pieces;
  TDibImage& map = target.CutMap;
  const int32_t knob = lv.KnobS;
  const TCellColor color{pieces};
  // Few white pixels are left after the fills, those of the regions nobody took: rows
  // without any are only measured.
  TWhiteRows whites;
  whites.Start(map, lv.ImageW, lv.ImageH);
  claims->ForEachFreeRun(frameRegion, [&](int32_t y, int32_t x0, int32_t x1) { whites.Add(y, x0, x1); });
  whites.Finish();
  claims.reset();
  const auto rectOf = [&](int32_t index) {
    const TPieceRecord& p = pieces[index];
    const int32_t grow = index < cols * rows ? 2 * knob : knob / 2;
    return TBoundsRect{p.PieceX - grow, p.PieceY - grow, p.PieceX + p.PieceW - 1 + grow,
                       p.PieceY + p.PieceH - 1 + grow};
  };
  const auto measure = [&](int32_t index) {
    TPieceRecord& p = pieces[index];
    TBoundsRect found;
    FillCodeHoles(target, rectOf(index), color(index), found, &whites);
    if (found.Left > found.Right) return;
    p.PieceX = found.Left;
    p.PieceY = found.Top;
    p.PieceW = found.Right - found.Left + 1;
    p.PieceH = found.Bottom - found.Top + 1;
  };
  // A piece with no white in its rectangle is only read: it is measured beside the fills,
  // which keep their order.
  std::vector<int32_t> alone, inTurn;
  for (int32_t index = 0; index < std::max(cols * rows, lv.TotalTileNum); ++index)
    (HoldsWhite(target, rectOf(index), whites) ? inTurn : alone).push_back(index);
  MeasureBeside(inTurn, alone, measure);
}

// The frame piece after the grid's, named by every edge piece once per outer side.
void AddFramePiece(TCutTarget& target, int32_t cols, int32_t rows) {
  TLevelRecord& lv = target.GameLevel;
  TPieceRecord* pieces = target.Pieces;
  TPieceRecord& f = pieces[lv.TotalTileNum];
  const int16_t id = int16_t(lv.TotalTileNum);
  f.PieceX = 0, f.PieceY = 0, f.PieceW = lv.ImageW, f.PieceH = lv.ImageH;
  f.Code = kFrameCode;
  f.Code2 = kFrameCode2;
  std::fill(std::begin(f.Neighbours), std::end(f.Neighbours), kNoNeighbour);
  // An edge piece names the frame once per outer side, so a one-column grid names it twice.
  for (int32_t col = 0; col < cols; ++col) {
    pieces[col].Neighbours[1] = id;
    pieces[(rows - 1) * cols + col].Neighbours[3] = id;
  }
  for (int32_t row = 0; row < rows; ++row) {
    pieces[row * cols].Neighbours[0] = id;
    pieces[row * cols + cols - 1].Neighbours[2] = id;
  }
  ++lv.TotalTileNum;
}

}  // namespace

void CutJigsawGrid(TCutTarget& target) {
  TLevelRecord& lv = target.GameLevel;
  TDibImage& map = target.CutMap;
  TProgress& progress = target.Progress;
  const bool frame = lv.BorderStyle == TBorderStyle::Frame;
  // A grid without columns or rows (or one that does not match its piece count) has no cells.
  const bool hasGrid = lv.TilePX > 0 && lv.TilePY > 0 && lv.TileNum == lv.TilePX * lv.TilePY;
  const int32_t cols = hasGrid ? lv.TilePX : 0, rows = hasGrid ? lv.TilePY : 0;

  SetActiveKnobs(target.Knobs, lv.ShapeStyle);
  const bool mapReady = CreateDib24(map, lv.ImageW + 5, lv.ImageH + 5);
  if (mapReady) PaintBlankMap(map, lv.ImageW, lv.ImageH);

  std::vector<TGridCell> cells(size_t(cols) * rows + 1);
  progress.Step();
  LoadKnobSetB(target.Knobs);
  MeasureKnobTemplates(target.Knobs);
  progress.Step();

  lv.JigsL = lv.JigsT = frame ? kFrameWidth : 0;
  lv.JigsR = lv.ImageW - lv.JigsL - 1;
  lv.JigsB = lv.ImageH - lv.JigsT - 1;
  LayOutGridCells(target, cells, cols, rows);

  ChooseKnobSides(target, cells, cols, rows);
  progress.Step();

  DrawColumnEdges(target, cells, cols, rows);
  progress.Step();
  DrawRowEdges(target, cells, cols, rows);
  progress.Step();

  if (frame && mapReady) DrawFrameSides(target, cells, cols, rows);
  progress.Step();

  std::optional<TRegionClaims> claims;
  if (mapReady) claims.emplace(map, cols * rows);
  const TFailedCell failed = FillFromCentres(target, cells, cols * rows, claims);
  progress.Step();

  // A white corner is a region no cell took, and the frame's fill takes all of it.
  const int32_t frameRegion = frame && claims ? claims->FreeRegion(0, 0) : -1;
  if (frame && mapReady) FloodFillDib(map, 0, 0, PieceColor(kFrameCode));
  progress.Step();

  if (mapReady) MeasurePieces(target, cols, rows, claims, frameRegion);
  progress.Step();

  if (frame) AddFramePiece(target, cols, rows);
  progress.Step();

  // The finished map already is the game's first piece mask.
  progress.Step();

  if (failed.Index >= 0 && target.ShowMessage) {
    char text[96];
    std::snprintf(text, sizeof text, "PaintError: Ind = %d, CellX = %d, CellY = %d", failed.Index, failed.X, failed.Y);
    target.ShowMessage(text);
    target.ShowMessage("Jigsaw has not been cut properly! Please reopen the puzzle.");
  }
}
