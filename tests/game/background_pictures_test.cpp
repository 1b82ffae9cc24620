#include "game/background_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "support/file_bytes.h"
#include "support/qt_picture_bytes.h"
#include "support/temp_folder.h"

namespace {

// A background folder of single-colour pictures: picture i in grey 20 * (i + 1).
struct TPictureFolder {
  TTempFolder Dir;
  std::string Folder = Dir.Path().string() + "/";
  TPictureFolder(int width, int height) {
    for (int i = 0; i < kBackgroundPictureCount; ++i) {
      const QColor grey(20 * (i + 1), 20 * (i + 1), 20 * (i + 1));
      Spit(BackgroundPicturePath(Folder, i), QtPictureBytes("JPG", width, height, grey));
      Spit(BackgroundButtonPath(Folder, i), QtPictureBytes("JPG", 63, 50, grey));
    }
  }
};

int Grey(const TDibImage& d, int x, int y) { return GetDibPixel(d, x, y) & 0xFF; }

}  // namespace

TEST(BackgroundButtons, LoadedFromTheFolderMissingAndBrokenOnesStayEmpty) {
  const TPictureFolder pictures(16, 12);
  const std::string& folder = pictures.Folder;
  std::filesystem::remove(BackgroundButtonPath(folder, 2));
  std::vector<uint8_t> cut = Slurp(BackgroundButtonPath(folder, 5));
  cut.resize(cut.size() / 2);
  Spit(BackgroundButtonPath(folder, 5), cut);
  Spit(BackgroundButtonPath(folder, 6), std::vector<uint8_t>(100000, 0xFF));

  TBackgroundButtons buttons;
  LoadBackgroundButtons(buttons, folder);
  for (int i = 0; i < kBackgroundPictureCount; ++i) {
    const TDibImage& b = *buttons.Buttons[i];
    if (i == 2 || i == 5 || i == 6) {
      EXPECT_EQ(b.Width, 0) << i;
      continue;
    }
    ASSERT_EQ(b.Width, 63) << i;
    EXPECT_EQ(b.BytesPerPixel, 3);
    EXPECT_NEAR(Grey(b, 30, 25), 20 * (i + 1), 3) << i;
  }
  FreeBackgroundButtons(buttons);
  for (const TDibHolder& b : buttons.Buttons) EXPECT_EQ(b->Width, 0);

  TBackgroundButtons none;
  LoadBackgroundButtons(none, folder + "missing/");
  for (const TDibHolder& b : none.Buttons) EXPECT_EQ(b->Width, 0);
}

TEST(BackgroundPicture, LoadedScaledToTheTargetAndKeptWhileCodeAndSizeStay) {
  const TPictureFolder pictures(40, 30);
  const std::string& folder = pictures.Folder;
  TImageControl bkg;
  ASSERT_TRUE(LoadBackgroundPicture(bkg, folder, 13, 80, 50));
  EXPECT_EQ(bkg.Tag, 13);
  EXPECT_EQ(bkg.Picture->Width, 80);
  EXPECT_EQ(bkg.Picture->Height, 50);
  EXPECT_NEAR(Grey(*bkg.Picture, 40, 25), 80, 3);
  // Same code and size: kept, even with the file gone.
  std::filesystem::remove(BackgroundPicturePath(folder, 3));
  EXPECT_TRUE(LoadBackgroundPicture(bkg, folder, 13, 80, 50));
  // Another size must be read again: it cannot, so the picture stays but is untagged.
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 13, 81, 50));
  EXPECT_EQ(bkg.Tag, 0);
  EXPECT_EQ(bkg.Picture->Width, 80);
  // A width of its own is scaled to even where the height is the picture's.
  ASSERT_TRUE(LoadBackgroundPicture(bkg, folder, 17, 80, 30));
  EXPECT_EQ(bkg.Tag, 17);
  EXPECT_EQ(bkg.Picture->Width, 80);
  EXPECT_NEAR(Grey(*bkg.Picture, 5, 5), 160, 3);
}

TEST(BackgroundPicture, RefusesColoursBrokenFilesAndImpossibleSizes) {
  const TPictureFolder pictures(40, 30);
  const std::string& folder = pictures.Folder;
  TImageControl bkg;
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 0x989898, 80, 50));
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 9, 80, 50));
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 18, 80, 50));
  EXPECT_EQ(bkg.Picture->Width, 0);
  std::vector<uint8_t> cut = Slurp(BackgroundPicturePath(folder, 1));
  cut.resize(cut.size() - 40);
  Spit(BackgroundPicturePath(folder, 1), cut);
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 11, 80, 50));
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 12, 0, 50));
  EXPECT_FALSE(LoadBackgroundPicture(bkg, folder, 12, 80, -5));
  EXPECT_EQ(bkg.Tag, 0);
  EXPECT_EQ(bkg.Picture->Width, 0);
}
