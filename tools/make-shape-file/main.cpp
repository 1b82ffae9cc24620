// Writes the shape file data/pic_zorva.dat: the picture outlines of shape style 3, each built
// from a few primitives united into one silhouette and stored as a metafile that fills and
// outlines it as one path.
//   make-shape-file OUT.dat [--sheet SHEET.png]
// The sheet shows every outline as the cut draws it, to check that each is recognisable.
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "engine/shape_file.h"
#include "platform/metafile.h"

namespace {

// Outlines are designed in a 100 x 100 box with y downwards and stored at this longest side.
constexpr double kStoredSide = 360.0;

QPainterPath Ellipse(double cx, double cy, double rx, double ry) {
  QPainterPath p;
  p.addEllipse(QPointF(cx, cy), rx, ry);
  return p;
}
QPainterPath Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
QPainterPath Rect(double x, double y, double w, double h) {
  QPainterPath p;
  p.addRect(x, y, w, h);
  return p;
}
QPainterPath RoundRect(double x, double y, double w, double h, double r) {
  QPainterPath p;
  p.addRoundedRect(x, y, w, h, r, r);
  return p;
}
QPainterPath Poly(std::initializer_list<QPointF> pts) {
  QPainterPath p;
  p.addPolygon(QPolygonF(QList<QPointF>(pts)));
  p.closeSubpath();
  return p;
}
QPainterPath Rotated(const QPainterPath& p, double degrees, QPointF about) {
  QTransform t;
  t.translate(about.x(), about.y());
  t.rotate(degrees);
  t.translate(-about.x(), -about.y());
  return t.map(p);
}
// A thick stroke along a path (tails, handles, stems).
QPainterPath Stroke(const QPainterPath& centre, double width) {
  QPainterPathStroker s;
  s.setWidth(width);
  s.setCapStyle(Qt::RoundCap);
  s.setJoinStyle(Qt::RoundJoin);
  return s.createStroke(centre);
}
QPainterPath Union(std::initializer_list<QPainterPath> parts) {
  QPainterPath r;
  for (const auto& p : parts) r = r.united(p);
  return r;
}
QPainterPath StarPath(double cx, double cy, double outer, double inner, int n) {
  QPolygonF poly;
  for (int i = 0; i < 2 * n; ++i) {
    const double a = -std::numbers::pi / 2 + i * std::numbers::pi / n;
    const double r = i % 2 ? inner : outer;
    poly << QPointF(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  QPainterPath p;
  p.addPolygon(poly);
  p.closeSubpath();
  return p;
}
QPainterPath HeartPath(double cx, double cy, double s) {
  QPolygonF poly;
  for (int i = 0; i < 72; ++i) {
    const double t = 2 * std::numbers::pi * i / 72;
    const double x = 16 * std::pow(std::sin(t), 3);
    const double y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
    poly << QPointF(cx + x * s, cy - y * s);
  }
  QPainterPath p;
  p.addPolygon(poly);
  p.closeSubpath();
  return p;
}

struct TShapeDesign {
  const char* Name;
  bool MirrorTopBottom, MirrorLeftRight;
  std::function<QPainterPath()> Build;
};

std::vector<TShapeDesign> Designs() {
  return {
      {"cat", false, true,
       [] {
         QPainterPath tail;
         tail.moveTo(62, 88);
         tail.cubicTo(90, 92, 95, 70, 86, 55);
         return Union({Ellipse(48, 70, 20, 24), Circle(46, 34, 15), Poly({{33, 28}, {33, 10}, {44, 21}}),
                       Poly({{48, 21}, {59, 10}, {60, 28}}), Stroke(tail, 7), Ellipse(40, 93, 9, 4),
                       Ellipse(56, 93, 9, 4)});
       }},
      {"fish", false, true,
       [] {
         return Union({Ellipse(42, 50, 32, 20), Poly({{68, 50}, {96, 28}, {90, 50}, {96, 72}}),
                       Poly({{30, 32}, {48, 18}, {56, 33}}), Poly({{36, 66}, {48, 78}, {52, 66}})});
       }},
      {"bird", false, true,
       [] {
         return Union({Ellipse(46, 58, 26, 18), Circle(72, 40, 12), Poly({{82, 36}, {97, 42}, {82, 46}}),
                       Poly({{24, 56}, {4, 44}, {8, 64}, {26, 66}}), Poly({{38, 52}, {52, 26}, {60, 54}}),
                       Rect(44, 74, 3, 14), Rect(54, 74, 3, 14)});
       }},
      {"star", true, true, [] { return StarPath(50, 52, 48, 20, 5); }},
      {"heart", false, true, [] { return HeartPath(50, 48, 2.9); }},
      {"house", false, true,
       [] {
         return Union({Rect(18, 45, 64, 50), Poly({{8, 48}, {50, 10}, {92, 48}}), Rect(64, 14, 10, 26)});
       }},
      {"fir tree", false, true,
       [] {
         return Union({Poly({{50, 4}, {74, 34}, {26, 34}}), Poly({{50, 20}, {82, 58}, {18, 58}}),
                       Poly({{50, 40}, {92, 84}, {8, 84}}), Rect(43, 82, 14, 16)});
       }},
      {"key", true, true,
       [] {
         return Union({Circle(24, 50, 20), Rect(40, 45, 56, 10), Rect(78, 55, 8, 14), Rect(90, 55, 6, 10)});
       }},
      {"crescent moon", true, true, [] { return Circle(50, 50, 44).subtracted(Circle(70, 40, 38)); }},
      {"apple", false, true,
       [] {
         QPainterPath stem;
         stem.moveTo(50, 30);
         stem.cubicTo(50, 20, 52, 12, 56, 6);
         return Union({Circle(36, 58, 30), Circle(64, 58, 30), Ellipse(50, 74, 26, 22), Rect(40, 28, 20, 30),
                       Stroke(stem, 6), Rotated(Ellipse(64, 18, 12, 6), -25, QPointF(64, 18))});
       }},
      {"bell", false, true,
       [] {
         QPainterPath body;
         body.moveTo(14, 80);
         body.cubicTo(26, 70, 22, 20, 50, 14);
         body.cubicTo(78, 20, 74, 70, 86, 80);
         body.closeSubpath();
         return Union({body, Circle(50, 86, 9), Circle(50, 12, 7)});
       }},
      {"mushroom", false, true,
       [] {
         QPainterPath cap;
         cap.moveTo(4, 50);
         cap.cubicTo(6, 10, 94, 10, 96, 50);
         cap.closeSubpath();
         return Union({cap, RoundRect(36, 45, 28, 50, 8)});
       }},
      {"butterfly", true, true,
       [] {
         return Union({Rotated(Ellipse(30, 32, 22, 16), 30, QPointF(30, 32)),
                       Rotated(Ellipse(70, 32, 22, 16), -30, QPointF(70, 32)),
                       Rotated(Ellipse(34, 68, 15, 11), -30, QPointF(34, 68)),
                       Rotated(Ellipse(66, 68, 15, 11), 30, QPointF(66, 68)), Ellipse(50, 50, 5, 28),
                       Stroke(
                           [] {
                             QPainterPath a;
                             a.moveTo(48, 24);
                             a.lineTo(38, 6);
                             a.moveTo(52, 24);
                             a.lineTo(62, 6);
                             return a;
                           }(),
                           3)});
       }},
      {"rabbit", false, true,
       [] {
         return Union({Ellipse(50, 72, 26, 22), Circle(50, 40, 15),
                       Rotated(Ellipse(42, 16, 6, 18), -12, QPointF(42, 24)),
                       Rotated(Ellipse(58, 16, 6, 18), 12, QPointF(58, 24)), Circle(76, 80, 8)});
       }},
      {"bone", true, true,
       [] {
         return Union(
             {Rect(18, 42, 64, 16), Circle(16, 38, 11), Circle(16, 62, 11), Circle(84, 38, 11), Circle(84, 62, 11)});
       }},
      {"anchor", false, true,
       [] {
         QPainterPath arc;
         arc.moveTo(14, 58);
         arc.cubicTo(18, 92, 82, 92, 86, 58);
         return Union({Rect(46, 18, 8, 70), Circle(50, 12, 9), Rect(30, 28, 40, 7), Stroke(arc, 8),
                       Poly({{6, 64}, {14, 50}, {22, 64}}), Poly({{78, 64}, {86, 50}, {94, 64}})});
       }},
      {"leaf", true, true,
       [] {
         QPainterPath leaf;
         leaf.moveTo(10, 90);
         leaf.cubicTo(10, 40, 40, 8, 92, 8);
         leaf.cubicTo(92, 60, 60, 90, 10, 90);
         leaf.closeSubpath();
         QPainterPath stem;
         stem.moveTo(4, 96);
         stem.lineTo(20, 80);
         return Union({leaf, Stroke(stem, 5)});
       }},
      {"car", false, true,
       [] {
         return Union({RoundRect(4, 44, 92, 28, 6), Poly({{22, 46}, {32, 24}, {66, 24}, {80, 46}}), Circle(26, 74, 12),
                       Circle(74, 74, 12)});
       }},
      {"sailboat", false, true,
       [] {
         return Union({Poly({{6, 72}, {94, 72}, {80, 90}, {20, 90}}), Rect(48, 6, 4, 68),
                       Poly({{51, 8}, {51, 66}, {88, 66}}), Poly({{49, 18}, {49, 66}, {18, 66}})});
       }},
      {"lightning", true, true,
       [] {
         return Poly({{56, 2}, {20, 54}, {46, 54}, {34, 98}, {82, 38}, {56, 38}, {72, 2}});
       }},
      {"cloud", true, true,
       [] {
         return Union({Circle(30, 58, 18), Circle(50, 42, 22), Circle(72, 52, 18), Circle(86, 64, 12),
                       RoundRect(14, 56, 78, 20, 10)});
       }},
      {"snowman", false, true,
       [] {
         return Union({Circle(50, 76, 22), Circle(50, 42, 16), Rect(38, 8, 24, 20), Rect(32, 24, 36, 5),
                       Poly({{64, 42}, {78, 44}, {64, 46}})});
       }},
      {"duck", false, true,
       [] {
         QPainterPath body;
         body.moveTo(8, 58);
         body.cubicTo(10, 96, 86, 96, 90, 62);
         body.cubicTo(74, 50, 40, 44, 8, 58);
         body.closeSubpath();
         return Union({body, Circle(30, 36, 15), Rect(20, 40, 20, 22), Poly({{20, 32}, {0, 42}, {22, 46}})});
       }},
      {"turtle", false, true,
       [] {
         QPainterPath shell;
         shell.moveTo(18, 64);
         shell.cubicTo(20, 20, 80, 20, 82, 64);
         shell.closeSubpath();
         return Union({shell, Ellipse(90, 58, 10, 8), Ellipse(28, 68, 7, 9), Ellipse(70, 68, 7, 9),
                       Poly({{18, 60}, {6, 64}, {18, 66}}), Rect(18, 58, 68, 8)});
       }},
      {"music note", false, true,
       [] {
         QPainterPath flag;
         flag.moveTo(62, 10);
         flag.cubicTo(78, 20, 88, 30, 78, 52);
         return Union({Rotated(Ellipse(44, 80, 17, 12), -20, QPointF(44, 80)), Rect(56, 8, 8, 72), Stroke(flag, 8)});
       }},
      {"crown", true, true,
       [] {
         return Union({Poly({{8, 78}, {4, 24}, {30, 50}, {50, 14}, {70, 50}, {96, 24}, {92, 78}}), Rect(8, 76, 84, 14),
                       Circle(4, 22, 5), Circle(50, 12, 5), Circle(96, 22, 5)});
       }},
      {"arrow", true, true,
       [] {
         return Poly({{4, 40}, {58, 40}, {58, 20}, {96, 50}, {58, 80}, {58, 60}, {4, 60}});
       }},
      {"teddy bear", false, true,
       [] {
         return Union({Circle(50, 54, 32), Circle(24, 24, 13), Circle(76, 24, 13), Ellipse(50, 66, 14, 10)});
       }},
      {"pear", false, true,
       [] {
         QPainterPath stem;
         stem.moveTo(50, 22);
         stem.lineTo(56, 4);
         return Union(
             {Circle(50, 70, 26), Circle(50, 38, 16), Poly({{34, 40}, {66, 40}, {76, 66}, {24, 66}}), Stroke(stem, 5)});
       }},
      {"guitar", false, true,
       [] {
         return Rotated(
             Union({Circle(50, 76, 20), Circle(50, 48, 15), Rect(46, 4, 8, 46), RoundRect(42, 0, 16, 14, 3)}), 35,
             QPointF(50, 50));
       }},
      {"club", true, true,
       [] {
         return Union({Circle(50, 28, 18), Circle(28, 56, 18), Circle(72, 56, 18), Circle(50, 50, 14),
                       Rect(44, 40, 12, 30), Poly({{34, 94}, {50, 62}, {66, 94}})});
       }},
      {"spade", false, true,
       [] {
         QTransform flip;
         flip.translate(0, 100);
         flip.scale(1, -1);
         return Union({flip.map(HeartPath(50, 44, 2.6)), Poly({{36, 96}, {50, 60}, {64, 96}})});
       }},
      {"rocket", false, true,
       [] {
         QPainterPath body;
         body.moveTo(50, 2);
         body.cubicTo(70, 20, 66, 60, 62, 80);
         body.lineTo(38, 80);
         body.cubicTo(34, 60, 30, 20, 50, 2);
         body.closeSubpath();
         return Union({body, Poly({{38, 54}, {22, 86}, {40, 80}}), Poly({{62, 54}, {78, 86}, {60, 80}}),
                       Poly({{42, 80}, {50, 98}, {58, 80}})});
       }},
      {"snail", false, true,
       [] {
         QPainterPath horns;
         horns.moveTo(80, 62);
         horns.lineTo(84, 40);
         horns.moveTo(86, 64);
         horns.lineTo(96, 44);
         return Union({Circle(46, 50, 28), RoundRect(10, 70, 84, 14, 7), Ellipse(84, 70, 10, 12), Stroke(horns, 4)});
       }},
      {"bottle", false, true,
       [] {
         return Union(
             {RoundRect(30, 40, 40, 58, 8), Poly({{30, 44}, {42, 26}, {58, 26}, {70, 44}}), Rect(42, 6, 16, 24)});
       }},
      {"candle", false, true,
       [] {
         QPainterPath flame;
         flame.moveTo(50, 4);
         flame.cubicTo(66, 24, 60, 36, 50, 36);
         flame.cubicTo(40, 36, 34, 24, 50, 4);
         flame.closeSubpath();
         return Union({flame, Rect(48, 32, 4, 10), Rect(36, 40, 28, 52), Ellipse(50, 94, 26, 5)});
       }},
  };
}

// The polygon of a silhouette, scaled to kStoredSide and moved to the origin, with repeated
// and collinear vertices dropped. Exits when a design is not one solid piece.
std::vector<std::pair<int32_t, int32_t>> Outline(const TShapeDesign& design, int32_t& w, int32_t& h) {
  const QPainterPath path = design.Build().simplified();
  const QList<QPolygonF> polys = path.toFillPolygons();
  int subpaths = 0;
  for (int i = 0; i < path.elementCount(); ++i) subpaths += path.elementAt(i).isMoveTo();
  if (polys.size() != 1 || subpaths != 1) {
    std::fprintf(stderr, "shape %s is no single solid piece\n", design.Name);
    std::exit(1);  // a hole or a stray part would leave white gaps in a piece
  }
  const QRectF box = path.boundingRect();
  const double scale = kStoredSide / std::max(box.width(), box.height());
  std::vector<std::pair<int32_t, int32_t>> pts;
  for (const QPointF& p : polys[0]) {
    const int32_t x = int32_t(std::lround((p.x() - box.left()) * scale));
    const int32_t y = int32_t(std::lround((p.y() - box.top()) * scale));
    if (!pts.empty() && pts.back() == std::make_pair(x, y)) continue;
    pts.emplace_back(x, y);
  }
  while (pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
  // Drop vertices that lie on the line through their neighbours.
  for (bool changed = true; changed && pts.size() > 3;) {
    changed = false;
    for (size_t i = 0; i < pts.size() && pts.size() > 3; ++i) {
      const auto& a = pts[(i + pts.size() - 1) % pts.size()];
      const auto& b = pts[i];
      const auto& c = pts[(i + 1) % pts.size()];
      const int64_t cross =
          int64_t(b.first - a.first) * (c.second - a.second) - int64_t(b.second - a.second) * (c.first - a.first);
      if (cross == 0) {
        pts.erase(pts.begin() + std::ptrdiff_t(i));
        changed = true;
      }
    }
  }
  w = int32_t(std::lround(box.width() * scale)) + 1;
  h = int32_t(std::lround(box.height() * scale)) + 1;
  return pts;
}

void WriteSheet(const std::vector<TShapeSource>& sources, const char* path) {
  constexpr int kCell = 150, kColumns = 8;
  const int rows = int((sources.size() + kColumns - 1) / kColumns);
  TPlatformBitmap* bitmap = CreatePlatformBitmap(kCell * kColumns, kCell * rows, 24);
  std::memset(bitmap->Pixels, 255, size_t(bitmap->AllocatedStride) * bitmap->Height);
  for (size_t i = 0; i < sources.size(); ++i) {
    TMetafile mf;
    MetafileFromBytes(sources[i].Blob.data(), sources[i].Blob.size(), mf);
    RecolorMetafile(mf, 0x00804000 + uint32_t(i * 9));
    const double s = (kCell - 20.0) / std::max(sources[i].Width, sources[i].Height);
    const int w = int(sources[i].Width * s), h = int(sources[i].Height * s);
    const int x = int(i % kColumns) * kCell + (kCell - w) / 2, y = int(i / kColumns) * kCell + (kCell - h) / 2;
    PlayMetafile(mf, *bitmap, x, y, w, h, {0, 0, bitmap->Width - 1, bitmap->Height - 1});
  }
  QImage image(bitmap->Pixels, bitmap->Width, bitmap->Height, bitmap->AllocatedStride, QImage::Format_BGR888);
  image.mirrored(false, true).save(path);
  DestroyPlatformBitmap(bitmap);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--sheet") == 0)) {
    std::fprintf(stderr, "usage: make-shape-file OUT.dat [--sheet SHEET.png]\n");
    return 2;
  }
  std::vector<TShapeSource> sources;
  for (const TShapeDesign& design : Designs()) {
    int32_t w, h;
    const auto pts = Outline(design, w, h);
    // As a system writer records a filled path: pen and brush selected, the outline as a path,
    // then the stock objects selected back and the own ones deleted.
    TMetafileWriter writer(w, h);
    writer.CreatePen(0);
    writer.CreateBrush(0);
    writer.Record(kMfBeginPath, {});
    writer.Polygon16(pts);
    writer.Record(kMfEndPath, {});
    writer.Record(kMfStrokeAndFillPath, {0, 0, w - 1, h - 1});
    writer.Record(kMfSelectObject, {int32_t(kMfBlackPen)});
    writer.Record(kMfSelectObject, {int32_t(kMfWhiteBrush)});
    writer.Record(kMfDeleteObject, {1});
    writer.Record(kMfDeleteObject, {2});
    sources.push_back({w, h, design.MirrorTopBottom, design.MirrorLeftRight, writer.Finish()});
  }
  const std::vector<uint8_t> file = WriteShapeFile(sources);
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  if (!out) return 1;
  if (argc == 4) WriteSheet(sources, argv[3]);
  std::printf("%zu shapes, %zu bytes\n", sources.size(), file.size());
  return 0;
}
