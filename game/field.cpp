#include "game/field.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/artwork.h"
#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "foundation/picture_loading.h"
#include "game/layout.h"
#include "game/piece_draw.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "platform/resources.h"

namespace {

TSkinRect EmptyRect() {
  TSkinRect r;
  ClearSkinRect(r);
  return r;
}

// The part of (x, y, w, h) inside both the image and the clip, as inclusive edges.
bool ClipArea(const TDibImage& image, const TSkinRect& clip, int32_t x, int32_t y, int32_t w, int32_t h, int32_t& left,
              int32_t& top, int32_t& right, int32_t& bottom) {
  if (image.Width <= 0 || IsSkinRectEmpty(clip)) return false;
  left = IntMax(IntMax(x, clip.Left), 0);
  top = IntMax(IntMax(y, clip.Top), 0);
  right = IntMin(IntMin(x + w - 1, clip.Right), image.Width - 1);
  bottom = IntMin(IntMin(y + h - 1, clip.Bottom), image.Height - 1);
  return left <= right && top <= bottom;
}

void CopyArea(TDibImage& target, const TDibImage& source, const TSkinRect& clip) {
  if (!IsSkinRectEmpty(clip))
    BlitDib(target, clip.Left, clip.Top, clip.Width, clip.Height, source, clip.Left, clip.Top);
}

void FillArea(TDibImage& target, const TSkinRect& clip, uint32_t color) {
  if (!IsSkinRectEmpty(clip)) FillDibRect(target, clip.Left, clip.Top, clip.Width, clip.Height, color);
}

bool IsPictureCode(uint32_t v) { return v >= 10 && v <= 17; }

void MoveWindowTo(TSkinWindow& w, int32_t left, int32_t top) {
  MoveSkinRect(w.Outer, left, top);
  LayoutSkinWindow(w);
}

bool IsHeldOrSelected(int32_t heldGroup, const TPieceRecord& p) {
  return p.Selected || (heldGroup != INT32_MIN && p.Group == heldGroup);
}

int32_t HeldGroup(const TGameState& g) {
  const int32_t held = g.Play.HeldPiece;
  return held >= 0 && held < LivePieceCount(g) ? g.Pieces[size_t(held)].Group : INT32_MIN;
}

void PaintWindowPieces(TField& f, TDibImage& target, const TSkinRect& clip, const TSkinWindow& w, int32_t kind) {
  TGameState& g = f.Game;
  const TPieceView view = PieceViewOf(w);
  const int32_t heldGroup = kind == kPaintStatic ? HeldGroup(g) : INT32_MIN;
  std::vector<int32_t> drawn;
  for (const TPieceOrderEntry& e : g.PieceOrder) {
    const TPieceRecord& p = g.Pieces[size_t(e.Index)];
    if (p.Window != w.Index) continue;
    if (kind == kPaintStatic && IsHeldOrSelected(heldGroup, p)) continue;
    drawn.push_back(e.Index);
  }
  PrepareToDraw(g, target, clip, view, drawn);
  for (int32_t i : drawn) DrawPieceClipped(g, target, clip, view, i);
}

void PaintHeldPieces(TField& f, TDibImage& target, const TSkinRect& clip) {
  TGameState& g = f.Game;
  const int32_t heldGroup = HeldGroup(g);
  TSkinWindow* active = ActiveWindow(f);
  const int32_t held = g.Play.HeldPiece;
  const TSkinWindow* w = held >= 0 && held < LivePieceCount(g)
                             ? &f.Windows.GameWindows[g.Pieces[size_t(held)].Window % kGameWindowCount]
                             : active;
  if (!w) return;
  const TPieceView view = PieceViewOf(*w);
  std::vector<int32_t> carried;
  for (const TPieceOrderEntry& e : g.PieceOrder)
    if (IsHeldOrSelected(heldGroup, g.Pieces[size_t(e.Index)])) carried.push_back(e.Index);
  PrepareToDraw(g, target, clip, view, carried);
  for (int32_t i : carried) DrawPieceClipped(g, target, clip, view, i);
}

void Invalidate(TField& f, const TSkinRect& r) {
  if (IsSkinRectEmpty(r)) return;
  IncludeInSkinRect(f.Changed, r.Left, r.Top, r.Right, r.Bottom);
  f.Host.InvalidateFieldRect(r.Left, r.Top, r.Width, r.Height);
}

void LoadArtwork(TField& f) {
  if (!f.Windows.FrameSkin && LoadPngResource(*f.FrameSkin, kFrameSkinPngId)) f.Windows.FrameSkin = &*f.FrameSkin;
  if (!f.Windows.GlassSkin && LoadPngResource(*f.GlassSkin, kGlassSkinPngId)) f.Windows.GlassSkin = &*f.GlassSkin;
  if (f.Pin.Picture->Width <= 0) LoadPngResource(*f.Pin.Picture, kWeightPinPngId);
  if (f.Star.Sheet->Width <= 0) {
    std::vector<uint8_t> bytes;
    TDibHolder sheet;
    if (ReadResourceFile(kStarPicturePath, bytes) && DecodePicture(*sheet, bytes.data(), bytes.size()) &&
        CreateDib24(*f.Star.Sheet, sheet->Width, sheet->Height)) {
      for (int32_t y = 0; y < sheet->Height; ++y)
        for (int32_t x = 0; x < sheet->Width; ++x)
          SetDibPixel(*f.Star.Sheet, x, y, DibPixelColor(DibPixelAddress(*sheet, x, y)));
    }
  }
}

}  // namespace

TField::TField(TGameState& game, TSkinWindows& windows, TFieldHost& host) : Game(game), Windows(windows), Host(host) {
  Game.Host = this;
  Windows.Host = this;
}

TField::~TField() {
  Game.Host = &DetachedPlayHost();
  Windows.Host = &DetachedSkinWindowHost();
}

void TField::SetModified() { Host.SetModified(); }
void TField::CheckSolved() { ::CheckSolved(*this); }
void TField::SelectionChanged(bool any) { Host.SelectionChanged(any); }

void TField::RefreshWindow(int32_t index) {
  if (index < 0 || index >= kGameWindowCount) return;
  TSkinWindow& w = Windows.GameWindows[index];
  if (w.Style != kSkinStylePocket) return;
  w.PieceCount = CountWindowPieces(Game, index, true);
  UpdateWindowContentSize(*this, w);
  Host.PocketChanged(index);
}

void TField::ActivateWindow(int32_t index) {
  if (index < 0 || index >= kGameWindowCount) return;
  TSkinWindow& w = Windows.GameWindows[index];
  HighlightSkinWindow(Windows, &w);
  if (w.Style == kSkinStylePocket) BringSkinWindowToFront(Windows, w);
}

void TField::DragRedraw(int32_t mode) { ::DragRedraw(*this, mode); }

void TField::PaintHeld() {
  PaintField(*this, *ScreenBuffer, FieldRect, kPaintFromStatic);
  PaintField(*this, *ScreenBuffer, FieldRect, kPaintHeld);
}

TSkinWindow* TField::ActiveWindow() { return &ActiveWindowRecord(*this); }
void TField::UpdateWindowMenuCaptions() { Host.UpdateWindowMenuCaptions(); }
void TField::SetFieldCursor(TSkinCursor cursor) { Host.SetFieldCursor(cursor); }
bool TField::PointInLens(int32_t x, int32_t y) { return MapGlassPoint(*this, x, y, false); }

TSkinWindow* ActiveWindow(TField& f) { return f.Windows.HighlightedSkinWindow; }

TSkinWindow& ActiveWindowRecord(TField& f) {
  for (int32_t i = 0; i < 6; ++i) {
    TSkinWindow& w = f.Windows.GameWindows[i];
    if (w.Highlighted && (w.Style == kSkinStyleSide || w.Style == kSkinStylePocket)) return w;
  }
  return f.Windows.GameWindows[f.Windows.GameWindows[0].Visible ? 0 : 1];
}

void InitField(TField& f) {
  CreateDib24(*f.Glass.Lens, kLensSize, kLensSize);
  CreateDib24(*f.Glass.LensMask, kLensSize, kLensSize);
  f.Glass.A = f.Windows.GlassWindow.Client.Width / 2.0;
  f.Glass.B = f.Windows.GlassWindow.Client.Height / 2.0;
  DrawGlassFrame(f);
  LoadArtwork(f);
}

// --- Geometry -------------------------------------------------------------------------------

void UpdateFieldSize(TField& f, const TFieldLayout& layout) {
  const TWorkArea& wa = f.Work;
  if (layout.FullScreen) {
    f.Game.Field.FieldW = layout.MainWidth;
    f.Game.Field.FieldH = layout.MainHeight - layout.ToolbarHeight;
  } else if (!layout.Maximized) {
    WindowedFieldSize(wa, layout.ToolbarHeight, f.Game.Field.FieldW, f.Game.Field.FieldH);
  } else {
    f.Game.Field.FieldW = wa.Width;
    f.Game.Field.FieldH = wa.Height - wa.CaptionHeight - layout.ToolbarHeight;
  }
  f.Game.Field.FieldW = IntMax(f.Game.Field.FieldW, 1);
  f.Game.Field.FieldH = IntMax(f.Game.Field.FieldH, 1);
  SetSkinRectBounds(f.FieldRect, 0, 0, f.Game.Field.FieldW, f.Game.Field.FieldH);
  // The buffers cover the screen and the field: a field larger than the screen (a window
  // stretched across two screens) must not be painted past the buffer's end.
  const int32_t bw = IntMax(IntMax(wa.ScreenWidth, f.Game.Field.FieldW), 1);
  const int32_t bh = IntMax(IntMax(wa.ScreenHeight, f.Game.Field.FieldH), 1);
  if (f.ScreenBuffer->Width < bw || f.ScreenBuffer->Height < bh || f.StaticBuffer->Width < bw ||
      f.StaticBuffer->Height < bh) {
    FreeDib(*f.StaticBuffer);
    FreeDib(*f.ScreenBuffer);
    if (CreateDib24(*f.StaticBuffer, bw, bh) && CreateDib24(*f.ScreenBuffer, bw, bh)) {
      const uint32_t background = IsPictureCode(f.FieldBackground) ? kFieldGrey : f.FieldBackground;
      TSkinRect all;
      SetSkinRectBounds(all, 0, 0, bw, bh);
      FillArea(*f.StaticBuffer, all, background);
      CopyArea(*f.ScreenBuffer, *f.StaticBuffer, all);
    } else {
      FreeDib(*f.StaticBuffer);
      FreeDib(*f.ScreenBuffer);
    }
  }
  if (IsPictureCode(f.FieldBackground)) f.Host.LoadBackgroundPicture(int32_t(f.FieldBackground));
}

void WindowedFieldSize(const TWorkArea& wa, int32_t toolbarHeight, int32_t& width, int32_t& height) {
  width = wa.Width - 2 * wa.FrameWidth;
  height = wa.Height - 2 * wa.FrameHeight - wa.CaptionHeight - toolbarHeight;
}

void LargestFieldSize(const TField& f, bool fullScreen, int32_t toolbarHeight, int32_t& width, int32_t& height) {
  const TWorkArea& wa = f.Work;
  if (fullScreen) {
    width = f.Game.Field.FieldW + 2 * wa.FrameWidth;
    height = f.Game.Field.FieldH + 2 * wa.FrameHeight;
  } else {
    width = wa.Width;
    height = wa.Height - wa.CaptionHeight - toolbarHeight;
  }
}

void SetActiveSide(TField& f, int32_t side) {
  side = side ? 1 : 0;
  TGameState& g = f.Game;
  g.Play.RedrawKind = kRedrawField;
  TSkinWindow& shown = f.Windows.GameWindows[side];
  TSkinWindow& hidden = f.Windows.GameWindows[1 - side];
  SetSkinWindowVisible(f.Windows, hidden, false);
  SetSkinWindowVisible(f.Windows, shown, true);
  HighlightSkinWindow(f.Windows, &shown);
  f.ActiveSide = side;
  f.Host.ActiveSideChanged(side);
  const int32_t n = LivePieceCount(g);
  const int32_t held = g.Play.HeldPiece;
  if (held >= 0 && held < n && g.Pieces[size_t(held)].Window <= 1) {
    const int32_t group = g.Pieces[size_t(held)].Group;
    for (int32_t i = 0; i < n; ++i) {
      TPieceRecord& p = g.Pieces[size_t(i)];
      if (p.Selected || p.Group == group) p.Window = uint8_t(side);
    }
  }
  RefreshDrag(f);
}

void KeepWindowsInField(TField& f) {
  const int32_t fw = f.Game.Field.FieldW, fh = f.Game.Field.FieldH;
  TSkinWindow& glass = f.Windows.GlassWindow;
  if (glass.Visible) {
    const int32_t m = glass.GlassMargin;
    const TSkinRect r = glass.Outer;
    if (!(r.Right > m && r.Left < fw - m && r.Bottom > m && r.Top < fh - m)) {
      int32_t left = r.Left, top = r.Top;
      if (r.Right <= m) left = m - r.Width;
      if (r.Left >= fw - m) left = fw - m;
      if (r.Bottom <= m) top = m - r.Height;
      if (r.Top >= fh - m) top = fh - m;
      MoveWindowTo(glass, left, top);
    }
  }
  for (TSkinWindow& w : f.Windows.GameWindows) {
    if (!w.Visible || w.CaptionHeight == 0) continue;
    const int32_t m1 = w.BorderWidth + w.CaptionHeight, m2 = 2 * m1;
    const TSkinRect r = w.Outer;
    if (r.Right > m2 && r.Left < fw - m2 && r.Top >= 0 && r.Top < fh - m1) continue;
    int32_t left = r.Left, top = r.Top;
    if (r.Right <= m2) left = m2 - r.Width;
    if (r.Left >= fw - m2) left = fw - m2;
    if (r.Top < 0) top = 0;
    if (r.Top >= fh - m1) top = fh - m1;
    MoveWindowTo(w, left, top);
  }
}

void UpdateWindowContentSize(TField& f, TSkinWindow& w) {
  const TGameState& g = f.Game;
  int32_t right = 0, bottom = 0;
  for (int32_t i = 0; i < LivePieceCount(g); ++i) {
    const TPieceRecord& p = g.Pieces[size_t(i)];
    if (p.Window != w.Index) continue;
    right = IntMax(right, p.X + p.BoxW);
    bottom = IntMax(bottom, p.Y + p.BoxH);
  }
  w.ContentWidth = w.MaxClientWidth ? IntMin(right, w.MaxClientWidth) : right;
  w.ContentHeight = w.MaxClientHeight ? IntMin(bottom, w.MaxClientHeight) : bottom;
  RelayoutSkinWindow(w);
}

void ScrollWindowBy(TField& f, TSkinWindow& w, int32_t x, int32_t y) {
  TrackSkinScroll(f.Windows, w, x, y);
  if (w.Index == 0 && w.Style == kSkinStyleSide)
    CopySkinWindowLayout(f.Windows.GameWindows[1], w);
  else if (w.Index == 1 && w.Style == kSkinStyleSide)
    CopySkinWindowLayout(f.Windows.GameWindows[0], w);
}

// --- Painting -------------------------------------------------------------------------------

void TintBandRect(TField& f, TDibImage& target, const TSkinRect& clip) {
  TSkinWindow* active = ActiveWindow(f);
  if (!active) return;
  TSkinRect band = f.Game.Play.Band;
  int32_t bw = band.Width, bh = band.Height, bl = band.Left, bt = band.Top;
  if (bw < 0) {
    bl += bw;
    bw = -bw;
  }
  if (bh < 0) {
    bt += bh;
    bh = -bh;
  }
  const int32_t x = active->Client.Left + bl - active->ScrollX;
  const int32_t y = active->Client.Top + bt - active->ScrollY;
  TSkinRect area;
  SetSkinRectBounds(area, x, y, bw, bh);
  TSkinRect cut;
  if (!IntersectSkinRects(area, active->Client, &cut) || !IntersectSkinRects(cut, clip, &cut)) return;
  int32_t l, t, r, b;
  if (!ClipArea(target, cut, cut.Left, cut.Top, cut.Width, cut.Height, l, t, r, b)) return;
  for (int32_t ty = t; ty <= b; ++ty) {
    uint8_t* p = DibPixelAddress(target, l, ty);
    for (int32_t tx = l; tx <= r; ++tx, p += target.BytesPerPixel)
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] + ((240 - p[c]) * 128) / 256);
  }
}

void PaintField(TField& f, TDibImage& target, const TSkinRect& clip, int32_t kind) {
  if (target.Width <= 0 || IsSkinRectEmpty(clip)) return;
  TGameState& g = f.Game;
  if (kind == kPaintFromStatic) {
    CopyArea(target, *f.StaticBuffer, clip);
    return;
  }
  if (kind == kPaintBand) {
    TintBandRect(f, target, clip);
    return;
  }
  // The hit test leaves the order descending and play changes groups: draw from a fresh
  // ascending order, so what is drawn on top is what a click takes.
  if (g.GameLoaded) SortPieces(g, false);
  if (kind == kPaintHeld) {
    if (g.GameLoaded) PaintHeldPieces(f, target, clip);
    return;
  }
  TSkinWindow* active = ActiveWindow(f);
  if (kind != kPaintActiveOnly)
    FillArea(target, clip, IsPictureCode(f.FieldBackground) ? kFieldGrey : f.FieldBackground);
  for (TSkinWindow* w : f.Windows.SkinWindowOrder) {
    if (!w || !w->Visible) continue;
    if (kind == kPaintAllButActive && w == active) continue;
    if (kind == kPaintActiveOnly && w != active) continue;
    if (!IntersectSkinRects(w->Outer, clip, nullptr)) continue;
    PaintSkinWindow(f.Windows, target, clip, *w);
    if (!g.GameLoaded) continue;
    if (w->Style == kSkinStyleSide || w->Style == kSkinStylePocket) {
      PaintWindowPieces(f, target, clip, *w, kind);
      if (g.Play.DragState == 2 && w == active && kind != kPaintNoBand) TintBandRect(f, target, clip);
    } else if (w->Style == kSkinStyleThumbnail && f.ThumbPicture) {
      TSkinRect cut;
      if (IntersectSkinRects(w->Client, clip, &cut))
        DrawDibBlended(target, w->Client.Left, w->Client.Top, w->Client.Width, w->Client.Height, *f.ThumbPicture, 0, 0,
                       w->Client.Width, w->Client.Height, cut);
    }
  }
}

void DragRedraw(TField& f, int32_t mode) {
  TGameState& g = f.Game;
  TDibImage& st = *f.StaticBuffer;
  TDibImage& sc = *f.ScreenBuffer;
  switch (mode) {
    case 0:
      PaintField(f, st, f.FieldRect, kPaintAll);
      CopyArea(sc, st, f.FieldRect);
      break;
    case 1: {
      PaintField(f, st, f.FieldRect, kPaintStatic);
      TSkinWindow* active = ActiveWindow(f);
      const int32_t held = g.Play.HeldPiece;
      const TSkinWindow* w = held >= 0 && held < LivePieceCount(g)
                                 ? &f.Windows.GameWindows[g.Pieces[size_t(held)].Window % kGameWindowCount]
                                 : active;
      g.Play.DragRect = w ? HeldPiecesRect(g, PieceViewOf(*w)) : EmptyRect();
      CopyArea(sc, st, f.FieldRect);
      PaintField(f, sc, f.FieldRect, kPaintHeld);
      break;
    }
    case 3: {
      PaintField(f, st, f.FieldRect, kPaintAllButActive);
      TSkinWindow* active = ActiveWindow(f);
      g.Play.DragRect = active ? active->Outer : EmptyRect();
      CopyArea(sc, st, f.FieldRect);
      PaintField(f, sc, f.FieldRect, kPaintActiveOnly);
      break;
    }
    case 5:
      PaintField(f, st, f.FieldRect, kPaintNoBand);
      g.Play.DragRect = g.Play.Band;
      CopyArea(sc, st, f.FieldRect);
      PaintField(f, sc, f.FieldRect, kPaintBand);
      break;
    default: break;
  }
}

void RefreshDrag(TField& f) {
  if (f.Game.Play.HeldPiece >= 0 && f.Game.Play.DragState == 1)
    DragRedraw(f, 1);
  else if (f.Pin.Dragging)
    DragRedraw(f, 0);
}

TSkinRect Redraw(TField& f) {
  TGameState& g = f.Game;
  const int32_t kind = g.Play.RedrawKind;
  if (kind == kRedrawNone) return EmptyRect();
  TSkinRect changed = f.FieldRect;
  if (kind == kRedrawField) {
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintAll);
  } else if (kind == kRedrawSmall) {
    IntersectSkinRects(f.SmallRect, f.FieldRect, &changed);
    PaintField(f, *f.ScreenBuffer, changed, kPaintAll);
  }
  g.Play.RedrawKind = kRedrawNone;
  DrawStar(f);
  DrawWeightPin(f);
  if (f.Windows.GlassWindow.Visible) DrawGlass(f);
  Invalidate(f, changed);
  return changed;
}

// --- Magnifier ------------------------------------------------------------------------------

bool MapGlassPoint(const TField& f, int32_t& x, int32_t& y, bool map) {
  const TSkinWindow& glass = f.Windows.GlassWindow;
  if (!glass.Visible || !PointInSkinRect(glass.Client, x, y)) return false;
  const double a = f.Glass.A, b = f.Glass.B;
  if (a <= 0 || b <= 0) return false;
  const int32_t L = glass.Client.Left, T = glass.Client.Top;
  const double u = (x - L) - a, v = (y - T) - b;
  const bool inside = u * u / (a * a) + v * v / (b * b) <= 1;
  if (inside && map) {
    const int32_t z = IntMax(f.Glass.Zoom, 1);
    const int32_t W = glass.Client.Width, H = glass.Client.Height;
    x = L + (W / 2 - (W / 2) / z + (x - L) / z);
    y = T + (H / 2 - (H / 2) / z + (y - T) / z);
  }
  return inside;
}

void DrawGlassFrame(TField& f) {
  TDibImage& mask = *f.Glass.LensMask;
  if (mask.Width <= 0) return;
  const TSkinWindow& glass = f.Windows.GlassWindow;
  const int32_t W = IntMin(glass.Client.Width, mask.Width), H = IntMin(glass.Client.Height, mask.Height);
  TSkinRect all;
  SetSkinRectBounds(all, 0, 0, mask.Width, mask.Height);
  FillArea(mask, all, 0);
  if (W <= 0 || H <= 0) return;
  // A filled ellipse in (0, 0, W, H); its outermost pixels are the rim, light on the upper
  // left half and dark on the lower right.
  const double a = W / 2.0, b = H / 2.0;
  auto inside = [&](int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= W || y >= H) return false;
    const double u = (x + 0.5 - a) / a, v = (y + 0.5 - b) / b;
    return u * u + v * v <= 1.0;
  };
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      if (!inside(x, y)) continue;
      const bool rim = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      uint32_t c = 0xFFFFFF;
      // The upper-left half lies above the diagonal from (W, 0) to (0, H).
      if (rim) c = int64_t(x) * H + int64_t(y) * W < int64_t(W) * H ? 0xF2F2F2 : 0x0D0D0D;
      SetDibPixel(mask, x, y, c);
    }
}

void SetGlassZoom(TField& f, int32_t zoom) {
  f.Glass.Zoom = zoom == 3 ? 3 : 2;
  TSkinWindow& glass = f.Windows.GlassWindow;
  glass.Buttons[kSkinBtnZoom3].Visible = f.Glass.Zoom == 2;
  glass.Buttons[kSkinBtnZoom2].Visible = f.Glass.Zoom == 3;
}

void DrawGlass(TField& f) {
  TDibImage& screen = *f.ScreenBuffer;
  TSkinWindow& glass = f.Windows.GlassWindow;
  if (screen.Width <= 0) return;
  PaintSkinWindow(f.Windows, screen, f.FieldRect, glass);
  const TSkinRect& c = glass.Client;
  if (!IntersectSkinRects(c, f.FieldRect, nullptr)) return;
  TDibImage& lens = *f.Glass.Lens;
  const TDibImage& mask = *f.Glass.LensMask;
  const int32_t z = IntMax(f.Glass.Zoom, 1);
  const int32_t W = IntMin(c.Width, lens.Width), H = IntMin(c.Height, lens.Height);
  const int32_t L = c.Left, T = c.Top;
  // Source rectangle in field coordinates, and the part of it inside the field.
  const int32_t sx = L + W / 2 - (W / z) / 2, sy = T + H / 2 - (H / z) / 2;
  const int32_t sw = W / z, sh = H / z;
  const int32_t cx0 = IntMax(sx, 0), cy0 = IntMax(sy, 0);
  const int32_t cx1 = IntMin(sx + sw, f.Game.Field.FieldW), cy1 = IntMin(sy + sh, f.Game.Field.FieldH);
  // The source is read before the lens is drawn over it, so take a copy of the rows first.
  std::vector<uint8_t> src(size_t(IntMax(sw, 0)) * size_t(IntMax(sh, 0)) * 3, 0);
  for (int32_t y = cy0; y < cy1; ++y)
    for (int32_t x = cx0; x < cx1; ++x)
      std::memcpy(&src[(size_t(y - sy) * size_t(sw) + size_t(x - sx)) * 3], DibPixelAddress(screen, x, y), 3);
  for (int32_t ly = 0; ly < H; ++ly) {
    const int32_t fy = sy + ly / z;
    for (int32_t lx = 0; lx < W; ++lx) {
      const int32_t fx = sx + lx / z;
      const uint8_t* m = DibPixelAddress(mask, lx, ly);
      uint8_t* d = DibPixelAddress(lens, lx, ly);
      const bool covered = lx / z < sw && ly / z < sh && fx >= cx0 && fx < cx1 && fy >= cy0 && fy < cy1;
      if (m[0] == 0) {
        SetDibPixel(lens, lx, ly, kLensKey);
      } else if (m[0] == 255) {
        if (covered)
          std::memcpy(d, &src[(size_t(ly / z) * size_t(sw) + size_t(lx / z)) * 3], 3);
        else
          d[0] = d[1] = d[2] = 0;
      } else {
        d[0] = m[0];
        d[1] = m[1];
        d[2] = m[2];
      }
    }
  }
  DrawDibKeyed(screen, L, T, W, H, lens, 0, 0, W, H, f.FieldRect, kLensKey);
}

// --- Star -----------------------------------------------------------------------------------

void DrawStar(TField& f) {
  const TStarState& s = f.Star;
  if (s.Frame < 0 || s.Frame >= kStarFrames || s.Table[s.Frame] < 0) return;
  if (s.Sheet->Width <= 0) return;
  DrawDibKeyed(*f.ScreenBuffer, s.X, s.Y, kStarSize, kStarSize, *s.Sheet, kStarSpriteStep * s.Table[s.Frame], 0,
               kStarSize, kStarSize, f.FieldRect, 0xFFFFFF);
}

// --- Weight pin -----------------------------------------------------------------------------

namespace {
void PlacePin(TField& f, int32_t x, int32_t y) {
  f.Pin.PointerX = x;
  f.Pin.PointerY = y;
  f.Pin.PinX = x - f.Pin.Picture->Width / 2;
  f.Pin.PinY = y - f.Pin.Picture->Height + 4;
}
}  // namespace

void StartWeightPin(TField& f, int32_t x, int32_t y) {
  f.Pin.Dragging = true;
  PlacePin(f, x, y);
  TSkinWindow* active = ActiveWindow(f);
  f.Pin.Window = active ? active->Index : 0;
  DragRedraw(f, 0);
  f.Game.Play.RedrawKind = kRedrawDrag;
}

void MoveWeightPin(TField& f, int32_t x, int32_t y, TSkinWindow* window) {
  if (!f.Pin.Dragging) return;
  PlacePin(f, x, y);
  if (window) {
    HighlightSkinWindow(f.Windows, window);
    if (window->Style == kSkinStylePocket) BringSkinWindowToFront(f.Windows, *window);
    if (window->Index != f.Pin.Window) {
      f.Pin.Window = window->Index;
      DragRedraw(f, 0);
      return;
    }
  }
  PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintFromStatic);
}

void DrawWeightPin(TField& f) {
  if (!f.Pin.Dragging) return;
  const TDibImage& pin = *f.Pin.Picture;
  if (pin.Width <= 0) return;
  DrawDibBlended(*f.ScreenBuffer, f.Pin.PinX, f.Pin.PinY, pin.Width, pin.Height, pin, 0, 0, pin.Width, pin.Height,
                 f.FieldRect);
}

void ApplyWeightMode(TField& f) {
  const bool on = f.Game.GameLoaded && f.Game.Play.WeightGroup != -1;
  f.Host.WeightModeChanged(on);
  if (on) SendWeightGroupToBottom(f.Game);
}

void DropWeightPin(TField& f) {
  TSkinWindow* active = ActiveWindow(f);
  f.Game.Play.WeightGroup = active ? PieceAtPoint(f.Game, PieceViewOf(*active), f.Pin.PointerX, f.Pin.PointerY) : -1;
  f.Pin.Dragging = false;
  ApplyWeightMode(f);
  f.Game.Play.RedrawKind = kRedrawField;
  Redraw(f);
}
