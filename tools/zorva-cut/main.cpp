// zorva-cut: cuts a blank picture as the game would and writes what the cut made.
//
//   zorva-cut --size WxH --level L --shape S [--border] --seed N --map OUT.bmp
//             [--pieces OUT.tsv] [--png OUT.png] [--counts]
//
// The level record comes from the level table of the picture size, shape and border, as the
// level page fills it. --map writes the cut map as a 24-bit bitmap; --pieces one line per piece
// record (index, Code, Code2, piece rectangle x y w h, the nine neighbours); --png a picture of
// the cut with every piece tinted and the outlines drawn; --counts a line on the picture shapes of
// style 3 (the cells flagged for one, the shapes placed, and those erased by overlap and by the
// repair around them). Shape style 3 reads its outlines from
// pic_zorva.dat in $ZORVA_DATA_DIR, else in data/ beside the program.
#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/cut_jigsaw.h"
#include "engine/cut_target.h"
#include "engine/knobs.h"
#include "foundation/dib_image.h"
#include "foundation/level_table.h"
#include "foundation/picture_loading.h"

namespace {
struct TOptions {
  int32_t W = 0, H = 0, Level = -1, Shape = -1;
  bool Border = false;
  bool Counts = false;
  bool HasSeed = false;
  uint32_t Seed = 0;
  std::string Map, Pieces, Png;
};

int Usage(const char* why) {
  std::fprintf(stderr,
               "zorva-cut: %s\nusage: zorva-cut --size WxH --level L --shape S [--border] --seed N --map OUT.bmp "
               "[--pieces OUT.tsv] [--png OUT.png] [--counts]\n",
               why);
  return 2;
}

bool ParseInt(const char* s, long long lo, long long hi, long long& out) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(s, &end, 10);
  if (errno || end == s || *end || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseArgs(int argc, char** argv, TOptions& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    long long v;
    if (a == "--border") {
      o.Border = true;
    } else if (a == "--counts") {
      o.Counts = true;
    } else if (a == "--size") {
      const char* s = value();
      const char* x = s ? std::strchr(s, 'x') : nullptr;
      if (!x) return error = "--size wants WxH", false;
      const std::string w(s, x);
      long long ww, hh;
      if (!ParseInt(w.c_str(), 1, 16384, ww) || !ParseInt(x + 1, 1, 16384, hh))
        return error = "--size: width and height are 1 to 16384", false;
      o.W = int32_t(ww), o.H = int32_t(hh);
    } else if (a == "--level") {
      const char* s = value();
      if (!s || !ParseInt(s, 0, kLevelCount - 1, v)) return error = "--level is 0 to 13", false;
      o.Level = int32_t(v);
    } else if (a == "--shape") {
      const char* s = value();
      const long long last = kShapeStyleCount - 1;
      if (!s || !ParseInt(s, 0, last, v)) return error = "--shape is 0 to " + std::to_string(last), false;
      o.Shape = int32_t(v);
    } else if (a == "--seed") {
      const char* s = value();
      if (!s || !ParseInt(s, -2147483648LL, 4294967295LL, v)) return error = "--seed wants a 32-bit number", false;
      o.Seed = uint32_t(v), o.HasSeed = true;
    } else if (a == "--map" || a == "--pieces" || a == "--png") {
      const char* s = value();
      if (!s) return error = a + " wants a file name", false;
      (a == "--map" ? o.Map : a == "--pieces" ? o.Pieces : o.Png) = s;
    } else {
      return error = "unknown argument " + a, false;
    }
  }
  if (!o.W || o.Level < 0 || o.Shape < 0 || !o.HasSeed || o.Map.empty())
    return error = "--size, --level, --shape, --seed and --map are required", false;
  return true;
}

TBorderStyle FrameOf(const TOptions& o) { return o.Border ? TBorderStyle::Frame : TBorderStyle::None; }

// The level record as the level page fills it for a picture, a level and the choices.
TLevelRecord MakeLevel(const TOptions& o) {
  TLevelTable table{};
  BuildLevelTable(table, o.W, o.H, TShapeStyle(o.Shape), FrameOf(o));
  const TLevelGrid& g = table[size_t(o.Level)];
  TLevelRecord lv{};
  lv.GameSeed = int32_t(o.Seed);
  FillLevelFromGrid(lv, g);
  lv.ImageW = lv.FitImageW = o.W;
  lv.ImageH = lv.FitImageH = o.H;
  lv.Level = o.Level;
  lv.BorderStyle = FrameOf(o);
  lv.ShapeStyle = TShapeStyle(o.Shape);
  lv.SideNum = 1;
  return lv;
}

bool WritePieces(const std::string& path, const TLevelRecord& lv, const std::vector<TPieceRecord>& pieces) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "index\tCode\tCode2\tx\ty\tw\th\tn0\tn1\tn2\tn3\tn4\tn5\tn6\tn7\tn8\n");
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
    const TPieceRecord& p = pieces[size_t(i)];
    std::fprintf(f, "%d\t%d\t%d\t%d\t%d\t%d\t%d", i, p.Code, p.Code2, p.PieceX, p.PieceY, p.PieceW, p.PieceH);
    for (int16_t n : p.Neighbours) std::fprintf(f, "\t%d", n);
    std::fprintf(f, "\n");
  }
  return std::fclose(f) == 0;
}

// Each piece tinted by its index (its code's pixels inside its rectangle), outlines dark.
bool WritePicture(const std::string& path, const TLevelRecord& lv, const std::vector<TPieceRecord>& pieces,
                  const TDibImage& map) {
  QImage img(lv.ImageW, lv.ImageH, QImage::Format_RGB32);
  img.fill(Qt::white);
  for (int32_t i = 0; i < lv.TotalTileNum; ++i) {
    const TPieceRecord& p = pieces[size_t(i)];
    const QRgb tint = QColor::fromHsv(int((i * 137) % 360), 90 + (i * 53) % 100, 230).rgb();
    for (int32_t y = std::max(p.PieceY, 0); y < std::min(p.PieceY + p.PieceH, lv.ImageH); ++y)
      for (int32_t x = std::max(p.PieceX, 0); x < std::min(p.PieceX + p.PieceW, lv.ImageW); ++x)
        if (DibPixelAddress(map, x, y)[0] == p.Code && GetDibPixel(map, x, y) != 0xFFFFFF) img.setPixel(x, y, tint);
  }
  for (int32_t y = 0; y < lv.ImageH; ++y)
    for (int32_t x = 0; x < lv.ImageW; ++x) {
      const int32_t c = GetDibPixel(map, x, y);
      if (c == 0xFFFFFF) {
        img.setPixel(x, y, qRgb(255, 0, 255));  // never assigned: should not happen
      } else if ((x + 1 < lv.ImageW && GetDibPixel(map, x + 1, y) != c) ||
                 (y + 1 < lv.ImageH && GetDibPixel(map, x, y + 1) != c)) {
        img.setPixel(x, y, qRgb(40, 40, 40));
      }
    }
  return img.save(QString::fromStdString(path));
}
// The shape file of the program folder: ZORVA_DATA_DIR, else data/ beside the program (as in
// a build tree).
std::string ShapeFilePath(const char* argv0) {
  if (const char* dir = std::getenv("ZORVA_DATA_DIR")) return std::string(dir) + "/pic_zorva.dat";
  const std::string self(argv0);
  const size_t slash = self.rfind('/');
  return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/data/pic_zorva.dat";
}
}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  std::string error;
  if (!ParseArgs(argc, argv, o, error)) return Usage(error.c_str());

  TLevelRecord lv = MakeLevel(o);
  std::vector<TPieceRecord> pieces(size_t(lv.TotalTileNum) + 1);
  TDibHolder map, templates;
  TKnobState knobs;
  if (!LoadKnobTemplateImage(*templates)) {
    std::fprintf(stderr, "zorva-cut: the built-in knob templates are damaged\n");
    return 1;
  }
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{o.Seed};
  TProgress progress;
  int32_t warnings = 0;
  TShapeCounts counts;
  TCutTarget target{lv, pieces.data(), *map, rng, progress, knobs, [&](const std::string& m) {
                      std::fprintf(stderr, "zorva-cut: %s\n", m.c_str());
                      ++warnings;
                    }};
  CutJigsaw(target, ShapeFilePath(argv[0]), &counts);
  if (map->Width == 0) {
    std::fprintf(stderr, "zorva-cut: no cut map was made\n");
    return 1;
  }
  std::string why;
  if (!SaveBmpFile(*map, o.Map, &why)) {
    std::fprintf(stderr, "zorva-cut: cannot write %s: %s\n", o.Map.c_str(), why.c_str());
    return 1;
  }
  if (!o.Pieces.empty() && !WritePieces(o.Pieces, lv, pieces)) {
    std::fprintf(stderr, "zorva-cut: cannot write %s\n", o.Pieces.c_str());
    return 1;
  }
  if (!o.Png.empty() && !WritePicture(o.Png, lv, pieces, *map)) {
    std::fprintf(stderr, "zorva-cut: cannot write %s\n", o.Png.c_str());
    return 1;
  }
  if (o.Counts) {
    std::printf("pattern cells %d, shapes placed %d, erased by overlap %d, erased by repair %d\n", counts.PatternCells,
                counts.Placed, counts.ErasedByOverlap, counts.ErasedByRepair);
  }
  std::printf("%d pieces (%d x %d, piece size %d), %d progress steps%s\n", lv.TotalTileNum, lv.TilePX, lv.TilePY,
              lv.TileS, progress.ProgressPos, warnings ? ", with warnings" : "");
  return warnings ? 3 : 0;
}
