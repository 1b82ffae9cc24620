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
  struct Sheet {
    int id, w, h;
  } sheets[] = {{kWeightPinPngId, 29, 37}, {kGlassSkinPngId, 290, 189}, {kFrameSkinPngId, 390, 170}};
  const QByteArray bmp = Bytes(":/BITMAP/1");  // the toolbar faces: a 24-bit bitmap
  ASSERT_GE(bmp.size(), 54);
  EXPECT_EQ(uint8_t(bmp[28]), 24);
  EXPECT_EQ(Load(":/BITMAP/1").size(), QSize(kToolbarSheetWidth, kToolbarSheetHeight));
  for (const Sheet& s : sheets) {
    const QString path = QString(":/PNGIMAGE/%1").arg(s.id);
    int depth, type;
    PngKind(Bytes(path), depth, type);
    EXPECT_EQ(depth, 8) << path.toStdString();
    EXPECT_EQ(type, 6) << path.toStdString();
    EXPECT_EQ(Load(path).size(), QSize(s.w, s.h)) << path.toStdString();
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
