// Saved games, opened over a running game: a refused file leaves that game as it was.
#include "fuzz/fuzz_session.h"
#include "fuzz/fuzz_target.h"

namespace {
struct TSavedGameRig : TFuzzSession {
  TSavedGameRig() { OpenTestGame(Session, PackTestJigsaw(Dir, "running", 120, 90), 13, 5, true, true); }
};
}  // namespace

ZORVA_FUZZ_TARGET(saved_game) {
  static TSavedGameRig rig;
  TGameSession& s = rig.Session;
  const std::string path = FuzzInputFile("fuzz.sv1", data, size);
  TImageControl load;
  OpenSavedGameFile(s, path, OpenSavedThumbnail, &load);
  if (!OpenSavedGameFile(s, path, OpenSavedSelect, &load)) return;
  const TLevelRecord level = s.Game.GameLevel;
  const std::vector<TPieceRecord> pieces = s.Game.Pieces;
  if (!OpenSavedGameFile(s, path, OpenSavedContinue)) {
    FUZZ_CHECK(s.Game.GameLevel.TotalTileNum == level.TotalTileNum && s.Game.GameLevel.GameSeed == level.GameSeed);
    FUZZ_CHECK(s.Game.Pieces.size() == pieces.size());
  }
}
