#pragma once
// A game session on real files: jigsaws packed from a generated picture, opened and cut the
// way the game does it; the session's own host (TTestSession) records panels and messages.
#include <QImage>
#include <QPainter>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/level_table.h"
#include "game/game_open.h"
#include "game/jigsaw_file.h"
#include "game/saved_game.h"
#include "pack.h"
#include "support/recording_host.h"
#include "support/same_dib.h"
#include "support/temp_folder.h"

inline void SetupTestSession(TGameSession& s, const TTempFolder& dir) {
  SetupGameWindows(s.Windows);
  s.Game.Field.FieldW = 800;
  s.Game.Field.FieldH = 600;
  s.Paths.sSavedDir = dir.Path().string() + "/";
  s.Paths.sAutoSave = s.Paths.sSavedDir + "autosaved.sv1";
  s.Paths.sShapeFile = std::string(getenv("ZORVA_DATA_DIR")) + "/pic_zorva.dat";
}

// A picture with detail everywhere, so that a wrong pixel anywhere shows.
inline void SaveTestPicture(const std::string& path, int w, int h) {
  QImage image(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixelColor(x, y, QColor((x * 3) & 255, (y * 5) & 255, (x + y) & 255));
  image.save(QString::fromStdString(path));
}

inline std::string PackTestJigsaw(const TTempFolder& dir, const std::string& name, int w, int h) {
  SaveTestPicture(dir.File(name + ".png"), w, h);
  std::ofstream(dir.File(name + ".txt")) << "A test picture\nwith two lines\n";
  TPackOptions o;
  o.Picture = dir.File(name + ".png");
  o.Description = dir.File(name + ".txt");
  std::string error;
  const std::string path = dir.File(name + ".zvq");
  if (!PackJigsaw(o, path, &error)) return {};
  return path;
}

// The browser's part: the header into CurrentLevel, then the level page's choices.
inline bool SelectJigsaw(TGameSession& s, const std::string& path, int32_t level, uint8_t shape, bool border,
                         bool rotate, bool spreadOut = true) {
  TImageControl load;
  TJigsawOpenTarget target{s.Game.CurrentLevel, load, s.Paths.sSavedDir + "~zjtemp.bmp", {}, {}};
  s.Game.CurrentLevel = TLevelRecord{};
  if (!OpenJigsaw(path, OpenJigsawSelect, target)) return false;
  TLevelRecord choice{};
  choice.Level = level;
  choice.ShapeStyle = TShapeStyle(shape);
  choice.BorderStyle = TBorderStyle(border);
  choice.Rotate = rotate;
  choice.SpreadOut = spreadOut;
  return ApplyLevelChoices(s.Game.CurrentLevel, choice, false);
}

inline bool OpenTestGame(TGameSession& s, const std::string& path, int32_t level, uint8_t shape, bool border,
                         bool rotate, const std::string& seed = "4711") {
  if (!SelectJigsaw(s, path, level, shape, border, rotate)) return false;
  TOpenChoices choices;
  choices.SeedPanelVisible = true;
  choices.SeedText = seed;
  return StartJigsawGame(s, path, choices);
}

inline bool SamePieces(const TGameState& a, const TGameState& b) {
  const int32_t n = a.GameLevel.TotalTileNum;
  return n == b.GameLevel.TotalTileNum && n > 0 &&
         std::memcmp(a.Pieces.data(), b.Pieces.data(), size_t(n) * sizeof(TPieceRecord)) == 0;
}
