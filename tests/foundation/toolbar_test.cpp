#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/numeric.h"
#include "foundation/toolbar.h"

namespace {

struct ToolbarHolder {
  TToolbar t;
  ToolbarHolder() { InitToolbar(t); }
  ~ToolbarHolder() { FreeToolbar(t); }
  TToolbarButton& operator[](int i) { return t.ToolbarButtons[i]; }
};

// A sheet whose every pixel tells where it came from: red = x mod 256, green = y, blue = x / 256.
void FillWithCoordinates(TDibImage& d) {
  for (int y = 0; y < d.Height; ++y)
    for (int x = 0; x < d.Width; ++x) SetDibPixel(d, x, y, MakeColor(x & 255, y, x >> 8));
}

// The sheet position a pixel was copied from.
void Origin(const TDibImage& d, int x, int y, int& sx, int& sy) {
  const int32_t c = GetDibPixel(d, x, y);
  int32_t r, g, b;
  SplitColor(uint32_t(c), r, g, b);
  sx = r + 256 * b;
  sy = g;
}

// Where a pixel came from in the sheet; sy < 0 checks only the column.
::testing::AssertionResult CameFrom(const TDibImage& d, int x, int y, int sx, int sy = -1) {
  int gx, gy;
  Origin(d, x, y, gx, gy);
  if (gx == sx && (sy < 0 || gy == sy)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << x << "," << y << ") from (" << gx << "," << gy << ")";
}

// The row of buttons from the left, as the toolbar is meant to read.
const int kRowOrder[] = {19, 0, 1, 2, 3, 4, 7, 8, 5, 6, 9, 10, 11, 12, 13, 14, 15, 16, 21, 17, 18};

}  // namespace

TEST(ToolbarLayout, GapsFollowTheWidthTiers) {
  struct Case {
    int width;
    bool full;
    int big, small;
  } cases[] = {{640, true, 10, 1},  {641, false, 12, 2}, {641, true, 8, 2},     {800, false, 12, 2},
               {801, false, 24, 8}, {1024, true, 20, 8}, {1025, false, 26, 10}, {1025, true, 26, 10}};
  for (const Case& c : cases) {
    int big = -1, small = -1;
    ToolbarGaps(c.width, c.full, big, small);
    EXPECT_EQ(big, c.big) << c.width << " full " << c.full;
    EXPECT_EQ(small, c.small) << c.width << " full " << c.full;
  }
}

TEST(ToolbarLayout, NoButtonsOverlapOrLeaveTheWindowAtAnyWidth) {
  ToolbarHolder h;
  for (int full = 0; full < 2; ++full) {
    int lastVisibleCount = 0;
    for (int width = 0; width <= 4000; ++width) {
      LayoutToolbar(h.t, width, full != 0);
      std::vector<int> visible;
      for (int i = 0; i < kToolbarButtonCount; ++i)
        if (h[i].Visible) visible.push_back(i);
      for (size_t a = 0; a < visible.size(); ++a) {
        const TToolbarButton& p = h[visible[a]];
        ASSERT_GE(p.Left, 0) << width;
        ASSERT_LE(p.Left + p.Width, width) << width << " button " << visible[a];
        for (size_t b = a + 1; b < visible.size(); ++b) {
          const TToolbarButton& q = h[visible[b]];
          const bool apart = p.Left + p.Width <= q.Left || q.Left + q.Width <= p.Left;
          ASSERT_TRUE(apart) << width << " full " << full << ": " << visible[a] << " and " << visible[b];
        }
      }
      // The row keeps its order, and what it hides is its right end.
      bool hidden = false;
      for (int k = 0; k < 21; ++k) {
        const TToolbarButton& b = h[kRowOrder[k]];
        if (!b.Visible) hidden = true;
        ASSERT_FALSE(hidden && b.Visible) << width;
        if (k > 0) {
          ASSERT_GT(b.Left, h[kRowOrder[k - 1]].Left) << width;
        }
      }
      // A wider window never shows fewer buttons.
      const int count = int(visible.size());
      ASSERT_GE(count, lastVisibleCount) << width << " full " << full;
      lastVisibleCount = count;
      if (full && width >= 30) {
        ASSERT_TRUE(h[kToolbarClose].Visible) << width;
      }
    }
    // From about 680 pixels on, every button is shown.
    LayoutToolbar(h.t, 700, full != 0);
    for (int i = 0; i < kToolbarButtonCount; ++i)
      EXPECT_EQ(h[i].Visible, full || (i != kToolbarMin && i != kToolbarClose)) << i;
  }
}

TEST(ToolbarFaces, EachStateCopiesItsOwnCellOfTheSheet) {
  ToolbarHolder h;
  ASSERT_TRUE(CreateDib24(h.t.ToolbarSkin, kToolbarSheetWidth, kToolbarSheetHeight));
  FillWithCoordinates(h.t.ToolbarSkin);
  TDibHolder frame;
  ASSERT_TRUE(CreateDib32(*frame, 390, 170));
  PaintToolbarSkin(h.t, *frame, 1024, 35, 300);

  auto expectFace = [&](int index, int column, int y0, const char* what) {
    const TDibImage& f = h[index].Face;
    ASSERT_EQ(f.Width * 100 + f.Height, 2929);
    for (int y = 0; y < 29; y += 7)
      for (int x = 0; x < 29; x += 4)
        ASSERT_TRUE(CameFrom(f, x, y, 30 * column + 1 + x, y0 + y)) << what << " button " << index;
  };

  expectFace(0, 0, 1, "normal");
  expectFace(21, 21, 1, "normal, last column");
  expectFace(12, 9, 1, "pockets share column 9");

  PaintToolbarButton(h.t, 5, true);
  expectFace(5, 5, 31, "pressed");

  SetToolbarButtonDown(h.t, 21, true);
  expectFace(21, 21, 31, "latched");
  PaintToolbarButton(h.t, 21, false);
  expectFace(21, 21, 31, "latched, not pressed");

  SetToolbarButtonEnabled(h.t, 14, false);
  expectFace(14, 12, 61, "disabled");
  SetToolbarButtonEnabled(h.t, 21, false);
  expectFace(21, 21, 61, "disabled while latched");
  SetToolbarButtonEnabled(h.t, 14, true);
  expectFace(14, 12, 1, "enabled again");

  h[kToolbarWeight].SkinColumn = 15;
  PaintToolbarButton(h.t, kToolbarWeight, false);
  expectFace(kToolbarWeight, 15, 1, "weight on");
  h[10].SkinColumn = 10;
  PaintToolbarButton(h.t, 10, true);
  expectFace(10, 10, 31, "pocket with pieces");
}

TEST(ToolbarFaces, ReleasingPaintsTheHoveredButtonBackUnlessLatched) {
  ToolbarHolder h;
  ASSERT_TRUE(CreateDib24(h.t.ToolbarSkin, kToolbarSheetWidth, kToolbarSheetHeight));
  FillWithCoordinates(h.t.ToolbarSkin);
  TDibHolder frame;
  ASSERT_TRUE(CreateDib32(*frame, 390, 170));
  PaintToolbarSkin(h.t, *frame, 800, 35, 300);
  EXPECT_EQ(ReleaseToolbarButton(h.t), -1);  // nothing hovered
  for (int past : {-2, kToolbarButtonCount, kToolbarButtonCount + 1}) {
    h.t.PressedToolbarButton = past;  // no such button: forgotten, nothing released
    EXPECT_EQ(ReleaseToolbarButton(h.t), -1) << past;
    EXPECT_EQ(h.t.PressedToolbarButton, -1) << past;
  }

  h.t.PressedToolbarButton = 3;
  PaintToolbarButton(h.t, 3, true);
  EXPECT_EQ(ReleaseToolbarButton(h.t), 3);
  EXPECT_EQ(h.t.PressedToolbarButton, -1);
  EXPECT_TRUE(CameFrom(h[3].Face, 0, 0, 91, 1));

  SetToolbarButtonDown(h.t, 5, true);
  h.t.PressedToolbarButton = 5;
  EXPECT_EQ(ReleaseToolbarButton(h.t), -1);  // a latched button keeps its down face
  EXPECT_EQ(h.t.PressedToolbarButton, 5);
  EXPECT_TRUE(CameFrom(h[5].Face, 0, 0, 151, 31));
}

TEST(ToolbarSkin, BackgroundsAreBuiltFromTheirSkinPieces) {
  ToolbarHolder h;
  TDibHolder frame;
  ASSERT_TRUE(CreateDib32(*frame, 390, 170));
  FillWithCoordinates(*frame);
  PaintToolbarSkin(h.t, *frame, 1000, 35, 200);
  const TDibImage& bar = h.t.ToolbarImage;
  ASSERT_EQ(bar.Width, 1000);
  ASSERT_EQ(bar.Height, 35);
  EXPECT_TRUE(CameFrom(bar, 0, 0, 308, 115));  // left cap
  EXPECT_TRUE(CameFrom(bar, 9, 34, 317, 149));
  EXPECT_TRUE(CameFrom(bar, 10, 3, 328, 118));  // the first 50-wide tile starts at 0, under the cap
  EXPECT_TRUE(CameFrom(bar, 975, 0, 318 + 25));
  EXPECT_TRUE(CameFrom(bar, 990, 0, 368));  // right cap
  EXPECT_TRUE(CameFrom(bar, 999, 0, 377));
  const TDibImage& panel = h.t.ProgressBkg;
  ASSERT_EQ(panel.Height, 100);
  EXPECT_TRUE(CameFrom(panel, 0, 0, 308, 1));
  EXPECT_TRUE(CameFrom(panel, 15, 99, 318 + 5, 100));
  EXPECT_TRUE(CameFrom(panel, 195, 0, 328 + 5));
  ASSERT_EQ(h.t.ProgressBarEmpty.Width, 130);
  ASSERT_EQ(h.t.ProgressBarEmpty.Height, 20);
  EXPECT_TRUE(CameFrom(h.t.ProgressBarEmpty, 0, 0, 340, 22));
  EXPECT_TRUE(CameFrom(h.t.ProgressBarEmpty, 64, 19, 354, 41));
  EXPECT_TRUE(CameFrom(h.t.ProgressBarEmpty, 129, 0, 369));
  EXPECT_TRUE(CameFrom(h.t.ProgressBar, 125, 0, 365, 1));
}

// The gaps of the row: small before Save, the current background, the second side and the
// second to fourth pockets and Arrange, big elsewhere, each kind the same all along. They are
// the width's own gaps when the row fits with them before the limit (the window, or the small
// gap before the window buttons), and shrink only as far as it takes the buttons to fit.
TEST(ToolbarLayout, GapsAreTheWidthsOwnUnlessTheRowWouldNotFit) {
  ToolbarHolder h;
  const std::vector<int> smallBefore = {1, 4, 6, 10, 11, 12, 14};
  for (const bool full : {false, true})
    for (int width = 0; width <= 1400; ++width) {
      SCOPED_TRACE(testing::Message() << width << " full " << full);
      LayoutToolbar(h.t, width, full);
      int big, small;
      ToolbarGaps(width, full, big, small);
      int limit = width;
      if (full && h[kToolbarMin].Visible)
        limit = h[kToolbarMin].Left - small;
      else if (full && h[kToolbarClose].Visible)
        limit = h[kToolbarClose].Left - small;
      std::vector<int> smallGaps, bigGaps;
      for (int k = 1; k < 21; ++k) {
        const TToolbarButton &b = h[kRowOrder[k]], &a = h[kRowOrder[k - 1]];
        const bool isSmall = std::count(smallBefore.begin(), smallBefore.end(), kRowOrder[k]) > 0;
        (isSmall ? smallGaps : bigGaps).push_back(b.Left - a.Left - a.Width);
      }
      ASSERT_EQ(smallGaps.size(), 7u);
      ASSERT_EQ(std::count(smallGaps.begin(), smallGaps.end(), smallGaps[0]), 7);
      ASSERT_EQ(std::count(bigGaps.begin(), bigGaps.end(), bigGaps[0]), 13);
      const int buttons = 4 + 21 * kToolbarFaceSize;
      if (buttons + 13 * big + 7 * small <= limit) {
        ASSERT_EQ(bigGaps[0], big);
        ASSERT_EQ(smallGaps[0], small);
      } else {
        ASSERT_LT(buttons + 13 * bigGaps[0] + 7 * smallGaps[0], buttons + 13 * big + 7 * small);
        ASSERT_GE(std::min(bigGaps[0], smallGaps[0]), 0);
      }
      const bool allShown =
          std::all_of(std::begin(kRowOrder), std::end(kRowOrder), [&](int i) { return h[i].Visible; });
      ASSERT_EQ(allShown, buttons <= limit);
    }
}
