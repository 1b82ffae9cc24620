#include <gtest/gtest.h>

#include <vector>

#include "foundation/skin_window.h"

namespace {

void ExpectEdges(const TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(r.Left, left);
  EXPECT_EQ(r.Top, top);
  EXPECT_EQ(r.Right, right);
  EXPECT_EQ(r.Bottom, bottom);
}

// A pocket whose client area is cw x ch before any bar is taken off.
void MakePocket(TSkinWindow& w, int32_t cw, int32_t ch, int32_t contentW = 0, int32_t contentH = 0) {
  InitSkinWindow(w, 0, 0, cw + 8, ch + 26, kSkinStylePocket);
  w.ContentWidth = contentW;
  w.ContentHeight = contentH;
  ResizeSkinWindow(w, true, cw, ch);
}

}  // namespace

TEST(SkinWindowInit, StylesSetFrameSizesAndLimits) {
  TSkinWindow side, pocket, thumb, glass;
  InitSkinWindow(side, 0, 0, 100, 100, kSkinStyleSide);
  InitSkinWindow(pocket, 0, 0, 100, 100, kSkinStylePocket);
  InitSkinWindow(thumb, 0, 0, 100, 100, kSkinStyleThumbnail);
  InitSkinWindow(glass, 0, 0, 240, 240, kSkinStyleGlass);

  EXPECT_EQ(side.FrameWidth, 0);
  EXPECT_EQ(side.FrameHeight, 0);
  EXPECT_TRUE(side.Scrollable);
  EXPECT_FALSE(side.Resizable);
  EXPECT_EQ(side.MinClientWidth, 78);

  EXPECT_EQ(pocket.BorderWidth, 4);
  EXPECT_EQ(pocket.CaptionHeight, 18);
  EXPECT_EQ(pocket.FrameWidth, 8);
  EXPECT_EQ(pocket.FrameHeight, 26);
  EXPECT_EQ(pocket.OuterMinWidth, 86);
  EXPECT_EQ(pocket.OuterMinHeight, 104);
  EXPECT_EQ(pocket.OuterMaxWidth, 0);  // no maximum

  EXPECT_FALSE(thumb.Scrollable);
  EXPECT_TRUE(thumb.DragByClient);
  EXPECT_TRUE(thumb.KeepAspect);
  EXPECT_EQ(thumb.MinClientWidth, 20);

  EXPECT_EQ(glass.GlassTileSize, 93);
  EXPECT_EQ(glass.GlassMargin, 38);
  ExpectEdges(glass.GlassTileSprites[3], 96, 96, 188, 188);

  // A caption image only where there is a caption: 300 wide, as high as the caption bar.
  EXPECT_EQ(pocket.CaptionImage.Width, 300);
  EXPECT_EQ(pocket.CaptionImage.Height, 22);
  EXPECT_TRUE(pocket.CaptionImage.HasAlpha);
  EXPECT_EQ(side.CaptionImage.Width, 0);
  EXPECT_EQ(glass.CaptionImage.Width, 0);
}

TEST(SkinWindowInit, ButtonsBySpriteSheetAndStyle) {
  TSkinWindow pocket, glass, side;
  InitSkinWindow(pocket, 0, 0, 100, 100, kSkinStylePocket);
  InitSkinWindow(glass, 0, 0, 240, 240, kSkinStyleGlass);
  InitSkinWindow(side, 0, 0, 100, 100, kSkinStyleSide);

  const uint8_t ids[9] = {26, 27, 28, 21, 22, 20, 24, 25, 23};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(pocket.Buttons[i].Index, i);
    EXPECT_EQ(pocket.Buttons[i].CommandId, ids[i]);
  }
  // The caption button has five sprites side by side, 3 pixels apart.
  const TSkinButton& cap = pocket.Buttons[kSkinBtnCaption];
  EXPECT_TRUE(cap.FiveSprites);
  for (int k = 0; k < 5; ++k) ExpectEdges(cap.Sprites[k], 2 + 23 * k, 110, 21 + 23 * k, 129);
  // Arrows have three: normal, hot, pressed; the highlighted ones repeat the first two.
  const TSkinButton& left = pocket.Buttons[kSkinBtnLeft];
  ExpectEdges(left.Sprites[0], 211, 1, 227, 17);
  ExpectEdges(left.Sprites[1], 231, 1, 247, 17);
  ExpectEdges(left.Sprites[2], 211, 1, 227, 17);
  ExpectEdges(left.Sprites[3], 231, 1, 247, 17);
  ExpectEdges(left.Sprites[4], 251, 1, 267, 17);
  EXPECT_TRUE(pocket.Buttons[kSkinBtnHorzThumb].HorzThumb);
  EXPECT_TRUE(pocket.Buttons[kSkinBtnVertThumb].VertThumb);
  EXPECT_EQ(pocket.Buttons[kSkinBtnVertThumb].Sprites[0].Top, 101);

  // Styles leave unused buttons invisible.
  EXPECT_FALSE(pocket.Buttons[kSkinBtnZoom3].Visible);
  EXPECT_FALSE(side.Buttons[kSkinBtnCaption].Visible);
  EXPECT_TRUE(glass.Buttons[kSkinBtnZoom2].Visible);
  EXPECT_EQ(glass.Buttons[kSkinBtnCaption].Sprites[0].Left, 196);
  EXPECT_EQ(glass.Buttons[kSkinBtnZoom2].Sprites[0].Top, 55);
}

TEST(SkinWindowInit, AnchorsPlaceButtonsLeftBeforeRightTopBeforeBottom) {
  TSkinButton b;
  InitSkinButton(b);
  SetupSkinButton(b, 0, 0, 10, 6, 0);
  TSkinRect r;
  SetSkinRectEdges(r, 100, 200, 199, 299);
  AnchorSkinButton(b, r);
  ExpectEdges(b.Bounds, 100, 200, 109, 205);  // no anchor: top-left
  b.Anchors.Right = 5;
  b.Anchors.Bottom = 7;
  AnchorSkinButton(b, r);
  ExpectEdges(b.Bounds, 185, 287, 194, 292);
  b.Anchors.Left = 3;
  b.Anchors.Top = 4;
  AnchorSkinButton(b, r);
  ExpectEdges(b.Bounds, 103, 204, 112, 209);
}

TEST(SkinWindowLayout, PocketFrameCaptionAndResizeZones) {
  TSkinWindow w;
  InitSkinWindow(w, 0, 0, 108, 126, kSkinStylePocket);
  ExpectEdges(w.Client, 4, 22, 103, 121);
  // The caption button sits in the top-right corner of the window.
  ExpectEdges(w.Buttons[kSkinBtnCaption].Bounds, 88, 0, 107, 19);
  ExpectEdges(w.CaptionRect, 12, 0, 80, 21);
  ExpectEdges(w.LeftEdge, 0, 4, 3, 121);
  ExpectEdges(w.TopEdge, 4, 0, 87, 3);
  ExpectEdges(w.RightEdge, 104, 20, 107, 121);
  ExpectEdges(w.BottomEdge, 4, 122, 103, 125);
  ExpectEdges(w.TopLeftCorner, 0, 0, 3, 3);
  ExpectEdges(w.BottomLeftCorner, 0, 122, 3, 125);
  ExpectEdges(w.BottomRightCorner, 104, 122, 107, 125);
  ExpectEdges(w.Grip, 87, 105, 107, 125);
  ExpectEdges(w.CornerBox, -1, -1, -1, -1);
  EXPECT_FALSE(w.Buttons[kSkinBtnLeft].Visible);
  EXPECT_EQ(w.HorzTrack.Left, kUnsetEdge);
}

TEST(SkinWindowLayout, HorizontalBarOnlyWhenContentIsWider) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 80);
  EXPECT_TRUE(w.HorzScrollVisible);
  EXPECT_FALSE(w.VertScrollVisible);
  EXPECT_EQ(w.Client.Width, 100);
  EXPECT_EQ(w.Client.Height, 83);
  EXPECT_EQ(w.Outer.Width, 108);
  EXPECT_EQ(w.Outer.Height, 126);
  // Arrows at the bottom, inside the border, the right one leaving the corner box free.
  ExpectEdges(w.Buttons[kSkinBtnLeft].Bounds, 4, 105, 20, 121);
  ExpectEdges(w.Buttons[kSkinBtnRight].Bounds, 70, 105, 86, 121);
  ExpectEdges(w.HorzTrack, 21, 105, 69, 121);
  ExpectEdges(w.CornerBox, 87, 105, 103, 121);
  // Thumb: 49 * 100 / 150 = 32 long, at the track's start.
  ExpectEdges(w.Buttons[kSkinBtnHorzThumb].Bounds, 21, 105, 52, 121);
  EXPECT_TRUE(w.Buttons[kSkinBtnRight].Visible);
  EXPECT_FALSE(w.Buttons[kSkinBtnUp].Visible);
}

TEST(SkinWindowLayout, BothBarsAndTheVerticalTrack) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 150);
  EXPECT_TRUE(w.HorzScrollVisible);
  EXPECT_TRUE(w.VertScrollVisible);
  EXPECT_EQ(w.Client.Width, 83);
  EXPECT_EQ(w.Client.Height, 83);
  ExpectEdges(w.Buttons[kSkinBtnUp].Bounds, 87, 22, 103, 38);
  ExpectEdges(w.Buttons[kSkinBtnDown].Bounds, 87, 88, 103, 104);
  ExpectEdges(w.VertTrack, 87, 39, 103, 87);
  // 49 * 83 / 150 = 27.
  EXPECT_EQ(w.Buttons[kSkinBtnVertThumb].Bounds.Height, 27);
  EXPECT_EQ(w.Buttons[kSkinBtnVertThumb].Bounds.Width, 17);
}

TEST(SkinWindowLayout, ABarThatNarrowsTheOtherSideBringsTheSecondBar) {
  // 100 wide content fits a 100 wide client, but not once the vertical bar takes 17.
  TSkinWindow w;
  MakePocket(w, 100, 100, 90, 150);
  EXPECT_TRUE(w.VertScrollVisible);
  EXPECT_TRUE(w.HorzScrollVisible);
  EXPECT_EQ(w.Client.Width, 83);
  EXPECT_EQ(w.Client.Height, 83);
  // The same the other way round.
  MakePocket(w, 100, 100, 150, 90);
  EXPECT_TRUE(w.VertScrollVisible);
  EXPECT_TRUE(w.HorzScrollVisible);
  // Content that fits with room to spare gets no bar at all.
  MakePocket(w, 100, 100, 100, 100);
  EXPECT_FALSE(w.HorzScrollVisible);
  EXPECT_FALSE(w.VertScrollVisible);
  EXPECT_EQ(w.Client.Width, 100);
}

TEST(SkinWindowLayout, SizesAreClampedToLimits) {
  TSkinWindow w;
  MakePocket(w, 10, 5);
  EXPECT_EQ(w.Client.Width, 78);
  EXPECT_EQ(w.Client.Height, 78);
  EXPECT_EQ(w.Outer.Width, 86);
  MakePocket(w, 5000, 40);
  EXPECT_EQ(w.Client.Width, 5000);  // no maximum
  w.MaxClientWidth = 300;
  w.MaxClientHeight = 250;
  UpdateSkinWindowLimits(w);
  EXPECT_EQ(w.OuterMaxWidth, 308);
  EXPECT_EQ(w.OuterMaxHeight, 276);
  ResizeSkinWindow(w, false);
  EXPECT_EQ(w.Outer.Width, 308);
  EXPECT_EQ(w.Outer.Left, 0);

  int32_t width = 50, height = 60;
  ConstrainSkinWindowSize(w, width, height, false, true);
  EXPECT_EQ(width, 86);
  EXPECT_EQ(height, 104);
  width = 1000, height = 90;
  ConstrainSkinWindowSize(w, width, height, true, true);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 90);
}

TEST(SkinWindowLayout, ThumbnailKeepsItsAspect) {
  TSkinWindow t;
  InitSkinWindow(t, 0, 0, 100, 100, kSkinStyleThumbnail);
  t.MaxClientWidth = 300;
  t.MaxClientHeight = 200;
  UpdateSkinWindowLimits(t);
  int32_t width = 150, height = 999;
  ConstrainSkinWindowSize(t, width, height, true, true);
  EXPECT_EQ(width, 150);
  EXPECT_EQ(height, 100);
  width = 999, height = 60;
  ConstrainSkinWindowSize(t, width, height, true, false);
  EXPECT_EQ(width, 90);
  EXPECT_EQ(height, 60);
  // As outer sizes: the frame comes off and goes back on.
  width = 158, height = 0;
  ConstrainSkinWindowSize(t, width, height, false, true);
  EXPECT_EQ(width, 158);
  EXPECT_EQ(height, 126);
  // A resize derives the height from the width.
  SetSkinRectBounds(t.Outer, 0, 0, 158, 400);
  ResizeSkinWindow(t, false);
  EXPECT_EQ(t.Client.Width, 150);
  EXPECT_EQ(t.Client.Height, 100);
}

TEST(SkinWindowLayout, AKeptAspectNeverFallsBelowTheMinimumOrToZero) {
  TSkinWindow t;
  InitSkinWindow(t, 0, 0, 100, 100, kSkinStyleThumbnail);
  t.MaxClientWidth = 300;
  t.MaxClientHeight = 200;
  int32_t width = 20, height = 0;  // 200 * 20 / 300 = 13 would be below the minimum 20
  ConstrainSkinWindowSize(t, width, height, true, true);
  EXPECT_EQ(height, 20);
  t.MaxClientWidth = 3000;
  t.MaxClientHeight = 2;  // a sliver: 2 * 100 / 3000 = 0
  width = 100;
  ConstrainSkinWindowSize(t, width, height, true, true);
  EXPECT_GE(height, 1);
  t.MaxClientWidth = 300;
  t.MaxClientHeight = 0;  // no height limit: no aspect, and no division by zero
  width = 150, height = 70;
  ConstrainSkinWindowSize(t, width, height, true, false);
  EXPECT_EQ(width, 150);
  EXPECT_EQ(height, 70);
}

TEST(SkinWindowScroll, OffsetsResetWhenABarComesOrGoes) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 80);
  w.ScrollX = 40;
  w.ScrollY = 7;
  ResizeSkinWindow(w, true, 100, 100);  // bars unchanged: the offset stays
  EXPECT_EQ(w.ScrollX, 40);
  w.ContentHeight = 200;  // the vertical bar appears
  RelayoutSkinWindow(w);
  EXPECT_TRUE(w.VertScrollVisible);
  EXPECT_EQ(w.ScrollY, 0);
  EXPECT_EQ(w.ScrollX, 40);
  w.ScrollY = 50;
  w.ContentHeight = 50;  // and goes again
  RelayoutSkinWindow(w);
  EXPECT_FALSE(w.VertScrollVisible);
  EXPECT_EQ(w.ScrollY, 0);
}

TEST(SkinWindowScroll, OffsetsStayInsideTheContent) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 80);
  w.ScrollX = 500;
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollX, 50);  // content - client
  EXPECT_LE(w.Buttons[kSkinBtnHorzThumb].Bounds.Right, w.HorzTrack.Right);
  // Content narrower than the client never gives a negative offset.
  w.ContentWidth = 60;
  RelayoutSkinWindow(w);
  w.ScrollX = 30;
  w.ScrollY = -5;
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollX, 0);
  EXPECT_EQ(w.ScrollY, 0);
  // No content: no bars, no offsets.
  w.ContentWidth = 0;
  w.ScrollX = 9;
  RelayoutSkinWindow(w);
  EXPECT_FALSE(w.HorzScrollVisible);
  EXPECT_EQ(w.ScrollX, 0);
}

TEST(SkinWindowScroll, ThumbsHaveAMinimumLengthAndStayOnTheTrack) {
  TSkinWindow side;
  InitSkinWindow(side, 0, 0, 117, 117, kSkinStyleSide);
  side.ContentWidth = 100000;
  side.ContentHeight = 300;
  ResizeSkinWindow(side, false);
  side.ScrollX = 100000;  // set once the bar is there: a bar that appears resets its offset
  RelayoutSkinWindow(side);
  const TSkinRect& thumb = side.Buttons[kSkinBtnHorzThumb].Bounds;
  EXPECT_EQ(side.HorzTrack.Width, 66);
  EXPECT_EQ(thumb.Width, 12);
  EXPECT_EQ(thumb.Right, side.HorzTrack.Right);
  EXPECT_EQ(side.Buttons[kSkinBtnVertThumb].Bounds.Height, 22);  // 66 * 100 / 300
}

TEST(SkinWindowScroll, ATinyWindowLaysOutWithoutNegativeSizes) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 500, 500);
  SetSkinRectBounds(w.Outer, 0, 0, 30, 40);  // far below the limits, as a raw relayout allows
  RelayoutSkinWindow(w);
  for (int i : {kSkinBtnHorzThumb, kSkinBtnVertThumb}) {
    const TSkinButton& b = w.Buttons[i];
    EXPECT_GE(b.Bounds.Width, 0);
    EXPECT_GE(b.Bounds.Height, 0);
  }
  EXPECT_LE(w.Buttons[kSkinBtnHorzThumb].Bounds.Width, std::max(w.HorzTrack.Width, 0));
}

TEST(SkinWindowLayout, CopiedLayoutTakesPlaceScrollAndBarsButNotTheRest) {
  // The second side takes over the first side's place, size, scroll state and bars.
  TSkinWindows ws;
  SetupGameWindows(ws);
  TSkinWindow &first = ws.GameWindows[0], &second = ws.GameWindows[1];
  SetSkinRectBounds(first.Outer, 30, 40, 317, 217);
  first.ContentWidth = 900;
  first.ContentHeight = 600;
  first.MaxClientWidth = 500;
  UpdateSkinWindowLimits(first);
  ResizeSkinWindow(first, false);
  first.ScrollX = 120;
  first.ScrollY = 45;
  RelayoutSkinWindow(first);
  HighlightSkinWindow(ws, &first);
  second.Caption = u"kept";
  second.Background = 0x010203;

  CopySkinWindowLayout(second, first);
  ExpectEdges(second.Outer, 30, 40, 346, 256);
  ExpectEdges(second.Client, first.Client.Left, first.Client.Top, first.Client.Right, first.Client.Bottom);
  EXPECT_EQ(second.MaxClientWidth, 500);
  EXPECT_EQ(second.OuterMaxWidth, first.OuterMaxWidth);
  EXPECT_EQ(second.ScrollX, 120);
  EXPECT_EQ(second.ScrollY, 45);
  EXPECT_EQ(second.ContentWidth, 900);
  EXPECT_EQ(second.ContentHeight, 600);
  EXPECT_TRUE(second.HorzScrollVisible);
  EXPECT_TRUE(second.VertScrollVisible);
  ExpectEdges(second.HorzTrack, first.HorzTrack.Left, first.HorzTrack.Top, first.HorzTrack.Right,
              first.HorzTrack.Bottom);
  ExpectEdges(second.VertTrack, first.VertTrack.Left, first.VertTrack.Top, first.VertTrack.Right,
              first.VertTrack.Bottom);
  ExpectEdges(second.CornerBox, first.CornerBox.Left, first.CornerBox.Top, first.CornerBox.Right,
              first.CornerBox.Bottom);
  for (int i = kSkinBtnLeft; i <= kSkinBtnVertThumb; ++i) {
    const TSkinRect& b = first.Buttons[i].Bounds;
    ExpectEdges(second.Buttons[i].Bounds, b.Left, b.Top, b.Right, b.Bottom);
    EXPECT_TRUE(second.Buttons[i].Visible);
  }
  // Its own name, highlight, caption and background stay.
  EXPECT_EQ(second.WindowName, u"Second Side");
  EXPECT_EQ(second.Caption, u"kept");
  EXPECT_EQ(second.Background, 0x010203u);
  EXPECT_FALSE(second.Highlighted);
  EXPECT_EQ(second.Index, 1);

  // The copy answers like the original: a track click scrolls it the same way.
  ws.SkinDrag.HitCode = SkinWindowHitTest(ws, second, second.HorzTrack.Right, second.HorzTrack.Top, true);
  ASSERT_EQ(ws.SkinDrag.HitCode, kHitScrollRight);
  TrackSkinScroll(ws, second, 0, 0);
  EXPECT_EQ(second.ScrollX, 210);
  EXPECT_EQ(first.ScrollX, 120);
}

TEST(SkinWindowLayout, MagnifierTilesButtonsAndGrip) {
  TSkinWindow g;
  SetupGlassWindow(g);
  EXPECT_FALSE(g.Visible);
  EXPECT_EQ(g.Caption, u"Glass");
  ExpectEdges(g.Outer, 0, 0, 239, 239);
  ExpectEdges(g.Client, 0, 0, 239, 239);
  EXPECT_EQ(g.OuterMinWidth, 240);
  EXPECT_EQ(g.OuterMaxHeight, 480);
  ExpectEdges(g.GlassTiles[1], 147, 0, 239, 92);
  ExpectEdges(g.GlassTiles[2], 0, 147, 92, 239);
  ExpectEdges(g.Buttons[kSkinBtnCaption].Bounds, 210, 15, 223, 28);
  ExpectEdges(g.Buttons[kSkinBtnZoom3].Bounds, 9, 8, 35, 34);
  EXPECT_TRUE(g.Buttons[kSkinBtnZoom3].Visible);
  EXPECT_FALSE(g.Buttons[kSkinBtnZoom2].Visible);
  ExpectEdges(g.Grip, 214, 215, 234, 235);
  // Grown past its maximum it stops at 480.
  ResizeSkinWindow(g, true, 900, 300);
  EXPECT_EQ(g.Outer.Width, 480);
  EXPECT_EQ(g.Outer.Height, 300);
  EXPECT_EQ(g.GlassTiles[3].Left, 480 - 93);
}

TEST(GameWindows, SetUpAsTheMainWindowCreatesThem) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(ws.GameWindows[i].Index, i);
    EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[i]);
  }
  EXPECT_EQ(ws.GameWindows[0].Style, kSkinStyleSide);
  EXPECT_TRUE(ws.GameWindows[1].Visible);
  EXPECT_EQ(ws.GameWindows[1].WindowName, u"Second Side");
  EXPECT_EQ(ws.GameWindows[1].ToolbarButtonIndex, 6);
  for (int k = 0; k < 4; ++k) {
    const TSkinWindow& p = ws.GameWindows[2 + k];
    EXPECT_EQ(p.Style, kSkinStylePocket);
    EXPECT_FALSE(p.Visible);
    EXPECT_EQ(p.Outer.Left, 50 * k);
    EXPECT_EQ(p.Outer.Top, 50 * k);
    EXPECT_TRUE(p.BackgroundDrawn);
    EXPECT_EQ(p.Background, 0x989898u);
    EXPECT_EQ(p.ToolbarButtonIndex, 9 + k);
  }
  EXPECT_EQ(ws.GameWindows[6].Caption, u"Thumbnail");
  EXPECT_GT(ws.GameWindows[6].TextBounds.Width, 0);
  EXPECT_FALSE(ws.GameWindows[6].BackgroundDrawn);
  EXPECT_EQ(ws.GlassWindow.Style, kSkinStyleGlass);
}

TEST(GameWindows, OnlyPocketsAndTheThumbnailComeToTheFront) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  int menuUpdates = 0;
  ws.Hooks.UpdateWindowMenuCaptions = [&] { ++menuUpdates; };
  BringSkinWindowToFront(ws, ws.GameWindows[0]);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[i]);
  EXPECT_EQ(menuUpdates, 0);
  EXPECT_EQ(ws.HighlightedSkinWindow, nullptr);

  BringSkinWindowToFront(ws, ws.GameWindows[3]);
  const int expected[7] = {0, 1, 2, 4, 5, 6, 3};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[expected[i]]) << i;
  EXPECT_EQ(ws.HighlightedSkinWindow, &ws.GameWindows[3]);
  EXPECT_TRUE(ws.GameWindows[3].Highlighted);
  EXPECT_TRUE(ws.GameWindows[3].Buttons[kSkinBtnCaption].WindowHighlighted);
  EXPECT_EQ(menuUpdates, 1);
  BringSkinWindowToFront(ws, ws.GameWindows[3]);  // already on top
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[expected[i]]);
}

TEST(GameWindows, OneHighlightAcrossTheWindowsAndTheMagnifier) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  HighlightSkinWindow(ws, &ws.GlassWindow);
  EXPECT_TRUE(ws.GlassWindow.Highlighted);
  EXPECT_TRUE(ws.GlassWindow.Buttons[kSkinBtnZoom3].WindowHighlighted);
  HighlightSkinWindow(ws, &ws.GameWindows[4]);
  EXPECT_FALSE(ws.GlassWindow.Highlighted);
  EXPECT_FALSE(ws.GlassWindow.Buttons[kSkinBtnZoom3].WindowHighlighted);
  HighlightSkinWindow(ws, nullptr);
  for (const TSkinWindow& w : ws.GameWindows) EXPECT_FALSE(w.Highlighted);
  EXPECT_EQ(ws.HighlightedSkinWindow, nullptr);
}

TEST(GameWindows, HidingTheHighlightedWindowHighlightsTheActiveOne) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  TSkinWindow& pocket = ws.GameWindows[2];
  SetSkinWindowVisible(ws, pocket, true);
  HighlightSkinWindow(ws, &pocket);
  ws.Hooks.ActiveWindow = [&] { return &ws.GameWindows[0]; };
  SetSkinWindowVisible(ws, pocket, false);
  EXPECT_FALSE(pocket.Highlighted);
  EXPECT_FALSE(pocket.Visible);
  EXPECT_TRUE(ws.GameWindows[0].Highlighted);
  EXPECT_EQ(ws.HighlightedSkinWindow, &ws.GameWindows[0]);
  // Hiding a window that was already hidden asks nothing of the game.
  ws.Hooks.ActiveWindow = [&] { return &ws.GameWindows[1]; };
  SetSkinWindowVisible(ws, pocket, false);
  EXPECT_EQ(ws.HighlightedSkinWindow, &ws.GameWindows[0]);
}

TEST(GameWindows, PieceCountIsTheNumberOfGroupsInTheWindow) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  std::vector<TSkinPieceEntry> list = {{0, 2}, {0, 2}, {1, 0}, {2, 2}, {3, 2}, {3, 2}, {7, 0}};
  int sorts = 0;
  ws.Hooks.SortPieces = [&] { ++sorts; };
  ws.Hooks.SortedPieceCount = [&] { return int32_t(list.size()); };
  ws.Hooks.SortedPiece = [&](int32_t i) { return list[size_t(i)]; };
  EXPECT_EQ(CountWindowPieces(ws, ws.GameWindows[2], false), 3);
  EXPECT_EQ(sorts, 0);
  EXPECT_EQ(CountWindowPieces(ws, ws.GameWindows[0], true), 2);
  EXPECT_EQ(sorts, 1);
  EXPECT_EQ(CountWindowPieces(ws, ws.GameWindows[5], true), 0);
}
