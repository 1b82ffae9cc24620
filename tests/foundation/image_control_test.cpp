#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/image_control.h"
#include "foundation/picture_encoders.h"
#include "support/temp_folder.h"

namespace {

struct TCountingReporter : TErrorReporter {
  int calls = 0;
  std::string last;
  void ReportError(const std::string& message) override {
    ++calls;
    last = message;
  }
};

TEST(ImageControl, BlankPicturesHaveTheAskedSizeAndColour) {
  TImageControl image;
  InitImageBitmap(image, 5, 3);
  EXPECT_EQ(GetDibPixel(*image.Picture, 4, 2), 0);

  SetImageBlank(image, 7, 4, true, 0x00332211);
  ASSERT_EQ(image.Picture->Width, 7);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(GetDibPixel(*image.Picture, x, y), 0x00332211);

  SetImageBlank(image, 2, 2, false, 0x00FFFFFF);
  EXPECT_EQ(GetDibPixel(*image.Picture, 1, 1), 0) << "without fill the new picture stays black";
}

TEST(ImageControl, JpegLoadReportsFailuresOnceAndKeepsThePicture) {
  TTempFolder temp;
  const std::filesystem::path dir = temp.Path();
  const std::string good = (dir / "good.jpg").string(), bad = (dir / "bad.jpg").string();
  const std::vector<uint8_t> jpeg = EncodeTestJpeg(MakeQuadrants(24, 16));
  std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), long(jpeg.size()));
  std::ofstream(bad, std::ios::binary) << "not a picture";

  TImageControl image;
  SetImageBlank(image, 3, 3, true, 0x000000FF);
  TCountingReporter reporter;
  EXPECT_FALSE(LoadJpegIntoImage(image, (dir / "missing.jpg").string(), &reporter));
  EXPECT_FALSE(LoadJpegIntoImage(image, bad, &reporter));
  EXPECT_EQ(reporter.calls, 2);
  EXPECT_FALSE(LoadJpegIntoImage(image, bad, nullptr)) << "no reporter: silent failure";
  EXPECT_EQ(image.Picture->Width, 3);
  EXPECT_EQ(GetDibPixel(*image.Picture, 1, 1), 0x000000FF);

  EXPECT_TRUE(LoadJpegIntoImage(image, good, &reporter));
  EXPECT_EQ(reporter.calls, 2);
  EXPECT_EQ(image.Picture->Height, 16);
}

}  // namespace
