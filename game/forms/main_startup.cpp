// The persistent forms the main window owns, the settings and the start-up choice.
#include <filesystem>

#include "dialogs/dir_view_form.h"
#include "download/download_protocol.h"
#include "game/forms/main_form.h"
#include "game/game_paths.h"
#include "game/open_rules.h"
#include "platform/message_box.h"

void TF_Main::CreatePersistentForms() {
  TGameSession& s = session_;
  lang_.LangDir = s.Paths.sExeDir + "language/";
  settingsEnv_.sLangDir = lang_.LangDir;
  settingsEnv_.sThumbDir = s.Paths.sExeDir + "thumb/";
  settingsEnv_.DefaultDnSrc = kServerHost1;
  settingsEnv_.LoadLanguage = [this](const std::string& path) { LoadLanguage(lang_, path, LangForms()); };
  // The leftover of an interrupted save of older versions.
  std::error_code ec;
  std::filesystem::remove(s.Paths.sSavedDir + "zorva.svt", ec);

  RunBrowser = [](TF_DirView& dv) { return dv.exec(); };
  dirView_ = std::make_unique<TF_DirView>(TDirViewEnv{&s, &lang_, {}, {}}, this);
}

TLangForms TF_Main::LangForms() {
  TLangForms forms;
  forms.DirView = dirView_.get();
  forms.ShowWarning = [](const std::string& text) { ShowMessageBox(text, kProgramTitle, kMbIconExclamation); };
  return forms;
}

void TF_Main::ReadStartupSettings() { ReadSettings(session_, settings_, settingsEnv_); }

void TF_Main::StartupChoice() { OpenFile(StartupPresetPath(settings_), false); }
