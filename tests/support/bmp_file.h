#pragma once
// A BMP file the program wrote, read back as a picture; any other kind of file is refused.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/picture_loading.h"

inline bool LoadBmpFile(TDibImage& image, const std::string& path) {
  std::vector<uint8_t> bytes;
  return ReadFileBytes(path, bytes) && DecodeBmp(image, bytes.data(), bytes.size());
}
