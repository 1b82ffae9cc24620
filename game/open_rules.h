#pragma once
#include <string>

#include "foundation/file_helpers.h"
#include "game/browser_model.h"
#include "game/game_session.h"
#include "game/settings_file.h"

// The choices around opening and saving that need no window.

// Paths compared without regard to letter case.
bool SamePath(const std::string& a, const std::string& b);
// A recent file opens straight away only when it is an existing saved game; anything else
// goes through the browser.
bool OpensWithoutBrowser(const std::string& path);
// Where the browser starts: the given path, else the open saved game, else the open jigsaw,
// each only when the file still exists; empty when none does.
std::string BrowserStartPath(const TGameSession& s, const std::string& path);
// The file a plain save writes: the open saved game, but never the autosave (a game continued
// from it is saved under a name of its own). Empty when a name must be asked for; also clears
// s.sSolve in that case.
std::string PlainSaveTarget(TGameSession& s);
// The file the browser is preset at when the game starts: the most recent file, else none.
std::string StartupPresetPath(const TSettings& st);
// The jigsaw of the first download (its name with the jigsaw extension), when that file exists.
std::string FirstDownloadedJigsaw(const std::string& firstDownloaded);
