#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "foundation/dib_image.h"
#include "foundation/numeric.h"

TEST(DibImage, RowsRoundUpToFourBytesAndTheTopRowIsLastInMemory) {
  TDibHolder d;
  for (auto [width, stride] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}}) {
    ASSERT_TRUE(CreateDib24(*d, width, 3));
    EXPECT_EQ(d->ImageSize, stride * 3) << width;
  }
  ASSERT_TRUE(CreateDib8(*d, 1015, 132));
  EXPECT_EQ(d->RowStride, 1016);
  ASSERT_TRUE(CreateDib32(*d, 4, 3));
  EXPECT_TRUE(d->HasAlpha);
  EXPECT_EQ(DibPixelAddress(*d, 0, 0), d->Bits + 2 * d->RowStride);
}

TEST(DibImage, PixelsKeepAlphaReadOutsideAsMinusOneAndAbsurdSizesAreRefused) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib32(*d, 3, 2));
  uint8_t* p = DibPixelAddress(*d, 2, 1);
  p[3] = 77;
  SetDibPixel(*d, 2, 1, 0x00A0B0C0);
  EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{0xA0, 0xB0, 0xC0, 77}));  // blue first
  EXPECT_EQ(GetDibPixel(*d, 2, 1), 0x00A0B0C0);
  EXPECT_EQ(DibPixelColor(p), 0x00A0B0C0u);
  for (auto [x, y] : {std::pair{0, -1}, {0, 2}, {-1, 0}, {3, 0}}) {
    EXPECT_EQ(GetDibPixel(*d, x, y), -1);
    EXPECT_EQ(GetDibAlpha(*d, x, y), 0);
  }
  for (auto [w, h] : {std::pair{0, 10}, {-5, 10}, {100000, 100000}}) EXPECT_FALSE(CreateDib24(*d, w, h));
  EXPECT_EQ(d->Width, 0);
  ASSERT_TRUE(CreateDib24(*d, 2, 2));
  EXPECT_EQ(GetDibAlpha(*d, 1, 1), 255);
  FreeDib(*d);
  FreeDib(*d);
  EXPECT_EQ(d->Width, 0);
}

TEST(Numeric, ClampColoursRoundingAndVertexAngles) {
  EXPECT_EQ(ClampInt(5, 10, 0), 0);
  EXPECT_EQ(ClampInt(-3, 10, 0), 10);
  int r, g, b;
  SplitColor(0x00112233, r, g, b);
  EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({0x33, 0x22, 0x11}));
  EXPECT_EQ(MakeColor(300, 0, 0), 300);
  EXPECT_EQ(std::vector<int>({Round(2.5L), Round(3.5L), Round(-0.5L)}), std::vector<int>({2, 4, 0}));
  EXPECT_NEAR(double(VertexAngle({1, 0}, {0, 0}, {0, 1})), M_PI / 2, 1e-12);
  EXPECT_NEAR(double(VertexAngle({1, 0}, {0, 0}, {-3, 0})), M_PI, 1e-12);
  EXPECT_EQ(VertexAngle({0, 0}, {0, 0}, {0, 1}), 0);
  // Legs as long as the 32-bit plane allows: the squared lengths pass 2^63.
  constexpr int32_t kMax = 2147483647, kMin = -kMax - 1;
  EXPECT_NEAR(double(VertexAngle({kMax, kMax}, {kMin, kMin}, {kMax, kMin})), M_PI / 4, 1e-12);
  EXPECT_NEAR(double(VertexAngle({kMin, 0}, {kMax, 0}, {kMin, 0})), 0, 1e-9);
  EXPECT_NEAR(double(VertexAngle({kMin, kMin}, {0, 0}, {kMax, kMax})), M_PI, 1e-9);
}

// A colour buffer cut to its first channel in place: every pixel's first byte, rows padded
// anew; a buffer that is shared, or already 8-bit, is left alone.
TEST(DibImage, KeepingTheFirstChannelMakesAnEightBitBufferOfThoseBytes) {
  for (int32_t bits : {24, 32})
    for (int32_t w : {1, 5, 6, 7, 8, 37, 64, 1003}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << w << " wide");
      TDibHolder d;
      ASSERT_TRUE(bits == 24 ? CreateDib24(*d, w, 9) : CreateDib32(*d, w, 9));
      for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < w; ++x) {
          uint8_t* p = DibPixelAddress(*d, x, y);
          for (int32_t k = 0; k < bits / 8; ++k) p[k] = uint8_t(x * 31 + y * 7 + k * 100);
        }
      ASSERT_TRUE(KeepDibFirstChannel(*d));
      EXPECT_EQ(d->BytesPerPixel, 1);
      EXPECT_EQ(d->RowStride, (w + 3) & ~3);
      EXPECT_EQ(d->Width, w);
      for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < w; ++x) ASSERT_EQ(*DibPixelAddress(*d, x, y), uint8_t(x * 31 + y * 7)) << x << "," << y;
      EXPECT_FALSE(KeepDibFirstChannel(*d));
    }
  TDibHolder a, b;
  ASSERT_TRUE(CreateDib24(*a, 4, 4));
  ShareDib(*a, *b);
  EXPECT_FALSE(KeepDibFirstChannel(*a));
  EXPECT_EQ(a->BytesPerPixel, 3);
}

// A shared buffer is one set of pixels: a change shows through both holders, and it lives on
// until the last holder frees it.
TEST(DibImage, SharedPixelsOutliveTheFirstHolder) {
  TDibHolder b;
  {
    TDibHolder a;
    ASSERT_TRUE(CreateDib24(*a, 3, 2));
    ShareDib(*a, *b);
    EXPECT_EQ(b->Bits, a->Bits);
    SetDibPixel(*a, 2, 1, 0x123456);
    EXPECT_EQ(GetDibPixel(*b, 2, 1), 0x123456);
  }
  SetDibPixel(*b, 0, 0, 0x654321);
  EXPECT_EQ(GetDibPixel(*b, 0, 0), 0x654321);
  EXPECT_EQ(GetDibPixel(*b, 2, 1), 0x123456);
}
