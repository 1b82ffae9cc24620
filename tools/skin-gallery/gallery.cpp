// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skin-gallery/gallery.h"

#include <QFont>

QImage DibToImage(const TDibImage& d) {
  if (d.Width <= 0) return QImage();
  QImage img(d.Width, d.Height, d.HasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < d.Height; ++y)
    for (int x = 0; x < d.Width; ++x) {
      const uint8_t* s = DibPixelAddress(d, x, y);
      const int a = d.HasAlpha ? s[3] : 255;
      img.setPixel(x, y, qRgba(s[2], s[1], s[0], a));
    }
  return img;
}

void TGalleryWriter::Title(const QString& text) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(13);
  p_.setFont(f);
  p_.setPen(QColor(0xe8, 0xe0, 0xd0));
  p_.drawText(12, y_ + 13, text);
  y_ += 20;
}

void TGalleryWriter::Place(const QImage& img) {
  p_.drawImage(12, y_, img);
  y_ += img.height() + 14;
}

int PaintGalleryWindows(QPainter& p, const TDibImage&, const TDibImage&, int top, QColor) {
  // The window painter is not in this build yet: say so rather than show nothing.
  p.setPen(QColor(0xc0, 0x90, 0x60));
  p.drawText(12, top + 14, QStringLiteral("(the window painter is not in this build)"));
  return 20;
}
