#include "pack.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <vector>

#include "foundation/picture_loading.h"
#include "game/embedded_file.h"
#include "game/jigsaw_file.h"
#include "platform/bitmap.h"

namespace {
bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

bool LoadImage(const std::string& path, QImage& image, std::string* error) {
  // A camera's photo is larger than Qt's default reader limit (128 MB). Any picture the game's
  // bitmaps can hold is taken, read at Qt's four bytes a pixel.
  QImageReader::setAllocationLimit(int(kMaxBitmapBytes / 3 * 4 >> 20));
  QImageReader reader(QString::fromStdString(path));
  reader.setAutoTransform(true);  // honour the camera's orientation tag
  if (!reader.read(&image)) return Fail(error, path + ": " + reader.errorString().toStdString());
  // Pixels go out as sRGB without a profile: the game draws them as they are.
  if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace::SRgb)
    image.convertToColorSpace(QColorSpace::SRgb);
  image.setColorSpace(QColorSpace());
  image = image.convertToFormat(QImage::Format_RGB888);
  return true;
}

// Scales to cover width x height with the aspect kept, then cuts the middle out.
QImage CoverAndCrop(const QImage& image, int width, int height) {
  if (width <= 0 || height <= 0 || (image.width() == width && image.height() == height)) return image;
  QImage scaled = image.scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
  return scaled.copy((scaled.width() - width) / 2, (scaled.height() - height) / 2, width, height);
}

// The browser's own fitting rule, so that a preview of this size is drawn 1:1.
QImage FitPreview(const QImage& image) {
  int w = image.width(), h = image.height();
  if (w > PreviewBoxW || h > PreviewBoxH) {
    int fw = w * PreviewBoxH / h, fh = PreviewBoxH;
    if (fw > PreviewBoxW) {
      fh = h * PreviewBoxW / w;
      fw = PreviewBoxW;
    }
    return image.scaled(std::max(fw, 1), std::max(fh, 1), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return image;
}

bool EncodeJfif(const QImage& image, int quality, std::vector<uint8_t>& out, std::string* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpg");
  writer.setQuality(quality);
  writer.setOptimizedWrite(true);
  if (!writer.write(image)) return Fail(error, "JPEG encoding failed: " + writer.errorString().toStdString());
  out.assign(bytes.begin(), bytes.end());
  if (!IsJfifData(out)) return Fail(error, "the JPEG encoder wrote no JFIF header");
  return true;
}
}  // namespace

bool PackJigsaw(const TPackOptions& options, const std::string& outPath, std::string* error) {
  QImage picture, previewSource;
  if (!LoadImage(options.Picture, picture, error)) return false;
  picture = CoverAndCrop(picture, options.Width, options.Height);
  if (!IsSanePictureSize(picture.width(), picture.height())) return Fail(error, "picture size out of range");
  if (options.Preview.empty()) {
    previewSource = picture;
  } else if (!LoadImage(options.Preview, previewSource, error)) {
    return false;
  }
  std::vector<uint8_t> pictureBytes, previewBytes, description;
  if (!EncodeJfif(picture, options.Quality, pictureBytes, error) ||
      !EncodeJfif(FitPreview(previewSource), options.Quality, previewBytes, error))
    return false;
  if (!options.Description.empty() && !ReadFileBytes(options.Description, description, error)) return false;
  TJigsawHeader header;
  header.ImageW = picture.width();
  header.ImageH = picture.height();
  if (!WriteJigsawFile(outPath, header, previewBytes, description, pictureBytes))
    return Fail(error, "cannot write " + outPath);
  return true;
}
