#pragma once
#include <cstdint>
#include <string>

#include "engine/cut_target.h"

// Message keys the cut hands to ShowMessage for the language file (the game looks them up;
// a missing key shows as itself).
constexpr const char* kPaintErrorKey = "MS_PaintError";

// Cuts the picture into irregular pieces for shape styles 0 to 3: one random point per grid
// cell, the cells around the points, two rounds of relaxation, knobbed edges, and for style 3
// picture-shaped pieces from the shape file at shapeFilePath. Writes the cut map (created here
// in target.CutMap) and the cut fields of the piece records, and advances the progress panel by
// exactly 9 steps. Up to three attempts; when style 3 keeps failing, the cut is made again
// without shapes. Returns false when the final attempt still failed (the messages were shown).
// What became of the picture shapes of style 3 in the attempt that stood: the cells the layout
// flagged, the shapes drawn, and the shapes erased again because they covered a neighbour or
// because the cells around them could not be closed.
struct TShapeCounts {
  int32_t PatternCells = 0;
  int32_t Placed = 0;
  int32_t ErasedByOverlap = 0;
  int32_t ErasedByRepair = 0;
};
bool CutJigsawCells(TCutTarget& target, const std::string& shapeFilePath, TShapeCounts* counts = nullptr);
