#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/lang.h"

// Loading a language writes its texts into the persistent forms. The forms implement these
// interfaces; the language code decides which key goes where, so it is tested without windows.

// A menu item as the language loader needs to see it.
struct TLangMenuItem {
  std::string Name;     // component name, the key of its caption
  std::string Caption;  // "-" for a separator
  int32_t Tag = 0;      // 100 and up: an item whose caption is not a language text
  std::vector<TLangMenuItem> Items;
};

// One form. Components are named by their component names ("B_Ok", "L_Comment", "TS_Level").
class TLangForm {
 public:
  virtual ~TLangForm() = default;
  virtual void SetFormCaption(const std::string& text) = 0;
  // The caption of a button, label, check box, radio button, group box, tab sheet or menu item.
  virtual void SetCaption(const std::string& component, const std::string& text) = 0;
  virtual void SetHint(const std::string& component, const std::string& hint) = 0;
  // Item `index` of a list control; the selected item stays selected.
  virtual void SetItem(const std::string& list, int32_t index, const std::string& text) = 0;
  // A text the form keeps for later (a format, a toggle caption, a shape name); see the field
  // names below.
  virtual void SetText(const std::string& field, const std::string& text) = 0;

  // The items of a popup menu (two levels), the pages of a page control, the number of items of
  // a list control and the position of a scroll bar.
  virtual std::vector<TLangMenuItem> MenuItems(const std::string& menu) const = 0;
  virtual std::vector<std::string> Pages(const std::string& pageControl) const = 0;
  virtual int32_t ItemCount(const std::string& list) const = 0;
  virtual int32_t Position(const std::string& scrollBar) const = 0;

  // Every text is in: the form redoes what depends on them (the browser shows its rotation and
  // fit-to-screen states; the quick-help window lays itself out again; the main window shows
  // its weight mode when a game is loaded).
  virtual void TextsChanged() = 0;
};

// The main window adds its toolbar and its game windows.
class TLangMainForm : public TLangForm {
 public:
  // Toolbar button `button` (0 to 22): false when it has no image or no menu item; else the
  // menu item's caption and the text of its shortcut (empty without one).
  virtual bool ToolbarButtonMenu(int32_t button, std::string& caption, std::string& shortcut) const = 0;
  virtual void SetToolbarButtonHint(int32_t button, const std::string& hint) = 0;
  virtual void SetThumbnailCaption(const std::string& text) = 0;
  // The four pocket captions are built again from the "PocketCaption" text.
  virtual void RefreshPocketCaptions() = 0;
};

// Names of the texts a form keeps (TLangForm::SetText).
inline constexpr char kRotateOnText[] = "RotateOnText";
inline constexpr char kRotateOffText[] = "RotateOffText";
inline constexpr char kFitOnText[] = "FitOnText";
inline constexpr char kFitOffText[] = "FitOffText";
inline constexpr char kMixRandomText[] = "MixRandomText";
inline constexpr char kMixSpreadOutText[] = "MixSpreadOutText";
// "ShapeNames0" .. "ShapeNames6" and "BorderNames0", "BorderNames1".
inline constexpr char kShapeNames[] = "ShapeNames";
inline constexpr char kBorderNames[] = "BorderNames";
inline constexpr char kAutoIntervalFormat[] = "AutoIntervalFormat";
inline constexpr char kStuckKoefFormat[] = "StuckKoefFormat";
// Hints of the browser's run-time option images: "MixImages0", "ShapeImages3", "BorderImages1".
inline constexpr char kMixImages[] = "MixImages";
inline constexpr char kShapeImages[] = "ShapeImages";
inline constexpr char kBorderImages[] = "BorderImages";

// The persistent forms; a form that does not exist (yet) is null and skipped.
struct TLangForms {
  TLangMainForm* Main = nullptr;
  TLangForm* DirView = nullptr;
  TLangForm* Info = nullptr;
  TLangForm* Download = nullptr;
  TLangForm* Options = nullptr;
  TLangForm* Help = nullptr;
  // Shows a warning message box (exclamation icon, OK) over the active window.
  std::function<void(const std::string& text)> ShowWarning;
};

constexpr int32_t kLangToolbarButtons = 23;

// Hint of toolbar button i from its menu item (nothing when it has none).
void SetToolbarHint(TLangMainForm& main, int32_t button);

// Loads a language file into state.LangList and writes its texts into the forms. A file that
// does not exist or cannot be read gives the "MS_CantFindLangFile" warning, false, and leaves
// the loaded language as it was.
bool LoadLanguage(TLanguageState& state, const std::string& path, const TLangForms& forms);
