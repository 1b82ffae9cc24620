#include <gtest/gtest.h>

#include <vector>

#include "foundation/skin_window.h"
#include "support/recording_skin_host.h"

namespace {

void ExpectEdges(const TSkinRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(std::vector<int32_t>({r.Left, r.Top, r.Right, r.Bottom}), std::vector<int32_t>({left, top, right, bottom}));
}

void ExpectSame(const TSkinRect& a, const TSkinRect& b) { ExpectEdges(a, b.Left, b.Top, b.Right, b.Bottom); }

// A pocket whose client area is cw x ch before any bar is taken off.
void MakePocket(TSkinWindow& w, int32_t cw, int32_t ch, int32_t contentW = 0, int32_t contentH = 0) {
  InitSkinWindow(w, 0, 0, cw + 8, ch + 26, kSkinStylePocket);
  w.ContentWidth = contentW;
  w.ContentHeight = contentH;
  ResizeSkinWindow(w, true, cw, ch);
}

}  // namespace

TEST(SkinWindowLayout, BarsAppearWhenTheContentDoesNotFit) {
  struct Case {
    int32_t cw, ch;
    bool horz, vert;
    int32_t clientW, clientH;
  };
  // A bar that narrows the other side can bring the second bar.
  const Case cases[] = {{150, 80, true, false, 100, 83},
                        {150, 150, true, true, 83, 83},
                        {90, 150, true, true, 83, 83},
                        {150, 90, true, true, 83, 83},
                        {100, 100, false, false, 100, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.cw << "x" << c.ch);
    TSkinWindow w;
    MakePocket(w, 100, 100, c.cw, c.ch);
    EXPECT_EQ(w.HorzScrollVisible, c.horz);
    EXPECT_EQ(w.VertScrollVisible, c.vert);
    EXPECT_EQ(w.Client.Width, c.clientW);
    EXPECT_EQ(w.Client.Height, c.clientH);
  }
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 150);
  ExpectEdges(w.Buttons[kSkinBtnDown].Bounds, 87, 88, 103, 104);
  ExpectEdges(w.VertTrack, 87, 39, 103, 87);
  EXPECT_EQ(w.Buttons[kSkinBtnVertThumb].Bounds.Height, 27);  // 49 * 83 / 150
}

// Every content size round the client's: a bar shows exactly where the content does not fit
// the client that is left beside the other bar, and each bar takes its width off the client.
TEST(SkinWindowLayout, BarsShowExactlyWhereTheContentDoesNotFit) {
  for (int32_t cw = 70; cw <= 120; ++cw)
    for (int32_t ch = 70; ch <= 120; ++ch) {
      TSkinWindow w;
      MakePocket(w, 100, 100, cw, ch);
      const bool horz = w.HorzScrollVisible, vert = w.VertScrollVisible;
      ASSERT_EQ(w.Client.Width, 100 - (vert ? kSkinScrollBarSize : 0)) << cw << "x" << ch;
      ASSERT_EQ(w.Client.Height, 100 - (horz ? kSkinScrollBarSize : 0)) << cw << "x" << ch;
      ASSERT_EQ(horz, w.Client.Width < cw) << cw << "x" << ch;
      ASSERT_EQ(vert, w.Client.Height < ch) << cw << "x" << ch;
    }
}

TEST(SkinWindowLayout, SizesAreClampedToLimits) {
  TSkinWindow w;
  MakePocket(w, 10, 5);
  EXPECT_EQ(w.Client.Width, 78);
  EXPECT_EQ(w.Client.Height, 78);
  MakePocket(w, 5000, 40);
  EXPECT_EQ(w.Client.Width, 5000);  // no maximum
  w.MaxClientWidth = 300;
  w.MaxClientHeight = 250;
  UpdateSkinWindowLimits(w);
  EXPECT_EQ(w.OuterMaxHeight, 276);
  ResizeSkinWindow(w, false);
  EXPECT_EQ(w.Outer.Width, 308);
  int32_t width = 50, height = 60;
  ConstrainSkinWindowSize(w, width, height, false, true);
  EXPECT_EQ(width, 86);
  EXPECT_EQ(height, 104);
  width = 1000, height = 90;
  ConstrainSkinWindowSize(w, width, height, true, true);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 90);
}

TEST(SkinWindowLayout, ThumbnailKeepsItsAspectBelowTheMinimumAndNeverDividesByZero) {
  TSkinWindow t;
  InitSkinWindow(t, 0, 0, 100, 100, kSkinStyleThumbnail);
  t.MaxClientWidth = 300;
  t.MaxClientHeight = 200;
  UpdateSkinWindowLimits(t);
  struct Case {
    int32_t w, h;
    bool client, byWidth;
    int32_t ew, eh;
  };
  const Case cases[] = {{150, 999, true, true, 150, 100},
                        {999, 60, true, false, 90, 60},
                        {158, 0, false, true, 158, 126},  // the frame comes off and goes back on
                        {20, 0, true, true, 20, 13}};     // the aspect wins over the minimum
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    int32_t width = c.w, height = c.h;
    ConstrainSkinWindowSize(t, width, height, c.client, c.byWidth);
    EXPECT_EQ(width, c.ew);
    EXPECT_EQ(height, c.eh);
  }
  SetSkinRectBounds(t.Outer, 0, 0, 158, 400);
  ResizeSkinWindow(t, false);  // the height follows the width
  EXPECT_EQ(t.Client.Height, 100);
  t.MaxClientWidth = 3000;
  t.MaxClientHeight = 2;  // a sliver: 2 * 100 / 3000 = 0
  int32_t width = 100, height = 0;
  ConstrainSkinWindowSize(t, width, height, true, true);
  EXPECT_GE(height, 1);
  t.MaxClientWidth = 300;
  t.MaxClientHeight = 0;  // no height limit: no aspect
  width = 150, height = 70;
  ConstrainSkinWindowSize(t, width, height, true, false);
  EXPECT_EQ(height, 70);
}

TEST(SkinWindowScroll, OffsetsResetWhenABarComesOrGoesAndStayInsideTheContent) {
  TSkinWindow w;
  MakePocket(w, 100, 100, 150, 80);
  w.ScrollX = 40;
  w.ScrollY = 7;
  ResizeSkinWindow(w, true, 100, 100);  // bars unchanged: the offset stays
  EXPECT_EQ(w.ScrollX, 40);
  w.ContentHeight = 200;  // the vertical bar appears
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollY, 0);
  EXPECT_EQ(w.ScrollX, 40);
  w.ScrollY = 50;
  w.ContentHeight = 50;  // and goes again
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollY, 0);
  w.ScrollX = 500;
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollX, 50);  // content - client
  EXPECT_LE(w.Buttons[kSkinBtnHorzThumb].Bounds.Right, w.HorzTrack.Right);
  w.ContentWidth = 60;  // narrower than the client: never a negative offset
  RelayoutSkinWindow(w);
  w.ScrollX = 30;
  w.ScrollY = -5;
  RelayoutSkinWindow(w);
  EXPECT_EQ(w.ScrollX, 0);
  EXPECT_EQ(w.ScrollY, 0);
  w.ContentWidth = 0;  // no content: no bars, no offsets
  w.ScrollX = 9;
  RelayoutSkinWindow(w);
  EXPECT_FALSE(w.HorzScrollVisible);
  EXPECT_EQ(w.Buttons[kSkinBtnHorzThumb].Bounds.Left, kUnsetEdge);  // nothing left to hit
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

  TSkinWindow w;
  MakePocket(w, 100, 100, 500, 500);
  SetSkinRectBounds(w.Outer, 0, 0, 30, 40);  // far below the limits, as a raw relayout allows
  RelayoutSkinWindow(w);
  for (int i : {kSkinBtnHorzThumb, kSkinBtnVertThumb}) {
    EXPECT_GE(w.Buttons[i].Bounds.Width, 0);
    EXPECT_GE(w.Buttons[i].Bounds.Height, 0);
  }
  EXPECT_LE(w.Buttons[kSkinBtnHorzThumb].Bounds.Width, std::max(w.HorzTrack.Width, 0));
}

TEST(SkinWindowLayout, CopiedLayoutTakesPlaceScrollAndBarsButNotTheRest) {
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
  // Its own name, highlight, caption and background stay.
  EXPECT_EQ(second.WindowName, u"Second Side");
  EXPECT_EQ(second.Caption, u"kept");
  EXPECT_EQ(second.Background, 0x010203u);
  EXPECT_FALSE(second.Highlighted);
  EXPECT_EQ(second.Index, 1);
  // The copy answers like the original, from the same place: a track click scrolls it the same way.
  EXPECT_EQ(second.ScrollY, 45);
  ExpectSame(second.Buttons[kSkinBtnVertThumb].Bounds, first.Buttons[kSkinBtnVertThumb].Bounds);
  ws.SkinDrag.HitCode = SkinWindowHitTest(ws, second, second.HorzTrack.Right, second.HorzTrack.Top, true);
  ASSERT_EQ(ws.SkinDrag.HitCode, kHitScrollRight);
  TrackSkinScroll(ws, second, 0, 0);
  EXPECT_EQ(second.ScrollX, 210);
  EXPECT_EQ(first.ScrollX, 120);
}

// A pocket's caption picture is made with the window and freed on its own at exit; a window
// without a caption has none to free.
TEST(SkinWindowCaption, FreeingTheCaptionPictureLeavesTheWindowWhole) {
  TSkinWindow w;
  MakePocket(w, 100, 80);
  ASSERT_GT(w.CaptionImage.Width, 0);
  const TSkinRect outer = w.Outer;
  FreeSkinWindowCaption(w);
  EXPECT_EQ(w.CaptionImage.Width, 0);
  EXPECT_EQ(w.CaptionImage.Bits, nullptr);
  ExpectSame(w.Outer, outer);
  FreeSkinWindowCaption(w);  // twice is harmless
  EXPECT_EQ(w.CaptionImage.Width, 0);
}

TEST(GameWindows, OnlyPocketsAndTheThumbnailComeToTheFront) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  TRecordingSkinHost host;
  ws.Host = &host;
  BringSkinWindowToFront(ws, ws.GameWindows[0]);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[i]);
  EXPECT_EQ(host.Count("UpdateWindowMenuCaptions"), 0);
  EXPECT_EQ(ws.HighlightedSkinWindow, nullptr);
  for (int twice = 0; twice < 2; ++twice) {  // the second time it is already on top
    BringSkinWindowToFront(ws, ws.GameWindows[3]);
    const int expected[7] = {0, 1, 2, 4, 5, 6, 3};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(ws.SkinWindowOrder[i], &ws.GameWindows[expected[i]]) << i;
  }
  EXPECT_EQ(ws.HighlightedSkinWindow, &ws.GameWindows[3]);
  EXPECT_TRUE(ws.GameWindows[3].Buttons[kSkinBtnCaption].WindowHighlighted);
  EXPECT_GE(host.Count("UpdateWindowMenuCaptions"), 1);
}

TEST(GameWindows, OneHighlightAndHidingTheHighlightedWindowHighlightsTheActiveOne) {
  TSkinWindows ws;
  SetupGameWindows(ws);
  HighlightSkinWindow(ws, &ws.GlassWindow);
  EXPECT_TRUE(ws.GlassWindow.Buttons[kSkinBtnZoom3].WindowHighlighted);
  HighlightSkinWindow(ws, &ws.GameWindows[4]);
  EXPECT_FALSE(ws.GlassWindow.Highlighted);
  EXPECT_FALSE(ws.GlassWindow.Buttons[kSkinBtnZoom3].WindowHighlighted);
  HighlightSkinWindow(ws, nullptr);
  for (const TSkinWindow& w : ws.GameWindows) EXPECT_FALSE(w.Highlighted);

  TSkinWindow& pocket = ws.GameWindows[2];
  SetSkinWindowVisible(ws, pocket, true);
  HighlightSkinWindow(ws, &pocket);
  TRecordingSkinHost host;
  ws.Host = &host;
  host.Active = &ws.GameWindows[0];
  SetSkinWindowVisible(ws, pocket, false);
  EXPECT_FALSE(pocket.Highlighted);
  EXPECT_TRUE(ws.GameWindows[0].Highlighted);
  // Hiding a window that was already hidden asks nothing of the game.
  host.Active = &ws.GameWindows[1];
  SetSkinWindowVisible(ws, pocket, false);
  EXPECT_EQ(ws.HighlightedSkinWindow, &ws.GameWindows[0]);
}

TEST(GlassWindow, CornerTilesSitInTheFourCornersAtEverySize) {
  TSkinWindow glass;
  SetupGlassWindow(glass);
  for (int32_t side : {240, 333, 480}) {
    ResizeSkinWindow(glass, true, side, side);
    const TSkinRect& o = glass.Outer;
    const int32_t s = glass.GlassTileSize;
    ASSERT_GT(s, 0);
    const auto& tiles = glass.GlassTiles;
    ExpectEdges(tiles[0], o.Left, o.Top, o.Left + s - 1, o.Top + s - 1);
    ExpectEdges(tiles[1], o.Right + 1 - s, o.Top, o.Right, o.Top + s - 1);
    ExpectEdges(tiles[2], o.Left, o.Bottom + 1 - s, o.Left + s - 1, o.Bottom);
    ExpectEdges(tiles[3], o.Right + 1 - s, o.Bottom + 1 - s, o.Right, o.Bottom);
    // The sprites are a two-by-two grid of tile-sized pieces cut from the skin.
    const auto& sp = glass.GlassTileSprites;
    EXPECT_EQ(sp[0].Left, sp[2].Left);
    EXPECT_EQ(sp[1].Left, sp[3].Left);
    EXPECT_EQ(sp[0].Top, sp[1].Top);
    EXPECT_EQ(sp[2].Top, sp[3].Top);
    EXPECT_GE(sp[1].Left, sp[0].Right + 1);
    EXPECT_GE(sp[2].Top, sp[0].Bottom + 1);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(glass.GlassTileSprites[i].Width, s) << i;
      EXPECT_EQ(glass.GlassTileSprites[i].Height, s) << i;
    }
  }
}

// A button's sprites lie side by side on the sheet, 3 pixels apart: five of them, or normal and
// pressed with the hot and hot-pressed pictures the same and the disabled one third.
TEST(SkinButton, SpritesFollowEachOtherOnTheSheet) {
  for (const uint32_t flags : {0u, uint32_t(kSkinFiveSprites)}) {
    for (const int32_t w : {1, 9, 16}) {
      SCOPED_TRACE(testing::Message() << flags << " " << w);
      TSkinButton b;
      SetupSkinButton(b, 20, 7, w, 5, flags);
      const int32_t slot[5] = {0, 1, flags ? 2 : 0, flags ? 3 : 1, flags ? 4 : 2};
      for (int k = 0; k < 5; ++k)
        ExpectEdges(b.Sprites[k], 20 + slot[k] * (w + 3), 7, 20 + slot[k] * (w + 3) + w - 1, 11);
      ExpectEdges(b.Bounds, 0, 0, w - 1, 4);
      EXPECT_TRUE(b.Visible);
    }
  }
}

// An anchored button sits at its offset from the edge it is anchored to; the left and top
// anchors win over the right and bottom ones, and an unanchored side keeps the window's corner.
TEST(SkinButton, AnchorsPlaceTheButtonFromTheirEdge) {
  TSkinRect window;
  SetSkinRectEdges(window, 10, 20, 109, 79);
  const int32_t none = kUnsetEdge;
  struct Case {
    int32_t l, t, r, b, x, y;
  };
  const Case cases[] = {{3, 4, none, none, 13, 24},  {none, none, 3, 4, 100, 69},      {3, 4, 5, 6, 13, 24},
                        {none, 4, 0, none, 103, 24}, {none, none, none, none, 10, 20}, {0, none, none, 0, 10, 73}};
  for (const Case& c : cases) {
    TSkinButton b;
    InitSkinButton(b);
    SetupSkinButton(b, 0, 0, 7, 7, 0);
    SetSkinRectEdges(b.Anchors, c.l, c.t, c.r, c.b);
    AnchorSkinButton(b, window);
    ExpectEdges(b.Bounds, c.x, c.y, c.x + 6, c.y + 6);
  }
}

// The outer limits are the client's plus the frame, and a client without a maximum gives an
// outer one of none, on each side alone.
TEST(SkinWindowLayout, OuterLimitsAddTheFrameToTheClients) {
  for (const TWindowStyle style : {kSkinStyleSide, kSkinStylePocket, kSkinStyleThumbnail, kSkinStyleGlass})
    for (const int32_t maxW : {0, 1, 300})
      for (const int32_t maxH : {0, 1, 250}) {
        TSkinWindow w;
        InitSkinWindow(w, 0, 0, 200, 200, style);
        w.MinClientWidth = 30;
        w.MinClientHeight = 40;
        w.MaxClientWidth = maxW;
        w.MaxClientHeight = maxH;
        UpdateSkinWindowLimits(w);
        EXPECT_EQ(w.OuterMinWidth, 30 + 2 * w.BorderWidth);
        EXPECT_EQ(w.OuterMinHeight, 40 + 2 * w.BorderWidth + w.CaptionHeight);
        EXPECT_EQ(w.OuterMaxWidth, maxW ? maxW + 2 * w.BorderWidth : 0) << int(style) << " " << maxW;
        EXPECT_EQ(w.OuterMaxHeight, maxH ? maxH + 2 * w.BorderWidth + w.CaptionHeight : 0) << int(style) << " " << maxH;
      }
}

// Wherever a pocket stands and whatever its size, the corner box fills the square between the
// two bars inside the border, the grip runs from there to the outer corner, and the edges and
// corners that resize it are the border's own strips.
TEST(SkinWindowLayout, CornerGripAndEdgesFollowTheBorderAtAnyPlace) {
  for (const int32_t x : {0, 37})
    for (const int32_t y : {0, 11})
      for (const int32_t cw : {90, 121})
        for (const bool bars : {false, true}) {
          SCOPED_TRACE(testing::Message() << x << "," << y << " " << cw << " " << bars);
          TSkinWindow w;
          InitSkinWindow(w, x, y, cw + 8, cw + 26, kSkinStylePocket);
          w.ContentWidth = w.ContentHeight = bars ? 1000 : 0;
          ResizeSkinWindow(w, true, cw, cw);
          const int32_t L = x, T = y, R = x + cw + 7, B = y + cw + 25, k = kSkinScrollBarSize;
          ExpectEdges(w.Outer, L, T, R, B);
          if (bars) {
            ExpectEdges(w.CornerBox, R - 3 - k, B - 3 - k, R - 4, B - 4);
          } else {
            ExpectEdges(w.CornerBox, -1, -1, -1, -1);
          }
          ExpectEdges(w.Grip, R - 3 - k, B - 3 - k, R, B);
          ExpectEdges(w.LeftEdge, L, T + 4, L + 3, B - 4);
          ExpectEdges(w.BottomEdge, L + 4, B - 3, R - 4, B);
          ExpectEdges(w.TopLeftCorner, L, T, L + 3, T + 3);
          ExpectEdges(w.BottomLeftCorner, L, B - 3, L + 3, B);
          ExpectEdges(w.BottomRightCorner, R - 3, B - 3, R, B);
          EXPECT_EQ(w.TopEdge.Left, L + 4);
          EXPECT_EQ(w.TopEdge.Bottom, T + 3);
          EXPECT_EQ(w.RightEdge.Left, R - 3);
          EXPECT_EQ(w.RightEdge.Bottom, B - 4);
        }
}
