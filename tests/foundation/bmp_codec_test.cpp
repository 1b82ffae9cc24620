#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/dib_image.h"
#include "foundation/numeric.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"
#include "support/temp_folder.h"

namespace {

// A bitmap file of the given kind built byte by byte: header, masks, palette, pixel data.
struct TBmpSpec {
  const char* What;
  int32_t Width, Height;  // negative height: top-down
  int Bits;
  uint32_t Compression;
  std::vector<uint32_t> Masks;
  int PaletteSize;
  std::vector<uint8_t> Pixels;  // as stored
  uint32_t InfoSize = 40;
};

std::vector<uint8_t> Build(const TBmpSpec& s) {
  std::vector<uint8_t> v(14 + s.InfoSize, 0);
  auto put = [&](size_t at, uint32_t x, int n) {
    for (int i = 0; i < n; ++i) v[at + i] = uint8_t(x >> (8 * i));
  };
  v[0] = 'B';
  v[1] = 'M';
  put(14, s.InfoSize, 4);
  const bool core = s.InfoSize == 12;
  put(18, uint32_t(s.Width), core ? 2 : 4);
  put(core ? 20 : 22, uint32_t(s.Height), core ? 2 : 4);
  put(core ? 22 : 26, 1, 2);
  put(core ? 24 : 28, uint32_t(s.Bits), 2);
  if (!core) put(30, s.Compression, 4), put(46, uint32_t(s.PaletteSize), 4);
  for (uint32_t m : s.Masks) v.resize(v.size() + 4), put(v.size() - 4, m, 4);
  for (int i = 0; i < s.PaletteSize; ++i)  // blue, green, red (, 0)
    for (int k = 0; k < (core ? 3 : 4); ++k) v.push_back(k == 3 ? 0 : uint8_t(i * 37 + k * 90));
  put(10, uint32_t(v.size()), 4);
  v.insert(v.end(), s.Pixels.begin(), s.Pixels.end());
  put(2, uint32_t(v.size()), 4);
  return v;
}

const TBmpSpec kKinds[] = {
    {"1-bit", 3, 2, 1, 0, {}, 2, {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0}},
    {"4-bit", 3, 2, 4, 0, {}, 16, {0x12, 0x30, 0, 0, 0x45, 0x6F, 0, 0}},
    {"8-bit top-down", 3, -2, 8, 0, {}, 5, {0, 1, 2, 0, 4, 3, 1, 0}},
    // runs, absolute runs and line ends; Qt leaves the pixels of a delta undefined
    {"RLE8", 5, 3, 8, 1, {}, 6, {2, 1, 0, 3, 4, 5, 2, 0, 0, 0, 5, 3, 0, 0, 3, 0, 2, 2, 0, 1}},
    {"RLE4", 5, 2, 4, 2, {}, 16, {5, 0x9A, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1}},
    {"RLE4 odd runs", 5, 2, 4, 2, {}, 16, {0, 5, 0xAB, 0xCD, 0xE0, 0, 0, 0, 0, 3, 0x12, 0x30, 2, 0x77, 0, 1}},
    {"16-bit 5-5-5", 2, 2, 16, 0, {}, 0, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}},
    {"16-bit 5-6-5 masks", 2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, 0, {0x00, 0xF8, 0x1F, 0x04}},
    {"24-bit", 2, 2, 24, 0, {}, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
    {"32-bit masks", 2, 1, 32, 3, {0xFF0000, 0xFF00, 0xFF}, 0, {1, 2, 3, 0, 4, 5, 6, 255}},
    {"old 12-byte header", 1, 2, 24, 0, {}, 0, {1, 2, 3, 0, 4, 5, 6, 0}, 12},
};

TEST(BmpCodec, EveryKindDecodesAsQtReadsIt) {
  for (const TBmpSpec& kind : kKinds) {
    SCOPED_TRACE(kind.What);
    const std::vector<uint8_t> bytes = Build(kind);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    ExpectSamePixels(*d, bytes, kind.Bits == 16 ? 7 : 0);  // readers widen 5 bits in their own ways
  }
}

// Uncompressed rows of every width up to nine, where each depth pads its rows differently,
// bottom-up and top-down, with random pixel bytes: as Qt reads them.
TEST(BmpCodec, EveryRowWidthAndDepthDecodesAsQtReadsIt) {
  uint32_t seed = 1;
  for (const int bits : {1, 4, 8, 16, 24, 32})
    for (int32_t w = 1; w <= 9; ++w)
      for (const int32_t h : {1, 3, -2}) {
        TBmpSpec kind{"rows", w, h, bits, 0, {}, bits <= 8 ? 1 << bits : 0, {}};
        kind.Pixels.resize(size_t((w * bits + 31) / 32 * 4 * std::abs(h)));
        for (uint8_t& b : kind.Pixels) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
        if (bits == 8) kind.PaletteSize = 256;
        SCOPED_TRACE(std::to_string(bits) + " bits " + std::to_string(w) + " x " + std::to_string(h));
        const std::vector<uint8_t> bytes = Build(kind);
        TDibHolder d;
        std::string error;
        ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size(), &error)) << error;
        ExpectSamePixels(*d, bytes, bits == 16 ? 7 : 0);
        // One byte short of the pixels is refused.
        ExpectRefused(DecodeBmp, std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));
      }
}

// Channels named by masks of every width and place, an empty mask among them, against the
// literal rule: the masked bits over the mask's largest value, rounded to 8 bits; no mask, 0.
TEST(BmpCodec, MaskedChannelsScaleToEightBitsRounded) {
  uint32_t seed = 5;
  const auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  const auto run = [](int from, int bits) { return bits ? ((uint32_t(1) << bits) - 1) << from : 0u; };
  for (int i = 0; i < 200; ++i) {
    const int bits = i % 2 ? 16 : 32;
    // Three runs that do not overlap: up to a third of the pixel's bits each.
    const int part = bits / 3;
    std::vector<uint32_t> masks;
    for (int k = 0; k < 3; ++k) {
      const int width = int(next() % unsigned(part + 1)), from = k * part + int(next() % unsigned(part - width + 1));
      masks.push_back(run(from, width));
    }
    TBmpSpec kind{"masks", 4, 1, bits, 3, masks, 0, {}};
    std::vector<uint32_t> pixels;
    for (int x = 0; x < 4; ++x) {
      pixels.push_back(x == 0 ? 0xFFFFFFFFu : uint32_t(next() ^ (next() << 16)));
      for (int b = 0; b < bits / 8; ++b) kind.Pixels.push_back(uint8_t(pixels.back() >> (8 * b)));
    }
    const std::vector<uint8_t> bytes = Build(kind);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size(), &error)) << error;
    for (int x = 0; x < 4; ++x)
      for (int k = 0; k < 3; ++k) {
        const uint32_t mask = masks[size_t(k)];
        uint32_t want = 0;
        if (mask) {
          int shift = 0;
          while (!((mask >> shift) & 1)) ++shift;
          const uint64_t most = mask >> shift, v = (pixels[size_t(x)] & mask) >> shift;
          want = uint32_t((v * 255 * 2 + most) / (2 * most));
        }
        EXPECT_EQ(DibPixelAddress(*d, x, 0)[2 - k], want) << std::hex << mask << " " << pixels[size_t(x)];
      }
  }
}

// A jump in run-length data skips pixels, which keep the palette's first colour; runs past a
// row's end are dropped.
TEST(BmpCodec, RunLengthJumpsLeaveThePalettesFirstColour) {
  const TBmpSpec jump = {"RLE8 jump", 5, 3, 8, 1, {}, 6, {2, 1, 0, 2, 2, 1, 1, 4, 7, 3, 0, 0, 1, 5, 0, 1}};
  const std::vector<uint8_t> bytes = Build(jump);
  TDibHolder d;
  ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size()));
  auto colour = [](int i) { return MakeColor((i * 37 + 180) & 255, (i * 37 + 90) & 255, i * 37 & 255); };
  // File rows run from the bottom: row 0 is the picture's last.
  const int expected[3][5] = {{5, 0, 0, 0, 0}, {0, 0, 0, 0, 4}, {1, 1, 0, 0, 0}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(GetDibPixel(*d, x, y), colour(expected[y][x])) << x << "," << y;
}

TEST(BmpCodec, WrittenFilesReadBackExactlyFromEveryBufferKind) {
  TDibHolder rgb, rgba, grey;
  ASSERT_TRUE(CreateDib24(*rgb, 5, 3) && CreateDib32(*rgba, 2, 2) && CreateDib8(*grey, 3, 1));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) SetDibPixel(*rgb, x, y, uint32_t(x * 50 | y * 100 << 8 | (7 + x + y) << 16));
  SetDibPixel(*rgba, 1, 1, 0x326480);
  SetDibPixel(*grey, 2, 0, 90);
  for (TDibImage* image : {&*rgb, &*rgba, &*grey}) {
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(EncodeBmp24(*image, bmp));
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(bmp.size(), 54 + size_t((image->Width * 3 + 3) / 4 * 4 * image->Height));
    TDibHolder back;
    ASSERT_TRUE(DecodeBmp(*back, bmp.data(), bmp.size()));
    for (int y = 0; y < image->Height; ++y)
      for (int x = 0; x < image->Width; ++x) EXPECT_EQ(GetDibPixel(*back, x, y), GetDibPixel(*image, x, y));
  }
  TDibHolder empty;
  std::vector<uint8_t> bmp;
  EXPECT_FALSE(EncodeBmp24(*empty, bmp));
}

TEST(BmpCodec, HostileFilesAreRefusedWithoutTouchingTheImage) {
  for (const TBmpSpec& kind : {kKinds[2], kKinds[3], kKinds[7]}) ExpectHostileVariantsHandled(DecodeBmp, Build(kind));
  // Sizes within the limits that a few bytes cannot fill, plain and run-length compressed.
  for (TBmpSpec kind : {kKinds[7], kKinds[3]}) {
    kind.Width = kind.Height = 8000;
    ExpectRefused(DecodeBmp, Build(kind));
  }
}

TEST(BmpCodec, FilesAreSavedWholeAndLoadedBack) {
  TTempFolder temp;
  const std::filesystem::path dir = temp.Path();
  TDibHolder src;
  ASSERT_TRUE(CreateDib24(*src, 3, 3));
  SetDibPixel(*src, 2, 0, 0x00FF8000);
  const std::string path = (dir / "solved.bmp").string();
  std::string error;
  ASSERT_TRUE(SaveBmpFile(*src, path, &error)) << error;
  TDibHolder back;
  ASSERT_TRUE(LoadPictureFile(*back, path, &error)) << error;
  EXPECT_EQ(GetDibPixel(*back, 2, 0), 0x00FF8000);
  EXPECT_FALSE(SaveBmpFile(*src, (dir / "no-such-folder" / "x.bmp").string(), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
