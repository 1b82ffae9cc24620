#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs inside a Qt application on the offscreen platform, with a private
// runtime folder, so text, fonts, sound and widgets behave as they do in the game.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QTemporaryDir runtime;
  setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
