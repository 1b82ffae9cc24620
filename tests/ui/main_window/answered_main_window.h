#pragma once
#include <gtest/gtest.h>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "pack.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/private_home.h"

struct TShownMessage {
  std::string Text;
  int Flags;
};

// The main window on a private home and a program folder of the test's choice; message boxes
// and the desktop answered by the test (Yes to every question).
class AnsweredMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePrivateHome(dir);
    SetSoundSink([](const std::string&) {});
    SetDesktopOpenHandler([this](const std::string& target) { opened.push_back(target); });
    SetMessageBoxHandler([this](const std::string& text, const std::string&, int flags) {
      shown.push_back({text, flags});
      const int buttons = flags & 0x0F;
      return buttons == kMbYesNo || buttons == kMbYesNoCancel ? kIdYes : kIdOk;
    });
  }
  void TearDown() override {
    main.reset();
    SetSoundSink({});
    SetDesktopOpenHandler({});
    SetMessageBoxHandler({});
  }
  void Start(const std::string& programDir = std::string(getenv("ZORVA_DATA_DIR")) + "/") {
    main = std::make_unique<TF_Main>(programDir);
    main->resize(1200, 900);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->ReadStartupSettings();
  }
  // A jigsaw of a w x h picture with the description's bytes as they stand.
  std::string Pack(int w, int h, const std::string& description) {
    QImage picture(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) picture.setPixelColor(x, y, QColor((x * 7) & 255, (y * 11) & 255, 90));
    picture.save(QString::fromStdString(dir.File("picture.png")));
    std::ofstream(dir.File("description.txt"), std::ios::binary) << description;
    TPackOptions o;
    o.Picture = dir.File("picture.png");
    o.Description = dir.File("description.txt");
    std::string error;
    EXPECT_TRUE(PackJigsaw(o, dir.File("test.zvq"), &error)) << error;
    return dir.File("test.zvq");
  }
  bool Open(const std::string& path, uint8_t level, uint8_t shape, uint32_t seed) {
    main->Session().Game.Rng.RandSeed = seed;
    TLevelRecord& d = main->Session().Game.DefaultLevel;
    d = TLevelRecord{};
    d.Level = level;
    d.ShapeStyle = TShapeStyle(shape);
    return main->StartGame(path);
  }

  TTempFolder dir;
  std::unique_ptr<TF_Main> main;
  std::vector<TShownMessage> shown;
  std::vector<std::string> opened;
};
