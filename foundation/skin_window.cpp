#include "foundation/skin_window.h"

#include <algorithm>
#include <memory>

namespace {

constexpr int32_t kBar = kSkinScrollBarSize;

struct TButtonSetup {
  int32_t SheetX, SheetY, Width, Height;
  uint32_t Flags;
};

// Command ids by button index.
constexpr uint8_t kCommandIds[kSkinButtonCount] = {kHitCaptionButton, kHitZoom3,       kHitZoom2,
                                                   kHitScrollLeft,    kHitScrollRight, kHitHorzThumb,
                                                   kHitScrollUp,      kHitScrollDown,  kHitVertThumb};

void SetAnchors(TSkinButton& b, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  b.Anchors.Left = left;
  b.Anchors.Top = top;
  b.Anchors.Right = right;
  b.Anchors.Bottom = bottom;
}

void SetupStyleButtons(TSkinWindow& w) {
  auto& btn = w.Buttons;
  const int32_t b = w.BorderWidth, c = w.CaptionHeight;
  if (w.Style == kSkinStylePocket || w.Style == kSkinStyleThumbnail) {
    SetupSkinButton(btn[kSkinBtnCaption], 2, 110, 20, 20, kSkinFiveSprites);
    SetAnchors(btn[kSkinBtnCaption], kUnsetEdge, 0, 0, kUnsetEdge);
  }
  if (w.Style == kSkinStyleSide || w.Style == kSkinStylePocket) {
    SetupSkinButton(btn[kSkinBtnLeft], 211, 1, kBar, kBar, 0);
    SetAnchors(btn[kSkinBtnLeft], b, kUnsetEdge, kUnsetEdge, b);
    SetupSkinButton(btn[kSkinBtnRight], 211, 21, kBar, kBar, 0);
    SetAnchors(btn[kSkinBtnRight], kUnsetEdge, kUnsetEdge, b + kBar, b);
    SetupSkinButton(btn[kSkinBtnHorzThumb], 211, 41, kBar, kBar, kSkinHorzThumb);
    SetupSkinButton(btn[kSkinBtnUp], 211, 61, kBar, kBar, 0);
    SetAnchors(btn[kSkinBtnUp], kUnsetEdge, b + c, b, kUnsetEdge);
    SetupSkinButton(btn[kSkinBtnDown], 211, 81, kBar, kBar, 0);
    SetAnchors(btn[kSkinBtnDown], kUnsetEdge, kUnsetEdge, b, b + kBar);
    SetupSkinButton(btn[kSkinBtnVertThumb], 211, 101, kBar, kBar, kSkinVertThumb);
  }
  if (w.Style == kSkinStyleGlass) {
    SetupSkinButton(btn[kSkinBtnCaption], 196, 2, 14, 14, 0);
    SetAnchors(btn[kSkinBtnCaption], kUnsetEdge, (44 - 14) / 2, (46 - 14) / 2, kUnsetEdge);
    SetupSkinButton(btn[kSkinBtnZoom3], 196, 25, 27, 27, 0);
    SetAnchors(btn[kSkinBtnZoom3], (46 - 27) / 2, (44 - 27) / 2, kUnsetEdge, kUnsetEdge);
    SetupSkinButton(btn[kSkinBtnZoom2], 196, 55, 27, 27, 0);
    SetAnchors(btn[kSkinBtnZoom2], (46 - 27) / 2, (44 - 27) / 2, kUnsetEdge, kUnsetEdge);
  }
}

int32_t ClampClient(int32_t v, int32_t minimum, int32_t maximum) {
  v = std::max(v, minimum);
  if (maximum != 0) v = std::min(v, maximum);
  return v;
}

// a * b div c without overflow; c must not be 0.
int32_t MulDivTrunc(int32_t a, int32_t b, int32_t c) { return int32_t(int64_t(a) * b / c); }

// Thumb length and start along a track for an offset into the content.
void PlaceThumb(int32_t trackStart, int32_t trackLength, int32_t clientLength, int32_t content, int32_t scroll,
                int32_t& start, int32_t& length) {
  length = std::max(12, content > 0 ? MulDivTrunc(trackLength, clientLength, content) : trackLength);
  length = std::min(length, std::max(trackLength, 0));  // a tiny track holds at most itself
  start = (content > 0 ? MulDivTrunc(scroll, trackLength, content) : 0) + trackStart;
  start = std::min(start, trackStart + trackLength - length);
  start = std::max(start, trackStart);
}

// Steps 3 to 6 of a resize: the bars for a client area of cw x ch (bars not yet taken off).
void DecideBarsAndLayout(TSkinWindow& w, int32_t cw, int32_t ch) {
  const bool hadHorz = w.HorzScrollVisible, hadVert = w.VertScrollVisible;
  bool horz = false, vert = false;
  if (!w.Scrollable || w.ContentWidth == 0) {
    w.ScrollX = w.ScrollY = 0;
  } else {
    // A bar narrows the other direction, so decide again until neither changes: deciding both
    // from the full size would leave the last 17 columns or rows unreachable.
    for (;;) {
      const bool h = cw - (vert ? kBar : 0) < w.ContentWidth;
      const bool v = ch - (h ? kBar : 0) < w.ContentHeight;
      if (h == horz && v == vert) break;
      horz = h;
      vert = v;
    }
  }
  if (horz) ch -= kBar;
  if (vert) cw -= kBar;
  w.HorzScrollVisible = horz;
  w.VertScrollVisible = vert;
  SetSkinRectBounds(w.Outer, w.Outer.Left, w.Outer.Top, w.FrameWidth + cw + (vert ? kBar : 0),
                    w.FrameHeight + ch + (horz ? kBar : 0));
  if (w.Scrollable && w.ContentWidth != 0) {
    if (horz != hadHorz) w.ScrollX = 0;
    if (vert != hadVert) w.ScrollY = 0;
    // Never show past the content, and never before it.
    w.ScrollX = std::clamp(w.ScrollX, 0, std::max(0, w.ContentWidth - cw));
    w.ScrollY = std::clamp(w.ScrollY, 0, std::max(0, w.ContentHeight - ch));
  }
  UpdateSkinScrollButtons(w);
  LayoutSkinWindow(w);
}

}  // namespace

TSkinWindow::~TSkinWindow() { FreeDib(CaptionImage); }

void InitSkinButton(TSkinButton& button) {
  button = TSkinButton{};
  ClearSkinRect(button.Anchors);
}

void SetupSkinButton(TSkinButton& button, int32_t sx, int32_t sy, int32_t w, int32_t h, uint32_t flags) {
  button.SpriteWidth = w;
  button.SpriteHeight = h;
  button.FiveSprites = flags & kSkinFiveSprites;
  button.HorzThumb = flags & kSkinHorzThumb;
  button.VertThumb = flags & kSkinVertThumb;
  SetSkinRectBounds(button.Sprites[0], sx, sy, w, h);
  if (button.FiveSprites) {
    for (int k = 1; k < 5; ++k) SetSkinRectBounds(button.Sprites[k], sx + k * (w + 3), sy, w, h);
  } else {
    SetSkinRectBounds(button.Sprites[1], sx + w + 3, sy, w, h);
    button.Sprites[2] = button.Sprites[0];
    button.Sprites[3] = button.Sprites[1];
    SetSkinRectBounds(button.Sprites[4], sx + 2 * (w + 3), sy, w, h);
  }
  SetSkinRectBounds(button.Bounds, 0, 0, w, h);
  button.Visible = true;
}

void AnchorSkinButton(TSkinButton& button, const TSkinRect& r) {
  const TSkinRect& a = button.Anchors;
  int32_t x = r.Left, y = r.Top;
  if (a.Left != kUnsetEdge)
    x = r.Left + a.Left;
  else if (a.Right != kUnsetEdge)
    x = r.Right + 1 - button.SpriteWidth - a.Right;
  if (a.Top != kUnsetEdge)
    y = r.Top + a.Top;
  else if (a.Bottom != kUnsetEdge)
    y = r.Bottom + 1 - button.SpriteHeight - a.Bottom;
  SetSkinRectBounds(button.Bounds, x, y, button.SpriteWidth, button.SpriteHeight);
}

void InitSkinWindow(TSkinWindow& w, int32_t x, int32_t y, int32_t width, int32_t height, TWindowStyle style) {
  std::destroy_at(&w);
  std::construct_at(&w);
  w.Style = style;
  switch (style) {
    case kSkinStyleSide: w.Scrollable = true; break;
    case kSkinStylePocket:
      w.BorderWidth = 4;
      w.CaptionHeight = 18;
      w.Scrollable = true;
      w.Resizable = true;
      break;
    case kSkinStyleThumbnail:
      w.BorderWidth = 4;
      w.CaptionHeight = 18;
      w.Resizable = true;
      w.DragByClient = true;
      w.KeepAspect = true;
      break;
    case kSkinStyleGlass:
      w.GlassTileSize = 93;
      w.GlassMargin = 38;
      SetSkinRectBounds(w.GlassTileSprites[0], 0, 0, 93, 93);
      SetSkinRectBounds(w.GlassTileSprites[1], 96, 0, 93, 93);
      SetSkinRectBounds(w.GlassTileSprites[2], 0, 96, 93, 93);
      SetSkinRectBounds(w.GlassTileSprites[3], 96, 96, 93, 93);
      break;
    default: break;
  }
  w.FrameWidth = 2 * w.BorderWidth;
  w.FrameHeight = 2 * w.BorderWidth + w.CaptionHeight;
  SetSkinRectBounds(w.Outer, x, y, width, height);
  w.MinClientWidth = w.MinClientHeight = w.Scrollable ? 78 : 20;
  UpdateSkinWindowLimits(w);
  for (int32_t i = 0; i < kSkinButtonCount; ++i) {
    InitSkinButton(w.Buttons[i]);
    w.Buttons[i].Index = i;
    w.Buttons[i].CommandId = kCommandIds[i];
  }
  SetupStyleButtons(w);
  ResizeSkinWindow(w, false);
  if (w.CaptionHeight > 0) {
    InitDib(w.CaptionImage);
    CreateDib32(w.CaptionImage, kCaptionImageWidth, w.CaptionRect.Height);
    ClearSkinRect(w.TextBounds);
  }
}

void UpdateSkinWindowLimits(TSkinWindow& w) {
  w.OuterMinWidth = w.MinClientWidth + w.FrameWidth;
  w.OuterMinHeight = w.MinClientHeight + w.FrameHeight;
  w.OuterMaxWidth = w.MaxClientWidth != 0 ? w.MaxClientWidth + w.FrameWidth : 0;
  w.OuterMaxHeight = w.MaxClientHeight != 0 ? w.MaxClientHeight + w.FrameHeight : 0;
}

void ConstrainSkinWindowSize(const TSkinWindow& w, int32_t& width, int32_t& height, bool clientSizes,
                             bool heightFromWidth) {
  int32_t cw = width, ch = height;
  if (!clientSizes) {
    cw -= w.FrameWidth;
    ch -= w.FrameHeight;
  }
  cw = ClampClient(cw, w.MinClientWidth, w.MaxClientWidth);
  ch = ClampClient(ch, w.MinClientHeight, w.MaxClientHeight);
  if (w.KeepAspect && w.MaxClientWidth >= 1 && w.MaxClientHeight >= 1) {
    // The derived side follows the aspect even below the minimum; only a zero size is refused.
    if (heightFromWidth)
      ch = ClampClient(MulDivTrunc(w.MaxClientHeight, cw, w.MaxClientWidth), 1, w.MaxClientHeight);
    else
      cw = ClampClient(MulDivTrunc(w.MaxClientWidth, ch, w.MaxClientHeight), 1, w.MaxClientWidth);
  }
  if (!clientSizes) {
    cw += w.FrameWidth;
    ch += w.FrameHeight;
  }
  width = cw;
  height = ch;
}

void ResizeSkinWindow(TSkinWindow& w, bool useGiven, int32_t cw, int32_t ch) {
  if (!useGiven) {
    cw = w.Outer.Width - w.FrameWidth;
    ch = w.Outer.Height - w.FrameHeight;
    if (w.KeepAspect && w.MaxClientWidth >= 1) ch = MulDivTrunc(w.MaxClientHeight, cw, w.MaxClientWidth);
  }
  cw = ClampClient(cw, w.MinClientWidth, w.MaxClientWidth);
  ch = ClampClient(ch, w.MinClientHeight, w.MaxClientHeight);
  DecideBarsAndLayout(w, cw, ch);
}

void RelayoutSkinWindow(TSkinWindow& w) {
  DecideBarsAndLayout(w, w.Outer.Width - w.FrameWidth, w.Outer.Height - w.FrameHeight);
}

void UpdateSkinScrollButtons(TSkinWindow& w) {
  for (int i = kSkinBtnLeft; i <= kSkinBtnHorzThumb; ++i) w.Buttons[i].Visible = w.HorzScrollVisible;
  for (int i = kSkinBtnUp; i <= kSkinBtnVertThumb; ++i) w.Buttons[i].Visible = w.VertScrollVisible;
}

void LayoutSkinWindow(TSkinWindow& w) {
  const int32_t L = w.Outer.Left, T = w.Outer.Top, R = w.Outer.Right, B = w.Outer.Bottom;
  const int32_t b = w.BorderWidth, c = w.CaptionHeight;
  auto& btn = w.Buttons;
  SetSkinRectEdges(w.Client, L + b, T + b + c, R - b - (w.VertScrollVisible ? kBar : 0),
                   B - b - (w.HorzScrollVisible ? kBar : 0));

  TSkinButton& capBtn = btn[kSkinBtnCaption];
  if (c > 0) {
    SetSkinRectEdges(w.CaptionRect, L + b + 8, T, R + 1 - capBtn.SpriteWidth - 8, T + b + c - 1);
    AnchorSkinButton(capBtn, w.Outer);
  } else {
    SetSkinRectEdges(w.CaptionRect, -1, -1, -1, -1);
  }

  if (w.HorzScrollVisible) {
    TSkinButton &left = btn[kSkinBtnLeft], &right = btn[kSkinBtnRight], &thumb = btn[kSkinBtnHorzThumb];
    AnchorSkinButton(left, w.Outer);
    AnchorSkinButton(right, w.Outer);
    SetSkinRectEdges(w.HorzTrack, left.Bounds.Right + 1, left.Bounds.Top, right.Bounds.Left - 1, left.Bounds.Bottom);
    int32_t start, length;
    PlaceThumb(w.HorzTrack.Left, w.HorzTrack.Width, w.Client.Width, w.ContentWidth, w.ScrollX, start, length);
    SetSkinRectBounds(thumb.Bounds, start, w.HorzTrack.Top, length, w.HorzTrack.Height);
  } else {
    for (int i = kSkinBtnLeft; i <= kSkinBtnHorzThumb; ++i) ClearSkinRect(btn[i].Bounds);
    ClearSkinRect(w.HorzTrack);
  }

  if (w.VertScrollVisible) {
    TSkinButton &up = btn[kSkinBtnUp], &down = btn[kSkinBtnDown], &thumb = btn[kSkinBtnVertThumb];
    AnchorSkinButton(up, w.Outer);
    AnchorSkinButton(down, w.Outer);
    SetSkinRectEdges(w.VertTrack, up.Bounds.Left, up.Bounds.Bottom + 1, up.Bounds.Right, down.Bounds.Top - 1);
    int32_t start, length;
    PlaceThumb(w.VertTrack.Top, w.VertTrack.Height, w.Client.Height, w.ContentHeight, w.ScrollY, start, length);
    SetSkinRectBounds(thumb.Bounds, w.VertTrack.Left, start, w.VertTrack.Width, length);
  } else {
    for (int i = kSkinBtnUp; i <= kSkinBtnVertThumb; ++i) ClearSkinRect(btn[i].Bounds);
    ClearSkinRect(w.VertTrack);
  }

  if (w.HorzScrollVisible || w.VertScrollVisible)
    SetSkinRectBounds(w.CornerBox, R + 1 - b - kBar, B + 1 - b - kBar, kBar, kBar);
  else
    SetSkinRectEdges(w.CornerBox, -1, -1, -1, -1);

  if (w.Resizable) {
    SetSkinRectEdges(w.Grip, R + 1 - b - kBar, B + 1 - b - kBar, R, B);
    SetSkinRectEdges(w.LeftEdge, L, T + b, L + b - 1, B - b);
    SetSkinRectEdges(w.TopEdge, L + b, T, capBtn.Bounds.Left - 1, T + b - 1);
    SetSkinRectEdges(w.RightEdge, R - b + 1, capBtn.Bounds.Bottom + 1, R, B - b);
    SetSkinRectEdges(w.BottomEdge, L + b, B - b + 1, R - b, B);
    SetSkinRectEdges(w.TopLeftCorner, L, T, L + b - 1, T + b - 1);
    SetSkinRectEdges(w.BottomLeftCorner, L, B - b + 1, L + b - 1, B);
    SetSkinRectEdges(w.BottomRightCorner, R - b + 1, B - b + 1, R, B);
  } else {
    SetSkinRectEdges(w.Grip, -1, -1, -1, -1);
  }

  if (w.Style == kSkinStyleGlass) {
    const int32_t s = w.GlassTileSize;
    SetSkinRectBounds(w.GlassTiles[0], L, T, s, s);
    SetSkinRectBounds(w.GlassTiles[1], R + 1 - s, T, s, s);
    SetSkinRectBounds(w.GlassTiles[2], L, B + 1 - s, s, s);
    SetSkinRectBounds(w.GlassTiles[3], R + 1 - s, B + 1 - s, s, s);
    for (int i = kSkinBtnCaption; i <= kSkinBtnZoom2; ++i) AnchorSkinButton(btn[i], w.Outer);
    SetSkinRectBounds(w.Grip, R - 25, B - 24, 21, 21);
  }
}

void CopySkinWindowLayout(TSkinWindow& t, const TSkinWindow& s) {
  t.Outer = s.Outer;
  t.Client = s.Client;
  t.MinClientWidth = s.MinClientWidth;
  t.MinClientHeight = s.MinClientHeight;
  t.MaxClientWidth = s.MaxClientWidth;
  t.MaxClientHeight = s.MaxClientHeight;
  t.OuterMinWidth = s.OuterMinWidth;
  t.OuterMinHeight = s.OuterMinHeight;
  t.OuterMaxWidth = s.OuterMaxWidth;
  t.OuterMaxHeight = s.OuterMaxHeight;
  t.FrameWidth = s.FrameWidth;
  t.FrameHeight = s.FrameHeight;
  t.ScrollX = s.ScrollX;
  t.ScrollY = s.ScrollY;
  t.ContentWidth = s.ContentWidth;
  t.ContentHeight = s.ContentHeight;
  t.HorzTrack = s.HorzTrack;
  t.VertTrack = s.VertTrack;
  t.CornerBox = s.CornerBox;
  t.Grip = s.Grip;
  for (int i = kSkinBtnLeft; i <= kSkinBtnVertThumb; ++i) t.Buttons[i] = s.Buttons[i];
  t.HorzScrollVisible = s.HorzScrollVisible;
  t.VertScrollVisible = s.VertScrollVisible;
}

void SetSkinWindowText(TSkinWindow& w, std::u16string_view text) { w.WindowName = text; }

void FreeSkinWindowCaption(TSkinWindow& w) { FreeDib(w.CaptionImage); }

void ResetSkinButtons(TSkinWindow& w) {
  w.HotButton = -1;
  for (TSkinButton& b : w.Buttons) b.Hot = b.Pressed = false;
}

void SetSkinButtonsHighlight(TSkinWindow& w, bool highlighted) {
  for (TSkinButton& b : w.Buttons) b.WindowHighlighted = highlighted;
}

// --- The game windows ------------------------------------------------------------------------

void SetSkinWindowVisible(TSkinWindows& ws, TSkinWindow& w, bool visible) {
  const bool wasVisible = w.Visible;
  w.Visible = visible;
  if (!visible) w.Highlighted = false;
  if (wasVisible && !visible) {
    HighlightSkinWindow(ws, ws.Host->ActiveWindow());
  }
}

void HighlightSkinWindow(TSkinWindows& ws, TSkinWindow* w) {
  for (TSkinWindow& g : ws.GameWindows) {
    g.Highlighted = false;
    SetSkinButtonsHighlight(g, false);
  }
  ws.GlassWindow.Highlighted = false;
  SetSkinButtonsHighlight(ws.GlassWindow, false);
  ws.HighlightedSkinWindow = w;
  if (w) {
    w->Highlighted = true;
    SetSkinButtonsHighlight(*w, true);
  }
  ws.Host->UpdateWindowMenuCaptions();
}

void InitGameWindows(TSkinWindows& ws) {
  for (int32_t i = 0; i < kGameWindowCount; ++i) {
    ws.GameWindows[i].Index = uint8_t(i);
    ws.SkinWindowOrder[i] = &ws.GameWindows[i];
  }
}

void BringSkinWindowToFront(TSkinWindows& ws, TSkinWindow& w) {
  auto& order = ws.SkinWindowOrder;
  for (int32_t p = 2; p < kGameWindowCount; ++p) {
    if (order[p] != &w) continue;
    for (int32_t q = p; q < kGameWindowCount - 1; ++q) order[q] = order[q + 1];
    order[kGameWindowCount - 1] = &w;
    HighlightSkinWindow(ws, &w);
    return;
  }
}

namespace {
class TDetachedSkinWindowHost final : public TSkinWindowHost {
 public:
  TSkinWindow* ActiveWindow() override { return nullptr; }
  void UpdateWindowMenuCaptions() override {}
  void SetFieldCursor(TSkinCursor) override {}
  bool PointInLens(int32_t, int32_t) override { return false; }
};
}  // namespace

TSkinWindowHost& DetachedSkinWindowHost() {
  static TDetachedSkinWindowHost host;
  return host;
}

void SetupGlassWindow(TSkinWindow& glass) {
  InitSkinWindow(glass, 0, 0, 240, 240, kSkinStyleGlass);
  glass.Visible = false;
  glass.Caption = u"Glass";
  glass.MinClientWidth = glass.MinClientHeight = 240;
  glass.MaxClientWidth = glass.MaxClientHeight = 480;
  UpdateSkinWindowLimits(glass);
  ResizeSkinWindow(glass, false);
  glass.Buttons[kSkinBtnZoom3].Visible = true;  // the zoom starts at 2
  glass.Buttons[kSkinBtnZoom2].Visible = false;
}

void SetupGameWindows(TSkinWindows& ws) {
  const char16_t* const sideNames[2] = {u"First Side", u"Second Side"};
  for (int32_t i = 0; i < 2; ++i) {
    TSkinWindow& side = ws.GameWindows[i];
    InitSkinWindow(side, 0, 0, 100, 100, kSkinStyleSide);
    side.Visible = true;
    side.BackgroundDrawn = true;
    side.Background = 0x989898;
    side.ToolbarButtonIndex = 5 + i;
    side.PieceCount = 0;
    ResizeSkinWindow(side, false);
    SetSkinWindowText(side, sideNames[i]);
  }
  for (int32_t k = 0; k < 4; ++k) {
    TSkinWindow& pocket = ws.GameWindows[2 + k];
    InitSkinWindow(pocket, 50 * k, 50 * k, 100, 100, kSkinStylePocket);
    pocket.Visible = false;
    pocket.BackgroundDrawn = true;
    pocket.Background = 0x989898;
    pocket.ToolbarButtonIndex = 9 + k;
    pocket.PieceCount = 0;
    ResizeSkinWindow(pocket, false);
  }
  TSkinWindow& thumb = ws.GameWindows[6];
  InitSkinWindow(thumb, 0, 0, 100, 100, kSkinStyleThumbnail);
  thumb.Visible = false;
  SetSkinWindowCaption(thumb, u"Thumbnail");
  ResizeSkinWindow(thumb, false);
  thumb.ToolbarButtonIndex = 7;
  SetupGlassWindow(ws.GlassWindow);
  InitGameWindows(ws);
}
