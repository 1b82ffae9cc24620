// The magnifier skin (PNGIMAGE/3, 290 x 189): four 93 x 93 corner tiles, brass brackets that
// hold the round lens, and the close and zoom buttons.
// Tiles: (0, 0) top-left, (96, 0) top-right, (0, 96) bottom-left, (96, 96) bottom-right.
// Buttons (normal, hot, pressed): close 14 x 14 at y 2, x 196/213/230; zoom in (zoom 3)
// 27 x 27 at y 25 and zoom out (zoom 2) at y 55, x 196/226/256.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTransform>

#include "tools/make-skins/art.h"

namespace art {
namespace {

// The bracket of the top-left corner, in tile coordinates; the other corners mirror it.
QPainterPath BracketPath() {
  QPainterPath pad;
  pad.addRoundedRect(QRectF(1, 1, 45, 43), 11, 11);
  QPainterPath top;
  top.addRoundedRect(QRectF(14, 1, 72, 12), 6, 6);
  QPainterPath left;
  left.addRoundedRect(QRectF(1, 14, 12, 72), 6, 6);
  QPainterPath all = pad.united(top).united(left);
  // The inner side follows the smallest lens (a circle of radius 120 about (120, 120)),
  // leaving a little air.
  QPainterPath lens;
  lens.addEllipse(QPointF(120, 120), 115, 115);
  return all.subtracted(lens);
}

// Mirrors tile coordinates of the top-left corner into corner `c` (0 TL, 1 TR, 2 BL, 3 BR).
QTransform CornerTransform(int c) {
  QTransform t;
  const bool right = c & 1, bottom = c & 2;
  t.translate(right ? 93 : 0, bottom ? 93 : 0);
  t.scale(right ? -1 : 1, bottom ? -1 : 1);
  return t;
}

void Rivet(QPainter& p, QPointF c, qreal r) {
  QRadialGradient g(c + QPointF(-r / 3, -r / 3), r * 1.3);
  g.setColorAt(0, kBrassShine);
  g.setColorAt(0.6, kBrass);
  g.setColorAt(1, kBrassDeep);
  p.setPen(QPen(WithAlpha(kInk, 160), 0.8));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

void DrawTile(QPainter& p, int c) {
  const QTransform t = CornerTransform(c);
  const QPainterPath path = t.map(BracketPath());
  SoftShadow(p, path, QPointF(1, 2), 2.5, 120);
  // Light from the top left whichever corner this is.
  QLinearGradient g(0, 0, 93, 93);
  g.setColorAt(0, kBrassShine);
  g.setColorAt(0.35, kBrassLight);
  g.setColorAt(0.7, kBrass);
  g.setColorAt(1, kBrassDark);
  p.setPen(QPen(kBrassDeep, 1.2));
  p.setBrush(g);
  p.drawPath(path);
  // A bevel: a light inner line on the lit edges and a dark one on the others.
  p.save();
  p.setClipPath(path);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 250, 225, 120), 1.5));
  p.drawPath(path.translated(1.2, 1.2));
  p.setPen(QPen(QColor(60, 35, 8, 110), 1.5));
  p.drawPath(path.translated(-1.2, -1.2));
  // An engraved line along the arms.
  p.setPen(QPen(QColor(90, 58, 16, 150), 1));
  QPainterPath groove;
  groove.moveTo(24, 7.5);
  groove.lineTo(78, 7.5);
  groove.moveTo(7.5, 24);
  groove.lineTo(7.5, 78);
  p.drawPath(t.map(groove));
  p.restore();
  Rivet(p, t.map(QPointF(79.5, 7)), 2.6);
  Rivet(p, t.map(QPointF(7, 79.5)), 2.6);
}

// The grip in the bottom-right corner: ridges across the lower-right triangle of
// (R - 25, B - 24, 21, 21).
void DrawGrip(QPainter& p) {
  const QPointF br(88, 89);  // the grip's bottom-right corner in the tile
  for (int k = 0; k < 4; ++k) {
    const qreal d = 4 + 5 * k;
    p.setPen(QPen(QColor(70, 44, 10, 200), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(br + QPointF(-d, -1), br + QPointF(-1, -d));
    p.setPen(QPen(QColor(255, 246, 214, 190), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(br + QPointF(-d + 1.3, -0.2), br + QPointF(-0.2, -d + 1.3));
  }
}

enum class State { Normal, Hot, Pressed };

void Dome(QPainter& p, QPointF c, qreal r, State s, bool red) {
  QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.45), r * 1.4);
  if (red) {
    const bool dark = s == State::Pressed;
    g.setColorAt(0, dark ? QColor(0xa8, 0x3a, 0x18) : QColor(0xf6, 0xa0, 0x70));
    g.setColorAt(0.55, dark ? QColor(0x7c, 0x22, 0x0c) : QColor(0xc8, 0x4c, 0x22));
    g.setColorAt(1, dark ? QColor(0x50, 0x14, 0x06) : QColor(0x86, 0x28, 0x0e));
  } else {
    const QColor top = s == State::Hot ? QColor(0xff, 0xf6, 0xd8) : s == State::Pressed ? kBrass : kBrassShine;
    const QColor mid = s == State::Hot ? kBrassLight : s == State::Pressed ? kBrassDark : kBrass;
    const QColor low = s == State::Pressed ? kBrassDeep : kBrassDark;
    g.setColorAt(0, top);
    g.setColorAt(0.6, mid);
    g.setColorAt(1, low);
  }
  QPainterPath circle;
  circle.addEllipse(c, r, r);
  SoftShadow(p, circle, QPointF(0, 1), 1.2, 120);
  p.setPen(QPen(red ? QColor(0x4a, 0x12, 0x04) : kBrassDeep, 1));
  p.setBrush(g);
  p.drawEllipse(c, r - 0.5, r - 0.5);
}

void DrawClose(QPainter& p, QPoint at, State s) {
  p.save();
  p.translate(at);
  const bool red = s != State::Normal;
  const QPointF c(7, 7);
  Dome(p, c, 6.5, s, red);
  const qreal o = s == State::Pressed ? 0.5 : 0, r = 2.4;
  p.setPen(QPen(red ? kCream : kWalnutDeep, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(o - r, o - r), c + QPointF(o + r, o + r));
  p.drawLine(c + QPointF(o + r, o - r), c + QPointF(o - r, o + r));
  p.restore();
}

void DrawZoom(QPainter& p, QPoint at, bool in, State s) {
  p.save();
  p.translate(at);
  const QPointF c(13.5, 13.5);
  Dome(p, c, 12.5, s, false);
  const qreal o = s == State::Pressed ? 0.7 : 0;
  // A small lens with a handle and a plus or a minus in it.
  const QPointF lc = c + QPointF(-1.5 + o, -1.5 + o);
  const QColor ink = s == State::Hot ? QColor(0x3a, 0x1c, 0x06) : kWalnutDeep;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(ink, 2.3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(lc + QPointF(4.6, 4.6), lc + QPointF(8.2, 8.2));
  p.setPen(QPen(ink, 1.8));
  p.setBrush(QColor(255, 252, 236, 120));
  p.drawEllipse(lc, 5.6, 5.6);
  p.setPen(QPen(ink, 1.7, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(lc + QPointF(-3, 0), lc + QPointF(3, 0));
  if (in) p.drawLine(lc + QPointF(0, -3), lc + QPointF(0, 3));
  p.restore();
}

}  // namespace

bool MakeGlassSkin(const QString& dir) {
  QImage skin = Canvas(290, 189);
  const QPoint tile[4] = {{0, 0}, {96, 0}, {0, 96}, {96, 96}};
  for (int c = 0; c < 4; ++c) {
    QImage t = Canvas(93, 93);
    QPainter p(&t);
    Smooth(p);
    DrawTile(p, c);
    if (c == 3) DrawGrip(p);
    p.end();
    QPainter s(&skin);
    s.drawImage(tile[c], t);
  }
  QPainter p(&skin);
  Smooth(p);
  const State states[3] = {State::Normal, State::Hot, State::Pressed};
  for (int k = 0; k < 3; ++k) {
    DrawClose(p, QPoint(196 + 17 * k, 2), states[k]);
    DrawZoom(p, QPoint(196 + 30 * k, 25), true, states[k]);
    DrawZoom(p, QPoint(196 + 30 * k, 55), false, states[k]);
  }
  p.end();
  return SavePng(skin, dir + "/PNGIMAGE/3");
}

}  // namespace art
