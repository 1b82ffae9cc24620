#include "game/background_pictures.h"

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"

const char* const BackgroundPictureNames[kBackgroundPictureCount] = {
    "parquet", "stucco1", "stucco4", "wood1", "wood2", "wood3", "wood4", "wood5",
};

std::string BackgroundFolder(const std::string& programDir) { return programDir + "bkg-pics/"; }

std::string BackgroundPicturePath(const std::string& bkgDir, int32_t index) {
  return bkgDir + BackgroundPictureNames[index] + "-1600.jpg";
}

std::string BackgroundButtonPath(const std::string& bkgDir, int32_t index) {
  return bkgDir + BackgroundPictureNames[index] + "-but.jpg";
}

void LoadBackgroundButtons(TBackgroundButtons& buttons, const std::string& bkgDir) {
  for (int32_t i = 0; i < kBackgroundPictureCount; ++i) {
    // A failed decode leaves the slot as it was: empty.
    FreeDib(*buttons.Buttons[i]);
    LoadJpegFile(*buttons.Buttons[i], BackgroundButtonPath(bkgDir, i));
  }
}

void FreeBackgroundButtons(TBackgroundButtons& buttons) {
  for (TDibHolder& b : buttons.Buttons) FreeDib(*b);
}

bool LoadBackgroundPicture(TImageControl& bkgPic, const std::string& bkgDir, int64_t code, int32_t width,
                           int32_t height) {
  if (!IsBackgroundPicture(code)) return false;
  TDibImage& held = *bkgPic.Picture;
  if (bkgPic.Tag == code && held.Width == width && held.Height == height) return true;
  bkgPic.Tag = 0;
  TDibHolder loaded;
  if (!LoadJpegFile(*loaded, BackgroundPicturePath(bkgDir, int32_t(code - kFirstBackgroundCode)))) return false;
  if (loaded->Width != width || loaded->Height != height) {
    TDibHolder scaled;
    if (!CreateDib24(*scaled, width, height)) return false;
    ScaleDib(*scaled, *loaded);
    std::swap(*scaled, *loaded);
  }
  std::swap(held, *loaded);
  bkgPic.Tag = int32_t(code);
  return true;
}
