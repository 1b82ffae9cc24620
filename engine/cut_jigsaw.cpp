#include "engine/cut_jigsaw.h"

#include "engine/grid_cut.h"
#include "foundation/piece_styles.h"

bool CutJigsaw(TCutTarget& target, const std::string& shapeFilePath, TShapeCounts* counts) {
  switch (ShapeStyleRow(target.GameLevel.ShapeStyle).Cutter) {
    case TShapeCutter::Grid: CutJigsawGrid(target); return true;
    case TShapeCutter::Cells: break;
  }
  return CutJigsawCells(target, shapeFilePath, counts);
}
