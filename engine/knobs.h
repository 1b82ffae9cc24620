#pragma once
#include <cstdint>

#include "engine/curves.h"
#include "engine/cut_target.h"
#include "foundation/dib_image.h"
#include "foundation/random.h"

// Knob shapes and the two routines that draw one knobbed edge into the cut map.
//
// A knob is a chain of cubic Bezier segments whose straight edge runs from (0, Baseline) to
// (EndX, Baseline); points above the baseline lie on the side the side byte selects.

struct TKnobShape {
  TFloatPoint Points[40];
  int32_t ByteSize;  // bytes of points in use, 8 per point
  int32_t Count;
  int32_t Baseline;
  int32_t EndX;
  int32_t ExtentAbove;
  int32_t ExtentBelow;
};

constexpr int32_t kKnobShapeCount = 16;
constexpr int32_t kMaxActiveKnobs = 50;
constexpr int32_t kTemplateLengths = 29;  // edge lengths 20..48
constexpr int32_t kTemplateMinLength = 20;
constexpr int32_t kTemplateMaxLength = 48;
constexpr int32_t kTemplateBlockRows = 22;
constexpr int32_t kTemplateImageWidth = 1015;
constexpr int32_t kTemplateImageHeight = 132;
constexpr int32_t kTemplateKnobs = 6;  // set B knobs 0..5 have templates

// First column of the template for edge length 20 + k.
constexpr int32_t TemplateColumn(int32_t k) { return 21 * k + k * (k - 1) / 2; }

// The knob state of the cutting engine: the loaded set, the knobs a cut may pick from and what
// was measured on the template image.
struct TKnobState {
  TKnobShape KnobShapes[kKnobShapeCount] = {};
  int32_t ActiveKnobs[kMaxActiveKnobs] = {};
  int32_t ActiveKnobCount = 0;
  int32_t KnobTemplateBaseRows[kTemplateLengths] = {};
  // Key values of the template image: background, line A (outer), line B (inner), stop row.
  uint8_t TemplateBackground = 0, TemplateLineA = 0, TemplateLineB = 0, TemplateStop = 0;
  // The 8-bit template image; owned by the game, which prepares it once at start-up.
  const TDibImage* KnobTemplateImage = nullptr;
};

void LoadKnobSetA(TKnobState& knobs);
void LoadKnobSetB(TKnobState& knobs);
// Reads the key values and the base row of every template length. False (all zero) when
// there is no template image of the expected size.
bool MeasureKnobTemplates(TKnobState& knobs);
// The built-in template image: 8 bits per pixel, values of the 16-colour standard palette.
bool LoadKnobTemplateImage(TDibImage& image);

// Where a knob lands on an edge from p1 to p2: its ends S and E (S the upper or left one),
// midpoint M, length L, unit direction (ux, uy), height h and apex T.
struct TKnobFrame {
  TIntPoint S, E, M;
  double L, ux, uy, h;
  TIntPoint T;
  bool Clipped;  // the apex was pulled back inside the picture
};
// Orders the ends and measures the edge; L = 0 when the ends are equal (ux = uy = 0 then).
void KnobFrameEnds(TIntPoint p1, TIntPoint p2, TKnobFrame& f);
// Places the apex h away from M on the side's side and pulls it back inside the picture.
void KnobFrameApex(int32_t imageW, int32_t imageH, uint8_t side, TKnobFrame& f);
// Maps knob points onto the edge: the first lands on S, the last on E, the head h away.
void TransformKnobPoints(const TKnobFrame& f, uint8_t side, const TKnobShape& shape, const TFloatPoint* in,
                         TFloatPoint* out);

// Draws a knob from the active list (and a mirror flag when drawMirror is set) and returns its
// points, reflected across x = EndX / 2 and reversed when mirrored.
void PickKnob(TKnobState& knobs, TRandom& rng, const TKnobShape*& shape, TFloatPoint* points, uint8_t& knob,
              bool& mirrored, bool drawMirror);

// Routine A (cell cut): the caller's knob, shrunk to the room beside the edge and checked
// against the lines already drawn (d = -1: no check). False when nothing was drawn: the check
// failed, or there was no room or length for a knob, so the caller draws something else.
bool DrawKnobEdge(TCutTarget& target, uint8_t flags, uint8_t side, uint8_t knob, bool mirrored, TIntPoint p1,
                  TIntPoint p2, uint32_t color, double roomA, double roomB, int32_t d, TBoundsRect& bounds, TIntPoint q,
                  TIntPoint r);

// Routine B (grid cut): a random knob; short straight edges are stamped from the templates.
void DrawGridKnobEdge(TCutTarget& target, uint8_t flags, uint8_t side, TIntPoint p1, TIntPoint p2, uint32_t color);
