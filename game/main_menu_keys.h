#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The main window's only menu and its shortcuts. Keys are virtual-key codes ('A'..'Z', '0'..'9',
// space, F1 = 0x70); shift states use the field's bits (kShiftShift, kShiftAlt, kShiftCtrl and
// the mouse-button bits), which must match exactly.
constexpr int32_t kVkSpace = 0x20;
constexpr int32_t kVkF1 = 0x70;

struct TMenuShortcut {
  int32_t Key = 0;  // 0: none
  uint8_t Shift = 0;
};

// One item of the menu tree as the key search sees it.
struct TMenuKeyItem {
  std::string Name;
  TMenuShortcut Shortcut;
  bool Enabled = true;
  std::vector<TMenuKeyItem> Items;
};

// The menu's component names, two levels deep, in menu order, with their shortcuts and every
// item enabled. Separators are left out.
std::vector<TMenuKeyItem> MainMenuTree();
// The shortcut of one item of that tree (none for an unknown name).
TMenuShortcut MainMenuShortcut(const std::string& name);
// The text shown beside an item for its shortcut: "S", "Shift+S", "Space", "F1"; empty for none.
std::string ShortcutText(TMenuShortcut shortcut);

// The item a released key runs, or null. Top-level items are walked in order; the first whose
// shortcut matches ends the search, and runs only when enabled. An enabled item with sub-items
// that does not match has its sub-items walked the same way; a disabled one hides them. Deeper
// levels are not searched. Space never reaches the menu (it toggles the sides).
const TMenuKeyItem* FindShortcutItem(const std::vector<TMenuKeyItem>& menu, int32_t key, uint8_t shift);
