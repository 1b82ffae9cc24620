// The magnifier skin (PNGIMAGE/3, 290 x 189): four 93 x 93 corner tiles of a brass plate
// round the lens, and the close and zoom buttons.
// Tiles: (0, 0) top-left, (96, 0) top-right, (0, 96) bottom-left, (96, 96) bottom-right.
// Buttons (normal, hot, pressed): close 14 x 14 at y 2, x 196/213/230; zoom in (zoom 3)
// 27 x 27 at y 25 and zoom out (zoom 2) at y 55, x 196/226/256.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/make-skins/art.h"

namespace art {
namespace {

// The magnifier is a brass plate with a round opening: the game draws its lens, an ellipse
// filling the whole window, over the tiles, so only the plate outside the lens shows. The plate
// is drawn once for the smallest glass (240 x 240, lens radius 120) and cut into the four
// corner tiles; on a larger glass the corners stand apart as brackets around the lens.
constexpr int kPlate = 240;
constexpr qreal kLensRadius = 120;
constexpr qreal kOpening = 116;  // a little under the lens, so no seam shows at the smallest size

QPainterPath PlatePath() {
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0.5, 0.5, kPlate - 1, kPlate - 1), 13, 13);
  QPainterPath opening;
  opening.addEllipse(QPointF(kPlate / 2.0, kPlate / 2.0), kOpening, kOpening);
  return outline.subtracted(opening);
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

void DrawPlate(QPainter& p) {
  const QPainterPath plate = PlatePath();
  const QPointF centre(kPlate / 2.0, kPlate / 2.0);
  // One light from the top left across the whole plate.
  QLinearGradient g(0, 0, kPlate, kPlate);
  g.setColorAt(0, kBrassShine);
  g.setColorAt(0.25, kBrassLight);
  g.setColorAt(0.6, kBrass);
  g.setColorAt(1, kBrassDark);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(plate);
  p.save();
  p.setClipPath(plate);
  p.setBrush(Qt::NoBrush);
  // Outer bevel: lit along the top and left, shaded along the bottom and right.
  QPainterPath rim;
  rim.addRoundedRect(QRectF(1.5, 1.5, kPlate - 3, kPlate - 3), 12, 12);
  QLinearGradient bevel(0, 0, kPlate, kPlate);
  bevel.setColorAt(0, QColor(255, 250, 225, 200));
  bevel.setColorAt(0.5, QColor(255, 240, 200, 40));
  bevel.setColorAt(0.51, QColor(60, 35, 8, 40));
  bevel.setColorAt(1, QColor(60, 35, 8, 170));
  p.setPen(QPen(QBrush(bevel), 2));
  p.drawPath(rim);
  // The opening's lip: a sunk ring, shaded where it faces the light and lit where it faces
  // away, as the edge of a hole is. Only its outer half shows round the smallest lens.
  QLinearGradient lip(0, 0, kPlate, kPlate);
  lip.setColorAt(0, QColor(70, 42, 10, 210));
  lip.setColorAt(0.5, QColor(120, 84, 30, 120));
  lip.setColorAt(1, QColor(255, 244, 210, 210));
  p.setPen(QPen(QBrush(lip), 5));
  p.drawEllipse(centre, kLensRadius + 0.5, kLensRadius + 0.5);
  p.setPen(QPen(WithAlpha(kInk, 150), 1));
  p.drawEllipse(centre, kLensRadius + 3.5, kLensRadius + 3.5);
  // An engraved line round the plate, where the plate is wide enough to carry it.
  QPainterPath band;
  band.addRect(QRectF(0, 0, kPlate, kPlate));
  QPainterPath inner;
  inner.addEllipse(centre, kLensRadius + 9, kLensRadius + 9);
  p.setClipPath(plate.intersected(band.subtracted(inner)));
  QPainterPath groove;
  groove.addRoundedRect(QRectF(5, 5, kPlate - 10, kPlate - 10), 8, 8);
  p.setPen(QPen(QColor(90, 58, 16, 170), 1));
  p.drawPath(groove);
  p.setPen(QPen(QColor(255, 246, 214, 120), 1));
  p.drawPath(groove.translated(0.8, 0.8));
  p.restore();
  p.setPen(QPen(kBrassDeep, 1));
  p.setBrush(Qt::NoBrush);
  QPainterPath edge;
  edge.addRoundedRect(QRectF(0.5, 0.5, kPlate - 1, kPlate - 1), 13, 13);
  p.drawPath(edge);
  // Two rivets on each corner's arms, clear of the buttons and the grip.
  for (int c = 0; c < 4; ++c) {
    const bool right = c & 1, bottom = c & 2;
    auto at = [&](qreal x, qreal y) { return QPointF(right ? kPlate - x : x, bottom ? kPlate - y : y); };
    Rivet(p, at(60, 10.5), 2.4);
    Rivet(p, at(10.5, 60), 2.4);
  }
}

// The grip in the bottom-right corner: ridges across the lower-right triangle of
// (R - 25, B - 24, 21, 21).
void DrawGrip(QPainter& p) {
  const QPointF br(kPlate - 5, kPlate - 4);  // the grip's bottom-right corner
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
  QImage plate = Canvas(kPlate, kPlate);
  {
    QPainter p(&plate);
    Smooth(p);
    DrawPlate(p);
    DrawGrip(p);
  }
  const QPoint tile[4] = {{0, 0}, {96, 0}, {0, 96}, {96, 96}};
  const QPoint corner[4] = {{0, 0}, {kPlate - 93, 0}, {0, kPlate - 93}, {kPlate - 93, kPlate - 93}};
  {
    QPainter s(&skin);
    s.setCompositionMode(QPainter::CompositionMode_Source);
    for (int c = 0; c < 4; ++c) s.drawImage(tile[c], plate.copy(QRect(corner[c], QSize(93, 93))));
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
