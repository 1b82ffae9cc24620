#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "foundation/lang.h"
#include "game/game_options.h"
#include "game/game_session.h"
#include "game/settings_file.h"
#include "game/settings_table.h"

// What the options dialog offers and how its choices reach the game, without any window.

// The mouse combinations of the three binding lists, in list order.
constexpr int32_t kMouseCombinationCount = 7;
extern const TMouseBinding MouseCombinations[kMouseCombinationCount];

// The two presets of the play-mode list (items 0 and 1; item 2 is "Other").
extern const TPlaySettings StandardMouseScheme;
extern const TPlaySettings SimpleMouseScheme;
enum : int32_t { kPlayModeStandard = 0, kPlayModeSimple = 1, kPlayModeOther = 2 };

// The list item of a binding, -1 when it is none of the seven.
int32_t MouseCombinationIndex(const TMouseBinding& binding);

// What the play page shows: a list item per binding (-1 empty) and the two check boxes.
struct TBindingChoice {
  int32_t RotCW = -1;
  int32_t RotCCW = -1;
  int32_t MoveOW = -1;
  bool SingleMainWindow = false;
  bool ClickToDrag = false;
};

TBindingChoice BindingChoiceOf(const TPlaySettings& play);
// Standard or Simple when the choice is exactly that preset, else Other (also with an empty list).
int32_t PlayModeOf(const TBindingChoice& choice);
// Two bindings on the same item (an empty list never collides).
bool BindingsCollide(const TBindingChoice& choice);

// The radio button of a style: anything beyond the list takes the last button.
int32_t EmbossButtonOfStyle(TEmbossStyle style);  // 0..3
int32_t WoodButtonOfStyle(TWoodStyle style);      // 0..2

extern const char* const SecureMethodNames[kSecureMethodCount];

// The six pages in order, with their help context and help topic.
struct TOptionsPage {
  const char* Name;
  int32_t HelpContext;
  const char* Topic;
};
constexpr int32_t kOptionsPageCount = 6;
extern const TOptionsPage OptionsPages[kOptionsPageCount];

// Default colours the wood colour picker offers.
inline constexpr int32_t kWoodDefaultColors[] = {0x49687A, 0x92ADBE};

// What the main window loads into the dialog before showing it and reads back after OK: a copy
// of the settings' records, of which the dialog shows and edits the rows marked for it.
using TOptionsValues = TSettingsValues;

TOptionsValues OptionsValuesOf(const TGameSession& s, const TSettings& st);

// What the main window does besides the records after OK.
class TOptionsApplyHost {
 public:
  virtual void ClearSelection() = 0;  // a selection exists
  // The First Side becomes the visible side (single main window turned on in a running game).
  virtual void ShowFirstSide() = 0;
  // Loads a language file (the language loader reports a missing one).
  virtual void LoadLanguage(const std::string& path) = 0;

 protected:
  ~TOptionsApplyHost() = default;
};

// What changed, for the menus and the field.
struct TOptionsApplied {
  bool SingleMainWindowChanged = false;
  bool EffectsChanged = false;
};

// After OK: every row the dialog shows from the values into the session and the settings (a number
// outside its range keeps its value or is pulled in, as the table says), then what the changes
// call for: the second side's pieces move to the first when single main window turns on, new
// effect styles rebuild the emboss maps of a running game under the "Prog_ChangeEmboss"
// progress, and a chosen language is loaded.
TOptionsApplied ApplyOptionsValues(TGameSession& s, TSettings& st, TLanguageState& lang, const TOptionsValues& v,
                                   const std::string& langName, TOptionsApplyHost& host);
