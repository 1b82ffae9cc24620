#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/picture_limits.h"
#include "foundation/picture_loading.h"
#include "foundation/picture_test_util.h"

namespace {

// A JPEG preview is decoded no larger than it is ever shown: halved until its longer side is at
// most 1024, by at most 1/8; the quadrants stay where they were.
TEST(PreviewDecode, LargeJpegPreviewsAreScaledWhileDecoding) {
  struct TCase {
    int w, h, wantW, wantH;
  };
  const TCase cases[] = {
      {180, 135, 180, 135},    {1024, 768, 1024, 768}, {1040, 780, 520, 390},
      {4000, 3000, 1000, 750}, {9600, 640, 1200, 80},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    const std::vector<uint8_t> file = QtEncoded(Quadrants(c.w, c.h), "JPG");
    TDibHolder d;
    std::string error;
    ASSERT_TRUE(DecodePreview(*d, file.data(), file.size(), &error)) << error;
    EXPECT_EQ(d->Width, c.wantW);
    EXPECT_EQ(d->Height, c.wantH);
    // Red, green, blue and white quadrants, sampled at their centres.
    const uint32_t want[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    for (int q = 0; q < 4; ++q) {
      const int32_t got = GetDibPixel(*d, (2 * (q % 2) + 1) * c.wantW / 4, (2 * (q / 2) + 1) * c.wantH / 4);
      for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR((got >> shift) & 255, int32_t(want[q] >> shift) & 255, 8) << "quadrant " << q;
    }
    int32_t w = 0, h = 0;
    ASSERT_TRUE(ReadPictureSize(file.data(), file.size(), w, h));
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
  }
}

// A progressive JPEG keeps every coefficient of the full picture while it decodes: a preview
// that would need more than the decoder's allowance is refused, however small it would show.
TEST(PreviewDecode, ProgressivePreviewNeedingTooMuchMemoryIsRefused) {
  const QImage grey = Quadrants(6400, 6400).convertToFormat(QImage::Format_Grayscale8);
  const std::vector<uint8_t> file = QtEncoded(grey, "JPG", true);
  ExpectDecodedOrUntouched(DecodePreview, file);
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPictureSize(file.data(), file.size(), w, h));
  EXPECT_EQ(w, 6400);
  TDibHolder d;
  std::string error;
  EXPECT_FALSE(DecodePreview(*d, file.data(), file.size(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(d->Width, 0);
  // Smaller, the same kind of file is a good preview.
  const std::vector<uint8_t> small = QtEncoded(Quadrants(2048, 1536), "JPG", true);
  ASSERT_TRUE(DecodePreview(*d, small.data(), small.size(), &error)) << error;
  EXPECT_EQ(d->Width, 1024);
}

// Formats that cannot be scaled while decoding are refused past the preview's largest side,
// from their header alone: the bitmap below declares far more pixels than it holds.
TEST(PreviewDecode, OtherFormatsBeyondAPreviewsSizeAreRefusedByTheirHeader) {
  std::vector<uint8_t> bmp = QtEncoded(Quadrants(32, 16), "BMP");
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPictureSize(bmp.data(), bmp.size(), w, h));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 16);
  TDibHolder d;
  ASSERT_TRUE(DecodePreview(*d, bmp.data(), bmp.size()));
  ExpectSamePixels(*d, Quadrants(32, 16));
  const uint32_t side = 20000;
  for (int i = 0; i < 4; ++i) bmp[18 + size_t(i)] = uint8_t(side >> (8 * i));
  std::string error;
  EXPECT_FALSE(DecodePreview(*d, bmp.data(), bmp.size(), &error));
  EXPECT_EQ(error, "Preview of 20000 x 16 pixels is too large");
  EXPECT_EQ(d->Width, 32);

  const std::vector<uint8_t> png = QtEncoded(Quadrants(33, 17), "PNG");
  ASSERT_TRUE(ReadPictureSize(png.data(), png.size(), w, h));
  EXPECT_EQ(w, 33);
  EXPECT_EQ(h, 17);
  const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 0x28, 0x01, 0x09, 0x00, 0};
  ASSERT_TRUE(ReadPictureSize(gif, sizeof gif, w, h));
  EXPECT_EQ(w, 296);
  EXPECT_EQ(h, 9);
  const uint8_t junk[] = {1, 2, 3, 4};
  EXPECT_FALSE(ReadPictureSize(junk, sizeof junk, w, h));
}

TEST(PictureBudget, EightThousandBySixThousandIsWellInsideAndEighteenThousandSquaredIsNot) {
  struct TCase {
    int64_t w, h;
    bool within;
  };
  for (const TCase& c :
       {TCase{4000, 3000, true}, TCase{8000, 6000, true}, TCase{10000, 10000, true}, TCase{10001, 10000, false},
        TCase{18000, 18000, false}, TCase{0, 10, false}, TCase{32768, 32768, false}}) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    EXPECT_EQ(PictureWithinBudget(c.w, c.h), c.within);
  }
  EXPECT_TRUE(PictureWithinBudget(8000 * 2, 6000));  // twice the pixels of 8000 x 6000 still open
  EXPECT_EQ(PictureTooLargeMessage(18000, 18000),
            "This picture is too large to open: it has 18000 x 18000 pixels, and the game opens pictures of up "
            "to 100 million pixels.");
}

// The sides come from the header alone, in each format's byte order, from a file just long
// enough to hold them; a byte less gives none. Sides a bitmap cannot have give none either.
TEST(PictureSize, EachHeaderAtItsShortestLengthAndItsOddSides) {
  const auto put = [](std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * (bigEndian ? bytes - 1 - i : i)));
  };
  const auto bmp = [&](uint32_t header, uint32_t w, uint32_t h) {
    std::vector<uint8_t> b(26, 0);
    b[0] = 'B';
    b[1] = 'M';
    put(b, 14, header, 4, false);
    put(b, 18, w, header == 12 ? 2 : 4, false);
    put(b, header == 12 ? 20 : 22, h, header == 12 ? 2 : 4, false);
    return b;
  };
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  png.resize(24, 0);
  put(png, 16, 0x80010203, 4, true);  // the top bit is no part of a side
  put(png, 20, 0x00040506, 4, true);
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
  put(gif, 6, 0xFFFE, 2, false);
  put(gif, 8, 0x0102, 2, false);
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    bool Known;
    int32_t W, H;
  };
  const TCase cases[] = {
      {"info header", bmp(40, 0x00030201, 0x00060504), true, 0x030201, 0x060504},
      {"top-down rows", bmp(40, 5, uint32_t(-7)), true, 5, 7},
      {"core header, 16-bit sides", bmp(12, 0xFFFE, 0x0102), true, 0xFFFE, 0x0102},
      {"no width", bmp(40, 0, 7), false, 0, 0},
      {"negative width", bmp(40, uint32_t(-5), 7), false, 0, 0},
      {"no height", bmp(40, 5, 0), false, 0, 0},
      {"a height with no positive", bmp(40, 5, 0x80000000), false, 0, 0},
      {"png", png, true, 0x010203, 0x040506},
      {"gif", gif, true, 0xFFFE, 0x0102},
  };
  for (const TCase& c : cases) {
    int32_t w = -1, h = -1;
    EXPECT_EQ(ReadPictureSize(c.Bytes.data(), c.Bytes.size(), w, h), c.Known) << c.Name;
    if (c.Known) {
      EXPECT_EQ(w, c.W) << c.Name;
      EXPECT_EQ(h, c.H) << c.Name;
      EXPECT_FALSE(ReadPictureSize(c.Bytes.data(), c.Bytes.size() - 1, w, h)) << c.Name << ", a byte short";
    }
  }
}

// A preview as large as it may be gets past the header check; a pixel more along either side
// does not.
TEST(PreviewDecode, TheLargestPreviewSideIsAllowedAndOneMoreIsNot) {
  for (int32_t w : {kMaxPreviewSide - 1, kMaxPreviewSide, kMaxPreviewSide + 1}) {
    for (bool alongX : {true, false}) {
      std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0};
      const int32_t side = w, other = 3;
      gif[alongX ? 6 : 8] = uint8_t(side);
      gif[alongX ? 7 : 9] = uint8_t(side >> 8);
      gif[alongX ? 8 : 6] = uint8_t(other);
      TDibHolder d;
      std::string error;
      EXPECT_FALSE(DecodePreview(*d, gif.data(), gif.size(), &error));  // no picture data follows
      const std::string refused = "Preview of " + std::to_string(alongX ? side : other) + " x " +
                                  std::to_string(alongX ? other : side) + " pixels is too large";
      EXPECT_EQ(error == refused, w > kMaxPreviewSide) << error;
    }
  }
}

}  // namespace
