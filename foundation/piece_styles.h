#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

// The looks a player chooses for the pieces. Each is kept in one byte (the level record of a
// saved game, the settings file), and its values are the numbers stored there: never
// renumber one. A reader range-checks the stored number before it becomes one of these.

enum class TShapeStyle : uint8_t {
  Irregular = 0,
  IrregularSimpleKnobs = 1,
  IrregularFancyKnobs = 2,
  IrregularFigures = 3,
  Classic = 4,
  ClassicMixedKnobs = 5,
  ClassicVariedKnobs = 6,
};

enum class TBorderStyle : uint8_t { None = 0, Frame = 1 };

// The bevel light on the pieces.
enum class TEmbossStyle : uint8_t { None = 0, Paper = 1, Cardboard = 2, FatCard = 3 };

// The frame around each piece: a band in the wood colour, or shadows.
enum class TWoodStyle : uint8_t { None = 0, Wood = 1, Shadows = 2 };

// The program that cuts a style's pieces.
enum class TShapeCutter : uint8_t {
  Cells,  // irregular cells around one random point per grid cell, knob set A
  Grid,   // a regular grid, knob set B
};

// What a shape style means, for every floor that asks.
struct TShapeStyleRow {
  TShapeStyle Style;
  TShapeCutter Cutter;
  // Picture-shaped pieces from the shape file replace some inner cells; the level table
  // counts room for them.
  bool PictureShapes;
  // Cells: one knob per edge, its side following the edge's direction rather than a draw.
  bool AlternatingKnobs;
  // Cells: the knobs tried in this order when none of the edge's own list fits.
  std::span<const int32_t> FallbackKnobs;
  // Grid: the edges draw from the first this many knobs of set B.
  int32_t GridKnobCount;
  const char* NameKey;  // its name in the language file's load/save section
  int32_t PreviewCell;  // its outline's cell in the browser's shape masks
};

inline constexpr size_t kShapeStyleCount = 7;
inline constexpr TShapeStyle kLastShapeStyle = TShapeStyle::ClassicVariedKnobs;
inline constexpr TBorderStyle kLastBorderStyle = TBorderStyle::Frame;

// Every style in stored order: row i is style i.
std::span<const TShapeStyleRow, kShapeStyleCount> ShapeStyleRows();

// A stored number names a style.
bool IsShapeStyle(int32_t stored);

// The row of a style; a value past the last (a record not checked) reads as the last.
const TShapeStyleRow& ShapeStyleRow(TShapeStyle style);

inline bool IsGridStyle(TShapeStyle style) { return ShapeStyleRow(style).Cutter == TShapeCutter::Grid; }
