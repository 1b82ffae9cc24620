// The persistent forms the main window owns, the settings and the start-up choice.
#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "download/download_protocol.h"
#include "foundation/binary_file.h"
#include "game/game_open.h"
#include "game/game_paths.h"
#include "game/main_menu_keys.h"
#include "game/open_rules.h"
#include "platform/chm_file.h"
#include "platform/message_box.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/dialogs/info_form.h"
#include "ui/dialogs/options_form.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/main_toolbar.h"

void TF_Main::CreatePersistentForms() {
  TGameSession& s = session_;
  lang_.LangDir = s.Paths.sExeDir + "language/";
  settingsEnv_.sLangDir = lang_.LangDir;
  settingsEnv_.sThumbDir = DownloadListHome(s.Paths.sExeDir, s.Paths.sAppDataDir);
  LoadSources();
  settingsEnv_.LoadLanguage = [this](const std::string& path) { LoadLanguage(path); };
  settingsEnv_.ToggleFullScreen = [this] { MI_FullScreenClick(); };
  // The leftover of an interrupted save of older versions.
  std::error_code ec;
  std::filesystem::remove(s.Paths.sSavedDir + "zorva.svt", ec);

  session_.Lang = &lang_;
  RunBrowser = [](TF_DirView& dv) { return dv.exec(); };
  dirView_ =
      std::make_unique<TF_DirView>(TDirViewEnv{&s, &lang_, [this](const std::string& topic) { ShowHelpTopic(topic); },
                                               [this] {
                                                 download_->StartAtOnce = false;
                                                 Modal(*download_);
                                                 return download_->FirstDownloadedPath();
                                               }},
                                   this);
  if (!helpViewer_) helpViewer_ = CreateChmHelpViewer();
  TDownloadEnv dl;
  dl.Options = &s.Game.GameOptions;
  dl.Lang = &lang_;
  dl.sThumbDir = settingsEnv_.sThumbDir;
  // Downloads go to the player's folder, never to the program's that the browser may show.
  dl.sJigsawDir = PlayerJigsawFolder(s.Paths);
  // Beside the settings: a start-up sweeps there what an interrupted download left.
  dl.sTempDir = s.Paths.sAppDataDir;
  dl.sDnListFile = s.Paths.sAppDataDir + kDnListFileName;
  dl.sDnThumbFile = s.Paths.sAppDataDir + kDnThumbFileName;
  dl.sDnHeaderFile = s.Paths.sAppDataDir + kDnHeaderFileName;
  dl.Sources = sources_;
  dl.ReadSources = [this] { return LoadSources(); };
  dl.Help = THtmlHelp{helpViewer_.get()};
  dl.HelpFile = [this] { return settings_.sHelpFile; };
  download_ = std::make_unique<TF_Download>(std::move(dl), this);
}

const TDownloadSources& TF_Main::LoadSources() {
  sources_ = LoadDownloadSources(session_.Paths.sExeDir, session_.Paths.sAppDataDir);
  settingsEnv_.DefaultDnSrc = DefaultDnSrc(sources_);
  settingsEnv_.ServerHosts = sources_.ServerHosts;
  // Without a site address the web pages have nowhere to go.
  bool anySite = false;
  for (int32_t i = 0; i < kServerCount; ++i) anySite = anySite || !SiteUrl(sources_, i).empty();
  for (const char* name : {"MI_HelpHomePage", "MI_HelpProductHomePage"}) MenuAction(name)->setEnabled(anySite);
  return sources_;
}

TLangForms TF_Main::LangForms() {
  TLangForms forms;
  forms.Main = this;
  forms.DirView = dirView_.get();
  forms.Info = info_.get();
  forms.Download = download_.get();
  forms.Options = options_.get();
  forms.Help = quickHelp_.get();
  forms.ShowWarning = [this](const std::string& text) { MsgBox(text, kMbIconExclamation); };
  return forms;
}

void TF_Main::StartUp(const std::function<void()>& whileStarting) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  show();
  ReadStartupSettings();
  if (whileStarting) whileStarting();
  // The window manager has framed the window by now: frame and caption go inside the work area.
  PlaceInWorkArea();
  StartupChoice();
}

void TF_Main::ReadStartupSettings() {
  ReadSettings(session_, settings_, settingsEnv_);
  // Settings that live in controls.
  QuickHelp().CB_Show->setChecked(settings_.Flags.ShowQuickHelp);
  field_->SoundPlay = settings_.Flags.SoundPlay;
  field_->ShowJoin = settings_.Flags.ShowJoin;
  RefreshRecentMenu();
}

void TF_Main::WriteExitSettings() {
  settings_.Flags.ShowQuickHelp = QuickHelp().CB_Show->isChecked();
  settings_.Flags.FullScreen = fullScreenOn_;
  int error = 0;
  if (WriteSettings(session_, settings_, &error)) return;
  // The choices of this session would be lost without a word otherwise.
  MsgBox(FailureText("The settings could not be written to \"" + session_.Paths.sIniFile + "\"", error),
         kMbIconExclamation);
}

void TF_Main::StartupChoice() {
  // Once, before the browser: why it may hold only the program's jigsaws, and what else is lost.
  if (!session_.Paths.FolderProblem.empty()) MsgBox(session_.Paths.FolderProblem, kMbIconExclamation);
  OpenFile(StartupPresetPath(settings_), false);
  // Placed even when hidden: Help > Quick Help shows it there later.
  TF_Help& help = QuickHelp();
  help.PlaceBeside(*this);
  if (settings_.Flags.ShowQuickHelp) help.show();
}

// --- Texts of the loaded language ---------------------------------------------------------------

void TF_Main::SetFormCaption(const std::string&) {}  // the window keeps the program title

void TF_Main::SetCaption(const std::string& component, const std::string& text) {
  if (component == "SD_SaveImage") {
    saveImageCaption_ = text;
    return;
  }
  if (QAction* a = MenuAction(component)) SetMenuCaption(a, text);
}

void TF_Main::SetHint(const std::string&, const std::string&) {}
void TF_Main::SetItem(const std::string&, int32_t, const std::string&) {}
void TF_Main::SetText(const std::string&, const std::string&) {}

std::vector<TLangMenuItem> TF_Main::MenuItems(const std::string& menu) const {
  std::vector<TLangMenuItem> items;
  if (menu != "PM_Menu" || !PM_Menu) return items;
  auto itemOf = [](QAction* a) {
    TLangMenuItem item;
    item.Name = a->objectName().toStdString();
    item.Caption = a->isSeparator() ? "-" : a->text().section('\t', 0, 0).toStdString();
    // Recent files show their names, not language texts.
    if (item.Name.rfind("MI_FileLast", 0) == 0 && !a->isSeparator()) item.Tag = 100 + std::stoi(item.Name.substr(11));
    return item;
  };
  for (QAction* a : PM_Menu->actions()) {
    TLangMenuItem item = itemOf(a);
    if (QMenu* sub = a->menu())
      for (QAction* b : sub->actions()) item.Items.push_back(itemOf(b));
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<std::string> TF_Main::Pages(const std::string&) const { return {}; }
int32_t TF_Main::ItemCount(const std::string&) const { return 0; }
int32_t TF_Main::Position(const std::string&) const { return 0; }
void TF_Main::TextsChanged() {
  // The language pass wrote the plain weight caption over the one the mode shows.
  if (field_ && session_.Game.GameLoaded) ApplyWeightMode(*field_);
  update();
}

bool TF_Main::ToolbarButtonMenu(int32_t button, std::string& caption, std::string& shortcut) const {
  if (!toolbar_ || button < 0 || button >= kToolbarButtonCount) return false;
  const char* name = toolbar_->Record().ToolbarButtons[button].MenuItem;
  QAction* a = name ? MenuAction(name) : nullptr;
  if (!a) return false;
  caption = a->text().section('\t', 0, 0).toStdString();
  shortcut = ShortcutText(MainMenuShortcut(name));
  return true;
}

void TF_Main::SetToolbarButtonHint(int32_t button, const std::string& hint) {
  if (toolbar_) toolbar_->SetHint(button, hint);
}

void TF_Main::SetThumbnailCaption(const std::string& text) {
  SetSkinWindowCaption(session_.Windows.GameWindows[6], Utf8ToUtf16(text));
  session_.Game.Play.RedrawKind = kRedrawField;
}

void TF_Main::RefreshPocketCaptions() {
  for (int32_t pocket = 2; pocket <= 5; ++pocket) UpdatePocketCaption(session_, pocket);
  session_.Game.Play.RedrawKind = kRedrawField;
}
