#pragma once
#include <QColor>
#include <QImage>
#include <cstdint>
#include <vector>

#include "foundation/dib_image.h"

// Pictures between our image buffers and the widgets that show them.

// A colour of ours (0x00BBGGRR) as the widgets take it.
inline QColor ColorOf(uint32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

// A deep copy of a 24- or 32-bit buffer, top row first; null for anything else.
QImage ToQImage(const TDibImage& d);

// A 24-bit copy of a picture decoded from bytes (any format the game reads).
bool DecodeTo24(TDibImage& out, const std::vector<uint8_t>& bytes);
