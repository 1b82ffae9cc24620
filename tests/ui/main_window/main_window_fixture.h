#pragma once
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/pieces.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_folder.h"
#include "ui/dialogs/dir_view_form.h"
#include "ui/main_window/main_form.h"
#include "ui/main_window/private_home.h"

// The jigsaws of the scenarios open at the largest pieces, spread out, always cut alike.
inline void UseScenarioLevel(TGameState& g, bool rotate = false, bool fitToScreen = false) {
  g.Rng.RandSeed = 20261206;
  TLevelRecord& d = g.DefaultLevel;
  d = TLevelRecord{};
  d.Level = 13;
  d.ShapeStyle = TShapeStyle::Classic;
  d.SpreadOut = 1;
  d.Rotate = rotate ? 1 : 0;
  d.FitToScreen = fitToScreen ? 1 : 0;
}

// The main window on a private home folder, opening a distributed jigsaw in big pieces.
class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    UsePrivateHome(dir);
    SetSoundSink([this](const std::string& played) { sounds.push_back(played); });
    main = std::make_unique<TF_Main>(std::string(getenv("ZORVA_DATA_DIR")) + "/");
    main->resize(1200, 900);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  }
  void TearDown() override {
    main.reset();
    SetSoundSink({});
    SetMessageBoxHandler({});
  }

  // Message boxes answer with `answer`; their texts gather in shownMessages.
  void AnswerMessages(int answer) {
    SetMessageBoxHandler([this, answer](const std::string& text, const std::string&, int) {
      shownMessages.push_back(text);
      return answer;
    });
  }

  bool Open(const std::string& name, bool rotate = false, bool fitToScreen = false) {
    UseScenarioLevel(main->Session().Game, rotate, fitToScreen);
    return main->StartGame(main->Session().Paths.sJigsawDir + name);
  }

  bool InField(QPoint p) {
    const TFieldArea& f = main->Session().Game.Field;
    return p.x() >= 0 && p.y() >= 0 && p.x() < f.FieldW && p.y() < f.FieldH;
  }

  // A field point on piece i where it is the topmost piece, inside the field.
  bool PointOn(int32_t i, QPoint& at) {
    TGameState& g = main->Session().Game;
    const TPieceView view = PieceViewOf(main->Session().Windows.GameWindows[0]);
    const TPieceRecord& p = g.Pieces[size_t(i)];
    for (int32_t dy = p.BoxH / 2; dy < p.BoxH; ++dy)
      for (int32_t dx = p.BoxW / 2; dx < p.BoxW; ++dx) {
        const int32_t x = view.Client.Left - view.ScrollX + p.X + dx;
        const int32_t y = view.Client.Top - view.ScrollY + p.Y + dy;
        if (InField(QPoint(x, y)) && PieceAtPoint(g, view, x, y) == i) {
          at = QPoint(x, y);
          return true;
        }
      }
    return false;
  }

  // The next browsers are shown and driven by drive instead of running modally; a browser
  // still open afterwards is cancelled.
  void AnswerBrowser(std::function<void(TF_DirView&)> drive) {
    main->RunBrowser = [this, drive](TF_DirView& dv) {
      ++browserRuns;
      dv.show();
      QCoreApplication::processEvents();
      drive(dv);
      if (dv.isVisible()) dv.reject();
      return dv.result();
    };
  }
  // A browser in Save mode given a name.
  void SaveAs(const char* name) {
    AnswerBrowser([name](TF_DirView& dv) {
      EXPECT_EQ(dv.BrowseMode(), kBrowseSave);
      auto* edit = dv.findChild<QLineEdit*>("E_FileName");
      edit->setText(name);
      QTest::keyClick(edit, Qt::Key_Return);
    });
  }
  void ReleaseKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyPress(main.get(), key, mods);
    QTest::keyRelease(main.get(), key, mods);
  }

  TTempFolder dir;
  std::unique_ptr<TF_Main> main;
  std::vector<std::string> sounds;
  std::vector<std::string> shownMessages;
  int browserRuns = 0;
};
