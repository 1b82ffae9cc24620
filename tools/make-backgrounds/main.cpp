// Paints the eight background pictures a game window can show, and their buttons for the colour
// picker: "<name>-1600.jpg" (1600 x 1200) and "<name>-but.jpg" (63 x 50). Every texture is
// seamless (its noise and its pattern repeat with the picture's size), muted and low in contrast
// so that pieces stay easy to see on it. Deterministic: the same files on every run.
//   make-backgrounds OUTPUT_FOLDER        (the game's data/bkg-pics/)
#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kWidth = 1600, kHeight = 1200;
constexpr int kButtonWidth = 63, kButtonHeight = 50;

struct TColor {
  double r, g, b;
};
TColor Mix(TColor a, TColor b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
TColor Scale(TColor a, double k) { return {a.r * k, a.g * k, a.b * k}; }
TColor Hex(uint32_t rgb) { return {double(rgb >> 16), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)}; }

double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
double Fract(double v) { return v - std::floor(v); }
int Mod(int a, int m) { return ((a % m) + m) % m; }

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
  uint32_t h = a * 0x8DA6B343u ^ b * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}
double HashUnit(uint32_t a, uint32_t b, uint32_t seed) { return (Hash(a, b, seed) >> 8) / 16777216.0; }

// Gradient noise on a lattice that repeats every px by py cells; x and y in cells. About -1..1.
double Noise(double x, double y, int px, int py, uint32_t seed) {
  static const double kGrad[8][2] = {{1, 0},  {0.7071, 0.7071},   {0, 1},  {-0.7071, 0.7071},
                                     {-1, 0}, {-0.7071, -0.7071}, {0, -1}, {0.7071, -0.7071}};
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto dot = [&](int ix, int iy, double dx, double dy) {
    const double* g = kGrad[Hash(uint32_t(Mod(ix, px)), uint32_t(Mod(iy, py)), seed) & 7];
    return g[0] * dx + g[1] * dy;
  };
  auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  const double u = fade(fx), v = fade(fy);
  const double a = dot(x0, y0, fx, fy), b = dot(x0 + 1, y0, fx - 1, fy);
  const double c = dot(x0, y0 + 1, fx, fy - 1), d = dot(x0 + 1, y0 + 1, fx - 1, fy - 1);
  return 1.4 * ((a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v);
}

// Octaves of noise over the unit square (u, v in 0..1), repeating at its edges: the first octave
// has cx by cy cells, each further one twice as many.
double Fbm(double u, double v, int cx, int cy, int octaves, uint32_t seed, double gain = 0.5) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * Noise(u * cx, v * cy, cx, cy, seed + uint32_t(o) * 101u);
    norm += amp;
    amp *= gain;
    cx *= 2;
    cy *= 2;
  }
  return sum / norm;
}

void SetPixel(QImage& image, int x, int y, TColor c) {
  auto ch = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
  reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qRgb(ch(c.r), ch(c.g), ch(c.b));
}

// --- Wood ---------------------------------------------------------------------------------------

struct TWoodStyle {
  uint32_t Light, Dark;  // early and late wood
  double RingsPerBoard;  // growth rings across one board's width
  double Figure;         // how far the rings wander
  double Fibres;         // strength of the fine pores
  double Tone;           // board-to-board tone spread
  int BoardHeight;       // divides kHeight
  int JointsPerRow;      // butt joints per board row
  uint32_t Seed;
};

// The colour of a wood surface at u (along the board, 0..1 over the picture's width, so the grain
// repeats with it) and yLocal pixels across a board boardH high.
TColor WoodGrain(const TWoodStyle& s, double u, double yLocal, double boardH, uint32_t seed) {
  const double v = yLocal / boardH;
  const int across = std::max(1, int(boardH) / 3);
  // Growth rings cut at a slant: their distance from the pith line wanders slowly along the
  // board, which draws the arches of flat-sawn wood.
  const double pith = HashUnit(seed, 3, 11) * 1.6 - 0.3;
  const double slow = Fbm(u, v, 2, 1, 3, seed);
  const double wobble = Fbm(u, v, 14, 3, 3, seed + 7);
  const double dist = std::fabs(v - pith + s.Figure * slow) + 0.015 * wobble;
  const double f = Fract(dist * s.RingsPerBoard + HashUnit(seed, 4, 11));
  // Wide light early wood, a thin darker late-wood line that fades in.
  const double late = Smooth(0.6, 0.9, f) * (1 - Smooth(0.92, 1.0, f));
  // Pores: short dark streaks along the grain, and a fine fibre sheen.
  const double pores = Smooth(0.15, 0.55, Fbm(u, v, 12, across, 2, seed + 31));
  const double fibre = Fbm(u, v, 48, across * 2, 1, seed + 53);
  const double tone = Fbm(u, v, 3, 1, 2, seed + 61);
  const double t = 0.24 + 0.36 * late + s.Fibres * (0.7 * pores + 0.5 * fibre) + 0.2 * tone;
  return Mix(Hex(s.Light), Hex(s.Dark), Clamp01(t));
}

QImage PaintWood(const TWoodStyle& s) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y) {
    const int row = y / s.BoardHeight;
    const int yl = y % s.BoardHeight;
    const double firstJoint = HashUnit(uint32_t(row), 1, s.Seed) * kWidth;
    for (int x = 0; x < kWidth; ++x) {
      // Butt joints: JointsPerRow places per row, staggered; the board right of a joint has its
      // own grain and tone.
      int board = 0, right = kWidth, left = kWidth;
      for (int j = 0; j < s.JointsPerRow; ++j) {
        const int jx = int(firstJoint + j * double(kWidth) / s.JointsPerRow) % kWidth;
        const int d = Mod(x - jx, kWidth);
        if (d < right) {
          right = d;
          board = j;
        }
        left = std::min(left, Mod(jx - x, kWidth));
      }
      const uint32_t seed = s.Seed * 977u + uint32_t(row) * 131u + uint32_t(board) * 17u;
      TColor c = WoodGrain(s, double(x) / kWidth, yl, s.BoardHeight, seed);
      const double tone = (HashUnit(uint32_t(row), uint32_t(board), s.Seed + 5) - 0.5) * 2 * s.Tone;
      c = Scale(c, 1 + tone);
      // Seams: a dark groove with a soft light edge, lit from the top left.
      if (yl == 0)
        c = Scale(c, 0.62);
      else if (yl == 1)
        c = Scale(c, 1.07);
      else if (yl == s.BoardHeight - 1)
        c = Scale(c, 0.85);
      if (right == 0)
        c = Scale(c, 0.66);
      else if (right == 1)
        c = Scale(c, 1.06);
      else if (left == 1)
        c = Scale(c, 0.88);
      SetPixel(image, x, y, c);
    }
  }
  return image;
}

// --- Parquet: basket weave of oak slats ---------------------------------------------------------

QImage PaintParquet() {
  constexpr int kBlock = 200, kSlats = 5, kSlat = kBlock / kSlats;
  const TWoodStyle oak{0xC89A62, 0x8A5A30, 3.0, 0.3, 0.22, 0.05, kSlat, 0, 41};
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int bx = x / kBlock, by = y / kBlock;
      const bool across = (bx + by) % 2 == 0;
      const int lx = x % kBlock, ly = y % kBlock;
      // Along a slat (a) and across it (b), in block pixels.
      const int a = across ? lx : ly, b = across ? ly : lx;
      const int slat = b / kSlat, bl = b % kSlat;
      const uint32_t seed = uint32_t(bx * 31 + by * 7 + slat) * 2654435761u + 41u;
      // The grain needs no repeat of its own: every slat is cut from its own piece of wood.
      TColor c = WoodGrain(oak, 0.13 + a / 1600.0 * 2.0, bl, kSlat, seed);
      const double tone = (HashUnit(uint32_t(bx * 8 + slat), uint32_t(by), 77) - 0.5) * 0.14;
      c = Scale(c, 1 + tone);
      if (bl == 0 || a == 0)
        c = Scale(c, 0.66);
      else if (bl == 1 || a == 1)
        c = Scale(c, 1.05);
      else if (bl == kSlat - 1 || a == kBlock - 1)
        c = Scale(c, 0.88);
      SetPixel(image, x, y, c);
    }
  return image;
}

// --- Stucco ------------------------------------------------------------------------------------

struct TStuccoStyle {
  uint32_t Base, Shadow, Light;
  double Fine;    // sand grain in the relief
  double Bump;    // strength of the light on the relief
  double Clouds;  // colour clouds
  double Trowel;  // trowel ridges
  uint32_t Seed;
};

QImage PaintStucco(const TStuccoStyle& s) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  // Relief: sand grains, soft undulations and the ridges the trowel left; lit from the top left.
  auto height = [&](double u, double v) {
    const double grain = Fbm(u, v, 400, 300, 2, s.Seed);
    const double broad = Fbm(u, v, 16, 12, 4, s.Seed + 19);
    const double ridge = 1 - std::fabs(Fbm(u, v, 6, 5, 3, s.Seed + 29));
    return s.Fine * grain + broad + s.Trowel * ridge * ridge;
  };
  const double du = 1.0 / kWidth, dv = 1.0 / kHeight;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const double u = x * du, v = y * dv;
      const double h = height(u, v);
      const double hx = h - height(Fract(u + 1 - du), v), hy = h - height(u, Fract(v + 1 - dv));
      const double light = std::clamp(-(hx + hy) * s.Bump, -1.0, 1.0);
      const double cloud = Fbm(u, v, 3, 2, 5, s.Seed + 3) * s.Clouds;
      TColor c = Mix(Hex(s.Base), Hex(s.Shadow), Clamp01(0.3 - cloud));
      c = light > 0 ? Mix(c, Hex(s.Light), light) : Mix(c, Hex(s.Shadow), -light);
      SetPixel(image, x, y, c);
    }
  return image;
}

// --- Output ------------------------------------------------------------------------------------

// The button: the picture's top-left corner at a quarter of its size, with a thin bevel.
QImage MakeButton(const QImage& picture) {
  QImage b = picture.copy(0, 0, kButtonWidth * 4, kButtonHeight * 4)
                 .scaled(kButtonWidth, kButtonHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                 .convertToFormat(QImage::Format_RGB32);
  auto shade = [&](int x, int y, double k) {
    const QRgb p = b.pixel(x, y);
    b.setPixel(
        x, y,
        qRgb(std::min(255, int(qRed(p) * k)), std::min(255, int(qGreen(p) * k)), std::min(255, int(qBlue(p) * k))));
  };
  for (int x = 0; x < kButtonWidth; ++x) {
    shade(x, 0, 1.25);
    shade(x, kButtonHeight - 1, 0.65);
  }
  for (int y = 1; y < kButtonHeight - 1; ++y) {
    shade(0, y, 1.25);
    shade(kButtonWidth - 1, y, 0.65);
  }
  return b;
}

bool Save(const QImage& image, const std::string& path, int quality) {
  if (image.save(QString::fromStdString(path), "JPG", quality)) return true;
  std::fprintf(stderr, "make-backgrounds: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-backgrounds OUTPUT_FOLDER\n");
    return 2;
  }
  std::string dir = argv[1];
  if (!dir.empty() && dir.back() != '/') dir += '/';
  QDir().mkpath(QString::fromStdString(dir));

  struct TJob {
    const char* Name;
    std::function<QImage()> Paint;
  };
  const TJob jobs[] = {
      {"parquet", [] { return PaintParquet(); }},
      // Warm sand plaster, fine grain.
      {"stucco1",
       [] {
         return PaintStucco({0xBCAA8E, 0x948268, 0xD6C6AA, 0.04, 18.0, 0.5, 0.3, 7});
       }},
      // Deep slate-teal Venetian plaster: clouds and polished trowel strokes.
      {"stucco4",
       [] {
         return PaintStucco({0x3E5A5E, 0x2C4044, 0x5A7A7C, 0.03, 14.0, 0.6, 0.5, 13});
       }},
      // Light oak planks.
      {"wood1",
       [] {
         return PaintWood({0xC8A272, 0x94683E, 9.0, 0.35, 0.20, 0.06, 200, 2, 101});
       }},
      // Walnut.
      {"wood2",
       [] {
         return PaintWood({0x7A563A, 0x3E2616, 11.0, 0.45, 0.22, 0.07, 150, 2, 202});
       }},
      // Cherry, wide boards.
      {"wood3",
       [] {
         return PaintWood({0xA4603C, 0x6A321C, 12.0, 0.40, 0.18, 0.05, 240, 1, 303});
       }},
      // Pale ash, narrow strips.
      {"wood4",
       [] {
         return PaintWood({0xD6C4A0, 0xA88E66, 7.0, 0.30, 0.25, 0.05, 120, 3, 404});
       }},
      // Dark wenge.
      {"wood5",
       [] {
         return PaintWood({0x4E3C30, 0x241A14, 10.0, 0.50, 0.25, 0.06, 200, 2, 505});
       }},
  };
  for (const TJob& job : jobs) {
    const QImage picture = job.Paint();
    if (!Save(picture, dir + job.Name + "-1600.jpg", 88) || !Save(MakeButton(picture), dir + job.Name + "-but.jpg", 92))
      return 1;
    std::printf("%s\n", job.Name);
  }
  return 0;
}
