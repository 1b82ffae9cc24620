#pragma once
#include <cstdint>

#include "platform/bitmap.h"

// An image buffer: bottom-up rows padded to 4 bytes, pixels blue, green, red (, alpha).
// BytesPerPixel is 3 or 4 for pictures; 1 serves 8-bit masks such as the knob templates.
// Colours outside pixel memory are 0x00BBGGRR.
struct TDibImage {
  TPlatformBitmap* Bitmap;
  int32_t BytesPerPixel;
  int32_t RowStride;
  int32_t Width;  // 0: the record holds no bitmap
  int32_t Height;
  uint8_t* Bits;
  int32_t ImageSize;
  bool HasAlpha;
};

void InitDib(TDibImage& d);
// Return false (and leave d without a bitmap) for sizes that are zero, negative or absurd.
bool CreateDib24(TDibImage& d, int32_t width, int32_t height);
bool CreateDib32(TDibImage& d, int32_t width, int32_t height);
bool CreateDib8(TDibImage& d, int32_t width, int32_t height);
void AttachDib(TPlatformBitmap* bitmap, TDibImage& d);
// A colour buffer reduced in place to its first channel (an 8-bit buffer); false when d is
// not a colour buffer of its own.
bool KeepDibFirstChannel(TDibImage& d);
// d becomes a second holder of source's pixels (no copy): a change through one shows in both.
void ShareDib(const TDibImage& source, TDibImage& d);
void FreeDib(TDibImage& d);

int32_t GetDibPixel(const TDibImage& d, int32_t x, int32_t y);         // -1 outside
void SetDibPixel(TDibImage& d, int32_t x, int32_t y, uint32_t color);  // no bounds check
// Inline: the cuts call these per pixel.
inline uint8_t* DibScanLine(const TDibImage& d, int32_t y) { return d.Bits + intptr_t(d.Height - 1 - y) * d.RowStride; }
inline uint8_t* DibPixelAddress(const TDibImage& d, int32_t x, int32_t y) {
  return DibScanLine(d, y) + intptr_t(x) * d.BytesPerPixel;
}
int32_t GetDibAlpha(const TDibImage& d, int32_t x, int32_t y);
uint32_t DibPixelColor(const uint8_t* pixel);

// An owning handle for buffers that live in C++ scopes rather than in game records.
class TDibHolder {
 public:
  TDibHolder() { InitDib(d_); }
  ~TDibHolder() { FreeDib(d_); }
  TDibHolder(const TDibHolder&) = delete;
  TDibHolder& operator=(const TDibHolder&) = delete;
  TDibImage& operator*() { return d_; }
  TDibImage* operator->() { return &d_; }
  const TDibImage& operator*() const { return d_; }
  const TDibImage* operator->() const { return &d_; }

 private:
  TDibImage d_;
};
