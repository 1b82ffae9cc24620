#include "game/picture_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/dib_ops.h"
#include "foundation/picture_loading.h"
#include "session_fixture.h"
#include "support/qt_picture_bytes.h"

namespace {

QImage DetailedPicture(int w, int h) {
  QImage image(w, h, QImage::Format_RGB888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixelColor(x, y, QColor((x * 7) & 255, (y * 3) & 255, (x ^ y) & 255));
  return image;
}

// What the decoders give on this thread: the picture the background decode must hand over.
bool SameAsDecodedHere(const TDibImage& image, const std::vector<uint8_t>& bytes) {
  TDibHolder here;
  return DecodePicture(*here, bytes.data(), bytes.size()) && SameDib(image, *here);
}

TEST(PictureDecode, HandsOverWhatTheDecoderGivesOnce) {
  const QImage image = DetailedPicture(97, 61);
  for (const char* format : {"JPEG", "BMP"}) {
    SCOPED_TRACE(format);
    const std::vector<uint8_t> bytes = QtEncoded(image, format);
    ASSERT_FALSE(bytes.empty());
    TPictureDecode decode(bytes, 97, 61);
    TDibHolder out;
    std::string why;
    ASSERT_TRUE(decode.Finish(*out, why)) << why;
    EXPECT_EQ(out->Width, 97);
    EXPECT_TRUE(SameAsDecodedHere(*out, bytes));
    TDibHolder again;
    EXPECT_FALSE(decode.Finish(*again, why));  // the picture went to the first caller
    EXPECT_EQ(again->Width, 0);
  }
}

TEST(PictureDecode, ScalesToTheFitOnlyWhenItDiffers) {
  const std::vector<uint8_t> bytes = QtEncoded(DetailedPicture(120, 90), "JPEG");
  TDibHolder whole;
  ASSERT_TRUE(DecodePicture(*whole, bytes.data(), bytes.size()));
  struct TCase {
    int32_t fitW, fitH, w, h;
  };
  for (const TCase& c : {TCase{60, 45, 60, 45}, TCase{120, 90, 120, 90}, TCase{0, 0, 120, 90}}) {
    SCOPED_TRACE(c.fitW);
    TPictureDecode decode(bytes, 120, 90, c.fitW, c.fitH);
    TDibHolder out, expected;
    std::string why;
    ASSERT_TRUE(decode.Finish(*out, why));
    ASSERT_TRUE(CreateDib24(*expected, c.w, c.h));
    ScaleDib(*expected, *whole);
    EXPECT_TRUE(SameDib(*out, c.w == 120 ? *whole : *expected));
  }
}

TEST(PictureDecode, RefusesWithThePlayersMessage) {
  const std::vector<uint8_t> jpeg = QtEncoded(DetailedPicture(80, 60), "JPEG");
  std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2));
  std::string decoderSays;
  TDibHolder scratch;
  ASSERT_FALSE(DecodeJpeg(*scratch, cut.data(), cut.size(), &decoderSays));
  ASSERT_FALSE(decoderSays.empty());
  struct TCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int32_t w, h;
    std::string why;
  };
  const TCase cases[] = {
      {"cut short", cut, 80, 60, decoderSays},
      {"another size", jpeg, 81, 60, "Invalid Jigsaw"},
      {"a PNG", QtEncoded(DetailedPicture(80, 60), "PNG"), 80, 60, "Invalid Jigsaw"},
      {"nothing", {}, 80, 60, "Invalid Jigsaw"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TPictureDecode decode(c.bytes, c.w, c.h);
    TDibHolder out;
    std::string why;
    EXPECT_FALSE(decode.Finish(*out, why));
    EXPECT_EQ(why, c.why);
    EXPECT_EQ(out->Width, 0);
  }
}

}  // namespace
