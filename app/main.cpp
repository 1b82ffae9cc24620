#include <QApplication>
#include <QDir>
#include <QScreen>

#include <memory>

#include "ui/dialogs/about_form.h"
#include "ui/main_window/main_form.h"
#include "game/game_paths.h"
#include "game/splash_wait.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kProgramTitle);
  const std::string programDir = ProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  // The title card stays up for at least two seconds while the game starts behind it.
  const TSplashClock clock = SystemSplashClock();
  const double start = clock.Now();
  auto splash = std::make_unique<TF_AboutZorvaQuix>();
  splash->show();
  splash->repaint();
  QCoreApplication::processEvents();
  TF_Main window(programDir);
  // The window takes the work area.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
  window.show();
  window.ReadStartupSettings();
  WaitForSplash(start, clock);
  splash.reset();
  window.StartupChoice();
  return app.exec();
}
