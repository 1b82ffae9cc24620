#include "ui/dialogs/form_images.h"

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"

QImage ToQImage(const TDibImage& d) {
  if (d.Width <= 0 || d.Height <= 0 || (d.BytesPerPixel != 3 && d.BytesPerPixel != 4)) return {};
  QImage img(d.Width, d.Height, QImage::Format_RGB888);
  for (int32_t y = 0; y < d.Height; ++y) {
    const uint8_t* src = DibScanLine(d, y);
    uint8_t* dst = img.scanLine(y);
    for (int32_t x = 0; x < d.Width; ++x, src += d.BytesPerPixel, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  return img;
}

bool DecodeTo24(TDibImage& out, const std::vector<uint8_t>& bytes) {
  TDibHolder decoded;
  if (bytes.empty() || !DecodePicture(*decoded, bytes.data(), bytes.size())) return false;
  return CopyBitmapToDib(out, *decoded->Bitmap);
}
