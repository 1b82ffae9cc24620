#include "foundation/picture_loading.h"

#include <cstdio>
#include <cstring>

#include "foundation/binary_file.h"
#include "foundation/file_helpers.h"
#include "foundation/picture_codec_common.h"
#include "platform/bitmap.h"
#include "platform/resources.h"

namespace picture_codec {

bool FitsBitmapLimits(int64_t width, int64_t height, int32_t bytesPerPixel) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  const int64_t stride = (width * bytesPerPixel + 3) & ~int64_t(3);
  return stride * height <= kMaxBitmapBytes;
}

void Adopt(TDibImage& target, TDibImage& decoded) {
  FreeDib(target);
  target = decoded;
  InitDib(decoded);
}

}  // namespace picture_codec

using picture_codec::Fail;

TPictureKind DetectPictureKind(const uint8_t* data, size_t size) {
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return TPictureKind::Jpeg;
  if (size >= 4 && std::memcmp(data, "GIF8", 4) == 0) return TPictureKind::Gif;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return TPictureKind::Bitmap;
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 8 && std::memcmp(data, kPng, 8) == 0) return TPictureKind::Png;
  return TPictureKind::Unknown;
}

bool DecodePicture(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  switch (DetectPictureKind(data, size)) {
    case TPictureKind::Jpeg: return DecodeJpeg(image, data, size, error);
    case TPictureKind::Png: return DecodePng(image, data, size, error);
    case TPictureKind::Bitmap: return DecodeBmp(image, data, size, error);
    case TPictureKind::Gif: return DecodeGif(image, data, size, error);
    case TPictureKind::Unknown: break;
  }
  return Fail(error, "Unknown picture format");
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string* error) {
  out.clear();
  std::FILE* f = IsRegularFile(path) ? std::fopen(path.c_str(), "rb") : nullptr;
  if (!f) return Fail(error, "Cannot open file \"" + path + "\"");
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long length = ok ? std::ftell(f) : -1;
  ok = ok && length >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok && length > kMaxBitmapBytes) {
    std::fclose(f);
    return Fail(error, "File \"" + path + "\" is too large");
  }
  if (ok) {
    out.resize(size_t(length));
    ok = length == 0 || std::fread(out.data(), 1, out.size(), f) == out.size();
  }
  std::fclose(f);
  if (!ok) {
    out.clear();
    return Fail(error, "Cannot read file \"" + path + "\"");
  }
  return true;
}

namespace {
using TDecoder = bool (*)(TDibImage&, const uint8_t*, size_t, std::string*);

bool LoadFileWith(TDecoder decode, TDibImage& image, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  return decode(image, bytes.data(), bytes.size(), error);
}
}  // namespace

bool LoadJpegFile(TDibImage& image, const std::string& path, std::string* error) {
  return LoadFileWith(DecodeJpeg, image, path, error);
}

bool LoadPictureFile(TDibImage& image, const std::string& path, std::string* error) {
  return LoadFileWith(DecodePicture, image, path, error);
}

bool SaveBmpFile(const TDibImage& image, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!EncodeBmp24(image, bytes)) return Fail(error, "No picture to save");
  TBinaryWriter f;
  if (!f.Create(path)) return Fail(error, "Cannot create file \"" + path + "\"");
  if (!f.Write(bytes.data(), int64_t(bytes.size())) || !f.Commit())
    return Fail(error, "Cannot write file \"" + path + "\"");
  return true;
}

bool LoadPngFromStream(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  return DecodePng(image, data, size, error);
}

bool LoadPngResource(TDibImage& image, int32_t id, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadProgramResource(kPngResourceKind, id, bytes))
    return Fail(error, "Missing resource PNGIMAGE " + std::to_string(id));
  return DecodePng(image, bytes.data(), bytes.size(), error);
}
