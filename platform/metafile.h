#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/bitmap.h"

// Outline drawings kept as a flat buffer of little-endian enhanced-metafile records, the form
// the shape file stores. Every record starts with its type (u32) and its size in bytes (u32, a
// multiple of 4, at least 8). The first record is the header:
//   8..23  bounds left, top, right, bottom in pixels, inclusive: the drawing is
//          right - left + 1 pixels wide and need not start at 0, 0
//   24..39 frame left, top, right, bottom in 0.01 mm, inclusive
// Point records (the poly kinds) hold their bounds at 8..23, a point count at 24 and the points
// from 28: pairs of i32, or of i16 for the 16-bit kinds. Move and line records hold one i32
// point at 8. Colours are 0x00BBGGRR at the offsets MetafileColourOffset gives. Pens and
// brushes are created into a handle slot (u32 at 8) and only drawn with once selected.
enum TMetafileRecordType : uint32_t {
  kMfHeader = 1,
  kMfPolyBezier = 2,
  kMfPolygon = 3,
  kMfPolyline = 4,
  kMfPolyBezierTo = 5,
  kMfPolylineTo = 6,
  kMfEof = 14,
  kMfSetPixel = 15,
  kMfSetTextColour = 24,
  kMfSetBackColour = 25,
  kMfMoveTo = 27,
  kMfSelectObject = 37,
  kMfCreatePen = 38,
  kMfCreateBrush = 39,
  kMfDeleteObject = 40,
  kMfExtFloodFill = 53,
  kMfLineTo = 54,
  kMfBeginPath = 59,
  kMfEndPath = 60,
  kMfCloseFigure = 61,
  kMfFillPath = 62,
  kMfStrokeAndFillPath = 63,
  kMfStrokePath = 64,
  kMfAbortPath = 68,
  kMfPolyBezier16 = 85,
  kMfPolygon16 = 86,
  kMfPolyline16 = 87,
  kMfPolyBezierTo16 = 88,
  kMfExtCreatePen = 95,
};

// Select-object handles with this bit name the stock objects (white brush 0 ... null pen 8).
constexpr uint32_t kMfStockObject = 0x80000000;
constexpr uint32_t kMfWhiteBrush = kMfStockObject | 0, kMfNullBrush = kMfStockObject | 5;
constexpr uint32_t kMfBlackPen = kMfStockObject | 7, kMfNullPen = kMfStockObject | 8;

constexpr uint32_t kMfHeaderSize = 40;
constexpr uint32_t kMfPointsOffset = 28;
// The largest drawing side a metafile may claim, in pixels and in 0.01 mm.
constexpr int32_t kMfMaxSide = 30000;
constexpr int32_t kMfMaxFrame = 30000000;

// The offset of the colour field of a record type, or 0 for types without one.
uint32_t MetafileColourOffset(uint32_t type);

struct TMetafile {
  std::vector<uint8_t> Bytes;
};

// Takes a copy of a stored blob when every record is well formed: sizes that stay inside the
// blob, point counts that fit their record, a header first with a drawing of 1 .. kMfMaxSide
// pixels a side, the end record last. Refuses (false, mf untouched) anything else.
bool MetafileFromBytes(const uint8_t* data, size_t size, TMetafile& mf);

// The drawing's size in pixels (W, H) and in 0.01 mm (MW, MH), and its pixel origin, from the
// header's inclusive bounds and frame.
struct TMetafileSize {
  int32_t W, H, MW, MH, Left, Top;
};
TMetafileSize MetafileSize(const TMetafile& mf);

// Calls visit for every record in order with its type, its bytes and its size. The record may
// be changed in place (its size may not).
void EnumMetafile(TMetafile& mf, const std::function<void(uint32_t, uint8_t*, uint32_t)>& visit);

// Every colour-bearing record takes the colour.
void RecolorMetafile(TMetafile& mf, uint32_t colour);
// Reflects the points across the drawing (x := W - x - 1, y := H - y - 1 when it starts at 0, 0).
void MirrorMetafile(TMetafile& mf, bool leftRight, bool topBottom);
// Turns the points about the centre pixel by angle degrees and grows the drawing so that the
// turned picture fits; the new pixel size is returned in rotatedW, rotatedH.
void RotateMetafile(TMetafile& mf, double angle, int32_t& rotatedW, int32_t& rotatedH);

// A writer for tools and tests, with the record layout a system metafile writer gives: the full
// header (signature, sizes, counts, reference device), objects created into handle slots and
// selected, the end record with its palette fields.
constexpr uint32_t kMfWriterHeaderSize = 108;
class TMetafileWriter {
 public:
  // A drawing of w x h pixels whose top-left pixel is (left, top).
  TMetafileWriter(int32_t w, int32_t h, int32_t left = 0, int32_t top = 0);
  void CreatePen(uint32_t colour);    // creates a solid pen and selects it
  void CreateBrush(uint32_t colour);  // creates a solid brush and selects it
  void Polygon(const std::vector<std::pair<int32_t, int32_t>>& points);
  void Polyline(const std::vector<std::pair<int32_t, int32_t>>& points);
  void Polygon16(const std::vector<std::pair<int32_t, int32_t>>& points);
  // Any point record: its bounds, count and points, 16-bit points when wide is false.
  void Poly(uint32_t type, const std::vector<std::pair<int32_t, int32_t>>& points, bool wide);
  void Record(uint32_t type, const std::vector<int32_t>& words);  // any record, words after size
  std::vector<uint8_t> Finish();                                  // appends the end record

 private:
  std::vector<uint8_t> bytes_;
  int32_t records_ = 0, handles_ = 0;
};

// The inclusive clip rectangle of a playback.
struct TMfClip {
  int32_t Left, Top, Right, Bottom;
};

// Plays the metafile stretched into the rectangle (x, y, w, h) of a 24-bit bitmap: polygons and
// filled paths take the selected brush's colour (even-odd), outlines, lines, curves and stroked
// paths the selected pen's, all without anti-aliasing; a null pen or brush draws nothing. A
// point (u, v) of the drawing lands on the pixel that holds the centre of its stretched pixel,
// so the pixels touched depend only on the geometry, never on the colours. Outlines are
// 8-connected lines; cubic curves are flattened to them. Only pixels inside the clip rectangle
// and the bitmap are written.
void PlayMetafile(const TMetafile& mf, TPlatformBitmap& target, int32_t x, int32_t y, int32_t w, int32_t h,
                  const TMfClip& clip);
