#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

// Qt keeps some process-lifetime allocations (multimedia backends, font caches, the session
// bus); leaks are reported for our code only.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6\nleak:libfontconfig\nleak:libdbus-1\n"; }

// Every test program runs inside a Qt application on the offscreen platform, with a private
// runtime folder, so text, fonts, sound and widgets behave as they do in the game.
// ZORVA_DATA_DIR is the program folder of the source tree; ZORVA_TEST_DATA holds test files.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ZORVA_DATA_DIR", ZORVA_SOURCE_DIR "/data", 0);
  setenv("ZORVA_TEST_DATA", ZORVA_SOURCE_DIR "/tests/data", 0);
  QTemporaryDir runtime;
  setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
