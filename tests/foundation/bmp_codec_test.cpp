#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "foundation/dib_image.h"
#include "support/temp_folder.h"
#include "foundation/picture_encoders.h"
#include "foundation/picture_loading.h"

namespace {

int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

uint32_t Le32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (uint32_t(v[at + 3]) << 24);
}

// A bitmap file built byte by byte, independent of the writer under test.
struct TBmpBuilder {
  int32_t width = 0, height = 0;  // negative height: top-down
  int bits = 24;
  uint32_t compression = 0;
  uint32_t infoSize = 40;
  std::vector<std::array<uint8_t, 4>> palette;  // blue, green, red, 0
  std::vector<uint32_t> masks;                   // bitfields after the header
  std::vector<std::vector<uint8_t>> fileRows;    // in file order, unpadded

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> v(14 + infoSize, 0);
    auto put = [&](size_t at, uint32_t x, int n) {
      for (int i = 0; i < n; ++i) v[at + i] = uint8_t(x >> (8 * i));
    };
    v[0] = 'B';
    v[1] = 'M';
    put(14, infoSize, 4);
    if (infoSize == 12) {
      put(18, uint32_t(width), 2);
      put(20, uint32_t(height), 2);
      put(22, 1, 2);
      put(24, uint32_t(bits), 2);
    } else {
      put(18, uint32_t(width), 4);
      put(22, uint32_t(height), 4);
      put(26, 1, 2);
      put(28, uint32_t(bits), 2);
      put(30, compression, 4);
      put(46, uint32_t(palette.size()), 4);
    }
    for (uint32_t m : masks)
      for (int i = 0; i < 4; ++i) v.push_back(uint8_t(m >> (8 * i)));
    for (const auto& e : palette) v.insert(v.end(), e.begin(), e.begin() + (infoSize == 12 ? 3 : 4));
    put(10, uint32_t(v.size()), 4);
    for (const auto& row : fileRows) {
      v.insert(v.end(), row.begin(), row.end());
      v.resize((v.size() - Le32(v, 10) + 3) / 4 * 4 + Le32(v, 10), 0);
    }
    put(2, uint32_t(v.size()), 4);
    return v;
  }
};

TEST(BmpCodec, WrittenFilesHaveTheStandardLayoutAndReadBackExactly) {
  TDibHolder src;
  ASSERT_TRUE(CreateDib24(*src, 5, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) SetDibPixel(*src, x, y, uint32_t(Rgb(x * 50, y * 100, 7 + x + y)));
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(EncodeBmp24(*src, bmp));
  ASSERT_EQ(bmp.size(), 54u + 16u * 3u);  // 15 bytes per row padded to 16
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 22), 3u) << "bottom-up: positive height";
  EXPECT_EQ(bmp[28], 24);
  // The first stored row is the bottom one, pixels blue, green, red.
  EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 54, bmp.begin() + 57), (std::vector<uint8_t>{9, 200, 0}));

  TDibHolder back;
  std::string error;
  ASSERT_TRUE(DecodeBmp(*back, bmp.data(), bmp.size(), &error)) << error;
  ASSERT_EQ(back->Width, 5);
  ASSERT_EQ(back->Height, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(GetDibPixel(*back, x, y), GetDibPixel(*src, x, y));
}

TEST(BmpCodec, ThirtyTwoBitAndMaskBuffersAreWrittenAsTwentyFourBits) {
  TDibHolder rgba;
  ASSERT_TRUE(CreateDib32(*rgba, 2, 2));
  SetDibPixel(*rgba, 0, 0, uint32_t(Rgb(1, 2, 3)));
  DibPixelAddress(*rgba, 0, 0)[3] = 77;
  SetDibPixel(*rgba, 1, 1, uint32_t(Rgb(200, 100, 50)));
  TDibHolder mask;
  ASSERT_TRUE(CreateDib8(*mask, 3, 1));
  SetDibPixel(*mask, 2, 0, 90);
  for (TDibImage* image : {&*rgba, &*mask}) {
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(EncodeBmp24(*image, bmp));
    EXPECT_EQ(bmp[28], 24);
    TDibHolder back;
    ASSERT_TRUE(DecodeBmp(*back, bmp.data(), bmp.size()));
    EXPECT_EQ(back->BytesPerPixel, 3);
    for (int y = 0; y < image->Height; ++y)
      for (int x = 0; x < image->Width; ++x) EXPECT_EQ(GetDibPixel(*back, x, y), GetDibPixel(*image, x, y));
  }
  TDibHolder empty;
  std::vector<uint8_t> bmp;
  EXPECT_FALSE(EncodeBmp24(*empty, bmp));
}

TEST(BmpCodec, ReadsPaletteTopDownThirtyTwoBitAndOldHeaders) {
  TBmpBuilder pal;
  pal.width = 3;
  pal.height = -2;  // top-down: the first file row is the top
  pal.bits = 8;
  pal.palette = {{{30, 20, 10, 0}}, {{0, 0, 255, 0}}, {{255, 255, 255, 0}}};
  pal.fileRows = {{0, 1, 2}, {2, 1, 7}};  // index 7 lies beyond the palette
  std::vector<uint8_t> bytes = pal.Build();
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 3);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), Rgb(10, 20, 30));
  EXPECT_EQ(GetDibPixel(*d, 1, 0), Rgb(255, 0, 0));
  EXPECT_EQ(GetDibPixel(*d, 0, 1), Rgb(255, 255, 255));
  EXPECT_EQ(GetDibPixel(*d, 2, 1), 0) << "indexes beyond the palette are black";

  TBmpBuilder wide;
  wide.width = 2;
  wide.height = 2;  // bottom-up: the first file row is the bottom
  wide.bits = 32;
  wide.fileRows = {{1, 2, 3, 0, 4, 5, 6, 0}, {7, 8, 9, 255, 10, 11, 12, 255}};
  bytes = wide.Build();
  ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size()));
  EXPECT_EQ(GetDibPixel(*d, 0, 1), Rgb(3, 2, 1));
  EXPECT_EQ(GetDibPixel(*d, 1, 0), Rgb(12, 11, 10));

  wide.compression = 3;  // channel masks in the usual byte layout
  wide.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  bytes = wide.Build();
  ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size()));
  EXPECT_EQ(GetDibPixel(*d, 0, 0), Rgb(9, 8, 7));

  TBmpBuilder core;
  core.infoSize = 12;
  core.width = 1;
  core.height = 2;
  core.fileRows = {{1, 2, 3}, {4, 5, 6}};
  bytes = core.Build();
  ASSERT_TRUE(DecodeBmp(*d, bytes.data(), bytes.size()));
  EXPECT_EQ(GetDibPixel(*d, 0, 0), Rgb(6, 5, 4));
  EXPECT_EQ(GetDibPixel(*d, 0, 1), Rgb(3, 2, 1));
}

TEST(BmpCodec, DamagedAndLyingFilesAreRefusedWithoutTouchingTheImage) {
  TBmpBuilder ok;
  ok.width = 4;
  ok.height = 4;
  ok.fileRows.assign(4, std::vector<uint8_t>(12, 0x40));
  const std::vector<uint8_t> good = ok.Build();
  auto refused = [](const std::vector<uint8_t>& bytes) { ExpectRefused(DecodeBmp, bytes); };
  ExpectPrefixesRefused(DecodeBmp, good, {0, size_t(2), size_t(16), size_t(40), size_t(54), good.size() - 1});
  using Change = void (*)(TBmpBuilder&);
  const std::pair<const char*, Change> changes[] = {
      {"a lying size: 30000 x 30000 in a few bytes", [](TBmpBuilder& b) { b.width = b.height = 30000; }},
      {"a size within the limits the data cannot fill", [](TBmpBuilder& b) { b.width = b.height = 8000; }},
      {"width 0", [](TBmpBuilder& b) { b.width = 0; }},
      {"width -4", [](TBmpBuilder& b) { b.width = -4; }},
      {"width 40000", [](TBmpBuilder& b) { b.width = 40000; }},
      {"height of the most negative value", [](TBmpBuilder& b) { b.height = INT32_MIN; }},
      {"run-length compression", [](TBmpBuilder& b) { b.compression = 1; }},
      {"16 bits per pixel", [](TBmpBuilder& b) { b.bits = 16; }},
      {"unusual channel masks", [](TBmpBuilder& b) {
         b.bits = 32;
         b.compression = 3;
         b.masks = {0xFF, 0xFF00, 0xFF0000};
         b.fileRows.assign(4, std::vector<uint8_t>(16, 1));
       }}};
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    TBmpBuilder b = ok;
    change(b);
    refused(b.Build());
  }
  for (size_t at : {13, 15}) {  // pixel offset, then header length, beyond the end
    SCOPED_TRACE(at);
    std::vector<uint8_t> bytes = good;
    bytes[at] = 0x7F;
    refused(bytes);
  }
}

TEST(BmpCodec, FilesAreSavedWholeAndLoadedBack) {
  TTempFolder temp;
  const std::filesystem::path dir = temp.Path();
  TDibHolder src;
  ASSERT_TRUE(CreateDib24(*src, 3, 3));
  SetDibPixel(*src, 2, 0, 0x00FF8000);
  const std::string path = (dir / "solved.bmp").string();
  // A file that happens to bear a temporary-looking name beside the target is none of ours.
  std::ofstream(path + ".tmp") << "keep";
  std::string error;
  ASSERT_TRUE(SaveBmpFile(*src, path, &error)) << error;
  std::string kept;
  std::ifstream(path + ".tmp") >> kept;
  EXPECT_EQ(kept, "keep");
  std::filesystem::remove(path + ".tmp");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "no temporary left";
  TDibHolder back;
  ASSERT_TRUE(LoadBmpFile(*back, path, &error)) << error;
  EXPECT_EQ(GetDibPixel(*back, 2, 0), 0x00FF8000);
  ASSERT_TRUE(LoadPictureFile(*back, path, &error)) << "chosen by content";
  EXPECT_FALSE(SaveBmpFile(*src, (dir / "no-such-folder" / "x.bmp").string(), &error));
  EXPECT_FALSE(error.empty());
  // A failed save keeps the old file whole.
  TDibImage none;
  InitDib(none);
  EXPECT_FALSE(SaveBmpFile(none, path, &error));
  ASSERT_TRUE(LoadBmpFile(*back, path, &error)) << error;
  EXPECT_EQ(GetDibPixel(*back, 2, 0), 0x00FF8000);
}

}  // namespace
