#include <gtest/gtest.h>

#include <zlib.h>

#include <QImage>

#include "foundation/dib_image.h"
#include "foundation/picture_encoders.h"
#include "foundation/picture_loading.h"

namespace {

int32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

std::vector<uint8_t> Bytes(std::initializer_list<int> v) { return {v.begin(), v.end()}; }

TPngSpec PngOf(int w, int h, int colorType, int bitDepth, std::vector<std::vector<uint8_t>> rows) {
  TPngSpec s;
  s.width = w;
  s.height = h;
  s.colorType = colorType;
  s.bitDepth = bitDepth;
  s.rows = std::move(rows);
  return s;
}

TEST(PngDecode, AlphaPicturesKeepEveryAlphaValueAndTheirOrientation) {
  const std::vector<uint8_t> png =
      EncodeTestPng(PngOf(3, 2, 6, 8, {Bytes({255, 0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 128}),
                                      Bytes({10, 20, 30, 1, 40, 50, 60, 254, 70, 80, 90, 255})}));
  TDibHolder d;
  std::string error;
  ASSERT_TRUE(DecodePng(*d, png.data(), png.size(), &error)) << error;
  EXPECT_EQ(d->BytesPerPixel, 4);
  EXPECT_TRUE(d->HasAlpha);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(GetDibAlpha(*d, 0, 0), 255);
  EXPECT_EQ(GetDibPixel(*d, 1, 0), Rgb(0, 255, 0));
  EXPECT_EQ(GetDibPixel(*d, 2, 1), Rgb(70, 80, 90));
  // Fully transparent pixels keep alpha 0.
  EXPECT_EQ(std::vector<int>({GetDibAlpha(*d, 1, 0), GetDibAlpha(*d, 2, 0), GetDibAlpha(*d, 0, 1),
                              GetDibAlpha(*d, 1, 1)}),
            std::vector<int>({0, 128, 1, 254}));
  // Top-left pixel in the last row of memory, bytes blue, green, red, alpha.
  const uint8_t* p = d->Bits + size_t(d->Height - 1) * d->RowStride;
  EXPECT_EQ(std::vector<uint8_t>(p, p + 4), std::vector<uint8_t>({0, 0, 255, 255}));
}

TEST(PngDecode, ColourTypesWithoutAlphaGiveTwentyFourBits) {
  struct TCase { const char* name; TPngSpec desc; std::vector<int32_t> want; };  // want: top-down
  TPngSpec palette = PngOf(3, 2, 3, 4, {Bytes({0x01, 0x20}), Bytes({0x21, 0x00})});
  palette.palette = {{10, 20, 30}, {200, 100, 50}, {0, 0, 255}};
  palette.paletteAlpha = {0, 255, 255};  // a transparency chunk: colours only, as for colour type 3
  const int32_t white = Rgb(255, 255, 255);
  const std::vector<TCase> cases = {
      {"8-bit truecolour", PngOf(2, 1, 2, 8, {Bytes({1, 2, 3, 250, 251, 252})}),
       {Rgb(1, 2, 3), Rgb(250, 251, 252)}},
      // 16-bit samples scale to 8 bits: 0xFFFF -> 255, 0x8080 -> 128.
      {"16-bit truecolour", PngOf(2, 1, 2, 16, {Bytes({0xFF, 0xFF, 0, 0, 0x80, 0x80, 0, 0, 0xFF, 0xFF, 0, 0})}),
       {Rgb(255, 0, 128), Rgb(0, 255, 0)}},
      {"1-bit grey", PngOf(3, 1, 0, 1, {Bytes({0xA0})}), {white, 0, white}},  // packed from the high bit
      {"4-bit grey", PngOf(2, 1, 0, 4, {Bytes({0x8F})}), {Rgb(0x88, 0x88, 0x88), white}},
      {"4-bit palette", palette,
       {Rgb(10, 20, 30), Rgb(200, 100, 50), Rgb(0, 0, 255), Rgb(0, 0, 255), Rgb(200, 100, 50), Rgb(10, 20, 30)}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> png = EncodeTestPng(c.desc);
    ASSERT_FALSE(png.empty());
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodePng(*d, png.data(), png.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    EXPECT_FALSE(d->HasAlpha);
    ASSERT_EQ(d->Width, c.desc.width);
    ASSERT_EQ(d->Height, c.desc.height);
    for (int y = 0; y < c.desc.height; ++y)
      for (int x = 0; x < c.desc.width; ++x)
        EXPECT_EQ(GetDibPixel(*d, x, y), c.want[size_t(y * c.desc.width + x)]) << x << "," << y;
  }
}

TEST(PngDecode, SixteenBitGreyWithAlphaAndInterlacedPictures) {
  std::vector<uint8_t> png = EncodeTestPng(PngOf(2, 1, 4, 16, {Bytes({0x80, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0})}));
  TDibHolder d;
  ASSERT_TRUE(DecodePng(*d, png.data(), png.size()));
  EXPECT_EQ(d->BytesPerPixel, 4);
  EXPECT_EQ(GetDibPixel(*d, 0, 0), Rgb(128, 128, 128));
  EXPECT_EQ(GetDibAlpha(*d, 0, 0), 255);
  EXPECT_EQ(GetDibPixel(*d, 1, 0), Rgb(255, 255, 255));
  EXPECT_EQ(GetDibAlpha(*d, 1, 0), 0);

  // Adam7 spreads pixels over seven passes; every pixel must land in its own place.
  TPngSpec inter = PngOf(11, 9, 2, 8, {});
  inter.interlaced = true;
  for (int y = 0; y < 9; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < 11; ++x) row.insert(row.end(), {uint8_t(x * 20), uint8_t(y * 25), uint8_t(x + y)});
    inter.rows.push_back(row);
  }
  png = EncodeTestPng(inter);
  ASSERT_TRUE(DecodePng(*d, png.data(), png.size()));
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x) EXPECT_EQ(GetDibPixel(*d, x, y), Rgb(x * 20, y * 25, x + y));
}

// Overwrites the IHDR size and mends its checksum, so only the size lies.
void SetPngSize(std::vector<uint8_t>& png, uint32_t w, uint32_t h) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = uint8_t(w >> (24 - 8 * i));
    png[20 + i] = uint8_t(h >> (24 - 8 * i));
  }
  const uint32_t crc = uint32_t(crc32(0, png.data() + 12, 17));
  for (int i = 0; i < 4; ++i) png[29 + i] = uint8_t(crc >> (24 - 8 * i));
}

TEST(PngDecode, DamagedAndLyingFilesAreRefusedWithoutTouchingTheImage) {
  TPngSpec s = PngOf(16, 16, 2, 8, {});
  for (int y = 0; y < 16; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < 48; ++x) row.push_back(uint8_t(x * 7 + y * 13));
    s.rows.push_back(row);
  }
  const std::vector<uint8_t> good = EncodeTestPng(s);
  auto refused = [](const std::vector<uint8_t>& bytes) { ExpectRefused(DecodePng, bytes); };
  ExpectPrefixesRefused(DecodePng, good, {0, size_t(8), size_t(20), size_t(33), size_t(50), good.size() - 20});
  {
    SCOPED_TRACE("broken header checksum");
    std::vector<uint8_t> bytes = good;
    bytes[17] ^= 1;
    refused(bytes);
  }
  for (auto [w, h] : {std::pair<uint32_t, uint32_t>{30000, 30000}, {5000, 5000}, {0, 16},
                      {0x7FFFFFFF, 1}}) {
    SCOPED_TRACE("declared " + std::to_string(w) + " x " + std::to_string(h));
    std::vector<uint8_t> bytes = good;
    SetPngSize(bytes, w, h);
    refused(bytes);
  }
  {
    SCOPED_TRACE("damaged pixel data");
    std::vector<uint8_t> bytes = good;
    for (size_t i = 45; i < bytes.size() - 30; ++i) bytes[i] = uint8_t(i * 31);
    refused(bytes);
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
