#include "engine/emboss.h"

#include <cmath>

#include "foundation/numeric.h"

namespace {

constexpr int32_t kMaskMargin = 5;
constexpr int32_t kDiagonalStep = 181;  // round(sqrt(2) * 128)

// Directions: left, up, right, down, up-left, up-right, down-right, down-left.
constexpr int32_t kDirX[8] = {-1, 0, 1, 0, -1, 1, 1, -1};
constexpr int32_t kDirY[8] = {0, -1, 0, 1, -1, -1, 1, 1};
constexpr int32_t kWeights[3][8] = {
    {20, 20, -20, -20, 40, 10, -40, -10},
    {10, 10, -10, -10, 20, 5, -20, -5},
    {8, 8, -8, -8, 12, 5, -12, -5},
};

const int32_t* WeightsFor(int32_t embossStyle) {
  if (embossStyle == 1) return kWeights[0];
  if (embossStyle == 2) return kWeights[1];
  return kWeights[2];
}

// The light radius: the style's depth plus one.
int32_t LightRadius(int32_t embossStyle) { return ClampInt(embossStyle, 0, 3) + 1; }

// Pixel addressing without a call per pixel: the passes below touch every pixel many times.
inline const uint8_t* PixelAt(const TDibImage& d, int32_t x, int32_t y) {
  return d.Bits + intptr_t(d.Height - 1 - y) * d.RowStride + intptr_t(x) * d.BytesPerPixel;
}

inline uint8_t MaskCode(const TDibImage& mask, int32_t x, int32_t y) { return *PixelAt(mask, x, y); }

bool BoxHolds(const TPieceBox& b, int32_t x, int32_t y) {
  return x >= b.X && x < b.X + b.W && y >= b.Y && y < b.Y + b.H;
}

// The box cut to the image: false when nothing is left.
bool ClipBox(TPieceBox& b, int32_t width, int32_t height) {
  int32_t right = IntMin(b.X + b.W, width), bottom = IntMin(b.Y + b.H, height);
  b.X = IntMax(b.X, 0);
  b.Y = IntMax(b.Y, 0);
  b.W = right - b.X;
  b.H = bottom - b.Y;
  return b.W > 0 && b.H > 0;
}

void SetDepth(TEmbossMap& map, size_t at, int32_t patternClass, uint32_t depth) {
  const int32_t shift = 3 * patternClass;
  map.Depths[at] = (map.Depths[at] & ~(7u << shift)) | (depth << shift);
}

void WoodPass(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r) {
  if (map.Empty()) {
    map.Width = mask.Width;
    map.Height = mask.Height;
    map.ClassBits.assign(size_t(mask.Width) * size_t(mask.Height), 0);
    map.Depths.assign(size_t(mask.Width) * size_t(mask.Height), 0);
  }
  AssignPatternClasses(job);
  const int32_t wood = job.WoodWidth;
  const intptr_t upLeft = intptr_t(mask.RowStride) - mask.BytesPerPixel;  // (x - 1, y - 1)
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    const TPieceRecord& p = job.Pieces[i];
    TPieceBox box = PieceRotatedBounds(p, mask, r);
    if (!ClipBox(box, mask.Width, mask.Height)) continue;
    // Each map pixel of the box grown by the wood width takes the smallest shift d at which
    // the piece's silhouette covers it: the pixel d up and d left is the piece's.
    const int32_t right = IntMin(box.X + box.W + wood, map.Width), bottom = IntMin(box.Y + box.H + wood, map.Height);
    for (int32_t my = box.Y; my < bottom; ++my) {
      for (int32_t mx = box.X; mx < right; ++mx) {
        // Start at the first shift that lands inside the box.
        int32_t d = IntMax(IntMax(mx - (box.X + box.W - 1), my - (box.Y + box.H - 1)), 0);
        int32_t sx = mx - d, sy = my - d;
        if (d > wood || sx < box.X || sy < box.Y) continue;
        const uint8_t* src = PixelAt(mask, sx, sy);
        for (;;) {
          if (*src == p.Code) {
            const size_t at = map.At(mx, my);
            map.ClassBits[at] |= p.ClassBit;
            SetDepth(map, at, p.PatternClass, uint32_t(d));
            break;
          }
          if (++d > wood || --sx < box.X || --sy < box.Y) break;
          src += upLeft;
        }
      }
    }
  }
}

void JoinedNeighbourPass(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map,
                         int32_t r) {
  std::vector<int32_t> joined;
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    const TPieceRecord& p = job.Pieces[i];
    joined.clear();
    bool any = false;
    for (int16_t n : p.Neighbours) {
      if (n < 0 || n >= job.PieceCount || job.Pieces[n].Group != p.Group) continue;
      any = true;
      if (n >= i) joined.push_back(n);
    }
    if (any) ClearJoinedWood(map, mask, job.Pieces, i, joined, r, job.WoodWidth);
  }
}

void LightPass(const TEmbossJob& job, TDibImage& mask, int32_t r) {
  const int32_t radius = LightRadius(job.EmbossStyle);
  const int32_t reach = radius * 128;
  const int32_t* weights = WeightsFor(job.EmbossStyle);
  const int32_t steps = radius + 1;
  // A step in each direction as a byte offset: rows lie bottom-up, so a step down is a row
  // lower in memory.
  intptr_t delta[8];
  for (int dir = 0; dir < 8; ++dir)
    delta[dir] = intptr_t(kDirX[dir]) * mask.BytesPerPixel - intptr_t(kDirY[dir]) * mask.RowStride;
  // What a count contributes to the sum, per direction and count; counts beyond a direction's
  // last contributing one add nothing, so the walk stops there.
  int32_t term[8][8] = {};
  int32_t lastCount[8] = {};
  for (int dir = 0; dir < 8; ++dir)
    for (int32_t count = 1; count <= steps; ++count) {
      const int32_t distance = count * (dir < 4 ? 128 : kDiagonalStep);
      term[dir][count] = distance <= reach ? (reach - distance) * weights[dir] : 0;
      if (term[dir][count] != 0) lastCount[dir] = count;
    }
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    const TPieceRecord& p = job.Pieces[i];
    const uint8_t code = p.Code;
    TPieceBox box = PieceRotatedBounds(p, mask, r);
    if (!ClipBox(box, mask.Width, mask.Height)) continue;
    for (int32_t y = box.Y; y < box.Y + box.H; ++y) {
      const int32_t up = y - box.Y, down = box.Y + box.H - 1 - y;
      uint8_t* px = DibPixelAddress(mask, box.X, y);
      for (int32_t x = box.X; x < box.X + box.W; ++x, px += mask.BytesPerPixel) {
        if (px[0] != code) continue;
        const int32_t left = x - box.X, right = box.X + box.W - 1 - x;
        // How many steps stay inside the box in each direction.
        const int32_t room[8] = {left, up, right, down, IntMin(left, up), IntMin(right, up), IntMin(right, down),
                                 IntMin(left, down)};
        int32_t sum = 0;
        for (int dir = 0; dir < 8; ++dir) {
          const uint8_t* q = px;
          for (int32_t k = 1; k <= lastCount[dir]; ++k) {
            if (k > room[dir]) {
              sum += term[dir][k];
              break;
            }
            q += delta[dir];
            if (*q != code) {
              sum += term[dir][k];
              break;
            }
          }
        }
        const int32_t light = ClampInt(sum / 128, -127, 127);
        if (light != 0) px[2] = uint8_t(kNoLight + light);
      }
    }
  }
}

}  // namespace

void AssignPatternClasses(const TEmbossJob& job) {
  const int32_t tilePX = IntMax(job.TilePX, 1);
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    TPieceRecord& p = job.Pieces[i];
    const int32_t c = i == job.FramePiece ? kFrameClass : (i / tilePX % 3) * 3 + i % tilePX % 3;
    // Only a change is written: builds of several rotations may run side by side.
    if (p.PatternClass != c) p.PatternClass = c;
    if (p.ClassBit != uint16_t(1u << c)) p.ClassBit = uint16_t(1u << c);
  }
}

TPieceBox PieceRotatedBounds(const TPieceRecord& piece, const TDibImage& mask, int32_t r) {
  const int32_t x = piece.PieceX, y = piece.PieceY, w = piece.PieceW, h = piece.PieceH;
  const int32_t m = mask.Width - kMaskMargin, hm = mask.Height - kMaskMargin;
  switch (r & 3) {
    case 1: return {m - h - y, x, h, w};
    case 2: return {m - w - x, hm - h - y, w, h};
    case 3: return {y, hm - w - x, h, w};
    default: return {x, y, w, h};
  }
}

int32_t WoodWidthForStyle(int32_t woodStyle) {
  if (woodStyle == 1) return 3;
  if (woodStyle == 2) return 5;
  return 0;
}

int32_t ClampByte(int32_t v) { return ClampInt(v, 0, 255); }

void FreeEmbossMap(TEmbossMap& map) { map = TEmbossMap{}; }

void ResetMaskChannels(TDibImage& mask) {
  if (mask.Width <= 0 || mask.BytesPerPixel < 3) return;
  for (int32_t y = 0; y < mask.Height; ++y) {
    uint8_t* px = DibScanLine(mask, y);
    for (int32_t x = 0; x < mask.Width; ++x, px += mask.BytesPerPixel) {
      px[1] = 0;
      px[2] = kNoLight;
    }
  }
}

void BuildEmbossMap(const TEmbossJob& job, TDibImage& mask, TEmbossMap& map, int32_t r) {
  if (mask.Width <= 0 || mask.BytesPerPixel < 3) {
    FreeEmbossMap(map);
    return;
  }
  if (job.WoodStyle != 0) {
    WoodPass(job, mask, map, r);
    JoinedNeighbourPass(job, mask, map, r);
  } else {
    FreeEmbossMap(map);
  }
  if (job.EmbossStyle >= 1 && job.EmbossStyle <= 3) LightPass(job, mask, r);
}

void ClearJoinedWood(TEmbossMap& map, const TDibImage& mask, TPieceRecord* pieces, int32_t p,
                     const std::vector<int32_t>& neighbours, int32_t r, int32_t woodWidth) {
  if (map.Empty() || neighbours.empty()) return;
  const TPieceRecord& piece = pieces[p];
  const int32_t c = piece.PatternClass;
  const uint16_t bit = piece.ClassBit;
  if (c < 0 || c > kFrameClass) return;
  struct TNear {
    TPieceBox Box;
    int32_t Class;
    uint16_t Bit;
  };
  std::vector<TNear> near;
  near.reserve(neighbours.size());
  for (int32_t n : neighbours) {
    TPieceBox b = PieceRotatedBounds(pieces[n], mask, r);
    b.W += woodWidth;
    b.H += woodWidth;
    if (pieces[n].PatternClass < 0 || pieces[n].PatternClass > kFrameClass) continue;
    near.push_back({b, pieces[n].PatternClass, pieces[n].ClassBit});
  }
  TPieceBox box = PieceRotatedBounds(piece, mask, r);
  box.W += woodWidth;
  box.H += woodWidth;
  if (!ClipBox(box, map.Width, map.Height)) return;
  for (int32_t y = box.Y; y < box.Y + box.H; ++y) {
    for (int32_t x = box.X; x < box.X + box.W; ++x) {
      const size_t at = map.At(x, y);
      const uint16_t bits = map.ClassBits[at];
      if (!(bits & bit) || !(bits & ~bit)) continue;
      const uint32_t depthP = (map.Depths[at] >> (3 * c)) & 7u;
      for (const TNear& n : near) {
        if (!BoxHolds(n.Box, x, y) || !(bits & n.Bit)) continue;
        const uint32_t d = (map.Depths[at] >> (3 * n.Class)) & 7u;
        if (depthP > 0) {
          if (d == 0 || d < depthP) SetDepth(map, at, c, 0);
          else if (d > depthP) SetDepth(map, at, n.Class, 0);
        } else if (d > 0) {
          SetDepth(map, at, n.Class, 0);
        }
      }
    }
  }
}

void DrawEmbossPreview(TDibImage& target, const TDibImage& mask, const TDibImage& picture,
                       int32_t woodColor, int32_t woodStyle, int32_t embossStyle) {
  const int32_t w = IntMin(target.Width, IntMin(mask.Width, picture.Width));
  const int32_t h = IntMin(target.Height, IntMin(mask.Height, picture.Height));
  if (w <= 0 || h <= 0) return;
  auto inPiece = [&](int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < w && y < h && MaskCode(mask, x, y) == 0;
  };
  const int32_t width = WoodWidthForStyle(woodStyle);
  if (width > 0) {
    int32_t red, green, blue;
    SplitColor(uint32_t(woodColor), red, green, blue);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        if (inPiece(x, y)) continue;
        int32_t depth = 0;
        for (int32_t k = 1; k <= width && depth == 0; ++k)
          if (inPiece(x - k, y - k)) depth = k;
        if (depth == 0) continue;
        uint8_t* t = DibPixelAddress(target, x, y);
        if (woodStyle == 1) {
          const int32_t dark = 10 * (depth - 1);
          t[0] = uint8_t(IntMax(blue - dark, 0));
          t[1] = uint8_t(IntMax(green - dark, 0));
          t[2] = uint8_t(IntMax(red - dark, 0));
        } else {
          const int32_t keep = 256 - (128 - 28 * (depth - 1));
          for (int ch = 0; ch < 3; ++ch) t[ch] = uint8_t((t[ch] * keep) >> 8);
        }
      }
    }
  }
  const int32_t radius = LightRadius(embossStyle);
  const int32_t* weights = WeightsFor(embossStyle);
  const long double root2 = std::sqrt(2.0L);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      if (!inPiece(x, y)) continue;
      long double sum = 0;
      for (int dir = 0; dir < 8; ++dir) {
        int32_t count = radius + 1;
        for (int32_t k = 1; k <= radius + 1; ++k) {
          if (!inPiece(x + k * kDirX[dir], y + k * kDirY[dir])) {
            count = k;
            break;
          }
        }
        const long double len = dir < 4 ? (long double)count : count * root2;
        if (len <= radius) sum += (radius - len) * weights[dir];
      }
      if (sum > 127) sum = 127;
      if (sum < -127) sum = -127;
      const int32_t light = Round(sum);
      const uint8_t* src = DibPixelAddress(picture, x, y);
      uint8_t* t = DibPixelAddress(target, x, y);
      for (int ch = 0; ch < 3; ++ch) t[ch] = uint8_t(ClampByte(src[ch] + light));
    }
  }
}
