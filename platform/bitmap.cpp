#include "platform/bitmap.h"

#include <cstdlib>

TPlatformBitmap* CreatePlatformBitmap(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return nullptr;
  if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
  const int64_t rowBytes = (int64_t(width) * bitsPerPixel / 8 + 1) & ~int64_t(1);
  const int64_t stride = (rowBytes + 3) & ~int64_t(3);
  if (stride * height > kMaxBitmapBytes) return nullptr;
  auto* pixels = static_cast<uint8_t*>(std::calloc(size_t(stride * height), 1));
  if (!pixels) return nullptr;
  auto* bitmap = new TPlatformBitmap;
  bitmap->Width = width;
  bitmap->Height = height;
  bitmap->BitsPerPixel = bitsPerPixel;
  bitmap->RowBytes = int32_t(rowBytes);
  bitmap->AllocatedStride = int32_t(stride);
  bitmap->Pixels = pixels;
  return bitmap;
}

void DestroyPlatformBitmap(TPlatformBitmap* bitmap) {
  if (!bitmap) return;
  std::free(bitmap->Pixels);
  delete bitmap;
}
