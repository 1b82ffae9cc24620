// make-knob-templates: draws the short-edge knob templates of the grid cut and writes them as
// engine/knob_templates.inc (run-length coded 8-bit palette indexes), optionally also as a PNG
// to look at.
//
//   make-knob-templates OUT.inc [OUT.png]
//
// Layout: one column of templates per edge length N = 20..48 (N pixels wide, then a silver
// separator column), one block of 22 rows per knob 0..5 of the grid set (21 rows, then a
// silver separator row). Each template holds the knob with its head at the top as a double
// outline: green on the outer side, red one pixel inside, ends in the first and last column at
// the base row, and a blue stop row under both lines. The grid cut stamps green for knobs
// whose head points away from the edge's owner and red (upside down) for the others.
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/knobs.h"

namespace {
// 16-colour standard palette indexes.
constexpr uint8_t kWhiteIndex = 15, kGreenIndex = 2, kRedIndex = 9, kBlueIndex = 12, kSilverIndex = 7;
const uint32_t kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                               0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// The row of the outline's ends for template k: the knob margin a piece of that size has, so a
// stamped knob rises as far as a drawn one.
int32_t BaseRow(int32_t k) { return 4 + (k + 1) / 4; }

using TGrid = std::vector<uint8_t>;  // kTemplateImageWidth x kTemplateImageHeight, top-down

bool DrawTemplate(const TKnobShape& shape, int32_t knob, int32_t k, TGrid& img) {
  const int32_t n = kTemplateMinLength + k, b = BaseRow(k), rows = kTemplateBlockRows - 1;
  const int32_t c0 = TemplateColumn(k), r0 = kTemplateBlockRows * knob;
  // The outline, drawn as the cut draws a knob on the edge (0, b)-(n-1, b) with the head up.
  // One row more than the base row lets the shoulders dip a visible pixel; the head's crown
  // is held at row 0.
  // Both lines keep the base row for their first and last two pixels: a line that left its end
  // diagonally would meet the perpendicular edge's shoulder at the corner and cut its own end
  // pixel off from the piece it belongs to.
  TKnobFrame f;
  KnobFrameEnds(TIntPoint{1, b}, TIntPoint{n - 2, b}, f);
  f.h = b + 1;
  TFloatPoint pts[40];
  TransformKnobPoints(f, 1, shape, shape.Points, pts);
  std::vector<uint8_t> line(size_t(n) * rows, 0), body(size_t(n) * rows, 0);
  auto at = [&](std::vector<uint8_t>& v, int32_t x, int32_t y) -> uint8_t& { return v[size_t(y) * n + x]; };
  auto plot = [&](int32_t x, int32_t y) {
    if (x >= 0 && x < n && y >= 0 && y < rows) at(line, x, y) = 1;
  };
  // The exact curve, finely sampled, each sample rounded to its pixel, then thinned to an
  // 8-connected path (a pixel whose two path neighbours touch is dropped).
  std::vector<TCanvasPoint> path;
  auto add = [&](int32_t x, int32_t y) {
    if (path.empty() || path.back().x != x || path.back().y != y) path.push_back({x, y});
  };
  for (int32_t s = 0; 3 * s + 3 < shape.Count; ++s) {
    const TFloatPoint* p = pts + 3 * s;
    for (int32_t i = 0; i <= 256; ++i) {
      const double t = i / 256.0, u = 1 - t;
      const double x = u * u * u * p[0].x + 3 * u * u * t * p[1].x + 3 * u * t * t * p[2].x + t * t * t * p[3].x;
      const double y = u * u * u * p[0].y + 3 * u * u * t * p[1].y + 3 * u * t * t * p[2].y + t * t * t * p[3].y;
      const TCanvasPoint cur{Round(x), std::max(Round(y), 0)};
      if (!path.empty()) WalkPenLine(path.back(), cur, add);
      add(cur.x, cur.y);
    }
  }
  std::vector<TCanvasPoint> thin;
  for (size_t i = 0; i < path.size(); ++i) {
    if (i > 0 && i + 1 < path.size() && !thin.empty() && std::abs(thin.back().x - path[i + 1].x) <= 1 &&
        std::abs(thin.back().y - path[i + 1].y) <= 1)
      continue;
    thin.push_back(path[i]);
  }
  for (const TCanvasPoint& q : thin) plot(q.x, q.y);
  plot(0, b);
  plot(n - 1, b);
  // The knob's body: what the outline cuts off with the bottom row (4-connected).
  std::vector<std::pair<int32_t, int32_t>> stack;
  for (int32_t x = 0; x < n; ++x) stack.push_back({x, rows - 1});
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    stack.pop_back();
    if (x < 0 || x >= n || y < 0 || y >= rows || at(line, x, y) || at(body, x, y)) continue;
    at(body, x, y) = 1;
    stack.push_back({x - 1, y});
    stack.push_back({x + 1, y});
    stack.push_back({x, y - 1});
    stack.push_back({x, y + 1});
  }
  int32_t lowest = 0;
  std::vector<uint8_t> inner(size_t(n) * rows, 0);
  for (int32_t y = 0; y < rows; ++y)
    for (int32_t x = 0; x < n; ++x) {
      if (at(line, x, y)) lowest = std::max(lowest, y);
      if (!at(body, x, y)) continue;
      const bool touches = (x > 0 && at(line, x - 1, y)) || (x + 1 < n && at(line, x + 1, y)) ||
                           (y > 0 && at(line, x, y - 1)) || (y + 1 < rows && at(line, x, y + 1));
      if (touches) {
        at(inner, x, y) = 1;
        lowest = std::max(lowest, y);
      }
    }
  const int32_t stop = lowest + 1;
  if (stop >= rows || !at(line, 0, b) || !at(line, n - 1, b)) {
    std::fprintf(stderr, "template %d/%d does not fit its block\n", knob, n);
    return false;
  }
  for (int32_t y = 0; y < rows; ++y)
    for (int32_t x = 0; x < n; ++x) {
      uint8_t v = kWhiteIndex;
      if (y == stop)
        v = kBlueIndex;
      else if (at(line, x, y))
        v = kGreenIndex;
      else if (at(inner, x, y))
        v = kRedIndex;
      img[size_t(r0 + y) * kTemplateImageWidth + c0 + x] = v;
    }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make-knob-templates OUT.inc [OUT.png]\n");
    return 2;
  }
  TKnobState knobs;
  LoadKnobSetB(knobs);
  TGrid img(size_t(kTemplateImageWidth) * kTemplateImageHeight, kSilverIndex);
  for (int32_t knob = 0; knob < kTemplateKnobs; ++knob)
    for (int32_t k = 0; k < kTemplateLengths; ++k)
      if (!DrawTemplate(knobs.KnobShapes[knob], knob, k, img)) return 1;
  if (TemplateColumn(kTemplateLengths - 1) + kTemplateMaxLength + 1 != kTemplateImageWidth) {
    std::fprintf(stderr, "template columns do not add up to the image width\n");
    return 1;
  }
  auto px = [&](int32_t x, int32_t y) { return img[size_t(y) * kTemplateImageWidth + x]; };
  if (argc > 2) {
    QImage png(kTemplateImageWidth, kTemplateImageHeight, QImage::Format_RGB32);
    for (int32_t y = 0; y < kTemplateImageHeight; ++y)
      for (int32_t x = 0; x < kTemplateImageWidth; ++x) png.setPixel(x, y, kPalette[px(x, y)]);
    if (!png.save(QString::fromLocal8Bit(argv[2]))) {
      std::fprintf(stderr, "cannot write %s\n", argv[2]);
      return 1;
    }
  }
  // The reader takes its four key values from column 4 of the first template.
  if (px(4, 5) != kWhiteIndex || px(4, 6) != kGreenIndex || px(4, 7) != kRedIndex || px(4, 8) != kBlueIndex) {
    std::fprintf(stderr, "key pixels at column 4 are %d %d %d %d\n", px(4, 5), px(4, 6), px(4, 7), px(4, 8));
    return 1;
  }

  FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "// Generated by tools/make-knob-templates; do not edit.\n");
  std::fprintf(out, "// Knob templates, %d x %d, 8-bit palette indexes, top row first, as (value, run) pairs.\n",
               kTemplateImageWidth, kTemplateImageHeight);
  std::fprintf(out, "static const uint8_t kKnobTemplateRuns[] = {");
  size_t written = 0;
  for (size_t i = 0; i < img.size();) {
    size_t j = i;
    while (j < img.size() && img[j] == img[i] && j - i < 255) ++j;
    std::fprintf(out, "%s%d,%d,", written % 16 == 0 ? "\n" : "", img[i], int(j - i));
    ++written;
    i = j;
  }
  std::fprintf(out, "\n};\n");
  std::fclose(out);

  return 0;
}
