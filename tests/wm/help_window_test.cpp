#include <QApplication>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "gui/private_home.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/main_window/main_form.h"
#include "wm/wm_stacking.h"
#include "wm/wm_support.h"

namespace {

QWidget* HelpWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "F_HelpViewer") return w;
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == "F_HelpViewer") return w;
  return nullptr;
}

// F1 in the browser opens the help in front of it, a click on the help keeps it there, and
// leaving the game closes the help and lets the program end.
TEST(HelpUnderWindowManager, HelpFromTheBrowserIsInFrontAndEndsWithTheGame) {
  if (!OnWindowManagerDisplay()) GTEST_SKIP() << "needs the window-manager display";
  TTempFolder dir;
  UsePrivateHome(dir);
  SetSoundSink([](const std::string&) {});
  auto window = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
  window->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  ASSERT_TRUE(ShowFramed(*window));
  window->ReadStartupSettings();
  Settle();

  bool inFront = false, keptInFront = false, active = false;
  window->RunBrowser = [&](TF_DirView& dv) {
    QTimer::singleShot(0, &dv, [&] {
      ASSERT_TRUE(WaitFor([&] { return StackPosition(dv) >= 0; }));
      Settle();
      QTest::keyClick(&dv, Qt::Key_F1);
      QWidget* help = nullptr;
      ASSERT_TRUE(WaitFor([&] { return (help = HelpWindow()) && help->isVisible() && StackPosition(*help) >= 0; }));
      Settle();
      inFront = StackPosition(*help) > StackPosition(dv) && StackPosition(*help) > StackPosition(*window);
      // The player clicks into the help page to read on.
      QTextBrowser* page = help->findChild<QTextBrowser*>();
      QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
      Settle(600);
      Screenshot("help-from-browser");
      keptInFront = StackPosition(*help) > StackPosition(dv);
      active = QApplication::activeWindow() == help;
      dv.reject();
    });
    return dv.exec();
  };
  window->OpenFile("", false);
  EXPECT_TRUE(inFront);
  EXPECT_TRUE(keptInFront);
  EXPECT_TRUE(active);

  // Exit: the program's event loop ends once the game's window is closed.
  ASSERT_TRUE(HelpWindow() && HelpWindow()->isVisible());
  QTimer::singleShot(0, window.get(), [&] { window->close(); });
  QTimer::singleShot(8000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the help window kept the program running";
  QWidget* help = HelpWindow();
  EXPECT_TRUE(!help || !help->isVisible());
  window.reset();
  SetSoundSink({});
}

}  // namespace
