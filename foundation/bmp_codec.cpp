// Windows bitmap files: 8-bit with palette, 24-bit and 32-bit read; 24-bit written.
#include <cstring>
#include <string>

#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"

namespace {

using picture_codec::Fail;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the old OS/2 header with 16-bit sizes
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  Put16(v, at, x);
  Put16(v, at + 2, x >> 16);
}

}  // namespace

bool DecodeBmp(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M')
    return Fail(error, "Not a bitmap file");
  const uint32_t pixelOffset = U32(data + 10);
  const uint8_t* info = data + kFileHeaderSize;
  const uint32_t infoSize = U32(info);
  if (infoSize != kCoreHeaderSize && infoSize < kInfoHeaderSize)
    return Fail(error, "Bitmap header not supported");
  if (infoSize > size - kFileHeaderSize) return Fail(error, "Bitmap file ends too early");
  int64_t width, height;
  uint32_t bits, compression = kBiRgb, colorsUsed = 0;
  if (infoSize == kCoreHeaderSize) {
    width = U16(info + 4);
    height = U16(info + 6);
    bits = U16(info + 10);
  } else {
    width = int32_t(U32(info + 4));
    height = int32_t(U32(info + 8));
    bits = U16(info + 14);
    compression = U32(info + 16);
    colorsUsed = U32(info + 32);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (bits != 8 && bits != 24 && bits != 32) return Fail(error, "Bitmap colour depth not supported");
  if (!picture_codec::FitsBitmapLimits(width, height, 3))
    return Fail(error, "Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels is not supported");

  // 32-bit pixels may name their channels with masks; only the usual byte layout is read.
  if (compression == kBiBitfields && bits == 32) {
    const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
    if (masksAt + 12 > size) return Fail(error, "Bitmap file ends too early");
    if (U32(data + masksAt) != 0x00FF0000 || U32(data + masksAt + 4) != 0x0000FF00 ||
        U32(data + masksAt + 8) != 0x000000FF)
      return Fail(error, "Bitmap channel masks not supported");
  } else if (compression != kBiRgb) {
    return Fail(error, "Compressed bitmaps are not supported");
  }

  uint8_t palette[256][3] = {};
  if (bits == 8) {
    const size_t entrySize = infoSize == kCoreHeaderSize ? 3 : 4;
    const size_t count = colorsUsed == 0 || colorsUsed > 256 ? 256 : colorsUsed;
    const size_t at = kFileHeaderSize + infoSize;
    // Files often declare 256 entries but hold fewer before the pixels; take what is there.
    const size_t end = pixelOffset > at && pixelOffset <= size ? pixelOffset : size;
    const size_t available = (end - at) / entrySize;
    for (size_t i = 0; i < count && i < available; ++i)
      std::memcpy(palette[i], data + at + i * entrySize, 3);
  }

  const int64_t rowBytes = ((width * bits + 31) / 32) * 4;
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > size ||
      rowBytes * height > int64_t(size - pixelOffset))
    return Fail(error, "Bitmap file ends too early");

  TDibImage decoded;
  InitDib(decoded);
  if (!CreateDib24(decoded, int32_t(width), int32_t(height)))
    return Fail(error, "Out of memory for the bitmap");
  for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
    const uint8_t* src = data + pixelOffset + fileRow * rowBytes;
    const int32_t y = int32_t(topDown ? fileRow : height - 1 - fileRow);
    uint8_t* dst = DibScanLine(decoded, y);
    if (bits == 24) {
      std::memcpy(dst, src, size_t(width) * 3);
    } else if (bits == 32) {
      for (int64_t x = 0; x < width; ++x, src += 4, dst += 3) std::memcpy(dst, src, 3);
    } else {
      for (int64_t x = 0; x < width; ++x, dst += 3) std::memcpy(dst, palette[src[x]], 3);
    }
  }
  picture_codec::Adopt(image, decoded);
  return true;
}

bool EncodeBmp24(const TDibImage& image, std::vector<uint8_t>& out) {
  out.clear();
  if (image.Width <= 0 || image.Height <= 0 || !image.Bits) return false;
  const size_t rowBytes = (size_t(image.Width) * 3 + 3) & ~size_t(3);
  const size_t pixelBytes = rowBytes * size_t(image.Height);
  const size_t headers = kFileHeaderSize + kInfoHeaderSize;
  out.assign(headers + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, uint32_t(out.size()));
  Put32(out, 10, uint32_t(headers));
  Put32(out, 14, kInfoHeaderSize);
  Put32(out, 18, uint32_t(image.Width));
  Put32(out, 22, uint32_t(image.Height));  // positive: bottom-up, as our buffers are
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 30, kBiRgb);
  Put32(out, 34, uint32_t(pixelBytes));
  for (int32_t y = 0; y < image.Height; ++y) {
    uint8_t* dst = out.data() + headers + size_t(image.Height - 1 - y) * rowBytes;
    const uint8_t* src = DibScanLine(image, y);
    if (image.BytesPerPixel == 3) {
      std::memcpy(dst, src, size_t(image.Width) * 3);
      continue;
    }
    for (int32_t x = 0; x < image.Width; ++x, dst += 3, src += image.BytesPerPixel) {
      if (image.BytesPerPixel == 1) {
        dst[0] = dst[1] = dst[2] = src[0];
      } else {
        std::memcpy(dst, src, 3);
      }
    }
  }
  return true;
}
