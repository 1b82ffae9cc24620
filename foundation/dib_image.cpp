#include "foundation/dib_image.h"

#include <cstring>

void InitDib(TDibImage& d) { std::memset(&d, 0, sizeof d); }

namespace {
bool CreateDib(TDibImage& d, int32_t width, int32_t height, int32_t bits) {
  FreeDib(d);
  TPlatformBitmap* bitmap = CreatePlatformBitmap(width, height, bits);
  if (!bitmap) {
    InitDib(d);
    return false;
  }
  AttachDib(bitmap, d);
  return true;
}
}  // namespace

bool CreateDib24(TDibImage& d, int32_t width, int32_t height) { return CreateDib(d, width, height, 24); }
bool CreateDib32(TDibImage& d, int32_t width, int32_t height) { return CreateDib(d, width, height, 32); }
bool CreateDib8(TDibImage& d, int32_t width, int32_t height) { return CreateDib(d, width, height, 8); }

void AttachDib(TPlatformBitmap* bitmap, TDibImage& d) {
  d.Bitmap = bitmap;
  d.BytesPerPixel = bitmap->BitsPerPixel / 8;
  d.RowStride = bitmap->RowBytes + bitmap->RowBytes % 4;
  d.Bits = bitmap->Pixels;
  d.ImageSize = d.RowStride * bitmap->Height;
  d.Width = bitmap->Width;
  d.Height = bitmap->Height;
  d.HasAlpha = d.BytesPerPixel == 4;
}

bool KeepDibFirstChannel(TDibImage& d) {
  if (d.Width <= 0 || !KeepFirstChannel(d.Bitmap)) return false;
  AttachDib(d.Bitmap, d);
  return true;
}

void ShareDib(const TDibImage& source, TDibImage& d) {
  if (&source == &d) return;
  FreeDib(d);
  if (source.Width <= 0) return;
  AttachDib(SharePlatformBitmap(source.Bitmap), d);
  d.HasAlpha = source.HasAlpha;
}

void FreeDib(TDibImage& d) {
  if (d.Width <= 0) return;
  DestroyPlatformBitmap(d.Bitmap);
  d.Bitmap = nullptr;
  d.Bits = nullptr;
  d.Width = d.Height = d.ImageSize = 0;
}

uint32_t DibPixelColor(const uint8_t* p) { return p[2] | (p[1] << 8) | (uint32_t(p[0]) << 16); }

int32_t GetDibPixel(const TDibImage& d, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= d.Width || y >= d.Height) return -1;
  const uint8_t* p = DibPixelAddress(d, x, y);
  if (d.BytesPerPixel == 1) return p[0] | (p[0] << 8) | (p[0] << 16);
  return int32_t(DibPixelColor(p));
}

void SetDibPixel(TDibImage& d, int32_t x, int32_t y, uint32_t color) {
  uint8_t* p = DibPixelAddress(d, x, y);
  if (d.BytesPerPixel == 1) {
    p[0] = uint8_t(color);  // 8-bit buffers hold one channel: the low byte
    return;
  }
  p[0] = uint8_t(color >> 16);
  p[1] = uint8_t(color >> 8);
  p[2] = uint8_t(color);
}

int32_t GetDibAlpha(const TDibImage& d, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= d.Width || y >= d.Height) return 0;
  if (!d.HasAlpha) return 255;
  return DibPixelAddress(d, x, y)[3];
}
