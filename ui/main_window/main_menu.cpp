// The popup menu `PM_Menu`, its shortcuts (acting on key release), the toolbar bound to it,
// and the simple commands.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include "foundation/lang.h"
#include "game/layout.h"
#include "game/main_menu_keys.h"
#include "game/open_rules.h"
#include "game/pieces.h"
#include "ui/dialogs/save_solved_image.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"

namespace {

// Where the menu is split by separators: before these items.
bool SeparatorBefore(const std::string& name) {
  return name == "MI_FileSaveImage" || name == "MI_FileDownload" || name == "MI_GameThumb" || name == "MI_GameInfo" ||
         name == "MI_GameSelectAll" || name == "MI_GameGlass" || name == "MI_PocketsTile" || name == "MI_HelpReport" ||
         name == "MI_HelpCredits" || name == "MI_Options" || name == "MI_FullScreen";
}

// The field's virtual-key code of a key, 0 for keys no shortcut uses.
int32_t VirtualKey(int key) {
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (key == Qt::Key_Space) return kVkSpace;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return kVkF1 + (key - Qt::Key_F1);
  return 0;
}

}  // namespace

bool TF_Main::IsShortcutKey(int key) { return VirtualKey(key) != 0; }

QAction* TF_Main::MenuAction(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TF_Main::SetMenuCaption(QAction* action, const std::string& caption) {
  const std::string shortcut = ShortcutText(MainMenuShortcut(action->objectName().toStdString()));
  QString text = QString::fromStdString(caption);
  if (!shortcut.empty()) text += '\t' + QString::fromStdString(shortcut);
  action->setText(text);
}

void TF_Main::CreateMenu() {
  BuildMenuItems();
  ConnectRecentFiles();
  ConnectMenuCommands();

  // Saving the picture waits for a solved game, arranging for a selection.
  for (const char* name : {"MI_FileSaveImage", "MI_GameArrange"}) MenuAction(name)->setEnabled(false);
}

// The menu's items and submenus in the order of the menu tree, with their captions.
void TF_Main::BuildMenuItems() {
  PM_Menu = new QMenu(this);
  PM_Menu->setObjectName("PM_Menu");
  for (const TMenuKeyItem& item : MainMenuTree()) {
    if (SeparatorBefore(item.Name)) PM_Menu->addSeparator();
    QAction* action;
    if (item.Items.empty()) {
      action = PM_Menu->addAction(QString::fromStdString(item.Name));
    } else {
      QMenu* sub = PM_Menu->addMenu(QString::fromStdString(item.Name));
      sub->setObjectName(QString::fromStdString(item.Name));
      action = sub->menuAction();
      for (const TMenuKeyItem& subItem : item.Items) {
        if (SeparatorBefore(subItem.Name)) sub->addSeparator();
        if (subItem.Name == "MI_FileLast0") sub->addSeparator()->setObjectName("MI_FileLastSep");
        QAction* a = sub->addAction(QString::fromStdString(subItem.Name));
        a->setObjectName(QString::fromStdString(subItem.Name));
        actions_[subItem.Name] = a;
        SetMenuCaption(a, subItem.Name);
      }
    }
    action->setObjectName(QString::fromStdString(item.Name));
    actions_[item.Name] = action;
    SetMenuCaption(action, item.Name);
  }
}

void TF_Main::ConnectRecentFiles() {
  // Recent files: hidden and disabled until the list has entries.
  for (int32_t i = 0; i < kMaxRecentFiles; ++i) {
    QAction* a = MenuAction("MI_FileLast" + std::to_string(i));
    a->setVisible(false);
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, i] {
      if (i < settings_.RecentCount) OpenFile(settings_.RecentFiles[i].Path, true);
    });
  }
  for (QAction* a : PM_Menu->findChildren<QAction*>("MI_FileLastSep")) a->setVisible(false);
  if (QAction* sep = PM_Menu->findChild<QMenu*>("MI_File")->findChild<QAction*>("MI_FileLastSep"))
    sep->setVisible(false);
}

void TF_Main::ConnectMenuCommands() {
  auto on = [this](const char* name, std::function<void()> run) {
    connect(MenuAction(name), &QAction::triggered, this, std::move(run));
  };
  // Commands that change the game hold the autosave and drop the selection first.
  auto command = [this](std::function<void()> run) {
    return [this, run] {
      TGameSession& s = session_;
      s.AutoSaveHold = true;
      if (s.Game.Play.HasSelection) ClearSelection();
      run();
      s.AutoSaveHold = false;
    };
  };
  on("MI_Menu", [this] { PM_Menu->popup(toolbar_->ButtonBottomLeft(kToolbarApp)); });
  on("MI_FileOpen", command([this] { OpenFile("", false); }));
  on("MI_FileSave", [this] { SaveCommand(); });
  on("MI_FileSaveAs", [this] { SaveAsCommand(); });
  on("MI_FileSaveImage", [this] { SaveSolvedImage(); });
  on("MI_FileDownload", [this] { DownloadCommand(); });
  on("MI_GameWin1", command([this] {
       SetActiveSide(*field_, 0);
       RedrawField();
     }));
  on("MI_GameWin2", command([this] {
       SetActiveSide(*field_, 1);
       RedrawField();
     }));
  on("MI_GameThumb", [this] { MI_GameThumbClick(); });
  on("MI_GameGlass", [this] { MI_GameGlassClick(); });
  on("MI_GameSelectAll", command([this] {
       SelectInBand(session_.Game, PieceViewOf(ActiveWindowRecord(*field_)), true);
       RedrawField();
     }));
  for (int32_t k = 0; k < 4; ++k)
    on(("MI_PocketsPocket" + std::to_string(k + 1)).c_str(), [this, k] {
      const int32_t pocket = 2 + k;
      ShowPocket(pocket, !session_.Windows.GameWindows[size_t(pocket)].Visible);
      RefreshDrag(*field_);
      RedrawField();
    });
  on("MI_GameBkgAll", [this] { MI_GameBkgAllClick(); });
  on("MI_GameBkgCur", [this] { MI_GameBkgCurClick(); });
  on("MI_GameInfo", [this] { MI_GameInfoClick(); });
  on("MI_GameArrange", [this] { MI_GameArrangeClick(); });
  on("MI_GameGather", [this] { MI_GameGatherClick(); });
  on("MI_GameWeight", [this] { MI_GameWeightClick(); });
  on("MI_PocketsTile", [this] { MI_PocketsTileClick(); });
  on("MI_PocketsCascade", [this] { MI_PocketsCascadeClick(); });
  on("MI_Options", [this] { MI_OptionsClick(); });
  on("MI_HelpCont", [this] { MI_HelpContClick(); });
  on("MI_HelpQuick", [this] { MI_HelpQuickClick(); });
  on("MI_HelpHomePage", [this] { MI_HelpHomePageClick(); });
  on("MI_HelpProductHomePage", [this] { MI_HelpProductHomePageClick(); });
  on("MI_HelpReport", [this] { MI_HelpReportClick(); });
  on("MI_HelpCredits", [this] { MI_HelpCreditsClick(); });
  on("MI_HelpAbout", [this] { MI_HelpAboutClick(); });
  on("MI_FullScreen", [this] { MI_FullScreenClick(); });
  OptionsChanged = [this] {
    const bool twoSides = !session_.Game.PlaySettings.SingleMainWindow;
    MenuAction("MI_GameWin1")->setEnabled(twoSides && session_.Game.GameLoaded);
    MenuAction("MI_GameWin2")->setEnabled(twoSides && session_.Game.GameLoaded);
  };
  on("MI_Min", [this] { showMinimized(); });
  on("MI_Exit", [this] { close(); });
}

void TF_Main::MI_GameThumbClick() {
  TSkinWindows& ws = session_.Windows;
  TSkinWindow& t = ws.GameWindows[6];
  SetSkinWindowVisible(ws, t, !t.Visible);
  if (t.Visible) {
    SetSkinRectBounds(t.Outer, 0, 0, t.Outer.Width, t.Outer.Height);
    ResizeSkinWindow(t, false);
    BringSkinWindowToFront(ws, t);
  }
  session_.Game.Play.RedrawKind = kRedrawField;
  RefreshDrag(*field_);
  RedrawField();
}

void TF_Main::MI_GameGlassClick() {
  TSkinWindows& ws = session_.Windows;
  TSkinWindow& g = ws.GlassWindow;
  g.Visible = !g.Visible;
  if (g.Visible) {
    SetSkinRectBounds(g.Outer, 0, 0, g.Outer.Width, g.Outer.Height);
    ResizeSkinWindow(g, false);
  }
  session_.Game.Play.RedrawKind = kRedrawField;
  RefreshDrag(*field_);
  RedrawField();
}

void TF_Main::EnableGameCommands(bool on) {
  for (const char* name : {"MI_FileSave", "MI_FileSaveAs", "MI_Game", "MI_Pockets"}) MenuAction(name)->setEnabled(on);
  if (on) {
    const bool twoSides = !session_.Game.PlaySettings.SingleMainWindow;
    MenuAction("MI_GameWin1")->setEnabled(twoSides);
    MenuAction("MI_GameWin2")->setEnabled(twoSides);
  }
  RefreshToolbarEnabled();
}

void TF_Main::SetCommandsEnabled(bool on) {
  EnableGameCommands(on && session_.Game.GameLoaded);
  MenuAction("MI_FileOpen")->setEnabled(on);
  MenuAction("MI_FileDownload")->setEnabled(on);
  MenuAction("MI_FileSaveImage")->setEnabled(on && field_->Solved);
  for (int32_t i = 0; i < settings_.RecentCount; ++i) MenuAction("MI_FileLast" + std::to_string(i))->setEnabled(on);
  MenuAction("MI_FullScreen")->setEnabled(on);
  RefreshToolbarEnabled();
}

void TF_Main::RefreshToolbarEnabled() {
  if (!toolbar_) return;
  for (int32_t i = 0; i < kToolbarButtonCount; ++i) {
    const QAction* a = MenuAction(toolbar_->Record().ToolbarButtons[i].MenuItem);
    if (!a) continue;
    // An item inside a greyed sub-menu cannot be reached, and neither can its button.
    bool on = a->isEnabled();
    for (QObject* o : a->associatedObjects())
      if (auto* menu = qobject_cast<QMenu*>(o); menu && menu != PM_Menu) on = on && menu->menuAction()->isEnabled();
    toolbar_->SetButtonEnabled(i, on);
  }
}

void TF_Main::CreateToolbar() {
  toolbar_ = new TToolbarPanel(this);
  setMenuWidget(toolbar_);
  toolbar_->LoadArtwork(*field_->FrameSkin);
  toolbar_->Clicked = [this](int32_t index) {
    if (QAction* a = MenuAction(toolbar_->Record().ToolbarButtons[index].MenuItem)) a->trigger();
  };
  // Each button shows whether its menu item can run.
  for (int32_t i = 0; i < kToolbarButtonCount; ++i)
    if (QAction* a = MenuAction(toolbar_->Record().ToolbarButtons[i].MenuItem))
      connect(a, &QAction::changed, this, [this] { RefreshToolbarEnabled(); });
  RefreshToolbarEnabled();
}

void TF_Main::RefreshRecentMenu() {
  for (int32_t i = 0; i < kMaxRecentFiles; ++i) {
    QAction* a = MenuAction("MI_FileLast" + std::to_string(i));
    const bool used = i < settings_.RecentCount;
    if (used) a->setText(QString::fromStdString(RecentFileCaption(i, settings_.RecentFiles[i].Name)));
    if (used) a->setVisible(true);
    if (used) a->setEnabled(true);
  }
  if (settings_.RecentCount > 0)
    if (QAction* sep = PM_Menu->findChild<QMenu*>("MI_File")->findChild<QAction*>("MI_FileLastSep"))
      sep->setVisible(true);
}

std::vector<TMenuKeyItem> TF_Main::MenuKeyTree() const {
  std::vector<TMenuKeyItem> tree = MainMenuTree();
  for (TMenuKeyItem& item : tree) {
    if (QAction* a = MenuAction(item.Name)) item.Enabled = a->isEnabled();
    for (TMenuKeyItem& sub : item.Items)
      if (QAction* a = MenuAction(sub.Name)) sub.Enabled = a->isEnabled() && a->isVisible();
  }
  return tree;
}

bool TF_Main::RunShortcut(int key, Qt::KeyboardModifiers modifiers) {
  const int32_t vk = VirtualKey(key);
  if (vk == 0) return false;
  const uint8_t shift = FieldShiftState(modifiers, QApplication::mouseButtons(), false);
  const std::vector<TMenuKeyItem> tree = MenuKeyTree();
  const TMenuKeyItem* item = FindShortcutItem(tree, vk, shift);
  if (!item) return false;
  MenuAction(item->Name)->trigger();
  return true;
}
