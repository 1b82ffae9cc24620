// Draws the picture shown beside a language in the options dialog's language list: a 60 x 40
// badge with the language's two-letter code, on the list's transparent colour (magenta).
// Deterministic: the same bytes on every run.
//   make-lang-flag OUTPUT.bmp CODE      (CODE: two letters, e.g. EN)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/dib_image.h"
#include "foundation/picture_loading.h"

namespace {

constexpr int32_t kWidth = 60, kHeight = 40;
constexpr uint32_t kTransparent = 0xFF00FF;  // 0x00BBGGRR
constexpr uint32_t kBadge = 0x7A5A3C;        // slate blue
constexpr uint32_t kBadgeEdge = 0x4A3624;
constexpr uint32_t kBand = 0x9C7C5C;
constexpr uint32_t kLetter = 0xFFFFFF;

// 5 x 7 capitals, one row per byte, bit 4 the left column.
struct TGlyph {
  char Letter;
  uint8_t Rows[7];
};
constexpr TGlyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
};

const TGlyph* FindGlyph(char c) {
  for (const TGlyph& g : kGlyphs)
    if (g.Letter == c) return &g;
  return nullptr;
}

void Fill(TDibImage& d, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t color) {
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x) SetDibPixel(d, x, y, color);
}

// A rounded rectangle: the corners cut by a quarter circle of radius r.
bool InsideRounded(int32_t x, int32_t y, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t r) {
  if (x < x0 || y < y0 || x >= x1 || y >= y1) return false;
  const int32_t cx = x < x0 + r ? x0 + r : (x >= x1 - r ? x1 - r - 1 : x);
  const int32_t cy = y < y0 + r ? y0 + r : (y >= y1 - r ? y1 - r - 1 : y);
  const int32_t dx = x - cx, dy = y - cy;
  return dx * dx + dy * dy <= r * r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::strlen(argv[2]) != 2 || !FindGlyph(argv[2][0]) || !FindGlyph(argv[2][1])) {
    std::fprintf(stderr, "usage: make-lang-flag OUTPUT.bmp CODE   (two capital letters)\n");
    return 2;
  }
  TDibHolder holder;
  TDibImage& d = *holder;
  if (!CreateDib24(d, kWidth, kHeight)) return 1;
  Fill(d, 0, 0, kWidth, kHeight, kTransparent);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      if (!InsideRounded(x, y, 1, 1, kWidth - 1, kHeight - 1, 6)) continue;
      const bool inner = InsideRounded(x, y, 3, 3, kWidth - 3, kHeight - 3, 4);
      SetDibPixel(d, x, y, inner ? kBadge : kBadgeEdge);
    }
  Fill(d, 6, 30, kWidth - 6, 33, kBand);  // an underline below the letters
  // Two letters of 5 x 7 cells at 3 x 3 pixels, a 3-pixel gap between them.
  constexpr int32_t kScale = 3, kGap = 3;
  const int32_t textWidth = 2 * 5 * kScale + kGap;
  const int32_t left = (kWidth - textWidth) / 2, top = 7;
  for (int32_t k = 0; k < 2; ++k) {
    const TGlyph* g = FindGlyph(argv[2][k]);
    const int32_t gx = left + k * (5 * kScale + kGap);
    for (int32_t row = 0; row < 7; ++row)
      for (int32_t col = 0; col < 5; ++col)
        if (g->Rows[row] & (0x10 >> col))
          Fill(d, gx + col * kScale, top + row * kScale, gx + (col + 1) * kScale, top + (row + 1) * kScale, kLetter);
  }
  std::string error;
  if (!SaveBmpFile(d, argv[1], &error)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    return 1;
  }
  return 0;
}
