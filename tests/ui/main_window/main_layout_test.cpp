#include <gtest/gtest.h>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

#include <string>

#include "foundation/dib_image.h"
#include "foundation/toolbar.h"
#include "game/field.h"
#include "ui/main_window/main_toolbar.h"
#include "ui/main_window/main_window_fixture.h"

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

// Each button shows its own face the right way round: every opaque pixel of a face is on the
// toolbar where the button puts it.
TEST_F(MainWindow, ToolbarButtonsShowTheirFacesUnmirrored) {
  TToolbarPanel* bar = main->Toolbar();
  const QImage shown = bar->grab().toImage();
  int checked = 0;
  for (const TToolbarButton& b : bar->Record().ToolbarButtons) {
    if (!b.Visible || b.Face.Width == 0) continue;
    int differ = 0;
    for (int y = 0; y < std::min(b.Height, b.Face.Height); ++y)
      for (int x = 0; x < std::min(b.Width, b.Face.Width); ++x) {
        if (b.Face.BytesPerPixel == 4 && DibPixelAddress(b.Face, x, y)[3] != 255) continue;
        const uint32_t want = uint32_t(GetDibPixel(b.Face, x, y)) & 0xFFFFFF;
        const QRgb got = shown.pixel(b.Left + x, b.Top + y);
        differ += uint32_t(qRed(got) | qGreen(got) << 8 | qBlue(got) << 16) != want;
        ++checked;
      }
    EXPECT_EQ(differ, 0) << b.Name;
  }
  EXPECT_GT(checked, 29 * 29 * 5);
}

// Every piece size of the level page keeps its preview inside the preview's panel, clear of
// the scroll bar; the largest pieces show larger than the cell, the smallest at the cell.
TEST_F(MainWindow, LevelPagePreviewStaysInItsPanel) {
  int largest = 0, smallest = 1 << 30;
  AnswerBrowser([&](TF_DirView& dv) {
    QTest::mouseClick(dv.findChild<QPushButton*>("B_Ok"), Qt::LeftButton);
    ASSERT_EQ(dv.findChild<QTabWidget*>("PC_Pages")->currentWidget()->objectName(), "TS_Level");
    auto* size = dv.findChild<QScrollBar*>("SB_PieceSize");
    auto* panel = dv.findChild<QWidget*>("P_PieceSizeImage");
    auto* image = dv.findChild<QWidget*>("I_PieceSize");
    for (int level = size->minimum(); level <= size->maximum(); ++level) {
      size->setValue(level);
      QCoreApplication::processEvents();
      const QRect preview = image->geometry();
      const QRect room(0, 0, panel->width(), size->y());
      EXPECT_TRUE(room.contains(preview)) << "level " << level << " preview " << preview.x() << "," << preview.y()
                                          << " " << preview.width() << "x" << preview.height();
      largest = std::max(largest, preview.width() * preview.height());
      smallest = std::min(smallest, preview.width() * preview.height());
    }
  });
  main->OpenFile("", false);
  EXPECT_EQ(browserRuns, 1);
  EXPECT_GT(largest, 164 * 168);
  EXPECT_EQ(smallest, 164 * 168);
}

}  // namespace
