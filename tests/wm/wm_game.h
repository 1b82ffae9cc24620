#pragma once
// The real game under the window manager, driven by real input: a private home for the
// player's files, silent sounds, and the main window made by the scenario.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/private_home.h"
#include "wm/wm_input.h"
#include "wm/wm_support.h"

class TGameUnderWM : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnWindowManagerDisplay()) GTEST_SKIP() << "runs under run_under_wm.sh";
    if (!HaveRealInput()) GTEST_SKIP() << "needs xdotool";
    UsePrivateHome(dir);
    SetSoundSink([](const std::string&) {});
  }
  void TearDown() override {
    main.reset();
    SetSoundSink({});
  }
  void MakeMain() { main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/"); }
  // The main window made, shown, framed and placed in the work area, as at start-up.
  void MakePlacedMain() {
    MakeMain();
    ASSERT_TRUE(ShowFramed(*main));
    main->PlaceInWorkArea();
    Settle();
  }

  TTempFolder dir;
  std::unique_ptr<TF_Main> main;
};
