#include "game/piece_draw.h"

#include "foundation/numeric.h"
#include "game/emboss_maps.h"

namespace {

// Per pixel: kept here so that it inlines.
inline int32_t Channel(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The wood width drawing reserves beside each piece.
int32_t DrawnWoodWidth(const TGameOptions& o) {
  return o.WoodStyle != TWoodStyle::None ? IntMax(o.WoodFrameWidth, 0) : 0;
}

// Per call: what the wood of depth d does to a pixel.
struct TWoodTables {
  TWoodStyle Style = TWoodStyle::None;
  int32_t Width = 0;
  uint8_t Color[8][3]{};  // wood: blue, green, red of the wood at depth d
  int32_t Keep[8]{};      // shadows: parts in 256 of the pixel below that stay
};

TWoodTables MakeWoodTables(const TGameOptions& o) {
  TWoodTables t;
  t.Style = o.WoodStyle;
  t.Width = DrawnWoodWidth(o);
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
  TEmbossMap* Map;  // holds the piece's look in its turn; null without light and wood
  int32_t Piece;
};

// One rectangle of a piece: (sx, sy) in the rotation's mask, (tx, ty) on the target.
void DrawPiece(TDibImage& target, int32_t tx, int32_t ty, int32_t sx, int32_t sy, int32_t w, int32_t h,
               const TDrawSource& src, const TPieceRecord& p, bool emboss, const TWoodTables& wood) {
  const TDibImage& picture = *src.Picture;
  TEmbossMap* map =
      src.Map && !src.Map->Empty() && (src.Map->HasLight() || (wood.Style != TWoodStyle::None && src.Map->HasWood()))
          ? src.Map
          : nullptr;
  // The piece's look: a byte per pixel, its light on its own pixels and its wood elsewhere.
  const uint8_t* look = nullptr;
  intptr_t lookStride = 0;
  if (map) {
    const TEmbossMap::TLookPart part = map->LookPart(src.Piece, sx, sy);
    if (part.Bytes && sx + w <= part.Area.X + part.Area.W && sy + h <= part.Area.Y + part.Area.H) {
      lookStride = part.Area.W;
      look = part.Bytes + intptr_t(sy - part.Area.Y) * lookStride + (sx - part.Area.X);
    }
  }
  const bool woodClass = p.PatternClass >= 0 && p.PatternClass <= kFrameClass && p.ClassBit != 0;
  const bool light = look && emboss && map->HasLight();
  const bool depths = look && wood.Style != TWoodStyle::None && woodClass && map->HasWood();
  const uint8_t code = p.Code;
  const int32_t tbpp = target.BytesPerPixel;
  for (int32_t row = 0; row < h; ++row) {
    const int32_t y = sy + row;
    // Mask pixels in the margin beyond the picture have no picture to show.
    const TTurnedRow pic = TurnedImageRow(picture, 0, src.Rotation, sx, y);
    const TTurnedRow mask = TurnedMaskRow(*src.Mask, src.Rotation, sx, y);
    uint8_t* t = DibPixelAddress(target, tx, ty + row);
    const uint8_t* l = look ? look + intptr_t(row) * lookStride : nullptr;
    // Offsets into the picture and the mask, read only inside them.
    const int32_t maskInside = IntMin(mask.Inside, w), picInside = IntMin(pic.Inside, w);
    intptr_t mAt = 0, pAt = 0;
    for (int32_t col = 0; col < w; ++col, t += tbpp, mAt += mask.Step, pAt += pic.Step) {
      if (col < maskInside && mask.At[mAt] == code) {
        // The piece's own pixel: never wood, and shown only where the picture is.
        if (col >= picInside) continue;
        const uint8_t* s = pic.At + pAt;
        int32_t b = s[0], gr = s[1], r = s[2];
        if (light && l[col] != kNoLight) {
          const int32_t v = int32_t(l[col]) - kNoLight;
          b = Channel(b + v);
          gr = Channel(gr + v);
          r = Channel(r + v);
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
      // The wood's depth + 1, 0 where the piece's wood does not reach.
      const uint32_t f = l[col];
      if (f <= 1) continue;
      const uint32_t d = f - 1;
      if (wood.Style == TWoodStyle::Wood) {
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

// One source rectangle placed at (tx, ty) cut to the window, the clip, the target and the
// mask of turn r: false when nothing is left. The cut rectangle's target edges are inclusive.
struct TCutPart {
  int32_t Left, Top, Right, Bottom;  // on the target
  int32_t Sx, Sy;                    // in the mask
};
bool CutPart(const TDibImage& target, const TSkinRect& clip, const TPieceView& view, const TDibImage& mask, int32_t r,
             int32_t tx, int32_t ty, int32_t sx, int32_t sy, int32_t w, int32_t h, TCutPart& cut) {
  int32_t left = IntMax(IntMax(tx, view.Client.Left), IntMax(clip.Left, 0));
  int32_t top = IntMax(IntMax(ty, view.Client.Top), IntMax(clip.Top, 0));
  int32_t right = IntMin(IntMin(tx + w - 1, view.Client.Right), IntMin(clip.Right, target.Width - 1));
  int32_t bottom = IntMin(IntMin(ty + h - 1, view.Client.Bottom), IntMin(clip.Bottom, target.Height - 1));
  // The source must stay inside the mask as well.
  left = IntMax(left, tx - sx);
  top = IntMax(top, ty - sy);
  right = IntMin(right, tx + (TurnedMaskWidth(mask, r) - 1 - sx));
  bottom = IntMin(bottom, ty + (TurnedMaskHeight(mask, r) - 1 - sy));
  if (left > right || top > bottom) return false;
  cut = {left, top, right, bottom, sx + (left - tx), sy + (top - ty)};
  return true;
}

// The rectangles the piece draws (see PieceDrawnParts), with the field position of their box.
int32_t PartsToDraw(const TGameState& g, const TPieceView& view, int32_t piece, int32_t ww, TPieceBox parts[4],
                    int32_t& tx, int32_t& ty) {
  const TPieceRecord& p = g.Pieces[size_t(piece)];
  tx = view.Client.Left - view.ScrollX + p.X;
  ty = view.Client.Top - view.ScrollY + p.Y;
  return PieceDrawnParts(p.BoxW, p.BoxH, ww, piece == FramePieceIndex(g), parts);
}

}  // namespace

void DrawPieceClipped(TGameState& g, TDibImage& target, const TSkinRect& clip, const TPieceView& view, int32_t piece) {
  if (piece < 0 || piece >= LivePieceCount(g) || target.Width <= 0 || target.BytesPerPixel < 3) return;
  const TPieceRecord& p = g.Pieces[size_t(piece)];
  const int32_t r = p.Rotation & 3;
  const TDrawSource src{&g.Images.PictureImages[0], &g.Images.PieceMasks[0], r, PieceLookMap(g, piece), piece};
  if (src.Picture->Width <= 0 || src.Mask->Width <= 0) return;
  const TWoodTables wood = MakeWoodTables(g.GameOptions);
  const bool emboss = g.GameOptions.EmbossStyle != TEmbossStyle::None;
  TPieceBox parts[4];
  int32_t tx, ty;
  const int32_t n = PartsToDraw(g, view, piece, wood.Width, parts, tx, ty);
  for (int32_t k = 0; k < n; ++k) {
    const TPieceBox& b = parts[k];
    TCutPart cut;
    if (CutPart(target, clip, view, *src.Mask, r, tx + b.X, ty + b.Y, p.BoxX + b.X, p.BoxY + b.Y, b.W, b.H, cut))
      DrawPiece(target, cut.Left, cut.Top, cut.Sx, cut.Sy, cut.Right - cut.Left + 1, cut.Bottom - cut.Top + 1, src, p,
                emboss, wood);
  }
}

void PrepareToDraw(TGameState& g, const TDibImage& target, const TSkinRect& clip, const TPieceView& view,
                   const std::vector<int32_t>& pieces) {
  bool effects = false;
  for (const TEmbossMap& map : g.Images.EmbossMaps) effects |= !map.Empty();
  const TDibImage& mask = g.Images.PieceMasks[0];
  if (!effects || target.Width <= 0 || mask.Width <= 0) return;
  const int32_t ww = DrawnWoodWidth(g.GameOptions);
  std::vector<int32_t> shown;
  for (int32_t i : pieces) {
    if (i < 0 || i >= LivePieceCount(g)) continue;
    const TPieceRecord& p = g.Pieces[size_t(i)];
    TPieceBox parts[4];
    int32_t tx, ty;
    const int32_t n = PartsToDraw(g, view, i, ww, parts, tx, ty);
    TCutPart cut;
    for (int32_t k = 0; k < n; ++k)
      if (CutPart(target, clip, view, mask, p.Rotation & 3, tx + parts[k].X, ty + parts[k].Y, p.BoxX + parts[k].X,
                  p.BoxY + parts[k].Y, parts[k].W, parts[k].H, cut)) {
        shown.push_back(i);
        break;
      }
  }
  BuildPieceLooks(g, shown);
}
