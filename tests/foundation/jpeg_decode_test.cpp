#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace {

// The frame header's height and width, overwritten.
void PatchSize(std::vector<uint8_t>& jpeg, uint16_t w, uint16_t h) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = uint8_t(h >> 8), jpeg[i + 6] = uint8_t(h), jpeg[i + 7] = uint8_t(w >> 8), jpeg[i + 8] = uint8_t(w);
      return;
    }
  ADD_FAILURE() << "no frame header";
}

TEST(JpegDecode, BaselineProgressiveGreyAndCmykDecodeAsQtReadsThem) {
  QImage grey = Quadrants(32, 16).convertToFormat(QImage::Format_Grayscale8);
  const std::vector<std::vector<uint8_t>> files = {QtEncoded(Quadrants(32, 16), "JPG"),
                                                   QtEncoded(Quadrants(48, 32), "JPG", true), QtEncoded(grey, "JPG"),
                                                   Slurp(std::string(getenv("ZORVA_TEST_DATA")) + "/cmyk.jpg")};
  for (const std::vector<uint8_t>& file : files) {
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(*d, file.data(), file.size(), &error)) << error;
    EXPECT_EQ(d->BytesPerPixel, 3);
    ExpectSamePixels(*d, file, 2);
  }
}

// A 16 x 16 picture of one CMYK ink, written by libjpeg with or without the Adobe marker
// that says the values are stored inverted (255 no ink), as Adobe's programs store them.
std::vector<uint8_t> UniformCmykJpeg(const uint8_t (&cmyk)[4], bool adobe) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = cinfo.image_height = 16;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  cinfo.write_Adobe_marker = adobe;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(16 * 4);
  for (size_t i = 0; i < row.size(); ++i) row[i] = cmyk[i % 4];
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

// With the Adobe marker the stored values are the inverted inks; without it they are the inks.
TEST(JpegDecode, CmykWithAndWithoutTheAdobeMarker) {
  const uint8_t ink[4] = {200, 100, 50, 230};
  const struct {
    bool adobe;
    int red, green, blue;
  } cases[] = {{true, 200 * 230 / 255, 100 * 230 / 255, 50 * 230 / 255},
               {false, 55 * 25 / 255, 155 * 25 / 255, 205 * 25 / 255}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> file = UniformCmykJpeg(ink, c.adobe);
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodeJpeg(*d, file.data(), file.size(), &error)) << error;
    for (const auto& [x, y] : {std::pair{0, 0}, {15, 15}, {7, 9}}) {
      const int32_t px = GetDibPixel(*d, x, y);
      EXPECT_NEAR(px & 255, c.red, 2) << c.adobe;
      EXPECT_NEAR((px >> 8) & 255, c.green, 2) << c.adobe;
      EXPECT_NEAR((px >> 16) & 255, c.blue, 2) << c.adobe;
    }
  }
}

TEST(JpegDecode, AMissingEndMarkerIsNoCutButMissingDataIs) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const std::vector<uint8_t> file = QtEncoded(Quadrants(64, 48), "JPG", progressive);
    TDibHolder whole;
    ASSERT_TRUE(DecodeJpeg(*whole, file.data(), file.size()));
    for (size_t missing : {1, 2}) {
      const std::vector<uint8_t> bytes(file.begin(), file.end() - long(missing));
      TDibHolder d;
      std::string error;
      ASSERT_TRUE(DecodeJpeg(*d, bytes.data(), bytes.size(), &error)) << error;
      EXPECT_EQ(0, std::memcmp(d->Bits, whole->Bits, size_t(d->RowStride) * 48));
    }
    ExpectRefused(DecodeJpeg, std::vector<uint8_t>(file.begin(), file.end() - 30));
    // Between two scans: the last scan's refinement never came.
    size_t lastScan = file.size();
    while (!(file[--lastScan] == 0xFF && file[lastScan + 1] == 0xDA)) {
    }
    if (progressive) ExpectRefused(DecodeJpeg, std::vector<uint8_t>(file.begin(), file.begin() + long(lastScan)));
  }
}

TEST(JpegDecode, HostileFilesAreRefusedWithoutTouchingTheImage) {
  for (bool progressive : {false, true}) {
    std::vector<uint8_t> file = QtEncoded(Quadrants(32, 32), "JPG", progressive);
    ExpectHostileVariantsHandled(DecodeJpeg, file);
    // Within the size limits, but far more blocks than the few hundred bytes could code.
    PatchSize(file, 16000, 16000);
    TDibHolder d;
    std::string error;
    EXPECT_FALSE(DecodeJpeg(*d, file.data(), file.size(), &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
}

TEST(JpegDecode, FilesAreReadWholeAndMissingOrHugeFilesReported) {
  TTempFolder temp;
  const std::string path = temp.File("q.jpg"), huge = temp.File("huge.jpg");
  Spit(path, QtEncoded(Quadrants(16, 16), "JPG"));
  TDibHolder d;
  std::string error;
  EXPECT_TRUE(LoadJpegFile(*d, path, &error)) << error;
  EXPECT_FALSE(LoadJpegFile(*d, temp.File("missing.jpg"), &error));
  EXPECT_NE(error.find("missing.jpg"), std::string::npos);
  EXPECT_FALSE(LoadJpegFile(*d, temp.Path().string(), &error)) << "a folder is no picture";
  // Larger than any picture we hold: refused before it is read (sparse: no disk).
  std::filesystem::copy_file(path, huge);
  std::filesystem::resize_file(huge, std::uintmax_t(1) << 31);
  EXPECT_FALSE(LoadJpegFile(*d, huge, &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_EQ(d->Width, 16);
}

TEST(PictureKind, FirstBytesDecide) {
  const std::pair<std::vector<uint8_t>, TPictureKind> cases[] = {
      {{0xFF, 0xD8, 0xFF, 0xE0}, TPictureKind::Jpeg},
      {{'G', 'I', 'F', '8', '9', 'a'}, TPictureKind::Gif},
      {{'B', 'M', 0, 0}, TPictureKind::Bitmap},
      {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, TPictureKind::Png},
      {{0x89, 'P', 'N', 'G'}, TPictureKind::Unknown},
      {{}, TPictureKind::Unknown}};
  for (const auto& [bytes, kind] : cases) EXPECT_EQ(DetectPictureKind(bytes.data(), bytes.size()), kind);
  // Content decides, not the name.
  const std::vector<uint8_t> png = QtEncoded(Quadrants(4, 4), "PNG");
  TDibHolder d;
  EXPECT_TRUE(DecodePicture(*d, png.data(), png.size()));
  ExpectRefused(DecodePicture, {'h', 'e', 'l', 'l', 'o'});
}

}  // namespace
