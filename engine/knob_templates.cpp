#include <cstring>
#include <vector>

#include "engine/knobs.h"

namespace {
#include "engine/knob_templates.inc"
}  // namespace

bool LoadKnobTemplateImage(TDibImage& image) {
  // Decode into a top-down buffer first, so a damaged table leaves the image untouched.
  const size_t total = size_t(kTemplateImageWidth) * kTemplateImageHeight;
  std::vector<uint8_t> pixels;
  pixels.reserve(total);
  for (size_t i = 0; i + 1 < sizeof kKnobTemplateRuns; i += 2) {
    if (pixels.size() + kKnobTemplateRuns[i + 1] > total) return false;
    pixels.insert(pixels.end(), kKnobTemplateRuns[i + 1], kKnobTemplateRuns[i]);
  }
  if (pixels.size() != total) return false;
  if (!CreateDib8(image, kTemplateImageWidth, kTemplateImageHeight)) return false;
  for (int32_t y = 0; y < kTemplateImageHeight; ++y)
    std::memcpy(DibScanLine(image, y), pixels.data() + size_t(y) * kTemplateImageWidth, kTemplateImageWidth);
  return true;
}
