#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "foundation/dib_image.h"
#include "foundation/picture_encoders.h"
#include "foundation/picture_loading.h"
#include "support/temp_folder.h"

namespace {

// Channel distance allowed after a lossy round trip at high quality.
constexpr int kJpegTolerance = 6;

void ExpectNear(const TDibImage& d, int x, int y, TRgb want, int tolerance) {
  const int32_t c = GetDibPixel(d, x, y);
  ASSERT_GE(c, 0);
  EXPECT_NEAR(c & 255, want.r, tolerance) << "red at " << x << "," << y;
  EXPECT_NEAR((c >> 8) & 255, want.g, tolerance) << "green at " << x << "," << y;
  EXPECT_NEAR((c >> 16) & 255, want.b, tolerance) << "blue at " << x << "," << y;
}

void ExpectQuadrants(const TDibImage& d, const TTestPicture& p) {
  ASSERT_EQ(d.Width, p.width);
  ASSERT_EQ(d.Height, p.height);
  // Centres of the quadrants, away from block edges.
  for (int qy = 0; qy < 2; ++qy)
    for (int qx = 0; qx < 2; ++qx) {
      const int x = qx * p.width / 2 + p.width / 4, y = qy * p.height / 2 + p.height / 4;
      ExpectNear(d, x, y, p.At(x, y), kJpegTolerance);
    }
}

TEST(JpegDecode, RoundTripKeepsColoursOrientationAndLayout) {
  const TTestPicture p = MakeQuadrants(32, 16);
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    TJpegOptions o;
    o.progressive = progressive;
    const std::vector<uint8_t> jpeg = EncodeTestJpeg(p, o);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(*d, jpeg.data(), jpeg.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    EXPECT_FALSE(d->HasAlpha);
    ExpectQuadrants(*d, p);
    // Bottom-up rows: the top-left red pixel lives in the last row of memory, as B, G, R.
    const uint8_t* topLeft = d->Bits + size_t(d->Height - 1) * d->RowStride;
    EXPECT_NEAR(topLeft[2], 255, kJpegTolerance);
    EXPECT_NEAR(topLeft[0], 0, kJpegTolerance);
  }
}

TEST(JpegDecode, CmykPicturesInBothInkConventions) {
  const TTestPicture p = MakeQuadrants(16, 16);
  for (auto ink : {TJpegOptions::kCmykAdobe, TJpegOptions::kCmykPlain}) {
    SCOPED_TRACE(ink == TJpegOptions::kCmykAdobe ? "Adobe" : "plain");
    TJpegOptions o;
    o.ink = ink;
    const std::vector<uint8_t> jpeg = EncodeTestJpeg(p, o);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(*d, jpeg.data(), jpeg.size(), &error)) << error;
    ExpectQuadrants(*d, p);
  }
}

TEST(JpegDecode, OddWidthsFillPaddedRows) {
  // 13 pixels: 39 bytes per row padded to 40; every pixel must still be decoded.
  TTestPicture p;
  p.width = 13;
  p.height = 5;
  p.pixels.assign(size_t(13 * 5), TRgb{40, 120, 200});
  const std::vector<uint8_t> jpeg = EncodeTestJpeg(p);
  TDibHolder d;
  ASSERT_TRUE(DecodeJpeg(*d, jpeg.data(), jpeg.size()));
  EXPECT_EQ(d->RowStride, 40);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) ExpectNear(*d, x, y, {40, 120, 200}, kJpegTolerance);
}

TEST(JpegDecode, GreyPicturesBecomeEqualChannels) {
  TTestPicture p;
  p.width = 16;
  p.height = 8;
  p.pixels.resize(16 * 8);
  for (int i = 0; i < 16 * 8; ++i) p.pixels[size_t(i)] = (i % 16) < 8 ? TRgb{30, 30, 30} : TRgb{220, 220, 220};
  TJpegOptions o;
  o.grey = true;
  const std::vector<uint8_t> jpeg = EncodeTestJpeg(p, o);
  TDibHolder d;
  ASSERT_TRUE(DecodeJpeg(*d, jpeg.data(), jpeg.size()));
  ASSERT_EQ(d->BytesPerPixel, 3);
  const int32_t left = GetDibPixel(*d, 3, 4), right = GetDibPixel(*d, 12, 4);
  EXPECT_EQ(left, int32_t((left & 255) * 0x010101));
  EXPECT_NEAR(left & 255, 30, kJpegTolerance);
  EXPECT_NEAR(right & 255, 220, kJpegTolerance);
}

TEST(JpegDecode, BadInputIsRefusedAndLeavesTheImageAlone) {
  const TTestPicture p = MakeQuadrants(32, 32);
  const std::vector<uint8_t> good = EncodeTestJpeg(p);
  auto refused = [](const std::vector<uint8_t>& bytes) { ExpectRefused(DecodeJpeg, bytes); };
  ExpectPrefixesRefused(DecodeJpeg, good, {0, 3, 20, good.size() / 2, good.size() - 40});
  std::vector<uint8_t> garbage(200, 0x5A);  // after the start marker
  garbage[0] = 0xFF;
  garbage[1] = 0xD8;
  refused(garbage);
  for (auto [w, h] : {std::pair<uint16_t, uint16_t>{65500, 65500}, {30000, 30000}, {0, 10}}) {
    SCOPED_TRACE("declared " + std::to_string(w) + " x " + std::to_string(h));
    std::vector<uint8_t> bytes = good;
    ASSERT_TRUE(PatchJpegSize(bytes, w, h));
    refused(bytes);
  }
  {
    // Within the size limits, but far more blocks than the few hundred bytes could code:
    // refused from the header, before anything is allocated.
    std::vector<uint8_t> bytes = good;
    ASSERT_TRUE(PatchJpegSize(bytes, 16000, 16000));
    std::string error;
    TDibHolder d;
    EXPECT_FALSE(DecodeJpeg(*d, bytes.data(), bytes.size(), &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
}

TEST(JpegDecode, FilesAreReadWholeAndMissingFilesReported) {
  TTempFolder temp;
  const std::filesystem::path dir = temp.Path();
  const std::vector<uint8_t> jpeg = EncodeTestJpeg(MakeQuadrants(16, 16));
  const std::string path = (dir / "q.jpg").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), long(jpeg.size()));
  TDibHolder d;
  std::string error;
  EXPECT_TRUE(LoadJpegFile(*d, path, &error)) << error;
  EXPECT_FALSE(LoadJpegFile(*d, (dir / "missing.jpg").string(), &error));
  EXPECT_NE(error.find("missing.jpg"), std::string::npos);
  EXPECT_FALSE(LoadJpegFile(*d, dir.string(), &error)) << "a folder is no picture";

  // A file larger than any picture we hold is refused before it is read (sparse: no disk).
  const std::string huge = (dir / "huge.jpg").string();
  std::filesystem::copy_file(path, huge);
  std::filesystem::resize_file(huge, std::uintmax_t(1) << 31);
  EXPECT_FALSE(LoadJpegFile(*d, huge, &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_EQ(d->Width, 16);
}

TEST(PictureKind, FirstBytesDecide) {
  const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0};
  const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a'};
  const uint8_t bmp[] = {'B', 'M', 0, 0};
  const uint8_t png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  const uint8_t shortPng[] = {0x89, 'P', 'N', 'G'};
  EXPECT_EQ(DetectPictureKind(jpeg, sizeof jpeg), TPictureKind::Jpeg);
  EXPECT_EQ(DetectPictureKind(gif, sizeof gif), TPictureKind::Gif);
  EXPECT_EQ(DetectPictureKind(bmp, sizeof bmp), TPictureKind::Bitmap);
  EXPECT_EQ(DetectPictureKind(png, sizeof png), TPictureKind::Png);
  EXPECT_EQ(DetectPictureKind(shortPng, sizeof shortPng), TPictureKind::Unknown);
  EXPECT_EQ(DetectPictureKind(nullptr, 0), TPictureKind::Unknown);
  // Content decides, not the name: a JPEG passed to the general loader decodes.
  const std::vector<uint8_t> real = EncodeTestJpeg(MakeQuadrants(16, 16));
  TDibHolder d;
  EXPECT_TRUE(DecodePicture(*d, real.data(), real.size()));
  const uint8_t text[] = "hello";
  std::string error;
  EXPECT_FALSE(DecodePicture(*d, text, sizeof text, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
