// The mouse on the play field: window operations, dragging, rotating, the band, the grab
// scroll and the magnifier, through which every point is seen.
#include <cstdlib>

#include "foundation/numeric.h"
#include "game/field.h"
#include "game/layout.h"
#include "game/pieces.h"

namespace {

constexpr uint8_t kShiftKeys = kShiftShift | kShiftAlt | kShiftCtrl;
constexpr uint8_t kShiftButtons = kShiftLeftDown | kShiftRightDown | kShiftMiddleDown;
constexpr int32_t kWheelStep = 120;  // one notch of a wheel, in eighths of a degree

bool Matches(const TMouseBinding& b, int32_t button, uint8_t shift) { return b.Button == button && b.Shift == shift; }

bool IsEdgeCode(int32_t code) { return (code >= kHitLeft && code <= kHitBottomRight && code != kHitTopRight); }

// What a press with a hit code does to its window.
enum class TWindowOperation : uint8_t { None, Move, Size, Thumb, Scroll, Pan };
TWindowOperation OperationOf(int32_t code) {
  if (IsEdgeCode(code)) return TWindowOperation::Size;
  switch (code) {
    case kHitMove: return TWindowOperation::Move;
    case kHitHorzThumb:
    case kHitVertThumb: return TWindowOperation::Thumb;
    case kHitScrollLeft:
    case kHitScrollRight:
    case kHitScrollUp:
    case kHitScrollDown: return TWindowOperation::Scroll;
    case kHitPan: return TWindowOperation::Pan;
    default: return TWindowOperation::None;
  }
}

// The edges that a sizing hit code grabs. The top-right corner (15) grabs none.
struct TGrabbedEdges {
  bool Left, Top, Right, Bottom;
};
TGrabbedEdges EdgesOf(int32_t code) {
  return {code == kHitLeft || code == kHitTopLeft || code == kHitBottomLeft, code == kHitTop || code == kHitTopLeft,
          code == kHitRight || code == kHitBottomRight,
          code == kHitBottom || code == kHitBottomLeft || code == kHitBottomRight};
}

TSkinWindow* TopWindowAt(TField& f, int32_t x, int32_t y) {
  for (int32_t p = kGameWindowCount - 1; p >= 0; --p) {
    TSkinWindow* w = f.Windows.SkinWindowOrder[p];
    if (w && w->Visible && PointInSkinRect(w->Outer, x, y)) return w;
  }
  return nullptr;
}

void ClearWindowOperation(TField& f) {
  TSkinDragState& d = f.Windows.SkinDrag;
  d.Window = nullptr;
  d.HotButton = -1;
  d.HitCode = kHitNone;
  d.GrabX = d.GrabY = 0;
}

TSkinRect ButtonRect(TSkinWindow* w, int32_t button) {
  TSkinRect r;
  ClearSkinRect(r);
  if (w && button >= 0 && button < kSkinButtonCount) r = w->Buttons[size_t(button)].Bounds;
  return r;
}

void Include(TSkinRect& r, const TSkinRect& add) {
  if (IsSkinRectEmpty(add)) return;
  IncludeInSkinRect(r, add.Left, add.Top, add.Right, add.Bottom);
}

void RefreshPocket(TField& f, TSkinWindow& w) {
  if (w.Style != kSkinStylePocket) return;
  UpdateWindowContentSize(f, w);
}

// Mouse-down steps 5 to 7: a press on a window's frame, bars or buttons.
bool StartWindowOperation(TField& f, TSkinWindow& w, int32_t x, int32_t y) {
  TSkinWindows& ws = f.Windows;
  TGameState& g = f.Game;
  uint8_t code = SkinWindowHitTest(ws, w, x, y, true);
  if (code == kHitNone && (PointOnSkinFrame(ws, w, x, y) || (w.DragByClient && PointInSkinRect(w.Client, x, y))))
    code = kHitMove;
  if (code == kHitNone) return false;
  TSkinDragState& d = ws.SkinDrag;
  d.Window = &w;
  d.HotButton = w.HotButton;
  d.HitCode = code;
  if (w.Style == kSkinStyleSide && code == kHitBottomRight) {
    int32_t mw = 0, mh = 0;
    f.Host.MainWindowSize(mw, mh);
    d.GrabX = mw - x;
    d.GrabY = mh - y;
    return true;
  }
  const TSkinRect& o = w.Outer;
  switch (OperationOf(code)) {
    case TWindowOperation::Move:
      d.GrabX = x - o.Left;
      d.GrabY = y - o.Top;
      break;
    case TWindowOperation::Size: {
      const TGrabbedEdges e = EdgesOf(code);
      d.GrabX = e.Left ? o.Left - x : e.Right ? o.Right - x : 0;
      d.GrabY = e.Top ? o.Top - y : e.Bottom ? o.Bottom - y : 0;
      break;
    }
    case TWindowOperation::Thumb: {
      const TSkinRect& t = w.Buttons[code == kHitHorzThumb ? kSkinBtnHorzThumb : kSkinBtnVertThumb].Bounds;
      d.GrabX = x - t.Left;
      d.GrabY = y - t.Top;
      break;
    }
    case TWindowOperation::Scroll: ScrollWindowBy(f, w, x, y); break;
    case TWindowOperation::Pan:
    case TWindowOperation::None: break;
  }
  if (w.Style == kSkinStylePocket || w.Style == kSkinStyleThumbnail) BringSkinWindowToFront(ws, w);
  if (w.Style == kSkinStyleSide) {
    g.Play.RedrawKind = kRedrawDrag;
  } else {
    DragRedraw(f, 3);
    g.Play.RedrawKind = kRedrawDrag;
  }
  return true;
}

// Mouse-move step 4: a window is moved, resized or scrolled.
void ContinueWindowOperation(TField& f, int32_t x, int32_t y, bool buttonDown) {
  TSkinDragState& d = f.Windows.SkinDrag;
  TSkinWindow& w = *d.Window;
  TSkinWindow& glass = f.Windows.GlassWindow;
  switch (OperationOf(d.HitCode)) {
    case TWindowOperation::Move:
      MoveSkinRect(w.Outer, x - d.GrabX, y - d.GrabY);
      LayoutSkinWindow(w);
      break;
    case TWindowOperation::Size: {
      if (w.Style == kSkinStyleSide && d.HitCode == kHitBottomRight) {
        f.Host.SetMainWindowSize(x + d.GrabX, y + d.GrabY);
        return;
      }
      const int32_t code = d.HitCode;
      const TGrabbedEdges e = EdgesOf(code);
      const TSkinRect o = w.Outer;
      const int32_t l = e.Left ? x + d.GrabX : o.Left, r = e.Right ? x + d.GrabX : o.Right;
      const int32_t t = e.Top ? y + d.GrabY : o.Top, b = e.Bottom ? y + d.GrabY : o.Bottom;
      int32_t width = r - l + 1, height = b - t + 1;
      ConstrainSkinWindowSize(w, width, height, false, code != kHitTop && code != kHitBottom);
      // The edges that were not dragged stay where they are.
      const int32_t nl = e.Left ? o.Right + 1 - width : o.Left;
      const int32_t nt = e.Top ? o.Bottom + 1 - height : o.Top;
      SetSkinRectBounds(w.Outer, nl, nt, width, height);
      RelayoutSkinWindow(w);
      if (w.Style == kSkinStyleThumbnail) f.Host.ThumbnailResized();
      if (&w == &glass) {
        f.Glass.A = glass.Client.Width / 2.0;
        f.Glass.B = glass.Client.Height / 2.0;
        DrawGlassFrame(f);
      }
      break;
    }
    case TWindowOperation::Thumb:
      if (d.HitCode == kHitHorzThumb)
        ScrollWindowBy(f, w, x - d.GrabX, y);
      else
        ScrollWindowBy(f, w, x, y - d.GrabY);
      break;
    case TWindowOperation::Pan:
      if (buttonDown) {
        ScrollWindowBy(f, w, d.GrabX - x, d.GrabY - y);
      } else {
        f.Host.GrabCursor(false);
        ClearWindowOperation(f);
      }
      break;
    case TWindowOperation::Scroll:
    case TWindowOperation::None: break;
  }
  TGameState& g = f.Game;
  g.Play.RedrawKind = kRedrawDrag;
  TSkinWindow* active = ActiveWindow(f);
  g.Play.DragRect = active ? active->Outer : w.Outer;
  if (active && active->Style == kSkinStyleSide) {
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintAll);
  } else {
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintFromStatic);
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintActiveOnly);
  }
}

// Mouse-move step 7: the frame buttons under the pointer light up.
void Hover(TField& f, int32_t x, int32_t y) {
  TSkinWindows& ws = f.Windows;
  TSkinRect changed = ButtonRect(f.HoverWindow, f.HoverButton);
  for (TSkinWindow& w : ws.GameWindows) ResetSkinButtons(w);
  ResetSkinButtons(ws.GlassWindow);
  TSkinWindow* hit = nullptr;
  uint8_t code = kHitNone;
  if (TSkinWindow* w = TopWindowAt(f, x, y)) {
    hit = w;
    code = SkinWindowHitTest(ws, *w, x, y, false);
  }
  if (ws.GlassWindow.Visible && PointInSkinRect(ws.GlassWindow.Outer, x, y)) {
    hit = &ws.GlassWindow;
    code = SkinWindowHitTest(ws, ws.GlassWindow, x, y, false);
  }
  f.HoverWindow = hit;
  f.HoverButton = hit ? hit->HotButton : -1;
  if (hit && code == kHitNone) f.HoverButton = -1;
  ws.SkinDrag.HoverHitCode = code;
  if (!IsEdgeCode(code)) SetSkinFieldCursor(ws, TSkinCursor::Default);
  Include(changed, ButtonRect(f.HoverWindow, f.HoverButton));
  if (ws.GlassWindow.Visible) Include(changed, ws.GlassWindow.Outer);
  if (IsSkinRectEmpty(changed)) return;
  f.SmallRect = changed;
  f.Game.Play.RedrawKind = kRedrawSmall;
  Redraw(f);
}

}  // namespace

TSkinWindow* WindowUnderPoint(TField& f, int32_t x, int32_t y) {
  TSkinWindow* active = ActiveWindow(f);
  for (int32_t p = kGameWindowCount - 1; p >= 0; --p) {
    TSkinWindow* w = f.Windows.SkinWindowOrder[p];
    if (!w || !w->Visible || (w->Style != kSkinStyleSide && w->Style != kSkinStylePocket)) continue;
    if (!PointInSkinRect(w->Client, x, y) && !(w == active && PointOnSkinScrollBar(*w, x, y))) continue;
    if (w == active) return nullptr;
    if (active && w->Style == kSkinStyleSide && active->Style == kSkinStyleSide) return nullptr;
    return w;
  }
  return nullptr;
}

void FieldMouseDown(TField& f, int32_t button, uint8_t shift, int32_t x, bool synthetic, int32_t y) {
  TGameState& g = f.Game;
  TSkinWindows& ws = f.Windows;
  if (!f.FormsReady || !g.GameLoaded) return;
  g.Play.RedrawKind = kRedrawField;
  shift &= kShiftKeys;
  ClearWindowOperation(f);
  HighlightSkinWindow(ws, nullptr);
  TSkinWindow& glass = ws.GlassWindow;
  if (glass.Visible) {
    if (!MapGlassPoint(f, x, y, true) && PointInSkinRect(glass.Outer, x, y) && PointOnSkinFrame(ws, glass, x, y))
      HighlightSkinWindow(ws, &glass);
  }
  if (!ActiveWindow(f)) {
    TSkinWindow* w = TopWindowAt(f, x, y);
    if (!w) return;
    HighlightSkinWindow(ws, w);
  }
  TSkinWindow& active = *ActiveWindow(f);
  const bool holding = g.Play.DragState == 1 && g.Play.HeldPiece >= 0;
  const bool clickToDrag = g.PlaySettings.ClickToDrag != 0;
  if (!(clickToDrag && holding) && StartWindowOperation(f, active, x, y)) return;

  // The pieces.
  if (!PointInSkinRect(active.Client, x, y) || active.Style == kSkinStyleGlass || active.Style == kSkinStyleThumbnail) {
    HighlightSkinWindow(ws, nullptr);
    return;
  }
  if (active.Style == kSkinStylePocket) BringSkinWindowToFront(ws, active);
  if (f.Pin.Dragging) return;
  const TPieceView view = PieceViewOf(active);
  if (button == kMouseRight && !synthetic && PieceAtPoint(g, view, x, y) < 0) {
    if (active.HorzScrollVisible || active.VertScrollVisible) {
      TSkinDragState& d = ws.SkinDrag;
      d.Window = &active;
      d.HitCode = kHitPan;
      f.Host.GrabCursor(true);
      d.GrabX = (active.HorzScrollVisible ? active.Buttons[kSkinBtnHorzThumb].Bounds.Left : 0) + x;
      d.GrabY = (active.VertScrollVisible ? active.Buttons[kSkinBtnVertThumb].Bounds.Top : 0) + y;
      DragRedraw(f, 3);
      g.Play.RedrawKind = kRedrawDrag;
    }
    return;
  }
  if (g.GameLevel.Rotate && Matches(g.PlaySettings.RotCCW, button, shift)) {
    RotateGroup(g, view, x, y, false);
    return;
  }
  if (g.GameLevel.Rotate && Matches(g.PlaySettings.RotCW, button, shift)) {
    RotateGroup(g, view, x, y, true);
    return;
  }
  if (button != kMouseLeft || shift != 0) return;
  if (clickToDrag) {
    if (holding) return;
    f.ClickPending = true;
    f.ClickX = x;
    f.ClickY = y;
  }
  g.Play.HeldPiece = PieceAtPoint(g, view, x, y);
  const int32_t held = g.Play.HeldPiece;
  if (held >= 0) {
    const bool selected = g.Pieces[size_t(held)].Selected != 0;
    if (g.Play.HasSelection && !selected) ClearSelection(g, view);
    StartDrag(g, view, x, y, g.Play.HasSelection && selected);
    return;
  }
  f.ClickPending = false;
  if (g.Play.HasSelection) ClearSelection(g, view);
  SetSkinRectBounds(g.Play.Band, ContentX(view, x), ContentY(view, y), 1, 1);
  g.Play.DragState = 2;
  DragRedraw(f, 5);
  g.Play.RedrawKind = kRedrawDrag;
}

void FieldMouseMove(TField& f, uint8_t shift, int32_t x, int32_t y) {
  TGameState& g = f.Game;
  TSkinWindows& ws = f.Windows;
  if (!f.FormsReady || !g.GameLoaded) return;
  TSkinWindow* active = ActiveWindow(f);
  if (!active) return;
  const bool buttonDown = (shift & kShiftButtons) != 0;
  f.Host.ToolbarUnhot();
  TSkinWindow& glass = ws.GlassWindow;
  if (glass.Visible) {
    if (active != &glass) {
      MapGlassPoint(f, x, y, true);
    } else if (!buttonDown) {
      MapGlassPoint(f, x, y, true);
    }
  }
  if (f.Pin.Dragging) {
    MoveWeightPin(f, x, y, WindowUnderPoint(f, x, y));
    g.Play.RedrawKind = kRedrawDrag;
    return;
  }
  if (ws.SkinDrag.HitCode != kHitNone && ws.SkinDrag.Window) {
    ContinueWindowOperation(f, x, y, buttonDown);
    return;
  }
  if (g.Play.DragState == 1 && g.Play.HeldPiece >= 0) {
    // The previous event's Redraw cleared the kind; the held pieces are repainted per move.
    g.Play.RedrawKind = kRedrawDrag;
    TSkinWindow* target = WindowUnderPoint(f, x, y);
    const TPieceView view = PieceViewOf(*active);
    if (target) {
      const TPieceView tv = PieceViewOf(*target);
      MoveHeld(g, view, &tv, x, y, g.Play.HasSelection);
    } else {
      MoveHeld(g, view, nullptr, x, y, g.Play.HasSelection);
    }
    g.Play.RedrawKind = kRedrawDrag;
    return;
  }
  if (g.Play.DragState == 2) {
    const TPieceView view = PieceViewOf(*active);
    TSkinRect& band = g.Play.Band;
    // Width and height may go negative while the band is pulled up or left.
    band.Width = ContentX(view, x) - band.Left;
    band.Height = ContentY(view, y) - band.Top;
    band.Right = band.Left + band.Width - 1;
    band.Bottom = band.Top + band.Height - 1;
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintFromStatic);
    PaintField(f, *f.ScreenBuffer, f.FieldRect, kPaintBand);
    g.Play.RedrawKind = kRedrawDrag;
    return;
  }
  if (!buttonDown && g.Play.DragState == 0) Hover(f, x, y);
}

void FieldMouseUp(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y) {
  TGameState& g = f.Game;
  TSkinWindows& ws = f.Windows;
  if (!f.FormsReady || !g.GameLoaded) return;
  shift &= kShiftKeys;
  g.Play.RedrawKind = kRedrawField;
  if (ws.GlassWindow.Visible) MapGlassPoint(f, x, y, true);
  TSkinDragState& d = ws.SkinDrag;
  if (d.HitCode != kHitNone && d.Window) {
    TSkinWindow& w = *d.Window;
    if (d.HotButton >= 0 && d.HotButton < kSkinButtonCount) w.Buttons[size_t(d.HotButton)].Pressed = false;
    switch (d.HitCode) {
      case kHitCaptionButton:
        if (w.Style == kSkinStylePocket) {
          f.Host.ShowPocket(w.Index, false);
        } else {
          SetSkinWindowVisible(ws, w, false);
          f.Host.WindowHidden(w.Index);
        }
        break;
      case kHitZoom3: SetGlassZoom(f, 3); break;
      case kHitZoom2: SetGlassZoom(f, 2); break;
      case kHitMove: KeepWindowsInField(f); break;
      case kHitPan: f.Host.GrabCursor(false); break;
      default: break;
    }
    ClearWindowOperation(f);
    return;
  }
  const int32_t n = LivePieceCount(g);
  const bool holding = g.Play.DragState == 1 && g.Play.HeldPiece >= 0 && g.Play.HeldPiece < n;
  const bool clickToDrag = g.PlaySettings.ClickToDrag != 0;
  if (clickToDrag && holding && !ActiveWindow(f))
    HighlightSkinWindow(ws, &ws.GameWindows[g.Pieces[size_t(g.Play.HeldPiece)].Window % kGameWindowCount]);
  TSkinWindow* active = ActiveWindow(f);
  if (!active) return;
  const TPieceView view = PieceViewOf(*active);
  if (button == kMouseLeft) {
    if (clickToDrag && holding && f.ClickPending && std::abs(x - f.ClickX) <= 1 && std::abs(y - f.ClickY) <= 2) {
      f.ClickPending = false;
      return;
    }
    if (holding) {
      f.ClickPending = false;
      if (g.Play.HasSelection) {
        MoveHeld(g, view, nullptr, x, y, true);
        g.Play.HeldPiece = -1;
        g.Play.DragState = 0;
      } else {
        MoveHeld(g, view, nullptr, x, y, false);
        SnapDroppedGroup(f);
        BringGroupsIntoView(g, view, false);
      }
      RefreshPocket(f, *active);
      return;
    }
    if (g.Play.DragState == 2) {
      TSkinRect& band = g.Play.Band;
      if (band.Width < 0) {
        band.Left += band.Width;
        band.Width = -band.Width;
      }
      if (band.Height < 0) {
        band.Top += band.Height;
        band.Height = -band.Height;
      }
      SetSkinRectBounds(band, band.Left, band.Top, band.Width, band.Height);
      g.Play.DragState = 0;
      SelectInBand(g, view, false);
      return;
    }
    if (f.Pin.Dragging) {
      DropWeightPin(f);
      return;
    }
  }
  if (Matches(g.PlaySettings.MoveOW, button, shift) && !g.PlaySettings.SingleMainWindow &&
      active->Style == kSkinStyleSide) {
    const int32_t piece = PieceAtPoint(g, view, x, y);
    if (piece >= 0) {
      const bool selected = g.Pieces[size_t(piece)].Selected != 0;
      if (g.Play.HasSelection && selected) {
        MoveToOtherSide(g, view, x, y, true);
        ClearSelection(g, view);
      } else {
        if (g.Play.HasSelection) ClearSelection(g, view);
        MoveToOtherSide(g, view, x, y, false);
      }
    }
    if (g.Play.DragState == 1) g.Play.DragState = 0;
  }
}

namespace {

template <typename F>
TSkinRect Handle(TField& f, F&& call) {
  TSkinRect none;
  ClearSkinRect(none);
  if (!f.FormsReady || f.Busy) return none;
  f.InHandler = true;
  ClearSkinRect(f.Changed);
  call();
  Redraw(f);
  f.InHandler = false;
  return f.Changed;
}

}  // namespace

TSkinRect I_FieldMouseDown(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y) {
  return Handle(f, [&] { FieldMouseDown(f, button, shift, x, false, y); });
}

TSkinRect I_FieldMouseMove(TField& f, uint8_t shift, int32_t x, int32_t y) {
  return Handle(f, [&] { FieldMouseMove(f, shift, x, y); });
}

TSkinRect I_FieldMouseUp(TField& f, int32_t button, uint8_t shift, int32_t x, int32_t y) {
  return Handle(f, [&] { FieldMouseUp(f, button, shift, x, y); });
}

bool I_FieldMouseWheel(TField& f, int32_t delta, int32_t x, int32_t y, TSkinRect* changed) {
  TGameState& g = f.Game;
  // The field's last column and row are FieldW - 1 and FieldH - 1.
  const bool onField = x >= 0 && y >= 0 && x < g.Field.FieldW && y < g.Field.FieldH;
  TSkinRect r;
  ClearSkinRect(r);
  if (delta != 0 && g.GameLoaded && onField) {
    // Smooth wheels and touchpads send a notch in parts; a turn the other way starts afresh.
    if ((f.WheelRest < 0) != (delta < 0)) f.WheelRest = 0;
    f.WheelRest += delta;
    const int32_t steps = f.WheelRest / kWheelStep;
    f.WheelRest -= steps * kWheelStep;
    if (steps != 0) {
      const TMouseBinding& b = steps > 0 ? g.PlaySettings.RotCCW : g.PlaySettings.RotCW;
      r = Handle(f, [&] {
        for (int32_t k = 0; k < std::abs(steps); ++k) FieldMouseDown(f, b.Button, b.Shift, x, true, y);
      });
    }
  }
  if (changed) *changed = r;
  return true;
}
