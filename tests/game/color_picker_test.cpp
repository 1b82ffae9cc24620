#include "game/color_picker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/dib_ops.h"
#include "foundation/numeric.h"
#include "support/recording_host.h"

namespace {

constexpr uint32_t kGround = 0xF0F0F0;

// "Name arg..." as the recording host writes it.
std::string Call(const std::string& name, std::initializer_list<int32_t> args) {
  std::string c = name;
  for (int32_t v : args) c += " " + std::to_string(v);
  return c;
}

TColorPickerLayout Activate(TColorPicker& p) {
  p.BackColor = kGround;
  return ActivateColorPicker(p, TPickerControlSizes{});
}

// The centre of a cell.
int32_t Cx(const TSkinRect& r) { return r.Left + r.Width / 2; }
int32_t Cy(const TSkinRect& r) { return r.Top + r.Height / 2; }

}  // namespace

// --- The gamma field ---------------------------------------------------------------------------

TEST(GammaSquare, MiddleRowShowsEachSegmentStartAsPureHue) {
  // At x = k * 300 / 6 the segment k starts: its first colour, unshaded.
  const int32_t starts[6] = {MakeColor(255, 0, 0),   MakeColor(255, 0, 255), MakeColor(0, 0, 255),
                             MakeColor(0, 255, 255), MakeColor(0, 255, 0),   MakeColor(255, 255, 0)};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(GammaSquareColor(k * 50, 150, 300, 150), starts[k]) << k;
  // The last column is nearly back at red: 6 * 299 - 1500 = 294 of 300 steps of yellow to red.
  EXPECT_EQ(GammaSquareColor(299, 150, 300, 150), MakeColor(255, 255 - 294 * 255 / 300, 0));
}

TEST(GammaSquare, WhiteTopNearlyBlackBottomHalfwayInBetween) {
  for (int x : {0, 37, 150, 299}) {
    EXPECT_EQ(GammaSquareColor(x, 0, 300, 150), 0xFFFFFFu) << x;
    const uint32_t bottom = GammaSquareColor(x, 299, 300, 150);
    EXPECT_LE(bottom & 0xFF, 2u) << x;
    EXPECT_LE((bottom >> 8) & 0xFF, 2u) << x;
    EXPECT_LE(bottom >> 16, 2u) << x;
  }
  // Half way up from pure red: the zero channels rise by half of 255, truncated.
  EXPECT_EQ(GammaSquareColor(0, 75, 300, 150), MakeColor(255, 127, 127));
  // Half way down: red halves.
  EXPECT_EQ(GammaSquareColor(0, 225, 300, 150), MakeColor(128, 0, 0));
}

TEST(GammaCircle, WhiteCentreHueByAngleBlackTowardsTheRim) {
  uint32_t c = 0;
  ASSERT_TRUE(GammaCircleColor(150, 150, 150, c));
  EXPECT_EQ(c, 0xFFFFFFu);
  // Straight above the centre just inside the rim: red, almost black (255 - 255 * 74 / 75).
  ASSERT_TRUE(GammaCircleColor(150, 1, 150, c));
  EXPECT_EQ(c, MakeColor(4, 0, 0));
  // At the radius' half (75) the hue is unshaded: right 90 degrees, below 180, left 270.
  ASSERT_TRUE(GammaCircleColor(225, 150, 150, c));
  EXPECT_EQ(c, MakeColor(255 - 30 * 1530 / 360, 0, 255));
  ASSERT_TRUE(GammaCircleColor(150, 225, 150, c));
  EXPECT_EQ(c, MakeColor(0, 255, 255));
  ASSERT_TRUE(GammaCircleColor(75, 150, 150, c));
  EXPECT_EQ(c, MakeColor(30 * 1530 / 360, 255, 0));
}

TEST(GammaCircle, PointsAtARoundedDistanceOfTheRadiusHaveNoColour) {
  uint32_t c = 0x123456;
  EXPECT_FALSE(GammaCircleColor(150, 0, 150, c));
  EXPECT_FALSE(GammaCircleColor(0, 150, 150, c));
  EXPECT_FALSE(GammaCircleColor(0, 0, 150, c));
  // 106^2 + 106^2 = 22472 > 149.5^2: rounds to 150.
  EXPECT_FALSE(GammaCircleColor(150 - 106, 150 - 106, 150, c));
  EXPECT_EQ(c, 0x123456u);
  // 105^2 + 106^2 = 22261 < 149.5^2: rounds to 149.
  EXPECT_TRUE(GammaCircleColor(150 - 105, 150 - 106, 150, c));
  EXPECT_TRUE(GammaCircleColor(1, 150, 150, c));
}

TEST(GammaField, RenderedCircleShowsTheGroundOutsideAndCannotBePickedThere) {
  TRecordingHost log;
  TColorPicker p;
  p.GammaMode = kGammaCircle;
  Activate(p);
  EXPECT_EQ(uint32_t(GetDibPixel(*p.Gamma, 0, 0)), kGround);
  EXPECT_EQ(uint32_t(GetDibPixel(*p.StoreGamma, 0, 0)), kGround);
  EXPECT_EQ(uint32_t(GetDibPixel(*p.StoreGamma, 150, 150)), 0xFFFFFFu);
  p.WoodHost = &log;
  p.BackgroundHost = &log;
  const int32_t before = p.PickedColor;
  EXPECT_FALSE(GammaMouseDown(p, 2, 2));
  EXPECT_EQ(p.PickedColor, before);
  EXPECT_TRUE(log.Calls.empty());
}

TEST(GammaField, FindsTheClosestPointRowByRowAndSkipsTheGroundOutsideTheCircle) {
  TColorPicker p;
  p.BackColor = 0xFFFFFF;  // a ground the same white as the circle's centre
  p.GammaMode = kGammaCircle;
  ActivateColorPicker(p, TPickerControlSizes{});
  int32_t x = -1, y = -1;
  ASSERT_TRUE(FindColorInGamma(p, 0xFFFFFF, x, y));
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 150);

  p.GammaMode = kGammaSquare;
  RenderGamma(p);
  // White fills the whole top row: the first pixel wins.
  ASSERT_TRUE(FindColorInGamma(p, 0xFFFFFF, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  // Pure red lies only at the start of the middle row.
  ASSERT_TRUE(FindColorInGamma(p, 0x0000FF, x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 150);
  // Below the middle row red darkens: 255 - 255 * 2 / 150 = 252 two rows down.
  ASSERT_TRUE(FindColorInGamma(p, MakeColor(252, 0, 0), x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 152);
  // 253 is one away from both 254 (row 151) and 252 (row 152): the upper row wins.
  ASSERT_TRUE(FindColorInGamma(p, MakeColor(253, 0, 0), x, y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 151);
  // Grey is nowhere in the square: every point has a channel at 0 or 255.
  EXPECT_FALSE(FindColorInGamma(p, 0x808080, x, y));
}

// Against a plain search, on small fields of channels ten apart (so that differences of 5
// and 6, ties and misses are common) and on the circle: each channel within 5 (5 itself counts), the
// smallest sum of differences, the first on a tie row by row, nothing outside the circle.
TEST(GammaField, FindsWhatAPlainSearchFinds) {
  uint32_t seed = 3;
  const auto next = [&](uint32_t n) { return int32_t(((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) % n); };
  TColorPicker square, circle;
  circle.GammaMode = kGammaCircle;
  Activate(square);
  Activate(circle);
  for (int32_t round = 0; round < 40; ++round) {
    TColorPicker& p = round < 30 ? square : circle;
    TDibImage& field = *p.StoreGamma;
    if (round < 30) {
      ASSERT_TRUE(CreateDib24(field, 9, 7));
      for (int32_t y = 0; y < field.Height; ++y)
        for (int32_t x = 0; x < field.Width; ++x)
          SetDibPixel(field, x, y, MakeColor(100 + 10 * next(3), 100 + 10 * next(3), 100 + 10 * next(3)));
    }
    const int32_t color = round < 30 ? int32_t(MakeColor(95 + next(31), 95 + next(31), 95 + next(31)))
                                     : int32_t(uint32_t(GetDibPixel(field, next(300), next(300))) ^ next(8));
    int32_t best = -1, bx = -1, by = -1;
    for (int32_t y = 0; y < field.Height; ++y)
      for (int32_t x = 0; x < field.Width; ++x) {
        uint32_t c = uint32_t(GetDibPixel(field, x, y));
        if (round >= 30 && !GammaCircleColor(x, y, field.Width / 2, c)) continue;
        int32_t sum = 0, far = 0;
        for (int32_t k = 0; k < 24; k += 8) {
          const int32_t d = std::abs(int32_t((c >> k) & 255) - ((color >> k) & 255));
          sum += d;
          far |= d > 5;
        }
        if (!far && (best < 0 || sum < best)) best = sum, bx = x, by = y;
      }
    int32_t x = -1, y = -1;
    EXPECT_EQ(FindColorInGamma(p, color, x, y), best >= 0) << round << " " << std::hex << color;
    if (best >= 0) {
      EXPECT_EQ(x, bx) << round << " " << std::hex << color;
      EXPECT_EQ(y, by) << round << " " << std::hex << color;
    }
  }
}

TEST(GammaField, MarkerInvertsTheOutlineOfAFiveByFiveSquareCutAtTheEdge) {
  TColorPicker p;
  p.PickedColor = 0x0000FF;  // found at (0, 150)
  Activate(p);
  const TDibImage& g = *p.Gamma;
  const TDibImage& clean = *p.StoreGamma;
  for (int y = 146; y <= 154; ++y)
    for (int x = 0; x <= 4; ++x) {
      const bool outline = (x == 2 && y >= 148 && y <= 152) || ((y == 148 || y == 152) && x <= 2);
      const uint32_t expected =
          outline ? ~uint32_t(GetDibPixel(clean, x, y)) & 0xFFFFFF : uint32_t(GetDibPixel(clean, x, y));
      EXPECT_EQ(uint32_t(GetDibPixel(g, x, y)), expected) << x << "," << y;
    }
}

TEST(GammaField, NoMarkerForAColourThatIsNowhereOrForAPicture) {
  for (int32_t code : {0x808080, 12}) {
    TColorPicker p;
    p.PickedColor = code;
    Activate(p);
    EXPECT_EQ(0, std::memcmp(p.Gamma->Bits, p.StoreGamma->Bits, size_t(p.Gamma->ImageSize))) << code;
  }
}

TEST(GammaField, SwitchingModeRendersTheOtherFieldAndMarksThePickAgain) {
  TColorPicker p;
  p.PickedColor = 0xFFFFFF;
  Activate(p);
  EXPECT_NE(uint32_t(GetDibPixel(*p.Gamma, 1, 2)), 0xFFFFFFu);  // marker round (0, 0)
  SetGammaMode(p, kGammaCircle);
  EXPECT_EQ(p.GammaMode, kGammaCircle);
  EXPECT_EQ(uint32_t(GetDibPixel(*p.StoreGamma, 1, 2)), kGround);
  // The marker sits round the centre now.
  EXPECT_EQ(uint32_t(GetDibPixel(*p.Gamma, 152, 150)), ~uint32_t(GetDibPixel(*p.StoreGamma, 152, 150)) & 0xFFFFFF);
}

// --- Palette, default colours, pictures -------------------------------------------------------

TEST(Palette, CellsFollowTheGridAndTheirColours) {
  TColorPicker p;
  Activate(p);
  EXPECT_EQ(p.PaletteCellRects[9].Left, 34);
  EXPECT_EQ(p.PaletteCellRects[9].Top, 34);
  EXPECT_EQ(p.PaletteCellRects[47].Right, 7 * 28 + 6 + 23);
  for (int i = 0; i < kPaletteColorCount; ++i)
    EXPECT_EQ(GetDibPixel(*p.Pal, Cx(p.PaletteCellRects[i]), Cy(p.PaletteCellRects[i])), PaletteColors[i]) << i;
  EXPECT_EQ(GetDibPixel(*p.Pal, 0, 0), 0);  // black outline
  EXPECT_EQ(uint32_t(GetDibPixel(*p.Pal, 3, 3)), kGround);
}

TEST(Palette, PickedCellGetsAThreePixelMarkerYellowRoundTheFourDarkest) {
  for (int i = 0; i < kPaletteColorCount; ++i) {
    TColorPicker p;
    p.PickedColor = PaletteColors[i];
    Activate(p);
    EXPECT_EQ(p.PaletteIndex, i);
    const TSkinRect& r = p.PaletteCellRects[i];
    const uint32_t marker = (i >= 40 && i <= 43) ? 0x00FFFFu : 0u;
    EXPECT_EQ(uint32_t(GetDibPixel(*p.Pal, r.Left - 3, r.Top - 3)), marker) << i;
    EXPECT_EQ(uint32_t(GetDibPixel(*p.Pal, r.Right + 3, r.Bottom + 3)), marker) << i;
    EXPECT_EQ(uint32_t(GetDibPixel(*p.Pal, r.Right + 4, r.Bottom + 4)), kGround) << i;
    EXPECT_EQ(GetDibPixel(*p.Pal, r.Left, r.Top), PaletteColors[i]) << i;
  }
}

TEST(Palette, ClickingAColourPicksItAndPreviewsItOnce) {
  TRecordingHost log;
  TColorPicker p;
  SetupWoodColorPicker(p, 0x49687A, log);
  Activate(p);
  const TSkinRect& cell = p.PaletteCellRects[13];
  ASSERT_TRUE(PaletteMouseDown(p, cell.Left, cell.Bottom));  // edges count
  EXPECT_EQ(p.PickedColor, 0x00A000);
  EXPECT_EQ(p.PaletteIndex, 13);
  EXPECT_EQ(log.Calls, std::vector<std::string>{Call("SetWoodColor", {0x00A000})});
  EXPECT_EQ(uint32_t(GetDibPixel(*p.SelCol, 5, 5)), 0x00A000u);
}

TEST(Palette, ClickingThePickedColourOrTheGapsChangesAndAppliesNothing) {
  TRecordingHost log;
  TColorPicker p;
  SetupWoodColorPicker(p, 0xE0E000, log);
  Activate(p);
  EXPECT_FALSE(PaletteMouseDown(p, Cx(p.PaletteCellRects[35]), Cy(p.PaletteCellRects[35])));
  EXPECT_FALSE(PaletteMouseDown(p, 31, 10));  // between two cells
  EXPECT_FALSE(PaletteMouseDown(p, 2, 2));
  EXPECT_EQ(p.PickedColor, 0xE0E000);
  EXPECT_TRUE(log.Calls.empty());
}

TEST(DefaultColors, ShownUpToTheFirstEmptyEntryInAnImageSizedToThem) {
  TRecordingHost log;
  TColorPicker p;
  p.DefaultColors[0] = 0x111111;
  p.DefaultColors[1] = 0x222222;
  p.DefaultColors[2] = 0x333333;
  p.DefaultColors[4] = 0x555555;  // after the first empty entry: not shown
  const TColorPickerLayout l = Activate(p);
  EXPECT_EQ(p.DefaultColorCount, 3);
  ASSERT_TRUE(l.DefColShown);
  EXPECT_EQ(l.I_DefCol.Width, 92);
  EXPECT_EQ(p.DefCol->Width, 92);
  EXPECT_EQ(l.I_DefCol.Right(), l.I_Pal.Right() + 1);
  EXPECT_EQ(GetDibPixel(*p.DefCol, Cx(p.DefaultColorRects[2]), 18), 0x333333);

  p.WoodHost = &log;
  p.BackgroundHost = &log;
  p.PickTarget = 4;
  ASSERT_TRUE(DefColMouseDown(p, Cx(p.DefaultColorRects[1]), 18));
  EXPECT_EQ(p.PickedColor, 0x222222);
  EXPECT_EQ(p.DefaultColorIndex, 1);
  EXPECT_EQ(uint32_t(GetDibPixel(*p.DefCol, p.DefaultColorRects[1].Left - 2, 4)), 0u);
  EXPECT_EQ(log.Calls, (std::vector<std::string>{Call("SetWindowBackground", {4, 0x222222}), "RedrawBackgrounds"}));
  EXPECT_FALSE(DefColMouseDown(p, 3 * 28 + 10, 18));  // where a fourth cell would be
}

TEST(DefaultColors, AnEmptyFirstEntryHidesTheRow) {
  TColorPicker p;
  p.DefaultColors[1] = 0x222222;
  const TColorPickerLayout l = Activate(p);
  EXPECT_FALSE(l.DefColShown);
  EXPECT_EQ(p.DefaultColorCount, 0);
  EXPECT_EQ(l.L_SelColCap.Top, l.I_Pal.Bottom() + 16);
  EXPECT_FALSE(DefColMouseDown(p, 18, 18));
}

TEST(BackgroundPictures, PickingPictureKGivesCodeTenPlusKAndHidesTheColourSwatch) {
  TBackgroundButtons buttons;
  for (int k = 0; k < kBackgroundPictureCount; ++k) {
    CreateDib24(*buttons.Buttons[k], kBackgroundButtonWidth, kBackgroundButtonHeight);
    FillDibRect(*buttons.Buttons[k], 0, 0, 63, 50, uint32_t(0x101010 * (k + 1)));
  }
  for (int k = 0; k < kBackgroundPictureCount; ++k) {
    TRecordingHost log;
    TColorPicker p;
    SetupAllWindowsPicker(p, 0x989898, log);
    p.Buttons = &buttons;
    Activate(p);
    const TSkinRect& cell = p.BkgPictureRects[k];
    EXPECT_EQ(cell.Left, k * 67 + 6);
    ASSERT_TRUE(BkgPicsMouseDown(p, Cx(cell), Cy(cell)));
    EXPECT_EQ(p.PickedColor, 10 + k);
    EXPECT_EQ(p.BkgPictureIndex, k);
    EXPECT_FALSE(p.SelColVisible);
    EXPECT_EQ(GetDibPixel(*p.BkgPics, cell.Right, cell.Bottom), 0x101010 * (k + 1));
    EXPECT_EQ(GetDibPixel(*p.BkgPics, cell.Left - 1, cell.Top - 1), 0);
    std::vector<std::string> expected{Call("LoadBackgroundPicture", {10 + k})};
    for (int w = 0; w < 6; ++w) expected.push_back(Call("SetWindowBackground", {w, 10 + k}));
    expected.push_back(Call("SetFieldBackground", {10 + k}));
    expected.push_back("RedrawBackgrounds");
    EXPECT_EQ(log.Calls, expected);
    // Back to a colour: the swatch returns.
    ASSERT_TRUE(PaletteMouseDown(p, Cx(p.PaletteCellRects[0]), Cy(p.PaletteCellRects[0])));
    EXPECT_TRUE(p.SelColVisible);
    EXPECT_EQ(p.BkgPictureIndex, -1);
  }
}

TEST(BackgroundPictures, APictureThatCannotBeLoadedGivesGreyEverywhere) {
  TRecordingHost log;
  TColorPicker p;
  SetupAllWindowsPicker(p, 0x0000C0, log);
  Activate(p);  // no buttons at all: empty cells
  EXPECT_EQ(GetDibPixel(*p.BkgPics, Cx(p.BkgPictureRects[0]), Cy(p.BkgPictureRects[0])), 0x989898);
  log.PicturesLoad = false;
  ASSERT_TRUE(BkgPicsMouseDown(p, Cx(p.BkgPictureRects[5]), Cy(p.BkgPictureRects[5])));
  EXPECT_EQ(p.PickedColor, 0x989898);
  for (int w = 0; w < 6; ++w) EXPECT_EQ(log.Count(Call("SetWindowBackground", {w, 0x989898})), 1);
  EXPECT_EQ(log.Count(Call("SetFieldBackground", {0x989898})), 1);
  // The picker shows what the windows got.
  EXPECT_EQ(p.BkgPictureIndex, -1);
  EXPECT_EQ(p.DefaultColorIndex, 0);
  EXPECT_EQ(p.PaletteIndex, 44);
  EXPECT_TRUE(p.SelColVisible);
  EXPECT_EQ(GetDibPixel(*p.SelCol, 0, 0), 0x989898);
}

TEST(BackgroundPictures, NotOfferedNoCellsToPick) {
  TRecordingHost log;
  TColorPicker p;
  SetupWindowPicker(p, 0x989898, 2, log);
  const TColorPickerLayout l = Activate(p);
  EXPECT_EQ(p.BkgPics->Width, 0);
  EXPECT_FALSE(BkgPicsMouseDown(p, 30, 30));
  EXPECT_EQ(l.ClientHeight, l.B_OK.Bottom() + 12);
  EXPECT_LT(l.B_OK.Top, l.I_Gamma.Bottom() + 40);
}

TEST(BackgroundPictures, AWindowStartingOnAPictureKeepsItWithoutAColourSwatch) {
  TRecordingHost log;
  TColorPicker p;
  SetupWindowPicker(p, 15, 0, log);
  Activate(p);
  EXPECT_EQ(p.PickedColor, 15);
  EXPECT_FALSE(p.SelColVisible);
}

// --- Gamma picks, hover and layout ------------------------------------------------------------

TEST(GammaPick, APointBecomesThePickEvenWhenItIsThePickAlready) {
  TRecordingHost log;
  TColorPicker p;
  SetupWindowPicker(p, 0x989898, 3, log);
  Activate(p);
  ASSERT_TRUE(GammaMouseDown(p, 0, 150));
  EXPECT_EQ(p.PickedColor, 0x0000FF);
  EXPECT_EQ(GetDibPixel(*p.PointColor, 1, 1), 0x0000FF);
  EXPECT_EQ(p.PaletteIndex, -1);
  ASSERT_TRUE(GammaMouseDown(p, 0, 150));
  EXPECT_EQ(log.Count(Call("SetWindowBackground", {3, 0x0000FF})), 2);
}

// A press or hover just off any edge of the square field is no point of it: nothing is picked
// and the point colour keeps what it showed.
TEST(GammaPick, PointsJustOffTheSquareArePickedNowhere) {
  TRecordingHost log;
  TColorPicker p;
  SetupWindowPicker(p, 0x989898, 3, log);
  Activate(p);
  const int32_t size = p.GammaSize, mid = size / 2;
  ASSERT_GT(size, 0);
  const struct {
    int32_t x, y;
  } off[] = {{-1, mid}, {mid, -1}, {size, mid}, {mid, size}, {-1, -1}, {size, size}, {-1, size}, {size, -1}};
  for (const auto& o : off) {
    SCOPED_TRACE(std::to_string(o.x) + "," + std::to_string(o.y));
    FillDibRect(*p.PointColor, 0, 0, p.PointColor->Width, p.PointColor->Height, 0x010203);
    p.PickedColor = 0x989898;
    EXPECT_FALSE(GammaMouseDown(p, o.x, o.y));
    GammaMouseMove(p, o.x, o.y);
    EXPECT_EQ(p.PickedColor, 0x989898);
    EXPECT_EQ(GetDibPixel(*p.PointColor, 1, 1), 0x010203);
  }
  EXPECT_EQ(log.Count("SetWindowBackground"), 0);
}

TEST(GammaPick, HoverShowsThePointColourAndLeavesItOutsideTheCircle) {
  TColorPicker p;
  Activate(p);
  EXPECT_EQ(GetDibPixel(*p.PointColor, 0, 0), 0x008000);  // the start fill
  p.PointColorVisible = false;
  GammaMouseMove(p, 0, 0);
  EXPECT_TRUE(p.PointColorVisible);
  EXPECT_EQ(GetDibPixel(*p.PointColor, 0, 0), 0xFFFFFF);
  SetGammaMode(p, kGammaCircle);
  GammaMouseMove(p, 0, 0);
  EXPECT_EQ(GetDibPixel(*p.PointColor, 0, 0), 0xFFFFFF);
}

TEST(Layout, ControlsStandWhereTheirNeighboursPutThem) {
  TRecordingHost log;
  TColorPicker p;
  SetupAllWindowsPicker(p, 0x989898, log);
  TPickerControlSizes sizes;
  sizes.LabelHeight = 17;
  const TColorPickerLayout l = ActivateColorPicker(p, sizes);
  EXPECT_EQ(l.I_Pal.Left, 16);
  EXPECT_EQ(l.I_Pal.Top, 12 + 17 + 8);
  EXPECT_EQ(l.L_GammaCap.Left, l.I_Pal.Right() + 16);
  EXPECT_EQ(l.I_Gamma.Top, l.I_Pal.Top);
  EXPECT_EQ(l.B_GammaSquare.Right(), l.I_Gamma.Right());
  EXPECT_EQ(l.B_GammaSquare.Bottom(), l.I_Gamma.Top - 4);
  EXPECT_EQ(l.B_GammaCircle.Right(), l.B_GammaSquare.Left - 4);
  EXPECT_EQ(l.I_SelCol.Width, 112);
  EXPECT_EQ(l.I_SelCol.Bottom(), l.I_Gamma.Bottom());
  EXPECT_EQ(l.I_PointColor.Right(), l.I_Pal.Right());
  EXPECT_EQ(l.I_PointColor.Top, l.I_SelCol.Top);
  EXPECT_EQ(l.I_BkgPics.Top, l.L_BkgPicsCap.Bottom() + 8);
  EXPECT_EQ(l.L_BkgPicsCap.Top, l.I_Gamma.Bottom() + 16);
  EXPECT_EQ(l.B_Cancel.Right(), l.I_Gamma.Right());
  EXPECT_EQ(l.B_Cancel.Top, l.I_BkgPics.Bottom() + 24);
  EXPECT_EQ(l.B_OK.Right(), l.B_Cancel.Left - 16);
  EXPECT_EQ(l.ClientWidth, l.I_Gamma.Right() + 16);  // the field reaches further than the pictures
  EXPECT_EQ(l.ClientHeight, l.B_OK.Bottom() + 12);
}
