#pragma once
// Pictures for the decoder tests, written and read back by Qt's own codecs, so that our
// decoders meet what other programs write and agree with what other programs read.
#include <gtest/gtest.h>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/dib_image.h"
#include "support/hostile_input.h"
#include "support/qt_picture_bytes.h"

using TTestDecoder = bool (*)(TDibImage&, const uint8_t*, size_t, std::string*);

// Solid quadrants red, green, blue, white; sides a multiple of 16 keep JPEG blocks unmixed.
inline QImage Quadrants(int w, int h) {
  QImage image(w, h, QImage::Format_RGB888);
  const QColor colours[4] = {Qt::red, Qt::green, Qt::blue, Qt::white};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixelColor(x, y, colours[(y >= h / 2) * 2 + (x >= w / 2)]);
  return image;
}

// Every pixel against the picture as Qt reads it, each channel within the tolerance.
inline void ExpectSamePixels(const TDibImage& d, const QImage& want, int tolerance = 0) {
  ASSERT_EQ(d.Width, want.width());
  ASSERT_EQ(d.Height, want.height());
  for (int y = 0; y < d.Height; ++y)
    for (int x = 0; x < d.Width; ++x) {
      const int32_t c = GetDibPixel(d, x, y);
      const QRgb q = want.pixel(x, y);
      if (std::abs((c & 255) - qRed(q)) > tolerance || std::abs(((c >> 8) & 255) - qGreen(q)) > tolerance ||
          std::abs(((c >> 16) & 255) - qBlue(q)) > tolerance) {
        ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << c << " against " << q;
        return;
      }
    }
}

inline void ExpectSamePixels(const TDibImage& d, const std::vector<uint8_t>& file, int tolerance = 0) {
  ExpectSamePixels(d, QImage::fromData(file.data(), int(file.size())), tolerance);
}

// A decoder refuses with a message and leaves the caller's image as it was, or succeeds.
inline void ExpectDecodedOrUntouched(TTestDecoder decode, const std::vector<uint8_t>& bytes) {
  TDibHolder d;
  ASSERT_TRUE(CreateDib24(*d, 3, 2));
  SetDibPixel(*d, 2, 1, 0x123456);
  std::string error;
  if (decode(*d, bytes.data(), bytes.size(), &error)) {
    EXPECT_GT(d->Width, 0);
    return;
  }
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(d->Width, 3);
  EXPECT_EQ(GetDibPixel(*d, 2, 1), 0x123456);
}

inline void ExpectRefused(TTestDecoder decode, const std::vector<uint8_t>& bytes) {
  TDibHolder d;
  std::string error;
  EXPECT_FALSE(decode(*d, bytes.data(), bytes.size(), &error));
  EXPECT_FALSE(error.empty());
}

// The generic loop: every cut and a few hundred seeded byte changes of a good file.
inline void ExpectHostileVariantsHandled(TTestDecoder decode, const std::vector<uint8_t>& good) {
  ForEachHostileVariant(good, 300, [&](const std::vector<uint8_t>& bytes) {
    SCOPED_TRACE(bytes.size());
    ExpectDecodedOrUntouched(decode, bytes);
  });
}
