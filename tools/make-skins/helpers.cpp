// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFileInfo>

#include "tools/make-skins/art.h"

namespace art {

void SoftShadow(QPainter& p, const QPainterPath& path, QPointF offset, qreal radius, int alpha) {
  // Concentric strokes of growing width, each faint, approximate a blur that stays
  // deterministic and needs no filter.
  p.save();
  p.setBrush(Qt::NoBrush);
  const int steps = qMax(1, int(radius * 2));
  for (int i = steps; i >= 1; --i) {
    const qreal w = radius * 2 * i / steps;
    QColor c(0, 0, 0, qMax(1, alpha / (steps + 1)));
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path.translated(offset));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, qMax(1, alpha / (steps + 1))));
  p.drawPath(path.translated(offset));
  p.restore();
}

void RepeatColumn(QImage& img, int from, int to, int top, int bottom) {
  for (int y = top; y <= bottom; ++y) {
    const QRgb v = img.pixel(from, y);
    for (int x = from + 1; x <= to; ++x) img.setPixel(x, y, v);
  }
}

void RepeatRow(QImage& img, int from, int to, int left, int right) {
  for (int x = left; x <= right; ++x) {
    const QRgb v = img.pixel(x, from);
    for (int y = from + 1; y <= to; ++y) img.setPixel(x, y, v);
  }
}

QPainterPath PiecePath(QRectF r) {
  // Unit piece: body 0..1 with a knob on the right and bottom, a hole on the left and top.
  const qreal s = qMin(r.width(), r.height()) / 1.36;
  const QPointF o = r.topLeft() + QPointF(0.1 * s, 0.1 * s);
  auto P = [&](qreal x, qreal y) { return o + QPointF(x * s, y * s); };
  QPainterPath path;
  path.moveTo(P(0, 0));
  // top edge with a hole
  path.lineTo(P(0.36, 0));
  path.cubicTo(P(0.44, 0.0), P(0.30, 0.20), P(0.5, 0.20));
  path.cubicTo(P(0.70, 0.20), P(0.56, 0.0), P(0.64, 0));
  path.lineTo(P(1, 0));
  // right edge with a knob
  path.lineTo(P(1, 0.36));
  path.cubicTo(P(1, 0.44), P(1.24, 0.26), P(1.24, 0.5));
  path.cubicTo(P(1.24, 0.74), P(1, 0.56), P(1, 0.64));
  path.lineTo(P(1, 1));
  // bottom edge with a knob
  path.lineTo(P(0.64, 1));
  path.cubicTo(P(0.56, 1), P(0.74, 1.24), P(0.5, 1.24));
  path.cubicTo(P(0.26, 1.24), P(0.44, 1), P(0.36, 1));
  path.lineTo(P(0, 1));
  // left edge with a hole
  path.lineTo(P(0, 0.64));
  path.cubicTo(P(0, 0.56), P(0.20, 0.70), P(0.20, 0.5));
  path.cubicTo(P(0.20, 0.30), P(0, 0.44), P(0, 0.36));
  path.closeSubpath();
  return path;
}

void Glyph(QPainter& p, const QPainterPath& path, QColor top, QColor bottom, qreal edge, int shadowAlpha) {
  p.save();
  if (shadowAlpha > 0) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, shadowAlpha));
    p.drawPath(path.translated(0.6, 1.0));
  }
  const QRectF b = path.boundingRect();
  QLinearGradient g(b.topLeft(), b.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setBrush(g);
  if (edge > 0)
    p.setPen(QPen(WithAlpha(kInk, 170), edge, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  else
    p.setPen(Qt::NoPen);
  p.drawPath(path);
  p.restore();
}

QColor ToolbarRow(int y) {
  // Top: a light bevel line; body: walnut darkening downwards; bottom: a brass inlay and
  // a dark edge.
  if (y <= 0) return QColor(0x9a, 0x6e, 0x47);
  if (y == 1) return QColor(0x76, 0x51, 0x33);
  if (y >= 34) return kInk;
  if (y == 33) return kBrassDark;
  if (y == 32) return kBrass;
  if (y == 31) return QColor(0x24, 0x16, 0x0d);
  const double t = (y - 2) / 28.0;
  auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
  return QColor(mix(0x66, 0x3d), mix(0x44, 0x27), mix(0x2b, 0x18));
}

bool SavePng(const QImage& img, const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QImage out = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  return out.save(path, "PNG");
}

}  // namespace art
