#pragma once
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QPainter>
#include <QString>

#include "foundation/dib_image.h"

// An image buffer as a picture: rows flipped, alpha kept when the buffer has it.
QImage DibToImage(const TDibImage& d);

// Lays out titled pictures down the page.
class TGalleryWriter {
 public:
  explicit TGalleryWriter(QPainter& p) : p_(p) {}
  void Title(const QString& text);
  void Place(const QImage& img);
  void Skip(int height) { y_ += height + 14; }
  int Y() const { return y_; }

 private:
  QPainter& p_;
  int y_ = 12;
};

// Paints the game windows in their states at the given top; returns the height used.
int PaintGalleryWindows(QPainter& p, const TDibImage& frameSkin, const TDibImage& glassSkin, int top, QColor field);
