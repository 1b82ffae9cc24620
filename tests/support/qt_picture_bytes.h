#pragma once
// A one-colour picture encoded by Qt's own writers: real files of each format for the readers.
#include <QBuffer>
#include <QColor>
#include <QImage>

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> QtPictureBytes(const char* format, int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB888);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format)) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}
