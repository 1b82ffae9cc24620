// Jigsaw files in the three ways they are opened: the browser's thumbnail (mode 2) and
// selection (mode 0), then the game itself (mode 1) with a cut chosen by the input.
#include "foundation/level_table.h"
#include "fuzz/fuzz_session.h"
#include "fuzz/fuzz_target.h"

ZORVA_FUZZ_TARGET(jigsaw) {
  static TFuzzSession rig;
  TGameSession& s = rig.Session;
  const std::string path = FuzzInputFile("fuzz.zvq", data, size);
  TImageControl load;
  TJigsawOpenTarget target{s.Game.CurrentLevel, load, FuzzFolder() + "~zjtemp.bmp", {}, {}};
  s.Game.CurrentLevel = TLevelRecord{};
  s.Game.CurrentLevel.ImageW = 77;
  const bool thumbnail = OpenJigsaw(path, OpenJigsawThumbnail, target);
  FUZZ_CHECK(s.Game.CurrentLevel.ImageW == 77);  // the thumbnail never touches the level
  if (!OpenJigsaw(path, OpenJigsawSelect, target)) {
    FUZZ_CHECK(s.Game.CurrentLevel.ImageW == 77);
    return;
  }
  FUZZ_CHECK(thumbnail);
  const uint8_t choice = data[size / 2];
  TOpenChoices choices;
  choices.SeedPanelVisible = true;
  choices.SeedText = "4711";
  if (SelectJigsaw(s, path, kLevelCount - 1, uint8_t(choice % 7), choice & 8, choice & 16))
    StartJigsawGame(s, path, choices);
}
