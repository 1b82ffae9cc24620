#pragma once
#include <cstddef>
#include <cstdint>

#include "foundation/dib_image.h"
#include "foundation/skin_rect.h"

// Pixel operations on TDibImage buffers. Rectangles are x, y, width, height; colours 0x00BBGGRR.
// The operations marked 24-bit do nothing (or return false) on any other pixel format; the
// others step by the image's own BytesPerPixel. 8-bit buffers take part only in the clipping
// helpers, BlitDib between two 8-bit buffers, CopyBitmapToDib (as grey) and FillDibRect (which
// writes the colour's low byte); every other operation leaves them alone.

// --- Clipping -------------------------------------------------------------------------------

// Cuts the rectangle to the image; true when a part of it lies inside.
bool ClipToDib(const TDibImage& image, int32_t& x, int32_t& y, int32_t& width, int32_t& height);

// Cuts a copy to the target. A width that differs from sourceWidth at equal heights repeats one
// source column (the source x is then kept); a height that differs at equal widths repeats one
// row. The source image itself is not examined.
bool ClipBlitToDib(const TDibImage& target, int32_t& x, int32_t& y, int32_t& width, int32_t& height,
                   const TDibImage& source, int32_t& sourceX, int32_t& sourceY, int32_t& sourceWidth,
                   int32_t& sourceHeight);

// Cuts a copy to an inclusive clip rectangle; a cleared rectangle lets nothing through.
bool ClipBlitToRect(const TSkinRect& clip, int32_t& x, int32_t& y, int32_t& width, int32_t& height, int32_t& sourceX,
                    int32_t& sourceY);

// --- Block copies and fills -----------------------------------------------------------------

// Copies width x height pixels, cut to both images (overlapping copies within one image are
// safe). Between 24- and 32-bit images blue, green and red are copied and the target's alpha
// stays; an 8-bit image copies only to and from another 8-bit image.
void BlitDib(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
             int32_t sourceX, int32_t sourceY);

// The image becomes a new 24-bit copy of the bitmap (alpha dropped, 8-bit values as grey).
// False, with the image left without a bitmap, when the copy cannot be made.
bool CopyBitmapToDib(TDibImage& image, const TPlatformBitmap& bitmap);

// Fills the part of the rectangle inside the image; a 32-bit image keeps its alpha bytes.
void FillDibRect(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color);
// One row's pixels X0..X1 to take one colour.
struct TDibRun {
  int32_t Y, X0, X1;
  uint32_t Color;
};
// Paints each run of a 24-bit image, clipped to it.
void FillDibRuns(TDibImage& image, const TDibRun* runs, size_t count);

// 24-bit. Fills the 4-connected region of the seed pixel's colour that holds (x, y). When
// wantBounds is set, bounds becomes the smallest rectangle (inclusive edges) holding the seed
// point and every filled pixel.
void FloodFillDib(TDibImage& image, int32_t x, int32_t y, uint32_t fillColor, bool wantBounds, TWinRect& bounds);
void FloodFillDib(TDibImage& image, int32_t x, int32_t y, uint32_t fillColor);

// --- Scaling and quarter turns (24-bit) -----------------------------------------------------

// Bilinear scaling of the whole source onto the whole target.
void ScaleDib(TDibImage& target, const TDibImage& source);
// The top-left sourceWidth x sourceHeight area scaled onto the top-left width x height area.
// Sizes below 1 do nothing; only pixels inside both images are read or written. A large target
// is shared out over this thread and up to helpers more (-1: the spare cores).
void ScaleDibRect(TDibImage& target, int32_t width, int32_t height, const TDibImage& source, int32_t sourceWidth,
                  int32_t sourceHeight, int32_t helpers = -1);
// target becomes a new image, the source turned a quarter clockwise (target may be the
// source). False, with target unchanged, when the source is not 24-bit or no image can be made.
bool RotateDib90(TDibImage& target, const TDibImage& source);
// The same, keeping a black strip of margin columns at the right and margin rows at the bottom.
bool RotateDibWithMargin(TDibImage& target, const TDibImage& source, int32_t margin);

// --- Drawing --------------------------------------------------------------------------------

// 24-bit. Pixels other than the key colour become (c shr 1) + (tint shr 1) per channel; the
// area is cut to the image.
void TintDibRect(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t tintColor,
                 uint32_t keyColor);
// 24-bit. A line including both end points; the parts outside the image are left out.
void DrawDibLine(TDibImage& image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t color);
// 24-bit. The outline of the rectangle as four lines.
void DrawDibFrame(TDibImage& image, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color);

// --- Sprite painters ------------------------------------------------------------------------
// Both paint a source area at (x, y), cut to the target and to the inclusive clip rectangle.
// A width that differs from sourceWidth at equal heights repeats one source column across; a
// height that differs at equal widths repeats one row down. Only pixels inside the source are
// read: target pixels whose source pixel lies outside it stay. Both need 3- or 4-byte images.

// Blends by the source's alpha when it has one (255 copies, 0 skips); the target's alpha stays.
void DrawDibBlended(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
                    int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, const TSkinRect& clip);
// Copies blue, green and red, skipping source pixels of the key colour.
void DrawDibKeyed(TDibImage& target, int32_t x, int32_t y, int32_t width, int32_t height, const TDibImage& source,
                  int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, const TSkinRect& clip,
                  uint32_t keyColor);
