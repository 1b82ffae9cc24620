#include <gif_lib.h>
#include <gtest/gtest.h>

#include <tuple>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"

namespace {

// One frame written by giflib: colour indexes top-down at (left, top) on a screen.
struct TGifSpec {
  int ScreenW, ScreenH, Left = 0, Top = 0, W, H;
  bool Interlaced = false, LocalColors = false;
  int Background = 0, Transparent = -1;
  std::vector<uint8_t> Indexes;
};

const GifColorType kColors[8] = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},  {0, 0, 255},
                                 {255, 255, 0}, {0, 255, 255}, {9, 99, 199}, {255, 255, 255}};

int GifToVector(GifFileType* gif, const GifByteType* data, int n) {
  static_cast<std::vector<uint8_t>*>(gif->UserData)
      ->insert(static_cast<std::vector<uint8_t>*>(gif->UserData)->end(), data, data + n);
  return n;
}

std::vector<uint8_t> EncodeGif(const TGifSpec& s) {
  std::vector<uint8_t> out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, GifToVector, &err);
  ColorMapObject* map = GifMakeMapObject(8, kColors);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, s.ScreenW, s.ScreenH, 8, s.Background, s.LocalColors ? nullptr : map);
  if (s.Transparent >= 0) {
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = s.Transparent;
    GifByteType block[4];
    EGifGCBToExtension(&gcb, block);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
  }
  EGifPutImageDesc(gif, s.Left, s.Top, s.W, s.H, s.Interlaced, s.LocalColors ? map : nullptr);
  static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < (s.Interlaced ? 4 : 1); ++pass)
    for (int y = s.Interlaced ? kStart[pass] : 0; y < s.H; y += s.Interlaced ? kStep[pass] : 1)
      EGifPutLine(gif, const_cast<GifPixelType*>(s.Indexes.data() + size_t(y) * s.W), s.W);
  EGifCloseFile(gif, &err);
  GifFreeMapObject(map);
  return out;
}

TGifSpec PlainGif(int w, int h) {
  TGifSpec s;
  s.ScreenW = s.W = w;
  s.ScreenH = s.H = h;
  for (int i = 0; i < w * h; ++i) s.Indexes.push_back(uint8_t((i * 3 + i / w) % 8));
  return s;
}

int32_t Rgb(int index) { return kColors[index].Red | kColors[index].Green << 8 | kColors[index].Blue << 16; }

TEST(GifDecode, FramesWithGlobalOrLocalColoursAndInterlaceDecodeAsQtReadsThem) {
  for (int variant = 0; variant < 3; ++variant) {
    SCOPED_TRACE(variant);
    TGifSpec s = PlainGif(7, 19);
    s.LocalColors = variant == 1;
    s.Interlaced = variant == 2;
    const std::vector<uint8_t> gif = EncodeGif(s);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeGif(*d, gif.data(), gif.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    ExpectSamePixels(*d, gif);
  }
}

TEST(GifDecode, AFrameSmallerThanTheScreenSitsOnTheBackground) {
  TGifSpec s = PlainGif(3, 2);
  s.ScreenW = 6;
  s.ScreenH = 4;
  s.Left = 2;
  s.Top = 1;
  s.Background = 6;
  s.Transparent = 1;
  s.Indexes = {1, 2, 3, 4, 1, 5};
  const std::vector<uint8_t> gif = EncodeGif(s);
  TDibHolder d;
  ASSERT_TRUE(DecodePicture(*d, gif.data(), gif.size()));
  ASSERT_EQ(d->Width * 10 + d->Height, 64);
  // The transparent index shows the background.
  for (auto [x, y, want] : {std::tuple{0, 0, 6}, {5, 3, 6}, {2, 1, 6}, {3, 1, 2}, {2, 2, 4}, {4, 2, 5}})
    EXPECT_EQ(GetDibPixel(*d, x, y), Rgb(want)) << x << "," << y;
}

// A frame that runs past the screen's right and bottom edges is cut there; a background index
// past the colour table is black.
TEST(GifDecode, AFramePastTheScreensEdgesIsCutThere) {
  for (auto [left, top] : {std::tuple{4, 2}, std::tuple{3, 1}, std::tuple{0, 0}}) {
    SCOPED_TRACE(std::to_string(left) + "," + std::to_string(top));
    TGifSpec s = PlainGif(3, 3);
    s.ScreenW = 6;
    s.ScreenH = 4;
    s.Left = left;
    s.Top = top;
    s.Background = 8;
    s.Indexes = {1, 2, 3, 4, 5, 6, 7, 1, 2};
    const std::vector<uint8_t> gif = EncodeGif(s);
    TDibHolder d;
    ASSERT_TRUE(DecodePicture(*d, gif.data(), gif.size()));
    ASSERT_EQ(d->Width * 10 + d->Height, 64);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) {
        const bool inFrame = x >= left && x < left + 3 && y >= top && y < top + 3;
        EXPECT_EQ(GetDibPixel(*d, x, y), inFrame ? Rgb(s.Indexes[size_t((y - top) * 3 + x - left)]) : 0)
            << x << "," << y;
      }
  }
}

TEST(GifDecode, HostileFilesAreRefusedWithoutTouchingTheImage) {
  const std::vector<uint8_t> good = EncodeGif(PlainGif(16, 16));
  ExpectHostileVariantsHandled(DecodeGif, good);
  std::vector<uint8_t> bytes = good;  // a screen of 30000 x 30000 that the bytes cannot fill
  bytes[6] = bytes[8] = 0x30;
  bytes[7] = bytes[9] = 0x75;
  ExpectRefused(DecodeGif, bytes);
}

}  // namespace
