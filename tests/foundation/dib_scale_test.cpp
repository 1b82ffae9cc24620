#include <gtest/gtest.h>

#include <vector>

#include "dib_test_util.h"
#include "foundation/dib_ops.h"
#include "foundation/numeric.h"

using namespace dibtest;

TEST(ScaleDib, WorkedExamples) {
  TDibHolder s, t;
  // Black, white onto four: fractions 0, 1/4, 1/2, 3/4 of 255, truncated.
  ASSERT_TRUE(CreateDib24(*s, 2, 1));
  SetDibPixel(*s, 1, 0, 0xFFFFFF);
  ASSERT_TRUE(CreateDib24(*t, 4, 1));
  ScaleDib(*t, *s);
  EXPECT_EQ(Pixels(*t), (std::vector<int32_t>{0, int32_t(Grey(63)), int32_t(Grey(127)), int32_t(Grey(191))}));

  // Three onto two: the step is a whole source pixel, so the samples are pixels 0 and 1.
  ASSERT_TRUE(CreateDib24(*s, 3, 1));
  for (int32_t x = 0; x < 3; ++x) SetDibPixel(*s, x, 0, Grey(100 * x));
  ASSERT_TRUE(CreateDib24(*t, 2, 1));
  ScaleDib(*t, *s);
  EXPECT_EQ(Pixels(*t), (std::vector<int32_t>{0, int32_t(Grey(100))}));
}

TEST(ScaleDib, TwoByTwoMixesFourPixelsWithEqualWeightsAtTheHalf) {
  // Steps of a half in both directions: (1, 0) averages the top pair, (0, 1) the left pair,
  // (1, 1) all four; each channel on its own.
  TDibHolder s, t;
  ASSERT_TRUE(CreateDib24(*s, 2, 2));
  SetDibPixel(*s, 0, 0, MakeColor(0, 10, 255));
  SetDibPixel(*s, 1, 0, MakeColor(100, 20, 255));
  SetDibPixel(*s, 0, 1, MakeColor(200, 30, 0));
  SetDibPixel(*s, 1, 1, MakeColor(40, 41, 0));
  ASSERT_TRUE(CreateDib24(*t, 2, 2));
  ScaleDib(*t, *s);
  // (0+100+200+40)/4, (10+20+30+41)/4 at (1, 1).
  EXPECT_EQ(Pixels(*t), (std::vector<int32_t>{MakeColor(0, 10, 255), MakeColor(50, 15, 255), MakeColor(100, 20, 127),
                                              MakeColor(85, 25, 127)}));
}

TEST(ScaleDibRect, AreasAreCutToBothImages) {
  TDibHolder s, big, small;
  ASSERT_TRUE(CreateDib24(*s, 6, 4));
  FillPattern(*s);
  ASSERT_TRUE(CreateDib24(*big, 10, 9));
  ASSERT_TRUE(CreateDib24(*small, 5, 3));
  ScaleDibRect(*big, 10, 9, *s, 6, 4);
  // A target area larger than the target: the part inside is what a large target would get.
  ScaleDibRect(*small, 10, 9, *s, 6, 4);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(GetDibPixel(*small, x, y), GetDibPixel(*big, x, y));
  // A source area beyond the source reads only the source.
  TDibHolder again;
  ASSERT_TRUE(CreateDib24(*again, 10, 9));
  ScaleDibRect(*again, 10, 9, *s, 600, 400);
  EXPECT_EQ(Pixels(*again), Pixels(*big));
  // Only the top-left area of the target is written.
  Fill(*again, 0x123456);
  ScaleDibRect(*again, 4, 2, *s, 6, 4);
  EXPECT_EQ(GetDibPixel(*again, 4, 0), 0x123456);
  EXPECT_EQ(GetDibPixel(*again, 0, 2), 0x123456);
  EXPECT_EQ(GetDibPixel(*again, 0, 0), int32_t(PatternColor(0, 0)));
}

TEST(RotateDib90, TurnsClockwiseAndFourTurnsComeBack) {
  TDibHolder s, t;
  ASSERT_TRUE(CreateDib24(*s, 2, 3));
  FillPattern(*s);
  ASSERT_TRUE(RotateDib90(*t, *s));
  EXPECT_EQ(t->Width, 3);
  EXPECT_EQ(t->Height, 2);
  EXPECT_EQ(GetDibPixel(*t, 2, 0), int32_t(PatternColor(0, 0)));  // top-left goes to top-right
  EXPECT_EQ(GetDibPixel(*t, 0, 1), int32_t(PatternColor(1, 2)));

  ASSERT_TRUE(CreateDib24(*s, 13, 7));
  FillPattern(*s);
  const std::vector<int32_t> start = Pixels(*s);
  TDibHolder a;
  ASSERT_TRUE(RotateDib90(*a, *s));
  for (int turn = 0; turn < 3; ++turn) ASSERT_TRUE(RotateDib90(*a, *a));  // in place
  EXPECT_EQ(a->Width, 13);
  EXPECT_EQ(Pixels(*a), start);
}

TEST(RotateDibWithMargin, KeepsABlackMarginAtTheRightAndBottom) {
  TDibHolder s, t;
  ASSERT_TRUE(CreateDib24(*s, 105, 55));
  Fill(*s, 0xFFFFFF);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 100; ++x) SetDibPixel(*s, x, y, PatternColor(x, y) | 0x010101);
  ASSERT_TRUE(RotateDibWithMargin(*t, *s, 5));
  ASSERT_EQ(t->Width, 55);
  ASSERT_EQ(t->Height, 105);
  for (int32_t y = 0; y < 105; ++y)
    for (int32_t x = 0; x < 55; ++x) {
      const int32_t want = x >= 50 || y >= 100 ? 0 : int32_t(PatternColor(y, 49 - x) | 0x010101);
      ASSERT_EQ(GetDibPixel(*t, x, y), want) << x << "," << y;
    }
  // The margin stays in place over four turns, and the picture comes back.
  ASSERT_TRUE(CreateDib24(*s, 105, 55));
  FillDibRect(*s, 0, 0, 100, 50, 0x445566);
  SetDibPixel(*s, 0, 0, 0xFF);
  const std::vector<int32_t> start = Pixels(*s);
  ASSERT_TRUE(RotateDibWithMargin(*t, *s, 5));
  for (int turn = 0; turn < 3; ++turn) ASSERT_TRUE(RotateDibWithMargin(*t, *t, 5));
  EXPECT_EQ(Pixels(*t), start);
}

// A large target is worked out in bands of rows over several threads: every pixel comes out
// as on one thread, and as the same scale of a small target gives its rows (each row depends
// on its number only).
TEST(ScaleDibRect, LargeTargetsAreAlikeOnAnyNumberOfThreads) {
  TDibHolder s, alone, shared, strip;
  ASSERT_TRUE(CreateDib24(*s, 97, 61));
  for (int32_t y = 0; y < 61; ++y)
    for (int32_t x = 0; x < 97; ++x) SetDibPixel(*s, x, y, MakeColor(x * 37 + y, y * 11 + x * 3, (x ^ y) * 5));
  constexpr int32_t w = 700, h = 419;  // past the size that is shared out
  ASSERT_TRUE(CreateDib24(*alone, w, h));
  ASSERT_TRUE(CreateDib24(*shared, w, h));
  ScaleDibRect(*alone, w, h, *s, 97, 61, 0);
  for (int32_t helpers : {1, 3, 7}) {
    FillDibRect(*shared, 0, 0, w, h, 0);
    ScaleDibRect(*shared, w, h, *s, 97, 61, helpers);
    EXPECT_EQ(Pixels(*shared), Pixels(*alone)) << helpers;
  }
  // The first 40 rows of the same scale, too small to share: the same pixels as the large one.
  ASSERT_TRUE(CreateDib24(*strip, w, 40));
  ScaleDibRect(*strip, w, h, *s, 97, 61, 3);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < w; x += 7) ASSERT_EQ(GetDibPixel(*strip, x, y), GetDibPixel(*alone, x, y)) << x << "," << y;
}
