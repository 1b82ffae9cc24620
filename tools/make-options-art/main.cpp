// Draws the options dialog's artwork into resources/images/:
//   options-sample-mask.png     the sample piece of the effects preview: black (piece code 0)
//                               inside a knobbed piece, white outside; no antialiasing
//   options-sample-picture.png  the picture shown on that piece (a small landscape)
//   flag-custom.png             the 60 x 40 flag of a language without its own flag, on the
//                               list's transparent colour (magenta)
// All three are 24-bit RGB, the same bytes on every run.
//   make-options-art RESOURCES_DIR
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <string>

#include "ui/dialogs/options_art.h"

namespace {

// Body square and knob geometry of the sample piece.
constexpr int kBodyLeft = 30, kBodyTop = 26, kBody = 64;
constexpr double kKnobRadius = 10.5, kNeck = 9.0;

// A knob on the middle of an edge: the neck and a round head, `out` from the body or into it.
QPainterPath Knob(QPointF edgeMid, QPointF outward) {
  QPainterPath p;
  p.setFillRule(Qt::WindingFill);  // the neck overlaps the head
  const QPointF centre = edgeMid + outward * (kKnobRadius + 3.0);
  p.addEllipse(centre, kKnobRadius, kKnobRadius);
  const QPointF across(outward.y(), -outward.x());
  QPolygonF neck;
  neck << edgeMid - across * (kNeck / 2) - outward * 1.0 << edgeMid + across * (kNeck / 2) - outward * 1.0
       << centre + across * (kNeck / 2) << centre - across * (kNeck / 2);
  p.addPolygon(neck);
  p.closeSubpath();
  return p.simplified();
}

QImage SampleMask() {
  QImage img(kOptionsSampleWidth, kOptionsSampleHeight, QImage::Format_RGB888);
  img.fill(Qt::white);
  QPainterPath body;
  body.addRect(kBodyLeft, kBodyTop, kBody, kBody);
  const double cx = kBodyLeft + kBody / 2.0, cy = kBodyTop + kBody / 2.0;
  body = body.united(Knob({cx, double(kBodyTop)}, {0, -1}));              // top: out
  body = body.united(Knob({double(kBodyLeft + kBody), cy}, {1, 0}));      // right: out
  body = body.subtracted(Knob({cx, double(kBodyTop + kBody)}, {0, -1}));  // bottom: in
  body = body.subtracted(Knob({double(kBodyLeft), cy}, {1, 0}));          // left: in
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillPath(body, Qt::black);
  return img;
}

QImage SamplePicture() {
  const int w = kOptionsSampleWidth, h = kOptionsSampleHeight;
  QImage img(w, h, QImage::Format_RGB888);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, h * 0.6);
  sky.setColorAt(0, QColor(58, 112, 186));
  sky.setColorAt(1, QColor(190, 216, 236));
  p.fillRect(img.rect(), sky);
  QRadialGradient sun(QPointF(w * 0.68, h * 0.30), 16);
  sun.setColorAt(0, QColor(255, 246, 190));
  sun.setColorAt(0.6, QColor(255, 214, 96));
  sun.setColorAt(1, QColor(255, 214, 96, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(w * 0.68, h * 0.30), 16, 16);

  QPainterPath far;
  far.moveTo(0, h * 0.58);
  far.cubicTo(w * 0.25, h * 0.38, w * 0.45, h * 0.62, w * 0.7, h * 0.46);
  far.cubicTo(w * 0.85, h * 0.38, w * 0.95, h * 0.50, w, h * 0.48);
  far.lineTo(w, h);
  far.lineTo(0, h);
  p.setBrush(QColor(92, 136, 84));
  p.drawPath(far);

  QPainterPath near;
  near.moveTo(0, h * 0.78);
  near.cubicTo(w * 0.3, h * 0.62, w * 0.6, h * 0.86, w, h * 0.66);
  near.lineTo(w, h);
  near.lineTo(0, h);
  QLinearGradient grass(0, h * 0.62, 0, h);
  grass.setColorAt(0, QColor(122, 170, 70));
  grass.setColorAt(1, QColor(64, 110, 40));
  p.setBrush(grass);
  p.drawPath(near);

  // A red-roofed house on the far hill gives the light something to catch.
  p.setBrush(QColor(236, 226, 204));
  p.drawRect(QRectF(w * 0.34, h * 0.47, 14, 10));
  QPolygonF roof;
  roof << QPointF(w * 0.34 - 2, h * 0.47) << QPointF(w * 0.34 + 7, h * 0.47 - 7) << QPointF(w * 0.34 + 16, h * 0.47);
  p.setBrush(QColor(178, 58, 42));
  p.drawPolygon(roof);
  return img;
}

QImage CustomFlag() {
  QImage img(kFlagWidth, kFlagHeight, QImage::Format_RGB888);
  img.fill(QColor(255, 0, 255));
  QPainter p(&img);
  // Drawn without antialiasing: blended edges would leave magenta fringes.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(60, 74, 96));
  p.setBrush(QColor(214, 222, 232));
  p.drawRect(4, 3, 51, 33);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(86, 116, 156), 2));
  const QPointF c(30, 20);
  p.drawEllipse(c, 11, 11);
  p.drawEllipse(c, 5, 11);
  p.drawLine(QPointF(19, 20), QPointF(41, 20));
  p.drawLine(QPointF(30, 9), QPointF(30, 31));
  return img;
}

bool Save(const QImage& img, const std::string& dir, const char* name) {
  const std::string path = dir + "/" + name;
  if (img.save(QString::fromStdString(path), "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-options-art RESOURCES_DIR\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::string dir = std::string(argv[1]) + "/images";
  bool ok = Save(SampleMask(), dir, kOptionsSampleMaskFile);
  ok = Save(SamplePicture(), dir, kOptionsSamplePictureFile) && ok;
  ok = Save(CustomFlag(), dir, kCustomFlagFile) && ok;
  return ok ? 0 : 1;
}
