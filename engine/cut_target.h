#pragma once
#include <functional>
#include <string>

#include "engine/piece_record.h"
#include "foundation/dib_image.h"
#include "foundation/level_record.h"
#include "foundation/progress.h"
#include "foundation/random.h"

struct TKnobState;

// What a cut reads and writes: the open game's record, its piece array (TotalTileNum + 1
// records), the cut map, the one generator and the progress panel. The game owns all of them;
// the engine only borrows them for the length of a call.
struct TCutTarget {
  TLevelRecord& GameLevel;
  TPieceRecord* Pieces;
  TDibImage& CutMap;
  TRandom& Rng;
  TProgress& Progress;
  // The knob set, active knob list and template measures; the template image inside it is
  // prepared by the game at start-up.
  TKnobState& Knobs;
  // Shows a warning to the player (a message box in the game, a recorder in tests).
  std::function<void(const std::string&)> ShowMessage;
};
