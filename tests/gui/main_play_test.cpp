#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gui/main_window_fixture.h"
#include "ui/dialogs/options_form.h"
#include "ui/main_window/main_form.h"

namespace {

QImage Shown(TF_Main& main) {
  return main.P_Field()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return a.width() * a.height() + 1;
  int n = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  return n;
}

// The pieces' wood frames and shadows look the same whichever way the game reached the field:
// just opened, continued from its save, or redrawn after Options came back to the same style.
TEST_F(MainWindow, PiecesLookTheSameOpenedContinuedAndAfterOptions) {
  ASSERT_TRUE(Open("dune-grass.zvq"));
  ASSERT_EQ(main->Session().Game.GameOptions.WoodStyle, 2);  // "Shadows", the default
  const QImage opened = Shown(*main);

  main->Session().SaveModified = true;
  SaveAs("frames");
  ReleaseKey(Qt::Key_S);
  const std::string saved = main->Session().Paths.sSavedDir + "frames.sv1";
  ASSERT_TRUE(std::filesystem::exists(saved));
  ASSERT_TRUE(main->StartGame(saved));
  EXPECT_EQ(DifferentPixels(Shown(*main), opened), 0) << "continued";

  // Options: another frame style, then "Shadows" again.
  TF_Options& options = main->Options();
  for (const char* wood : {"RB_VisualWood1", "RB_VisualWood2"}) {
    QTimer::singleShot(0, &options, [&options, wood] {
      options.findChild<QRadioButton*>(wood)->click();
      QTest::mouseClick(options.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
    });
    main->MI_OptionsClick();
  }
  EXPECT_EQ(DifferentPixels(Shown(*main), opened), 0) << "after Options";
}

}  // namespace
