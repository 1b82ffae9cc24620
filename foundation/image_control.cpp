#include "foundation/image_control.h"

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"

void InitImageBitmap(TImageControl& image, int32_t width, int32_t height) {
  CreateDib24(*image.Picture, width, height);
}

void SetImageBlank(TImageControl& image, int32_t width, int32_t height, bool fill, uint32_t color) {
  TDibImage& d = *image.Picture;
  if (CreateDib24(d, width, height) && fill) FillDibRect(d, 0, 0, width, height, color);
}

namespace {
using TFileLoader = bool (*)(TDibImage&, const std::string&, std::string*);

bool LoadInto(TFileLoader load, TImageControl& image, const std::string& path, TErrorReporter* reporter) {
  std::string error;
  if (load(*image.Picture, path, &error)) return true;
  if (reporter) reporter->ReportError(error);
  return false;
}
}  // namespace

bool LoadJpegIntoImage(TImageControl& image, const std::string& path, TErrorReporter* reporter) {
  return LoadInto(LoadJpegFile, image, path, reporter);
}
