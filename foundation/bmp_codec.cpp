// Windows bitmap files: 1-, 4- and 8-bit with palette (8- and 4-bit also run-length
// compressed), 16-, 24- and 32-bit read; 24-bit written.
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
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
// A run-length command of two bytes paints at most 255 pixels, but end-of-line and delta
// commands skip any number; a declared size is still bounded by the length, generously.
constexpr int64_t kRlePixelsPerByte = 1024;
constexpr int64_t kRleSlack = 1 << 16;

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

// One channel of a 16- or 32-bit pixel, named by its mask and scaled to 8 bits.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  explicit TChannel(uint32_t mask) : Mask(mask) {
    if (!mask) return;
    while (!((mask >> Shift) & 1)) ++Shift;
    Max = mask >> Shift;
  }
  uint8_t Of(uint32_t pixel) const {
    return Max ? uint8_t((uint64_t((pixel & Mask) >> Shift) * 255 + Max / 2) / Max) : 0;
  }
};

// Run-length data into one palette index per pixel, rows in file order (from the bottom).
// Pixels the data never reaches keep index 0; pixels beyond a row's end are dropped.
bool DecodeRle(const uint8_t* p, size_t size, bool four, int64_t width, int64_t height, std::vector<uint8_t>& indexes) {
  indexes.assign(size_t(width * height), 0);
  int64_t x = 0, y = 0;
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (x < width && y < height) indexes[size_t(y * width + x)] = index;
    ++x;
  };
  while (y < height) {
    if (size - i < 2) return false;
    const uint8_t count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) put(four ? uint8_t(k % 2 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (size - i < 2) return false;
      x += p[i];
      y += p[i + 1];
      i += 2;
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t(1);
      if (size - i < padded) return false;
      for (int k = 0; k < value; ++k) put(four ? uint8_t(k % 2 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4) : p[i + k]);
      i += padded;
    }
  }
  return true;
}

}  // namespace

bool DecodeBmp(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return Fail(error, "Not a bitmap file");
  const uint32_t pixelOffset = U32(data + 10);
  const uint8_t* info = data + kFileHeaderSize;
  const uint32_t infoSize = U32(info);
  if (infoSize != kCoreHeaderSize && infoSize < kInfoHeaderSize) return Fail(error, "Bitmap header not supported");
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
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return Fail(error, "Bitmap colour depth not supported");
  const bool rle = (compression == kBiRle8 && bits == 8) || (compression == kBiRle4 && bits == 4);
  if (compression != kBiRgb && !rle && !(compression == kBiBitfields && (bits == 16 || bits == 32)))
    return Fail(error, "Bitmap compression not supported");
  if (rle && topDown) return Fail(error, "Bitmap compression not supported");
  if (!picture_codec::FitsBitmapLimits(width, height, 3) ||
      (rle && width * height > int64_t(size) * kRlePixelsPerByte + kRleSlack))
    return Fail(error,
                "Bitmap of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is not supported");

  // 16- and 32-bit pixels name their channels with masks, stored after the 40-byte header.
  uint32_t masks[3] = {bits == 16 ? 0x7C00u : 0xFF0000u, bits == 16 ? 0x03E0u : 0xFF00u, bits == 16 ? 0x001Fu : 0xFFu};
  if (compression == kBiBitfields) {
    const size_t masksAt = kFileHeaderSize + kInfoHeaderSize;
    if (masksAt + 12 > size) return Fail(error, "Bitmap file ends too early");
    for (int k = 0; k < 3; ++k) masks[k] = U32(data + masksAt + 4 * k);
  }
  const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

  uint8_t palette[256][3] = {};
  if (bits <= 8) {
    const size_t entrySize = infoSize == kCoreHeaderSize ? 3 : 4;
    const size_t most = size_t(1) << bits;
    const size_t count = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
    const size_t at = kFileHeaderSize + infoSize;
    // Files often declare more entries than they hold before the pixels; take what is there.
    const size_t end = pixelOffset > at && pixelOffset <= size ? pixelOffset : size;
    const size_t available = end > at ? (end - at) / entrySize : 0;
    for (size_t i = 0; i < count && i < available; ++i) std::memcpy(palette[i], data + at + i * entrySize, 3);
  }

  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > size) return Fail(error, "Bitmap file ends too early");
  const int64_t rowBytes = ((width * bits + 31) / 32) * 4;
  std::vector<uint8_t> indexes;
  if (rle) {
    if (!DecodeRle(data + pixelOffset, size - pixelOffset, bits == 4, width, height, indexes))
      return Fail(error, "Bitmap file ends too early");
  } else if (rowBytes * height > int64_t(size - pixelOffset)) {
    return Fail(error, "Bitmap file ends too early");
  }

  TDibImage decoded;
  InitDib(decoded);
  if (!CreateDib24(decoded, int32_t(width), int32_t(height))) return Fail(error, "Out of memory for the bitmap");
  for (int64_t fileRow = 0; fileRow < height; ++fileRow) {
    const uint8_t* src = data + pixelOffset + fileRow * rowBytes;
    const int32_t y = int32_t(topDown ? fileRow : height - 1 - fileRow);
    uint8_t* dst = DibScanLine(decoded, y);
    for (int64_t x = 0; x < width; ++x, dst += 3) {
      if (rle) {
        std::memcpy(dst, palette[indexes[size_t(fileRow * width + x)]], 3);
      } else if (bits == 24) {
        std::memcpy(dst, src + 3 * x, 3);
      } else if (bits == 16 || bits == 32) {
        const uint32_t v = bits == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        dst[0] = blue.Of(v);
        dst[1] = green.Of(v);
        dst[2] = red.Of(v);
      } else {
        // Sub-byte indexes are packed from the high bit.
        const int64_t bit = x * bits;
        const int index = (src[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
        std::memcpy(dst, palette[index], 3);
      }
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
