#include "game/toolbar_mouse.h"

namespace {

bool Valid(int32_t i) { return i >= 0 && i < kToolbarButtonCount; }

// Normal face unless latched down; the pointer has left it.
void LeaveButton(TToolbar& t) {
  const int32_t i = t.PressedToolbarButton;
  if (Valid(i) && !t.ToolbarButtons[i].Down) PaintToolbarButton(t, i, false);
  t.PressedToolbarButton = -1;
}

}  // namespace

void ToolbarButtonMouseMove(TToolbar& t, int32_t button, bool leftDown) {
  if (leftDown || !Valid(button)) return;
  if (t.PressedToolbarButton >= 0 && t.PressedToolbarButton != button) LeaveButton(t);
  if (!t.ToolbarButtons[button].Enabled) return;
  t.PressedToolbarButton = button;
  PaintToolbarButton(t, button, true);
}

void ToolbarButtonMouseDown(TToolbar& t, int32_t button) {
  if (t.PressedToolbarButton < 0) return;
  ToolbarButtonMouseMove(t, button, false);
  const int32_t i = t.PressedToolbarButton;
  if (!Valid(i)) return;
  ++t.ToolbarButtons[i].Left;
  ++t.ToolbarButtons[i].Top;
}

int32_t ToolbarButtonMouseUp(TToolbar& t) {
  const int32_t i = t.PressedToolbarButton;
  if (!Valid(i)) return -1;
  TToolbarButton& b = t.ToolbarButtons[i];
  if (!b.Down) PaintToolbarButton(t, i, false);
  --b.Left;
  --b.Top;
  return i;
}

void ToolbarBackgroundMouseMove(TToolbar& t) {
  if (t.PressedToolbarButton >= 0) LeaveButton(t);
}

bool ToolbarCloseCornerHit(const TToolbar& t, int32_t x, int32_t y) {
  const TToolbarButton& close = t.ToolbarButtons[kToolbarClose];
  return close.Visible && x > close.Left && y < close.Top + close.Height;
}
