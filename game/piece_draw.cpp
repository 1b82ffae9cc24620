#include "game/piece_draw.h"

#include "foundation/numeric.h"

namespace {

// Per pixel: kept here so that it inlines.
inline int32_t Channel(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Per call: what the wood of depth d does to a pixel.
struct TWoodTables {
  int32_t Style = 0;
  int32_t Width = 0;
  uint8_t Color[8][3]{};  // style 1: blue, green, red of the wood at depth d
  int32_t Keep[8]{};  // style 2: parts in 256 of the pixel below that stay
};

TWoodTables MakeWoodTables(const TGameOptions& o) {
  TWoodTables t;
  t.Style = o.WoodStyle;
  t.Width = o.WoodStyle ? IntMax(o.WoodFrameWidth, 0) : 0;
  int32_t red, green, blue;
  SplitColor(uint32_t(o.WoodColor), red, green, blue);
  const int32_t step = t.Width > 1 ? 112 / (t.Width - 1) : 0;
  for (int32_t d = 1; d < 8; ++d) {
    const int32_t dark = 10 * (d - 1);
    t.Color[d][0] = uint8_t(IntMax(blue - dark, 0));
    t.Color[d][1] = uint8_t(IntMax(green - dark, 0));
    t.Color[d][2] = uint8_t(IntMax(red - dark, 0));
    const int32_t shade = d == 1 ? 128 : ClampInt(128 - step * (d - 1), 0, 256);
    t.Keep[d] = 256 - shade;
  }
  return t;
}

struct TDrawSource {
  const TDibImage* Picture;  // unturned, like the mask: the turn is read through them
  const TDibImage* Mask;
  int32_t Rotation;
  TEmbossMap* Map;
};

// One rectangle of a piece: (sx, sy) in the rotation's mask, (tx, ty) on the target.
void DrawPiece(TDibImage& target, int32_t tx, int32_t ty, int32_t sx, int32_t sy, int32_t w,
               int32_t h, const TDrawSource& src, const TPieceRecord& p, bool emboss,
               const TWoodTables& wood) {
  const TDibImage& picture = *src.Picture;
  TEmbossMap* map = src.Map && !src.Map->Empty() && (src.Map->HasLight() || (wood.Style != 0 && src.Map->HasWood()))
                        ? src.Map
                        : nullptr;
  const bool woodClass = p.PatternClass >= 0 && p.PatternClass <= kFrameClass && p.ClassBit != 0;
  const int32_t shift = woodClass ? 3 * p.PatternClass : 0;
  const uint8_t code = p.Code;
  const int32_t tbpp = target.BytesPerPixel;
  for (int32_t row = 0; row < h; ++row) {
    const int32_t y = sy + row;
    // Mask pixels in the margin beyond the picture have no picture to show.
    const TTurnedRow pic = TurnedImageRow(picture, 0, src.Rotation, sx, y);
    const TTurnedRow mask = TurnedMaskRow(*src.Mask, src.Rotation, sx, y);
    uint8_t* t = DibPixelAddress(target, tx, ty + row);
    // Offsets into the picture and the mask, read only inside them.
    const int32_t maskInside = IntMin(mask.Inside, w), picInside = IntMin(pic.Inside, w);
    intptr_t mAt = 0, pAt = 0;
    for (int32_t col = 0; col < w;) {
      // A run of pixels that shares one tile of the map.
      TEmbossMap::TSpan span{nullptr, nullptr, w - col};
      if (map) span = map->Span(sx + col, y);
      const uint8_t* light = emboss ? span.Light : nullptr;
      const uint32_t* depths = wood.Style != 0 && woodClass ? span.Wood : nullptr;
      const int32_t end = IntMin(w, col + span.Count);
      for (int32_t k = 0; col < end; ++col, ++k, t += tbpp, mAt += mask.Step, pAt += pic.Step) {
        if (col < maskInside && mask.At[mAt] == code && col < picInside) {
          const uint8_t* s = pic.At + pAt;
          int32_t b = s[0], gr = s[1], r = s[2];
          if (light && light[k] != kNoLight) {
            const int32_t l = int32_t(light[k]) - kNoLight;
            b = Channel(b + l);
            gr = Channel(gr + l);
            r = Channel(r + l);
          }
          if (p.Selected) {
            b = 255 - b;
            gr = 255 - gr;
            r = 255 - r;
          }
          t[0] = uint8_t(b);
          t[1] = uint8_t(gr);
          t[2] = uint8_t(r);
          continue;
        }
        if (!depths) continue;
        // The class's field is its depth + 1, 0 where the class does not reach.
        const uint32_t f = (depths[k] >> shift) & 7u;
        if (f <= 1) continue;
        const uint32_t d = f - 1;
        if (wood.Style == 1) {
          t[0] = wood.Color[d][0];
          t[1] = wood.Color[d][1];
          t[2] = wood.Color[d][2];
        } else {
          const int32_t keep = wood.Keep[d];
          t[0] = uint8_t((t[0] * keep) >> 8);
          t[1] = uint8_t((t[1] * keep) >> 8);
          t[2] = uint8_t((t[2] * keep) >> 8);
        }
      }
    }
  }
}

// Cuts one source rectangle placed at (tx, ty) to the window, the clip, the target and the
// mask, then draws it.
void DrawPart(TDibImage& target, const TSkinRect& clip, const TPieceView& view, int32_t tx,
              int32_t ty, int32_t sx, int32_t sy, int32_t w, int32_t h, const TDrawSource& src,
              const TPieceRecord& p, bool emboss, const TWoodTables& wood) {
  int32_t left = IntMax(IntMax(tx, view.Client.Left), IntMax(clip.Left, 0));
  int32_t top = IntMax(IntMax(ty, view.Client.Top), IntMax(clip.Top, 0));
  int32_t right = IntMin(IntMin(tx + w - 1, view.Client.Right), IntMin(clip.Right, target.Width - 1));
  int32_t bottom =
      IntMin(IntMin(ty + h - 1, view.Client.Bottom), IntMin(clip.Bottom, target.Height - 1));
  // The source must stay inside the mask as well.
  left = IntMax(left, tx - sx);
  top = IntMax(top, ty - sy);
  right = IntMin(right, tx + (TurnedMaskWidth(*src.Mask, src.Rotation) - 1 - sx));
  bottom = IntMin(bottom, ty + (TurnedMaskHeight(*src.Mask, src.Rotation) - 1 - sy));
  if (left > right || top > bottom) return;
  DrawPiece(target, left, top, sx + (left - tx), sy + (top - ty), right - left + 1,
            bottom - top + 1, src, p, emboss, wood);
}

}  // namespace

void DrawPieceClipped(TGameState& g, TDibImage& target, const TSkinRect& clip,
                      const TPieceView& view, int32_t piece) {
  if (piece < 0 || piece >= LivePieceCount(g) || target.Width <= 0 || target.BytesPerPixel < 3)
    return;
  const TPieceRecord& p = g.Pieces[size_t(piece)];
  const int32_t r = p.Rotation & 3;
  const TDrawSource src{&g.Images.PictureImages[0], &g.Images.PieceMasks[0], r, &g.Images.EmbossMaps[r]};
  if (src.Picture->Width <= 0 || src.Mask->Width <= 0) return;
  const TWoodTables wood = MakeWoodTables(g.GameOptions);
  const bool emboss = g.GameOptions.EmbossStyle != 0;
  const int32_t ww = wood.Width;
  const int32_t tx = view.Client.Left - view.ScrollX + p.X;
  const int32_t ty = view.Client.Top - view.ScrollY + p.Y;
  if (piece != FramePieceIndex(g)) {
    DrawPart(target, clip, view, tx, ty, p.BoxX, p.BoxY, p.BoxW + ww, p.BoxH + ww, src, p,
             emboss, wood);
    return;
  }
  // The frame is four strips: drawing its whole box would walk the empty middle.
  const int32_t iw = g.GameLevel.ImageW, ih = g.GameLevel.ImageH;
  struct TStrip {
    int32_t X, Y, W, H;
  };
  const TStrip strips[4] = {
      {0, 0, iw + ww, 20 + ww},
      {0, ih - 20, iw + ww, 20 + ww},
      {0, 20 + ww, 20 + ww, ih - 40 - ww},
      {iw - 20, 20 + ww, 20 + ww, ih - 40 - ww},
  };
  for (const TStrip& s : strips)
    DrawPart(target, clip, view, tx + s.X, ty + s.Y, p.BoxX + s.X, p.BoxY + s.Y, s.W, s.H, src,
             p, emboss, wood);
}
