// The weight pin (PNGIMAGE/2, 29 x 37), the snap animation's star sprites, the cursors and
// the application icon.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>
#include <QTransform>
#include <QtMath>
#include <vector>

#include "foundation/artwork.h"
#include "tools/make-skins/art.h"

namespace art {
namespace {

QPainterPath Star(QPointF c, int rays, qreal outer, qreal inner, qreal turn) {
  QPainterPath s;
  for (int i = 0; i < 2 * rays; ++i) {
    const qreal a = turn + M_PI * i / rays - M_PI / 2;
    const qreal r = (i % 2 == 0) ? outer : inner;
    const QPointF pt = c + QPointF(r * qCos(a), r * qSin(a));
    if (i == 0)
      s.moveTo(pt);
    else
      s.lineTo(pt);
  }
  s.closeSubpath();
  return s;
}

void Sparkle(QPainter& p, QPointF c, int rays, qreal outer, qreal inner, qreal turn) {
  QRadialGradient g(c, outer);
  g.setColorAt(0, QColor(0xff, 0xfb, 0xe6));
  g.setColorAt(0.35, QColor(0xff, 0xe0, 0x7a));
  g.setColorAt(1, QColor(0xe8, 0x9a, 0x22));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(Star(c, rays, outer, inner, turn));
}

void Dot(QPainter& p, QPointF c, qreal r) {
  QRadialGradient g(c, r);
  g.setColorAt(0, QColor(0xff, 0xf4, 0xc0));
  g.setColorAt(1, QColor(0xf0, 0xac, 0x30));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c, r, r);
}

QImage HandCursor(bool closed) {
  QImage img = Canvas(kCursorSize, kCursorSize);
  QPainter p(&img);
  Smooth(p);
  QPainterPath hand;
  QPainterPath palm;
  QPainterPath thumb;
  std::vector<QRectF> fingers;
  if (!closed) {
    palm.addRoundedRect(QRectF(8.5, 13.5, 16, 13.5), 5.5, 5.5);
    fingers = {QRectF(8.5, 5.5, 4, 12), QRectF(12.5, 3.0, 4, 14), QRectF(16.5, 4.0, 4, 13), QRectF(20.5, 7.5, 4, 10)};
    QPainterPath t;
    t.addRoundedRect(QRectF(-2, -2, 11, 4), 2, 2);
    thumb = QTransform().translate(10.5, 20.5).rotate(-140).map(t);
  } else {
    palm.addRoundedRect(QRectF(8.5, 11.5, 16, 15.5), 5.5, 5.5);
    fingers = {QRectF(8.5, 9.0, 4, 7), QRectF(12.5, 8.0, 4, 7), QRectF(16.5, 8.0, 4, 7), QRectF(20.5, 9.5, 4, 7)};
  }
  hand = palm;
  for (const QRectF& f : fingers) {
    QPainterPath fp;
    fp.addRoundedRect(f, 2, 2);
    hand = hand.united(fp);
  }
  if (!closed) hand = hand.united(thumb);
  hand = hand.simplified();
  SoftShadow(p, hand, QPointF(1.2, 1.6), 1.3, 120);
  QLinearGradient g(0, 3, 0, 27);
  g.setColorAt(0, QColor(0xff, 0xfc, 0xf2));
  g.setColorAt(1, kCreamDark);
  p.setBrush(g);
  p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(hand);
  // Lines between the fingers.
  p.setPen(QPen(WithAlpha(kInk, 200), 1.0, Qt::SolidLine, Qt::RoundCap));
  const qreal base = closed ? 14.0 : 15.0;
  for (size_t k = 1; k < fingers.size(); ++k) {
    const qreal x = fingers[k].left();
    const qreal top = qMax(fingers[k - 1].top(), fingers[k].top()) + 2.5;
    p.drawLine(QPointF(x, top), QPointF(x, base));
  }
  if (closed) {
    // The thumb curled in along the side of the fist.
    QPainterPath line;
    line.moveTo(9.5, 24);
    line.quadTo(10, 18.5, 15.5, 17.5);
    QPainterPathStroker st;
    st.setWidth(4);
    st.setCapStyle(Qt::RoundCap);
    p.setBrush(QColor(0xf6, 0xec, 0xd6));
    p.setPen(QPen(kInk, 1.1));
    p.drawPath(st.createStroke(line).simplified());
  }
  // A brass cuff.
  p.setPen(QPen(kBrassDeep, 1));
  p.setBrush(kBrass);
  p.drawRoundedRect(QRectF(10.5, 26, 12, 3), 1.2, 1.2);
  return img;
}

QImage SizeCursor(qreal angle) {
  QImage img = Canvas(kCursorSize, kCursorSize);
  QPainter p(&img);
  Smooth(p);
  QPainterPath a;
  const qreal L = 11.5, head = 4.6, shaft = 1.4, headLen = 5.5;
  a.moveTo(-L, 0);
  a.lineTo(-L + headLen, -head);
  a.lineTo(-L + headLen, -shaft);
  a.lineTo(L - headLen, -shaft);
  a.lineTo(L - headLen, -head);
  a.lineTo(L, 0);
  a.lineTo(L - headLen, head);
  a.lineTo(L - headLen, shaft);
  a.lineTo(-L + headLen, shaft);
  a.lineTo(-L + headLen, head);
  a.closeSubpath();
  const QPainterPath path = QTransform().translate(15.5, 15.5).rotate(angle).map(a);
  SoftShadow(p, path, QPointF(1.0, 1.4), 1.2, 120);
  p.setBrush(QColor(0xff, 0xfc, 0xf2));
  p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(kBrass);
  p.drawEllipse(QPointF(15.5, 15.5), 1.3, 1.3);
  return img;
}

QImage AppIcon(int size) {
  QImage img = Canvas(size, size);
  QPainter p(&img);
  Smooth(p);
  const qreal s = size / 256.0;
  const qreal m = qMax(0.5, 10 * s);
  const QRectF tile(m, m, size - 2 * m, size - 2 * m);
  const qreal radius = qMax(2.5, 44 * s);
  QPainterPath body;
  body.addRoundedRect(tile, radius, radius);
  if (size >= 32) SoftShadow(p, body, QPointF(0, 3 * s + 0.5), qMax(1.0, 6 * s), 110);
  QLinearGradient wood(tile.topLeft(), tile.bottomLeft());
  wood.setColorAt(0, QColor(0x7a, 0x52, 0x33));
  wood.setColorAt(0.5, QColor(0x58, 0x38, 0x22));
  wood.setColorAt(1, QColor(0x3a, 0x24, 0x15));
  p.setBrush(wood);
  p.setPen(QPen(kInk, qMax(1.0, 3 * s)));
  p.drawPath(body);
  // A brass rim inside the edge.
  if (size >= 22) {
    const qreal inset = qMax(2.0, 12 * s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(kBrassLight, 200), qMax(1.0, 4 * s)));
    p.drawRoundedRect(tile.adjusted(inset, inset, -inset, -inset), radius - inset / 1.5, radius - inset / 1.5);
  }
  // The piece, a little turned, lit from the top left.
  const qreal ps = size * 0.62;
  QTransform t;
  t.translate(size / 2.0 - size * 0.02, size / 2.0 - size * 0.02);
  t.rotate(-12);
  const QPainterPath piece = t.map(PiecePath(QRectF(-ps / 2, -ps / 2, ps, ps)));
  if (size >= 24) SoftShadow(p, piece, QPointF(0, 4 * s + 0.4), qMax(1.0, 5 * s), 140);
  QLinearGradient brass(QPointF(size * 0.25, size * 0.2), QPointF(size * 0.75, size * 0.85));
  brass.setColorAt(0, kBrassShine);
  brass.setColorAt(0.45, QColor(0xe8, 0xb8, 0x5c));
  brass.setColorAt(1, QColor(0xa8, 0x72, 0x24));
  p.setBrush(brass);
  p.setPen(QPen(kBrassDeep, qMax(1.0, 3.5 * s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(piece);
  if (size >= 48) {
    p.save();
    p.setClipPath(piece);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 250, 230, 140), 5 * s));
    p.drawPath(piece.translated(3 * s, 3 * s));
    p.restore();
  }
  return img;
}

}  // namespace

bool MakeWeightPin(const QString& dir) {
  QImage pin = Canvas(29, 37);
  QPainter p(&pin);
  Smooth(p);
  // The pointer is at (14, 33): the needle's tip.
  QPainterPath shadow;
  shadow.addEllipse(QPointF(17, 33.5), 4, 1.6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawPath(shadow);
  p.setPen(QPen(QColor(0x3a, 0x3a, 0x40), 2.6, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(14.5, 21), QPointF(14.5, 31.5));
  QPainterPath tip;
  tip.moveTo(13.2, 31);
  tip.lineTo(15.8, 31);
  tip.lineTo(14.5, 34.2);
  tip.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x3a, 0x3a, 0x40));
  p.drawPath(tip);
  p.setPen(QPen(QColor(0xe4, 0xe8, 0xee), 0.9));
  p.drawLine(QPointF(14.0, 21.5), QPointF(14.0, 31));
  // Brass collar.
  QLinearGradient collar(0, 18, 0, 23);
  collar.setColorAt(0, kBrassShine);
  collar.setColorAt(1, kBrassDark);
  p.setPen(QPen(kBrassDeep, 1));
  p.setBrush(collar);
  p.drawRoundedRect(QRectF(8.5, 17.5, 12, 5), 2, 2);
  // Lacquered head.
  QPainterPath head;
  head.addEllipse(QPointF(14.5, 10), 10, 9);
  SoftShadow(p, head, QPointF(1, 1.5), 1.5, 110);
  QRadialGradient g(QPointF(11, 6), 13);
  g.setColorAt(0, QColor(0xf8, 0x9c, 0x6a));
  g.setColorAt(0.5, QColor(0xc8, 0x42, 0x1c));
  g.setColorAt(1, QColor(0x7a, 0x1e, 0x08));
  p.setPen(QPen(QColor(0x4a, 0x12, 0x04), 1.2));
  p.setBrush(g);
  p.drawPath(head);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 170));
  p.drawEllipse(QPointF(10.5, 5.8), 3, 2);
  p.end();
  return SavePng(pin, dir + "/PNGIMAGE/" + QString::number(kWeightPinPngId));
}

bool MakeStar(const QString& dir) {
  QImage sheet(kStarSpriteStep * kStarSpriteCount, kStarSpriteSize, QImage::Format_RGB32);
  sheet.fill(Qt::white);
  for (int s = 0; s < kStarSpriteCount; ++s) {
    QImage cell = Canvas(kStarSpriteSize, kStarSpriteSize);
    QPainter p(&cell);
    Smooth(p);
    const QPointF c(11.5, 11.5);
    switch (s) {
      case 0: Sparkle(p, c, 4, 5, 1.6, 0); break;
      case 1:
        Sparkle(p, c, 4, 4.5, 1.4, M_PI / 4);
        Sparkle(p, c, 4, 8.5, 2.0, 0);
        break;
      case 2:
        Sparkle(p, c, 4, 7, 2.0, M_PI / 4);
        Sparkle(p, c, 4, 11, 2.6, 0);
        Dot(p, c, 2.6);
        break;
      case 3:
        Sparkle(p, c, 4, 9.5, 2.2, M_PI / 4);
        Sparkle(p, c, 4, 6, 1.8, 0);
        for (int k = 0; k < 4; ++k) Dot(p, c + QPointF(9 * qCos(M_PI / 2 * k), 9 * qSin(M_PI / 2 * k)), 1.6);
        break;
      default:
        for (int k = 0; k < 4; ++k)
          Dot(p, c + QPointF(9.5 * qCos(M_PI / 2 * k + M_PI / 4), 9.5 * qSin(M_PI / 2 * k + M_PI / 4)), 1.5);
        Dot(p, c, 1.8);
        break;
    }
    p.end();
    // White is the key colour: pixels are either opaque or exactly white. Soft edges are
    // settled over a dark amber so the spark reads on light and dark pictures alike.
    const QColor edge(0x80, 0x52, 0x10);
    for (int y = 0; y < kStarSpriteSize; ++y)
      for (int x = 0; x < kStarSpriteSize; ++x) {
        const QColor c4 = cell.pixelColor(x, y);
        if (c4.alpha() < 70) continue;
        const qreal a = c4.alphaF();
        QColor out = QColor::fromRgbF(c4.redF() * a + edge.redF() * (1 - a), c4.greenF() * a + edge.greenF() * (1 - a),
                                      c4.blueF() * a + edge.blueF() * (1 - a));
        if (out.rgb() == qRgb(255, 255, 255)) out = QColor(0xff, 0xfe, 0xf0);
        sheet.setPixelColor(kStarSpriteStep * s + x, y, out);
      }
  }
  return SavePng(sheet, dir + "/" + QString(kStarPicturePath).mid(2));
}

bool MakeCursors(const QString& dir) {
  for (const TCursorArt& c : kCursorArt) {
    const QString name = QString::fromLatin1(c.Name);
    QImage img;
    if (name == "DRAGAAA")
      img = HandCursor(false);
    else if (name == "DRAGBBB")
      img = HandCursor(true);
    else if (name == "SIZEWE")
      img = SizeCursor(0);
    else if (name == "SIZENS")
      img = SizeCursor(90);
    else if (name == "SIZENWSE")
      img = SizeCursor(45);
    else
      img = SizeCursor(-45);
    if (!SavePng(img, dir + "/" + kCursorResourceKind + "/" + name)) return false;
  }
  return true;
}

bool MakeAppIcon(const QString& dir, const QString& desktopIconPath) {
  for (int size : kAppIconSizes)
    if (!SavePng(AppIcon(size), dir + QString("/icons/app-%1.png").arg(size))) return false;
  return SavePng(AppIcon(256), desktopIconPath);
}

}  // namespace art
