#pragma once
#include <cstdint>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/image_control.h"

// The eight background pictures a game window can show instead of a colour. A background value
// is a colour 0x00BBGGRR or a picture code 10..17 (picture code - 10 in the tables below).

constexpr int32_t kBackgroundPictureCount = 8;
constexpr int32_t kFirstBackgroundCode = 10;
// The grey a window shows when its picture cannot be had.
constexpr int32_t kBackgroundGrey = 0x989898;
// Size of a button picture ("<name>-but.jpg"), as the picker's cells show it.
constexpr int32_t kBackgroundButtonWidth = 63;
constexpr int32_t kBackgroundButtonHeight = 50;

extern const char* const BackgroundPictureNames[kBackgroundPictureCount];

constexpr bool IsBackgroundPicture(int64_t code) { return code >= 10 && code <= 17; }

// The background folder below the program folder (which ends with '/').
std::string BackgroundFolder(const std::string& programDir);
// "<folder><name>-1600.jpg" and "<folder><name>-but.jpg" for picture index 0..7.
std::string BackgroundPicturePath(const std::string& bkgDir, int32_t index);
std::string BackgroundButtonPath(const std::string& bkgDir, int32_t index);

// The button pictures of the eight backgrounds, 24-bit. A slot whose file is missing or
// unreadable stays empty (Width 0).
struct TBackgroundButtons {
  TDibHolder Buttons[kBackgroundPictureCount];
};
void LoadBackgroundButtons(TBackgroundButtons& buttons, const std::string& bkgDir);
void FreeBackgroundButtons(TBackgroundButtons& buttons);

// The one background picture in use (I_BkgPic): Tag is the code it holds, 0 for none. Loads
// picture `code` scaled to width x height; a picture already held at that size is kept. False
// for a value that is no picture code, a missing or unreadable file or an impossible size;
// the previous picture then stays but is no longer tagged.
bool LoadBackgroundPicture(TImageControl& bkgPic, const std::string& bkgDir, int64_t code, int32_t width,
                           int32_t height);
