#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/dib_image.h"

// How large a preview and a picture may be, checked before anything of their size is made.

// A preview is shown at most a few hundred pixels wide (the browser's list and level page, the
// info window). A JPEG preview is decoded at 1/2, 1/4 or 1/8 of its size when that keeps its
// longer side at or above kPreviewFitSide; what is left must stay within kMaxPreviewSide, and
// other formats, which cannot be scaled while decoding, within the same side.
constexpr int32_t kPreviewFitSide = 1024;
constexpr int32_t kMaxPreviewSide = 4096;
// What the JPEG decoder may hold besides the preview: a progressive file keeps every
// coefficient of the full-size picture, which a preview has no need of.
constexpr long kPreviewDecoderBytes = 64L << 20;

// The largest picture a game is opened with: the open holds at most about 11 bytes a picture
// pixel at its peak (picture, cut map, the cut's work), so this keeps it near 1.1 GiB.
constexpr int64_t kMaxPicturePixels = 100'000'000;

// The width and height a picture's header declares (JPEG, Windows bitmap, PNG, GIF); false
// when the header cannot be read.
bool ReadPictureSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height);

// A preview or thumbnail of any of the picture formats, decoded within the limits above.
bool DecodePreview(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);
bool LoadPreviewFile(TDibImage& image, const std::string& path, std::string* error = nullptr);
// A preview kept as a file of its own (a thumbnail folder, a download list): JPEG only, of at most
// kMaxPreviewFileBytes, decoded as DecodePreview does.
constexpr int64_t kMaxPreviewFileBytes = 32L << 20;
bool LoadJpegPreviewFile(TDibImage& image, const std::string& path, std::string* error = nullptr);

bool PictureWithinBudget(int64_t width, int64_t height);
// What the player is told when a picture is over the budget.
std::string PictureTooLargeMessage(int64_t width, int64_t height);
