#include "engine/emboss.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "foundation/numeric.h"
#include "foundation/run_beside.h"

namespace {

constexpr int32_t kDiagonalStep = 181;  // round(sqrt(2) * 128)
// Tiles small enough that a piece drawn alone builds little more than its own box (a piece's
// tiles reach past it into pieces that lie elsewhere on the field).
constexpr int32_t kTile = 16;
constexpr size_t kTilePixels = size_t(kTile) * kTile;
// Joins are listed per block of tiles, so that a tile built late finds its own quickly.
constexpr int32_t kJoinBlock = 8;
// Tiles built together for a paint read the codes of a block of this many tiles a side at once.
constexpr int32_t kShareBlock = 4;
// The passes read codes this far beyond the pixel they work out: the light up to the radius
// (at most 4) each way, the wood up to the wood width (at most 5) up and left.
constexpr int32_t kReach = 5;

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

inline const uint8_t* PixelAt(const TDibImage& d, int32_t x, int32_t y) {
  return d.Bits + intptr_t(d.Height - 1 - y) * d.RowStride + intptr_t(x) * d.BytesPerPixel;
}

inline uint8_t MaskCode(const TDibImage& mask, int32_t x, int32_t y) { return *PixelAt(mask, x, y); }

bool BoxHolds(const TPieceBox& b, int32_t x, int32_t y) {
  return x >= b.X && x < b.X + b.W && y >= b.Y && y < b.Y + b.H;
}

// The box cut to the rectangle (0, 0, width, height): false when nothing is left.
bool ClipBox(TPieceBox& b, int32_t width, int32_t height) {
  int32_t right = IntMin(b.X + b.W, width), bottom = IntMin(b.Y + b.H, height);
  b.X = IntMax(b.X, 0);
  b.Y = IntMax(b.Y, 0);
  b.W = right - b.X;
  b.H = bottom - b.Y;
  return b.W > 0 && b.H > 0;
}

// The part of b inside the other rectangle: false when nothing is left.
bool Intersect(TPieceBox& b, const TPieceBox& other) {
  const int32_t right = IntMin(b.X + b.W, other.X + other.W), bottom = IntMin(b.Y + b.H, other.Y + other.H);
  b.X = IntMax(b.X, other.X);
  b.Y = IntMax(b.Y, other.Y);
  b.W = right - b.X;
  b.H = bottom - b.Y;
  return b.W > 0 && b.H > 0;
}

// Wood words: 3 bits per class, 0 absent, else depth + 1.
inline uint32_t WoodField(uint32_t w, int32_t c) { return (w >> (3 * c)) & 7u; }
inline void SetWoodField(uint32_t& w, int32_t c, uint32_t field) {
  w = (w & ~(7u << (3 * c))) | (field << (3 * c));
}

// The codes of a rectangle of a turn's mask, copied out of the unturned mask.
struct TCodes {
  TPieceBox Area;
  std::vector<uint8_t> Bytes;
  const uint8_t* Row(int32_t x, int32_t y) const { return &Bytes[size_t(y - Area.Y) * size_t(Area.W) + size_t(x - Area.X)]; }
};

void ReadCodes(TCodes& c, const TDibImage& mask, int32_t r) {
  c.Bytes.resize(size_t(c.Area.W) * size_t(c.Area.H));
  for (int32_t y = 0; y < c.Area.H; ++y) {
    const TTurnedRow row = TurnedMaskRow(mask, r, c.Area.X, c.Area.Y + y);
    uint8_t* out = &c.Bytes[size_t(y) * size_t(c.Area.W)];
    const int32_t inside = IntMin(IntMax(row.Inside, 0), c.Area.W);
    const uint8_t* s = row.At;
    if (row.Step == 1 && inside > 0)
      std::memcpy(out, s, size_t(inside));
    else
      for (int32_t x = 0; x < inside; ++x, s += row.Step) out[x] = *s;
    for (int32_t x = inside; x < c.Area.W; ++x) out[x] = 0;
  }
}

// Per pixel and direction, how many pixels in a row that way share its code (at most kRun):
// the walks of the light, worked out once for all the pieces of a tile. Shortest holds the
// least of the eight.
constexpr int32_t kRun = 4;
struct TRuns {
  int32_t Size = 0;
  std::vector<uint8_t> Bytes;  // direction by direction
  std::vector<uint8_t> Shortest;
  const uint8_t* Dir(int dir) const { return &Bytes[size_t(dir) * size_t(Size)]; }
};

void CountRuns(const TCodes& c, TRuns& runs) {
  const int32_t w = c.Area.W, h = c.Area.H;
  runs.Size = w * h;
  runs.Bytes.assign(size_t(8) * size_t(runs.Size), 0);
  runs.Shortest.assign(size_t(runs.Size), uint8_t(kRun));
  const uint8_t* code = c.Bytes.data();
  // Zeros stand before and after the row for the steps that leave it.
  std::vector<uint8_t> sameAsLeft(size_t(w) + 2 * kRun, 0);
  static_assert(kRun == 4, "the sweep along a row takes four steps");
  for (int dir = 0; dir < 8; ++dir) {
    uint8_t* run = &runs.Bytes[size_t(dir) * size_t(runs.Size)];
    const int32_t dx = kDirX[dir], dy = kDirY[dir];
    // Only pixels whose neighbour that way lies in the area; each after its neighbour.
    const int32_t x0 = dx < 0 ? 1 : 0, x1 = dx > 0 ? w - 1 : w;
    const int32_t y0 = dy < 0 ? 1 : 0, y1 = dy > 0 ? h - 1 : h;
    const intptr_t d = intptr_t(dy) * w + dx;
    for (int32_t j = y0; j < y1; ++j) {
      const int32_t y = dy > 0 ? y1 - 1 - (j - y0) : j;
      uint8_t* r = run + intptr_t(y) * w;
      const uint8_t* k = code + intptr_t(y) * w;
      if (dy != 0) {
        // The neighbour lies in a row already done: no order within the row, and no branch.
        const uint8_t* __restrict own = k + x0;
        const uint8_t* __restrict near = k + x0 + d;
        const uint8_t* __restrict nearRun = r + x0 + d;
        uint8_t* __restrict out = r + x0;
        for (int32_t i = 0; i < x1 - x0; ++i) {
          const uint8_t longer = nearRun[i] < kRun ? uint8_t(nearRun[i] + 1) : uint8_t(kRun);
          out[i] = own[i] == near[i] ? longer : uint8_t(0);
        }
      } else {
        // Along the row: a run is how many of the next kRun steps that way keep the code, so it
        // needs no run before it and the row goes in one sweep without a chain.
        uint8_t* __restrict same = sameAsLeft.data() + kRun - 1;  // same[x]: k[x - 1] == k[x]
        for (int32_t x = 1; x < w; ++x) same[x] = k[x - 1] == k[x];
        const int32_t ahead = dx < 0 ? 0 : 1;  // right: the steps start at same[x + 1]
        for (int32_t x = 0; x < w; ++x) {
          const uint8_t* s = same + x + ahead;
          const uint8_t a = s[0], b = uint8_t(a & s[dx]), c = uint8_t(b & s[2 * dx]);
          r[x] = uint8_t(a + b + c + (c & s[3 * dx]));
        }
      }
    }
    // Pixels on the area's edge count as short: they never decide the light of a tile pixel.
    uint8_t* __restrict shortest = runs.Shortest.data();
    const uint8_t* __restrict done = run;
    // The bound is a local: a byte store could otherwise change it, which stops vectorising.
    for (int32_t at = 0; at < w * h; ++at) shortest[at] = done[at] < shortest[at] ? done[at] : shortest[at];
  }
}

}  // namespace

// --- Turned masks -----------------------------------------------------------------------------

int32_t TurnedMaskWidth(const TDibImage& mask, int32_t r) { return r & 1 ? mask.Height : mask.Width; }
int32_t TurnedMaskHeight(const TDibImage& mask, int32_t r) { return r & 1 ? mask.Width : mask.Height; }

TTurnedRow TurnedImageRow(const TDibImage& image, int32_t margin, int32_t r, int32_t x, int32_t y) {
  // The area without the margin; a turn moves it and keeps the margin where it was.
  const int32_t aw = image.Width - margin, ah = image.Height - margin;
  const intptr_t right = image.BytesPerPixel, up = image.RowStride;  // rows lie bottom-up
  switch (r & 3) {
    case 1:  // (x, y) shows (y, ah - 1 - x)
      if (x < 0 || y < 0 || y >= aw || x >= ah) return {nullptr, 0, 0};
      return {PixelAt(image, y, ah - 1 - x), up, ah - x};
    case 2:  // (aw - 1 - x, ah - 1 - y)
      if (x < 0 || y < 0 || y >= ah || x >= aw) return {nullptr, 0, 0};
      return {PixelAt(image, aw - 1 - x, ah - 1 - y), -right, aw - x};
    case 3:  // (aw - 1 - y, x)
      if (x < 0 || y < 0 || y >= aw || x >= ah) return {nullptr, 0, 0};
      return {PixelAt(image, aw - 1 - y, x), -up, ah - x};
    default:  // the unturned image, its margin included
      if (x < 0 || y < 0 || y >= image.Height || x >= image.Width) return {nullptr, 0, 0};
      return {PixelAt(image, x, y), right, image.Width - x};
  }
}

TTurnedRow TurnedMaskRow(const TDibImage& mask, int32_t r, int32_t x, int32_t y) {
  return TurnedImageRow(mask, kMaskMargin, r, x, y);
}

uint8_t TurnedMaskCode(const TDibImage& mask, int32_t r, int32_t x, int32_t y) {
  const TTurnedRow row = TurnedMaskRow(mask, r, x, y);
  return row.Inside > 0 ? *row.At : 0;
}

TPieceBox PieceRotatedBounds(const TPieceRecord& piece, const TDibImage& mask, int32_t r) {
  const int32_t x = piece.PieceX, y = piece.PieceY, w = piece.PieceW, h = piece.PieceH;
  const int32_t m = TurnedMaskWidth(mask, r) - kMaskMargin, hm = TurnedMaskHeight(mask, r) - kMaskMargin;
  switch (r & 3) {
    case 1: return {m - h - y, x, h, w};
    case 2: return {m - w - x, hm - h - y, w, h};
    case 3: return {y, hm - w - x, h, w};
    default: return {x, y, w, h};
  }
}

// --- Building ---------------------------------------------------------------------------------

void AssignPatternClasses(const TEmbossJob& job) {
  const int32_t tilePX = IntMax(job.TilePX, 1);
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    TPieceRecord& p = job.Pieces[i];
    const int32_t c = i == job.FramePiece ? kFrameClass : (i / tilePX % 3) * 3 + i % tilePX % 3;
    p.PatternClass = c;
    p.ClassBit = uint16_t(1u << c);
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

template <typename F>
void TEmbossMap::ForTiles(const TPieceBox& area, F f) {
  TPieceBox b = area;
  if (!ClipBox(b, Width, Height)) return;
  for (int32_t ty = b.Y / kTile; ty <= (b.Y + b.H - 1) / kTile; ++ty)
    for (int32_t tx = b.X / kTile; tx <= (b.X + b.W - 1) / kTile; ++tx) f(Tiles_[size_t(ty) * size_t(TilesX_) + size_t(tx)], tx, ty);
}

void BuildEmbossMap(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r) {
  FreeEmbossMap(map);
  const bool light = job.EmbossStyle >= 1 && job.EmbossStyle <= 3, wood = job.WoodStyle != 0;
  if (mask.Width <= 0 || (!light && !wood)) return;
  if (wood) AssignPatternClasses(job);
  map.Width = TurnedMaskWidth(mask, r);
  map.Height = TurnedMaskHeight(mask, r);
  map.Mask_ = mask;
  map.Mask_.Bitmap = nullptr;
  map.R_ = r & 3;
  map.EmbossStyle_ = job.EmbossStyle;
  map.WoodWidth_ = wood ? ClampInt(job.WoodWidth, 0, kReach) : 0;  // the codes of a tile reach no further
  map.Light_ = light;
  map.Wood_ = wood;
  map.Budget_ = job.TileBudget;
  map.TilesX_ = (map.Width + kTile - 1) / kTile;
  map.TilesY_ = (map.Height + kTile - 1) / kTile;
  map.Tiles_.resize(size_t(map.TilesX_) * size_t(map.TilesY_));
  map.BlocksX_ = (map.TilesX_ + kJoinBlock - 1) / kJoinBlock;
  map.BlockJoins_.resize(size_t(map.BlocksX_) * size_t((map.TilesY_ + kJoinBlock - 1) / kJoinBlock));
  map.Pieces_.resize(size_t(job.PieceCount));
  std::vector<uint8_t> inside(size_t(job.PieceCount), 0);
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    const TPieceRecord& p = job.Pieces[i];
    TEmbossMap::TPiece& m = map.Pieces_[size_t(i)];
    m.Box = PieceRotatedBounds(p, mask, r);
    m.Near = {m.Box.X, m.Box.Y, m.Box.W + map.WoodWidth_, m.Box.H + map.WoodWidth_};
    m.Code = p.Code;
    m.Class = int8_t(p.PatternClass >= 0 && p.PatternClass <= kFrameClass ? p.PatternClass : -1);
    // A piece outside the mask adds neither light nor wood.
    inside[size_t(i)] = ClipBox(m.Box, map.Width, map.Height);
  }
  // Each tile's pieces in index order: counted, then placed.
  auto reach = [&map](const TEmbossMap::TPiece& m) {
    return TPieceBox{m.Box.X, m.Box.Y, m.Box.W + map.WoodWidth_, m.Box.H + map.WoodWidth_};
  };
  map.TileStart_.assign(map.Tiles_.size() + 1, 0);
  for (int32_t i = 0; i < job.PieceCount; ++i)
    if (inside[size_t(i)])
      map.ForTiles(reach(map.Pieces_[size_t(i)]), [&map](TEmbossMap::TTile&, int32_t tx, int32_t ty) {
        ++map.TileStart_[size_t(ty) * size_t(map.TilesX_) + size_t(tx) + 1];
      });
  for (size_t t = 1; t < map.TileStart_.size(); ++t) map.TileStart_[t] += map.TileStart_[t - 1];
  map.TilePieces_.resize(size_t(map.TileStart_.back()));
  std::vector<int32_t> fill(map.TileStart_.begin(), map.TileStart_.end() - 1);
  for (int32_t i = 0; i < job.PieceCount; ++i)
    if (inside[size_t(i)])
      map.ForTiles(reach(map.Pieces_[size_t(i)]), [&](TEmbossMap::TTile&, int32_t tx, int32_t ty) {
        map.TilePieces_[size_t(fill[size_t(ty) * size_t(map.TilesX_) + size_t(tx)]++)] = i;
      });
  if (!wood) return;
  // A loaded game: the wood between neighbours that are already joined goes.
  std::vector<int32_t> joined;
  for (int32_t i = 0; i < job.PieceCount; ++i) {
    const TPieceRecord& p = job.Pieces[i];
    joined.clear();
    for (int16_t n : p.Neighbours)
      if (n >= i && n < job.PieceCount && job.Pieces[n].Group == p.Group) joined.push_back(n);
    ClearJoinedWood(map, i, joined);
  }
}

uint8_t* TEmbossMap::TileLight(const TTile& t) const { return reinterpret_cast<uint8_t*>(t.Data.get()); }

uint32_t* TEmbossMap::TileWood(const TTile& t) const { return t.Data.get() + (Light_ ? kTilePixels / 4 : 0); }

namespace {
size_t TileWords(bool light, bool wood) { return (light ? kTilePixels / 4 : 0) + (wood ? kTilePixels : 0); }
}  // namespace

TEmbossMap::TTile& TEmbossMap::Built(int32_t x, int32_t y) {
  const int32_t tx = x / kTile, ty = y / kTile;
  const int32_t index = ty * TilesX_ + tx;
  TTile& t = Tiles_[size_t(index)];
  t.Paint = Paint_;
  if (!t.Data) {
    BuildTile(t, tx, ty);
    Keep(index);
    DropOldTiles();
  }
  return t;
}

void TEmbossMap::Keep(int32_t index) {
  Kept_.push_back(index);
  Bytes_ += TileWords(Light_, Wood_) * 4;
}

void TEmbossMap::DropOldTiles() {
  if (Bytes_ <= Budget_ || DroppedNone_ == Paint_) return;
  // Oldest first; a tile the running paint has read goes to the back instead.
  size_t looked = 0;
  while (Bytes_ > Budget_ && looked < Kept_.size()) {
    const int32_t index = Kept_.front();
    Kept_.pop_front();
    TTile& t = Tiles_[size_t(index)];
    if (t.Paint == Paint_) {
      Kept_.push_back(index);
      ++looked;
      continue;
    }
    t.Data.reset();
    Bytes_ -= TileWords(Light_, Wood_) * 4;
    looked = 0;
  }
  if (Bytes_ > Budget_) DroppedNone_ = Paint_;
}

// What the passes of the tiles of one area read: the codes within reach of it, their runs
// (with light only) and the codes that occur. A tile's light and wood depend only on the codes
// within reach of the tile itself, so tiles side by side share one source.
struct TEmbossMap::TTileSource {
  TCodes Codes;
  TRuns Runs;
  // A piece none of whose pixels lie within reach adds neither light nor wood: the frame's
  // box, the whole picture, meets every tile.
  bool Present[256] = {};
};

void TEmbossMap::ReadSource(TTileSource& source, const TPieceBox& area) const {
  source.Codes.Area = {area.X - kReach, area.Y - kReach, area.W + 2 * kReach, area.H + 2 * kReach};
  ClipBox(source.Codes.Area, Width, Height);
  ReadCodes(source.Codes, Mask_, R_);
  if (Light_) CountRuns(source.Codes, source.Runs);
  std::fill(std::begin(source.Present), std::end(source.Present), false);
  for (uint8_t c : source.Codes.Bytes) source.Present[c] = true;
}

void TEmbossMap::BuildTile(TTile& tile, int32_t tx, int32_t ty) const {
  TTileSource source;
  ReadSource(source, TPieceBox{tx * kTile, ty * kTile, kTile, kTile});
  BuildTile(tile, tx, ty, source);
}

void TEmbossMap::BuildTile(TTile& tile, int32_t tx, int32_t ty, const TTileSource& source) const {
  TPieceBox area{tx * kTile, ty * kTile, kTile, kTile};
  ClipBox(area, Width, Height);
  const TCodes& codes = source.Codes;
  const bool* present = source.Present;
  if (!tile.Data) tile.Data.reset(new uint32_t[TileWords(Light_, Wood_)]);
  const size_t index = size_t(ty) * size_t(TilesX_) + size_t(tx);
  const int32_t* tilePieces = TilePieces_.data() + TileStart_[index];
  const int32_t pieceCount = TileStart_[index + 1] - TileStart_[index];
  if (Light_) {
    uint8_t* tileLight = TileLight(tile);
    std::fill(tileLight, tileLight + kTilePixels, uint8_t(kNoLight));
    const int32_t radius = LightRadius(EmbossStyle_);
    const int32_t reach = radius * 128;
    const int32_t* weights = WeightsFor(EmbossStyle_);
    // What a walk that stops at step k contributes, per direction; steps beyond a direction's
    // last contributing one add nothing.
    int32_t term[8][kRun + 2] = {};
    int32_t lastCount[8] = {};
    for (int dir = 0; dir < 8; ++dir)
      for (int32_t count = 1; count <= radius + 1; ++count) {
        const int32_t distance = count * (dir < 4 ? 128 : kDiagonalStep);
        term[dir][count] = distance <= reach ? (reach - distance) * weights[dir] : 0;
        if (term[dir][count] != 0) lastCount[dir] = count;
      }
    int32_t longest = 0;
    for (int dir = 0; dir < 8; ++dir) longest = IntMax(longest, lastCount[dir]);
    const TRuns& runs = source.Runs;
    for (int32_t n = 0; n < pieceCount; ++n) {
      const TPiece& p = Pieces_[size_t(tilePieces[n])];
      const TPieceBox& box = p.Box;
      TPieceBox part = box;
      if (!present[p.Code] || !Intersect(part, area)) continue;
      for (int32_t y = part.Y; y < part.Y + part.H; ++y) {
        const int32_t up = y - box.Y, down = box.Y + box.H - 1 - y;
        const size_t at0 = size_t(y - codes.Area.Y) * size_t(codes.Area.W) + size_t(part.X - codes.Area.X);
        uint8_t* out = &tileLight[size_t(y - area.Y) * kTile + size_t(part.X - area.X)];
        for (int32_t x = part.X, k = 0; x < part.X + part.W; ++x, ++k) {
          const size_t at = at0 + size_t(k);
          if (codes.Bytes[at] != p.Code) continue;
          const int32_t left = x - box.X, right = box.X + box.W - 1 - x;
          // Deep inside the piece and its box every walk runs its full length: no light.
          if (IntMin(IntMin(left, right), IntMin(up, down)) >= longest && runs.Shortest[at] >= longest) continue;
          // How many steps stay inside the box in each direction.
          const int32_t room[8] = {left, up, right, down, IntMin(left, up), IntMin(right, up), IntMin(right, down),
                                   IntMin(left, down)};
          // A walk stops at the first step that leaves the box or the piece's code.
          int32_t sum = 0;
          for (int dir = 0; dir < 8; ++dir) {
            const int32_t stop = IntMin(room[dir], runs.Dir(dir)[at]) + 1;
            if (stop <= lastCount[dir]) sum += term[dir][stop];
          }
          const int32_t light = ClampInt(sum / 128, -127, 127);
          if (light != 0) out[k] = uint8_t(kNoLight + light);
        }
      }
    }
  }
  if (!Wood_) return;
  uint32_t* tileWood = TileWood(tile);
  std::fill(tileWood, tileWood + kTilePixels, 0u);
  const int32_t wood = WoodWidth_;
  // Beyond the wood width: no depth.
  const uint8_t none = uint8_t(wood + 1);
  for (int32_t n = 0; n < pieceCount; ++n) {
    const TPiece& p = Pieces_[size_t(tilePieces[n])];
    if (p.Class < 0 || !present[p.Code]) continue;
    const TPieceBox& box = p.Box;
    // Each pixel of the box grown by the wood width takes the smallest shift d at which the
    // piece's silhouette covers it: the pixel d up and d left is the piece's, inside its box.
    TPieceBox part{box.X, box.Y, box.W + wood, box.H + wood};
    if (!Intersect(part, area)) continue;
    // Row by row down each diagonal, the steps since it last met the piece: from the wood
    // width above and left of the part on, and never before the box.
    const int32_t x0 = IntMax(part.X - wood, box.X), y0 = IntMax(part.Y - wood, box.Y);
    const int32_t columns = part.X + part.W - x0;
    const int32_t inBox = ClampInt(box.X + box.W - x0, 0, columns);
    // Entry 0 stands for the column before x0, which no diagonal comes in from.
    uint8_t rows[2][kTile + kReach + 1];
    uint8_t *above = rows[0], *here = rows[1];
    std::fill(above, above + columns + 1, none);
    here[0] = none;
    for (int32_t y = y0; y < part.Y + part.H; ++y) {
      const int32_t body = y < box.Y + box.H ? inBox : 0;
      const uint8_t* code = codes.Row(x0, y);
      for (int32_t i = 0; i < body; ++i) {
        const uint8_t step = uint8_t(IntMin(above[i] + 1, none));
        here[i + 1] = code[i] == p.Code ? uint8_t(0) : step;
      }
      for (int32_t i = body; i < columns; ++i) here[i + 1] = uint8_t(IntMin(above[i] + 1, none));
      if (y >= part.Y) {
        uint32_t* out = &tileWood[size_t(y - area.Y) * kTile + size_t(part.X - area.X)];
        const uint8_t* depth = here + 1 + (part.X - x0);
        for (int32_t i = 0; i < part.W; ++i)
          if (depth[i] <= wood) SetWoodField(out[i], p.Class, uint32_t(depth[i]) + 1);
      }
      std::swap(above, here);
    }
  }
  // Every join so far that meets the tile, in the order they were made: a tile built again
  // after it was dropped comes out as it was.
  const std::vector<int32_t>& joins = BlockJoins_[size_t(ty / kJoinBlock) * size_t(BlocksX_) + size_t(tx / kJoinBlock)];
  for (int32_t j : joins) JoinInTile(Joins_[size_t(j)], tileWood, tx, ty);
}

void TEmbossMap::BuildTiles(const std::vector<TPieceBox>& areas, int32_t threads) {
  std::vector<uint8_t> wanted(Tiles_.size(), 0);
  for (const TPieceBox& a : areas)
    ForTiles(a, [&](TTile& t, int32_t tx, int32_t ty) { wanted[size_t(ty) * size_t(TilesX_) + size_t(tx)] = !t.Data; });
  std::vector<int32_t> todo;
  for (size_t i = 0; i < wanted.size(); ++i)
    if (wanted[i]) todo.push_back(int32_t(i));
  // The memory comes from this thread, so that what a helper built and a later paint drops goes
  // back where the paints find it again.
  for (int32_t index : todo) Tiles_[size_t(index)].Data.reset(new uint32_t[TileWords(Light_, Wood_)]);
  // Tiles side by side share what they read: the work goes by blocks of tiles, each reading
  // the codes around the wanted tiles of its block once.
  const int32_t blocksX = (TilesX_ + kShareBlock - 1) / kShareBlock;
  auto blockOf = [&](int32_t index) {
    return index / TilesX_ / kShareBlock * blocksX + index % TilesX_ / kShareBlock;
  };
  std::vector<int32_t> order(todo);
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t a, int32_t b) { return blockOf(a) < blockOf(b); });
  std::vector<size_t> groups;  // group g: order[groups[g]] up to order[groups[g + 1]]
  for (size_t k = 0; k < order.size(); ++k)
    if (k == 0 || blockOf(order[k]) != blockOf(order[k - 1])) groups.push_back(k);
  const size_t groupCount = groups.size();
  groups.push_back(order.size());
  // Each tile is built by one thread and reads only what the map set up: no locks.
  std::atomic<size_t> next{0};
  auto work = [&] {
    TTileSource source;
    for (size_t g; (g = next.fetch_add(1)) < groupCount;) {
      int32_t left = TilesX_, top = TilesY_, right = -1, bottom = -1;
      for (size_t k = groups[g]; k < groups[g + 1]; ++k) {
        left = IntMin(left, order[k] % TilesX_);
        right = IntMax(right, order[k] % TilesX_);
        top = IntMin(top, order[k] / TilesX_);
        bottom = IntMax(bottom, order[k] / TilesX_);
      }
      ReadSource(source,
                 {left * kTile, top * kTile, (right - left + 1) * kTile, (bottom - top + 1) * kTile});
      for (size_t k = groups[g]; k < groups[g + 1]; ++k)
        BuildTile(Tiles_[size_t(order[k])], order[k] % TilesX_, order[k] / TilesX_, source);
    }
  };
  RunAcross(IntMin(threads, int32_t(groupCount / 4) + 1) - 1, work);
  for (int32_t index : todo) {
    Tiles_[size_t(index)].Paint = Paint_;
    Keep(index);
  }
}

// --- Joins ------------------------------------------------------------------------------------

void ClearJoinedWood(TEmbossMap& map, int32_t p, const std::vector<int32_t>& neighbours) {
  if (!map.Wood_ || neighbours.empty() || p < 0 || size_t(p) >= map.Pieces_.size()) return;
  if (map.Pieces_[size_t(p)].Class < 0) return;
  map.Joins_.push_back({p, neighbours});
  const int32_t j = int32_t(map.Joins_.size()) - 1;
  std::vector<uint8_t> listed(map.BlockJoins_.size(), 0);
  map.ForTiles(map.Pieces_[size_t(p)].Near, [&map, &listed, j](TEmbossMap::TTile& t, int32_t tx, int32_t ty) {
    const size_t block = size_t(ty / kJoinBlock) * size_t(map.BlocksX_) + size_t(tx / kJoinBlock);
    if (!listed[block]) map.BlockJoins_[block].push_back(j);
    listed[block] = 1;
    if (t.Data) map.JoinInTile(map.Joins_[size_t(j)], map.TileWood(t), tx, ty);
  });
}

void TEmbossMap::JoinInTile(const TJoin& join, uint32_t* wood, int32_t tx, int32_t ty) const {
  const TPiece& piece = Pieces_[size_t(join.Piece)];
  const int32_t c = piece.Class;
  TPieceBox box = piece.Near;
  TPieceBox area{tx * kTile, ty * kTile, kTile, kTile};
  if (!ClipBox(box, Width, Height) || !Intersect(box, area)) return;
  for (int32_t y = box.Y; y < box.Y + box.H; ++y) {
    uint32_t* w = &wood[size_t(y - area.Y) * kTile + size_t(box.X - area.X)];
    for (int32_t x = box.X; x < box.X + box.W; ++x, ++w) {
      const uint32_t own = WoodField(*w, c);
      // Only where the piece's class and another one meet.
      if (own == 0 || (*w & ~(7u << (3 * c))) == 0) continue;
      // The piece's own depth as it was before this pixel's first change.
      const uint32_t depthP = own - 1;
      for (int32_t n : join.Neighbours) {
        const TPiece& near = Pieces_[size_t(n)];
        if (near.Class < 0 || !BoxHolds(near.Near, x, y)) continue;
        const uint32_t other = WoodField(*w, near.Class);
        if (other == 0) continue;
        const uint32_t d = other - 1;
        if (depthP > 0) {
          if (d == 0 || d < depthP) SetWoodField(*w, c, 1);
          else if (d > depthP) SetWoodField(*w, near.Class, 1);
        } else if (d > 0) {
          SetWoodField(*w, near.Class, 1);
        }
      }
    }
  }
}

// --- Reading ----------------------------------------------------------------------------------

TEmbossMap::TSpan TEmbossMap::Span(int32_t x, int32_t y) {
  TTile& t = Built(x, y);
  const size_t at = size_t(y % kTile) * kTile + size_t(x % kTile);
  const int32_t count = IntMin(kTile - x % kTile, Width - x);
  return {Light_ ? TileLight(t) + at : nullptr, Wood_ ? TileWood(t) + at : nullptr, count};
}

bool TEmbossMap::Holds(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }

uint8_t TEmbossMap::Light(int32_t x, int32_t y) {
  if (!Holds(x, y)) return uint8_t(kNoLight);
  const TSpan s = Span(x, y);
  return s.Light ? *s.Light : uint8_t(kNoLight);
}

uint16_t TEmbossMap::ClassBits(int32_t x, int32_t y) {
  if (!Holds(x, y)) return 0;
  const TSpan s = Span(x, y);
  uint16_t bits = 0;
  for (int32_t c = 0; s.Wood && c <= kFrameClass; ++c)
    if (WoodField(*s.Wood, c) != 0) bits = uint16_t(bits | (1u << c));
  return bits;
}

uint32_t TEmbossMap::Depth(int32_t x, int32_t y, int32_t patternClass) {
  if (!Holds(x, y)) return 0;
  const TSpan s = Span(x, y);
  const uint32_t f = s.Wood ? WoodField(*s.Wood, patternClass) : 0;
  return f ? f - 1 : 0;
}

// --- The options dialog's sample ----------------------------------------------------------------

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
