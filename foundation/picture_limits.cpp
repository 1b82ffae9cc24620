#include "foundation/picture_limits.h"

#include <vector>

#include "foundation/binary_file.h"
#include "foundation/file_helpers.h"
#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"

namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

bool BmpSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
  if (size < 26) return false;
  const uint32_t header = Le32(data + 14);
  if (header == 12) {  // the old core header: 16-bit sides
    width = int32_t(Le16(data + 18));
    height = int32_t(Le16(data + 20));
    return true;
  }
  const int64_t w = int32_t(Le32(data + 18)), h = int32_t(Le32(data + 22));
  if (w <= 0 || h == 0 || h == INT32_MIN) return false;
  width = int32_t(w);
  height = int32_t(h < 0 ? -h : h);
  return true;
}

}  // namespace

bool ReadPictureSize(const uint8_t* data, size_t size, int32_t& width, int32_t& height) {
  switch (DetectPictureKind(data, size)) {
    case TPictureKind::Jpeg: return picture_codec::ReadJpegSize(data, size, width, height);
    case TPictureKind::Bitmap: return BmpSize(data, size, width, height);
    case TPictureKind::Png:
      if (size < 24) return false;
      width = int32_t(Be32(data + 16) & 0x7FFFFFFF);
      height = int32_t(Be32(data + 20) & 0x7FFFFFFF);
      return true;
    case TPictureKind::Gif:
      if (size < 10) return false;
      width = int32_t(Le16(data + 6));
      height = int32_t(Le16(data + 8));
      return true;
    case TPictureKind::Unknown: break;
  }
  return false;
}

bool DecodePreview(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  if (DetectPictureKind(data, size) == TPictureKind::Jpeg)
    return picture_codec::DecodeJpegPreview(image, data, size, error);
  int32_t w = 0, h = 0;
  if (ReadPictureSize(data, size, w, h) && (w > kMaxPreviewSide || h > kMaxPreviewSide))
    return picture_codec::Fail(error,
                               "Preview of " + std::to_string(w) + " x " + std::to_string(h) + " pixels is too large");
  return DecodePicture(image, data, size, error);
}

bool LoadPreviewFile(TDibImage& image, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  return DecodePreview(image, bytes.data(), bytes.size(), error);
}

bool LoadJpegPreviewFile(TDibImage& image, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  // Checked before the open, which would wait on a named pipe.
  if (!IsRegularFile(path) || !ReadFileHead(path, size_t(kMaxPreviewFileBytes) + 1, bytes))
    return picture_codec::Fail(error, "Cannot read file \"" + path + "\"");
  if (int64_t(bytes.size()) > kMaxPreviewFileBytes)
    return picture_codec::Fail(error, "File \"" + path + "\" is too large for a preview");
  if (DetectPictureKind(bytes.data(), bytes.size()) != TPictureKind::Jpeg)
    return picture_codec::Fail(error, "File \"" + path + "\" is no JPEG picture");
  return DecodePreview(image, bytes.data(), bytes.size(), error);
}

bool PictureWithinBudget(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPicturePixels / height;
}

std::string PictureTooLargeMessage(int64_t width, int64_t height) {
  return "This picture is too large to open: it has " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels, and the game opens pictures of up to " + std::to_string(kMaxPicturePixels / 1'000'000) +
         " million pixels.";
}
