// The about form's title card (images/about.png, 480 x 300) with the same walnut and brass as
// the window skins, the quick-help wheel pictures (images/wheel-down.png, wheel-up.png,
// 16 x 22) and the two pictures of the help pages (wheel.png and title.png in the help
// pictures folder).
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QRadialGradient>
#include <QtMath>

#include "tools/make-skins/art.h"

namespace art {
namespace {

// A piece in a square of side s at o (PiecePath leaves a margin for the knobs).
QPainterPath PieceAt(QPointF o, qreal s) {
  const qreal box = s * 1.36;
  return PiecePath(QRectF(o - QPointF(0.1 * s, 0.1 * s), QSizeF(box, box)));
}

// Walnut grain: a vertical gradient with fine horizontal streaks from a fixed sequence.
void Walnut(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kWalnutMid);
  g.setColorAt(0.45, kWalnut);
  g.setColorAt(1, kWalnutDeep);
  p.fillRect(r, g);
  uint32_t s = 12345;
  auto next = [&s] {
    s = s * 134775813u + 1u;
    return s;
  };
  for (int i = 0; i < 90; ++i) {
    const qreal y = r.top() + (next() >> 8) % int(r.height());
    const qreal amp = 1.5 + (next() >> 8) % 5;
    const qreal phase = (next() >> 8) % 628 / 100.0;
    const int a = 10 + int((next() >> 8) % 22);
    QPainterPath streak;
    streak.moveTo(r.left(), y);
    for (qreal x = r.left(); x <= r.right(); x += 8) streak.lineTo(x, y + amp * qSin(phase + x / (40.0 + amp * 9)));
    p.setPen(QPen(i % 3 ? WithAlpha(kInk, a) : WithAlpha(kWalnutLight, a), 1.0 + (i % 2)));
    p.drawPath(streak);
  }
}

void BrassRule(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kBrassShine);
  g.setColorAt(0.5, kBrass);
  g.setColorAt(1, kBrassDeep);
  p.fillRect(r, g);
}

QPainterPath TitlePath(const QString& text, int px, QPointF centre, bool bold) {
  QFont f(QStringLiteral("DejaVu Serif"));
  f.setPixelSize(px);
  f.setBold(bold);
  QPainterPath t;
  t.addText(0, 0, f, text);
  return t.translated(centre - t.boundingRect().center());
}

void BrassText(QPainter& p, const QPainterPath& t) {
  p.setPen(Qt::NoPen);
  p.setBrush(WithAlpha(Qt::black, 150));
  p.drawPath(t.translated(1.5, 2.0));
  const QRectF b = t.boundingRect();
  QLinearGradient g(b.topLeft(), b.bottomLeft());
  g.setColorAt(0, kBrassShine);
  g.setColorAt(0.45, kBrassLight);
  g.setColorAt(0.55, kBrass);
  g.setColorAt(1, kBrassDark);
  p.setBrush(g);
  p.setPen(QPen(WithAlpha(kInk, 200), 0.8));
  p.drawPath(t);
}

QImage TitleCard() {
  constexpr int W = 480, H = 300;
  QImage img(W, H, QImage::Format_RGB32);
  QPainter p(&img);
  Smooth(p);
  Walnut(p, QRectF(0, 0, W, H));

  // Brass frame: an outer rule and an inner hairline.
  p.setPen(QPen(kBrassDark, 3));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(7.5, 7.5, W - 15, H - 15));
  p.setPen(QPen(kBrassLight, 1));
  p.drawRect(QRectF(12.5, 12.5, W - 25, H - 25));

  // A glow behind the title.
  QRadialGradient glow(QPointF(W / 2.0, 120), 220);
  glow.setColorAt(0, WithAlpha(kAmber, 90));
  glow.setColorAt(1, WithAlpha(kAmber, 0));
  p.fillRect(QRectF(0, 0, W, H), glow);

  // Three pieces fitted together above the title, cream with a brass edge.
  const qreal s = 38;
  const QPointF base(W / 2.0 - 1.62 * s, 34);
  const QColor fills[3] = {kCream, kCreamDark, kBrassLight};
  for (int i = 0; i < 3; ++i) {
    const QPainterPath piece = PieceAt(base + QPointF(i * s * 1.0, (i == 1 ? -4 : 0)), s);
    p.setPen(Qt::NoPen);
    p.setBrush(WithAlpha(Qt::black, 120));
    p.drawPath(piece.translated(2, 3));
    QLinearGradient g(piece.boundingRect().topLeft(), piece.boundingRect().bottomRight());
    g.setColorAt(0, fills[i].lighter(108));
    g.setColorAt(1, fills[i].darker(118));
    p.setBrush(g);
    p.setPen(QPen(kBrassDeep, 1.2));
    p.drawPath(piece);
  }

  BrassText(p, TitlePath(QStringLiteral("Zorva"), 54, QPointF(W / 2.0, 136), true));
  BrassText(p, TitlePath(QStringLiteral("Jigsaw Quix"), 40, QPointF(W / 2.0, 184), true));
  BrassRule(p, QRectF(W / 2.0 - 120, 210, 240, 2));

  // The lower band where the date and version stand (black over a white shadow).
  const QRectF band(20, H - 70, W - 40, 50);
  QLinearGradient cream(band.topLeft(), band.bottomLeft());
  cream.setColorAt(0, WithAlpha(kCream, 235));
  cream.setColorAt(1, WithAlpha(kCreamDark, 235));
  p.setPen(QPen(kBrassDark, 1));
  p.setBrush(cream);
  p.drawRoundedRect(band, 6, 6);
  QFont small(QStringLiteral("DejaVu Sans"));
  small.setPixelSize(12);
  small.setItalic(true);
  p.setFont(small);
  p.setPen(kWalnutDark);
  p.drawText(band.adjusted(14, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Tamo Games"));
  p.end();
  return img;
}

// A mouse seen from above with its wheel marked and an arrow for the turn.
QImage Wheel(bool down) {
  QImage img(16, 22, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  Smooth(p);
  const QRectF body(2.5, 1.5, 11, 19);
  QLinearGradient g(body.topLeft(), body.bottomRight());
  g.setColorAt(0, kCream);
  g.setColorAt(1, kCreamDark);
  p.setBrush(g);
  p.setPen(QPen(kWalnutDark, 1));
  p.drawRoundedRect(body, 5.5, 5.5);
  p.drawLine(QPointF(2.5, 9), QPointF(13.5, 9));
  p.drawLine(QPointF(8, 1.5), QPointF(8, 9));
  p.setBrush(kBrassDark);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(6.5, 3, 3, 5), 1.5, 1.5);
  QPainterPath arrow;
  if (down) {
    arrow.moveTo(5, 12);
    arrow.lineTo(11, 12);
    arrow.lineTo(8, 17);
  } else {
    arrow.moveTo(5, 17);
    arrow.lineTo(11, 17);
    arrow.lineTo(8, 12);
  }
  arrow.closeSubpath();
  p.setBrush(QColor(0xb0, 0x3a, 0x1c));
  p.drawPath(arrow);
  p.end();
  return img;
}

}  // namespace

bool MakeTitleCard(const QString& dir, const QString& helpImagesDir) {
  const QImage card = TitleCard();
  return SavePng(card, dir + "/images/about.png") && SavePng(Wheel(true), dir + "/images/wheel-down.png") &&
         SavePng(Wheel(false), dir + "/images/wheel-up.png") &&
         SavePng(Wheel(true).scaled(32, 44, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                 helpImagesDir + "/wheel.png") &&
         SavePng(card.scaled(240, 150, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), helpImagesDir + "/title.png");
}

}  // namespace art
