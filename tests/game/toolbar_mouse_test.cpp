#include <gtest/gtest.h>

#include "game/toolbar_mouse.h"

namespace {

struct Toolbar {
  TToolbar t;
  Toolbar() {
    InitToolbar(t);
    LayoutToolbar(t, 1600, true);
  }
  ~Toolbar() { FreeToolbar(t); }
  TToolbarButton& B(int32_t i) { return t.ToolbarButtons[i]; }
};

TEST(ToolbarMouse, HoverPressAndReleaseElsewhereStillClicks) {
  Toolbar tb;
  const int32_t left = tb.B(3).Left, top = tb.B(3).Top;
  ToolbarButtonMouseMove(tb.t, 3, false);
  EXPECT_EQ(tb.t.PressedToolbarButton, 3);
  // Moving while the left button is down changes nothing.
  ToolbarButtonMouseMove(tb.t, 4, true);
  EXPECT_EQ(tb.t.PressedToolbarButton, 3);
  ToolbarButtonMouseDown(tb.t, 3);
  EXPECT_EQ(tb.B(3).Left, left + 1);
  EXPECT_EQ(tb.B(3).Top, top + 1);
  // The release comes wherever the pointer is: the pressed button is clicked, back in place.
  EXPECT_EQ(ToolbarButtonMouseUp(tb.t), 3);
  EXPECT_EQ(tb.B(3).Left, left);
  EXPECT_EQ(tb.B(3).Top, top);
}

TEST(ToolbarMouse, DisabledButtonsAndTheBackgroundLeaveNothingUnderThePointer) {
  Toolbar tb;
  ToolbarButtonMouseMove(tb.t, 5, false);
  SetToolbarButtonEnabled(tb.t, 6, false);
  ToolbarButtonMouseMove(tb.t, 6, false);  // the old one is left, the disabled one not taken
  EXPECT_EQ(tb.t.PressedToolbarButton, -1);
  const int32_t left = tb.B(6).Left;
  ToolbarButtonMouseDown(tb.t, 6);  // nothing under the pointer: no pressed look
  EXPECT_EQ(tb.B(6).Left, left);
  EXPECT_EQ(ToolbarButtonMouseUp(tb.t), -1);
  ToolbarButtonMouseMove(tb.t, 7, false);
  ToolbarBackgroundMouseMove(tb.t);
  EXPECT_EQ(tb.t.PressedToolbarButton, -1);
  // A latched button keeps its face; it is still the one clicked when pressed.
  SetToolbarButtonDown(tb.t, 21, true);
  ToolbarButtonMouseMove(tb.t, 21, false);
  ToolbarButtonMouseDown(tb.t, 21);
  EXPECT_EQ(ToolbarButtonMouseUp(tb.t), 21);
  EXPECT_TRUE(tb.B(21).Down);
}

TEST(ToolbarMouse, TheCloseCornerCountsOnlyInFullScreen) {
  Toolbar tb;
  TToolbarButton& close = tb.B(kToolbarClose);
  close.Visible = true;
  EXPECT_TRUE(ToolbarCloseCornerHit(tb.t, close.Left + 1, 0));
  EXPECT_TRUE(ToolbarCloseCornerHit(tb.t, close.Left + close.Width + 3, close.Top + close.Height - 1));
  EXPECT_FALSE(ToolbarCloseCornerHit(tb.t, close.Left, 0));  // on the edge: not right of it
  EXPECT_FALSE(ToolbarCloseCornerHit(tb.t, close.Left + 1, close.Top + close.Height));
  close.Visible = false;
  EXPECT_FALSE(ToolbarCloseCornerHit(tb.t, close.Left + 1, 0));
}

}  // namespace
