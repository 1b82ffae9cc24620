#pragma once
// Test pictures made with the real codec libraries, so decoders meet what other programs write.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/dib_image.h"

struct TRgb {
  uint8_t r, g, b;
};

// Top-down RGB pixels, width * height of them.
struct TTestPicture {
  int width = 0;
  int height = 0;
  std::vector<TRgb> pixels;
  TRgb At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Four solid quadrants (red, green, blue, white), each a multiple of 8 pixels wide and high
// so that JPEG blocks do not mix colours.
TTestPicture MakeQuadrants(int width, int height);

struct TJpegOptions {
  int quality = 95;
  bool progressive = false;
  bool grey = false;
  bool fullChroma = true;  // 4:4:4 rather than 4:2:0
  // CMYK without black ink: inverted as Adobe's programs write it (with their marker), or
  // plain (0 = no ink, no marker).
  enum { kRgb, kCmykAdobe, kCmykPlain } ink = kRgb;
};
std::vector<uint8_t> EncodeTestJpeg(const TTestPicture& picture, const TJpegOptions& options = {});

// Finds the frame header (SOF0 or SOF2) and overwrites the declared height and width.
bool PatchJpegSize(std::vector<uint8_t>& jpeg, uint16_t width, uint16_t height);

// A PNG written by libpng from raw rows in the PNG's own sample layout (16-bit samples big-endian,
// sub-byte samples packed from the high bit).
struct TPngSpec {
  int width = 0;
  int height = 0;
  int colorType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::vector<uint8_t>> rows;  // top-down
  std::vector<TRgb> palette;
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette pictures
};
std::vector<uint8_t> EncodeTestPng(const TPngSpec& desc);

// A GIF written by giflib: colour indexes top-down, one frame at (left, top) on a screen.
struct TGifSpec {
  int screenWidth = 0;
  int screenHeight = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  bool localColors = false;  // the frame's own colour table instead of the global one
  int background = 0;
  int transparent = -1;
  std::vector<TRgb> colors;  // a power of two entries
  std::vector<uint8_t> indexes;
};
std::vector<uint8_t> EncodeTestGif(const TGifSpec& desc);

// A decoder must refuse the bytes with a message and leave the caller's image untouched.
using TTestDecoder = bool (*)(TDibImage&, const uint8_t*, size_t, std::string*);
void ExpectRefused(TTestDecoder decode, const std::vector<uint8_t>& bytes);
// Every prefix cut at the given lengths must be refused.
void ExpectPrefixesRefused(TTestDecoder decode, const std::vector<uint8_t>& bytes,
                           const std::vector<size_t>& cuts);
