#include <gtest/gtest.h>
#include <algorithm>

#include "field_rig.h"
#include "foundation/artwork.h"
#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "game/emboss_maps.h"
#include "platform/resources.h"

namespace {

// Pieces on a grid wide enough that no two boxes touch.
void SpreadApart(TFieldRig& r, int32_t step = 60) {
  const int32_t n = r.g.GameLevel.TotalTileNum;
  for (int32_t i = 0; i < n; ++i) {
    r.P(i).X = 5 + (i % 12) * step;
    r.P(i).Y = 5 + (i / 12) * step;
  }
}

// The index of the uppermost shown side or pocket whose client holds the point, or -1.
int32_t TopWindowAt(TFieldRig& r, int32_t x, int32_t y) {
  for (int32_t p = kGameWindowCount - 1; p >= 0; --p) {
    const TSkinWindow* w = r.ws.SkinWindowOrder[size_t(p)];
    if (w && w->Visible && PointInSkinRect(w->Client, x, y) &&
        (w->Style == kSkinStyleSide || w->Style == kSkinStylePocket))
      return w->Index;
  }
  return -1;
}

uint32_t ScreenAt(TFieldRig& r, int32_t x, int32_t y) { return uint32_t(GetDibPixel(*r.f.ScreenBuffer, x, y)); }

// Every mask pixel of piece i shows its picture pixel at the piece's place on the screen.
void ExpectPieceShown(TFieldRig& r, int32_t i, int32_t left, int32_t top) {
  const TPieceRecord& p = r.P(i);
  const TDibImage& mask = r.g.Images.PieceMasks[0];
  const TDibImage& pic = r.g.Images.PictureImages[0];
  int32_t body = 0;
  for (int32_t y = 0; y < p.BoxH; ++y)
    for (int32_t x = 0; x < p.BoxW; ++x) {
      const int32_t mx = p.BoxX + x, my = p.BoxY + y;
      const uint32_t shown = ScreenAt(r, left + p.X + x, top + p.Y + y);
      if (*DibPixelAddress(mask, mx, my) == p.Code && mx < pic.Width && my < pic.Height) {
        ++body;
        ASSERT_EQ(shown, uint32_t(GetDibPixel(pic, mx, my))) << "piece " << i << " at " << x << "," << y;
      }
    }
  EXPECT_GT(body, p.CellW * p.CellH / 2);
}

TEST(PaintField, PiecesOfARealCutShowWhereTheirPositionsSay) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.g.Play.RedrawKind = kRedrawField;
  const TSkinRect changed = Redraw(r.f);
  EXPECT_EQ(changed.Width, 800);
  EXPECT_EQ(changed.Height, 600);
  for (int32_t i = 0; i < r.g.GameLevel.TotalTileNum; i += 3) ExpectPieceShown(r, i, 0, 0);
  // Outside every piece the window's background shows.
  EXPECT_EQ(ScreenAt(r, 799, 599), kFieldGrey);

  // A scrolled side shows its content shifted by the scroll offsets.
  TSkinWindow& side = r.ws.GameWindows[0];
  side.ContentWidth = 1600;
  side.ContentHeight = 1200;
  RelayoutSkinWindow(side);
  side.ScrollX = 3;
  side.ScrollY = 2;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  ExpectPieceShown(r, 13, -3, -2);
}

TEST(PaintField, PiecesShowOnlyInSidesAndPockets) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& thumb = r.ws.GameWindows[6];
  thumb.Visible = true;
  SetSkinRectBounds(thumb.Outer, 400, 300, 200, 150);
  RelayoutSkinWindow(thumb);
  BringSkinWindowToFront(r.ws, thumb);
  r.P(0).Window = 6;  // not a place for pieces
  r.P(0).X = r.P(0).Y = 0;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  const int32_t x = thumb.Client.Left + r.P(0).BoxW / 2, y = thumb.Client.Top + r.P(0).BoxH / 2;
  const uint32_t with = ScreenAt(r, x, y);
  r.P(0).X = 5000;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  EXPECT_EQ(ScreenAt(r, x, y), with);
  // The same piece in a pocket at that place shows.
  TSkinWindow& pocket = r.ws.GameWindows[3];
  SetSkinWindowVisible(r.ws, pocket, true);
  SetSkinRectBounds(pocket.Outer, thumb.Outer.Left, thumb.Outer.Top, thumb.Outer.Width, thumb.Outer.Height);
  RelayoutSkinWindow(pocket);
  BringSkinWindowToFront(r.ws, pocket);
  r.P(0).Window = 3;
  r.P(0).X = r.P(0).Y = 0;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  ExpectPieceShown(r, 0, pocket.Client.Left, pocket.Client.Top);
}

TEST(Redraw, EachKindRepaintsWhatItPromises) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.host.Calls.clear();
  TDibImage& screen = *r.f.ScreenBuffer;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  const uint32_t clean = ScreenAt(r, 700, 500);

  // Kind 0: nothing at all, not even the overlays.
  FillDibRect(screen, 0, 0, 800, 600, 0x123456);
  r.f.Star.Frame = 0;
  EXPECT_TRUE(IsSkinRectEmpty(Redraw(r.f)));
  EXPECT_EQ(r.host.Count("InvalidateFieldRect"), 1);
  EXPECT_EQ(ScreenAt(r, 700, 500), 0x123456u);
  r.f.Star.Frame = -1;

  // Kind 2: the small rectangle only, and that is what changed.
  SetSkinRectBounds(r.f.SmallRect, 690, 490, 20, 20);
  r.g.Play.RedrawKind = kRedrawSmall;
  const TSkinRect small = Redraw(r.f);
  EXPECT_EQ(small.Left, 690);
  EXPECT_EQ(small.Width, 20);
  EXPECT_EQ(ScreenAt(r, 700, 500), clean);
  EXPECT_EQ(ScreenAt(r, 689, 500), 0x123456u);
  EXPECT_EQ(ScreenAt(r, 710, 500), 0x123456u);
  ASSERT_EQ(r.host.Count("InvalidateFieldRect"), 2);
  EXPECT_EQ(r.host.Of("InvalidateFieldRect")[1], "InvalidateFieldRect 690 490 20 20");

  // Kind 3: the buffer is already right; the whole field is shown.
  r.g.Play.RedrawKind = kRedrawDrag;
  const TSkinRect drag = Redraw(r.f);
  EXPECT_EQ(ScreenAt(r, 10, 10), 0x123456u);
  EXPECT_EQ(drag.Width, 800);
  EXPECT_EQ(r.g.Play.RedrawKind, kRedrawNone);

  // Kind 1: all of it.
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  EXPECT_EQ(ScreenAt(r, 10, 590), kFieldGrey);
}

// A full redraw repaints the field edge to edge: whatever the buffer held before leaves no
// trace, on the outermost rows and columns too, and the whole field is handed on to be shown.
TEST(Redraw, AFullRedrawLeavesNothingOfTheOldBufferUpToTheEdges) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  const struct {
    int32_t x, y;
  } edges[] = {{0, 0}, {0, 300}, {0, 599}, {400, 0}, {799, 0}, {799, 599}, {400, 599}, {799, 300}};
  std::vector<uint32_t> first;
  for (const uint32_t old : {0x123456u, 0xFEDCBAu}) {
    FillDibRect(*r.f.ScreenBuffer, 0, 0, 800, 600, old);
    r.host.Calls.clear();
    r.g.Play.RedrawKind = kRedrawField;
    Redraw(r.f);
    EXPECT_EQ(r.host.Of("InvalidateFieldRect"), std::vector<std::string>{"InvalidateFieldRect 0 0 800 600"});
    for (size_t i = 0; i < std::size(edges); ++i) {
      const uint32_t shown = ScreenAt(r, edges[i].x, edges[i].y);
      EXPECT_NE(shown, old) << edges[i].x << "," << edges[i].y;
      if (first.size() < std::size(edges))
        first.push_back(shown);
      else
        EXPECT_EQ(shown, first[i]) << edges[i].x << "," << edges[i].y;
    }
  }
}

TEST(Redraw, TheStarShowsItsSpriteOverThePieces) {
  TFieldRig r(2, false, 5);
  ASSERT_GT(r.f.Star.Sheet->Width, 0) << "the star picture is compiled in";
  SpreadApart(r);
  r.f.Star.X = 400;
  r.f.Star.Y = 400;
  int32_t inked = 0;
  for (int32_t frame = 0; frame < kStarFrames; ++frame) {
    r.f.Star.Frame = frame;
    r.g.Play.RedrawKind = kRedrawField;
    Redraw(r.f);
    int32_t n = 0;
    for (int32_t y = 0; y < kStarSize; ++y)
      for (int32_t x = 0; x < kStarSize; ++x) n += ScreenAt(r, 400 + x, 400 + y) != kFieldGrey;
    if (frame == kStarFrames - 1) {
      EXPECT_EQ(n, 0);  // the last frame shows nothing
    }
    inked += n;
  }
  EXPECT_GT(inked, 0);
}

// Each shown frame of the star is its sprite from the star picture pixel for pixel, its
// white left out: the grey field shows there.
TEST(Redraw, TheStarsFramesAreThePicturesSpritesWithWhiteSeeThrough) {
  TFieldRig r({.Cols = 2, .Rows = 2});
  std::vector<uint8_t> bytes;
  TDibHolder picture;
  ASSERT_TRUE(ReadResourceFile(kStarPicturePath, bytes));
  ASSERT_TRUE(DecodePicture(*picture, bytes.data(), bytes.size()));
  r.f.Star.X = 600;
  r.f.Star.Y = 500;
  int32_t shown = 0;
  for (int32_t frame = 0; frame < kStarFrames; ++frame) {
    const int32_t sprite = r.f.Star.Table[frame];
    if (sprite < 0) continue;
    ++shown;
    r.f.Star.Frame = frame;
    r.g.Play.RedrawKind = kRedrawField;
    Redraw(r.f);
    for (int32_t y = 0; y < kStarSize; ++y)
      for (int32_t x = 0; x < kStarSize; ++x) {
        const uint32_t want = DibPixelColor(DibPixelAddress(*picture, kStarSpriteStep * sprite + x, y));
        ASSERT_EQ(ScreenAt(r, 600 + x, 500 + y), want == 0xFFFFFF ? kFieldGrey : want)
            << "frame " << frame << " at " << x << "," << y;
      }
  }
  EXPECT_GT(shown, 0);
}

TEST(DragRedraw, TheHeldGroupLeavesTheStaticBufferAndFollowsThePointer) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  const TPieceView view = PieceViewOf(r.ws.GameWindows[0]);
  int32_t x, y;
  r.BodyPoint(0, x, y);
  r.g.Play.HeldPiece = 0;
  StartDrag(r.g, view, x, y, false);
  const uint32_t at = uint32_t(GetDibPixel(*r.f.StaticBuffer, x, y));
  EXPECT_EQ(at, kFieldGrey);                 // not in the static picture
  EXPECT_NE(ScreenAt(r, x, y), kFieldGrey);  // but on the screen
  const TSkinRect before = r.g.Play.DragRect;
  MoveHeld(r.g, view, nullptr, x + 300, y + 200, false);
  EXPECT_EQ(ScreenAt(r, x, y), kFieldGrey);
  EXPECT_EQ(r.g.Play.DragRect.Left, before.Left + 300);
  r.g.Play.RedrawKind = kRedrawDrag;
  Redraw(r.f);
  ExpectPieceShown(r, 0, 0, 0);
}

// While a pocket is dragged by its caption the screen shows the whole field: the side's
// pieces around it stay in view and the pocket's own piece travels with it.
TEST(DragRedraw, AMovingPocketKeepsTheRestOfTheFieldInView) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& pocket = r.ShowPocketAt(2, 300, 200, 240, 180);
  r.P(0).Window = 2;
  r.P(0).X = r.P(0).Y = 10;
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  const int32_t cx = pocket.CaptionRect.Left + 5, cy = pocket.Client.Top - pocket.CaptionHeight / 2;
  I_FieldMouseDown(r.f, kMouseLeft, kShiftLeftDown, cx, cy);
  I_FieldMouseMove(r.f, kShiftLeftDown, cx + 100, cy + 150);
  ASSERT_EQ(pocket.Outer.Left, 400);
  ASSERT_EQ(pocket.Outer.Top, 350);
  for (int32_t i : {1, 2, 13}) ExpectPieceShown(r, i, 0, 0);  // well clear of both pocket places
  ExpectPieceShown(r, 0, pocket.Client.Left, pocket.Client.Top);
  I_FieldMouseUp(r.f, kMouseLeft, 0, cx + 100, cy + 150);
}

// The band being pulled stays tinted when the whole field is painted again under it.
TEST(DragRedraw, TheBandStaysTintedThroughAFullRepaint) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  ASSERT_EQ(ScreenAt(r, 740, 540), kFieldGrey);
  I_FieldMouseDown(r.f, kMouseLeft, kShiftLeftDown, 780, 580);
  ASSERT_EQ(r.g.Play.DragState, 2);
  I_FieldMouseMove(r.f, kShiftLeftDown, 700, 500);
  const uint32_t tinted = ScreenAt(r, 740, 540);
  EXPECT_NE(tinted, kFieldGrey);
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  EXPECT_EQ(ScreenAt(r, 740, 540), tinted);
  EXPECT_EQ(ScreenAt(r, 690, 540), kFieldGrey);  // outside the band
  I_FieldMouseUp(r.f, kMouseLeft, 0, 700, 500);
}

TEST(UpdateFieldSize, BuffersGrowWithTheFieldAndNeverShrink) {
  TFieldRig r({.Cols = 2, .Rows = 2});
  EXPECT_EQ(r.f.ScreenBuffer->Width, 800);
  // Leaving full screen on a larger work area, and a main window wider than the screen.
  r.f.Work = TWorkArea{1280, 1024, 20, 4, 4, 1280, 1024};
  UpdateFieldSize(r.f, TFieldLayout{30, false, false, 0, 0});
  EXPECT_EQ(r.g.Field.FieldW, 1272);
  EXPECT_EQ(r.g.Field.FieldH, 1024 - 8 - 20 - 30);
  EXPECT_GE(r.f.ScreenBuffer->Width, 1272);
  // With a background picture the new buffers start grey and the picture is asked for.
  r.host.Calls.clear();
  r.f.FieldBackground = 12;
  UpdateFieldSize(r.f, TFieldLayout{30, true, false, 2000, 1200});
  EXPECT_EQ(r.host.Of("LoadBackgroundPicture"), std::vector<std::string>{"LoadBackgroundPicture 12"});
  EXPECT_EQ(uint32_t(GetDibPixel(*r.f.StaticBuffer, 1999, 1100)), kFieldGrey);
  EXPECT_EQ(r.g.Field.FieldW, 2000);
  EXPECT_GE(r.f.ScreenBuffer->Width, 2000);
  EXPECT_GE(r.f.StaticBuffer->Height, 1170);
  r.g.Play.RedrawKind = kRedrawField;
  EXPECT_EQ(Redraw(r.f).Width, 2000);  // painting all of it stays inside the buffer
  UpdateFieldSize(r.f, TFieldLayout{30, false, true, 0, 0});
  EXPECT_EQ(r.g.Field.FieldW, 1280);
  EXPECT_GE(r.f.ScreenBuffer->Width, 2000);
}

// Codes 10 to 17 name background pictures: the buffers start grey and the picture is asked
// for. Any other value is a colour the new buffers are filled with.
TEST(UpdateFieldSize, OnlyPictureCodesAskForABackgroundPicture) {
  int32_t grow = 900;
  for (const uint32_t code : {9u, 10u, 13u, 17u, 18u, 0x989898u}) {
    SCOPED_TRACE(code);
    TFieldRig r({.Cols = 2, .Rows = 2});
    r.f.FieldBackground = code;
    r.host.Calls.clear();
    UpdateFieldSize(r.f, TFieldLayout{30, true, false, ++grow, 700});
    const bool picture = code >= 10 && code <= 17;
    EXPECT_EQ(r.host.Of("LoadBackgroundPicture").size(), picture ? 1u : 0u);
    EXPECT_EQ(uint32_t(GetDibPixel(*r.f.StaticBuffer, grow - 1, 650)), picture ? kFieldGrey : code);
  }
}

// A pocket's content reaches to its farthest piece's far edge, and is empty with no pieces.
TEST(PocketContent, EmptyPocketHasNoContent) {
  TFieldRig r(2, false, 5);
  TSkinWindow& pocket = r.ShowPocketAt(3, 100, 100, 200, 160);
  UpdateWindowContentSize(r.f, pocket);
  EXPECT_EQ(pocket.ContentWidth, 0);
  EXPECT_EQ(pocket.ContentHeight, 0);
  r.P(1).Window = 3;
  r.P(1).X = 30;
  r.P(1).Y = 40;
  UpdateWindowContentSize(r.f, pocket);
  EXPECT_EQ(pocket.ContentWidth, 30 + r.P(1).BoxW);
  EXPECT_EQ(pocket.ContentHeight, 40 + r.P(1).BoxH);
}

// The field a picture is fitted to and the one the background picture covers, from the work
// area, the window frame (4 wide, 4 high at the bottom), its caption (20) and the toolbar (30).
TEST(UpdateFieldSize, FittedAndBackgroundFieldsComeFromTheWorkArea) {
  TFieldRig r({.Cols = 2, .Rows = 2});
  r.f.Work = TWorkArea{1280, 1024, 20, 4, 4, 1366, 1100};
  r.g.Field.FieldW = 1366;
  r.g.Field.FieldH = 1070;
  int32_t w = 0, h = 0;
  WindowedFieldSize(r.f.Work, 30, w, h);
  EXPECT_EQ(w, 1280 - 8);
  EXPECT_EQ(h, 1024 - 8 - 20 - 30);
  LargestFieldSize(r.f, false, 30, w, h);
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 1024 - 20 - 30);
  LargestFieldSize(r.f, true, 30, w, h);  // full screen: the field with the frame
  EXPECT_EQ(w, 1366 + 8);
  EXPECT_EQ(h, 1070 + 8);
}

// The lens mask is a filled ellipse of the client's size whose outermost pixels (a side
// neighbour outside) are the rim: light above the diagonal, dark below; checked pixel by pixel.
TEST(Glass, TheLensMaskIsAFilledEllipseWithALitAndAShadedRim) {
  TFieldRig r(2, false, 5);
  const TSkinWindow& glass = r.ShowGlass(100, 100);
  const TDibImage& mask = *r.f.Glass.LensMask;
  const int32_t W = std::min(glass.Client.Width, mask.Width), H = std::min(glass.Client.Height, mask.Height);
  ASSERT_GT(W, 10);
  const double a = W / 2.0, b = H / 2.0;
  const auto inside = [&](int32_t x, int32_t y) {
    const double u = (x + 0.5 - a) / a, v = (y + 0.5 - b) / b;
    return x >= 0 && y >= 0 && x < W && y < H && u * u + v * v <= 1.0;
  };
  int32_t wrong = 0, rim = 0;
  for (int32_t y = 0; y < mask.Height; ++y)
    for (int32_t x = 0; x < mask.Width; ++x) {
      uint32_t want = 0;
      if (inside(x, y)) {
        want = 0xFFFFFF;
        if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1)) {
          ++rim;
          want = int64_t(x) * H + int64_t(y) * W < int64_t(W) * H ? 0xF2F2F2 : 0x0D0D0D;
        }
      }
      wrong += uint32_t(GetDibPixel(mask, x, y)) != want;
    }
  EXPECT_GT(rim, 2 * (W + H) / 2);
  EXPECT_EQ(wrong, 0);
}

TEST(Glass, MapsThroughTheLensAndBlacksOutWhatLiesOffTheField) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  TSkinWindow& glass = r.ShowGlass(100, 100);
  const TSkinRect c = glass.Client;
  // The centre maps onto itself; a point right of it moves half as far at zoom 2.
  int32_t x = c.Left + c.Width / 2, y = c.Top + c.Height / 2;
  EXPECT_TRUE(MapGlassPoint(r.f, x, y, true));
  EXPECT_EQ(x, c.Left + c.Width / 2);
  EXPECT_EQ(y, c.Top + c.Height / 2);
  x = c.Left + c.Width / 2 + 40;
  y = c.Top + c.Height / 2;
  EXPECT_TRUE(MapGlassPoint(r.f, x, y, true));
  EXPECT_EQ(x, c.Left + c.Width / 2 + 20);
  EXPECT_EQ(y, c.Top + c.Height / 2);
  // Below the centre likewise, left and right untouched.
  x = c.Left + c.Width / 2;
  y = c.Top + c.Height / 2 + 30;
  EXPECT_TRUE(MapGlassPoint(r.f, x, y, true));
  EXPECT_EQ(x, c.Left + c.Width / 2);
  EXPECT_EQ(y, c.Top + c.Height / 2 + 15);
  // A corner of the client lies outside the ellipse and stays as it is.
  x = c.Left + 1;
  y = c.Top + 1;
  EXPECT_FALSE(MapGlassPoint(r.f, x, y, true));
  EXPECT_EQ(x, c.Left + 1);
  glass.Visible = false;
  x = c.Left + c.Width / 2;
  EXPECT_FALSE(MapGlassPoint(r.f, x, y, false));
  glass.Visible = true;

  // Lens over the field's top-left corner: its source starts off the field.
  SetSkinRectBounds(glass.Outer, -150 - (c.Left - 100), -150 - (c.Top - 100), glass.Outer.Width, glass.Outer.Height);
  LayoutSkinWindow(glass);
  r.g.Play.RedrawKind = kRedrawField;
  Redraw(r.f);
  const TDibImage& lens = *r.f.Glass.Lens;
  const int32_t w = glass.Client.Width, h = glass.Client.Height;
  EXPECT_EQ(GetDibPixel(lens, w / 2, h / 4 + 2), 0);                // inside the ellipse, source off the field
  EXPECT_EQ(uint32_t(GetDibPixel(lens, 0, 0)), kLensKey);           // outside the ellipse
  EXPECT_EQ(uint32_t(GetDibPixel(lens, w - 1, h / 2)), 0x0D0D0Du);  // the dark rim
  EXPECT_EQ(uint32_t(GetDibPixel(lens, 0, h / 2)), 0xF2F2F2u);      // the light rim
  // The part of the source on the field is magnified: the grey field shows at the lower right.
  EXPECT_EQ(uint32_t(GetDibPixel(lens, w * 3 / 4, h * 3 / 4)), kFieldGrey);
}

TEST(WeightPin, DroppedOnAGroupAnchorsItAndOnEmptySpaceTurnsTheModeOff) {
  TFieldRig r(2, false, 5);
  SpreadApart(r);
  r.host.Calls.clear();
  r.P(4).Group = r.P(5).Group = 5;
  int32_t x, y;
  r.BodyPoint(4, x, y);
  StartWeightPin(r.f, x, y);
  EXPECT_EQ(r.f.Pin.PinX, x - r.f.Pin.Picture->Width / 2);
  DropWeightPin(r.f);
  EXPECT_EQ(r.g.Play.WeightGroup, 4);
  EXPECT_EQ(r.P(4).Group, 0);  // the anchored group goes under all others
  EXPECT_EQ(r.P(5).Group, 0);
  StartWeightPin(r.f, 790, 590);
  DropWeightPin(r.f);
  EXPECT_EQ(r.g.Play.WeightGroup, -1);
  EXPECT_EQ(r.host.Of("WeightModeChanged"), (std::vector<std::string>{"WeightModeChanged 1", "WeightModeChanged 0"}));
}

// Carried over a pocket that lies partly under another, the pin brings that pocket to the top,
// where the drop can see its pieces; carried over First Side it leaves the pockets as they lie.
TEST(WeightPin, CarriedOverAPocketBringsItToTheTop) {
  TFieldRig r(2, false, 5);
  const TSkinRect& back = r.ShowPocketAt(3, 100, 100, 200, 200).Client;
  const TSkinRect& front = r.ShowPocketAt(4, 150, 150, 200, 200).Client;
  const int32_t ox = front.Left + 20, oy = front.Top + 20;  // where the two overlap
  ASSERT_TRUE(PointInSkinRect(back, ox, oy));
  ASSERT_EQ(TopWindowAt(r, ox, oy), 4);
  StartWeightPin(r.f, 600, 500);
  const struct {
    int32_t x, y, top;
  } moves[] = {{back.Left + 5, back.Bottom - 5, 3},
               {600, 500, 3},
               {front.Right - 5, front.Bottom - 5, 4},
               {700, 80, 4},
               {back.Left + 10, back.Top + 10, 3}};
  for (const auto& m : moves) {
    MoveWeightPin(r.f, m.x, m.y, WindowUnderPoint(r.f, m.x, m.y));
    EXPECT_EQ(TopWindowAt(r, ox, oy), m.top) << m.x << "," << m.y;
  }
  DropWeightPin(r.f);
}

// A pocket scrolls as far as its farthest piece and no farther: scrolled to the end, that
// piece's far edge is the last thing the client shows.
TEST(PocketContent, ScrollingToTheEndShowsTheFarthestPieceWhole) {
  const struct { int32_t x, y; } places[] = {{500, 300}, {260, 900}, {350, 260}, {1200, 700}};
  for (const auto& at : places) {
    SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
    TFieldRig r(2, false, 5);
    TSkinWindow& pocket = r.ShowPocketAt(3, 100, 100, 200, 160);
    TPieceRecord& p = r.P(2);
    p.Window = 3;
    p.X = at.x;
    p.Y = at.y;
    r.P(3).Window = 3;
    r.P(3).X = r.P(3).Y = 0;
    UpdateWindowContentSize(r.f, pocket);
    pocket.ScrollX = pocket.ScrollY = 100000;
    RelayoutSkinWindow(pocket);
    EXPECT_EQ(pocket.Client.Left - pocket.ScrollX + p.X + p.BoxW, pocket.Client.Left + pocket.Client.Width);
    EXPECT_EQ(pocket.Client.Top - pocket.ScrollY + p.Y + p.BoxH, pocket.Client.Top + pocket.Client.Height);
  }
}

// Light and wood as a player meets them: both sides, small, scrolled over their whole content,
// every view painted through the field. Each view's client is kept as a digest.
struct TLookTour {
  TFieldRig r{3, true, 11};
  int32_t n = LivePieceCount(r.g);

  TLookTour() {
    TGameState& g = r.g;
    g.GameLevel.Rotate = 1;
    const int32_t frame = FramePieceIndex(g);
    int32_t right = 0, bottom = 0;
    for (int32_t i = 0; i < n; ++i) {
      TPieceRecord& p = r.P(i);
      if (i != frame) {
        p.Rotation = uint8_t(i % 4);
        p.Window = uint8_t(i % 2);
        p.X = 10 + (i / 2 % 5) * 75;
        p.Y = 10 + (i / 2 / 5) * 75;
      }
      UpdatePieceRotation(g, p);
      right = std::max(right, p.X + p.BoxW + 5);
      bottom = std::max(bottom, p.Y + p.BoxH + 5);
    }
    for (int32_t side = 0; side < 2; ++side) {
      TSkinWindow& w = r.ws.GameWindows[size_t(side)];
      SetSkinRectBounds(w.Outer, 0, 0, 180, 130);
      w.ContentWidth = right;
      w.ContentHeight = bottom;
      RelayoutSkinWindow(w);
    }
    Options(1, 2);
  }
  void Options(int32_t emboss, int32_t wood) {
    r.g.GameOptions.EmbossStyle = TEmbossStyle(emboss);
    r.g.GameOptions.WoodStyle = TWoodStyle(wood);
    r.g.GameOptions.WoodColor = 0x2B5C7D;
    RebuildEmbossMaps(r.g);
  }
  uint64_t Built() const {
    uint64_t built = 0;
    for (const TEmbossMap& map : r.g.Images.EmbossMaps) built += map.LooksBuilt();
    return built;
  }
  std::vector<uint64_t> Views() {
    std::vector<uint64_t> digests;
    for (int32_t side = 0; side < 2; ++side) {
      SetActiveSide(r.f, side);
      TSkinWindow& w = r.ws.GameWindows[size_t(side)];
      for (int32_t y = 0; y < w.ContentHeight; y += w.Client.Height)
        for (int32_t x = 0; x < w.ContentWidth; x += w.Client.Width) {
          w.ScrollX = x;
          w.ScrollY = y;
          RelayoutSkinWindow(w);
          r.g.Play.RedrawKind = kRedrawField;
          Redraw(r.f);
          uint64_t digest = 14695981039346656037ull;
          for (int32_t py = w.Client.Top; py < w.Client.Top + w.Client.Height; ++py)
            for (int32_t px = w.Client.Left; px < w.Client.Left + w.Client.Width; ++px)
              digest = (digest ^ ScreenAt(r, px, py)) * 1099511628211ull;
          digests.push_back(digest);
        }
    }
    return digests;
  }
};

// A piece's light and wood are worked out the first time it shows in its turn and never again
// while nothing changes: a second tour works out nothing and paints the same.
TEST(PieceLooks, WorkedOutOncePerPieceAndTurnHoweverOftenTheFieldIsToured) {
  TLookTour t;
  ASSERT_GT(t.n, 20);
  const std::vector<uint64_t> first = t.Views();
  ASSERT_GT(first.size(), 8u);
  EXPECT_EQ(t.Built(), uint64_t(t.n));
  for (int32_t i = 0; i < t.n; ++i)
    for (int32_t r = 0; r < 4; ++r)
      EXPECT_EQ(t.r.g.Images.EmbossMaps[r].HasLook(i), r == (t.r.P(i).Rotation & 3)) << i << " turn " << r;
  EXPECT_EQ(t.Views(), first);
  EXPECT_EQ(t.Built(), uint64_t(t.n));
}

// A quarter turn works out the turned piece alone again, a join the two joined pieces, an option
// change every piece once; each paints what looks worked out afresh paint.
TEST(PieceLooks, ATurnAJoinAndAnOptionChangeWorkOutWhatTheyChange) {
  TLookTour t;
  t.Views();
  TPieceRecord& turned = t.r.P(7);
  const int32_t was = turned.Rotation & 3;
  turned.Rotation = uint8_t((was + 1) & 3);
  UpdatePieceRotation(t.r.g, turned);
  const std::vector<uint64_t> afterTurn = t.Views();
  EXPECT_EQ(t.Built(), uint64_t(t.n) + 1);
  EXPECT_FALSE(t.r.g.Images.EmbossMaps[was].HasLook(7));

  const int32_t a = 12;
  int32_t b = -1;
  for (int16_t nb : t.r.P(a).Neighbours)
    if (nb > a && nb != FramePieceIndex(t.r.g) && b < 0) b = nb;
  ASSERT_GT(b, a);
  MergeGroups(t.r.g, a, t.r.P(a).Group, t.r.P(b).Group);
  t.r.P(a).Group = t.r.P(b).Group;
  const std::vector<uint64_t> afterJoin = t.Views();
  EXPECT_EQ(t.Built(), uint64_t(t.n) + 3);
  EXPECT_NE(afterJoin, afterTurn);

  // Everything worked out afresh, the join replayed from the groups, paints the same.
  t.Options(1, 2);
  EXPECT_EQ(t.Views(), afterJoin);
  EXPECT_EQ(t.Built(), uint64_t(t.n));

  t.Options(3, 1);
  const std::vector<uint64_t> other = t.Views();
  EXPECT_EQ(t.Built(), uint64_t(t.n));
  for (size_t v = 0; v < other.size(); ++v) EXPECT_NE(other[v], afterJoin[v]) << v;
  t.Options(1, 2);
  EXPECT_EQ(t.Views(), afterJoin);
}

TEST(KeepWindowsInField, PullsCaptionedWindowsAndTheGlassBackWithinReach) {
  TFieldRig r({.Cols = 2, .Rows = 2});
  TSkinWindow& pocket = r.ws.GameWindows[2];
  pocket.Visible = true;
  SetSkinRectBounds(pocket.Outer, -500, 700, 200, 150);
  LayoutSkinWindow(pocket);
  const int32_t m1 = pocket.BorderWidth + pocket.CaptionHeight;
  KeepWindowsInField(r.f);
  EXPECT_EQ(pocket.Outer.Left, 2 * m1 - 200);
  EXPECT_EQ(pocket.Outer.Top, 600 - m1);
  // A window within reach stays.
  SetSkinRectBounds(pocket.Outer, 10, 10, 200, 150);
  LayoutSkinWindow(pocket);
  KeepWindowsInField(r.f);
  EXPECT_EQ(pocket.Outer.Left, 10);

  TSkinWindow& glass = r.ws.GlassWindow;
  glass.Visible = true;
  SetSkinRectBounds(glass.Outer, 900, -400, glass.Outer.Width, glass.Outer.Height);
  LayoutSkinWindow(glass);
  KeepWindowsInField(r.f);
  EXPECT_EQ(glass.Outer.Left, 800 - 38);
  EXPECT_EQ(glass.Outer.Top, 38 - glass.Outer.Height);
}

// Each limit tried at the value and beside it: a captioned window keeps a caption's height and
// twice that width within the field, the glass its margin; only a window out of reach moves,
// and only along the axis it left.
TEST(KeepWindowsInField, EachReachLimitAtTheValueAndBeside) {
  TFieldRig r({.Cols = 2, .Rows = 2});
  const int32_t fw = r.g.Field.FieldW, fh = r.g.Field.FieldH;
  // Where a window of size w x h at (left, top) must end up, for margins mx (left and right) and
  // my (bottom); the top limit is 0 for a captioned window and my - h for the glass.
  const auto expect = [&](TSkinWindow& w, int32_t mx, int32_t my, bool glass, int32_t left, int32_t top) {
    const int32_t width = w.Outer.Width, height = w.Outer.Height;
    SetSkinRectBounds(w.Outer, left, top, width, height);
    LayoutSkinWindow(w);
    const int32_t right = left + width - 1, bottom = top + height - 1;
    const bool topOut = glass ? bottom <= my : top < 0;
    const bool inReach = right > mx && left < fw - mx && !topOut && top < fh - my;
    int32_t el = left, et = top;
    if (!inReach) {
      if (right <= mx) el = mx - width;
      if (left >= fw - mx) el = fw - mx;
      if (topOut) et = glass ? my - height : 0;
      if (top >= fh - my) et = fh - my;
    }
    KeepWindowsInField(r.f);
    EXPECT_EQ(w.Outer.Left, el) << left << "," << top;
    EXPECT_EQ(w.Outer.Top, et) << left << "," << top;
  };
  TSkinWindow& pocket = r.ShowPocketAt(2, 0, 0, 200, 150);
  const int32_t m1 = pocket.BorderWidth + pocket.CaptionHeight, m2 = 2 * m1;
  for (const int32_t d : {-1, 0, 1}) {
    expect(pocket, m2, m1, false, m2 - 200 + 1 + d, 100);  // right edge at 2 * m1
    expect(pocket, m2, m1, false, fw - m2 + d, 100);
    expect(pocket, m2, m1, false, 100, d);
    expect(pocket, m2, m1, false, 100, fh - m1 + d);
  }
  SetSkinWindowVisible(r.ws, pocket, false);
  TSkinWindow& glass = r.ws.GlassWindow;
  glass.Visible = true;
  const int32_t m = glass.GlassMargin, gw = glass.Outer.Width, gh = glass.Outer.Height;
  ASSERT_GT(m, 0);
  for (const int32_t d : {-1, 0, 1}) {
    expect(glass, m, m, true, m - gw + 1 + d, 100);
    expect(glass, m, m, true, fw - m + d, 100);
    expect(glass, m, m, true, 100, m - gh + 1 + d);
    expect(glass, m, m, true, 100, fh - m + d);
  }
}

}  // namespace
