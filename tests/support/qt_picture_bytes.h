#pragma once
// Pictures encoded by Qt's own writers: real files of each format for the readers.
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> QtEncoded(const QImage& image, const char* format, bool progressive = false) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setProgressiveScanWrite(progressive);
  if (!writer.write(image)) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A one-colour picture.
inline std::vector<uint8_t> QtPictureBytes(const char* format, int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB888);
  image.fill(color);
  return QtEncoded(image, format);
}
