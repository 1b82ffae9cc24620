#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/picture_limits.h"

// Shared by the picture decoders; not part of the loading interface.
namespace picture_codec {

// True when a picture of that size can be held by a bitmap with that many bytes per pixel.
bool FitsBitmapLimits(int64_t width, int64_t height, int32_t bytesPerPixel);

inline bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

// Bytes handed to a codec library piece by piece.
struct TByteReader {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
  // Copies up to count bytes; returns how many there were.
  size_t Read(void* out, size_t count) {
    const size_t n = std::min(count, Size - Pos);
    std::memcpy(out, Data + Pos, n);
    Pos += n;
    return n;
  }
};

// Hands a freshly decoded buffer over to the caller's image, freeing what it held.
void Adopt(TDibImage& target, TDibImage& decoded);

// A JPEG preview, scaled down while it is decoded (picture_limits.h tells the sizes).
bool DecodeJpegPreview(TDibImage& image, const uint8_t* data, size_t size, std::string* error);
// The size a JPEG's frame header declares; false when there is none.
bool ReadJpegSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height);

}  // namespace picture_codec
