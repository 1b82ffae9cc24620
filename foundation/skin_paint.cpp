// Painting of the skinned windows from their skin sheets.
#include <algorithm>

#include "foundation/dib_ops.h"
#include "foundation/skin_window.h"

namespace {

constexpr uint32_t kNoPictureGrey = 0x989898;

// FillDibRect of the part of (x, y, w, h) inside the clip rectangle.
void FillClipped(TDibImage& target, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t color, const TSkinRect& clip) {
  if (w < 1 || h < 1) return;
  TSkinRect area, part;
  SetSkinRectBounds(area, x, y, w, h);
  if (!IntersectSkinRects(area, clip, &part) || part.Width < 1 || part.Height < 1) return;
  FillDibRect(target, part.Left, part.Top, part.Width, part.Height, color);
}

}  // namespace

// --- Painting ------------------------------------------------------------------------------

void PaintSkinButton(TDibImage& target, const TDibImage& sheet, const TSkinRect& clip, const TSkinButton& b) {
  if (!b.Visible) return;
  int sprite;
  if (!b.WindowHighlighted)
    sprite = b.Hot ? 1 : 0;
  else
    sprite = b.Pressed ? 4 : (b.Hot ? 3 : 2);
  const TSkinRect& s = b.Sprites[sprite];
  const TSkinRect& B = b.Bounds;
  if (s.Width == 0) return;
  if (b.HorzThumb) {
    const int32_t k = s.Width / 2 - 1;
    DrawDibBlended(target, B.Left, B.Top, k, B.Height, sheet, s.Left, s.Top, k, B.Height, clip);
    DrawDibBlended(target, B.Right + 1 - k, B.Top, k, B.Height, sheet, s.Right + 1 - k, s.Top, k, B.Height, clip);
    const int32_t m = B.Width - 2 * k;
    if (m >= 1) DrawDibBlended(target, B.Left + k, B.Top, m, B.Height, sheet, s.Left + k, s.Top, 1, B.Height, clip);
  } else if (b.VertThumb) {
    const int32_t k = s.Height / 2 - 1;
    DrawDibBlended(target, B.Left, B.Top, B.Width, k, sheet, s.Left, s.Top, B.Width, k, clip);
    DrawDibBlended(target, B.Left, B.Bottom + 1 - k, B.Width, k, sheet, s.Left, s.Bottom + 1 - k, B.Width, k, clip);
    const int32_t m = B.Height - 2 * k;
    if (m >= 1) DrawDibBlended(target, B.Left, B.Top + k, B.Width, m, sheet, s.Left, s.Top + k, B.Width, 1, clip);
  } else {
    DrawDibBlended(target, B.Left, B.Top, B.Width, B.Height, sheet, s.Left, s.Top, s.Width, s.Height, clip);
  }
}

void PaintSkinWindow(const TSkinWindows& ws, TDibImage& target, const TSkinRect& clip, const TSkinWindow& w) {
  const TSkinRect& O = w.Outer;
  const int32_t b = w.BorderWidth, c = w.CaptionHeight;
  const int32_t fx = w.Highlighted ? 103 : 1;
  static const TDibImage kNoSheet{};
  const TDibImage& frame = ws.FrameSkin ? *ws.FrameSkin : kNoSheet;

  if (c > 0) {
    const int32_t h = b + c;
    DrawDibBlended(target, O.Left, O.Top, 6, h, frame, fx, 1, 6, h, clip);
    DrawDibBlended(target, O.Right - 5, O.Top, 6, h, frame, fx + 94, 1, 6, h, clip);
    DrawDibBlended(target, O.Left + 6, O.Top, O.Width - 12, h, frame, fx + 6, 1, 6, h, clip);
    const TSkinRect& cr = w.CaptionRect;
    if (w.CaptionImage.Width >= 1 && w.TextBounds.Width >= 1) {
      const int32_t tw = std::min(w.TextBounds.Width, cr.Width);
      const int32_t th = std::min(w.TextBounds.Height, cr.Height);
      // Centred on the whole window, not on the caption rectangle.
      const int32_t x = std::max(O.Left + (O.Width - tw) / 2, cr.Left);
      const int32_t y = cr.Top + 1 + (cr.Height - th) / 2;
      if (tw >= 1 && th >= 1)
        DrawDibBlended(target, x, y, tw, th, w.CaptionImage, w.TextBounds.Left, w.TextBounds.Top, tw, th, clip);
    }
  }

  if (b > 0) {
    const int32_t yb = O.Bottom + 1 - b;
    DrawDibBlended(target, O.Left + 10, yb, O.Width - 20, b, frame, fx + 10, 97, 50, b, clip);
    DrawDibBlended(target, O.Left, yb, 10, b, frame, fx, 97, 10, b, clip);
    DrawDibBlended(target, O.Right - 9, yb, 10, b, frame, fx + 90, 97, 10, b, clip);
    const int32_t y0 = O.Top + b + c, hh = O.Height - c - 2 * b;
    DrawDibBlended(target, O.Left, y0, b, hh, frame, fx, 31, b, 50, clip);
    DrawDibBlended(target, O.Left, y0, b, 5, frame, fx, 23, b, 5, clip);
    DrawDibBlended(target, O.Right + 1 - b, y0, b, hh, frame, fx + 96, 31, b, 50, clip);
    DrawDibBlended(target, O.Right + 1 - b, y0, b, 5, frame, fx + 96, 23, b, 5, clip);
  }

  if (w.VertScrollVisible) {
    const TSkinRect& t = w.VertTrack;
    DrawDibBlended(target, t.Left, t.Top, t.Width, t.Height, frame, 276, 21, t.Width, 3, clip);
  }
  if (w.HorzScrollVisible) {
    const TSkinRect& t = w.HorzTrack;
    DrawDibBlended(target, t.Left, t.Top, t.Width, t.Height, frame, 296, 1, 3, t.Height, clip);
  }
  if (w.HorzScrollVisible || w.VertScrollVisible) {
    const TSkinRect& k = w.CornerBox;
    DrawDibBlended(target, k.Left, k.Top, k.Width, k.Height, frame, 276, 1, k.Width, k.Height, clip);
  }

  if (w.BackgroundDrawn) {
    const TSkinRect& cl = w.Client;
    const TDibImage* pic = ws.BackgroundPicture;
    const bool pictureCode = w.Background >= 10 && w.Background <= 17;
    if (!pictureCode) {
      FillClipped(target, cl.Left, cl.Top, cl.Width, cl.Height, w.Background, clip);
    } else if (!pic || pic->Width <= 0) {
      // A picture code is no colour: without its picture the window gets the no-picture grey.
      FillClipped(target, cl.Left, cl.Top, cl.Width, cl.Height, kNoPictureGrey, clip);
    } else {
      // The picture scrolls with the content. Where the content reaches past the picture, the
      // part it cannot cover gets the no-picture grey rather than stale pixels.
      const int32_t coverW = std::clamp(pic->Width - w.ScrollX, 0, std::max(cl.Width, 0));
      const int32_t coverH = std::clamp(pic->Height - w.ScrollY, 0, std::max(cl.Height, 0));
      FillClipped(target, cl.Left + coverW, cl.Top, cl.Width - coverW, cl.Height, kNoPictureGrey, clip);
      FillClipped(target, cl.Left, cl.Top + coverH, coverW, cl.Height - coverH, kNoPictureGrey, clip);
      DrawDibBlended(target, cl.Left, cl.Top, cl.Width, cl.Height, *pic, w.ScrollX, w.ScrollY, cl.Width, cl.Height,
                     clip);
    }
  }

  const TDibImage& glass = ws.GlassSkin ? *ws.GlassSkin : kNoSheet;
  if (w.Style == kSkinStyleGlass) {
    for (int i = 0; i < 4; ++i) {
      const TSkinRect &t = w.GlassTiles[i], &s = w.GlassTileSprites[i];
      DrawDibBlended(target, t.Left, t.Top, t.Width, t.Height, glass, s.Left, s.Top, t.Width, t.Height, clip);
    }
  }
  const TDibImage& sheet = w.Style == kSkinStyleGlass ? glass : frame;
  for (const TSkinButton& button : w.Buttons)
    if (sheet.Width > 0) PaintSkinButton(target, sheet, clip, button);
}
