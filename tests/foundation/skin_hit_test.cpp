#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/skin_window.h"
#include "support/recording_skin_host.h"

namespace {

// A visible pocket at the origin, client 100 x 100 before any bar.
void MakePocket(TSkinWindow& w, int32_t contentW, int32_t contentH) {
  InitSkinWindow(w, 0, 0, 108, 126, kSkinStylePocket);
  w.Visible = true;
  w.ContentWidth = contentW;
  w.ContentHeight = contentH;
  ResizeSkinWindow(w, false);
}

// A visible side 117 x 117 with 300 x 300 content: client 100 x 100 and 66-pixel tracks.
void MakeSide(TSkinWindow& w) {
  InitSkinWindow(w, 0, 0, 117, 117, kSkinStyleSide);
  w.Visible = true;
  w.ContentWidth = 300;
  w.ContentHeight = 300;
  ResizeSkinWindow(w, false);
}

}  // namespace

TEST(SkinHit, PocketFrameZonesGiveTheirResizeCodes) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[2];
  MakePocket(w, 0, 0);
  // clang-format off
  struct Case { int x, y; uint8_t code; } cases[] = {
      {0, 50, kHitLeft},         {3, 121, kHitLeft},         {107, 50, kHitRight},    {104, 20, kHitRight},
      {50, 0, kHitTop},          {87, 3, kHitTop},           {50, 125, kHitBottom},   {1, 1, kHitTopLeft},
      {1, 124, kHitBottomLeft},  {106, 124, kHitBottomRight}, {95, 110, kHitBottomRight},  // grip inside the client
      // Where the grip overlaps the edges, the edges come first.
      {105, 110, kHitRight},     {95, 123, kHitBottom},
      {50, 50, kHitNone},        {50, 10, kHitNone},          // the caption bar is left to the game (move)
      {108, 50, kHitNone},       {-1, 50, kHitNone},
      // Each edge is the 4-pixel border exactly: the next row or column in is the client's.
      {3, 60, kHitLeft},         {4, 60, kHitNone},           {104, 60, kHitRight},    {103, 60, kHitNone},
      {50, 122, kHitBottom},     {50, 121, kHitNone},         {3, 122, kHitBottomLeft}, {4, 122, kHitBottom},
      {104, 122, kHitBottomRight},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(SkinWindowHitTest(ws, w, c.x, c.y, false), c.code) << c.x << "," << c.y;
}

TEST(SkinHit, ResizeCodesSetTheFieldCursorOnlyWhenItChanges) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[2];
  MakePocket(w, 0, 0);
  TRecordingSkinHost host;
  ws.Host = &host;
  SkinWindowHitTest(ws, w, 0, 50, false);
  SkinWindowHitTest(ws, w, 107, 50, false);  // also west-east: not set again
  SkinWindowHitTest(ws, w, 50, 0, false);
  SkinWindowHitTest(ws, w, 1, 124, false);
  SkinWindowHitTest(ws, w, 95, 110, false);
  SkinWindowHitTest(ws, w, 50, 50, false);  // the client leaves the cursor alone
  const std::vector<std::string> expected = {"SetFieldCursor 1", "SetFieldCursor 2", "SetFieldCursor 4",
                                             "SetFieldCursor 3"};  // west-east, north-south, the diagonals
  EXPECT_EQ(host.Of("SetFieldCursor"), expected);
}

TEST(SkinHit, CaptionButtonIsHotAndPressedOnlyOnAPress) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[3];
  MakePocket(w, 0, 0);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 95, 2, false), kHitCaptionButton);
  EXPECT_TRUE(w.Buttons[kSkinBtnCaption].Hot);
  // The top-right corner belongs to the button: there is no corner zone there.
  EXPECT_EQ(SkinWindowHitTest(ws, w, 107, 5, true), kHitCaptionButton);
  EXPECT_TRUE(w.Buttons[kSkinBtnCaption].Pressed);
  // The next test starts from a clean slate.
  EXPECT_EQ(SkinWindowHitTest(ws, w, 50, 50, false), kHitNone);
  EXPECT_FALSE(w.Buttons[kSkinBtnCaption].Hot);
  EXPECT_FALSE(w.Buttons[kSkinBtnCaption].Pressed);
  EXPECT_EQ(w.HotButton, -1);
}

TEST(SkinHit, ScrollBarPartsOfAPocket) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[2];
  MakePocket(w, 150, 80);  // horizontal bar only; thumb 21..52 on the track 21..69
  EXPECT_EQ(SkinWindowHitTest(ws, w, 10, 110, false), kHitScrollLeft);
  EXPECT_EQ(w.HotButton, kSkinBtnLeft);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 30, 110, false), kHitHorzThumb);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 53, 110, false), kHitScrollRight);  // track right of the thumb
  EXPECT_EQ(w.HotButton, -1);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 75, 110, false), kHitScrollRight);  // the arrow itself
  EXPECT_EQ(w.HotButton, kSkinBtnRight);
  // The corner box of a pocket is part of its grip.
  EXPECT_EQ(SkinWindowHitTest(ws, w, 90, 110, false), kHitBottomRight);

  // With the thumb moved along, the track left of it pages back.
  w.ScrollX = 50;
  RelayoutSkinWindow(w);
  const TSkinRect& thumb = w.Buttons[kSkinBtnHorzThumb].Bounds;
  EXPECT_EQ(SkinWindowHitTest(ws, w, thumb.Left - 1, 110, false), kHitScrollLeft);

  EXPECT_TRUE(PointOnSkinScrollBar(w, 95, 115));  // corner box
}

TEST(SkinHit, VerticalTrackAboveAndBelowTheThumb) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[0];
  MakeSide(w);
  w.ScrollY = 100;
  RelayoutSkinWindow(w);
  const TSkinRect& thumb = w.Buttons[kSkinBtnVertThumb].Bounds;
  EXPECT_EQ(thumb.Top, w.VertTrack.Top + 22);  // the track starts below the up arrow
  EXPECT_EQ(SkinWindowHitTest(ws, w, 105, thumb.Top - 1, false), kHitScrollUp);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 105, thumb.Top, false), kHitVertThumb);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 105, thumb.Bottom + 1, false), kHitScrollDown);
}

TEST(SkinHit, SidesHaveNoFrameButTheirCornerBoxResizes) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[0];
  MakeSide(w);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 50, 50, false), kHitNone);
  EXPECT_EQ(SkinWindowHitTest(ws, w, 0, 0, false), kHitNone);  // no edges on a side
  EXPECT_EQ(SkinWindowHitTest(ws, w, 108, 108, false), kHitBottomRight);
  EXPECT_EQ(ws.FieldCursor, TSkinCursor::SizeNWSE);
  EXPECT_FALSE(PointOnSkinFrame(ws, w, 50, 50));
  EXPECT_TRUE(PointOnSkinFrame(ws, w, 110, 50));  // beside the client: the bar
}

TEST(SkinHit, HiddenWindowsAnswerNothing) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[2];
  MakePocket(w, 150, 150);
  EXPECT_TRUE(PointOnSkinFrame(ws, w, 50, 10));  // the caption bar
  EXPECT_TRUE(PointOnSkinScrollBar(w, 10, 110));
  w.Visible = false;
  EXPECT_FALSE(PointOnSkinFrame(ws, w, 50, 10));
  EXPECT_FALSE(PointOnSkinScrollBar(w, 10, 110));
  EXPECT_EQ(SkinWindowHitTest(ws, w, 1, 60, true), kHitNone);
}

TEST(SkinHit, MagnifierGripTriangleAndButtons) {
  TSkinWindows ws;
  TSkinWindow& g = ws.GlassWindow;
  SetupGlassWindow(g);
  g.Visible = true;
  // Grip (214, 215) 21 x 21: only its lower-right triangle resizes.
  EXPECT_EQ(SkinWindowHitTest(ws, g, 230, 232, false), kHitBottomRight);
  EXPECT_EQ(SkinWindowHitTest(ws, g, 214 + 10, 215 + 11, false), kHitBottomRight);
  EXPECT_EQ(SkinWindowHitTest(ws, g, 214 + 10, 215 + 10, false), kHitNone);
  EXPECT_EQ(SkinWindowHitTest(ws, g, 215, 20, true), kHitCaptionButton);
  EXPECT_EQ(SkinWindowHitTest(ws, g, 10, 10, false), kHitZoom3);
  g.Buttons[kSkinBtnZoom3].Visible = false;
  g.Buttons[kSkinBtnZoom2].Visible = true;
  EXPECT_EQ(SkinWindowHitTest(ws, g, 10, 10, false), kHitZoom2);
  EXPECT_EQ(SkinWindowHitTest(ws, g, 120, 120, false), kHitNone);  // the lens
}

TEST(SkinHit, MagnifierFrameFollowsTheSkinsAlphaOutsideTheLens) {
  TSkinWindows ws;
  TSkinWindow& g = ws.GlassWindow;
  SetupGlassWindow(g);
  g.Visible = true;
  TDibHolder skin;
  ASSERT_TRUE(CreateDib32(*skin, 290, 189));
  // Opaque only in the left half of each tile sprite's first row band; 200 elsewhere.
  for (int y = 0; y < 189; ++y)
    for (int x = 0; x < 290; ++x) DibPixelAddress(*skin, x, y)[3] = (y % 96) < 20 && (x % 96) < 40 ? 201 : 200;
  ws.GlassSkin = &*skin;
  TRecordingSkinHost host;
  ws.Host = &host;
  EXPECT_TRUE(PointOnSkinFrame(ws, g, 5, 5));                // top-left tile, sprite (5, 5)
  EXPECT_FALSE(PointOnSkinFrame(ws, g, 5, 30));              // alpha 200 is not enough
  EXPECT_TRUE(PointOnSkinFrame(ws, g, 147 + 3, 10));         // top-right tile from sprite (99, 10)
  EXPECT_TRUE(PointOnSkinFrame(ws, g, 3, 147 + 10));         // bottom-left from (3, 106)
  EXPECT_FALSE(PointOnSkinFrame(ws, g, 147 + 50, 147 + 5));  // bottom-right from (146, 101): x % 96 = 50
  EXPECT_FALSE(PointOnSkinFrame(ws, g, 120, 5));             // between the tiles
  host.Lens = true;
  EXPECT_FALSE(PointOnSkinFrame(ws, g, 5, 5));
  host.Lens = false;
  ws.GlassSkin = nullptr;  // no skin loaded: no frame to grab anywhere
  EXPECT_FALSE(PointOnSkinFrame(ws, g, 5, 5));
}

TEST(SkinScroll, TrackClicksStepByATenthOfTheContent) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[0];
  MakeSide(w);
  const TSkinRect& track = w.HorzTrack;
  const TSkinRect& thumb = w.Buttons[kSkinBtnHorzThumb].Bounds;
  ASSERT_EQ(track.Width, 66);
  ASSERT_EQ(thumb.Width, 22);
  ws.SkinDrag.HitCode = SkinWindowHitTest(ws, w, track.Right, 108, true);
  ASSERT_EQ(ws.SkinDrag.HitCode, kHitScrollRight);
  TrackSkinScroll(ws, w, 0, 0);
  EXPECT_EQ(w.ScrollX, 30);
  EXPECT_EQ(thumb.Left, track.Left + 6);  // 30 * 66 / 300
  for (int i = 0; i < 10; ++i) TrackSkinScroll(ws, w, 0, 0);
  EXPECT_EQ(w.ScrollX, 200);  // content - client, not past it
  EXPECT_EQ(thumb.Right, track.Right);

  ws.SkinDrag.HitCode = kHitScrollLeft;
  for (int i = 0; i < 7; ++i) TrackSkinScroll(ws, w, 0, 0);
  EXPECT_EQ(w.ScrollX, 0);
  EXPECT_EQ(thumb.Left, track.Left);

  ws.SkinDrag.HitCode = kHitScrollDown;
  TrackSkinScroll(ws, w, 0, 0);
  TrackSkinScroll(ws, w, 0, 0);
  EXPECT_EQ(w.ScrollY, 60);
  EXPECT_EQ(w.Buttons[kSkinBtnVertThumb].Bounds.Top, w.VertTrack.Top + 13);  // 60 * 66 / 300
  ws.SkinDrag.HitCode = kHitScrollUp;
  TrackSkinScroll(ws, w, 0, 0);
  ws.SkinDrag.HitCode = kHitCaptionButton;  // not a scroll code: nothing moves
  TrackSkinScroll(ws, w, 50, 50);
  EXPECT_EQ(w.ScrollX, 0);
  EXPECT_EQ(w.ScrollY, 30);
}

// Over a long content the thumb keeps its minimum length, longer than its share of the track:
// stepped to the end, it ends where the track ends, never past it onto the arrow.
TEST(SkinScroll, ClicksToTheEndOfALongContentLeaveTheThumbOnItsTrack) {
  const struct {
    int32_t contentW, contentH, code;
  } cases[] = {{100000, 300, kHitScrollRight}, {300, 100000, kHitScrollDown}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    TSkinWindows ws;
    TSkinWindow& w = ws.GameWindows[0];
    MakeSide(w);
    w.ContentWidth = c.contentW;
    w.ContentHeight = c.contentH;
    RelayoutSkinWindow(w);
    const bool horizontal = c.code == kHitScrollRight;
    const TSkinRect& track = horizontal ? w.HorzTrack : w.VertTrack;
    const TSkinRect& thumb = w.Buttons[horizontal ? kSkinBtnHorzThumb : kSkinBtnVertThumb].Bounds;
    ws.SkinDrag.HitCode = uint8_t(c.code);
    for (int i = 0; i < 12; ++i) TrackSkinScroll(ws, w, 0, 0);
    EXPECT_EQ(horizontal ? w.ScrollX : w.ScrollY, 100000 - 100);
    EXPECT_EQ(horizontal ? thumb.Width : thumb.Height, 12);
    EXPECT_EQ(horizontal ? thumb.Right : thumb.Bottom, horizontal ? track.Right : track.Bottom);
  }
}

// A dragged thumb follows the pointer along its track, never past either end, and the view
// scrolls in proportion: the 66-pixel tracks of a side over 300 pixels of content, 22-pixel
// thumbs. Panning drags both; a window without bars does not move.
TEST(SkinScroll, ThumbsFollowThePointerAlongTheirTracks) {
  const struct {
    int32_t code, along, thumb, scrollX, scrollY;
  } cases[] = {
      {kHitHorzThumb, -10, 0, 0, 0},    {kHitHorzThumb, 11, 11, 50, 0},  {kHitHorzThumb, 44, 44, 200, 0},
      {kHitHorzThumb, 100, 44, 200, 0}, {kHitVertThumb, 22, 22, 0, 100}, {kHitVertThumb, 50, 44, 0, 200},
      {kHitPan, 33, 33, 150, 150},
  };
  for (const auto& c : cases) {
    TSkinWindows ws;
    TSkinWindow& w = ws.GameWindows[0];
    MakeSide(w);
    ws.SkinDrag.HitCode = uint8_t(c.code);
    TrackSkinScroll(ws, w, w.HorzTrack.Left + c.along, w.VertTrack.Top + c.along);
    EXPECT_EQ(w.ScrollX, c.scrollX) << c.code << " " << c.along;
    EXPECT_EQ(w.ScrollY, c.scrollY) << c.code << " " << c.along;
    const TSkinRect& moved = w.Buttons[c.code == kHitVertThumb ? kSkinBtnVertThumb : kSkinBtnHorzThumb].Bounds;
    if (c.code == kHitVertThumb)
      EXPECT_EQ(moved.Top, w.VertTrack.Top + c.thumb) << c.along;
    else
      EXPECT_EQ(moved.Left, w.HorzTrack.Left + c.thumb) << c.code << " " << c.along;
  }
  TSkinWindows ws;
  TSkinWindow& pocket = ws.GameWindows[2];
  MakePocket(pocket, 50, 50);  // no bars
  for (int32_t code : {kHitHorzThumb, kHitVertThumb, kHitPan, kHitScrollRight, kHitScrollDown}) {
    ws.SkinDrag.HitCode = uint8_t(code);
    TrackSkinScroll(ws, pocket, 80, 80);
    EXPECT_EQ(pocket.ScrollX, 0) << code;
    EXPECT_EQ(pocket.ScrollY, 0) << code;
  }
}

// Points on a pocket's vertical bar: its track and both arrows, not beside them.
TEST(SkinHit, VerticalBarPartsAreOnTheBar) {
  TSkinWindow w;
  MakePocket(w, 80, 150);  // vertical bar only
  ASSERT_TRUE(w.VertScrollVisible);
  ASSERT_FALSE(w.HorzScrollVisible);
  const TSkinRect& up = w.Buttons[kSkinBtnUp].Bounds;
  const TSkinRect& down = w.Buttons[kSkinBtnDown].Bounds;
  EXPECT_TRUE(PointOnSkinScrollBar(w, up.Left, up.Top));
  EXPECT_TRUE(PointOnSkinScrollBar(w, down.Right, down.Bottom));
  EXPECT_TRUE(PointOnSkinScrollBar(w, w.VertTrack.Left, w.VertTrack.Top + 5));
  EXPECT_FALSE(PointOnSkinScrollBar(w, w.VertTrack.Left - 1, w.VertTrack.Top + 5));
  EXPECT_FALSE(PointOnSkinScrollBar(w, w.Client.Left + 5, w.Client.Top + 5));
}

// The thumbnail is resized by its frame like a pocket, though its client drags the window.
TEST(SkinHit, ThumbnailFrameResizesToo) {
  TSkinWindows ws;
  TSkinWindow& w = ws.GameWindows[6];  // the thumbnail
  InitSkinWindow(w, 0, 0, 108, 126, kSkinStyleThumbnail);
  w.Visible = true;
  ResizeSkinWindow(w, false);
  struct Case {
    int x, y;
    uint8_t code;
  } cases[] = {
      {0, 60, kHitLeft},     {107, 60, kHitRight}, {50, 0, kHitTop},
      {50, 125, kHitBottom}, {1, 1, kHitTopLeft},  {106, 124, kHitBottomRight},
  };
  for (const Case& c : cases) EXPECT_EQ(SkinWindowHitTest(ws, w, c.x, c.y, false), c.code) << c.x << "," << c.y;
}
