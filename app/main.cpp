#include <QApplication>
#include <QDir>
#include <QScreen>

#include "game/forms/main_form.h"
#include "game/game_paths.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kProgramTitle);
  const std::string programDir = ProgramFolder(QCoreApplication::applicationDirPath().toStdString());
  TF_Main window(programDir);
  // The window takes the work area.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
  window.show();
  window.OpenStartupGame();
  return app.exec();
}
