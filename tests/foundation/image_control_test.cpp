#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/image_control.h"
#include "foundation/picture_test_util.h"
#include "support/temp_folder.h"

namespace {

struct TCountingReporter : TErrorReporter {
  int calls = 0;
  void ReportError(const std::string&) override { ++calls; }
};

TEST(ImageControl, BlankPicturesAndJpegLoadsThatReportFailuresAndKeepThePicture) {
  TImageControl image;
  SetImageBlank(image, 7, 4, true, 0x00332211);
  EXPECT_EQ(GetDibPixel(*image.Picture, 6, 3), 0x00332211);
  SetImageBlank(image, 3, 3, false, 0x00FFFFFF);
  EXPECT_EQ(GetDibPixel(*image.Picture, 1, 1), 0) << "without fill the new picture stays black";
  SetImageBlank(image, 3, 3, true, 0x000000FF);

  TTempFolder temp;
  const std::filesystem::path dir = temp.Path();
  const std::string good = (dir / "good.jpg").string(), bad = (dir / "bad.jpg").string();
  const std::vector<uint8_t> jpeg = QtEncoded(Quadrants(24, 16), "JPG");
  std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), long(jpeg.size()));
  std::ofstream(bad, std::ios::binary) << "not a picture";
  TCountingReporter reporter;
  EXPECT_FALSE(LoadJpegIntoImage(image, (dir / "missing.jpg").string(), &reporter));
  EXPECT_FALSE(LoadJpegIntoImage(image, bad, &reporter));
  EXPECT_FALSE(LoadJpegIntoImage(image, bad, nullptr)) << "no reporter: silent failure";
  EXPECT_EQ(reporter.calls, 2);
  EXPECT_EQ(GetDibPixel(*image.Picture, 1, 1), 0x000000FF);
  EXPECT_TRUE(LoadJpegIntoImage(image, good, &reporter));
  EXPECT_EQ(reporter.calls, 2);
  EXPECT_EQ(image.Picture->Height, 16);
}

}  // namespace
