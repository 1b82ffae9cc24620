#pragma once
// The game's folders laid out inside a test's temporary folder: program folder exe/ with its
// jigsaws, the player's jigsaws/ and saved/, all made.
#include <filesystem>
#include <string>

#include "game/game_session.h"
#include "support/temp_folder.h"

inline void PointPathsInto(TGamePaths& p, const TTempFolder& dir) {
  p.sExeDir = dir.File("exe") + "/";
  p.sExeJigsawDir = p.sExeDir + "jigsaws/";
  p.sJigsawDir = dir.File("jigsaws") + "/";
  p.sSavedDir = dir.File("saved") + "/";
  p.sAutoSave = p.sSavedDir + "autosaved.sv1";
  p.TempPictureFile = dir.File("~zjtemp.bmp");
  for (const std::string& d : {p.sExeJigsawDir, p.sJigsawDir, p.sSavedDir}) std::filesystem::create_directories(d);
}
