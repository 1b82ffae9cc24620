#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/dib_image.h"

// Picture decoders into TDibImage buffers. Every decoder works on bytes in memory and either
// succeeds, replacing whatever the image held, or refuses with a message in *error (when given)
// and leaves the image exactly as it was. Header sizes are checked against the bitmap limits
// before anything is allocated.

// The picture kinds told apart by their first bytes. Unknown, Bitmap, Jpeg and Gif keep the
// numbers the jigsaw readers use for embedded pictures (0 to 3).
enum class TPictureKind : int32_t { Unknown = 0, Bitmap = 1, Jpeg = 2, Gif = 3, Png = 4 };

TPictureKind DetectPictureKind(const uint8_t* data, size_t size);

// Baseline or progressive JPEG (grey, YCbCr, RGB, CMYK) into a 24-bit image. A file cut short
// is refused rather than shown half grey.
bool DecodeJpeg(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);

// PNG of any colour type and bit depth, normalised to 8 bits per channel: colour types 4 and 6
// (with an alpha channel) give a 32-bit image with HasAlpha, all others a 24-bit image.
bool DecodePng(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);

// Windows bitmap (1-, 4-, 8-bit with palette, run-length 4- and 8-bit, 16-, 24-, 32-bit;
// bottom-up or top-down) into a 24-bit image.
bool DecodeBmp(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);

// The first frame of a GIF, composed on its logical screen, into a 24-bit image.
bool DecodeGif(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);

// Any of the above, chosen by content.
bool DecodePicture(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);

// A 24-bit bottom-up Windows bitmap of the image (alpha dropped; 8-bit buffers as grey).
bool EncodeBmp24(const TDibImage& image, std::vector<uint8_t>& out);

// Whole-file helpers. Reading refuses files above the bitmap byte limit.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string* error = nullptr);
bool LoadJpegFile(TDibImage& image, const std::string& path, std::string* error = nullptr);
bool LoadPictureFile(TDibImage& image, const std::string& path, std::string* error = nullptr);
// Written to a private temporary file beside the target, flushed and renamed over it.
bool SaveBmpFile(const TDibImage& image, const std::string& path, std::string* error = nullptr);

// The program's own PNG resources (kind "PNGIMAGE", numeric ids).
bool LoadPngFromStream(TDibImage& image, const uint8_t* data, size_t size, std::string* error = nullptr);
bool LoadPngResource(TDibImage& image, int32_t id, std::string* error = nullptr);
