#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "foundation/skin_window.h"

namespace {

// Synthetic skin sheets whose every pixel names its own place: blue = x low byte, green = y,
// red = a sheet mark plus x's high bit. A painted pixel then says where in which sheet it came
// from. The field starts black, which no sheet pixel is.
constexpr uint8_t kFrameMark = 0x80;
constexpr uint8_t kGlassMark = 0x40;

void MakeSheet(TDibImage& sheet, int w, int h, uint8_t mark) {
  ASSERT_TRUE(CreateDib32(sheet, w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = DibPixelAddress(sheet, x, y);
      p[0] = uint8_t(x & 0xFF);
      p[1] = uint8_t(y);
      p[2] = uint8_t(mark | (x >> 8));
      p[3] = 255;
    }
}

struct Source {
  uint8_t mark;
  int x, y;
  bool operator==(const Source&) const = default;
};

std::optional<Source> SourceOf(const TDibImage& target, int x, int y) {
  const uint8_t* p = DibPixelAddress(target, x, y);
  for (uint8_t mark : {kFrameMark, kGlassMark})
    if ((p[2] & 0xFE) == mark) return Source{mark, ((p[2] & 1) << 8) | p[0], p[1]};
  return std::nullopt;
}

::testing::AssertionResult From(const TDibImage& target, int x, int y, int sx, int sy, uint8_t mark = kFrameMark) {
  const std::optional<Source> s = SourceOf(target, x, y);
  if (!s) return ::testing::AssertionFailure() << "(" << x << "," << y << ") not painted from a sheet";
  if (!(*s == Source{mark, sx, sy}))
    return ::testing::AssertionFailure() << "(" << x << "," << y << ") from (" << s->x << "," << s->y << ") mark "
                                         << int(s->mark) << ", expected (" << sx << "," << sy << ")";
  return ::testing::AssertionSuccess();
}

TSkinRect WholeOf(const TDibImage& d) {
  TSkinRect r;
  SetSkinRectBounds(r, 0, 0, d.Width, d.Height);
  return r;
}

class SkinPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSheet(*frame_, 390, 170, kFrameMark);
    MakeSheet(*glass_, 290, 189, kGlassMark);
    ws_.FrameSkin = &*frame_;
    ws_.GlassSkin = &*glass_;
    ASSERT_TRUE(CreateDib24(*field_, 300, 260));
  }
  // A visible pocket at (10, 20), outer 108 x 126 (client 100 x 100 before bars).
  TSkinWindow& Pocket(int contentW = 0, int contentH = 0) {
    TSkinWindow& w = ws_.GameWindows[2];
    InitSkinWindow(w, 10, 20, 108, 126, kSkinStylePocket);
    w.Visible = true;
    w.BackgroundDrawn = true;
    w.Background = 0x123456;
    w.ContentWidth = contentW;
    w.ContentHeight = contentH;
    ResizeSkinWindow(w, false);
    return w;
  }
  void Paint(const TSkinWindow& w) { PaintSkinWindow(ws_, *field_, WholeOf(*field_), w); }
  uint32_t At(int x, int y) const { return uint32_t(GetDibPixel(*field_, x, y)); }

  TSkinWindows ws_;
  TDibHolder frame_, glass_, field_;
};

}  // namespace

TEST_F(SkinPaint, PocketCaptionBarFromTheFrameSample) {
  Paint(Pocket());
  // Rows 20..41 are the caption bar (border 4 + caption 18) from sheet rows 1..22.
  EXPECT_TRUE(From(*field_, 10, 20, 1, 1));
  EXPECT_TRUE(From(*field_, 60, 30, 7, 11));
  EXPECT_TRUE(From(*field_, 117, 41, 100, 22));  // right piece below the caption button
  // The caption button covers the top-right corner with its first sprite.
  EXPECT_TRUE(From(*field_, 98, 20, 2, 110));
  EXPECT_TRUE(From(*field_, 117, 39, 21, 129));
  // Nothing above or left of the window.
  EXPECT_EQ(At(10, 19), 0u);
  EXPECT_EQ(At(118, 30), 0u);
}

TEST_F(SkinPaint, PocketBordersEdgesBackgroundAndHighlight) {
  Paint(Pocket());
  // Bottom border rows 142..145 from sheet rows 97..100.
  EXPECT_TRUE(From(*field_, 10, 142, 1, 97));
  EXPECT_TRUE(From(*field_, 107, 143, 11, 98));
  EXPECT_TRUE(From(*field_, 117, 145, 100, 100));
  // Side edges: a 5-row top piece from rows 23..27, then row 31 repeated down to row 141.
  EXPECT_TRUE(From(*field_, 10, 42, 1, 23));
  EXPECT_TRUE(From(*field_, 13, 47, 4, 31));
  EXPECT_TRUE(From(*field_, 12, 141, 3, 31));
  EXPECT_TRUE(From(*field_, 117, 100, 100, 31));
  // The client is filled with the window's background colour.
  EXPECT_EQ(At(60, 90), 0x123456u);
  EXPECT_EQ(At(10, 146), 0u);
  // A highlighted window takes its frame from the second sample.
  HighlightSkinWindow(ws_, &ws_.GameWindows[2]);
  Paint(ws_.GameWindows[2]);
  EXPECT_TRUE(From(*field_, 10, 20, 103, 1));
  EXPECT_TRUE(From(*field_, 117, 145, 202, 100));
}

TEST_F(SkinPaint, ButtonSpritesFollowHotPressedAndHighlight) {
  TSkinWindow& w = Pocket();
  struct Case {
    bool highlighted, hot, pressed;
    int spriteX;
  } cases[] = {{false, false, false, 2}, {false, true, false, 25}, {false, true, true, 25}, {true, false, false, 48},
               {true, true, false, 71},  {true, true, true, 94},   {true, false, true, 94}};
  for (const Case& c : cases) {
    TSkinButton& b = w.Buttons[kSkinBtnCaption];
    b.WindowHighlighted = c.highlighted;
    b.Hot = c.hot;
    b.Pressed = c.pressed;
    PaintSkinButton(*field_, *frame_, WholeOf(*field_), b);
    EXPECT_TRUE(From(*field_, 98, 20, c.spriteX, 110)) << c.highlighted << c.hot << c.pressed;
  }
  w.Buttons[kSkinBtnCaption].Visible = false;
  for (int y = 20; y < 40; ++y)
    for (int x = 98; x < 118; ++x) SetDibPixel(*field_, x, y, 0);
  PaintSkinButton(*field_, *frame_, WholeOf(*field_), w.Buttons[kSkinBtnCaption]);
  EXPECT_EQ(At(100, 25), 0u);
}

TEST_F(SkinPaint, SheetAlphaShapesTheFrame) {
  // A half-transparent and a fully transparent sample pixel over a grey field.
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 300; ++x) SetDibPixel(*field_, x, y, 0x404040);
  DibPixelAddress(*frame_, 1, 1)[3] = 0;
  uint8_t* p = DibPixelAddress(*frame_, 2, 1);
  p[0] = p[1] = p[2] = 255;
  p[3] = 128;
  Paint(Pocket());
  EXPECT_EQ(At(10, 20), 0x404040u);
  EXPECT_EQ(At(11, 20), 0x9F9F9Fu);  // (64 * 127 + 255 * 128) div 255 = 159
}

TEST_F(SkinPaint, NothingIsPaintedOutsideTheClip) {
  TSkinWindow& w = Pocket(150, 150);
  TSkinRect clip;
  SetSkinRectEdges(clip, 40, 30, 80, 150);
  PaintSkinWindow(ws_, *field_, clip, w);
  int painted = 0;
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 300; ++x) {
      if (At(x, y) == 0) continue;
      ASSERT_TRUE(PointInSkinRect(clip, x, y)) << x << "," << y;
      ++painted;
    }
  EXPECT_GT(painted, 1000);
  TSkinRect cleared;
  ClearSkinRect(cleared);
  TDibHolder fresh;
  ASSERT_TRUE(CreateDib24(*fresh, 300, 260));
  PaintSkinWindow(ws_, *fresh, cleared, w);
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(GetDibPixel(*fresh, x, y), 0);
}

TEST_F(SkinPaint, CaptionTextIsCentredInsideTheCaptionBar) {
  TSkinWindow& w = Pocket();
  TDibHolder bare;
  ASSERT_TRUE(CreateDib24(*bare, 300, 260));
  PaintSkinWindow(ws_, *bare, WholeOf(*bare), w);
  SetSkinWindowCaption(w, u"Pocket 1");
  Paint(w);
  int minX = 1000, maxX = -1;
  for (int y = 0; y < 260; ++y)
    for (int x = 0; x < 300; ++x) {
      if (uint32_t(GetDibPixel(*bare, x, y)) == At(x, y)) continue;
      ASSERT_TRUE(y > w.CaptionRect.Top && y <= w.CaptionRect.Bottom && x >= w.CaptionRect.Left &&
                  x < w.Buttons[kSkinBtnCaption].Bounds.Left)
          << x << "," << y;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
    }
  ASSERT_GT(maxX - minX, 10);
  EXPECT_NEAR((minX + maxX + 1) / 2.0, 64.0, 1.5);  // centred on the window: 10 + 108 / 2
}

TEST_F(SkinPaint, BackgroundPictureScrollsAndNeverReadsPastItsEnd) {
  TDibHolder picture;
  ASSERT_TRUE(CreateDib24(*picture, 120, 90));
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) SetDibPixel(*picture, x, y, uint32_t(MakeColor(x, y, 7)));
  ws_.BackgroundPicture = &*picture;
  TSkinWindow& w = Pocket(400, 400);  // client 83 x 83
  w.Background = 12;
  w.ScrollX = 60;
  w.ScrollY = 30;
  RelayoutSkinWindow(w);
  ASSERT_EQ(w.ScrollX, 60);
  Paint(w);
  const TSkinRect& c = w.Client;
  EXPECT_EQ(At(c.Left, c.Top), uint32_t(MakeColor(60, 30, 7)));
  EXPECT_EQ(At(c.Left + 59, c.Top + 59), uint32_t(MakeColor(119, 89, 7)));
  // Beyond the picture's right and bottom: the no-picture grey.
  EXPECT_EQ(At(c.Left + 60, c.Top), 0x989898u);
  EXPECT_EQ(At(c.Right, c.Bottom), 0x989898u);
  // A picture code without a picture is grey too, not a near-black "colour" 12.
  ws_.BackgroundPicture = nullptr;
  Paint(w);
  EXPECT_EQ(At(c.Left, c.Top), 0x989898u);
  // Only 10 to 17 name a picture: the values just outside are near-black colours of their own.
  for (const uint32_t code : {9u, 10u, 17u, 18u}) {
    w.Background = code;
    Paint(w);
    EXPECT_EQ(At(c.Left, c.Top), code >= 10 && code <= 17 ? 0x989898u : code) << code;
  }
}

// Every client pixel at every scroll, grey strips one pixel wide included: the picture's pixel
// at the scrolled place while that is inside the picture, the no-picture grey past its right
// or bottom, whatever was there before.
TEST_F(SkinPaint, EveryClientPixelShowsThePictureOrTheGrey) {
  TDibHolder picture;
  ASSERT_TRUE(CreateDib24(*picture, 120, 90));
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) SetDibPixel(*picture, x, y, uint32_t(MakeColor(x, y, 7)));
  ws_.BackgroundPicture = &*picture;
  TSkinWindow& w = Pocket(400, 400);
  w.Background = 15;
  for (const auto& [sx, sy] : {std::pair{0, 0}, {37, 7}, {38, 8}, {60, 30}, {119, 89}, {120, 90}, {200, 10}}) {
    w.ScrollX = sx;
    w.ScrollY = sy;
    RelayoutSkinWindow(w);
    FillDibRect(*field_, 0, 0, 300, 260, 0);
    Paint(w);
    const TSkinRect& c = w.Client;
    for (int y = 0; y < c.Height; ++y)
      for (int x = 0; x < c.Width; ++x) {
        const bool inside = x + sx < 120 && y + sy < 90;
        ASSERT_EQ(At(c.Left + x, c.Top + y), inside ? uint32_t(MakeColor(x + sx, y + sy, 7)) : 0x989898u)
            << sx << "," << sy << ": " << x << "," << y;
      }
  }
}

// A thumb of any length: its two caps come from the sprite's ends and every pixel between them
// from the sprite's middle line, for both bars, down to a middle of one pixel and none.
TEST_F(SkinPaint, ScrollThumbsKeepTheirCapsAndStretchTheirMiddle) {
  TSkinWindow& w = Pocket(150, 150);
  for (const int index : {kSkinBtnHorzThumb, kSkinBtnVertThumb}) {
    Paint(w);
    const bool horz = index == kSkinBtnHorzThumb;
    const TSkinRect& s = w.Buttons[index].Sprites[0];
    const int sprite = horz ? s.Width : s.Height, cap = sprite / 2 - 1;
    const int painted = horz ? w.Buttons[index].Bounds.Width : w.Buttons[index].Bounds.Height;
    ASSERT_GT(painted, sprite + 4) << index;
    for (const int length : {painted, 2 * cap, 2 * cap + 1, 2 * cap + 2}) {  // as painted first
      TSkinButton b = w.Buttons[index];
      TSkinRect& B = b.Bounds;
      if (length != painted) {
        SetSkinRectBounds(B, B.Left, B.Top, horz ? length : B.Width, horz ? B.Height : length);
        FillDibRect(*field_, 0, 0, field_->Width, field_->Height, 0);
        PaintSkinButton(*field_, *frame_, WholeOf(*field_), b);
      }
      for (int along = 0; along < length; ++along) {
        const int from = along < cap ? along : along >= length - cap ? sprite - (length - along) : cap;
        for (int across = 0; across < (horz ? B.Height : B.Width); ++across) {
          if (horz)
            EXPECT_TRUE(From(*field_, B.Left + along, B.Top + across, s.Left + from, s.Top + across)) << length;
          else
            EXPECT_TRUE(From(*field_, B.Left + across, B.Top + along, s.Left + across, s.Top + from)) << length;
        }
      }
      const int past = horz ? B.Left + length : B.Top + length;  // and nothing past its end
      if (length != painted) {
        EXPECT_FALSE(SourceOf(*field_, horz ? past : B.Left, horz ? B.Top : past).has_value()) << length;
      }
    }
  }
}

// A new magnifier offers the zoom to three: only that button is painted in the corner, and
// after the zoom changes only the other one.
TEST_F(SkinPaint, TheMagnifierShowsOneZoomButton) {
  TSkinWindow& g = ws_.GlassWindow;
  SetupGlassWindow(g);
  g.Visible = true;
  PaintSkinWindow(ws_, *field_, WholeOf(*field_), g);
  const TSkinRect& zoom3 = g.Buttons[kSkinBtnZoom3].Bounds;
  const TSkinRect& s3 = g.Buttons[kSkinBtnZoom3].Sprites[0];
  const std::optional<Source> shown = SourceOf(*field_, zoom3.Left + 5, zoom3.Top + 5);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->x, s3.Left + 5);
  EXPECT_EQ(shown->y, s3.Top + 5);
  g.Buttons[kSkinBtnZoom3].Visible = false;
  g.Buttons[kSkinBtnZoom2].Visible = true;
  PaintSkinWindow(ws_, *field_, WholeOf(*field_), g);
  const TSkinRect& s2 = g.Buttons[kSkinBtnZoom2].Sprites[0];
  const std::optional<Source> other = SourceOf(*field_, zoom3.Left + 5, zoom3.Top + 5);
  ASSERT_TRUE(other.has_value());
  EXPECT_EQ(other->y, s2.Top + 5);
}
