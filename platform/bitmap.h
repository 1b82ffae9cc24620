#pragma once
#include <cstdint>

// A device-independent bitmap: zeroed, bottom-up pixel rows whose length the platform reports
// as the byte count of a row rounded up to an even number (as the original host did).
struct TPlatformBitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t BitsPerPixel = 0;  // 8, 24 or 32
  int32_t RowBytes = 0;      // the reported row length (even)
  int32_t AllocatedStride = 0;
  uint8_t* Pixels = nullptr;
  int32_t Sharers = 0;  // further holders of the same pixels; the last one frees them
};

// Refuses (returns null) sizes of 0 or less, above kMaxBitmapSide, or above kMaxBitmapBytes.
constexpr int32_t kMaxBitmapSide = 32768;
constexpr int64_t kMaxBitmapBytes = int64_t(1) << 30;

TPlatformBitmap* CreatePlatformBitmap(int32_t width, int32_t height, int32_t bitsPerPixel);
// A 24- or 32-bit bitmap made 8-bit in place, keeping the first byte of every pixel; the
// memory past the new size is given back. False (and nothing changed) for other bitmaps and
// for shared ones.
bool KeepFirstChannel(TPlatformBitmap* bitmap);
// Another holder of the same pixels: each holder destroys it once.
TPlatformBitmap* SharePlatformBitmap(TPlatformBitmap* bitmap);
void DestroyPlatformBitmap(TPlatformBitmap* bitmap);
