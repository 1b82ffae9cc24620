// Opening and saving through the browser, and the question before a game is left.
#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "game/browser_model.h"
#include "game/game_paths.h"
#include "game/jigsaw_file.h"
#include "game/open_rules.h"
#include "game/pieces.h"
#include "game/saved_game.h"
#include "game/window_commands.h"
#include "platform/message_box.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/download/download_form.h"
#include "ui/main_window/main_form.h"

bool TF_Main::AskSaveChanges() {
  if (!session_.SaveModified) return true;
  const int answer = ShowMessageBox(GetLangString(lang_, kLangMainForm, "Q_SaveChanges"), kProgramTitle,
                                    kMbYesNoCancel | kMbIconQuestion);
  if (answer == kIdCancel) return false;
  if (answer != kIdYes) return true;
  const std::string target = PlainSaveTarget(session_);
  if (target.empty()) return SaveCurrent();
  // A save that failed keeps the game: the close or the open that asked stops.
  return SaveTo(target);
}

bool TF_Main::SaveTo(const std::string& path) {
  TGameSession& s = session_;
  if (!SaveGame(s, path, false)) return false;
  RefreshSavedThumb(path);
  // A save elsewhere also brought the autosave up to date.
  RefreshSavedThumb(s.Paths.sAutoSave);
  return true;
}

void TF_Main::RefreshSavedThumb(const std::string& path) {
  if (session_.StoreThumb.Picture->Width > 0)
    dirView_->RefreshCachedThumb(FileNameOf(path), *session_.StoreThumb.Picture);
}

bool TF_Main::SaveCurrent() {
  TF_DirView& dv = *dirView_;
  dv.SetBrowseMode(kBrowseSave);
  if (RunBrowser(dv) != 1) return false;
  session_.sSolve = dv.ResultPath();
  return SaveTo(session_.sSolve);
}

bool TF_Main::SaveCommand() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return false;
  s.AutoSaveHold = true;
  if (s.Game.Play.HasSelection) ClearSelection();
  const std::string target = PlainSaveTarget(s);
  const bool ok = target.empty() ? SaveCurrent() : SaveTo(target);
  AddRecentFile(settings_, s.sSolve);
  RefreshRecentMenu();
  s.AutoSaveHold = false;
  RedrawField();
  return ok;
}

bool TF_Main::SaveAsCommand() {
  TGameSession& s = session_;
  if (!s.Game.GameLoaded) return false;
  s.AutoSaveHold = true;
  if (s.Game.Play.HasSelection) ClearSelection();
  const bool ok = SaveCurrent();
  AddRecentFile(settings_, s.sSolve);
  RefreshRecentMenu();
  s.AutoSaveHold = false;
  RedrawField();
  return ok;
}

bool TF_Main::OpenFile(const std::string& given, bool direct) {
  if (!AskSaveChanges()) return false;
  TGameSession& s = session_;
  if (direct && OpensWithoutBrowser(given) && OpenSavedGameFile(s, given, OpenSavedSelect)) return StartGame(given);
  TF_DirView& dv = *dirView_;
  dv.SetResultPath(BrowserStartPath(s, given));
  dv.SetBrowseMode(kBrowseLoad);
  if (RunBrowser(dv) != 1) return false;
  const std::string path = dv.ResultPath();
  if (LowerExtension(path) == JigsawExtension) {
    const TOpenChoices choices = dv.OpenChoices();
    return StartGame(path, &choices);
  }
  return StartGame(path);
}

void TF_Main::DownloadCommand() {
  download_->StartAtOnce = false;
  Modal(*download_);
  OpenFirstDownloaded();
}

void TF_Main::OpenFirstDownloaded() {
  const std::string path = FirstDownloadedJigsaw(download_->FirstDownloadedPath());
  if (path.empty()) return;
  if (MsgBox(GetLangString(lang_, kLangDownload, "Q_OpenFirstJigsaw"), kMbYesNo | kMbIconQuestion) != kIdYes) return;
  TGameSession& s = session_;
  s.AutoSaveHold = true;
  if (s.Game.Play.HasSelection) ClearSelection();
  OpenFile(path, false);
  s.AutoSaveHold = false;
}
