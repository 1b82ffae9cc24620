#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Zorva Jigsaw Quix");
  QMainWindow window;
  window.setWindowTitle("Zorva Jigsaw Quix");
  window.resize(1024, 720);
  window.show();
  return app.exec();
}
