#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/bitmap.h"

// Text on a bitmap, as a canvas with a transparent brush draws it: grey-scale antialiased ink
// over whatever the pixels held. Needs a running Qt GUI application; without one nothing is
// drawn and the measures are 0.

struct TTextFont {
  std::string Family;     // "Tahoma" resolves to Debian's fonts-wine Tahoma, else DejaVu Sans
  int32_t PointSize = 8;  // at 96 dots per inch
  bool Bold = false;
};

enum : uint32_t {
  kTextSingleLine = 1,   // no line breaks
  kTextEndEllipsis = 2,  // a text wider than the box ends in "..."
};

// Draws the text in colour (0x00BBGGRR) into the box (x, y, width, height) of a 24- or 32-bit
// bitmap: left-aligned from the box's top-left, clipped to the box and to the bitmap. Blue,
// green and red are written; the alpha bytes of a 32-bit bitmap keep their values.
void DrawBitmapText(TPlatformBitmap& bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                    std::u16string_view text, const TTextFont& font, uint32_t color, uint32_t flags);

// The text as kTextEndEllipsis shows it in a box of that width: unchanged when it fits, else
// the longest head whose width with "..." appended fits, followed by "...".
std::u16string ElideText(std::u16string_view text, const TTextFont& font, int32_t width);

// Advance width of the text in pixels.
int32_t TextWidth(std::u16string_view text, const TTextFont& font);

// The family name a request resolves to after the fallback (for tests and the report).
std::string ResolvedFontFamily(const TTextFont& font);
