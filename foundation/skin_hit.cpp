// Caption rendering, hit testing and scroll tracking of the skinned windows.
#include <algorithm>
#include <utility>

#include "foundation/skin_window.h"
#include "platform/text.h"

namespace {

const TTextFont& CaptionFont() {
  static const TTextFont font{"Tahoma", 8, true};
  return font;
}

bool InRectArea(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return x >= left && x <= right && y >= top && y <= bottom;
}

// The thumb placed for the scroll offset along its track, its length kept.
void MoveThumbToScroll(TSkinButton& thumb, const TSkinRect& track, int32_t scroll, int32_t content, bool horizontal) {
  if (content <= 0) return;
  if (horizontal) {
    int32_t left = int32_t(int64_t(scroll) * track.Width / content) + track.Left;
    left = std::max(track.Left, std::min(left, track.Right + 1 - thumb.Bounds.Width));
    SetSkinRectBounds(thumb.Bounds, left, thumb.Bounds.Top, thumb.Bounds.Width, thumb.Bounds.Height);
  } else {
    int32_t top = int32_t(int64_t(scroll) * track.Height / content) + track.Top;
    top = std::max(track.Top, std::min(top, track.Bottom + 1 - thumb.Bounds.Height));
    SetSkinRectBounds(thumb.Bounds, thumb.Bounds.Left, top, thumb.Bounds.Width, thumb.Bounds.Height);
  }
}

int32_t ClampScroll(int32_t scroll, int32_t content, int32_t client) {
  return std::clamp(scroll, 0, std::max(0, content - client));
}

void StepScroll(TSkinWindow& w, bool horizontal, bool forward) {
  int32_t& scroll = horizontal ? w.ScrollX : w.ScrollY;
  const int32_t content = horizontal ? w.ContentWidth : w.ContentHeight;
  const int32_t client = horizontal ? w.Client.Width : w.Client.Height;
  const int32_t step = content / 10;
  scroll = ClampScroll(forward ? scroll + step : scroll - step, content, client);
  MoveThumbToScroll(w.Buttons[horizontal ? kSkinBtnHorzThumb : kSkinBtnVertThumb],
                    horizontal ? w.HorzTrack : w.VertTrack, scroll, content, horizontal);
}

void DragThumb(TSkinWindow& w, bool horizontal, int32_t pos) {
  const TSkinRect& track = horizontal ? w.HorzTrack : w.VertTrack;
  TSkinButton& thumb = w.Buttons[horizontal ? kSkinBtnHorzThumb : kSkinBtnVertThumb];
  const int32_t content = horizontal ? w.ContentWidth : w.ContentHeight;
  const int32_t client = horizontal ? w.Client.Width : w.Client.Height;
  const int32_t trackStart = horizontal ? track.Left : track.Top;
  const int32_t trackLength = horizontal ? track.Width : track.Height;
  const int32_t thumbLength = horizontal ? thumb.Bounds.Width : thumb.Bounds.Height;
  if (trackLength < 1 || content < 1) return;
  pos = std::max(trackStart, std::min(pos, trackStart + trackLength - thumbLength));
  if (horizontal)
    SetSkinRectBounds(thumb.Bounds, pos, thumb.Bounds.Top, thumb.Bounds.Width, thumb.Bounds.Height);
  else
    SetSkinRectBounds(thumb.Bounds, thumb.Bounds.Left, pos, thumb.Bounds.Width, thumb.Bounds.Height);
  const int32_t scroll = int32_t(int64_t(pos - trackStart) * content / trackLength);
  (horizontal ? w.ScrollX : w.ScrollY) = ClampScroll(scroll, content, client);
}

}  // namespace

// --- Caption -------------------------------------------------------------------------------

void SetSkinWindowCaption(TSkinWindow& w, std::u16string_view text) {
  w.Caption = text;
  TDibImage& img = w.CaptionImage;
  if (img.Width <= 0) return;
  std::fill(img.Bits, img.Bits + img.ImageSize, uint8_t(0));
  DrawBitmapText(*img.Bitmap, 0, 0, img.Width, img.Height, text, CaptionFont(), 0xFFFFFF,
                 kTextSingleLine | kTextEndEllipsis);
  // White ink on black: its intensity becomes its alpha, so the caption blends onto the bar.
  ClearSkinRect(w.TextBounds);
  for (int32_t y = 0; y < img.Height; ++y) {
    uint8_t* p = DibScanLine(img, y);
    for (int32_t x = 0; x < img.Width; ++x, p += 4) {
      if (p[0] == 0) continue;
      p[3] = p[0];
      IncludeInSkinRect(w.TextBounds, x, y, x, y);
    }
  }
}

// --- Hit testing ---------------------------------------------------------------------------

bool SkinButtonHit(const TSkinButton& b, int32_t x, int32_t y) { return b.Visible && PointInSkinRect(b.Bounds, x, y); }

bool PointOnSkinFrame(const TSkinWindows& ws, const TSkinWindow& w, int32_t x, int32_t y) {
  if (!w.Visible) return false;  // a hidden window is neither hit nor moved
  if (w.Style != kSkinStyleGlass) return PointInSkinRect(w.Outer, x, y) && !PointInSkinRect(w.Client, x, y);
  if (ws.Host->PointInLens(x, y)) return false;
  if (!ws.GlassSkin) return false;
  for (int i = 0; i < 4; ++i) {
    const TSkinRect &t = w.GlassTiles[i], &s = w.GlassTileSprites[i];
    if (!PointInSkinRect(t, x, y)) continue;
    if (GetDibAlpha(*ws.GlassSkin, s.Left + x - t.Left, s.Top + y - t.Top) > 200) return true;
  }
  return false;
}

bool PointOnSkinScrollBar(const TSkinWindow& w, int32_t x, int32_t y) {
  if (!w.Visible) return false;
  if (w.HorzScrollVisible &&
      (PointInSkinRect(w.HorzTrack, x, y) || PointInSkinRect(w.Buttons[kSkinBtnLeft].Bounds, x, y) ||
       PointInSkinRect(w.Buttons[kSkinBtnRight].Bounds, x, y)))
    return true;
  if (w.VertScrollVisible &&
      (PointInSkinRect(w.VertTrack, x, y) || PointInSkinRect(w.Buttons[kSkinBtnUp].Bounds, x, y) ||
       PointInSkinRect(w.Buttons[kSkinBtnDown].Bounds, x, y)))
    return true;
  return (w.HorzScrollVisible || w.VertScrollVisible) && PointInSkinRect(w.CornerBox, x, y);
}

TSkinCursor SkinHitCursor(int32_t code) {
  switch (code) {
    case kHitLeft:
    case kHitRight: return TSkinCursor::SizeWE;
    case kHitTop:
    case kHitBottom: return TSkinCursor::SizeNS;
    case kHitTopLeft:
    case kHitBottomRight: return TSkinCursor::SizeNWSE;
    case kHitBottomLeft: return TSkinCursor::SizeNESW;
    default: return TSkinCursor::Default;
  }
}

void SetSkinFieldCursor(TSkinWindows& ws, TSkinCursor cursor) {
  if (ws.FieldCursor == cursor) return;
  ws.FieldCursor = cursor;
  ws.Host->SetFieldCursor(cursor);
}

uint8_t SkinWindowHitTest(TSkinWindows& ws, TSkinWindow& w, int32_t x, int32_t y, bool press) {
  ResetSkinButtons(w);
  if (!w.Visible || !PointInSkinRect(w.Outer, x, y)) return kHitNone;
  if (w.Style != kSkinStyleGlass && PointInSkinRect(w.Client, x, y) && !(w.Resizable && PointInSkinRect(w.Grip, x, y)))
    return kHitNone;

  uint8_t code = kHitNone;
  if (w.Resizable) {
    const std::pair<const TSkinRect*, uint8_t> zones[] = {{&w.LeftEdge, kHitLeft},
                                                          {&w.RightEdge, kHitRight},
                                                          {&w.TopEdge, kHitTop},
                                                          {&w.BottomEdge, kHitBottom},
                                                          {&w.TopLeftCorner, kHitTopLeft},
                                                          {&w.BottomLeftCorner, kHitBottomLeft},
                                                          {&w.BottomRightCorner, kHitBottomRight},
                                                          {&w.Grip, kHitBottomRight}};
    for (const auto& [zone, zoneCode] : zones) {
      if (PointInSkinRect(*zone, x, y)) {
        code = zoneCode;
        break;
      }
    }
  } else if (w.Style == kSkinStyleGlass) {
    const TSkinRect& g = w.Grip;
    if (PointInSkinRect(g, x, y) && (x - g.Left) + (y - g.Top) >= g.Width) code = kHitBottomRight;
  }
  if (code == kHitNone && w.Style == kSkinStyleSide && (w.HorzScrollVisible || w.VertScrollVisible) &&
      PointInSkinRect(w.CornerBox, x, y))
    code = kHitBottomRight;
  if (code != kHitNone) {
    SetSkinFieldCursor(ws, SkinHitCursor(code));
    return code;
  }

  const TSkinButton& hThumb = w.Buttons[kSkinBtnHorzThumb];
  if (w.HorzScrollVisible && hThumb.Visible) {
    const TSkinRect& t = w.HorzTrack;
    if (InRectArea(x, y, hThumb.Bounds.Right + 1, t.Top, t.Right, t.Bottom)) return kHitScrollRight;
    if (InRectArea(x, y, t.Left, t.Top, hThumb.Bounds.Left - 1, t.Bottom)) return kHitScrollLeft;
  }
  const TSkinButton& vThumb = w.Buttons[kSkinBtnVertThumb];
  if (w.VertScrollVisible && vThumb.Visible) {
    const TSkinRect& t = w.VertTrack;
    if (InRectArea(x, y, t.Left, t.Top, t.Right, vThumb.Bounds.Top - 1)) return kHitScrollUp;
    if (InRectArea(x, y, t.Left, vThumb.Bounds.Bottom + 1, t.Right, t.Bottom)) return kHitScrollDown;
  }
  for (TSkinButton& b : w.Buttons) {
    if (!SkinButtonHit(b, x, y)) continue;
    b.Hot = true;
    if (press) b.Pressed = true;
    w.HotButton = b.Index;
    return b.CommandId;
  }
  return kHitNone;
}

// --- Scrolling -----------------------------------------------------------------------------

void TrackSkinScroll(TSkinWindows& ws, TSkinWindow& w, int32_t x, int32_t y) {
  switch (ws.SkinDrag.HitCode) {
    case kHitScrollLeft:
    case kHitScrollRight:
      if (w.HorzScrollVisible) StepScroll(w, true, ws.SkinDrag.HitCode == kHitScrollRight);
      break;
    case kHitScrollUp:
    case kHitScrollDown:
      if (w.VertScrollVisible) StepScroll(w, false, ws.SkinDrag.HitCode == kHitScrollDown);
      break;
    case kHitHorzThumb:
      if (w.HorzScrollVisible) DragThumb(w, true, x);
      break;
    case kHitVertThumb:
      if (w.VertScrollVisible) DragThumb(w, false, y);
      break;
    case kHitPan:
      if (w.HorzScrollVisible) DragThumb(w, true, x);
      if (w.VertScrollVisible) DragThumb(w, false, y);
      break;
    default: break;
  }
}
