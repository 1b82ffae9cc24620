#pragma once
// Test pictures made with the real codec libraries, so decoders meet what other programs write.
#include <cstddef>
#include <cstdint>
#include <vector>

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
};
std::vector<uint8_t> EncodeTestJpeg(const TTestPicture& picture, const TJpegOptions& options = {});

// Finds the frame header (SOF0 or SOF2) and overwrites the declared height and width.
bool PatchJpegSize(std::vector<uint8_t>& jpeg, uint16_t width, uint16_t height);
