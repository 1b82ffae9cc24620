#include "game/main_menu_keys.h"

#include "game/field.h"

namespace {

TMenuKeyItem Item(const char* name, int32_t key = 0, uint8_t shift = 0) {
  return TMenuKeyItem{name, {key, shift}, true, {}};
}

TMenuKeyItem Sub(const char* name, std::vector<TMenuKeyItem> items) {
  return TMenuKeyItem{name, {}, true, std::move(items)};
}

const TMenuKeyItem* FindIn(const std::vector<TMenuKeyItem>& items, const std::string& name) {
  for (const TMenuKeyItem& item : items) {
    if (item.Name == name) return &item;
    if (const TMenuKeyItem* found = FindIn(item.Items, name)) return found;
  }
  return nullptr;
}

bool Matches(const TMenuKeyItem& item, int32_t key, uint8_t shift) {
  return item.Shortcut.Key != 0 && item.Shortcut.Key == key && item.Shortcut.Shift == shift;
}

}  // namespace

std::vector<TMenuKeyItem> MainMenuTree() {
  return {
      Item("MI_Menu", 'M'),
      Sub("MI_File", {Item("MI_FileOpen", 'O'), Item("MI_FileSave", 'S'), Item("MI_FileSaveAs", 'S', kShiftShift),
                      Item("MI_FileSaveImage"), Item("MI_FileDownload", 'D'), Item("MI_FileLast0"),
                      Item("MI_FileLast1"), Item("MI_FileLast2"), Item("MI_FileLast3")}),
      Sub("MI_Game", {Item("MI_GameWin1", kVkSpace), Item("MI_GameWin2", kVkSpace), Item("MI_GameThumb", 'T'),
                      Item("MI_GameBkgAll", 'B'), Item("MI_GameBkgCur", 'B', kShiftShift), Item("MI_GameInfo", 'I'),
                      Item("MI_GameSelectAll", 'A'), Item("MI_GameArrange", 'R'), Item("MI_GameGather"),
                      Item("MI_GameGlass", 'G'), Item("MI_GameWeight", 'W')}),
      Sub("MI_Pockets", {Item("MI_PocketsPocket1", '1'), Item("MI_PocketsPocket2", '2'), Item("MI_PocketsPocket3", '3'),
                         Item("MI_PocketsPocket4", '4'), Item("MI_PocketsTile", 'L'), Item("MI_PocketsCascade", 'C')}),
      Item("MI_Options"),
      Sub("MI_Help",
          {Item("MI_HelpCont", kVkF1), Item("MI_HelpQuick"), Item("MI_HelpHomePage"), Item("MI_HelpProductHomePage"),
           Item("MI_HelpReport"), Item("MI_HelpCredits"), Item("MI_HelpAbout")}),
      Item("MI_FullScreen", 'U'),
      Item("MI_Min"),
      Item("MI_Exit"),
  };
}

TMenuShortcut MainMenuShortcut(const std::string& name) {
  static const std::vector<TMenuKeyItem> tree = MainMenuTree();
  const TMenuKeyItem* item = FindIn(tree, name);
  return item ? item->Shortcut : TMenuShortcut{};
}

std::string ShortcutText(TMenuShortcut s) {
  if (s.Key == 0) return {};
  std::string text;
  if (s.Shift & kShiftCtrl) text += "Ctrl+";
  if (s.Shift & kShiftShift) text += "Shift+";
  if (s.Shift & kShiftAlt) text += "Alt+";
  if (s.Key == kVkSpace)
    text += "Space";
  else if (s.Key >= kVkF1 && s.Key < kVkF1 + 12)
    text += "F" + std::to_string(s.Key - kVkF1 + 1);
  else
    text += char(s.Key);
  return text;
}

const TMenuKeyItem* FindShortcutItem(const std::vector<TMenuKeyItem>& menu, int32_t key, uint8_t shift) {
  if (key == kVkSpace) return nullptr;
  for (const TMenuKeyItem& item : menu) {
    if (Matches(item, key, shift)) return item.Enabled ? &item : nullptr;
    if (!item.Enabled || item.Items.empty()) continue;
    for (const TMenuKeyItem& sub : item.Items)
      if (Matches(sub, key, shift)) return sub.Enabled ? &sub : nullptr;
  }
  return nullptr;
}
