#include <gtest/gtest.h>
#include <zlib.h>

#include <QImage>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/numeric.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"

namespace {

// The codec library's own work (colour types, depths, interlace) is its to test: one picture
// with alpha and one without, against Qt's reading of the same file.
TEST(PngDecode, AlphaGivesThirtyTwoBitsWithEveryAlphaValueAndNoAlphaTwentyFour) {
  QImage alpha(3, 2, QImage::Format_ARGB32);
  const QRgb pixels[6] = {qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 0),    qRgba(0, 0, 255, 128),
                          qRgba(10, 20, 30, 1),  qRgba(40, 50, 60, 254), qRgba(70, 80, 90, 255)};
  for (int i = 0; i < 6; ++i) alpha.setPixel(i % 3, i / 3, pixels[i]);
  const std::vector<uint8_t> withAlpha = QtEncoded(alpha, "PNG"), without = QtEncoded(Quadrants(6, 4), "PNG");
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(DecodePng(*d, withAlpha.data(), withAlpha.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 4);
  EXPECT_TRUE(d->HasAlpha);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(GetDibAlpha(*d, i % 3, i / 3), qAlpha(pixels[i])) << i;
    if (qAlpha(pixels[i]) == 255) {
      EXPECT_EQ(GetDibPixel(*d, i % 3, i / 3), MakeColor(qRed(pixels[i]), qGreen(pixels[i]), qBlue(pixels[i])));
    }
  }
  ASSERT_TRUE(DecodePng(*d, without.data(), without.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 3);
  EXPECT_FALSE(d->HasAlpha);
  ExpectSamePixels(*d, without);
  ExpectHostileVariantsHandled(DecodePng, without);
}

// A grey PNG of the given size whose pixel data is a few bytes: header, a padding chunk, one
// tiny data chunk, end, each chunk with its check sum.
// A PNG in memory (a resource or an embedded picture) reads whole; a stream cut short is refused
// with the reason.
TEST(PngDecode, LoadPngFromStreamReadsTheWholeStreamAndRefusesACutOne) {
  const std::vector<uint8_t> png = QtEncoded(Quadrants(6, 4), "PNG");
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(LoadPngFromStream(*d, png.data(), png.size(), &error)) << error;
  ASSERT_EQ(d->Width, 6);
  ASSERT_EQ(d->Height, 4);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), 0x0000FF);  // red, top left
  EXPECT_EQ(GetDibPixel(*d, 5, 0), 0x00FF00);
  EXPECT_EQ(GetDibPixel(*d, 0, 3), 0xFF0000);
  EXPECT_EQ(GetDibPixel(*d, 5, 3), 0xFFFFFF);
  TDibHolder cut;
  EXPECT_FALSE(LoadPngFromStream(*cut, png.data(), png.size() - 20, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(LoadPngFromStream(*cut, nullptr, 0, &error));
}

std::vector<uint8_t> TinyGreyPng(uint32_t width, uint32_t height, size_t padding) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto be = [](std::vector<uint8_t>& v, uint32_t x) {
    for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
  };
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    be(png, uint32_t(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    be(png, uint32_t(crc32(0, body.data(), uInt(body.size()))));
  };
  std::vector<uint8_t> ihdr;
  be(ihdr, width);
  be(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 0, 0, 0, 0});
  chunk("IHDR", ihdr);
  chunk("prVt", std::vector<uint8_t>(padding, 0));  // a private chunk readers pass over
  chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
  chunk("IEND", {});
  return png;
}

// A picture may claim at most 1100 bytes of pixels for each byte of the file, plus 64 KiB:
// exactly that much is read (and found short), one byte more is refused as too large.
TEST(PngDecode, ClaimedSizeIsBoundedByTheFileSize) {
  // Sides within the bitmap limits whose product is the given pixel count.
  auto sides = [](int64_t pixels, uint32_t& width, uint32_t& height) {
    for (height = 1; height <= 32768; ++height)
      if (pixels % height == 0 && pixels / height <= 32768) {
        width = uint32_t(pixels / height);
        return true;
      }
    return false;
  };
  uint32_t w = 0, h = 0;
  size_t padding = 0;
  auto bound = [&] { return int64_t(TinyGreyPng(1, 1, padding).size()) * 1100 + 65536; };
  while (!sides(bound(), w, h) || !sides(bound() + 1, w, h)) ++padding;
  for (const int64_t pixels : {bound(), bound() + 1}) {
    ASSERT_TRUE(sides(pixels, w, h));
    const std::vector<uint8_t> png = TinyGreyPng(w, h, padding);
    TDibHolder d;
    std::string error;
    EXPECT_FALSE(DecodePng(*d, png.data(), png.size(), &error));
    EXPECT_EQ(error.find("too large") != std::string::npos, pixels > bound()) << w << " x " << h << ": " << error;
  }
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
  struct TSkin {
    int32_t id, width, height;
  };
  for (const TSkin& s : {TSkin{2, 29, 37}, TSkin{3, 290, 189}, TSkin{4, 390, 170}}) {
    SCOPED_TRACE(s.id);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(LoadPngResource(*d, s.id, &error)) << error;
    EXPECT_EQ(d->Width, s.width);
    EXPECT_EQ(d->Height, s.height);
    EXPECT_TRUE(d->HasAlpha);
    const QImage ref = QImage(QString(":/PNGIMAGE/%1").arg(s.id)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ref.width(), d->Width);
    ASSERT_EQ(ref.height(), d->Height);
    int wrong = 0, transparent = 0;
    for (int y = 0; y < ref.height(); ++y)
      for (int x = 0; x < ref.width(); ++x) {
        const QRgb c = ref.pixel(x, y);
        transparent += qAlpha(c) == 0;
        wrong += GetDibPixel(*d, x, y) != MakeColor(qRed(c), qGreen(c), qBlue(c)) || GetDibAlpha(*d, x, y) != qAlpha(c);
      }
    EXPECT_EQ(wrong, 0);
    if (s.id == 4) {
      EXPECT_GT(transparent, 0) << "the frame sheet has see-through parts";
    }
  }
}
}  // namespace
