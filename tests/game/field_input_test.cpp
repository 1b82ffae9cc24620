#include <gtest/gtest.h>

#include "field_rig.h"

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
  EXPECT_EQ(GetDibPixel(*r.f.ScreenBuffer, x + 150, y + 90), GetDibPixel(r.g.Images.PictureImages[0],
                                                                         r.P(8).CellX + r.P(8).CellW / 2,
                                                                         r.P(8).CellY + r.P(8).CellH / 2));
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

TEST(FieldInput, RightDragOnEmptySpacePullsTheViewAndARightClickSendsAPieceAcross) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& side = r.ws.GameWindows[0];
  side.ContentWidth = 2400;
  side.ContentHeight = 1800;
  RelayoutSkinWindow(side);
  ASSERT_TRUE(side.HorzScrollVisible);
  std::vector<bool> grab;
  r.f.Hooks.GrabCursor = [&](bool on) { grab.push_back(on); };
  I_FieldMouseDown(r.f, kMouseRight, kRightDown, 700, 500);
  EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitPan);
  I_FieldMouseMove(r.f, kRightDown, 600, 450);
  EXPECT_GT(side.ScrollX, 0);
  EXPECT_GT(side.ScrollY, 0);
  EXPECT_EQ(r.ws.GameWindows[1].ScrollX, side.ScrollX);  // the sides share their view
  I_FieldMouseUp(r.f, kMouseRight, 0, 600, 450);
  EXPECT_EQ(r.ws.SkinDrag.HitCode, kHitNone);
  EXPECT_EQ(grab, (std::vector<bool>{true, false}));

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
  TSkinWindow& pocket = r.ws.GameWindows[2];
  SetSkinWindowVisible(r.ws, pocket, true);
  SetSkinRectBounds(pocket.Outer, 300, 200, 240, 180);
  RelayoutSkinWindow(pocket);
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

  std::vector<int32_t> hidden;
  r.f.Hooks.ShowPocket = [&](int32_t index, bool show) {
    if (!show) hidden.push_back(index);
  };
  const TSkinRect b = pocket.Buttons[kSkinBtnCaption].Bounds;
  ASSERT_FALSE(IsSkinRectEmpty(b));
  Click(r, b.Left + b.Width / 2, b.Top + b.Height / 2);
  EXPECT_EQ(hidden, std::vector<int32_t>{2});
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
