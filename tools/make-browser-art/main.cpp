// Draws the browser's level-page artwork into resources/images/:
//   browser-shape-masks.png  a piece outline per shape style (white inside) in 164 x 168 cells
//                            at x = 165 * its preview cell + 1, for the shape choices and the
//                            size preview;
//   browser-shape-bkg.png    the 164 x 168 texture the previews are filled with;
//   browser-borders.png      the two border choices, 50 x 50 cells at x = 51 * i;
//   browser-mix.png          the two mix choices, likewise;
//   browser-rotation.png, browser-fit.png  the two toggles, 64 x 64;
//   browser-save-icon.png    the 16 x 16 saved-game mark, magenta transparent.
// Deterministic: the same bytes on every run.
//   make-browser-art OUTPUT-FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "foundation/piece_styles.h"

namespace {

constexpr int kCellW = 164, kCellH = 168;

// One edge of a piece from a to b; the knob bulges to the left of the direction of travel
// by `out` (negative: inward), shaped by `knob` (0 none, 1 round, 2 mushroom, 3 heart-like).
void Edge(QPainterPath& p, QPointF a, QPointF b, double out, int knob, double wobble) {
  const QPointF d = b - a;
  const double len = std::hypot(d.x(), d.y());
  const QPointF u = d / len;
  const QPointF n(u.y(), -u.x());  // left normal in screen coordinates (y down)
  auto at = [&](double t, double off) { return a + u * (t * len) + n * off; };
  if (knob == 0) {
    p.cubicTo(at(0.33, wobble), at(0.66, -wobble), b);
    return;
  }
  const double k = out;
  p.cubicTo(at(0.2, wobble * 0.5), at(0.35, 0), at(0.4, k * 0.15));
  if (knob == 1) {
    p.cubicTo(at(0.3, k * 0.7), at(0.42, k * 1.05), at(0.5, k * 1.05));
    p.cubicTo(at(0.58, k * 1.05), at(0.7, k * 0.7), at(0.6, k * 0.15));
  } else if (knob == 2) {
    p.cubicTo(at(0.38, k * 0.45), at(0.22, k * 0.75), at(0.32, k * 1.0));
    p.cubicTo(at(0.42, k * 1.25), at(0.58, k * 1.25), at(0.68, k * 1.0));
    p.cubicTo(at(0.78, k * 0.75), at(0.62, k * 0.45), at(0.6, k * 0.15));
  } else {
    p.cubicTo(at(0.25, k * 0.6), at(0.36, k * 1.2), at(0.5, k * 0.8));
    p.cubicTo(at(0.64, k * 1.2), at(0.75, k * 0.6), at(0.6, k * 0.15));
  }
  p.cubicTo(at(0.65, 0), at(0.8, -wobble * 0.5), b);
}

QPainterPath PiecePath(TShapeStyle shape, QPointF origin) {
  // A 128-pixel piece with its knob margin fills the cell: the body is 100 x 100.
  const double s = 100, k = 22;
  const double x0 = origin.x() + (kCellW - s) / 2, y0 = origin.y() + (kCellH - s) / 2;
  const QPointF tl(x0, y0), tr(x0 + s, y0), br(x0 + s, y0 + s), bl(x0, y0 + s);
  const bool irregular = ShapeStyleRow(shape).Cutter == TShapeCutter::Cells;
  const double wobble = irregular ? 9 : 0;
  // Knobs per edge (top, right, bottom, left) and their directions.
  int knobs[4] = {1, 1, 1, 1};
  double dirs[4] = {1, -1, 1, -1};
  using S = TShapeStyle;
  switch (shape) {
    case S::Irregular: knobs[0] = knobs[1] = knobs[2] = knobs[3] = 0; break;
    case S::IrregularSimpleKnobs: break;
    case S::IrregularFancyKnobs:
      knobs[0] = 2;
      knobs[1] = 2;
      knobs[2] = 1;
      knobs[3] = 2;
      break;
    case S::IrregularFigures:
      knobs[0] = 3;
      knobs[1] = 1;
      knobs[2] = 3;
      knobs[3] = 1;
      break;
    case S::Classic:
      dirs[1] = 1;
      dirs[3] = 1;
      break;
    case S::ClassicMixedKnobs:
      knobs[1] = 2;
      knobs[3] = 2;
      dirs[2] = -1;
      break;
    case S::ClassicVariedKnobs:
      knobs[0] = 2;
      knobs[1] = 3;
      knobs[2] = 1;
      knobs[3] = 3;
      dirs[0] = -1;
      break;
  }
  QPainterPath p(tl);
  Edge(p, tl, tr, dirs[0] * k, knobs[0], wobble);
  Edge(p, tr, br, dirs[1] * k, knobs[1], -wobble);
  Edge(p, br, bl, dirs[2] * k, knobs[2], wobble);
  Edge(p, bl, tl, dirs[3] * k, knobs[3], -wobble);
  p.closeSubpath();
  return p;
}

bool Save(const QImage& img, const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name;
  if (!img.save(QString::fromStdString(path), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

QImage ShapeMasks() {
  int cells = 0;
  for (const TShapeStyleRow& row : ShapeStyleRows()) cells = std::max(cells, row.PreviewCell + 1);
  QImage img((kCellW + 1) * cells + 1, kCellH, QImage::Format_RGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const TShapeStyleRow& row : ShapeStyleRows())
    p.fillPath(PiecePath(row.Style, QPointF((kCellW + 1) * row.PreviewCell + 1, 0)), Qt::white);
  return img;
}

// A warm wood-like texture: rings from two integer sine fields, no randomness.
QImage ShapeTexture() {
  QImage img(kCellW, kCellH, QImage::Format_RGB32);
  for (int y = 0; y < kCellH; ++y)
    for (int x = 0; x < kCellW; ++x) {
      const double ring = std::sin((std::hypot(x - 30.0, y - 190.0) + 6 * std::sin(x * 0.11)) * 0.32);
      const double grain = std::sin(x * 0.9 + y * 0.05) * 0.5;
      const int v = int(std::lround(20 * ring + 6 * grain));
      img.setPixel(x, y, qRgb(196 + v, 150 + v, 96 + v / 2));
    }
  return img;
}

void DrawFramedCell(QPainter& p, int x, bool framed) {
  p.fillRect(x, 0, 50, 50, QColor(255, 255, 255));
  p.fillRect(x + 6, 6, 38, 38, QColor(112, 156, 208));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 140, 60));
  p.drawEllipse(QRectF(x + 10, 24, 30, 24));
  p.setBrush(QColor(250, 220, 90));
  p.drawEllipse(QRectF(x + 30, 10, 9, 9));
  if (framed) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 92, 40), 5));
    p.drawRect(QRectF(x + 8.5, 8.5, 33, 33));
  }
}

QImage Borders() {
  QImage img(101, 50, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  DrawFramedCell(p, 0, false);
  DrawFramedCell(p, 51, true);
  return img;
}

void SmallPiece(QPainter& p, QRectF r, QColor c, double angle) {
  p.save();
  p.translate(r.center());
  p.rotate(angle);
  p.setPen(QPen(c.darker(150), 1));
  p.setBrush(c);
  p.drawRoundedRect(QRectF(-r.width() / 2, -r.height() / 2, r.width(), r.height()), 2, 2);
  p.restore();
}

QImage Mixes() {
  QImage img(101, 50, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor colours[] = {QColor(214, 120, 60), QColor(90, 150, 200), QColor(120, 180, 90), QColor(220, 190, 80)};
  // A heap: pieces piled in the middle at odd angles.
  const double heap[][3] = {{14, 20, 20}, {22, 14, -30}, {20, 26, 50}, {28, 20, 10}, {16, 28, -15}, {26, 28, 35}};
  for (int i = 0; i < 6; ++i) SmallPiece(p, QRectF(heap[i][0] - 1, heap[i][1] - 1, 12, 12), colours[i % 4], heap[i][2]);
  // Spread out: a loose grid.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) SmallPiece(p, QRectF(51 + 6 + c * 14, 6 + r * 14, 10, 10), colours[(r + c) % 4], 0);
  return img;
}

QImage Rotation() {
  QImage img(64, 64, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  SmallPiece(p, QRectF(20, 20, 24, 24), QColor(214, 120, 60), 20);
  p.setPen(QPen(QColor(40, 80, 150), 4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(8, 8, 48, 48), 30 * 16, 240 * 16);
  p.setBrush(QColor(40, 80, 150));
  p.setPen(Qt::NoPen);
  const QPointF tip(32 + 24 * std::cos(-30 * M_PI / 180), 32 + 24 * std::sin(-30 * M_PI / 180) * -1);
  const QPointF arrow[3] = {tip + QPointF(-8, -6), tip + QPointF(6, -8), tip + QPointF(4, 6)};
  p.drawPolygon(arrow, 3);
  return img;
}

QImage FitToScreen() {
  QImage img(64, 64, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(60, 60, 70), 3));
  p.setBrush(QColor(112, 156, 208));
  p.drawRoundedRect(QRectF(6, 10, 52, 36), 3, 3);
  p.fillRect(QRectF(26, 47, 12, 6), QColor(60, 60, 70));
  p.fillRect(QRectF(18, 53, 28, 4), QColor(60, 60, 70));
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 20), QPointF(26, 26));
  p.drawLine(QPointF(48, 20), QPointF(38, 26));
  p.drawLine(QPointF(16, 36), QPointF(26, 30));
  p.drawLine(QPointF(48, 36), QPointF(38, 30));
  return img;
}

QImage SaveIcon() {
  QImage img(16, 16, QImage::Format_RGB32);
  img.fill(qRgb(255, 0, 255));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(1, 1, 14, 14, QColor(30, 60, 130));
  p.fillRect(4, 1, 8, 5, QColor(220, 220, 225));
  p.fillRect(9, 2, 2, 3, QColor(30, 60, 130));
  p.fillRect(3, 9, 10, 6, QColor(245, 245, 245));
  p.fillRect(4, 11, 8, 1, QColor(150, 150, 160));
  p.fillRect(4, 13, 8, 1, QColor(150, 150, 160));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-browser-art OUTPUT-FOLDER\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  const std::string out = argv[1];
  const bool ok = Save(ShapeMasks(), out, "browser-shape-masks.png") &&
                  Save(ShapeTexture(), out, "browser-shape-bkg.png") && Save(Borders(), out, "browser-borders.png") &&
                  Save(Mixes(), out, "browser-mix.png") && Save(Rotation(), out, "browser-rotation.png") &&
                  Save(FitToScreen(), out, "browser-fit.png") && Save(SaveIcon(), out, "browser-save-icon.png");
  return ok ? 0 : 1;
}
