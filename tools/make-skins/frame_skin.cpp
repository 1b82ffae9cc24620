// The frame skin (PNGIMAGE/4, 390 x 170): window frame samples, caption button, scroll-bar
// parts, and the toolbar and progress panel pieces. Every piece lies where the window and
// toolbar painters take it from; the strips they repeat are uniform along the repeat.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtMath>

#include "tools/make-skins/art.h"

namespace art {
namespace {

QColor Mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                          a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QColor Scale(const QColor& c, double f) {
  return QColor(qBound(0, int(c.red() * f + 0.5), 255), qBound(0, int(c.green() * f + 0.5), 255),
                qBound(0, int(c.blue() * f + 0.5), 255), c.alpha());
}

// The outline of a 100 x 100 window sample: rounded top corners (6) and bottom corners (4).
QPainterPath WindowShape(QRectF r, qreal top, qreal bottom) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + top);
  path.arcTo(QRectF(r.left(), r.top(), 2 * top, 2 * top), 180, -90);
  path.lineTo(r.right() - top, r.top());
  path.arcTo(QRectF(r.right() - 2 * top, r.top(), 2 * top, 2 * top), 90, -90);
  path.lineTo(r.right(), r.bottom() - bottom);
  path.arcTo(QRectF(r.right() - 2 * bottom, r.bottom() - 2 * bottom, 2 * bottom, 2 * bottom), 0, -90);
  path.lineTo(r.left() + bottom, r.bottom());
  path.arcTo(QRectF(r.left(), r.bottom() - 2 * bottom, 2 * bottom, 2 * bottom), 270, -90);
  path.closeSubpath();
  return path;
}

// One frame sample at (fx, 1): caption bar rows 0-21, side borders 4 wide, bottom border 4 high.
void DrawFrameSample(QImage& skin, int fx, bool highlighted) {
  QImage layer = Canvas(100, 100);
  {
    QPainter p(&layer);
    Smooth(p);
    QLinearGradient cap(0, 0, 0, 22);
    if (highlighted) {
      cap.setColorAt(0, QColor(0xb0, 0x70, 0x2e));
      cap.setColorAt(0.5, QColor(0x8a, 0x52, 0x1e));
      cap.setColorAt(1, QColor(0x64, 0x38, 0x12));
    } else {
      cap.setColorAt(0, QColor(0x70, 0x4c, 0x32));
      cap.setColorAt(0.5, QColor(0x55, 0x37, 0x22));
      cap.setColorAt(1, QColor(0x40, 0x29, 0x19));
    }
    p.fillRect(QRectF(0, 0, 100, 22), cap);
    p.fillRect(QRectF(0, 1, 100, 1), highlighted ? QColor(255, 226, 160, 120) : QColor(255, 232, 200, 60));
    p.fillRect(QRectF(0, 2, 100, 1), highlighted ? QColor(255, 226, 160, 40) : QColor(255, 232, 200, 20));
    p.fillRect(QRectF(0, 20, 100, 1), highlighted ? QColor(0x4a, 0x28, 0x0c) : kWalnutDeep);
    p.fillRect(QRectF(0, 21, 100, 1), highlighted ? kBrass : kWalnutMid);

    const QColor side[4] = {kInk, highlighted ? kBrassLight : kWalnutLight, highlighted ? kBrass : kWalnutMid,
                            highlighted ? kBrassDeep : kWalnutDeep};
    for (int i = 0; i < 4; ++i) {
      p.fillRect(QRectF(i, 22, 1, 74), side[i]);
      p.fillRect(QRectF(99 - i, 22, 1, 74), i == 1 ? Scale(side[1], 0.8) : side[i]);
    }
    const QColor bottom[4] = {highlighted ? kBrassDeep : kWalnutDeep, highlighted ? kBrass : kWalnutMid,
                              highlighted ? kBrassDark : Scale(kWalnutMid, 0.85), kInk};
    for (int i = 0; i < 4; ++i) p.fillRect(QRectF(0, 96 + i, 100, 1), bottom[i]);
    // The side columns run into the bottom corners.
    for (int i = 0; i < 3; ++i) {
      p.fillRect(QRectF(i, 96, 1, 3 - i), side[i]);
      p.fillRect(QRectF(99 - i, 96, 1, 3 - i), side[i]);
    }
    // The caption casts a short shadow on the tops of the side borders.
    for (int i = 0; i < 3; ++i) {
      const QColor shade(0, 0, 0, 70 - 25 * i);
      p.fillRect(QRectF(1, 22 + i, 3, 1), shade);
      p.fillRect(QRectF(96, 22 + i, 3, 1), shade);
    }
    // Outline and rounded corners.
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillPath(WindowShape(QRectF(0, 0, 100, 100), 6, 4), Qt::black);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(WindowShape(QRectF(0.5, 0.5, 99, 99), 5.5, 3.5));
    // The client area stays clear: the game fills it.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(QRect(4, 22, 92, 74), Qt::transparent);
  }
  QPainter p(&skin);
  p.drawImage(fx, 1, layer);
  p.end();
  RepeatColumn(skin, fx + 6, fx + 93, 1, 22);     // caption middle
  RepeatColumn(skin, fx + 10, fx + 89, 97, 100);  // bottom middle
  RepeatRow(skin, 28, 96, fx, fx + 3);            // left edge
  RepeatRow(skin, 28, 96, fx + 96, fx + 99);      // right edge
}

enum class State { Normal, Hot, Pressed };

void DrawArrowButton(QPainter& p, QPoint at, int dir, State s) {
  // dir: 0 left, 1 right, 2 up, 3 down.
  p.save();
  p.translate(at);
  QLinearGradient g(0, 0, 0, 17);
  switch (s) {
    case State::Normal:
      g.setColorAt(0, QColor(0x93, 0x69, 0x44));
      g.setColorAt(1, QColor(0x5a, 0x3a, 0x24));
      break;
    case State::Hot:
      g.setColorAt(0, QColor(0xb5, 0x86, 0x55));
      g.setColorAt(1, QColor(0x73, 0x4c, 0x2c));
      break;
    case State::Pressed:
      g.setColorAt(0, QColor(0x3e, 0x27, 0x18));
      g.setColorAt(1, QColor(0x5a, 0x3a, 0x24));
      break;
  }
  p.setPen(QPen(s == State::Hot ? kBrassDark : WithAlpha(kInk, 230), 1));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(0.5, 0.5, 16, 16), 3.5, 3.5);
  if (s != State::Pressed) {
    p.setPen(QPen(QColor(255, 236, 200, s == State::Hot ? 110 : 70), 1));
    p.drawLine(QPointF(3, 1.5), QPointF(14, 1.5));
  }
  const qreal off = s == State::Pressed ? 0.7 : 0;
  QPainterPath tri;
  const QPointF c(8.5 + off, 8.5 + off);
  const qreal a = 4.0, w = 4.2;
  switch (dir) {
    case 0:
      tri.moveTo(c + QPointF(-a + 0.5, 0));
      tri.lineTo(c + QPointF(a - 1, -w));
      tri.lineTo(c + QPointF(a - 1, w));
      break;
    case 1:
      tri.moveTo(c + QPointF(a - 0.5, 0));
      tri.lineTo(c + QPointF(-a + 1, -w));
      tri.lineTo(c + QPointF(-a + 1, w));
      break;
    case 2:
      tri.moveTo(c + QPointF(0, -a + 0.5));
      tri.lineTo(c + QPointF(-w, a - 1));
      tri.lineTo(c + QPointF(w, a - 1));
      break;
    default:
      tri.moveTo(c + QPointF(0, a - 0.5));
      tri.lineTo(c + QPointF(-w, -a + 1));
      tri.lineTo(c + QPointF(w, -a + 1));
      break;
  }
  tri.closeSubpath();
  Glyph(p, tri, s == State::Hot ? kBrassShine : kCream, s == State::Hot ? kBrassLight : kCreamDark, 0, 160);
  p.restore();
}

// A thumb: a brass pill whose caps are 7 pixels and whose middle column (or row) repeats.
void DrawThumb(QImage& skin, QPoint at, bool horizontal, State s) {
  QImage cell = Canvas(17, 17);
  {
    QPainter p(&cell);
    Smooth(p);
    QRectF body = horizontal ? QRectF(0.5, 2.5, 16, 12) : QRectF(2.5, 0.5, 12, 16);
    QLinearGradient g = horizontal ? QLinearGradient(0, 2, 0, 15) : QLinearGradient(2, 0, 15, 0);
    switch (s) {
      case State::Normal:
        g.setColorAt(0, kBrassLight);
        g.setColorAt(0.5, kBrass);
        g.setColorAt(1, kBrassDark);
        break;
      case State::Hot:
        g.setColorAt(0, kBrassShine);
        g.setColorAt(0.5, kBrassLight);
        g.setColorAt(1, kBrass);
        break;
      case State::Pressed:
        g.setColorAt(0, kBrass);
        g.setColorAt(0.5, kBrassDark);
        g.setColorAt(1, kBrassDeep);
        break;
    }
    SoftShadow(
        p,
        [&] {
          QPainterPath sh;
          sh.addRoundedRect(body, 5.5, 5.5);
          return sh;
        }(),
        QPointF(0, 0.8), 0.8, 90);
    p.setPen(QPen(kBrassDeep, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 5.5, 5.5);
    p.setPen(QPen(QColor(255, 250, 230, s == State::Pressed ? 50 : 130), 1));
    if (horizontal)
      p.drawLine(QPointF(5, 4), QPointF(12, 4));
    else
      p.drawLine(QPointF(4, 5), QPointF(4, 12));
  }
  if (horizontal)
    RepeatColumn(cell, 7, 9, 0, 16);
  else
    RepeatRow(cell, 7, 9, 0, 16);
  QPainter p(&skin);
  p.drawImage(at, cell);
}

// Track colours across the 17 pixels of a scroll track: a dark groove lit from below.
QColor TrackColor(int i) {
  if (i == 0) return QColor(0x1f, 0x13, 0x0b);
  if (i == 1) return QColor(0x2a, 0x1a, 0x10);
  if (i == 15) return QColor(0x5a, 0x3d, 0x27);
  if (i >= 16) return QColor(0x72, 0x50, 0x34);
  return Mix(QColor(0x33, 0x21, 0x14), QColor(0x46, 0x2f, 0x1d), (i - 2) / 12.0);
}

void DrawScrollParts(QImage& skin) {
  QPainter p(&skin);
  Smooth(p);
  const State states[3] = {State::Normal, State::Hot, State::Pressed};
  const int arrowRow[4] = {1, 21, 61, 81};  // left, right, up, down
  for (int k = 0; k < 3; ++k) {
    for (int d = 0; d < 4; ++d) DrawArrowButton(p, QPoint(211 + 20 * k, arrowRow[d]), d, states[k]);
  }
  p.end();
  for (int k = 0; k < 3; ++k) {
    DrawThumb(skin, QPoint(211 + 20 * k, 41), true, states[k]);
    DrawThumb(skin, QPoint(211 + 20 * k, 101), false, states[k]);
  }
  // Vertical track strip at (276, 21), 17 x 3; horizontal at (296, 1), 3 x 17.
  for (int i = 0; i < 17; ++i) {
    for (int r = 0; r < 3; ++r) {
      skin.setPixelColor(276 + i, 21 + r, TrackColor(i));
      skin.setPixelColor(296 + r, 1 + i, TrackColor(i));
    }
  }
  // Corner box at (276, 1), 17 x 17: the groove colour with a ribbed grip.
  QImage box = Canvas(17, 17);
  {
    QPainter q(&box);
    Smooth(q);
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < 17; ++x) box.setPixelColor(x, y, TrackColor(qMin(x, y) + 4 > 16 ? 16 : qMin(x, y) + 4));
    q.fillRect(QRectF(0, 0, 17, 1), TrackColor(0));
    q.fillRect(QRectF(0, 0, 1, 17), TrackColor(0));
    for (int k = 0; k < 3; ++k) {
      const qreal o = 4.5 + 4 * k;
      q.setPen(QPen(QColor(0x1a, 0x10, 0x09, 220), 1.2));
      q.drawLine(QPointF(15.5, o), QPointF(o, 15.5));
      q.setPen(QPen(WithAlpha(kBrassLight, 170), 1.0));
      q.drawLine(QPointF(15.5, o + 1.2), QPointF(o + 1.2, 15.5));
    }
  }
  QPainter b(&skin);
  b.drawImage(276, 1, box);
}

// The caption button (pocket and thumbnail close): five 20 x 20 sprites at (2 + 23k, 110).
void DrawCaptionButtons(QImage& skin) {
  QPainter p(&skin);
  Smooth(p);
  for (int k = 0; k < 5; ++k) {
    p.save();
    p.translate(2 + 23 * k, 110);
    const QPointF c(10, 11);
    QRadialGradient g(c + QPointF(-2.5, -3), 9);
    QColor cross = kCream;
    qreal off = 0;
    switch (k) {
      case 0:  // normal window
        g.setColorAt(0, QColor(0x86, 0x5e, 0x3c));
        g.setColorAt(1, QColor(0x4a, 0x2f, 0x1d));
        cross = kCreamDark;
        break;
      case 1:  // normal window, hot
        g.setColorAt(0, QColor(0xb0, 0x82, 0x52));
        g.setColorAt(1, QColor(0x66, 0x42, 0x26));
        break;
      case 2:  // highlighted window
        g.setColorAt(0, kBrassShine);
        g.setColorAt(0.55, kBrass);
        g.setColorAt(1, kBrassDark);
        cross = kWalnutDeep;
        break;
      case 3:  // highlighted window, hot
        g.setColorAt(0, QColor(0xf4, 0x9a, 0x6a));
        g.setColorAt(0.6, QColor(0xc4, 0x4a, 0x22));
        g.setColorAt(1, QColor(0x8a, 0x2a, 0x10));
        break;
      default:  // pressed
        g.setColorAt(0, QColor(0x9a, 0x34, 0x16));
        g.setColorAt(1, QColor(0x5c, 0x18, 0x08));
        off = 0.6;
        break;
    }
    QPainterPath dome;
    dome.addEllipse(c, 6.6, 6.6);
    SoftShadow(p, dome, QPointF(0, 1), 1.0, 110);
    p.setPen(QPen(k >= 2 ? QColor(0x4a, 0x24, 0x0a) : kInk, 1));
    p.setBrush(g);
    p.drawEllipse(c, 6.5, 6.5);
    if (k != 4) {
      p.setPen(QPen(QColor(255, 250, 230, 90), 1));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(c.x() - 5, c.y() - 5, 10, 10), 40 * 16, 100 * 16);
    }
    const qreal r = 2.6;
    const QPointF m = c + QPointF(off, off);
    if (cross != kWalnutDeep) {
      p.setPen(QPen(QColor(0, 0, 0, 140), 2.0, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(m + QPointF(-r, -r + 0.8), m + QPointF(r, r + 0.8));
      p.drawLine(m + QPointF(r, -r + 0.8), m + QPointF(-r, r + 0.8));
    }
    p.setPen(QPen(cross, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(m + QPointF(-r, -r), m + QPointF(r, r));
    p.drawLine(m + QPointF(r, -r), m + QPointF(-r, r));
    p.restore();
  }
}

// Toolbar pieces at y 115: left cap (308), 50-wide tile (318), right cap (368), 35 high.
void DrawToolbarPieces(QImage& skin) {
  for (int y = 0; y < 35; ++y) {
    const QColor row = ToolbarRow(y);
    for (int x = 0; x < 50; ++x) skin.setPixelColor(318 + x, 115 + y, row);
    for (int x = 0; x < 10; ++x) {
      // The ends of the bar darken towards the screen edges.
      const double t = qPow((x + 1) / 10.0, 0.6);
      const QColor c = Scale(row, 0.55 + 0.45 * t);
      skin.setPixelColor(308 + x, 115 + y, c);
      skin.setPixelColor(377 - x, 115 + y, c);
    }
  }
}

// The progress panel (300 x 100 in the game) is framed: ink, a bevel, a brass inlay, a dark
// line, then walnut. d is the distance to the nearest edge.
QColor PanelColor(int x, int y, int w, int h) {
  const int dx = qMin(x, w - 1 - x), dy = qMin(y, h - 1 - y);
  const int d = qMin(dx, dy);
  const bool lit = (dx <= dy) ? x < w / 2 : y < h / 2;  // top and left are lit
  switch (d) {
    case 0: return kInk;
    case 1: return lit ? QColor(0x8a, 0x62, 0x40) : QColor(0x2e, 0x1c, 0x10);
    case 2: return lit ? kBrassLight : kBrassDark;
    case 3: return QColor(0x2a, 0x19, 0x0f);
    default: break;
  }
  return Mix(QColor(0x5e, 0x3e, 0x27), QColor(0x3a, 0x25, 0x16), (y - 4) / 92.0);
}

void DrawProgressPieces(QImage& skin) {
  // Panel: left (308), middle (318), right (328), each 10 x 100, from a 30-wide sample.
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 30; ++x) skin.setPixelColor(308 + x, 1 + y, PanelColor(x, y, 30, 100));
  // Bars at (340, 1) full and (340, 22) empty: pills over the panel rows they cover (56-75).
  for (int full = 0; full < 2; ++full) {
    QImage bar(30, 20, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 30; ++x) bar.setPixelColor(x, y, PanelColor(40, 56 + y, 300, 100));
    {
      QPainter p(&bar);
      Smooth(p);
      const QRectF r(0.5, 0.5, 29, 19);
      if (full) {
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0, kBrassShine);
        g.setColorAt(0.45, QColor(0xe6, 0xa8, 0x48));
        g.setColorAt(1, QColor(0xa8, 0x64, 0x1c));
        p.setPen(QPen(kBrassDeep, 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 9.5, 9.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 240, 80));
        p.drawRoundedRect(QRectF(3, 2, 24, 7), 3.5, 3.5);
      } else {
        QLinearGradient g(0, 0, 0, 20);
        g.setColorAt(0, QColor(0x16, 0x0d, 0x07));
        g.setColorAt(0.3, QColor(0x24, 0x16, 0x0d));
        g.setColorAt(1, QColor(0x33, 0x21, 0x14));
        p.setPen(QPen(QColor(0x14, 0x0b, 0x05), 1));
        p.setBrush(g);
        p.drawRoundedRect(r, 9.5, 9.5);
        p.setPen(QPen(QColor(0xd8, 0xa8, 0x60, 70), 1));
        p.drawLine(QPointF(9, 18.5), QPointF(21, 18.5));
      }
    }
    RepeatColumn(bar, 10, 19, 0, 19);
    QPainter p(&skin);
    p.drawImage(340, full ? 1 : 22, bar);
  }
}

}  // namespace

bool MakeFrameSkin(const QString& dir) {
  QImage skin = Canvas(390, 170);
  DrawFrameSample(skin, 1, false);
  DrawFrameSample(skin, 103, true);
  DrawScrollParts(skin);
  DrawCaptionButtons(skin);
  DrawToolbarPieces(skin);
  DrawProgressPieces(skin);
  return SavePng(skin, dir + "/PNGIMAGE/4");
}

}  // namespace art
