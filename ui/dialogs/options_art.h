#pragma once
#include <cstdint>

// The options dialog's artwork under resources/images/ (made by tools/make-options-art).
constexpr int32_t kOptionsSampleWidth = 128;
constexpr int32_t kOptionsSampleHeight = 120;
inline constexpr const char* kOptionsSampleMaskFile = "options-sample-mask.png";
inline constexpr const char* kOptionsSamplePictureFile = "options-sample-picture.png";
// The flag of a language that has none of its own; magenta is transparent.
constexpr int32_t kFlagWidth = 60;
constexpr int32_t kFlagHeight = 40;
inline constexpr const char* kCustomFlagFile = "flag-custom.png";
constexpr uint32_t kFlagTransparent = 0xFF00FF;  // 0x00BBGGRR
