#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <string>

#include "foundation/dib_image.h"
#include "foundation/toolbar.h"
#include "game/field.h"
#include "gui/main_window_fixture.h"
#include "ui/main_window/main_toolbar.h"

namespace {

// The toolbar strip ends with its right cap at the window's edge, whatever the window's width.
TEST_F(MainWindow, ToolbarStripEndsAtTheWindowsEdge) {
  const TDibImage& skin = *main->Field().FrameSkin;
  const TSkinStripPieces& cap = kToolbarStrip;
  for (const int width : {640, 1000, 1333}) {
    main->resize(width, 800);
    QCoreApplication::processEvents();
    TToolbarPanel* bar = main->Toolbar();
    ASSERT_EQ(bar->width(), main->width()) << width;
    const QImage shown = bar->grab().toImage();
    ASSERT_EQ(shown.width(), width);
    // Rows 3 and 20 of the cap pass below and through the buttons' band; the cap has no button.
    for (const int y : {3, 20})
      for (int x = 0; x < kToolbarCapWidth; ++x) {
        const uint32_t want = uint32_t(GetDibPixel(skin, cap.RightX + x, cap.Y + y));
        const QRgb got = shown.pixel(width - kToolbarCapWidth + x, y);
        EXPECT_EQ(uint32_t(qRed(got) | qGreen(got) << 8 | qBlue(got) << 16), want)
            << "width " << width << " cap column " << x << " row " << y;
      }
  }
}

}  // namespace
