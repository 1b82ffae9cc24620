#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QString>
#include <cmath>
#include <set>

#include "foundation/artwork.h"
#include "foundation/toolbar.h"

// The committed artwork: sizes and formats the loaders rely on, the pieces where the window,
// toolbar and sprite painters take them from, and strips that really repeat.

namespace {

QImage Load(const QString& path) {
  QImage img(path);
  return img.convertToFormat(QImage::Format_ARGB32);
}

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// PNG colour type and bit depth from the header chunk.
void PngKind(const QByteArray& png, int& depth, int& colourType) {
  depth = colourType = -1;
  if (png.size() < 26 || !png.startsWith("\x89PNG")) return;
  depth = uint8_t(png[24]);
  colourType = uint8_t(png[25]);
}

int OpaqueCount(const QImage& img, QRect r, int minAlpha = 201) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += qAlpha(img.pixel(x, y)) >= minAlpha;
  return n;
}

}  // namespace

TEST(Artwork, SkinsHaveTheirSizesAndAreEightBitRgba) {
  struct Sheet { int id, w, h; } sheets[] = {
      {kWeightPinPngId, 29, 37}, {kGlassSkinPngId, 290, 189}, {kFrameSkinPngId, 390, 170}};
  const QByteArray bmp = Bytes(":/BITMAP/1");  // the toolbar faces: a 24-bit bitmap
  ASSERT_GE(bmp.size(), 54);
  EXPECT_EQ(uint8_t(bmp[28]), 24);
  EXPECT_EQ(Load(":/BITMAP/1").size(), QSize(kToolbarSheetWidth, kToolbarSheetHeight));
  for (const Sheet& s : sheets) {
    const QString path = QString(":/PNGIMAGE/%1").arg(s.id);
    int depth, type;
    PngKind(Bytes(path), depth, type);
    EXPECT_EQ(depth * 10 + type, 86) << path.toStdString();
    EXPECT_EQ(Load(path).size(), QSize(s.w, s.h)) << path.toStdString();
  }
}

TEST(Artwork, FrameSkinPiecesLieWhereThePaintersTakeThem) {
  const QImage skin = Load(":/PNGIMAGE/4");
  ASSERT_FALSE(skin.isNull());
  for (int fx : {1, 103}) {
    EXPECT_EQ(OpaqueCount(skin, QRect(fx + 6, 1, 88, 22)), 88 * 22) << "caption bar " << fx;
    EXPECT_EQ(OpaqueCount(skin, QRect(fx, 31, 4, 50)), 200) << "left edge " << fx;
    EXPECT_EQ(OpaqueCount(skin, QRect(fx + 10, 97, 80, 4)), 320) << "bottom " << fx;
    // The client area stays clear for the game's background.
    EXPECT_EQ(OpaqueCount(skin, QRect(fx + 4, 23, 92, 74), 1), 0) << "client " << fx;
  }
  // The highlighted frame differs from the normal one.
  EXPECT_NE(skin.pixel(1 + 30, 10), skin.pixel(103 + 30, 10));
  // Caption button sprites: five different 20 x 20 pictures at (2 + 23k, 110).
  std::set<QRgb> centres;
  for (int k = 0; k < 5; ++k) {
    EXPECT_GT(OpaqueCount(skin, QRect(2 + 23 * k, 110, 20, 20)), 100) << "caption button " << k;
    centres.insert(skin.pixel(2 + 23 * k + 6, 110 + 8));
  }
  EXPECT_EQ(centres.size(), 5u);
  // Arrows and thumbs: normal, hot and pressed at x 211, 231, 251, rows 1, 21, ... 101.
  for (int row = 0; row < 6; ++row)
    for (int k = 0; k < 3; ++k)
      EXPECT_GT(OpaqueCount(skin, QRect(211 + 20 * k, 1 + 20 * row, 17, 17)), 120)
          << "scroll sprite " << row << "," << k;
  EXPECT_EQ(OpaqueCount(skin, QRect(276, 1, 17, 17)), 289) << "corner box";
  // Toolbar and progress pieces are copied into opaque images: they are opaque themselves.
  EXPECT_EQ(OpaqueCount(skin, QRect(308, 115, 70, 35), 255), 70 * 35);
  EXPECT_EQ(OpaqueCount(skin, QRect(308, 1, 30, 100), 255), 3000);
  EXPECT_EQ(OpaqueCount(skin, QRect(340, 1, 30, 20), 255) + OpaqueCount(skin, QRect(340, 22, 30, 20), 255), 1200);
}

TEST(Artwork, ToolbarFacesJoinTheBarAndDifferByColumnAndState) {
  const QImage skin = Load(":/PNGIMAGE/4");
  const QImage sheet = Load(":/BITMAP/1");
  ASSERT_FALSE(skin.isNull());
  ASSERT_FALSE(sheet.isNull());
  // A button sits 2 rows below the bar's top: its corners show the bar's own rows.
  for (int k = 0; k < kToolbarFaceColumns; ++k) {
    const int x = 30 * k + 1;
    for (int y0 : {kToolbarFaceNormalY, kToolbarFaceDisabledY}) {
      EXPECT_EQ(sheet.pixel(x, y0), skin.pixel(318, 115 + 2)) << "column " << k;
      EXPECT_EQ(sheet.pixel(x + 28, y0 + 28), skin.pixel(318, 115 + 30)) << "column " << k;
    }
  }
  auto cell = [&](int k, int y0) { return sheet.copy(30 * k + 1, y0, 29, 29); };
  for (int k = 0; k < kToolbarFaceColumns; ++k) {
    EXPECT_NE(cell(k, 1), cell(k, 31)) << "down face of column " << k;
    EXPECT_NE(cell(k, 1), cell(k, 61)) << "disabled face of column " << k;
    for (int j = k + 1; j < kToolbarFaceColumns; ++j)
      EXPECT_NE(cell(k, 1), cell(j, 1)) << "columns " << k << " and " << j;
  }
}

TEST(Artwork, CursorsAndPinHaveTheirPointsOnTheDrawing) {
  for (const TCursorArt& c : kCursorArt) {
    const QImage img = Load(QString(":/%1/%2").arg(kCursorResourceKind, c.Name));
    ASSERT_EQ(img.size(), QSize(kCursorSize, kCursorSize)) << c.Name;
    EXPECT_GT(OpaqueCount(img, QRect(c.HotX - 1, c.HotY - 1, 3, 3)), 0) << c.Name;
  }
  // The pin is placed so that the pointer is at (MW div 2, MH - 4): the needle's tip.
  const QImage pin = Load(QString(":/PNGIMAGE/%1").arg(kWeightPinPngId));
  EXPECT_GT(OpaqueCount(pin, QRect(29 / 2 - 1, 37 - 4 - 1, 3, 2), 120), 0);
  EXPECT_EQ(OpaqueCount(pin, QRect(0, 36, 29, 1), 1), 0);
}
