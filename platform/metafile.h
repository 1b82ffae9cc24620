#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/bitmap.h"

// Outline drawings kept as a flat buffer of little-endian records, the form the shape file
// stores. Every record starts with its type (u32) and its size in bytes (u32, a multiple of 4,
// at least 8). The first record is the header:
//   8..23  bounds left, top, right, bottom in pixels (the drawing is right - left wide)
//   24..39 frame left, top, right, bottom in 0.01 mm
// Point records (the poly kinds) hold their bounds at 8..23, a point count at 24 and the points
// from 28: pairs of i32, or of i16 for the 16-bit kinds. Move and line records hold one i32
// point at 8. Colours are 0x00BBGGRR at the offsets kMetafileColourOffset gives.
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
  kMfCreatePen = 38,
  kMfCreateBrush = 39,
  kMfExtFloodFill = 53,
  kMfLineTo = 54,
  kMfPolyBezier16 = 85,
  kMfPolygon16 = 86,
  kMfPolyline16 = 87,
  kMfPolyBezierTo16 = 88,
  kMfExtCreatePen = 95,
};

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

// The drawing's size in pixels (W, H) and in 0.01 mm (MW, MH), from the header.
struct TMetafileSize {
  int32_t W, H, MW, MH;
};
TMetafileSize MetafileSize(const TMetafile& mf);

// Calls visit for every record in order with its type, its bytes and its size. The record may
// be changed in place (its size may not).
void EnumMetafile(TMetafile& mf, const std::function<void(uint32_t, uint8_t*, uint32_t)>& visit);

// Every colour-bearing record takes the colour.
void RecolorMetafile(TMetafile& mf, uint32_t colour);
// Reflects the points across the drawing (x := W - x - 1, y := H - y - 1).
void MirrorMetafile(TMetafile& mf, bool leftRight, bool topBottom);
// Turns the points about the centre pixel by angle degrees and grows the drawing so that the
// turned picture fits; the new pixel size is returned in rotatedW, rotatedH.
void RotateMetafile(TMetafile& mf, double angle, int32_t& rotatedW, int32_t& rotatedH);

// A writer for tools and tests.
class TMetafileWriter {
 public:
  TMetafileWriter(int32_t w, int32_t h);
  void CreatePen(uint32_t colour);
  void CreateBrush(uint32_t colour);
  void Polygon(const std::vector<std::pair<int32_t, int32_t>>& points);
  void Polyline(const std::vector<std::pair<int32_t, int32_t>>& points);
  void Polygon16(const std::vector<std::pair<int32_t, int32_t>>& points);
  void Record(uint32_t type, const std::vector<int32_t>& words);  // any record, words after size
  std::vector<uint8_t> Finish();  // appends the end record

 private:
  void Poly(uint32_t type, const std::vector<std::pair<int32_t, int32_t>>& points, bool wide);
  std::vector<uint8_t> bytes_;
};

// The inclusive clip rectangle of a playback.
struct TMfClip {
  int32_t Left, Top, Right, Bottom;
};

// Plays the metafile stretched into the rectangle (x, y, w, h) of a 24-bit bitmap: polygons are
// filled with the brush colour and outlined with the pen colour, lines and pixels in the pen
// colour, all without anti-aliasing. A point (u, v) of the drawing lands on the pixel that holds
// the centre of its stretched pixel, so the pixels touched depend only on the geometry, never
// on the colours. Polygon outlines are 8-connected closed lines. Only pixels inside the clip
// rectangle and the bitmap are written. Curve records are not drawn.
void PlayMetafile(const TMetafile& mf, TPlatformBitmap& target, int32_t x, int32_t y, int32_t w,
                  int32_t h, const TMfClip& clip);
