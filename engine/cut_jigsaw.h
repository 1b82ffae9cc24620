#pragma once
#include <string>

#include "engine/cut_cells.h"
#include "engine/cut_target.h"

// Cuts the game's picture with the cutter its shape style names (the grid's cut always
// stands; the cell cut's result is returned). The shape file serves the styles with picture
// shapes; counts, when given, receive the cell cut's tally of them.
bool CutJigsaw(TCutTarget& target, const std::string& shapeFilePath, TShapeCounts* counts = nullptr);
