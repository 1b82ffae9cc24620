// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skin-gallery/gallery.h"

#include <QFont>
#include <QPainterPath>

#include "foundation/skin_window.h"

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

namespace {

// A picture for the thumbnail and the magnifier to show: a warm landscape.
QImage Landscape(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0, QColor(0x6f, 0xa8, 0xd6));
  sky.setColorAt(0.6, QColor(0xf2, 0xd6, 0xa2));
  p.fillRect(img.rect(), sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf8, 0xc8, 0x50));
  p.drawEllipse(QPointF(w * 0.72, h * 0.3), h * 0.1, h * 0.1);
  QPainterPath hills;
  hills.moveTo(0, h);
  hills.lineTo(0, h * 0.7);
  hills.cubicTo(w * 0.3, h * 0.45, w * 0.5, h * 0.8, w * 0.75, h * 0.55);
  hills.cubicTo(w * 0.9, h * 0.45, w, h * 0.6, w, h * 0.6);
  hills.lineTo(w, h);
  p.setBrush(QColor(0x4f, 0x7a, 0x36));
  p.drawPath(hills);
  return img;
}

// Scatters a few pieces of the landscape over a window's client, as in play.
void Pieces(QPainter& p, const TSkinRect& client, int seed) {
  p.save();
  p.setClipRect(client.Left, client.Top, client.Width, client.Height);
  p.setRenderHint(QPainter::Antialiasing);
  const QImage pic = Landscape(240, 160);
  for (int k = 0; k < 7; ++k) {
    const int x = client.Left + 8 + (k * 53 + seed * 29) % qMax(1, client.Width - 30);
    const int y = client.Top + 6 + (k * 37 + seed * 17) % qMax(1, client.Height - 30);
    QPainterPath piece;
    const qreal s = 34;
    piece.addRect(0, 0, s, s);
    QPainterPath knob;
    knob.addEllipse(QPointF(s + 5, s / 2), 7, 7);
    QPainterPath hole;
    hole.addEllipse(QPointF(s / 2, 5), 7, 7);
    piece = piece.united(knob).subtracted(hole).translated(x, y);
    p.setPen(QPen(QColor(0, 0, 0, 90), 2));
    p.setBrush(QBrush(pic.copy((k * 31) % 180, (k * 23) % 110, 60, 60)));
    p.setBrushOrigin(x, y);
    p.drawPath(piece.translated(1, 2));
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.drawPath(piece);
  }
  p.restore();
}

void SetupWindow(TSkinWindow& w, int x, int y, int width, int height, TWindowStyle style, std::u16string_view caption,
                 int contentW, int contentH) {
  InitSkinWindow(w, x, y, width, height, style);
  w.Visible = true;
  w.BackgroundDrawn = style != kSkinStyleThumbnail && style != kSkinStyleGlass;
  w.Background = 0x989898;
  w.ContentWidth = contentW;
  w.ContentHeight = contentH;
  ResizeSkinWindow(w, false);
  if (!caption.empty()) SetSkinWindowCaption(w, caption);
}

// The lens as the game draws it over the glass window's frame: a mask of the client's size,
// black with a white ellipse filling it and a light upper-left and a dark lower-right rim arc;
// white shows the field under the lens centre at zoom z, the rim its own colour, black nothing.
void Lens(QImage& img, const QImage& field, const TSkinRect& c, int z) {
  const int w = c.Width, h = c.Height;
  QImage mask(w, h, QImage::Format_RGB32);
  mask.fill(Qt::black);
  {
    QPainter m(&mask);
    m.setPen(Qt::NoPen);
    m.setBrush(Qt::white);
    m.drawEllipse(QRectF(0, 0, w, h));
    m.setBrush(Qt::NoBrush);
    const QRectF arcBox(0.5, 0.5, w - 1, h - 1);
    m.setPen(QPen(QColor(0xf2, 0xf2, 0xf2), 0));
    m.drawArc(arcBox, 45 * 16, 180 * 16);
    m.setPen(QPen(QColor(0x0d, 0x0d, 0x0d), 0));
    m.drawArc(arcBox, 225 * 16, 180 * 16);
  }
  const int sx = c.Left + w / 2 - (w / z) / 2, sy = c.Top + h / 2 - (h / z) / 2;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const QRgb m = mask.pixel(i, j);
      const int x = c.Left + i, y = c.Top + j;
      if (qBlue(m) == 0 || !img.rect().contains(x, y)) continue;
      QRgb out = m;
      if (qBlue(m) == 255) {
        const QPoint from(sx + i / z, sy + j / z);
        out = field.rect().contains(from) ? field.pixel(from) : qRgb(0, 0, 0);
      }
      img.setPixel(x, y, out);
    }
}

}  // namespace

int PaintGalleryWindows(QPainter& page, const TDibImage& frameSkin, const TDibImage& glassSkin, int top, QColor field) {
  const int W = 1370, H = 340;
  TDibHolder target;
  CreateDib24(*target, W, H);
  TSkinRect clip;
  SetSkinRectBounds(clip, 0, 0, W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      SetDibPixel(*target, x, y, uint32_t(field.blue() << 16 | field.green() << 8 | field.red()));

  TSkinWindows ws;
  ws.FrameSkin = &frameSkin;
  ws.GlassSkin = &glassSkin;
  TSkinWindow& side = ws.GameWindows[0];
  TSkinWindow& pocket = ws.GameWindows[2];
  TSkinWindow& active = ws.GameWindows[3];
  TSkinWindow& narrow = ws.GameWindows[4];
  TSkinWindow& thumb = ws.GameWindows[6];
  TSkinWindow& glass = ws.GlassWindow;

  // A side, highlighted, both bars, the horizontal thumb pressed and the up arrow hot.
  SetupWindow(side, 10, 10, 270, 230, kSkinStyleSide, u"", 700, 520);
  side.ScrollX = 200;
  side.ScrollY = 90;
  LayoutSkinWindow(side);
  SetSkinButtonsHighlight(side, true);
  side.Highlighted = true;
  side.Buttons[kSkinBtnHorzThumb].Pressed = true;
  side.Buttons[kSkinBtnUp].Hot = true;
  // A pocket, not highlighted, its caption button hot.
  SetupWindow(pocket, 300, 10, 190, 170, kSkinStylePocket, u"Pocket 1", 300, 140);
  pocket.Buttons[kSkinBtnCaption].Hot = true;
  pocket.Buttons[kSkinBtnRight].Hot = true;
  // The active pocket with a caption too long for it: caption button pressed.
  SetupWindow(active, 510, 10, 230, 200, kSkinStylePocket,
              u"Pocket 2: the sky, the sun and every edge piece of the sea", 400, 400);
  active.Highlighted = true;
  SetSkinButtonsHighlight(active, true);
  active.Buttons[kSkinBtnCaption].Pressed = true;
  active.Buttons[kSkinBtnCaption].Hot = true;
  active.Buttons[kSkinBtnVertThumb].Hot = true;
  // The smallest pocket: its client at the 78 x 78 minimum.
  SetupWindow(narrow, 510, 220, 100, 78, kSkinStylePocket, u"Pocket 3", 0, 0);
  narrow.Highlighted = false;
  // The thumbnail, highlighted, its caption button hot.
  SetupWindow(thumb, 760, 10, 220, 170, kSkinStyleThumbnail, u"Thumbnail", 0, 0);
  thumb.Highlighted = true;
  SetSkinButtonsHighlight(thumb, true);
  thumb.Buttons[kSkinBtnCaption].Hot = true;
  // The magnifier with its zoom-in button, close hot.
  SetupWindow(glass, 1000, 10, 240, 240, kSkinStyleGlass, u"", 0, 0);
  glass.Buttons[kSkinBtnZoom3].Visible = true;
  glass.Buttons[kSkinBtnZoom2].Visible = false;
  glass.Highlighted = true;
  SetSkinButtonsHighlight(glass, true);
  glass.Buttons[kSkinBtnCaption].Hot = true;

  for (TSkinWindow* w : {&side, &pocket, &active, &narrow, &thumb}) PaintSkinWindow(ws, *target, clip, *w);
  QImage img = DibToImage(*target);
  {
    QPainter p(&img);
    Pieces(p, side.Client, 1);
    Pieces(p, pocket.Client, 2);
    Pieces(p, active.Client, 3);
    const TSkinRect& c = thumb.Client;
    p.drawImage(QRect(c.Left, c.Top, c.Width, c.Height), Landscape(c.Width, c.Height));
  }
  // The magnifier goes over what the field shows: its frame, then the lens over the frame.
  {
    QPainter p(&img);
    Pieces(p, glass.Client, 4);
    // A few more under the lens centre, where the glass looks.
    const TSkinRect& c = glass.Client;
    TSkinRect seen;
    SetSkinRectBounds(seen, c.Left + c.Width / 4, c.Top + c.Height / 4, c.Width / 2, c.Height / 2);
    Pieces(p, seen, 6);
  }
  const QImage under = img.copy();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const QRgb c = img.pixel(x, y);
      SetDibPixel(*target, x, y, uint32_t(qBlue(c) << 16 | qGreen(c) << 8 | qRed(c)));
    }
  PaintSkinWindow(ws, *target, clip, glass);
  img = DibToImage(*target);
  Lens(img, under, glass.Client, 2);
  page.drawImage(12, top, img);
  return H;
}
