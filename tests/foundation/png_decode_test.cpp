#include <gtest/gtest.h>

#include <QImage>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"

namespace {

int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// The codec library's own work (colour types, depths, interlace) is its to test: one picture
// with alpha and one without, against Qt's reading of the same file.
TEST(PngDecode, AlphaGivesThirtyTwoBitsWithEveryAlphaValueAndNoAlphaTwentyFour) {
  QImage alpha(3, 2, QImage::Format_ARGB32);
  const QRgb pixels[6] = {qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 0), qRgba(0, 0, 255, 128),
                          qRgba(10, 20, 30, 1), qRgba(40, 50, 60, 254), qRgba(70, 80, 90, 255)};
  for (int i = 0; i < 6; ++i) alpha.setPixel(i % 3, i / 3, pixels[i]);
  const std::vector<uint8_t> withAlpha = QtEncoded(alpha, "PNG"), without = QtEncoded(Quadrants(6, 4), "PNG");
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(DecodePng(*d, withAlpha.data(), withAlpha.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 4);
  EXPECT_TRUE(d->HasAlpha);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(GetDibAlpha(*d, i % 3, i / 3), qAlpha(pixels[i])) << i;
    if (qAlpha(pixels[i]) == 255) EXPECT_EQ(GetDibPixel(*d, i % 3, i / 3), Rgb(qRed(pixels[i]), qGreen(pixels[i]), qBlue(pixels[i])));
  }
  ASSERT_TRUE(DecodePng(*d, without.data(), without.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 3);
  EXPECT_FALSE(d->HasAlpha);
  ExpectSamePixels(*d, without);
  ExpectHostileVariantsHandled(DecodePng, without);
}

TEST(PngResource, AMissingResourceIsAClearRefusal) {
  TDibHolder d;
  std::string error;
  EXPECT_FALSE(LoadPngResource(*d, 987654, &error));
  EXPECT_NE(error.find("987654"), std::string::npos);
  EXPECT_EQ(d->Width, 0);
}
// The skins compiled into the program, read by our loader, against Qt's own PNG reader: the
// sizes the sprite coordinates assume, 32 bits with alpha, every colour and alpha value
// unchanged (fully transparent pixels keep alpha 0) and the PNG's top-left pixel at (0, 0).
TEST(PngResource, SkinsLoadWithEveryPixelAndAlphaAsStored) {
  struct TSkin { int32_t id, width, height; };
  for (const TSkin& s : {TSkin{2, 29, 37}, TSkin{3, 290, 189}, TSkin{4, 390, 170}}) {
    SCOPED_TRACE(s.id);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(LoadPngResource(*d, s.id, &error)) << error;
    EXPECT_EQ(d->Width * 1000 + d->Height, s.width * 1000 + s.height);
    EXPECT_TRUE(d->HasAlpha);
    const QImage ref =
        QImage(QString(":/PNGIMAGE/%1").arg(s.id)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ref.width(), d->Width);
    ASSERT_EQ(ref.height(), d->Height);
    int wrong = 0, transparent = 0;
    for (int y = 0; y < ref.height(); ++y)
      for (int x = 0; x < ref.width(); ++x) {
        const QRgb c = ref.pixel(x, y);
        transparent += qAlpha(c) == 0;
        wrong += GetDibPixel(*d, x, y) != Rgb(qRed(c), qGreen(c), qBlue(c)) ||
                 GetDibAlpha(*d, x, y) != qAlpha(c);
      }
    EXPECT_EQ(wrong, 0);
    if (s.id == 4) {
      EXPECT_GT(transparent, 0) << "the frame sheet has see-through parts";
    }
  }
}
}  // namespace
