#include "engine/knobs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
#include "engine/knob_sets.inc"

void LoadShape(TKnobShape& k, const TKnobList& src) {
  std::memset(&k, 0, sizeof k);
  for (int32_t i = 0; i < src.count; ++i) k.Points[i] = TFloatPoint{float(src.xy[2 * i]), float(src.xy[2 * i + 1])};
  k.ByteSize = 8 * src.count;
}

// Derived fields of one loaded shape; set A measures both extents (with a pixel of slack),
// set B only the rise.
void Derive(TKnobShape& k, bool both) {
  k.Count = k.ByteSize / 8;
  k.EndX = Round(k.Points[k.Count - 1].x);
  k.Baseline = Round(k.Points[0].y);
  int32_t least = k.Baseline, greatest = k.Baseline;
  for (int32_t i = 0; i <= 3 * (k.Count / 3) && i < k.Count; i += 3) {
    const int32_t y = Round(k.Points[i].y);
    least = std::min(least, y);
    greatest = std::max(greatest, y);
  }
  if (both) {
    k.ExtentAbove = k.Baseline - least + 1;
    k.ExtentBelow = greatest - k.Baseline + 1;
  } else {
    k.ExtentAbove = k.Baseline - least;
  }
}
}  // namespace

void LoadKnobSetA(TKnobState& knobs) {
  for (int32_t i = 0; i < 16; ++i) {
    LoadShape(knobs.KnobShapes[i], kKnobSetA[i]);
    Derive(knobs.KnobShapes[i], true);
  }
}

void LoadKnobSetB(TKnobState& knobs) {
  for (int32_t i = 0; i < 7; ++i) {
    LoadShape(knobs.KnobShapes[i], kKnobSetB[i]);
    Derive(knobs.KnobShapes[i], false);
  }
}

bool MeasureKnobTemplates(TKnobState& knobs) {
  std::fill(std::begin(knobs.KnobTemplateBaseRows), std::end(knobs.KnobTemplateBaseRows), 0);
  knobs.TemplateBackground = knobs.TemplateLineA = knobs.TemplateLineB = knobs.TemplateStop = 0;
  const TDibImage* img = knobs.KnobTemplateImage;
  if (!img || img->BytesPerPixel != 1 || img->Width < kTemplateImageWidth || img->Height < kTemplateImageHeight)
    return false;
  auto at = [&](int32_t x, int32_t y) { return *DibPixelAddress(*img, x, y); };
  knobs.TemplateBackground = at(4, 5);
  knobs.TemplateLineA = at(4, 6);
  knobs.TemplateLineB = at(4, 7);
  knobs.TemplateStop = at(4, 8);
  for (int32_t k = 0; k < kTemplateLengths; ++k) {
    const int32_t c = TemplateColumn(k);
    for (int32_t row = 0; row < kTemplateMinLength + k; ++row) {
      if (at(c, row) != knobs.TemplateBackground) {
        knobs.KnobTemplateBaseRows[k] = row;
        break;
      }
    }
  }
  return true;
}

void PickKnob(TKnobState& knobs, TRandom& rng, const TKnobShape*& shape, TFloatPoint* points, uint8_t& knob,
              bool& mirrored, bool drawMirror) {
  knob = uint8_t(knobs.ActiveKnobs[rng.Random(uint32_t(knobs.ActiveKnobCount))]);
  shape = &knobs.KnobShapes[knob];
  if (drawMirror) mirrored = rng.Random(2) != 0;
  const int32_t n = shape->Count;
  if (mirrored) {
    for (int32_t j = 0; j < n; ++j) {
      const TFloatPoint& p = shape->Points[n - 1 - j];
      points[j] = TFloatPoint{float(shape->EndX) - p.x, p.y};
    }
  } else {
    std::copy(shape->Points, shape->Points + n, points);
  }
}

void KnobFrameEnds(TIntPoint p1, TIntPoint p2, TKnobFrame& f) {
  const bool steep = std::abs(p1.y - p2.y) > std::abs(p1.x - p2.x);
  const bool p1First = steep ? p1.y < p2.y : p1.x < p2.x;
  f.S = p1First ? p1 : p2;
  f.E = p1First ? p2 : p1;
  f.M = TIntPoint{(f.S.x + f.E.x) / 2, (f.S.y + f.E.y) / 2};
  const double dx = double(f.E.x) - f.S.x, dy = double(f.E.y) - f.S.y;
  f.L = std::sqrt(dx * dx + dy * dy);
  f.ux = f.L > 0 ? dx / f.L : 0.0;
  f.uy = f.L > 0 ? dy / f.L : 0.0;
  f.h = 0;
  f.T = f.M;
  f.Clipped = false;
}

void KnobFrameApex(int32_t imageW, int32_t imageH, uint8_t side, TKnobFrame& f) {
  const int32_t ox = Round((long double)f.h * f.uy), oy = Round((long double)f.h * f.ux);
  f.T = side != 0 ? TIntPoint{f.M.x + ox, f.M.y - oy} : TIntPoint{f.M.x - ox, f.M.y + oy};
  TIntPoint a, b;
  if (f.T.y < 0 && side != 0) {
    a = {0, 2}, b = {imageW - 1, 2};
  } else if (f.T.y >= imageH && side == 0) {
    a = {0, imageH - 2}, b = {imageW - 1, imageH - 2};
  } else if (f.T.x < 0 && side == 0) {
    a = {2, 0}, b = {2, imageH - 1};
  } else if (f.T.x >= imageW && side != 0) {
    a = {imageW - 2, 0}, b = {imageW - 2, imageH - 1};
  } else {
    return;
  }
  int32_t x, y;
  if (!LineIntersection(f.M, f.T, a, b, x, y)) return;  // cannot happen for a real apex
  f.T = TIntPoint{x, y};
  f.Clipped = true;
  const int64_t dx = int64_t(x) - f.M.x, dy = int64_t(y) - f.M.y;
  f.h = std::sqrt(double(dx * dx + dy * dy));
}

void TransformKnobPoints(const TKnobFrame& f, uint8_t side, const TKnobShape& shape, const TFloatPoint* in,
                         TFloatPoint* out) {
  const long double kx = (long double)f.L / shape.EndX, ky = (long double)f.h / shape.Baseline;
  for (int32_t i = 0; i < shape.Count; ++i) {
    const long double a = (shape.Baseline - (long double)in[i].y) * ky, b = (long double)in[i].x * kx;
    if (side != 0)
      out[i] = TFloatPoint{float(f.S.x + a * f.uy + b * f.ux), float(f.S.y - a * f.ux + b * f.uy)};
    else
      out[i] = TFloatPoint{float(f.S.x - a * f.uy + b * f.ux), float(f.S.y + a * f.ux + b * f.uy)};
  }
}

namespace {
// A shape that was never loaded (or is damaged) has no frame to scale: nothing may divide by
// its zero width or height.
bool UsableShape(const TKnobShape& k) { return k.Count >= 4 && k.Count <= 40 && k.EndX != 0 && k.Baseline != 0; }

void DrawTransformedKnob(TDibImage& map, const TFloatPoint* points, int32_t count, uint32_t color) {
  DrawCurve(map, points, count, color);
  // The polylines leave out the chain's first point; it is the edge's end S.
  if (map.Bitmap) CanvasSetPixel(*map.Bitmap, Round(points[0].x), Round(points[0].y), color);
}
}  // namespace

bool DrawKnobEdge(TCutTarget& target, uint8_t flags, uint8_t side, uint8_t knob, bool mirrored, TIntPoint p1,
                  TIntPoint p2, uint32_t color, double roomA, double roomB, int32_t d, TBoundsRect& bounds, TIntPoint q,
                  TIntPoint r) {
  const TLevelRecord& lv = target.GameLevel;
  bounds.Reset();
  if (knob >= kKnobShapeCount || !UsableShape(target.Knobs.KnobShapes[knob])) return false;
  const TKnobShape& shape = target.Knobs.KnobShapes[knob];
  const double r1 = side != 0 ? roomA : roomB, r2 = side != 0 ? roomB : roomA;
  TKnobFrame f;
  KnobFrameEnds(p1, p2, f);
  // Nothing drawn must read as a failure: an undrawn edge would let the fills run together.
  if (f.L == 0) return false;
  if ((flags & 1) == 0) {
    f.h = lv.KnobS;
  } else {
    f.h = f.L / shape.EndX * shape.Baseline;
    if (r1 != -1.0 && r2 != -1.0) {
      const double up = f.L / shape.EndX * shape.ExtentAbove, down = f.L / shape.EndX * shape.ExtentBelow;
      if (r1 == 0.0 || r2 == 0.0 || up == 0.0 || down == 0.0) return false;
      const bool tallUp = up + 1 > r1, tallDown = down + 1 > r2;
      if (tallUp && tallDown) {
        if (down / r2 >= up / r1)
          f.h = f.h * r2 / down - 1;
        else
          f.h = f.h * r1 / up - 1;
      } else if (tallUp) {
        f.h = f.h * r1 / up - 1;
      } else if (tallDown) {
        f.h = f.h * r2 / down - 1;
      }
    }
  }
  KnobFrameApex(lv.ImageW, lv.ImageH, side, f);
  TFloatPoint src[40], pts[40];
  const int32_t n = shape.Count;
  if (mirrored) {
    for (int32_t j = 0; j < n; ++j)
      src[j] = TFloatPoint{float(shape.EndX) - shape.Points[n - 1 - j].x, shape.Points[n - 1 - j].y};
  } else {
    std::copy(shape.Points, shape.Points + n, src);
  }
  TransformKnobPoints(f, side, shape, src, pts);
  if (d != -1 && !CheckCurve(lv, target.CutMap, pts, n, f.S, f.E, d, bounds, q, r)) return false;
  DrawTransformedKnob(target.CutMap, pts, n, color);
  return true;
}

void DrawGridKnobEdge(TCutTarget& target, uint8_t flags, uint8_t side, TIntPoint p1, TIntPoint p2, uint32_t color) {
  TKnobState& knobs = target.Knobs;
  const TLevelRecord& lv = target.GameLevel;
  TDibImage& map = target.CutMap;
  const TKnobShape* shape;
  TFloatPoint pts[40];
  uint8_t knob;
  bool mirrored = false;
  PickKnob(knobs, target.Rng, shape, pts, knob, mirrored, true);

  TKnobFrame f;
  KnobFrameEnds(p1, p2, f);
  if (f.L == 0 || !UsableShape(*shape)) {
    // No knob to draw (a one-pixel edge has no direction, a shape may be missing from the set),
    // but the edge must still part the pieces: a straight line.
    if (map.Bitmap) {
      CanvasLine(*map.Bitmap, TCanvasPoint{f.S.x, f.S.y}, TCanvasPoint{f.E.x, f.E.y}, color);
      CanvasSetPixel(*map.Bitmap, f.E.x, f.E.y, color);
    }
    return;
  }
  f.h = (flags & 1) ? f.L / shape->EndX * shape->Baseline : double(lv.KnobS);
  KnobFrameApex(lv.ImageW, lv.ImageH, side, f);

  const int32_t w = f.E.x - f.S.x + 1, h = f.E.y - f.S.y + 1;
  const bool horizontal = f.S.y == f.E.y, vertical = f.S.x == f.E.x;
  const int32_t n = horizontal ? w : h;
  const TDibImage* img = knobs.KnobTemplateImage;
  const bool stamp = knob < kTemplateKnobs && !f.Clipped && (horizontal || vertical) && n >= kTemplateMinLength &&
                     n <= kTemplateMaxLength && img && img->BytesPerPixel == 1 && img->Width >= kTemplateImageWidth &&
                     img->Height >= kTemplateImageHeight;
  if (!stamp) {
    TFloatPoint out[40];
    TransformKnobPoints(f, side, *shape, pts, out);
    DrawTransformedKnob(map, out, shape->Count, color);
    return;
  }

  const int32_t k = n - kTemplateMinLength;
  const int32_t c0 = TemplateColumn(k);
  const int32_t blockTop = kTemplateBlockRows * knob;
  const int32_t r0 = blockTop + (side != 0 ? 1 : 0);
  const uint8_t drawn = side != 0 ? knobs.TemplateLineB : knobs.TemplateLineA;
  const int32_t off = knobs.KnobTemplateBaseRows[k];
  // A template never reaches into the separator row or the next knob's block, even when its
  // stop row is missing.
  const int32_t rows = std::min(n / 2 + off, blockTop + kTemplateBlockRows - 1 - r0);
  const uint8_t blue = uint8_t(color >> 16), green = uint8_t(color >> 8), red = uint8_t(color);
  for (int32_t i = 0; i < rows; ++i) {
    const uint8_t* row = DibScanLine(*img, r0 + i) + c0;
    if (row[mirrored ? n - 1 : 0] == knobs.TemplateStop) break;
    for (int32_t j = 0; j < n; ++j) {
      if (row[mirrored ? n - 1 - j : j] != drawn) continue;
      int32_t x, y;
      if (horizontal) {
        x = f.S.x + j;
        y = side != 0 ? f.S.y + off - i : f.S.y - off + i;
      } else {
        x = side != 0 ? f.S.x + off - i : f.S.x - off + i;
        y = f.S.y + j;
      }
      if (x < 0 || y < 0 || x >= map.Width || y >= map.Height) continue;
      uint8_t* p = DibPixelAddress(map, x, y);
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
}
