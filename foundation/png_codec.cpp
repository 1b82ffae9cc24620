// PNG decoding with libpng: every colour type and bit depth normalised to 8-bit BGR or BGRA.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <png.h>

#include "foundation/picture_codec_common.h"
#include "foundation/picture_loading.h"
#include "platform/bitmap.h"

namespace {

// Deflate cannot shrink data by more than about 1032:1, so a header that promises more pixels
// than the file could hold is a lie, refused before the image is allocated.
constexpr int64_t kDeflateRatio = 1100;
constexpr int64_t kDeflateSlack = 1 << 16;

struct TPngSource {
  picture_codec::TByteReader Bytes;
  char Message[256];
};

void PngRead(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (src->Bytes.Read(out, count) != count) png_error(png, "PNG data ends too early");
}

void PngError(png_structp png, png_const_charp message) {
  // An empty message means ours was set before the jump.
  auto* src = static_cast<TPngSource*>(png_get_error_ptr(png));
  if (message && *message) std::snprintf(src->Message, sizeof src->Message, "PNG error: %s", message);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Only plain data lives in this frame: longjmp leaves it without running destructors.
bool DecodePngRaw(TDibImage& out, TPngSource& src) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, PngError, PngWarning);
  if (!png) {
    std::snprintf(src.Message, sizeof src.Message, "PNG decoder unavailable");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  png_bytep* volatile rows = nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    FreeDib(out);
    if (!src.Message[0]) std::snprintf(src.Message, sizeof src.Message, "PNG decoder unavailable");
    return false;
  }
  png_set_read_fn(png, &src, PngRead);
  png_set_user_limits(png, kMaxBitmapSide, kMaxBitmapSide);
  png_set_chunk_malloc_max(png, 8 << 20);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  const int32_t bytesPerPixel = alpha ? 4 : 3;
  const int64_t packedBytes = (int64_t(width) * png_get_channels(png, info) * bitDepth + 7) / 8;
  if (!picture_codec::FitsBitmapLimits(width, height, bytesPerPixel) ||
      packedBytes * int64_t(height) > int64_t(src.Bytes.Size) * kDeflateRatio + kDeflateSlack) {
    std::snprintf(src.Message, sizeof src.Message, "PNG picture of %u x %u pixels is too large", unsigned(width),
                  unsigned(height));
    png_error(png, "");  // jumps to the refusal above; the message is already set
  }
  // Transparency chunks are not turned into alpha: only colour types 4 and 6 carry it.
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  if (!alpha) png_set_strip_alpha(png);  // expansion may have made alpha from tRNS
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * size_t(bytesPerPixel)) {
    std::snprintf(src.Message, sizeof src.Message, "PNG pixel layout not supported");
    png_error(png, "");
  }
  if (!(alpha ? CreateDib32(out, int32_t(width), int32_t(height))
              : CreateDib24(out, int32_t(width), int32_t(height)))) {
    std::snprintf(src.Message, sizeof src.Message, "Out of memory for the PNG picture");
    png_error(png, "");
  }
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!rows) png_error(png, "out of memory");
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = DibScanLine(out, int32_t(y));
  png_read_image(png, rows);  // what follows the pixels is of no interest
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(rows);
  return true;
}

}  // namespace

bool DecodePng(TDibImage& image, const uint8_t* data, size_t size, std::string* error) {
  TPngSource src{{data, size, 0}, {0}};
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return picture_codec::Fail(error, "Not a PNG file");
  TDibImage decoded;
  InitDib(decoded);
  if (!DecodePngRaw(decoded, src)) return picture_codec::Fail(error, src.Message);
  picture_codec::Adopt(image, decoded);
  return true;
}
