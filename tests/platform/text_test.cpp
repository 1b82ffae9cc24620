#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/bitmap.h"
#include "platform/text.h"

namespace {

const TTextFont kCaption{"Tahoma", 8, true};

struct BitmapGuard {
  TPlatformBitmap* b;
  explicit BitmapGuard(TPlatformBitmap* bitmap) : b(bitmap) {}
  ~BitmapGuard() { DestroyPlatformBitmap(b); }
};

uint8_t* Pixel(TPlatformBitmap& b, int x, int y) {
  return b.Pixels + (b.Height - 1 - y) * b.AllocatedStride + x * (b.BitsPerPixel / 8);
}

void Fill(TPlatformBitmap& b, uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha) {
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      uint8_t* p = Pixel(b, x, y);
      p[0] = blue, p[1] = green, p[2] = red;
      if (b.BitsPerPixel == 32) p[3] = alpha;
    }
}

bool Changed(TPlatformBitmap& b, int x, int y, uint8_t blue, uint8_t green, uint8_t red) {
  const uint8_t* p = Pixel(b, x, y);
  return p[0] != blue || p[1] != green || p[2] != red;
}

}  // namespace

TEST(PlatformText, EllipsisKeepsTheLongestHeadThatFits) {
  EXPECT_EQ(ElideText(u"Pocket", kCaption, 300), u"Pocket");
  const std::u16string text = u"A caption that is much too long for a narrow pocket window";
  const int32_t width = 120;
  const std::u16string shown = ElideText(text, kCaption, width);
  ASSERT_GE(shown.size(), 4u);
  EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
  const std::u16string head = shown.substr(0, shown.size() - 3);
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_LE(TextWidth(shown, kCaption), width);
  // One more character would not fit.
  EXPECT_GT(TextWidth(text.substr(0, head.size() + 1) + u"...", kCaption), width);
  // Nothing fits: only the dots remain.
  EXPECT_EQ(ElideText(text, kCaption, 1), u"...");
}

TEST(PlatformText, EllipsisNeverSplitsASurrogatePair) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"\U0001F600";
  for (int width = 20; width < 200; width += 7) {
    const std::u16string shown = ElideText(text, kCaption, width);
    ASSERT_GE(shown.size(), 3u);
    const std::u16string head = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(head.size() % 2, 0u) << width;
  }
}

TEST(PlatformText, InkLandsInsideTheBoxOnly) {
  BitmapGuard g(CreatePlatformBitmap(120, 40, 24));
  TPlatformBitmap& b = *g.b;
  Fill(b, 10, 20, 30, 0);
  const int bx = 15, by = 8, bw = 60, bh = 14;
  DrawBitmapText(b, bx, by, bw, bh, u"Wide Wide Wide Wide Wide", kCaption, 0xFFFFFF, kTextSingleLine);
  int inside = 0;
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      const bool in = x >= bx && x < bx + bw && y >= by && y < by + bh;
      if (!Changed(b, x, y, 10, 20, 30)) continue;
      EXPECT_TRUE(in) << x << "," << y;
      inside += in;
    }
  EXPECT_GT(inside, 50);
  // The colour is the ink's: white text gives light pixels, red text red ones.
  Fill(b, 0, 0, 0, 0);
  DrawBitmapText(b, 0, 0, 120, 40, u"H", kCaption, 0x0000FF, kTextSingleLine);
  bool sawRed = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const uint8_t* p = Pixel(b, x, y);
      EXPECT_EQ(p[0] | p[1], 0);
      sawRed |= p[2] > 200;
    }
  EXPECT_TRUE(sawRed);
}

TEST(PlatformText, AlphaBytesKeepTheirValues) {
  BitmapGuard g(CreatePlatformBitmap(80, 20, 32));
  TPlatformBitmap& b = *g.b;
  Fill(b, 0, 0, 0, 77);
  DrawBitmapText(b, 0, 0, 80, 20, u"Alpha", kCaption, 0xFFFFFF, kTextSingleLine);
  int inked = 0;
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      EXPECT_EQ(Pixel(b, x, y)[3], 77);
      inked += Pixel(b, x, y)[0] != 0;
    }
  EXPECT_GT(inked, 10);
}

TEST(PlatformText, BoxesOffTheBitmapAreCutAndOddInputIsRefused) {
  BitmapGuard g(CreatePlatformBitmap(30, 10, 24));
  TPlatformBitmap& b = *g.b;
  Fill(b, 0, 0, 0, 0);
  DrawBitmapText(b, -20, -4, 60, 20, u"Offset text", kCaption, 0xFFFFFF, kTextSingleLine);
  DrawBitmapText(b, 500, 500, 60, 20, u"Far away", kCaption, 0xFFFFFF, kTextSingleLine);
  DrawBitmapText(b, 0, 0, -5, 10, u"Negative", kCaption, 0xFFFFFF, kTextSingleLine);
  DrawBitmapText(b, 0, 0, 30, 10, u"", kCaption, 0xFFFFFF, kTextSingleLine);
  BitmapGuard mask(CreatePlatformBitmap(30, 10, 8));
  std::memset(mask.b->Pixels, 0, size_t(mask.b->AllocatedStride) * 10);
  DrawBitmapText(*mask.b, 0, 0, 30, 10, u"Mask", kCaption, 0xFFFFFF, kTextSingleLine);
  for (int i = 0; i < mask.b->AllocatedStride * 10; ++i) ASSERT_EQ(mask.b->Pixels[i], 0);
}

namespace {

// The pixels of a 24-bit bitmap, top row first.
std::vector<uint8_t> Pixels(TPlatformBitmap& b) {
  std::vector<uint8_t> out;
  for (int y = 0; y < b.Height; ++y) out.insert(out.end(), Pixel(b, 0, y), Pixel(b, 0, y) + 3 * b.Width);
  return out;
}

// Text drawn with the flags gives the same pixels as the text the flags stand for drawn
// plainly: an end ellipsis is the elided text, a single line has its line breaks as spaces.
TEST(PlatformText, FlagsDrawWhatTheyStandFor) {
  const std::u16string longText = u"A caption much too long for its box";
  const struct {
    std::u16string text;
    uint32_t flags;
    std::u16string plain;
    int32_t width;
  } cases[] = {
      {longText, kTextEndEllipsis, ElideText(longText, kCaption, 70), 70},
      {u"Two\r\nlines\nhere", kTextSingleLine, u"Two  lines here", 150},
  };
  for (const auto& c : cases) {
    BitmapGuard flagged(CreatePlatformBitmap(160, 16, 24)), plain(CreatePlatformBitmap(160, 16, 24));
    Fill(*flagged.b, 0, 0, 0, 0);
    Fill(*plain.b, 0, 0, 0, 0);
    DrawBitmapText(*flagged.b, 2, 1, c.width, 14, c.text, kCaption, 0xFFFFFF, c.flags);
    DrawBitmapText(*plain.b, 2, 1, c.width, 14, c.plain, kCaption, 0xFFFFFF, 0);
    EXPECT_EQ(Pixels(*flagged.b), Pixels(*plain.b)) << c.flags;
    EXPECT_NE(Pixels(*flagged.b), std::vector<uint8_t>(160 * 16 * 3, 0)) << c.flags;
  }
}

// A box that sticks out of the bitmap on the left and the top keeps the text where the whole
// box puts it: the pixels are those of the same text on a bitmap large enough for the box.
TEST(PlatformText, ACutBoxKeepsTheTextInPlace) {
  BitmapGuard cut(CreatePlatformBitmap(40, 12, 24)), whole(CreatePlatformBitmap(47, 15, 24));
  Fill(*cut.b, 0, 0, 0, 0);
  Fill(*whole.b, 0, 0, 0, 0);
  DrawBitmapText(*cut.b, -7, -3, 47, 15, u"Offset text", kCaption, 0xFFFFFF, kTextSingleLine);
  DrawBitmapText(*whole.b, 0, 0, 47, 15, u"Offset text", kCaption, 0xFFFFFF, kTextSingleLine);
  int inked = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(Pixel(*cut.b, x, y)[0], Pixel(*whole.b, x + 7, y + 3)[0]) << x << "," << y;
      inked += Pixel(*cut.b, x, y)[0] != 0;
    }
  EXPECT_GT(inked, 10);
}

// Text without ink leaves every pixel of the box as it was, whatever lies under it, also
// where the box is cut by the bitmap's edges.
TEST(PlatformText, TheBoxKeepsWhatLiesUnderTheInk) {
  for (const int bits : {24, 32}) {
    BitmapGuard g(CreatePlatformBitmap(40, 12, bits));
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 40; ++x) {
        uint8_t* p = Pixel(*g.b, x, y);
        p[0] = uint8_t(x * 6), p[1] = uint8_t(y * 20), p[2] = uint8_t(x + y);
      }
    const std::vector<uint8_t> before(g.b->Pixels, g.b->Pixels + g.b->AllocatedStride * 12);
    for (const auto& [x, y] : {std::pair{3, 2}, {-5, -3}, {30, 6}}) {
      DrawBitmapText(*g.b, x, y, 30, 9, u"   ", kCaption, 0xFFFFFF, kTextSingleLine);
      EXPECT_EQ(std::vector<uint8_t>(g.b->Pixels, g.b->Pixels + g.b->AllocatedStride * 12), before) << bits << " " << x;
    }
  }
}

// The pixels of a text drawn on black at (x, y) in a w x h bitmap, as 0x00BBGGRR by row.
std::vector<uint32_t> Drawn(int w, int h, int x, int y, std::u16string_view text, uint32_t colour, uint32_t flags,
                            int boxWidth = 200) {
  BitmapGuard g(CreatePlatformBitmap(w, h, 24));
  Fill(*g.b, 0, 0, 0, 0);
  DrawBitmapText(*g.b, x, y, boxWidth, 20, text, kCaption, colour, flags);
  std::vector<uint32_t> out;
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      const uint8_t* p = Pixel(*g.b, xx, yy);
      out.push_back(p[2] | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
    }
  return out;
}

}  // namespace

// Text keeps its place relative to its box wherever the box lies, cut or not; a single line
// shows line breaks as blanks; the ellipsis flag draws what ElideText gives; the ink is the
// colour asked for, channel by channel.
TEST(PlatformText, PlacementFlagsAndColour) {
  const int w = 90, h = 24;
  const std::vector<uint32_t> home = Drawn(w, h, 0, 0, u"Offset text", 0xFFFFFF, kTextSingleLine);
  for (const auto& [dx, dy] : {std::pair{7, 3}, std::pair{-5, -2}, std::pair{-1, 4}}) {
    const std::vector<uint32_t> moved = Drawn(w, h, dx, dy, u"Offset text", 0xFFFFFF, kTextSingleLine);
    int inked = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sx = x - dx, sy = y - dy;
        const bool inHome = sx >= 0 && sy >= 0 && sx < w && sy < h && sy < 20;
        const uint32_t want = inHome ? home[size_t(sy * w + sx)] : 0;
        if (sy >= 0 && sy < 20 && sx >= 0 && sx < w) {
          EXPECT_EQ(moved[size_t(y * w + x)], want) << dx << "," << dy << " at " << x << "," << y;
        }
        inked += moved[size_t(y * w + x)] != 0;
      }
    EXPECT_GT(inked, 20) << dx << "," << dy;
  }
  EXPECT_EQ(Drawn(w, h, 2, 1, u"two\r\nlines", 0xFFFFFF, kTextSingleLine),
            Drawn(w, h, 2, 1, u"two  lines", 0xFFFFFF, 0));
  const std::u16string longText = u"A caption far too long for its little box";
  EXPECT_EQ(Drawn(w, h, 0, 0, longText, 0xFFFFFF, kTextEndEllipsis, 60),
            Drawn(w, h, 0, 0, ElideText(longText, kCaption, 60), 0xFFFFFF, 0, 60));
  EXPECT_NE(Drawn(w, h, 0, 0, longText, 0xFFFFFF, kTextEndEllipsis, 60), Drawn(w, h, 0, 0, longText, 0xFFFFFF, 0, 60));

  const std::vector<uint32_t> tinted = Drawn(w, h, 0, 0, u"Offset text", 0x20A0F0, kTextSingleLine);
  uint32_t top[3] = {0, 0, 0};
  for (uint32_t c : tinted)
    for (int k = 0; k < 3; ++k) top[k] = std::max(top[k], (c >> (8 * k)) & 0xFF);
  EXPECT_GE(top[0], 0xC0u) << "red";
  EXPECT_LE(top[0], 0xF0u);
  EXPECT_GE(top[1], 0x70u) << "green";
  EXPECT_LE(top[1], 0xA0u);
  EXPECT_LE(top[2], 0x20u) << "blue";
  EXPECT_EQ(ResolvedFontFamily({"No Such Family", 8, false}), "DejaVu Sans");
  EXPECT_GT(TextWidth(u"Offset text", {"Tahoma", 16, true}), TextWidth(u"Offset text", kCaption));
}
