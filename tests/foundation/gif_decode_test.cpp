#include <gtest/gtest.h>

#include <tuple>

#include "foundation/dib_image.h"
#include "foundation/picture_encoders.h"
#include "foundation/picture_loading.h"

namespace {

int32_t Rgb(TRgb c) { return c.r | (c.g << 8) | (c.b << 16); }

const std::vector<TRgb> kColors = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},  {0, 0, 255},
                                   {255, 255, 0}, {0, 255, 255}, {9, 99, 199}, {255, 255, 255}};

TGifSpec PlainGif(int w, int h) {
  TGifSpec s;
  s.screenWidth = s.width = w;
  s.screenHeight = s.height = h;
  s.colors = kColors;
  for (int i = 0; i < w * h; ++i) s.indexes.push_back(uint8_t((i * 3 + i / w) % 8));
  return s;
}

void ExpectFrame(const TDibImage& d, const TGifSpec& s) {
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      EXPECT_EQ(GetDibPixel(d, s.left + x, s.top + y), Rgb(kColors[s.indexes[size_t(y * s.width + x)]]))
          << x << "," << y;
}

TEST(GifDecode, FramesDecodeWithGlobalOrLocalColoursAndInterlace) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    TGifSpec s = PlainGif(7, 19);
    s.localColors = variant == 1;
    s.interlaced = variant == 2;
    const std::vector<uint8_t> gif = EncodeTestGif(s);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeGif(*d, gif.data(), gif.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    ASSERT_EQ(d->Width, 7);
    ASSERT_EQ(d->Height, 19);
    ExpectFrame(*d, s);
  }
}

TEST(GifDecode, AFrameSmallerThanTheScreenSitsOnTheBackground) {
  TGifSpec s = PlainGif(3, 2);
  s.screenWidth = 6;
  s.screenHeight = 4;
  s.left = 2;
  s.top = 1;
  s.background = 6;
  s.transparent = 1;
  s.indexes = {1, 2, 3, 4, 1, 5};
  const std::vector<uint8_t> gif = EncodeTestGif(s);
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(DecodeGif(*d, gif.data(), gif.size(), &error)) << error;
  ASSERT_EQ(d->Width, 6);
  ASSERT_EQ(d->Height, 4);
  const int32_t bg = Rgb(kColors[6]);
  // The transparent index shows the background.
  for (auto [x, y, want] : {std::tuple{0, 0, bg}, {5, 3, bg}, {2, 1, bg}, {3, 1, Rgb(kColors[2])},
                            {2, 2, Rgb(kColors[4])}, {4, 2, Rgb(kColors[5])}})
    EXPECT_EQ(GetDibPixel(*d, x, y), want) << x << "," << y;
  // Chosen by content, the same picture comes out of the general loader.
  TDibHolder e;
  ASSERT_TRUE(DecodePicture(*e, gif.data(), gif.size()));
  EXPECT_EQ(GetDibPixel(*e, 4, 2), Rgb(kColors[5]));
}

TEST(GifDecode, DamagedAndLyingFilesAreRefusedWithoutTouchingTheImage) {
  const std::vector<uint8_t> good = EncodeTestGif(PlainGif(16, 16));
  auto refused = [](const std::vector<uint8_t>& bytes) { ExpectRefused(DecodeGif, bytes); };
  ExpectPrefixesRefused(DecodeGif, good, {0, size_t(4), size_t(10), size_t(13 + 24), size_t(13 + 24 + 12),
                     good.size() / 2});
  {
    SCOPED_TRACE("a lying screen of 30000 x 30000");
    std::vector<uint8_t> bytes = good;
    bytes[6] = bytes[8] = 0x30;
    bytes[7] = bytes[9] = 0x75;
    refused(bytes);
  }
  {
    SCOPED_TRACE("a lying frame of 65535 x 65535");
    std::vector<uint8_t> bytes = good;
    const size_t desc = 13 + 24;  // header, screen, 8 colours
    ASSERT_EQ(bytes[desc], 0x2C);
    bytes[desc + 5] = bytes[desc + 6] = bytes[desc + 7] = bytes[desc + 8] = 0xFF;
    refused(bytes);
  }
  std::vector<uint8_t> trailerOnly(good.begin(), good.begin() + 13 + 24);  // no picture
  trailerOnly.push_back(0x3B);
  refused(trailerOnly);
  {
    SCOPED_TRACE("garbled compressed data");
    std::vector<uint8_t> bytes = good;
    for (size_t i = 13 + 24 + 12; i < bytes.size() - 1; ++i) bytes[i] = 0xFF;
    refused(bytes);
  }
}

}  // namespace
