// The toolbar face sheet (BITMAP/1, 661 x 91, 24-bit): 22 columns of 29 x 29 faces at
// x = 30k + 1, normal at y 1, down at y 31, disabled at y 61. Each face carries the toolbar's
// own background rows (the buttons sit 2 pixels below the bar's top), so it joins the bar
// without a seam.
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFont>
#include <QtMath>

#include "tools/make-skins/art.h"

namespace art {
namespace {

const QColor kGlyphTop(0xff, 0xf5, 0xdc);
const QColor kGlyphBottom(0xdb, 0xc1, 0x8e);
const QColor kBrassTop(0xf8, 0xdc, 0x94);
const QColor kBrassBottom(0xb5, 0x83, 0x2e);

QPainterPath Rect(qreal x, qreal y, qreal w, qreal h, qreal r = 0) {
  QPainterPath p;
  if (r > 0)
    p.addRoundedRect(QRectF(x, y, w, h), r, r);
  else
    p.addRect(QRectF(x, y, w, h));
  return p;
}

QPainterPath TextPath(const QString& text, qreal px, QPointF centre) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(int(px));
  f.setBold(true);
  QPainterPath t;
  t.addText(0, 0, f, text);
  const QRectF b = t.boundingRect();
  return t.translated(centre - b.center());
}

// A landscape picture in a cream mount.
void Picture(QPainter& p, QRectF r) {
  Glyph(p, Rect(r.x(), r.y(), r.width(), r.height(), 1.5), kGlyphTop, kGlyphBottom, 1.0);
  const QRectF in = r.adjusted(2, 2, -2, -2);
  p.save();
  p.setClipRect(in);
  QLinearGradient sky(in.topLeft(), in.bottomLeft());
  sky.setColorAt(0, QColor(0x86, 0xb8, 0xd8));
  sky.setColorAt(1, QColor(0xd4, 0xea, 0xf0));
  p.fillRect(in, sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf4, 0xc2, 0x48));
  p.drawEllipse(QPointF(in.right() - 3, in.top() + 3), 1.8, 1.8);
  QPainterPath hill;
  hill.moveTo(in.left() - 1, in.bottom() + 1);
  hill.lineTo(in.left() + in.width() * 0.35, in.top() + in.height() * 0.35);
  hill.lineTo(in.left() + in.width() * 0.6, in.top() + in.height() * 0.7);
  hill.lineTo(in.left() + in.width() * 0.75, in.top() + in.height() * 0.5);
  hill.lineTo(in.right() + 1, in.bottom() + 1);
  hill.closeSubpath();
  p.setBrush(QColor(0x5f, 0x8c, 0x3e));
  p.drawPath(hill);
  p.restore();
}

// A small window: a brass caption band over a cream body.
void Window(QPainter& p, QRectF r) {
  Glyph(p, Rect(r.x(), r.y(), r.width(), r.height(), 2), kGlyphTop, kGlyphBottom, 1.0);
  p.save();
  p.setPen(Qt::NoPen);
  QLinearGradient g(r.topLeft(), r.topLeft() + QPointF(0, 5));
  g.setColorAt(0, kBrassTop);
  g.setColorAt(1, kBrassBottom);
  p.setBrush(g);
  p.drawRoundedRect(QRectF(r.x() + 1, r.y() + 1, r.width() - 2, 4.5), 1.5, 1.5);
  p.restore();
}

// A stitched pocket: flat top, straight sides, a pointed bottom.
QPainterPath Pouch(QPointF c) {
  QPainterPath pouch;
  pouch.moveTo(c + QPointF(-8.5, -5.5));
  pouch.lineTo(c + QPointF(8.5, -5.5));
  pouch.lineTo(c + QPointF(8.5, 4));
  pouch.lineTo(c + QPointF(0, 9.5));
  pouch.lineTo(c + QPointF(-8.5, 4));
  pouch.closeSubpath();
  return pouch;
}

void Pocket(QPainter& p, QPointF c, bool holding) {
  if (holding) {
    // A piece tucked in, half of it showing above the opening.
    QTransform t;
    t.translate(c.x() + 0.5, c.y() - 6.5);
    t.rotate(-98);  // its knob points up, out of the pocket
    const QPainterPath piece = t.map(PiecePath(QRectF(-6.5, -6.5, 13, 13)));
    Glyph(p, piece, kBrassTop, kBrassBottom, 1.0);
  }
  Glyph(p, Pouch(c), kGlyphTop, kGlyphBottom, 1.0);
  p.save();
  p.setPen(QPen(WithAlpha(kWalnut, 210), 1.0, Qt::CustomDashLine));
  QPen stitchPen(WithAlpha(kWalnut, 210), 1.0);
  stitchPen.setDashPattern({1.5, 1.2});
  p.setPen(stitchPen);
  p.setBrush(Qt::NoBrush);
  QPainterPath stitch;
  stitch.moveTo(c + QPointF(-6.5, -2));
  stitch.lineTo(c + QPointF(-6.5, 3));
  stitch.lineTo(c + QPointF(0, 7.2));
  stitch.lineTo(c + QPointF(6.5, 3));
  stitch.lineTo(c + QPointF(6.5, -2));
  p.drawPath(stitch);
  p.setPen(Qt::NoPen);
  QLinearGradient band(c + QPointF(0, -5.5), c + QPointF(0, -2.5));
  band.setColorAt(0, kBrassTop);
  band.setColorAt(1, kBrassBottom);
  p.setBrush(band);
  p.drawRect(QRectF(c.x() - 8, c.y() - 5, 16, 2.5));
  p.restore();
}

void Pin(QPainter& p, QPointF c, bool on) {
  p.save();
  p.translate(c);
  if (!on) p.rotate(38);
  // needle
  p.setPen(QPen(QColor(0x30, 0x30, 0x34), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, 1), QPointF(0, 9.5));
  p.setPen(QPen(QColor(0xd8, 0xdc, 0xe0), 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(0, 1), QPointF(0, 9));
  // collar and head
  QPainterPath collar = Rect(-4.5, -1.5, 9, 3, 1.2);
  Glyph(p, collar, on ? kBrassTop : kGlyphTop, on ? kBrassBottom : kGlyphBottom, 1.0);
  QPainterPath head;
  head.addEllipse(QPointF(0, -5.5), 5.5, 5.0);
  if (on)
    Glyph(p, head, QColor(0xf2, 0x84, 0x52), QColor(0xa8, 0x30, 0x12), 1.0);
  else
    Glyph(p, head, kGlyphTop, kGlyphBottom, 1.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(QPointF(-1.8, -7.2), 1.6, 1.2);
  p.restore();
}

QPainterPath Gear(QPointF c, int teeth, qreal outer, qreal inner, qreal hole) {
  QPainterPath g;
  const int n = teeth * 4;
  for (int i = 0; i < n; ++i) {
    const qreal a = 2 * M_PI * (i - 0.5) / n;
    const qreal r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
    const QPointF pt = c + QPointF(r * qCos(a), r * qSin(a));
    if (i == 0)
      g.moveTo(pt);
    else
      g.lineTo(pt);
  }
  g.closeSubpath();
  QPainterPath h;
  h.addEllipse(c, hole, hole);
  return g.subtracted(h);
}

// The icon of face column `col`, centred on c.
// Open: a folder with its front flap open.
void OpenIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  QPainterPath back;
  back.moveTo(x - 9, y - 6.5);
  back.lineTo(x - 3.5, y - 6.5);
  back.lineTo(x - 1.5, y - 4.5);
  back.lineTo(x + 8, y - 4.5);
  back.lineTo(x + 8, y + 7.5);
  back.lineTo(x - 9, y + 7.5);
  back.closeSubpath();
  Glyph(p, back, kBrassTop, kBrassBottom);
  QPainterPath front;
  front.moveTo(x - 6.5, y - 1);
  front.lineTo(x + 10.5, y - 1);
  front.lineTo(x + 7.5, y + 7.5);
  front.lineTo(x - 9, y + 7.5);
  front.closeSubpath();
  Glyph(p, front, kGlyphTop, kGlyphBottom);
}

// Save: a disk.
void SaveIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  QPainterPath body;
  body.moveTo(x - 8.5, y - 8.5);
  body.lineTo(x + 5.5, y - 8.5);
  body.lineTo(x + 8.5, y - 5.5);
  body.lineTo(x + 8.5, y + 8.5);
  body.lineTo(x - 8.5, y + 8.5);
  body.closeSubpath();
  Glyph(p, body, kBrassTop, kBrassBottom);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kWalnutDeep);
  p.drawRect(QRectF(x - 5, y - 8.5, 9, 5.5));
  p.setBrush(kBrassTop);
  p.drawRect(QRectF(x + 0.5, y - 7.5, 2, 3.5));
  p.restore();
  Glyph(p, Rect(x - 6, y + 0.5, 12, 8, 1), kGlyphTop, kGlyphBottom, 0.8, 0);
  p.save();
  p.setPen(QPen(WithAlpha(kWalnut, 180), 1));
  p.drawLine(QPointF(x - 4, y + 3.5), QPointF(x + 4, y + 3.5));
  p.drawLine(QPointF(x - 4, y + 6), QPointF(x + 4, y + 6));
  p.restore();
}

// Download: an arrow into a tray.
void DownloadIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  QPainterPath tray;
  tray.moveTo(x - 9.5, y + 2);
  tray.lineTo(x - 9.5, y + 9);
  tray.lineTo(x + 9.5, y + 9);
  tray.lineTo(x + 9.5, y + 2);
  tray.lineTo(x + 7, y + 2);
  tray.lineTo(x + 7, y + 6.5);
  tray.lineTo(x - 7, y + 6.5);
  tray.lineTo(x - 7, y + 2);
  tray.closeSubpath();
  Glyph(p, tray, kBrassTop, kBrassBottom);
  QPainterPath arrow;
  arrow.moveTo(x - 2.5, y - 9.5);
  arrow.lineTo(x + 2.5, y - 9.5);
  arrow.lineTo(x + 2.5, y - 2);
  arrow.lineTo(x + 6.5, y - 2);
  arrow.lineTo(x, y + 5);
  arrow.lineTo(x - 6.5, y - 2);
  arrow.lineTo(x - 2.5, y - 2);
  arrow.closeSubpath();
  Glyph(p, arrow, kGlyphTop, kGlyphBottom);
}

// Background of the current window: a window showing a picture.
void CurrentBackgroundIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  Window(p, QRectF(x - 9.5, y - 8.5, 19, 17));
  p.save();
  QRectF in(x - 7.5, y - 2, 15, 9);
  p.setClipRect(in);
  p.fillRect(in, QColor(0xa8, 0xd0, 0xe4));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x5f, 0x8c, 0x3e));
  QPainterPath hill;
  hill.moveTo(in.left() - 1, in.bottom() + 1);
  hill.lineTo(x - 2, y + 1);
  hill.lineTo(x + 2, y + 4.5);
  hill.lineTo(x + 5, y + 2.5);
  hill.lineTo(in.right() + 1, in.bottom() + 1);
  p.drawPath(hill);
  p.setBrush(QColor(0xf4, 0xc2, 0x48));
  p.drawEllipse(QPointF(x + 4.5, y + 0.5), 1.6, 1.6);
  p.restore();
}

// Select all: a dashed marquee around pieces.
void SelectAllIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 0, 0, 140), 1.6, Qt::CustomDashLine));
  QPen pen(kGlyphTop, 1.6);
  pen.setDashPattern({2.0, 1.5});
  p.drawRect(QRectF(x - 9, y - 8.5 + 0.8, 18, 17));
  p.setPen(pen);
  p.drawRect(QRectF(x - 9, y - 8.5, 18, 17));
  p.restore();
  Glyph(p, PiecePath(QRectF(x - 6.5, y - 6.5, 12, 12)), kBrassTop, kBrassBottom, 0.9);
}

// Magnifier.
void MagnifierIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  QPainterPath handle;
  handle.moveTo(x + 2.5, y + 2.5);
  handle.lineTo(x + 9, y + 9);
  QPainterPathStroker st;
  st.setWidth(4);
  st.setCapStyle(Qt::RoundCap);
  Glyph(p, st.createStroke(handle), kBrassTop, kBrassBottom);
  QPainterPath ring;
  ring.addEllipse(QPointF(x - 2.5, y - 2.5), 7.5, 7.5);
  QPainterPath hole;
  hole.addEllipse(QPointF(x - 2.5, y - 2.5), 5, 5);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xc8, 0xe4, 0xf0, 150));
  p.drawPath(hole);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(QPointF(x - 4.5, y - 4.5), 1.8, 1.3);
  p.restore();
  Glyph(p, ring.subtracted(hole), kGlyphTop, kGlyphBottom);
}

// Full screen: four corners pointing outwards.
void FullScreenIcon(QPainter& p, QPointF c) {
  const qreal x = c.x(), y = c.y();
  QPainterPath corners;
  for (int k = 0; k < 4; ++k) {
    const qreal sx = (k & 1) ? 1 : -1, sy = (k & 2) ? 1 : -1;
    corners.moveTo(x + sx * 3, y + sy * 9);
    corners.lineTo(x + sx * 9, y + sy * 9);
    corners.lineTo(x + sx * 9, y + sy * 3);
    corners.moveTo(x + sx * 9, y + sy * 9);
    corners.lineTo(x + sx * 4.5, y + sy * 4.5);
  }
  QPainterPathStroker st;
  st.setWidth(2.6);
  st.setCapStyle(Qt::RoundCap);
  st.setJoinStyle(Qt::RoundJoin);
  Glyph(p, st.createStroke(corners).simplified(), kGlyphTop, kGlyphBottom);
}

void Icon(QPainter& p, int col, QPointF c) {
  const qreal x = c.x(), y = c.y();
  switch (col) {
    case 0: OpenIcon(p, c); break;
    case 1: SaveIcon(p, c); break;
    case 2: DownloadIcon(p, c); break;
    case 3: {  // background of all windows: a stack of pictures
      Glyph(p, Rect(x - 4.5, y - 9.5, 14, 11, 1.5), kBrassTop, kBrassBottom);
      Glyph(p, Rect(x - 7, y - 7, 14, 11, 1.5), kBrassTop, kBrassBottom);
      Picture(p, QRectF(x - 9.5, y - 4, 15, 12.5));
      break;
    }
    case 4: CurrentBackgroundIcon(p, c); break;
    case 5:
    case 6: {  // first and second side
      Window(p, QRectF(x - 9.5, y - 8.5, 19, 17));
      const QPainterPath digit = TextPath(col == 5 ? "1" : "2", 12, QPointF(x, y + 2.5));
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(kWalnutDeep);
      p.drawPath(digit);
      p.restore();
      break;
    }
    case 7: {  // thumbnail: a window with a small picture
      Window(p, QRectF(x - 9.5, y - 8.5, 19, 17));
      Picture(p, QRectF(x - 6, y - 2.5, 12, 9));
      break;
    }
    case 8: {  // information
      QPainterPath disc;
      disc.addEllipse(c, 9, 9);
      Glyph(p, disc, kBrassTop, kBrassBottom);
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(kWalnutDeep);
      p.drawEllipse(QPointF(x, y - 4.5), 1.7, 1.7);
      p.drawRoundedRect(QRectF(x - 1.5, y - 1.5, 3, 8), 1, 1);
      p.restore();
      break;
    }
    case 9:
    case 10: Pocket(p, QPointF(x, y + (col == 10 ? 3 : 1)), col == 10); break;
    case 11: SelectAllIcon(p, c); break;
    case 12: {  // arrange: pieces laid out in a grid
      for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) {
          const bool brass = (r + k) % 2 == 0;
          Glyph(p, Rect(x - 9 + 6.5 * k, y - 9 + 6.5 * r, 5, 5, 1), brass ? kBrassTop : kGlyphTop,
                brass ? kBrassBottom : kGlyphBottom, 0.8);
        }
      break;
    }
    case 13: MagnifierIcon(p, c); break;
    case 14:
    case 15: Pin(p, QPointF(x, y - 0.5), col == 15); break;
    case 16: Glyph(p, Gear(c, 8, 9.5, 7, 3), kGlyphTop, kGlyphBottom); break;
    case 17: {  // help
      QPainterPath disc;
      disc.addEllipse(c, 9, 9);
      Glyph(p, disc, kBrassTop, kBrassBottom);
      p.save();
      p.setPen(Qt::NoPen);
      p.setBrush(kWalnutDeep);
      p.drawPath(TextPath("?", 14, c + QPointF(0.3, 0)));
      p.restore();
      break;
    }
    case 18: {  // the menu
      QPainterPath bars;
      for (int k = 0; k < 3; ++k) bars.addRoundedRect(QRectF(x - 8, y - 7 + 6 * k, 16, 3), 1.5, 1.5);
      Glyph(p, bars, kGlyphTop, kGlyphBottom);
      break;
    }
    case 19:  // minimise
      Glyph(p, Rect(x - 6, y + 3, 12, 3.2, 1.5), kGlyphTop, kGlyphBottom);
      break;
    case 20: {  // close
      QPainterPath cross;
      cross.moveTo(x - 5.5, y - 5.5);
      cross.lineTo(x + 5.5, y + 5.5);
      cross.moveTo(x + 5.5, y - 5.5);
      cross.lineTo(x - 5.5, y + 5.5);
      QPainterPathStroker st;
      st.setWidth(3);
      st.setCapStyle(Qt::RoundCap);
      Glyph(p, st.createStroke(cross).simplified(), kGlyphTop, kGlyphBottom);
      break;
    }
    case 21: FullScreenIcon(p, c); break;
    default: break;
  }
}

enum class Look { Normal, Down, Disabled };

QImage Face(int col, Look look) {
  const qreal width = (col == 19 || col == 20) ? 25 : 29;  // minimise and close show 25 columns
  QImage face(29, 29, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 29; ++x) face.setPixelColor(x, y, ToolbarRow(y + 2));
  QPainter p(&face);
  Smooth(p);
  if (look == Look::Down) {
    // A sunken plate with a warm glow; red for close.
    const QRectF plate(1.5, 1.5, width - 3, 26);
    QLinearGradient g(0, 1, 0, 28);
    if (col == 20) {
      g.setColorAt(0, QColor(0x6a, 0x16, 0x08));
      g.setColorAt(1, QColor(0xb0, 0x34, 0x14));
    } else {
      g.setColorAt(0, QColor(0x24, 0x15, 0x0b));
      g.setColorAt(1, QColor(0x47, 0x2d, 0x1a));
    }
    p.setPen(QPen(WithAlpha(kBrass, 220), 1));
    p.setBrush(g);
    p.drawRoundedRect(plate, 5, 5);
    QRadialGradient glow(QPointF(width / 2, 16), 12);
    glow.setColorAt(0, QColor(0xf0, 0xb0, 0x50, 70));
    glow.setColorAt(1, QColor(0xf0, 0xb0, 0x50, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(plate.adjusted(1, 1, -1, -1), 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 110), 1));
    p.drawLine(QPointF(4, 2.5), QPointF(width - 4, 2.5));
  }
  QImage icon = Canvas(29, 29);
  {
    QPainter q(&icon);
    Smooth(q);
    Icon(q, col, QPointF(width / 2, 14.5));
  }
  if (look == Look::Disabled) {
    // Faded, nearly colourless, without depth.
    for (int y = 0; y < 29; ++y)
      for (int x = 0; x < 29; ++x) {
        QColor c = icon.pixelColor(x, y);
        if (c.alpha() == 0) continue;
        const int grey = qGray(c.rgb());
        const QColor warm(qMin(255, grey + 14), grey, qMax(0, grey - 18), c.alpha() * 2 / 5);
        icon.setPixelColor(x, y, warm);
      }
  }
  p.drawImage(0, 0, icon);
  return face;
}

}  // namespace

bool MakeToolbarFaces(const QString& dir) {
  QImage sheet(661, 91, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(QColor(0x10, 0x0a, 0x06));
  QPainter p(&sheet);
  for (int col = 0; col < 22; ++col) {
    p.drawImage(30 * col + 1, 1, Face(col, Look::Normal));
    p.drawImage(30 * col + 1, 31, Face(col, Look::Down));
    p.drawImage(30 * col + 1, 61, Face(col, Look::Disabled));
  }
  p.end();
  // A plain 24-bit bottom-up Windows bitmap, as the resource loader expects.
  QDir().mkpath(dir + "/BITMAP");
  return sheet.convertToFormat(QImage::Format_RGB888).save(dir + "/BITMAP/1", "BMP");
}

}  // namespace art
