#include <gtest/gtest.h>

#include <algorithm>

#include "field_rig.h"
#include "game/emboss_maps.h"

namespace {

constexpr uint8_t kLeftDown = kShiftLeftDown, kRightDown = kShiftRightDown;

// Pieces on a grid, far from each other's places so that nothing snaps by accident.
void SpreadApart(TFieldRig& r) {
  for (int32_t i = 0; i < r.g.GameLevel.TotalTileNum; ++i) {
    r.P(i).X = 5 + (i % 12) * 61;
    r.P(i).Y = 5 + (i / 12) * 67;
  }
  SortPieces(r.g, false);
}

void Click(TFieldRig& r, int32_t x, int32_t y, int32_t button = kMouseLeft, uint8_t shift = 0) {
  I_FieldMouseDown(r.f, button, shift, x, y);
  I_FieldMouseUp(r.f, button, shift, x, y);
}

void Drag(TFieldRig& r, int32_t x, int32_t y, int32_t dx, int32_t dy) {
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  I_FieldMouseMove(r.f, kLeftDown, x + dx / 2, y + dy / 2);
  I_FieldMouseMove(r.f, kLeftDown, x + dx, y + dy);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x + dx, y + dy);
}

int32_t TopGroup(TFieldRig& r) { return r.g.GameLevel.TotalTileNum - 1; }

TEST(FieldInput, ADragMovesTheHeldGroupAndRaisesIt) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.P(7).Group = r.P(8).Group = 3;  // a group of two, low in the stack
  const int32_t x7 = r.P(7).X, y8 = r.P(8).Y, x9 = r.P(9).X;
  int32_t x, y;
  r.BodyPoint(8, x, y);
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  EXPECT_EQ(r.g.Play.DragState, 1);
  EXPECT_EQ(r.g.Play.HeldPiece, 8);
  EXPECT_EQ(r.P(8).Group, TopGroup(r));  // raised on pick-up
  EXPECT_EQ(r.P(7).Group, TopGroup(r));
  I_FieldMouseMove(r.f, kLeftDown, x + 150, y + 90);
  // While held, every move repaints the group where it now is.
  EXPECT_EQ(GetDibPixel(*r.f.ScreenBuffer, x, y), int32_t(kFieldGrey));
  EXPECT_EQ(GetDibPixel(*r.f.ScreenBuffer, x + 150, y + 90),
            GetDibPixel(r.g.Images.PictureImages[0], r.P(8).CellX + r.P(8).CellW / 2, r.P(8).CellY + r.P(8).CellH / 2));
  I_FieldMouseUp(r.f, kMouseLeft, 0, x + 151, y + 92);
  EXPECT_EQ(r.P(7).X, x7 + 151);
  EXPECT_EQ(r.P(8).Y, y8 + 92);
  EXPECT_EQ(r.P(9).X, x9);
  EXPECT_EQ(r.g.Play.DragState, 0);
  EXPECT_EQ(r.g.Play.HeldPiece, -1);
  // The screen shows the group at its new place.
  int32_t nx, ny;
  r.BodyPoint(8, nx, ny);
  EXPECT_NE(GetDibPixel(*r.f.ScreenBuffer, nx, ny), int32_t(kFieldGrey));
  EXPECT_EQ(GetDibPixel(*r.f.ScreenBuffer, x, y), int32_t(kFieldGrey));
}

TEST(FieldInput, HandlersWaitForTheFormsAndIgnoreInputWhileBusy) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  int32_t x, y;
  r.BodyPoint(4, x, y);
  const int32_t x4 = r.P(4).X;
  r.f.Busy = true;
  Drag(r, x, y, 100, 0);
  r.f.Busy = false;
  r.f.FormsReady = false;
  Drag(r, x, y, 100, 0);
  EXPECT_EQ(r.P(4).X, x4);
  r.f.FormsReady = true;
  Drag(r, x, y, 100, 0);
  EXPECT_EQ(r.P(4).X, x4 + 100);
}

TEST(FieldInput, TheBandSelectsWholeGroupsInsideItAndASelectedPieceDragsThemAll) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  // The band from below-right to above-left covers pieces 0, 1, 12 and 13 entirely.
  const int32_t right = r.P(13).X + r.P(13).BoxW + 3, bottom = r.P(13).Y + r.P(13).BoxH + 3;
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, right, bottom);
  EXPECT_EQ(r.g.Play.DragState, 2);
  I_FieldMouseMove(r.f, kLeftDown, 2, 2);
  I_FieldMouseUp(r.f, kMouseLeft, 0, 2, 2);
  EXPECT_TRUE(r.g.Play.HasSelection);
  for (int32_t i = 0; i < r.g.GameLevel.TotalTileNum; ++i)
    EXPECT_EQ(r.P(i).Selected != 0, i == 0 || i == 1 || i == 12 || i == 13) << i;
  // Dragging one selected piece moves the whole selection.
  const int32_t x0 = r.P(0).X, x13 = r.P(13).X, x2 = r.P(2).X;
  int32_t x, y;
  r.BodyPoint(1, x, y);
  Drag(r, x, y, 40, 300);
  EXPECT_EQ(r.P(0).X, x0 + 40);
  EXPECT_EQ(r.P(13).X, x13 + 40);
  EXPECT_EQ(r.P(2).X, x2);
  // A click on an unselected piece clears the selection.
  r.BodyPoint(2, x, y);
  Click(r, x, y);
  EXPECT_FALSE(r.g.Play.HasSelection);
  EXPECT_EQ(r.P(0).Selected, 0);
}

TEST(FieldInput, ClickToDragPicksUpWithOneClickAndDropsWithTheNext) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.g.PlaySettings.ClickToDrag = 1;
  int32_t x, y;
  r.BodyPoint(5, x, y);
  const int32_t x5 = r.P(5).X;
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x + 1, y - 2);  // within the tolerance: still held
  EXPECT_EQ(r.g.Play.DragState, 1);
  I_FieldMouseMove(r.f, 0, x + 200, y + 100);
  EXPECT_EQ(r.P(5).X, x5 + 200);
  Click(r, x + 210, y + 100);
  EXPECT_EQ(r.g.Play.DragState, 0);
  EXPECT_EQ(r.P(5).X, x5 + 210);

  // Moving two pixels across before the release drops at once.
  r.BodyPoint(6, x, y);
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x + 2, y);
  EXPECT_EQ(r.g.Play.DragState, 0);
  // Upwards the tolerance is two pixels: three drops too.
  r.BodyPoint(7, x, y);
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x - 1, y + 3);
  EXPECT_EQ(r.g.Play.DragState, 0);
}

// A piece carried by click-to-drag, the first one included, is put down by the next click even
// over a window's caption: the window does not start to move under it.
TEST(FieldInput, ClickToDragPutsDownOverACaptionWithoutMovingTheWindow) {
  for (const int32_t piece : {0, 5}) {
    TFieldRig r(2, false, 5);
    SpreadApart(r);
    r.g.PlaySettings.ClickToDrag = 1;
    TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
    const int32_t cx = pocket.CaptionRect.Left + 5, cy = pocket.Client.Top - pocket.CaptionHeight / 2;
    int32_t x, y;
    r.BodyPoint(piece, x, y);
    Click(r, x, y);
    ASSERT_EQ(r.g.Play.DragState, 1) << piece;
    ASSERT_EQ(r.g.Play.HeldPiece, piece);
    I_FieldMouseMove(r.f, 0, cx, cy);
    I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, cx, cy);
    EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitNone) << piece;
    I_FieldMouseMove(r.f, kLeftDown, cx + 40, cy + 30);
    I_FieldMouseUp(r.f, kMouseLeft, 0, cx + 40, cy + 30);
    EXPECT_EQ(r.g.Play.DragState, 0) << piece;
    EXPECT_EQ(pocket.Outer.Left, 300) << piece;
    EXPECT_EQ(pocket.Outer.Top, 200) << piece;
  }
}

TEST(FieldInput, RotationBindingsAndOtherModifiers) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  SpreadApart(r);
  int32_t x, y;
  r.BodyPoint(4, x, y);
  // Shift with the left button matches nothing: no hold, no band.
  I_FieldMouseDown(r.f, kMouseLeft, kShiftShift | kLeftDown, x, y);
  EXPECT_EQ(r.g.Play.DragState, 0);
  EXPECT_EQ(r.g.Play.HeldPiece, -1);
  I_FieldMouseUp(r.f, kMouseLeft, kShiftShift, x, y);
  // Ctrl + left turns counter-clockwise (the default binding), Ctrl + right clockwise.
  Click(r, x, y, kMouseLeft, kShiftCtrl);
  EXPECT_EQ(r.P(4).Rotation, 3);
  Click(r, x, y, kMouseRight, kShiftCtrl);
  Click(r, x, y, kMouseRight, kShiftCtrl);
  EXPECT_EQ(r.P(4).Rotation, 1);
  // Bindings are ignored while the level does not rotate.
  r.g.GameLevel.Rotate = 0;
  Click(r, x, y, kMouseLeft, kShiftCtrl);
  EXPECT_EQ(r.P(4).Rotation, 1);
}

TEST(FieldInput, TheWheelRotatesUpToTheFieldsLastPixel) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  SpreadApart(r);
  int32_t x, y;
  r.BodyPoint(4, x, y);
  EXPECT_TRUE(I_FieldMouseWheel(r.f, 120, x, y));
  EXPECT_EQ(r.P(4).Rotation, 3);
  EXPECT_TRUE(I_FieldMouseWheel(r.f, -120, x, y));
  EXPECT_EQ(r.P(4).Rotation, 0);
  EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitNone);  // a wheel step never grabs the view

  // A piece in the field's last column turns; one pixel past the field nothing happens.
  TPieceRecord& p = r.P(2);
  p.X = 800 - p.BoxW;
  p.Y = 600 - p.BoxH;
  UpdatePieceRotation(r.g, p);
  int32_t ex = 799, ey = 600 - p.BoxH / 2;
  while (PieceAtPoint(r.g, PieceViewOf(r.ws.GameWindows[0]), ex, ey) != 2) --ex;
  r.P(2).X += 799 - ex;  // its body reaches the last column
  ASSERT_EQ(PieceAtPoint(r.g, PieceViewOf(r.ws.GameWindows[0]), 799, ey), 2);
  const int32_t rot = r.P(2).Rotation;
  I_FieldMouseWheel(r.f, 120, 800, ey);
  EXPECT_EQ(r.P(2).Rotation, rot);
  I_FieldMouseWheel(r.f, 120, 799, ey);
  EXPECT_EQ(r.P(2).Rotation, (rot + 3) % 4);
}

// A smooth wheel sends a notch in parts: every whole notch turns the piece a quarter, what is
// left waits for the next part, and a turn the other way starts from nothing. Checked against a
// plain count over a random run of parts.
TEST(FieldInput, WheelPartsAddUpToWholeNotches) {
  TFieldRig r({.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  SpreadApart(r);
  int32_t x, y;
  r.BodyPoint(4, x, y);
  uint32_t seed = 99;
  int32_t rest = 0, turns = 0;
  for (int k = 0; k < 60; ++k) {
    seed = seed * 1103515245u + 12345u;
    const int32_t delta = int32_t((seed >> 16) % 41) * 10 - 200;  // -200 .. 200, 0 included
    if (delta != 0) {
      if ((rest < 0) != (delta < 0)) rest = 0;
      rest += delta;
      turns += rest / 120;
      rest %= 120;
    }
    I_FieldMouseWheel(r.f, delta, x, y);
    ASSERT_EQ(r.P(4).Rotation, ((-turns) % 4 + 4) % 4) << "after part " << k << " of " << delta;
  }
}

TEST(FieldInput, RightDragOnEmptySpacePullsTheViewAndARightClickSendsAPieceAcross) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& side = r.ws.GameWindows[0];
  side.ContentWidth = 2400;
  side.ContentHeight = 1800;
  RelayoutSkinWindow(side);
  ASSERT_TRUE(side.HorzScrollVisible);
  r.host.Calls.clear();
  I_FieldMouseDown(r.f, kMouseRight, kRightDown, 700, 500);
  EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitPan);
  I_FieldMouseMove(r.f, kRightDown, 600, 450);
  EXPECT_GT(side.ScrollX, 0);
  EXPECT_GT(side.ScrollY, 0);
  EXPECT_EQ(r.ws.GameWindows[1].ScrollX, side.ScrollX);  // the sides share their view
  I_FieldMouseUp(r.f, kMouseRight, 0, 600, 450);
  EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitNone);
  EXPECT_EQ(r.host.Of("GrabCursor"), (std::vector<std::string>{"GrabCursor 1", "GrabCursor 0"}));

  // The right button released over a piece sends its group to the other side.
  side.ScrollX = side.ScrollY = 0;
  int32_t x, y;
  r.P(3).Group = r.P(4).Group = 4;
  r.BodyPoint(3, x, y);
  Click(r, x, y, kMouseRight);
  EXPECT_EQ(r.P(3).Window, 1);
  EXPECT_EQ(r.P(4).Window, 1);
  EXPECT_EQ(r.P(5).Window, 0);
  // Not with a single main window.
  r.g.PlaySettings.SingleMainWindow = 1;
  r.BodyPoint(5, x, y);
  Click(r, x, y, kMouseRight);
  EXPECT_EQ(r.P(5).Window, 0);
}

TEST(FieldInput, PocketsMoveByTheirCaptionComeBackIntoReachAndCloseByTheirButton) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
  const int32_t cx = pocket.CaptionRect.Left + 5, cy = pocket.Client.Top - pocket.CaptionHeight / 2;
  Drag(r, cx, cy, 50, 40);
  EXPECT_EQ(pocket.Outer.Left, 350);
  EXPECT_EQ(pocket.Outer.Top, 240);
  EXPECT_EQ(r.ws.SkinWindowOrder[kGameWindowCount - 1], &pocket);
  // Dragged above the field, it comes back to the top edge.
  Drag(r, cx + 50, cy + 40, 0, -500);
  EXPECT_EQ(pocket.Outer.Top, 0);

  // A group dropped into the pocket moves there, in the pocket's content coordinates.
  int32_t x, y;
  r.BodyPoint(0, x, y);
  const int32_t tx = pocket.Client.Left + 60, ty = pocket.Client.Top + 60;
  Drag(r, x, y, tx - x, ty - y);
  EXPECT_EQ(r.P(0).Window, 2);
  EXPECT_EQ(PieceAtPoint(r.g, PieceViewOf(pocket), tx, ty), 0);
  EXPECT_EQ(pocket.PieceCount, 1);

  const TSkinRect b = pocket.Buttons[kSkinBtnCaption].Bounds;
  ASSERT_FALSE(IsSkinRectEmpty(b));
  Click(r, b.Left + b.Width / 2, b.Top + b.Height / 2);
  EXPECT_EQ(r.host.Of("ShowPocket"), std::vector<std::string>{"ShowPocket 2 0"});
}

TEST(FieldInput, PointsInTheLensActOnThePiecesUnderIt) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& glass = r.ShowGlass(300, 200);
  // A lens point and the field point it shows.
  int32_t lx = glass.Client.Left + glass.Client.Width / 2 + 30, ly = glass.Client.Top + glass.Client.Height / 2;
  int32_t fx = lx, fy = ly;
  ASSERT_TRUE(MapGlassPoint(r.f, fx, fy, true));
  // Put piece 20's body under the shown point and another piece under the lens point itself.
  int32_t bx, by;
  r.BodyPoint(20, bx, by);
  r.P(20).X += fx - bx;
  r.P(20).Y += fy - by;
  r.BodyPoint(21, bx, by);
  r.P(21).X += lx - bx;
  r.P(21).Y += ly - by;
  SortPieces(r.g, false);
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, lx, ly);
  EXPECT_EQ(r.g.Play.HeldPiece, 20);
  I_FieldMouseUp(r.f, kMouseLeft, 0, lx, ly);
}

}  // namespace

namespace {

TEST(FieldInput, EdgesAndCornersResizeWithinTheLimits) {
  TFieldRig r(2, false, 5);
  TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
  // The bottom-right corner follows the pointer; the top-left corner stays.
  Drag(r, pocket.Outer.Right, pocket.Outer.Bottom, 60, 30);
  EXPECT_EQ(pocket.Outer.Left, 300);
  EXPECT_EQ(pocket.Outer.Top, 200);
  EXPECT_EQ(pocket.Outer.Width, 300);
  EXPECT_EQ(pocket.Outer.Height, 210);
  // The left edge: the right edge stays, and the size never goes below the minimum.
  Drag(r, pocket.Outer.Left, pocket.Outer.Top + 100, 1000, 0);
  EXPECT_EQ(pocket.Outer.Right, 599);
  EXPECT_EQ(pocket.Outer.Width, pocket.OuterMinWidth);

  // The glass takes new half axes and a lens of its new size.
  TSkinWindow& glass = r.ShowGlass(100, 100);
  SetGlassZoom(r.f, 2);
  const int32_t before = glass.Client.Width;
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, glass.Grip.Left + 15, glass.Grip.Top + 15);
  ASSERT_EQ(r.ws.SkinDrag.HitCode, kHitBottomRight);
  I_FieldMouseMove(r.f, kLeftDown, glass.Outer.Right + 60, glass.Outer.Bottom + 60);
  I_FieldMouseUp(r.f, kMouseLeft, 0, glass.Outer.Right, glass.Outer.Bottom);
  EXPECT_GT(glass.Client.Width, before);
  EXPECT_DOUBLE_EQ(r.f.Glass.A, glass.Client.Width / 2.0);
  EXPECT_EQ(GetDibPixel(*r.f.Glass.LensMask, glass.Client.Width - 1, glass.Client.Height / 2), 0x0D0D0D);
}

TEST(FieldInput, EachGrabbedEdgeFollowsThePointerAndTheOthersStay) {
  struct {
    int32_t Code;
    bool Left, Top, Right, Bottom;  // the edges the grip moves
  } cases[] = {
      {kHitLeft, true, false, false, false},       {kHitTop, false, true, false, false},
      {kHitRight, false, false, true, false},      {kHitBottom, false, false, false, true},
      {kHitTopLeft, true, true, false, false},     {kHitBottomLeft, true, false, false, true},
      {kHitBottomRight, false, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Code);
    TFieldRig r(2, false, 5);
    TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
    const TSkinRect o = pocket.Outer;
    const int32_t x = c.Left ? o.Left : c.Right ? o.Right : o.Left + o.Width / 2;
    const int32_t y = c.Top ? o.Top : c.Bottom ? o.Bottom : o.Top + o.Height / 2 + 20;
    // Outwards on every grabbed edge, so that no size limit interferes.
    const int32_t dx = c.Left ? -30 : 30, dy = c.Top ? -20 : 20;
    I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
    ASSERT_EQ(r.ws.SkinDrag.HitCode, c.Code);
    I_FieldMouseMove(r.f, kLeftDown, x + dx / 2, y + dy / 2);
    I_FieldMouseMove(r.f, kLeftDown, x + dx, y + dy);
    I_FieldMouseUp(r.f, kMouseLeft, 0, x + dx, y + dy);
    EXPECT_EQ(pocket.Outer.Left, c.Left ? o.Left + dx : o.Left);
    EXPECT_EQ(pocket.Outer.Top, c.Top ? o.Top + dy : o.Top);
    EXPECT_EQ(pocket.Outer.Right, c.Right ? o.Right + dx : o.Right);
    EXPECT_EQ(pocket.Outer.Bottom, c.Bottom ? o.Bottom + dy : o.Bottom);
  }
}

// The corner of a side's scroll bars sizes the main window instead: by the pointer's move since the press, both
// ways on both axes.
TEST(FieldInput, TheSideScrollCornerSizesTheMainWindowByThePointersMove) {
  TFieldRig r(2, false, 5);
  r.host.MainWidth = 820;
  r.host.MainHeight = 640;
  TSkinWindow& side = r.ws.GameWindows[0];
  side.ContentWidth = 2000;  // scroll bars, and the box where they meet
  side.ContentHeight = 1500;
  RelayoutSkinWindow(side);
  const TSkinRect corner = side.CornerBox;
  ASSERT_GT(corner.Width, 2);
  const int32_t x = corner.Left + corner.Width / 2, y = corner.Top + corner.Height / 2;
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  ASSERT_EQ(r.ws.SkinDrag.HitCode, kHitBottomRight);
  I_FieldMouseMove(r.f, kLeftDown, x + 30, y - 20);
  EXPECT_EQ(r.host.MainWidth, 850);
  EXPECT_EQ(r.host.MainHeight, 620);
  I_FieldMouseMove(r.f, kLeftDown, x - 10, y + 5);
  EXPECT_EQ(r.host.MainWidth, 810);
  EXPECT_EQ(r.host.MainHeight, 645);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x - 10, y + 5);
}

TEST(FieldInput, TheGlassZoomButtonsSwapEachOther) {
  TFieldRig r(2, false, 5);
  TSkinWindow& glass = r.ShowGlass(100, 100);
  ASSERT_TRUE(glass.Buttons[kSkinBtnZoom3].Visible);
  ASSERT_FALSE(IsSkinRectEmpty(glass.Buttons[kSkinBtnZoom3].Bounds));
  const TSkinRect b = glass.Buttons[kSkinBtnZoom3].Bounds;
  Click(r, b.Left + b.Width / 2, b.Top + b.Height / 2);
  EXPECT_EQ(r.f.Glass.Zoom, 3);
  EXPECT_FALSE(glass.Buttons[kSkinBtnZoom3].Visible);
  EXPECT_TRUE(glass.Buttons[kSkinBtnZoom2].Visible);
  // At zoom 3 a point 30 pixels right of the centre shows the field 10 pixels right of it.
  int32_t x = glass.Client.Left + glass.Client.Width / 2 + 30, y = glass.Client.Top + glass.Client.Height / 2;
  MapGlassPoint(r.f, x, y, true);
  EXPECT_EQ(x, glass.Client.Left + glass.Client.Width / 2 + 10);
}

TEST(FieldInput, TheWindowUnderThePointer) {
  TFieldRig r(2, false, 5);
  TSkinWindow& side = r.ws.GameWindows[0];
  TSkinWindow& pocket = r.ShowPocketAt(3, 300, 200, 240, 180);
  HighlightSkinWindow(r.ws, &side);
  const int32_t px = pocket.Client.Left + 10, py = pocket.Client.Top + 10;
  EXPECT_EQ(WindowUnderPoint(r.f, px, py), &pocket);
  EXPECT_EQ(WindowUnderPoint(r.f, 50, 50), nullptr);  // the active window itself
  HighlightSkinWindow(r.ws, &pocket);
  EXPECT_EQ(WindowUnderPoint(r.f, 50, 50), &side);
}

TEST(FieldInput, HoverLightsAFrameButtonAndRepaintsOnlyAroundIt) {
  TFieldRig r(2, false, 5);
  TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
  const TSkinRect b = pocket.Buttons[kSkinBtnCaption].Bounds;
  const TSkinRect changed = I_FieldMouseMove(r.f, 0, b.Left + 2, b.Top + 2);
  EXPECT_TRUE(pocket.Buttons[kSkinBtnCaption].Hot);
  EXPECT_EQ(changed.Left, b.Left);
  EXPECT_EQ(changed.Width, b.Width);
  // Moving off it clears the light and repaints the same button again.
  const TSkinRect off = I_FieldMouseMove(r.f, 0, 100, 500);
  EXPECT_FALSE(pocket.Buttons[kSkinBtnCaption].Hot);
  EXPECT_EQ(off.Top, b.Top);
  EXPECT_EQ(off.Height, b.Height);
  // Nothing lit, nothing to repaint.
  EXPECT_TRUE(IsSkinRectEmpty(I_FieldMouseMove(r.f, 0, 120, 500)));
}

TEST(FieldInput, ShowingTheOtherSideCarriesTheHeldGroupAndTheSelection) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.P(20).Selected = 1;
  r.P(3).Group = r.P(4).Group = 4;
  int32_t x, y;
  r.BodyPoint(3, x, y);
  I_FieldMouseDown(r.f, kMouseLeft, kLeftDown, x, y);
  ASSERT_EQ(r.g.Play.HeldPiece, 3);
  SetActiveSide(r.f, 1);
  EXPECT_EQ(r.P(3).Window, 1);
  EXPECT_EQ(r.P(4).Window, 1);
  EXPECT_EQ(r.P(20).Window, 1);
  EXPECT_EQ(r.P(5).Window, 0);
  EXPECT_FALSE(r.ws.GameWindows[0].Visible);
  EXPECT_TRUE(r.ws.GameWindows[1].Highlighted);
  // The drag goes on in the shown side.
  I_FieldMouseMove(r.f, kLeftDown, x + 30, y);
  I_FieldMouseUp(r.f, kMouseLeft, 0, x + 30, y);
  EXPECT_EQ(PieceAtPoint(r.g, PieceViewOf(r.ws.GameWindows[1]), x + 30, y), 3);
}

TEST(FieldInput, AJoinClearsTheWoodBetweenTheJoinedPieces) {
  TFieldRig r(2, false, 5);
  r.g.GameOptions.WoodStyle = TWoodStyle::Shadows;
  r.g.GameOptions.EmbossStyle = TEmbossStyle::None;
  RebuildEmbossMaps(r.g);
  ASSERT_GT(r.g.GameOptions.WoodFrameWidth, 0);
  SpreadApart(r);
  r.f.ShowJoin = false;
  // Piece 1's wood over piece 0's body, in the part of the map that piece 1 draws.
  auto woodOverNeighbour = [&] {
    TEmbossMap& map = r.g.Images.EmbossMaps[0];
    const TDibImage& mask = r.g.Images.PieceMasks[0];
    const TPieceRecord& p = r.P(1);
    const int32_t ww = r.g.GameOptions.WoodFrameWidth;
    int32_t n = 0;
    for (int32_t y = p.BoxY; y < std::min(p.BoxY + p.BoxH + ww, map.Height); ++y)
      for (int32_t x = p.BoxX; x < std::min(p.BoxX + p.BoxW + ww, map.Width); ++x)
        if (*DibPixelAddress(mask, x, y) == r.P(0).Code && (map.ClassBits(x, y) & p.ClassBit) &&
            map.Depth(x, y, p.PatternClass) > 0)
          ++n;
    return n;
  };
  ASSERT_GT(woodOverNeighbour(), 0);
  int32_t x, y;
  r.BodyPoint(1, x, y);
  const TSnapOffset e = ExpectedOffset(r.P(1), r.P(0), 0);
  const int32_t tx = r.P(0).X + e.X + 2, ty = r.P(0).Y + e.Y - 1;
  Drag(r, x, y, tx - r.P(1).X, ty - r.P(1).Y);
  ASSERT_EQ(r.P(1).Group, r.P(0).Group);
  EXPECT_EQ(woodOverNeighbour(), 0);
}

}  // namespace
