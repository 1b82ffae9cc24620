#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <string>

#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/about_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/private_home.h"
#include "ui/main_window/program_folder.h"
#include "wm/wm_stacking.h"
#include "wm/wm_support.h"

namespace {

// Start-up as the program does it, with the English language file missing: the message the
// settings reader raises opens while the splash is up, and the player must see it.
TEST(StartupUnderWindowManager, MessageRaisedBehindTheSplashIsSeen) {
  if (!OnWindowManagerDisplay()) GTEST_SKIP() << "needs the window-manager display";
  TTempFolder dir;
  UsePrivateHome(dir);
  SetSoundSink([](const std::string&) {});
  const std::string program = ProgramFolderWithout(dir, {"language/english.lng"});

  auto splash = std::make_unique<TF_AboutZorvaQuix>();
  splash->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(splash.get()));
  TF_Main window(program);
  window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
  ASSERT_TRUE(ShowFramed(window));
  Settle();

  // Every message of the start-up is answered; the first is looked at first.
  std::string text;
  int boxes = 0;
  bool boxOnTop = false, splashShown = true;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || StackPosition(*box) < 0) return;
    answer.stop();
    if (boxes++ == 0) {
      Settle();
      Screenshot("startup-message");
      text = box->text().toStdString();
      boxOnTop = OnTop(*box);
      splashShown = splash->isVisible() && StackPosition(*splash) >= 0;
    }
    box->accept();
    answer.start();
  });
  answer.start(50);
  window.ReadStartupSettings();
  answer.stop();
  EXPECT_GE(boxes, 1);
  EXPECT_NE(text.find("english.lng"), std::string::npos) << text;
  EXPECT_TRUE(boxOnTop);
  EXPECT_FALSE(splashShown);
  SetSoundSink({});
}

}  // namespace
