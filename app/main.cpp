#include <QApplication>
#include <QDir>

#include <algorithm>
#include <memory>

#include "game/game_paths.h"
#include "game/splash_wait.h"
#include "ui/dialogs/about_form.h"
#include "ui/main_window/main_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kProgramTitle);
  const std::string programDir = ProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  // The title card stays up for at least two seconds while the game starts behind it.
  TSplashClock clock = SystemSplashClock();
  // The pauses of the wait let paint events through: a window manager maps the splash only
  // after it was shown, and its first paint arrives during the wait.
  clock.Sleep = [sleep = clock.Sleep](int32_t ms) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sleep(std::min(ms, int32_t(20)));
  };
  const double start = clock.Now();
  auto splash = std::make_unique<TF_AboutZorvaQuix>();
  splash->show();
  splash->repaint();
  QCoreApplication::processEvents();
  TF_Main window(programDir);
  window.StartUp([&] {
    WaitForSplash(start, clock);
    splash.reset();
  });
  return app.exec();
}
