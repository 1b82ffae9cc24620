#include "platform/text.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <map>

namespace {

constexpr int kScreenDpi = 96;
const char* const kFallbackFamily = "DejaVu Sans";

bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// Tahoma is not a system font on Linux: Debian ships it with wine. Registered once per process.
QString TahomaFamily() {
  static QString family = [] {
    const char* const files[] = {"/usr/share/fonts/truetype/wine/tahoma.ttf",
                                 "/usr/share/fonts/truetype/wine/tahomabd.ttf", "/usr/share/wine/fonts/tahoma.ttf",
                                 "/usr/share/wine/fonts/tahomabd.ttf"};
    QString found;
    for (const char* file : files) {
      if (!QFile::exists(QString::fromUtf8(file))) continue;
      const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(file));
      const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
      if (found.isEmpty() && !families.isEmpty()) found = families.first();
    }
    return found.isEmpty() ? QString::fromUtf8(kFallbackFamily) : found;
  }();
  return family;
}

QString ResolveFamily(const std::string& requested) {
  if (QString::fromStdString(requested).compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0)
    return TahomaFamily();
  static std::map<std::string, QString> cache;
  auto it = cache.find(requested);
  if (it != cache.end()) return it->second;
  const QString name = QString::fromStdString(requested);
  const QString family = QFontDatabase::hasFamily(name) ? name : QString::fromUtf8(kFallbackFamily);
  cache.emplace(requested, family);
  return family;
}

QFont MakeFont(const TTextFont& style) {
  QFont font(ResolveFamily(style.Family));
  // Point sizes are meant at 96 dpi, rounded as the host rounds them.
  font.setPixelSize(std::max(1, (style.PointSize * kScreenDpi + 36) / 72));
  font.setBold(style.Bold);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  return font;
}

QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

std::u16string ElideWith(const QFontMetrics& metrics, std::u16string_view text, int32_t width) {
  if (metrics.horizontalAdvance(ToQString(text)) <= width) return std::u16string(text);
  const std::u16string dots = u"...";
  auto fits = [&](size_t n) {
    std::u16string head(text.substr(0, n));
    return metrics.horizontalAdvance(ToQString(head + dots)) <= width;
  };
  // Widths grow with the head's length, so the longest fitting head is found by bisection.
  size_t low = 0, high = text.size();
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (fits(mid))
      low = mid;
    else
      high = mid - 1;
  }
  if (low > 0 && QChar::isHighSurrogate(text[low - 1])) --low;  // never split a pair
  return std::u16string(text.substr(0, low)) + dots;
}

}  // namespace

std::string ResolvedFontFamily(const TTextFont& font) {
  if (!HaveGuiApplication()) return {};
  return QFontInfo(MakeFont(font)).family().toStdString();
}

int32_t TextWidth(std::u16string_view text, const TTextFont& font) {
  if (!HaveGuiApplication()) return 0;
  return QFontMetrics(MakeFont(font)).horizontalAdvance(ToQString(text));
}

std::u16string ElideText(std::u16string_view text, const TTextFont& font, int32_t width) {
  if (!HaveGuiApplication()) return std::u16string(text);
  return ElideWith(QFontMetrics(MakeFont(font)), text, width);
}

void DrawBitmapText(TPlatformBitmap& bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                    std::u16string_view text, const TTextFont& font, uint32_t color, uint32_t flags) {
  if (!HaveGuiApplication() || text.empty() || !bitmap.Pixels) return;
  if (bitmap.BitsPerPixel != 24 && bitmap.BitsPerPixel != 32) return;
  // The box cut to the bitmap; the text keeps its place relative to the uncut box.
  const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t(x) + width, bitmap.Width);
  const int64_t bottom = std::min<int64_t>(int64_t(y) + height, bitmap.Height);
  if (right <= left || bottom <= top) return;
  const int w = int(right - left), h = int(bottom - top);
  const int bpp = bitmap.BitsPerPixel / 8;
  auto row = [&](int64_t yy) {  // rows are stored bottom-up
    return bitmap.Pixels + (bitmap.Height - 1 - yy) * bitmap.AllocatedStride;
  };

  QImage canvas(w, h, QImage::Format_RGB32);
  for (int j = 0; j < h; ++j) {
    const uint8_t* src = row(top + j) + left * bpp;
    auto* dst = reinterpret_cast<QRgb*>(canvas.scanLine(j));
    for (int i = 0; i < w; ++i, src += bpp) dst[i] = qRgb(src[2], src[1], src[0]);
  }

  const QFont qfont = MakeFont(font);
  const QFontMetrics metrics(qfont);
  std::u16string shown(text);
  if (flags & kTextSingleLine) {
    for (char16_t& c : shown)
      if (c == u'\r' || c == u'\n') c = u' ';
  }
  if (flags & kTextEndEllipsis) shown = ElideWith(metrics, shown, width);
  {
    QPainter painter(&canvas);
    painter.setFont(qfont);
    painter.setPen(QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.translate(double(x - left), double(y - top));
    painter.setClipRect(QRect(0, 0, width, height));
    painter.drawText(QPointF(0, metrics.ascent()), ToQString(shown));
  }

  for (int j = 0; j < h; ++j) {
    uint8_t* dst = row(top + j) + left * bpp;
    const auto* src = reinterpret_cast<const QRgb*>(canvas.constScanLine(j));
    for (int i = 0; i < w; ++i, dst += bpp) {
      dst[0] = uint8_t(qBlue(src[i]));
      dst[1] = uint8_t(qGreen(src[i]));
      dst[2] = uint8_t(qRed(src[i]));
    }
  }
}
