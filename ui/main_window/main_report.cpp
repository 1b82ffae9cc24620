// The help menu's commands, the system report and the full-screen switch.
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QScreen>

#include "game/game_open.h"
#include "game/game_paths.h"
#include "game/layout.h"
#include "game/pieces.h"
#include "game/system_report.h"
#include "game/window_commands.h"
#include "platform/chm_file.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "ui/dialogs/about_form.h"
#include "ui/dialogs/credits_form.h"
#include "ui/dialogs/quick_help_form.h"
#include "ui/main_window/main_form.h"

namespace {

std::string ShortDateTime(const QDateTime& t) { return QLocale().toString(t, QLocale::ShortFormat).toStdString(); }

}  // namespace

void TF_Main::ShowHelpTopic(const std::string& topic) {
  if (!helpViewer_) helpViewer_ = CreateChmHelpViewer();
  if (helpViewer_ && !settings_.sHelpFile.empty()) helpViewer_->ShowTopic(settings_.sHelpFile, topic);
}

TF_Help& TF_Main::QuickHelp() {
  if (!quickHelp_) {
    quickHelp_ = std::make_unique<TF_Help>(this);
    quickHelp_->OwnerKeyDown = [this](QKeyEvent* e) { keyPressEvent(e); };
    quickHelp_->OwnerKeyUp = [this](QKeyEvent* e) { keyReleaseEvent(e); };
    quickHelp_->OwnerKey = [](int key) { return IsShortcutKey(key); };
  }
  return *quickHelp_;
}

std::string TF_Main::ReportFilePath() const { return session_.Paths.sMyDocs + kReportFileName; }

void TF_Main::MI_HelpReportClick() {
  TReportEnv env;
  env.Date = ShortDateTime(QDateTime::currentDateTime());
  env.ExePath = QCoreApplication::applicationFilePath().toStdString();
  const QFileInfo exe(QString::fromStdString(env.ExePath));
  if (exe.exists()) env.ExeDate = ShortDateTime(exe.lastModified());
  env.Solved = field_->Solved;
  if (const QScreen* screen = this->screen()) {
    const QSize size = screen->size() * screen->devicePixelRatio();
    env.ScreenWidth = size.width();
    env.ScreenHeight = size.height();
    env.BitsPerPixel = screen->depth();
  }
  env.System = ReadSystemFacts(session_.Paths.sExeDir);
  const std::vector<std::string> lines = BuildSystemReport(session_, settings_, env);
  const std::string path = ReportFilePath();
  if (!WriteReportFile(path, lines)) ShowMessageBox("Cannot write the file " + path, kProgramTitle, kMbIconExclamation);
  // As before an unwritable report: the viewer is still asked, it shows an older one or nothing.
  OpenWithDesktop(path);
}

void TF_Main::MI_FullScreenClick() {
  TGameSession& s = session_;
  // The pieces are scaled from this size once the window has its new one: at once on some
  // platforms, when the window manager gets to it on a desktop (FollowFullScreenSwitch).
  switchFromW_ = s.Game.Field.FieldW;
  switchFromH_ = s.Game.Field.FieldH;
  switchPending_ = true;
  T_SwitchSettle.start();
  // Noted while the frame is still there; a window just shown (full screen stored in the
  // settings) gets it first, or leaving full screen would not know where the caption goes.
  if (!fullScreenOn_) AwaitWindowFrame();
  fullScreenOn_ = !fullScreenOn_;
  settings_.Flags.FullScreen = fullScreenOn_;
  if (fullScreenOn_) {
    showFullScreen();
  } else {
    showNormal();
    AwaitWindowFrame();  // framed again only now when it never had a frame before
    PlaceInWorkArea();
  }
  QCoreApplication::processEvents();
  FieldResized();
  if (FullScreenChanged) FullScreenChanged(fullScreenOn_);
}

void TF_Main::PlaceInWorkArea() {
  const QScreen* sc = screen();
  if (!sc || fullScreenOn_) return;
  // The window's frame and caption inside the work area, where the window manager can reach them.
  setGeometry(sc->availableGeometry().marginsRemoved(WindowFrame()));
}

void TF_Main::WorkAreaChanged() {
  if (fullScreenOn_) {
    if (const QScreen* sc = screen(); sc && geometry() != sc->geometry()) showFullScreen();
  } else {
    FieldResized();
  }
}

void TF_Main::MI_HelpContClick() { ShowHelpTopic("cont-quix.htm"); }

void TF_Main::MI_HelpQuickClick() {
  // Only shown: it stays where the start-up or the player put it.
  TF_Help& help = QuickHelp();
  help.show();
  help.raise();
}

void TF_Main::MI_HelpHomePageClick() {
  for (int32_t i = 0; i < kServerCount; ++i)
    if (!SiteUrl(sources_, i).empty()) OpenWithDesktop(SiteUrl(sources_, i));
}

void TF_Main::MI_HelpProductHomePageClick() {
  for (int32_t i = 0; i < kServerCount; ++i)
    if (!SiteUrl(sources_, i).empty()) OpenWithDesktop(SiteUrl(sources_, i) + "zorva-quix.htm");
}

void TF_Main::MI_HelpCreditsClick() {
  TF_Credits credits(lang_, this);
  Modal(credits);
}

void TF_Main::MI_HelpAboutClick() {
  session_.AutoSaveHold = true;
  TF_AboutZorvaQuix about(this);
  about.B_Frame->hide();
  about.setWindowTitle(QString::fromStdString(GetLangString(lang_, 9, "FormCaption")));
  about.SetDialogStyle(true);
  Modal(about);
  session_.AutoSaveHold = false;
}
