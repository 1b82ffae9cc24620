#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/curves.h"
#include "engine/cut_target.h"

// Where white pixels may still lie in the picture, row by row, as runs of columns. Hole fills
// only take white away, so a table made before a series of FillCodeHoles calls stays true for
// all of them.
struct TWhiteRows {
  std::vector<int32_t> RowStart;  // per row, its first run; one more entry at the end
  std::vector<int32_t> Runs;      // first and last column of each run
  // Which 32 x 32 tiles hold any of the runs, row of tiles by row of tiles.
  std::vector<uint8_t> Tiles;
  int32_t Width = 0, Height = 0, TileCols = 0;
  // Made from white runs known already: Start, Add each run (rows in order, left to right in a
  // row), Finish. What lies outside the map or the width x height picture is left out, as
  // FindWhiteRows leaves it.
  void Start(const TDibImage& map, int32_t width, int32_t height);
  void Add(int32_t y, int32_t x0, int32_t x1);
  void Finish();
  // Whether the row may hold white strictly between the two columns.
  bool Inside(int32_t y, int32_t left, int32_t right) const;
  // Whether any of the rows top..bottom does; the tiles answer most rectangles at once.
  bool AnyInside(int32_t top, int32_t bottom, int32_t left, int32_t right) const;

 private:
  int32_t NextRow = 0;  // the first row whose start is not set yet
};
void FindWhiteRows(const TDibImage& map, int32_t width, int32_t height, TWhiteRows& rows);

// Bounds of the colour's pixels in the rectangle (inclusive, clamped to the picture); white
// holes strictly inside the rectangle that touch the colour are filled with it. Pixels a fill
// colours behind the scan do not widen the bounds. With whites, rows the table shows free of
// white inside the rectangle are only measured.
void FillCodeHoles(TCutTarget& target, TBoundsRect rect, uint32_t color, TBoundsRect& bounds,
                   const TWhiteRows* whites = nullptr);
// Whether FillCodeHoles with the table could fill anything in the rectangle; when not, it
// only measures.
bool MayFillCodeHoles(const TCutTarget& target, TBoundsRect rect, const TWhiteRows& whites);
// Whether the rectangle, clamped as FillCodeHoles clamps it, holds any white by the table.
bool HoldsWhite(const TCutTarget& target, TBoundsRect rect, const TWhiteRows& whites);
// Runs measure(i) for the pieces of inTurn in their order, and beside them, on two threads,
// for the pieces of alone: those whose rectangle holds no white (HoldsWhite), which a measure
// only reads and no fill reaches.
void MeasureBeside(const std::vector<int32_t>& inTurn, const std::vector<int32_t>& alone,
                   const std::function<void(int32_t)>& measure);
