#include "platform/metafile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

uint32_t GetU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
int32_t GetI32(const uint8_t* p) { return int32_t(GetU32(p)); }
void PutI32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }
int16_t GetI16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
void PutI16(uint8_t* p, int16_t v) { std::memcpy(p, &v, 2); }

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
  // Every pixel of the Bresenham line, both ends included.
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) const {
    const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32_t e = dx + dy;
    for (;;) {
      Plot(x0, y0, colour);
      if (x0 == x1 && y0 == y1) break;
      const int32_t e2 = 2 * e;
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
// pairs of crossings (even-odd), each edge counted on the half-open span [ymin, ymax).
void FillPolygon(const TPlotter& plot, const TPoints& pts, uint32_t colour) {
  if (pts.size() < 3) return;
  int32_t top = pts[0].second, bottom = pts[0].second;
  for (const auto& p : pts) {
    top = std::min(top, p.second);
    bottom = std::max(bottom, p.second);
  }
  top = std::max(top, plot.Clip.Top);
  bottom = std::min(bottom, plot.Clip.Bottom);
  // The edges by their upper end; a row looks only at the edges that span it (the crossings
  // are sorted, so the order they are found in does not matter).
  struct TEdge {
    std::pair<int32_t, int32_t> Lo, Hi;
  };
  std::vector<TEdge> edges;
  edges.reserve(pts.size());
  for (size_t i = 0; i < pts.size(); ++i) {
    const auto& a = pts[i];
    const auto& b = pts[(i + 1) % pts.size()];
    if (a.second == b.second) continue;
    edges.push_back(a.second < b.second ? TEdge{a, b} : TEdge{b, a});
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
      for (int32_t x = x0; x <= x1; ++x) plot.Plot(x, y, colour);
    }
  }
}

TPoints ReadPoints(const uint8_t* rec, uint32_t type) {
  const uint32_t count = GetU32(rec + 24);
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

void SetHeaderSizes(TMetafile& mf, int32_t w, int32_t h, int32_t mw, int32_t mh) {
  uint8_t* rec = mf.Bytes.data();
  PutI32(rec + 16, w);
  PutI32(rec + 20, h);
  PutI32(rec + 32, mw);
  PutI32(rec + 36, mh);
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
  const int32_t left = GetI32(data + 8), top = GetI32(data + 12);
  const int32_t w = GetI32(data + 16), h = GetI32(data + 20);
  const int32_t mw = GetI32(data + 32), mh = GetI32(data + 36);
  if (left != 0 || top != 0 || w < 1 || h < 1 || w > kMfMaxSide || h > kMfMaxSide) return false;
  if (mw < 1 || mh < 1 || mw > kMfMaxFrame || mh > kMfMaxFrame) return false;
  mf.Bytes.assign(data, data + size);
  return true;
}

TMetafileSize MetafileSize(const TMetafile& mf) {
  const uint8_t* h = mf.Bytes.data();
  return {GetI32(h + 16) - GetI32(h + 8), GetI32(h + 20) - GetI32(h + 12), GetI32(h + 32) - GetI32(h + 24),
          GetI32(h + 36) - GetI32(h + 28)};
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
  MovePoints(mf, [&](int32_t& x, int32_t& y, bool narrow) {
    const int32_t w = narrow ? int16_t(s.W) : s.W, h = narrow ? int16_t(s.H) : s.H;
    if (leftRight) x = w - x - 1;
    if (topBottom) y = h - y - 1;
  });
}

void RotateMetafile(TMetafile& mf, double angle, int32_t& rotatedW, int32_t& rotatedH) {
  const TMetafileSize s = MetafileSize(mf);
  const double a = std::numbers::pi * angle / 180.0;
  const double sn = std::sin(a), cs = std::cos(a);
  // Turns about the centre of pixel (cx, cy), then shifts by (ox, oy).
  auto turn = [&](int64_t x, int64_t y, int64_t cx, int64_t cy, int64_t ox, int64_t oy, int32_t& rx,
                  int32_t& ry) {
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
  const int32_t cx = s.W / 2, cy = s.H / 2;
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

TMetafileWriter::TMetafileWriter(int32_t w, int32_t h) {
  // 96 pixels an inch: 2540 / 96 hundredths of a millimetre a pixel.
  Record(kMfHeader, {0, 0, w, h, 0, 0, int32_t(int64_t(w) * 2540 / 96), int32_t(int64_t(h) * 2540 / 96)});
}

void TMetafileWriter::Record(uint32_t type, const std::vector<int32_t>& words) {
  const size_t at = bytes_.size();
  bytes_.resize(at + 8 + 4 * words.size());
  PutI32(bytes_.data() + at, int32_t(type));
  PutI32(bytes_.data() + at + 4, int32_t(8 + 4 * words.size()));
  for (size_t i = 0; i < words.size(); ++i) PutI32(bytes_.data() + at + 8 + 4 * i, words[i]);
}

void TMetafileWriter::CreatePen(uint32_t colour) { Record(kMfCreatePen, {1, 0, 1, 0, int32_t(colour)}); }
void TMetafileWriter::CreateBrush(uint32_t colour) { Record(kMfCreateBrush, {2, 0, int32_t(colour), 0}); }
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
  Record(kMfEof, {0, 0, 0});
  return bytes_;
}

void PlayMetafile(const TMetafile& mf, TPlatformBitmap& target, int32_t x, int32_t y, int32_t w,
                  int32_t h, const TMfClip& clip) {
  if (w <= 0 || h <= 0 || target.BitsPerPixel != 24 || mf.Bytes.size() < kMfHeaderSize) return;
  const TMetafileSize s = MetafileSize(mf);
  if (s.W <= 0 || s.H <= 0) return;
  const TPlotter plot{target, clip};
  auto map = [&](std::pair<int32_t, int32_t> p) {
    return std::pair<int32_t, int32_t>{x + MapCoordinate(p.first, w, s.W), y + MapCoordinate(p.second, h, s.H)};
  };
  uint32_t pen = 0, brush = 0xFFFFFF;
  std::pair<int32_t, int32_t> current{x, y};
  WalkRecords(mf.Bytes.data(), mf.Bytes.size(), [&](uint32_t type, const uint8_t* rec, uint32_t) {
    switch (type) {
      case kMfCreatePen: pen = GetU32(rec + 24) & 0xFFFFFF; break;
      case kMfCreateBrush: brush = GetU32(rec + 16) & 0xFFFFFF; break;
      case kMfMoveTo: current = map({GetI32(rec + 8), GetI32(rec + 12)}); break;
      case kMfLineTo: {
        const auto to = map({GetI32(rec + 8), GetI32(rec + 12)});
        plot.Line(current.first, current.second, to.first, to.second, pen);
        current = to;
        break;
      }
      case kMfSetPixel: {
        const auto p = map({GetI32(rec + 8), GetI32(rec + 12)});
        plot.Plot(p.first, p.second, GetU32(rec + 16) & 0xFFFFFF);
        break;
      }
      case kMfPolygon:
      case kMfPolygon16:
      case kMfPolyline:
      case kMfPolyline16: {
        TPoints pts = ReadPoints(rec, type);
        for (auto& p : pts) p = map(p);
        const bool closed = type == kMfPolygon || type == kMfPolygon16;
        if (closed) FillPolygon(plot, pts, brush);
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
          plot.Line(pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, pen);
        }
        if (closed && pts.size() > 1) {
          plot.Line(pts.back().first, pts.back().second, pts[0].first, pts[0].second, pen);
        }
        if (pts.size() == 1) plot.Plot(pts[0].first, pts[0].second, pen);
        break;
      }
      default: break;
    }
  });
}
