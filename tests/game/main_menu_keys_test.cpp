#include <gtest/gtest.h>

#include "game/field.h"
#include "game/main_menu_keys.h"

namespace {

TMenuKeyItem* Find(std::vector<TMenuKeyItem>& items, const std::string& name) {
  for (TMenuKeyItem& item : items) {
    if (item.Name == name) return &item;
    for (TMenuKeyItem& sub : item.Items)
      if (sub.Name == name) return &sub;
  }
  return nullptr;
}

std::string Released(const std::vector<TMenuKeyItem>& menu, int32_t key, uint8_t shift = 0) {
  const TMenuKeyItem* item = FindShortcutItem(menu, key, shift);
  return item ? item->Name : "";
}

TEST(MenuKeys, ShortcutsReachTheirItemsWithTheExactShiftState) {
  const std::vector<TMenuKeyItem> menu = MainMenuTree();
  EXPECT_EQ(Released(menu, 'M'), "MI_Menu");
  EXPECT_EQ(Released(menu, 'S'), "MI_FileSave");
  EXPECT_EQ(Released(menu, 'S', kShiftShift), "MI_FileSaveAs");
  EXPECT_EQ(Released(menu, 'S', kShiftCtrl), "");
  EXPECT_EQ(Released(menu, 'S', kShiftShift | kShiftLeftDown), "");  // a held mouse button counts too
  EXPECT_EQ(Released(menu, 'B'), "MI_GameBkgAll");
  EXPECT_EQ(Released(menu, 'B', kShiftShift), "MI_GameBkgCur");
  for (int32_t k = 1; k <= 4; ++k) EXPECT_EQ(Released(menu, '0' + k), "MI_PocketsPocket" + std::to_string(k));
  EXPECT_EQ(Released(menu, 'L'), "MI_PocketsTile");
  EXPECT_EQ(Released(menu, 'C'), "MI_PocketsCascade");
  EXPECT_EQ(Released(menu, kVkF1), "MI_HelpCont");
  EXPECT_EQ(Released(menu, 'U'), "MI_FullScreen");
  EXPECT_EQ(Released(menu, 'Z'), "");
  EXPECT_EQ(Released(menu, kVkSpace), "");  // the sides' toggle, never a menu command
}

TEST(MenuKeys, DisabledItemsStopTheSearchAndHideTheirSubItems) {
  std::vector<TMenuKeyItem> menu = MainMenuTree();
  Find(menu, "MI_FileSave")->Enabled = false;
  EXPECT_EQ(Released(menu, 'S'), "");
  EXPECT_EQ(Released(menu, 'S', kShiftShift), "MI_FileSaveAs");
  Find(menu, "MI_Game")->Enabled = false;
  EXPECT_EQ(Released(menu, 'T'), "");
  EXPECT_EQ(Released(menu, 'W'), "");
  EXPECT_EQ(Released(menu, '1'), "MI_PocketsPocket1");
  // A disabled match ends the search even when a later item has the same key.
  menu.push_back(TMenuKeyItem{"Late", {'S', 0}, true, {}});
  EXPECT_EQ(Released(menu, 'S'), "");
  Find(menu, "MI_FileSave")->Enabled = true;
  EXPECT_EQ(Released(menu, 'S'), "MI_FileSave");
}

TEST(MenuKeys, ShortcutTexts) {
  EXPECT_EQ(ShortcutText(MainMenuShortcut("MI_FileSaveAs")), "Shift+S");
  EXPECT_EQ(ShortcutText(MainMenuShortcut("MI_GameWin2")), "Space");
  EXPECT_EQ(ShortcutText(MainMenuShortcut("MI_HelpCont")), "F1");
  EXPECT_EQ(ShortcutText(MainMenuShortcut("MI_PocketsPocket3")), "3");
  EXPECT_EQ(ShortcutText(MainMenuShortcut("MI_Exit")), "");
  EXPECT_EQ(ShortcutText(MainMenuShortcut("no such item")), "");
}

}  // namespace
