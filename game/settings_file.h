#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "game/download_sources.h"
#include "game/game_session.h"

constexpr char kSettingsFileName[] = "zorva.ini";
constexpr char kDefaultLanguage[] = "english";
constexpr int32_t kMaxRecentFiles = 4;

// Settings that have no record of their own; the options dialog, the quick-help window and the
// main menu show them and copy them back.
struct TSettingsFlags {
  bool SoundPlay = true;      // sounds on
  bool ShowJoin = true;       // ShowConj: a star where pieces join
  bool ShowQuickHelp = true;  // the quick-help window is shown at start-up
  bool FullScreen = false;    // the game starts windowed
};

struct TRecentFile {
  std::string Path;
  std::string Name;  // the file-name part of Path
};

// What the settings file holds beyond the game session.
struct TSettings {
  TSettingsFlags Flags;
  std::string CurrentLanguage = kDefaultLanguage;
  std::string sHelpFile;  // help of the current language, else of the default language
  TRecentFile RecentFiles[kMaxRecentFiles];
  int32_t RecentCount = 0;  // newest first
};

// The folders and the host the reader needs, and what it asks of the windows. Hooks may be left
// empty (tests, tools).
struct TSettingsEnv {
  std::string sLangDir;      // language and help files; ends with '/'
  std::string sThumbDir;     // the download list's folder
  std::string DefaultDnSrc;  // host of download source entry 1
  TServerHosts ServerHosts;  // the sources' hosts: a stored DnSrc must be one of them
  // Loads a language file that exists.
  std::function<void(const std::string& path)> LoadLanguage;
  // The stored full-screen mode differs from the current one: switch it as the menu command does.
  std::function<void()> ToggleFullScreen;
};

// The recent-files menu caption of entry index: "&1. name".
std::string RecentFileCaption(int32_t index, const std::string& name);

// Every setting at its default, the default language loaded. Leaves FullScreen alone: its
// default is the mode the window is in.
void SetDefaultSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env);

// Start-up: the defaults, then every value the settings file (s.Paths.sIniFile) holds.
// Values outside what their users accept are pulled into range or keep their default.
// False when there is no readable settings file (the defaults stay).
bool ReadSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env);

// Exit: every setting into the settings file, keeping the lines others wrote there. The file is
// replaced safely; false when it could not be written (the old file is then untouched, and
// *error, when given, holds the system's error number).
bool WriteSettings(const TGameSession& s, const TSettings& st, int* error = nullptr);
