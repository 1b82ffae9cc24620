#pragma once
#include <cstdint>
#include <string>

#include "engine/knobs.h"
#include "foundation/dib_image.h"
#include "foundation/image_control.h"
#include "foundation/lang.h"
#include "foundation/skin_window.h"
#include "game/game_state.h"

// The view state stored in saved games: two words play does not use, the field background and
// the backgrounds of game windows 0 to 5 (a colour 0x00BBGGRR or a picture code 10..17).
struct TViewState {
  int32_t Reserved[2] = {0, 0};
  int32_t lBkg = 0x989898;
  int32_t WindowBkg[6] = {0x989898, 0x989898, 0x989898, 0x989898, 0x989898, 0x989898};
};
static_assert(sizeof(TViewState) == 36);

// Every folder and file the game uses; folders end with '/'.
struct TGamePaths {
  std::string sExeDir;      // the program folder (read only)
  std::string sAppDataDir;  // per-user data: settings, temporary files
  std::string sMyDocs;      // the player's documents folder
  std::string sDocsDir;     // documents/Tamo Games/Zorva Jigsaw Quix/
  std::string sJigsawDir;   // the player's jigsaws
  std::string sSavedDir;    // the player's saved games
  std::string sPicturesDir;
  std::string sExeJigsawDir;  // the distributed jigsaws
  std::string sShapeFile;
  std::string TempPictureFile;
  std::string sIniFile;
  std::string sAutoSave;
  bool FirstRun = false;
  // Which of the player's folders cannot be used, why, and what is lost by it; empty: all can.
  std::string FolderProblem;
};

constexpr char kSavedGameExtension[] = ".sv1";
constexpr char kAutoSaveName[] = "autosaved";

// The autosave: on, and its interval in minutes.
struct TAutoSaveSettings {
  bool Enabled = true;
  int32_t Interval = 10;
};

// What the browser's level page and seed panel decided for the game about to be opened.
struct TOpenChoices {
  bool SeedPanelVisible = false;
  std::string SeedText;
  bool FitToScreen = false;
};

// What opening and saving ask of the main window, which implements all of it.
class TSessionHost {
 public:
  virtual void ShowProgress(const std::string& progressKey, int32_t steps) = 0;
  virtual void HideProgress() = 0;
  // A warning for the player (a message box in the game).
  virtual void ShowMessage(const std::string& text) = 0;
  // The play area a picture is fitted into for fit-to-screen.
  virtual void PlayArea(int32_t& width, int32_t& height) = 0;
  // A pocket was shown or hidden: its toolbar face and menu check follow.
  virtual void PocketChanged(int32_t pocket) = 0;

 protected:
  ~TSessionHost() = default;
};

// One open game with everything around it that opening and saving read or write: the game
// state, the seven game windows, the pictures kept beside the game, the paths and the flags.
struct TGameSession {
  TGameState Game;
  TSkinWindows Windows;
  TGamePaths Paths;
  TSessionHost& Host;

  TDibHolder LoadedPicture;  // the jigsaw's picture as loaded (fitted when asked)
  TDibHolder ThumbImage;     // the Thumbnail window's picture
  TImageControl StoreThumb;  // the preview stored in saved games
  std::string InfoText;      // the description of the picture (the info window's text)
  TViewState ViewState;
  // The texts of the loaded language (pocket captions); none in tools: the keys show.
  const TLanguageState* Lang = nullptr;

  std::string sJig;        // the open jigsaw file, or the jigsaw name of a saved game
  std::string sSolve;      // the open saved game; empty for a game opened from a jigsaw
  std::string sJigName;    // the jigsaw's name without folder and extension
  std::string sSvJigName;  // the jigsaw name of the last saved game selected

  bool SaveModified = false;      // changed since the last manual save
  bool AutoSaveModified = false;  // changed since the last save of any kind
  bool AutoSaveHold = false;      // a command or a save runs: the autosave waits
  bool SaveRunning = false;       // a save is being written
  bool AutoSaveFailed = false;    // the last autosave failed and said so: the next ones keep quiet
  TAutoSaveSettings AutoSave;
  double LastAutoSaveTime = 0;  // seconds; set when a game opens and by every autosave

  // The cut's knob set and the knob template image it reads.
  TKnobState Knobs;
  TDibHolder KnobTemplates;

  explicit TGameSession(TSessionHost& host) : Host(host) {}
  TGameSession(const TGameSession&) = delete;
  TGameSession& operator=(const TGameSession&) = delete;
};

// Holds the autosave while it lives and gives back the hold it found, however the work it
// guards ends: an autosave must not write a game that is being replaced or saved.
class TAutoSaveHold {
 public:
  explicit TAutoSaveHold(TGameSession& s) : s_(s), held_(s.AutoSaveHold) { s.AutoSaveHold = true; }
  ~TAutoSaveHold() { s_.AutoSaveHold = held_; }
  TAutoSaveHold(const TAutoSaveHold&) = delete;
  TAutoSaveHold& operator=(const TAutoSaveHold&) = delete;

 private:
  TGameSession& s_;
  bool held_;
};

void ShowSessionProgress(TGameSession& s, const std::string& key, int32_t steps);
void HideSessionProgress(TGameSession& s);
void ShowSessionMessage(TGameSession& s, const std::string& text);

// Shows the progress panel for the length of a scope: every way out hides it again.
class TProgressScope {
 public:
  TProgressScope(TGameSession& s, const std::string& key, int32_t steps) : s_(s) {
    ShowSessionProgress(s_, key, steps);
  }
  ~TProgressScope() { HideSessionProgress(s_); }
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

 private:
  TGameSession& s_;
};
