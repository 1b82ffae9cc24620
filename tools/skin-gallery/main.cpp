// skin-gallery: paints the toolbar, the game windows and the magnifier in their states, the
// progress panel, the sprites and the raw skins into one PNG, through the same code and
// resources as the game, to look at the artwork in use.
//   skin-gallery [OUTPUT.png]
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

#include "foundation/artwork.h"
#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "foundation/toolbar.h"
#include "platform/resources.h"
#include "tools/skin-gallery/gallery.h"

namespace {

const QColor kField(0x98, 0x98, 0x98);  // the field's default background
const QColor kPage(0x30, 0x30, 0x34);

// The toolbar as the main window shows it: the background with each visible face on it.
QImage ToolbarPicture(const TToolbar& t) {
  QImage bar = DibToImage(t.ToolbarImage);
  QPainter p(&bar);
  for (const TToolbarButton& b : t.ToolbarButtons) {
    if (!b.Visible) continue;
    const QImage face = DibToImage(b.Face).copy(0, 0, b.Width, b.Height);
    p.drawImage(b.Left, b.Top, face);
  }
  return bar;
}

QImage Toolbar(const TDibImage& frameSkin, const TDibImage& sheet, int width, bool fullScreen, bool busy) {
  TToolbar t;
  InitToolbar(t);
  CreateDib24(t.ToolbarSkin, sheet.Width, sheet.Height);
  BlitDib(t.ToolbarSkin, 0, 0, sheet.Width, sheet.Height, sheet, 0, 0);
  LayoutToolbar(t, width, fullScreen);
  if (busy) {
    // A game in play: the first side shown, a pocket holding pieces, the weight set, one
    // command unavailable and the pointer over "open".
    SetToolbarButtonDown(t, 5, true);
    t.ToolbarButtons[10].SkinColumn = 10;
    t.ToolbarButtons[kToolbarWeight].SkinColumn = 15;
    SetToolbarButtonEnabled(t, kToolbarArrange, false);
  } else {
    for (int i : {1, 3, 4, 8, 13, 14, 15, 16}) t.ToolbarButtons[i].Enabled = false;
  }
  if (fullScreen) t.ToolbarButtons[kToolbarFullScreen].Down = true;
  PaintToolbarSkin(t, frameSkin, width, kToolbarTileHeight, 300);
  if (busy) {
    t.PressedToolbarButton = kToolbarOpen;
    PaintToolbarButton(t, kToolbarOpen, true);
  }
  QImage out = ToolbarPicture(t);
  FreeToolbar(t);
  return out;
}

QImage ProgressPanel(const TDibImage& frameSkin, int percent) {
  TToolbar t;
  InitToolbar(t);
  PaintToolbarSkin(t, frameSkin, 10, kToolbarTileHeight, 300);
  QImage panel = DibToImage(t.ProgressBkg);
  QPainter p(&panel);
  p.drawImage(kProgressBarLeft, kProgressBarTop, DibToImage(t.ProgressBarEmpty));
  const QImage full = DibToImage(t.ProgressBar);
  p.drawImage(kProgressBarLeft, kProgressBarTop, full.copy(0, 0, full.width() * percent / 100, full.height()));
  p.setPen(QColor(0xf6, 0xea, 0xcc));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(16);
  p.setFont(f);
  p.drawText(QRect(0, 18, panel.width(), 24), Qt::AlignCenter, QStringLiteral("Cutting the picture..."));
  FreeToolbar(t);
  return panel;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const char* out = argc > 1 ? argv[1] : "skin-gallery.png";

  TDibHolder frameSkin, glassSkin, pin, sheet;
  std::vector<uint8_t> bmp;
  std::string error;
  if (!LoadPngResource(*frameSkin, kFrameSkinPngId, &error) || !LoadPngResource(*glassSkin, kGlassSkinPngId, &error) ||
      !LoadPngResource(*pin, kWeightPinPngId, &error) ||
      !ReadProgramResource(kBitmapResourceKind, kToolbarFacesBitmapId, bmp) ||
      !DecodeBmp(*sheet, bmp.data(), bmp.size(), &error)) {
    std::fprintf(stderr, "skin-gallery: artwork missing: %s\n", error.c_str());
    return 1;
  }

  QImage page(1400, 1180, QImage::Format_RGB32);
  page.fill(kPage);
  QPainter p(&page);
  TGalleryWriter w(p);

  w.Title("Toolbar at 1280, in play: side 1 latched, pointer over open, arrange disabled");
  w.Place(Toolbar(*frameSkin, *sheet, 1280, false, true));
  w.Title("Toolbar at 800 in full screen, no game: commands disabled, full screen latched");
  w.Place(Toolbar(*frameSkin, *sheet, 800, true, false));
  w.Title("Toolbar at 520: the row squeezed, then cut at its right end");
  w.Place(Toolbar(*frameSkin, *sheet, 520, false, true));

  w.Title("Game windows");
  const int windowsTop = w.Y();
  w.Skip(PaintGalleryWindows(p, *frameSkin, *glassSkin, w.Y(), kField));

  w.Title("Progress panel at 60 %, weight pin, star frames, cursors");
  QImage strip(1260, 110, QImage::Format_RGB32);
  strip.fill(kField);
  {
    QPainter s(&strip);
    s.drawImage(0, 4, ProgressPanel(*frameSkin, 60));
    s.drawImage(330, 30, DibToImage(*pin));
    QImage star(QString::fromLatin1(kStarPicturePath));
    star = star.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < star.height(); ++y)
      for (int x = 0; x < star.width(); ++x)
        if (star.pixel(x, y) == qRgb(255, 255, 255)) star.setPixel(x, y, 0);
    s.drawImage(380, 20, star.scaled(star.size() * 2));
    s.drawImage(380, 70, star);
    int x = 640;
    for (const TCursorArt& c : kCursorArt) {
      QImage cur(QString(":/%1/%2").arg(kCursorResourceKind, c.Name));
      s.drawImage(x, 10, cur.scaled(64, 64));
      s.drawImage(x + 16, 76, cur);
      s.setPen(Qt::red);
      s.drawPoint(x + 16 + c.HotX, 76 + c.HotY);
      x += 96;
    }
  }
  w.Place(strip);

  w.Title("Raw skins, twice the size, over the field colour");
  QImage frame = DibToImage(*frameSkin);
  QImage glass = DibToImage(*glassSkin);
  QImage raw(frame.width() * 2 + glass.width() * 2 + 20, qMax(frame.height(), glass.height()) * 2,
             QImage::Format_RGB32);
  raw.fill(kField);
  {
    QPainter r(&raw);
    r.drawImage(QRect(0, 0, frame.width() * 2, frame.height() * 2), frame);
    r.drawImage(QRect(frame.width() * 2 + 20, 0, glass.width() * 2, glass.height() * 2), glass);
  }
  w.Place(raw);
  (void)windowsTop;
  p.end();

  if (!page.copy(0, 0, page.width(), w.Y() + 10).save(QString::fromLocal8Bit(out), "PNG")) {
    std::fprintf(stderr, "skin-gallery: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
