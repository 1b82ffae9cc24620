#include "platform/metafile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>

#include "platform/byte_fields.h"

namespace {

bool IsPoly32(uint32_t t) { return t >= kMfPolyBezier && t <= kMfPolylineTo; }
bool IsPoly16(uint32_t t) { return t >= kMfPolyBezier16 && t <= kMfPolyBezierTo16; }
// The kinds the mirror and rotation walks move (poly line-to is left alone).
bool IsMovedPoly32(uint32_t t) { return t >= kMfPolyBezier && t <= kMfPolyBezierTo; }

// The smallest size a record of the type must have to hold its fixed fields.
uint32_t MinimumRecordSize(uint32_t type) {
  if (type == kMfHeader) return kMfHeaderSize;
  if (IsPoly32(type) || IsPoly16(type)) return kMfPointsOffset;
  if (type == kMfMoveTo || type == kMfLineTo) return 16;
  const uint32_t colour = MetafileColourOffset(type);
  return colour ? colour + 4 : 8;
}

int32_t RoundHalfEven(double v) { return int32_t(std::nearbyint(v)); }

// Pixel (x, y) of a bottom-up 24-bit bitmap, when inside it and the clip.
struct TPlotter {
  TPlatformBitmap& Target;
  TMfClip Clip;
  void Plot(int32_t x, int32_t y, uint32_t colour) const {
    if (x < Clip.Left || x > Clip.Right || y < Clip.Top || y > Clip.Bottom) return;
    if (x < 0 || y < 0 || x >= Target.Width || y >= Target.Height) return;
    uint8_t* p = Target.Pixels + intptr_t(Target.Height - 1 - y) * Target.AllocatedStride + intptr_t(x) * 3;
    p[0] = uint8_t(colour >> 16);
    p[1] = uint8_t(colour >> 8);
    p[2] = uint8_t(colour);
  }
  // Pixels x0..x1 of row y, as Plot sets them one by one: clipped once, written in a run.
  void Span(int32_t x0, int32_t x1, int32_t y, uint32_t colour) const {
    if (y < Clip.Top || y > Clip.Bottom || y < 0 || y >= Target.Height) return;
    x0 = std::max({x0, Clip.Left, 0});
    x1 = std::min({x1, Clip.Right, Target.Width - 1});
    if (x0 > x1) return;
    uint8_t* p = Target.Pixels + intptr_t(Target.Height - 1 - y) * Target.AllocatedStride + intptr_t(x0) * 3;
    const uint8_t pixel[3] = {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
    for (int32_t n = x1 - x0 + 1; n > 0; --n, p += 3) std::memcpy(p, pixel, 3);
  }
  // Every pixel of the Bresenham line, both ends included.
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) const {
    const int64_t dx = std::abs(int64_t(x1) - x0), dy = -std::abs(int64_t(y1) - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int64_t e = dx + dy;
    for (;;) {
      Plot(x0, y0, colour);
      if (x0 == x1 && y0 == y1) break;
      const int64_t e2 = 2 * e;
      if (e2 >= dy) {
        e += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        e += dx;
        y0 += sy;
      }
    }
  }
};

// The pixel that holds the centre of the stretched source pixel u: floor((2u + 1) w / 2W).
int32_t MapCoordinate(int64_t u, int64_t w, int64_t sourceSize) {
  const int64_t num = (2 * u + 1) * w, den = 2 * sourceSize;
  int64_t q = num / den;
  if (num % den != 0 && num < 0) --q;
  return int32_t(std::clamp<int64_t>(q, -(int64_t(1) << 30), int64_t(1) << 30));
}

// Visits the records of a buffer; stops at a size that would leave it (only an unchecked
// buffer has one).
template <typename Byte, typename F>
void WalkRecords(Byte* data, size_t n, F&& visit) {
  size_t pos = 0;
  while (pos + 8 <= n) {
    Byte* rec = data + pos;
    const uint32_t size = GetU32(rec + 4);
    if (size < 8 || size > n - pos) return;
    visit(GetU32(rec), rec, size);
    pos += size;
  }
}

using TPoints = std::vector<std::pair<int32_t, int32_t>>;

// Scan-line fill with pixel centres on the vertices: a pixel row y takes the pixels between
// pairs of crossings (even-odd over every closed ring), each edge counted on the half-open span
// [ymin, ymax).
void FillRings(const TPlotter& plot, const std::vector<TPoints>& rings, uint32_t colour) {
  int32_t top = INT32_MAX, bottom = INT32_MIN;
  size_t corners = 0;
  for (const TPoints& pts : rings) {
    if (pts.size() < 3) continue;
    corners += pts.size();
    for (const auto& p : pts) {
      top = std::min(top, p.second);
      bottom = std::max(bottom, p.second);
    }
  }
  top = std::max(top, plot.Clip.Top);
  bottom = std::min(bottom, plot.Clip.Bottom);
  // The edges by their upper end; a row looks only at the edges that span it (the crossings
  // are sorted, so the order they are found in does not matter).
  struct TEdge {
    std::pair<int32_t, int32_t> Lo, Hi;
  };
  std::vector<TEdge> edges;
  edges.reserve(corners);
  for (const TPoints& pts : rings) {
    for (size_t i = 0; i < pts.size() && pts.size() >= 3; ++i) {
      const auto& a = pts[i];
      const auto& b = pts[(i + 1) % pts.size()];
      if (a.second == b.second) continue;
      edges.push_back(a.second < b.second ? TEdge{a, b} : TEdge{b, a});
    }
  }
  std::sort(edges.begin(), edges.end(), [](const TEdge& u, const TEdge& v) { return u.Lo.second < v.Lo.second; });
  std::vector<const TEdge*> active;
  size_t next = 0;
  std::vector<double> xs;
  for (int32_t y = top; y <= bottom; ++y) {
    xs.clear();
    while (next < edges.size() && edges[next].Lo.second <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const TEdge* e) { return y >= e->Hi.second; });
    for (const TEdge* e : active) {
      const auto& lo = e->Lo;
      const auto& hi = e->Hi;
      xs.push_back(lo.first + double(y - lo.second) * (hi.first - lo.first) / (hi.second - lo.second));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      const int32_t x0 = std::max<int32_t>(int32_t(std::ceil(xs[i])), plot.Clip.Left);
      const int32_t x1 = std::min<int32_t>(int32_t(std::floor(xs[i + 1])), plot.Clip.Right);
      plot.Span(x0, x1, y, colour);
    }
  }
}

// The points of a poly record, no more than the record holds.
TPoints ReadPoints(const uint8_t* rec, uint32_t type, uint32_t size) {
  const uint32_t stride = IsPoly16(type) ? 4 : 8;
  const uint32_t count = size < kMfPointsOffset ? 0 : std::min(GetU32(rec + 24), (size - kMfPointsOffset) / stride);
  TPoints pts(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (IsPoly16(type)) {
      pts[i] = {GetI16(rec + kMfPointsOffset + 4 * i), GetI16(rec + kMfPointsOffset + 4 * i + 2)};
    } else {
      pts[i] = {GetI32(rec + kMfPointsOffset + 8 * i), GetI32(rec + kMfPointsOffset + 8 * i + 4)};
    }
  }
  return pts;
}

// Applies f to every point the mirror and rotation walks move, header excluded.
template <typename F>
void MovePoints(TMetafile& mf, F f) {
  EnumMetafile(mf, [&](uint32_t type, uint8_t* rec, uint32_t) {
    if (type == kMfMoveTo || type == kMfLineTo) {
      int32_t x = GetI32(rec + 8), y = GetI32(rec + 12);
      f(x, y, false);
      PutI32(rec + 8, x);
      PutI32(rec + 12, y);
    } else if (IsMovedPoly32(type)) {
      const uint32_t count = GetU32(rec + 24);
      for (uint32_t i = 0; i < count; ++i) {
        uint8_t* p = rec + kMfPointsOffset + 8 * i;
        int32_t x = GetI32(p), y = GetI32(p + 4);
        f(x, y, false);
        PutI32(p, x);
        PutI32(p + 4, y);
      }
    } else if (IsPoly16(type)) {
      const uint32_t count = GetU32(rec + 24);
      for (uint32_t i = 0; i < count; ++i) {
        uint8_t* p = rec + kMfPointsOffset + 4 * i;
        int32_t x = GetI16(p), y = GetI16(p + 2);
        f(x, y, true);
        PutI16(p, int16_t(x));
        PutI16(p + 2, int16_t(y));
      }
    }
  });
}

// The header's bounds and frame keep their origins and take the sizes.
void SetHeaderSizes(TMetafile& mf, int32_t w, int32_t h, int32_t mw, int32_t mh) {
  uint8_t* rec = mf.Bytes.data();
  PutI32(rec + 16, GetI32(rec + 8) + w - 1);
  PutI32(rec + 20, GetI32(rec + 12) + h - 1);
  PutI32(rec + 32, GetI32(rec + 24) + mw - 1);
  PutI32(rec + 36, GetI32(rec + 28) + mh - 1);
}

}  // namespace

uint32_t MetafileColourOffset(uint32_t type) {
  switch (type) {
    case kMfSetPixel: return 16;
    case kMfSetTextColour: return 8;
    case kMfSetBackColour: return 8;
    case kMfCreatePen: return 24;
    case kMfCreateBrush: return 16;
    case kMfExtFloodFill: return 16;
    case kMfExtCreatePen: return 40;
    default: return 0;
  }
}

bool MetafileFromBytes(const uint8_t* data, size_t size, TMetafile& mf) {
  if (!data || size < kMfHeaderSize || size % 4 != 0) return false;
  size_t pos = 0;
  uint32_t last = 0;
  while (pos < size) {
    if (size - pos < 8) return false;
    const uint32_t type = GetU32(data + pos), recSize = GetU32(data + pos + 4);
    if (recSize < 8 || recSize % 4 != 0 || recSize > size - pos) return false;
    if ((pos == 0) != (type == kMfHeader)) return false;
    if (recSize < MinimumRecordSize(type)) return false;
    if (IsPoly32(type) || IsPoly16(type)) {
      const uint64_t count = GetU32(data + pos + 24);
      if (kMfPointsOffset + count * (IsPoly16(type) ? 4 : 8) > recSize) return false;
    }
    pos += recSize;
    last = type;
  }
  if (last != kMfEof) return false;  // a blob cut short between two records
  // Bounds and frame are inclusive and may start anywhere near the origin.
  const auto extent = [&](size_t at, int64_t limit) {
    const int64_t lo = GetI32(data + at), hi = GetI32(data + at + 8), n = hi - lo + 1;
    return lo >= -limit && lo <= limit && n >= 1 && n <= limit;
  };
  if (!extent(8, kMfMaxSide) || !extent(12, kMfMaxSide)) return false;
  if (!extent(24, kMfMaxFrame) || !extent(28, kMfMaxFrame)) return false;
  mf.Bytes.assign(data, data + size);
  return true;
}

TMetafileSize MetafileSize(const TMetafile& mf) {
  const uint8_t* h = mf.Bytes.data();
  return {GetI32(h + 16) - GetI32(h + 8) + 1,
          GetI32(h + 20) - GetI32(h + 12) + 1,
          GetI32(h + 32) - GetI32(h + 24) + 1,
          GetI32(h + 36) - GetI32(h + 28) + 1,
          GetI32(h + 8),
          GetI32(h + 12)};
}

void EnumMetafile(TMetafile& mf, const std::function<void(uint32_t, uint8_t*, uint32_t)>& visit) {
  WalkRecords(mf.Bytes.data(), mf.Bytes.size(), visit);
}

void RecolorMetafile(TMetafile& mf, uint32_t colour) {
  EnumMetafile(mf, [&](uint32_t type, uint8_t* rec, uint32_t) {
    if (const uint32_t off = MetafileColourOffset(type)) PutI32(rec + off, int32_t(colour));
  });
}

void MirrorMetafile(TMetafile& mf, bool leftRight, bool topBottom) {
  const TMetafileSize s = MetafileSize(mf);
  SetHeaderSizes(mf, s.W, s.H, s.MW, s.MH);
  // Across the drawing's middle: x := left + right - x, which is W - x - 1 from the origin.
  const int32_t acrossX = 2 * s.Left + s.W - 1, acrossY = 2 * s.Top + s.H - 1;
  MovePoints(mf, [&](int32_t& x, int32_t& y, bool narrow) {
    const int32_t w = narrow ? int16_t(acrossX) : acrossX, h = narrow ? int16_t(acrossY) : acrossY;
    if (leftRight) x = w - x;
    if (topBottom) y = h - y;
  });
}

void RotateMetafile(TMetafile& mf, double angle, int32_t& rotatedW, int32_t& rotatedH) {
  const TMetafileSize s = MetafileSize(mf);
  const double a = std::numbers::pi * angle / 180.0;
  const double sn = std::sin(a), cs = std::cos(a);
  // Turns about the centre of pixel (cx, cy), then shifts by (ox, oy).
  auto turn = [&](int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t ox, int64_t oy, int32_t& rx, int32_t& ry) {
    const double u = double(2 * (x - cx) + 1), v = double(2 * (y - cy) + 1);
    rx = RoundHalfEven((u * cs - v * sn - 1.0) / 2.0 + double(cx + ox));
    ry = RoundHalfEven((u * sn + v * cs - 1.0) / 2.0 + double(cy + oy));
  };
  auto box = [&](int32_t w, int32_t h, int32_t& bw, int32_t& bh) {
    int32_t left = 100000, top = 100000, right = -100000, bottom = -100000;
    const int32_t xs[2] = {0, w - 1}, ys[2] = {0, h - 1};
    for (int32_t x : xs) {
      for (int32_t y : ys) {
        int32_t rx, ry;
        turn(x, y, w / 2, h / 2, 0, 0, rx, ry);
        left = std::min(left, rx);
        right = std::max(right, rx);
        top = std::min(top, ry);
        bottom = std::max(bottom, ry);
      }
    }
    bw = right - left + 1;
    bh = bottom - top + 1;
  };
  int32_t w2, h2, mw2, mh2;
  box(s.W, s.H, w2, h2);
  box(s.MW, s.MH, mw2, mh2);
  const int32_t cx = s.Left + s.W / 2, cy = s.Top + s.H / 2;
  const int32_t ox = (w2 - s.W) / 2, oy = (h2 - s.H) / 2;
  SetHeaderSizes(mf, w2, h2, mw2, mh2);
  MovePoints(mf, [&](int32_t& x, int32_t& y, bool) {
    int32_t rx, ry;
    turn(x, y, cx, cy, ox, oy, rx, ry);
    x = rx;
    y = ry;
  });
  rotatedW = w2;
  rotatedH = h2;
}

TMetafileWriter::TMetafileWriter(int32_t w, int32_t h, int32_t left, int32_t top) {
  // 96 pixels an inch: 2540 / 96 hundredths of a millimetre a pixel. The reference device is a
  // 1920 x 1080 screen of 508 x 286 mm.
  const auto hundredths = [](int32_t pixels) { return int32_t(int64_t(pixels) * 2540 / 96); };
  const int32_t fl = hundredths(left), ft = hundredths(top);
  // clang-format off
  Record(kMfHeader, {left, top, left + w - 1, top + h - 1, fl, ft, fl + hundredths(w) - 1, ft + hundredths(h) - 1,
                     0x464D4520 /* " EMF" */, 0x10000, 0, 0, 0, 0, 0, 0, 1920, 1080, 508, 286, 0, 0, 0, 508000,
                     286000});
  // clang-format on
}

void TMetafileWriter::Record(uint32_t type, const std::vector<int32_t>& words) {
  const size_t at = bytes_.size();
  bytes_.resize(at + 8 + 4 * words.size());
  PutI32(bytes_.data() + at, int32_t(type));
  PutI32(bytes_.data() + at + 4, int32_t(8 + 4 * words.size()));
  for (size_t i = 0; i < words.size(); ++i) PutI32(bytes_.data() + at + 8 + 4 * i, words[i]);
  ++records_;
}

void TMetafileWriter::CreatePen(uint32_t colour) {
  Record(kMfCreatePen, {++handles_, 0, 1, 0, int32_t(colour)});
  Record(kMfSelectObject, {handles_});
}
void TMetafileWriter::CreateBrush(uint32_t colour) {
  Record(kMfCreateBrush, {++handles_, 0, int32_t(colour), 0});
  Record(kMfSelectObject, {handles_});
}
void TMetafileWriter::Polygon(const TPoints& points) { Poly(kMfPolygon, points, true); }
void TMetafileWriter::Polyline(const TPoints& points) { Poly(kMfPolyline, points, true); }
void TMetafileWriter::Polygon16(const TPoints& points) { Poly(kMfPolygon16, points, false); }

void TMetafileWriter::Poly(uint32_t type, const TPoints& points, bool wide) {
  int32_t l = 0, t = 0, r = 0, b = 0;
  if (!points.empty()) {
    l = r = points[0].first;
    t = b = points[0].second;
  }
  for (const auto& p : points) {
    l = std::min(l, p.first);
    r = std::max(r, p.first);
    t = std::min(t, p.second);
    b = std::max(b, p.second);
  }
  std::vector<int32_t> words = {l, t, r, b, int32_t(points.size())};
  if (wide) {
    for (const auto& p : points) {
      words.push_back(p.first);
      words.push_back(p.second);
    }
  } else {
    for (size_t i = 0; i < points.size(); ++i) {
      words.push_back(int32_t((uint32_t(uint16_t(points[i].second)) << 16) | uint16_t(points[i].first)));
    }
  }
  Record(type, words);
}

std::vector<uint8_t> TMetafileWriter::Finish() {
  Record(kMfEof, {0, 16, 20});  // no palette; the record's own size last
  PutI32(bytes_.data() + 48, int32_t(bytes_.size()));
  PutI32(bytes_.data() + 52, records_);
  PutI32(bytes_.data() + 56, handles_ + 1);  // slot 0 is the metafile's own
  return bytes_;
}

namespace {

// A pen or a brush: its colour, or nothing drawn at all.
struct TDrawTool {
  uint32_t Colour = 0;
  bool Null = false;
  bool Brush = false;
};

// The stock objects of a select-object record's handle: white, light grey, grey, dark grey and
// black brushes, the null brush, white and black pens, the null pen.
bool StockObject(uint32_t index, TDrawTool& tool) {
  static constexpr uint32_t kColours[9] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0, 0, 0xFFFFFF, 0, 0};
  if (index > 8) return false;
  tool = {kColours[index], index == 5 || index == 8, index <= 5};
  return true;
}

// A figure of a path or of one drawing record, in target pixels.
struct TFigure {
  TPoints Points;
  bool Closed = false;
};

class TMetafilePlayer {
 public:
  TMetafilePlayer(const TMetafileSize& s, TPlatformBitmap& target, int32_t x, int32_t y, int32_t w, int32_t h,
                  const TMfClip& clip)
      : s_(s), plot_{target, clip}, x_(x), y_(y), w_(w), h_(h), current_{x, y} {}

  void Record(uint32_t type, const uint8_t* rec, uint32_t size);

 private:
  // Source point (u, v) to the pixel that holds the centre of its stretched pixel.
  std::pair<int32_t, int32_t> Map(int64_t u, int64_t v) const {
    return {x_ + MapCoordinate(u - s_.Left, w_, s_.W), y_ + MapCoordinate(v - s_.Top, h_, s_.H)};
  }
  std::pair<int32_t, int32_t> MapFraction(double u, double v) const {
    auto one = [](double c, int64_t w, int64_t n) {
      const double q = std::floor((2 * c + 1) * double(w) / double(2 * n));
      return int32_t(std::clamp(q, -double(int64_t(1) << 30), double(int64_t(1) << 30)));
    };
    return {x_ + one(u - s_.Left, w_, s_.W), y_ + one(v - s_.Top, h_, s_.H)};
  }
  // Appends the cubic from p0 through c1, c2 to p3 (source points), p0 itself left out.
  void AppendBezier(TPoints& out, const TPoints& p) const;
  // Source points of a poly record; curve kinds are flattened. With a start point (the "to"
  // kinds) the figure begins there.
  TPoints Figure(uint32_t type, const uint8_t* rec, uint32_t size, const std::pair<int32_t, int32_t>* start) const;
  void Stroke(const TFigure& f) const;
  void Fill(const std::vector<TFigure>& figures) const;
  void AddToPath(TPoints pts, bool newFigure, bool closed);
  void SetTool(const TDrawTool& t) { (t.Brush ? brush_ : pen_) = t; }

  TMetafileSize s_;
  TPlotter plot_;
  int32_t x_, y_, w_, h_;
  TDrawTool pen_{0, false, false}, brush_{0xFFFFFF, false, true};
  std::map<uint32_t, TDrawTool> handles_;
  std::pair<int32_t, int32_t> current_;              // the current position, in target pixels
  std::pair<int32_t, int32_t> currentSource_{0, 0};  // and in the drawing
  bool inPath_ = false, figureOpen_ = false;
  std::vector<TFigure> path_;
};

void TMetafilePlayer::AppendBezier(TPoints& out, const TPoints& p) const {
  // Enough chords that none strays more than a quarter pixel from the curve: n = sqrt(3 d),
  // with d the largest second difference of the control points in target pixels.
  const double sx = double(w_) / s_.W, sy = double(h_) / s_.H;
  auto second = [&](int i) {
    return std::hypot((p[i].first - 2.0 * p[i + 1].first + p[i + 2].first) * sx,
                      (p[i].second - 2.0 * p[i + 1].second + p[i + 2].second) * sy);
  };
  const double d = std::max(second(0), second(1));
  const int32_t n = int32_t(std::clamp(std::ceil(std::sqrt(3 * d)), 1.0, 1024.0));
  for (int32_t i = 1; i < n; ++i) {
    const double t = double(i) / n, a = (1 - t) * (1 - t) * (1 - t), b = 3 * (1 - t) * (1 - t) * t,
                 c = 3 * (1 - t) * t * t, e = t * t * t;
    out.push_back(MapFraction(a * p[0].first + b * p[1].first + c * p[2].first + e * p[3].first,
                              a * p[0].second + b * p[1].second + c * p[2].second + e * p[3].second));
  }
  out.push_back(Map(p[3].first, p[3].second));
}

TPoints TMetafilePlayer::Figure(uint32_t type, const uint8_t* rec, uint32_t size,
                                const std::pair<int32_t, int32_t>* start) const {
  TPoints source = ReadPoints(rec, type, size);
  if (start) source.insert(source.begin(), *start);
  const bool curve =
      type == kMfPolyBezier || type == kMfPolyBezier16 || type == kMfPolyBezierTo || type == kMfPolyBezierTo16;
  TPoints out;
  if (source.empty()) return out;
  out.push_back(Map(source[0].first, source[0].second));
  if (!curve) {
    for (size_t i = 1; i < source.size(); ++i) out.push_back(Map(source[i].first, source[i].second));
    return out;
  }
  // A start point and three points a curve; a last incomplete curve is left out.
  for (size_t i = 0; i + 3 < source.size(); i += 3) {
    AppendBezier(out, TPoints(source.begin() + std::ptrdiff_t(i), source.begin() + std::ptrdiff_t(i) + 4));
  }
  if (out.size() == 1) out.clear();
  return out;
}

void TMetafilePlayer::Stroke(const TFigure& f) const {
  if (pen_.Null || f.Points.empty()) return;
  const TPoints& pts = f.Points;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    plot_.Line(pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, pen_.Colour);
  }
  if (f.Closed && pts.size() > 1)
    plot_.Line(pts.back().first, pts.back().second, pts[0].first, pts[0].second, pen_.Colour);
  if (pts.size() == 1) plot_.Plot(pts[0].first, pts[0].second, pen_.Colour);
}

void TMetafilePlayer::Fill(const std::vector<TFigure>& figures) const {
  if (brush_.Null) return;
  std::vector<TPoints> rings;
  for (const TFigure& f : figures) rings.push_back(f.Points);
  FillRings(plot_, rings, brush_.Colour);
}

void TMetafilePlayer::AddToPath(TPoints pts, bool newFigure, bool closed) {
  if (pts.empty()) return;
  // A move that nothing followed starts no figure.
  if (newFigure && figureOpen_ && !path_.empty() && path_.back().Points.size() == 1) path_.pop_back();
  if (newFigure || !figureOpen_ || path_.empty()) {
    path_.push_back({std::move(pts), closed});
  } else {
    // The figure goes on from its last point, which the points repeat.
    path_.back().Points.insert(path_.back().Points.end(), pts.begin() + 1, pts.end());
  }
  figureOpen_ = !closed;
}

void TMetafilePlayer::Record(uint32_t type, const uint8_t* rec, uint32_t size) {
  // Every read follows its kind's size check.
  const auto u32 = [&](uint32_t at) { return GetU32(rec + at); };
  switch (type) {
    case kMfCreatePen:
    case kMfExtCreatePen:
    case kMfCreateBrush: {
      const uint32_t colourAt = MetafileColourOffset(type), styleAt = type == kMfExtCreatePen ? 28 : 12;
      if (size < colourAt + 4) break;
      const uint32_t style = u32(styleAt);
      const bool brush = type == kMfCreateBrush;
      // Pen style 5 and brush style 1 draw nothing.
      handles_[u32(8)] = {u32(colourAt) & 0xFFFFFF, brush ? style == 1 : (style & 0xF) == 5, brush};
      break;
    }
    case kMfSelectObject: {
      if (size < 12) break;
      const uint32_t handle = u32(8);
      TDrawTool tool;
      if (handle & kMfStockObject) {
        if (StockObject(handle & ~kMfStockObject, tool)) SetTool(tool);
      } else if (const auto it = handles_.find(handle); it != handles_.end()) {
        SetTool(it->second);
      }
      break;
    }
    case kMfDeleteObject:
      if (size >= 12) handles_.erase(u32(8));
      break;
    case kMfMoveTo:
      if (size < 16) break;
      currentSource_ = {GetI32(rec + 8), GetI32(rec + 12)};
      current_ = Map(currentSource_.first, currentSource_.second);
      if (inPath_) AddToPath({current_}, true, false);
      break;
    case kMfLineTo: {
      if (size < 16) break;
      currentSource_ = {GetI32(rec + 8), GetI32(rec + 12)};
      const auto to = Map(currentSource_.first, currentSource_.second);
      if (inPath_) {
        AddToPath({current_, to}, false, false);
      } else if (!pen_.Null) {
        plot_.Line(current_.first, current_.second, to.first, to.second, pen_.Colour);
      }
      current_ = to;
      break;
    }
    case kMfSetPixel: {
      if (size < 20) break;
      const auto p = Map(GetI32(rec + 8), GetI32(rec + 12));
      plot_.Plot(p.first, p.second, GetU32(rec + 16) & 0xFFFFFF);
      break;
    }
    case kMfPolyBezierTo:
    case kMfPolyBezierTo16: {
      TPoints pts = Figure(type, rec, size, &currentSource_);
      if (pts.size() < 2) break;
      // The current position moves to the end of the last whole curve.
      const TPoints source = ReadPoints(rec, type, size);
      currentSource_ = source[source.size() / 3 * 3 - 1];
      current_ = pts.back();
      if (inPath_) {
        AddToPath(std::move(pts), false, false);
      } else {
        Stroke({std::move(pts), false});
      }
      break;
    }
    case kMfPolyBezier:
    case kMfPolyBezier16:
    case kMfPolygon:
    case kMfPolygon16:
    case kMfPolyline:
    case kMfPolyline16: {
      TFigure f{Figure(type, rec, size, nullptr), type == kMfPolygon || type == kMfPolygon16};
      if (inPath_) {
        AddToPath(std::move(f.Points), true, f.Closed);
        break;
      }
      if (f.Closed) Fill({f});
      Stroke(f);
      break;
    }
    case kMfBeginPath:
      path_.clear();
      inPath_ = true;
      figureOpen_ = false;
      break;
    case kMfEndPath: inPath_ = false; break;
    case kMfAbortPath:
      path_.clear();
      inPath_ = false;
      break;
    case kMfCloseFigure:
      if (inPath_ && figureOpen_ && !path_.empty()) {
        path_.back().Closed = true;
        figureOpen_ = false;
      }
      break;
    case kMfFillPath:
    case kMfStrokeAndFillPath:
    case kMfStrokePath:
      if (inPath_) break;  // only a finished path is drawn
      std::erase_if(path_, [](const TFigure& f) { return f.Points.size() < 2; });
      if (type != kMfStrokePath) {
        Fill(path_);
        for (TFigure& f : path_) f.Closed = true;  // filling closes every figure
      }
      if (type != kMfFillPath) {
        for (const TFigure& f : path_) Stroke(f);
      }
      path_.clear();
      break;
    default: break;
  }
}

}  // namespace

void PlayMetafile(const TMetafile& mf, TPlatformBitmap& target, int32_t x, int32_t y, int32_t w, int32_t h,
                  const TMfClip& clip) {
  if (w <= 0 || h <= 0 || target.BitsPerPixel != 24 || mf.Bytes.size() < kMfHeaderSize) return;
  const TMetafileSize s = MetafileSize(mf);
  if (s.W <= 0 || s.H <= 0) return;
  TMetafilePlayer player(s, target, x, y, w, h, clip);
  WalkRecords(mf.Bytes.data(), mf.Bytes.size(),
              [&](uint32_t type, const uint8_t* rec, uint32_t size) { player.Record(type, rec, size); });
}
