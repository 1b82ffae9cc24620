#pragma once
// Shared palette and drawing helpers of the artwork: walnut wood and brass, cream glyphs.
// SPDX-License-Identifier: GPL-3.0-or-later

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace art {

inline const QColor kInk(0x1c, 0x10, 0x08);
inline const QColor kWalnutDeep(0x2a, 0x19, 0x0f);
inline const QColor kWalnutDark(0x3b, 0x25, 0x17);
inline const QColor kWalnut(0x52, 0x35, 0x21);
inline const QColor kWalnutMid(0x6b, 0x47, 0x2d);
inline const QColor kWalnutLight(0x8e, 0x64, 0x40);
inline const QColor kBrassDeep(0x6e, 0x4c, 0x18);
inline const QColor kBrassDark(0x9a, 0x70, 0x2a);
inline const QColor kBrass(0xc9, 0x9c, 0x47);
inline const QColor kBrassLight(0xef, 0xd0, 0x88);
inline const QColor kBrassShine(0xfb, 0xeb, 0xbe);
inline const QColor kCream(0xf6, 0xea, 0xcc);
inline const QColor kCreamDark(0xd9, 0xc3, 0x93);
inline const QColor kAmber(0xe3, 0x8b, 0x2c);

inline QColor WithAlpha(QColor c, int a) {
  c.setAlpha(a);
  return c;
}

// A painter with antialiasing on every kind of primitive.
inline void Smooth(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// A transparent image of the given size in the format the painters use.
inline QImage Canvas(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// Fills the path with a soft shadow below it: the path is blurred by stacking offset copies.
void SoftShadow(QPainter& p, const QPainterPath& path, QPointF offset, qreal radius, int alpha);

// Copies column `from` over columns [from, to] for rows [top, bottom], and the same for rows;
// keeps the repeated strips of a skin exactly uniform.
void RepeatColumn(QImage& img, int from, int to, int top, int bottom);
void RepeatRow(QImage& img, int from, int to, int left, int right);

// A jigsaw piece with knobs right and bottom, and holes left and top, in a unit square.
QPainterPath PiecePath(QRectF r);

// Draws a glyph path the way every toolbar and sprite glyph is drawn: shadow, gradient fill
// from `top` to `bottom`, and a thin dark edge.
void Glyph(QPainter& p, const QPainterPath& path, QColor top, QColor bottom, qreal edge = 1.0, int shadowAlpha = 150);

// The artwork pieces; each writes its files below `dir`.
bool MakeFrameSkin(const QString& dir);
bool MakeGlassSkin(const QString& dir);
bool MakeToolbarFaces(const QString& dir);
bool MakeWeightPin(const QString& dir);
bool MakeStar(const QString& dir);
bool MakeCursors(const QString& dir);
bool MakeAppIcon(const QString& dir, const QString& desktopIconPath);
bool MakeTitleCard(const QString& dir, const QString& helpImagesDir);

// The toolbar background column, row by row (35 rows): shared by the frame skin's toolbar
// tiles and the faces, so that a face sits seamlessly on the bar.
QColor ToolbarRow(int y);

bool SavePng(const QImage& img, const QString& path);

}  // namespace art
