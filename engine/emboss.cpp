#include "engine/emboss.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "engine/mask_codes.h"
#include "foundation/numeric.h"
#include "foundation/run_beside.h"

using emboss::CountRuns;
using emboss::kDirX;
using emboss::kDirY;
using emboss::kRun;
using emboss::PixelAt;
using emboss::ReadCodes;
using emboss::TCodes;
using emboss::TRuns;

namespace {

constexpr int32_t kDiagonalStep = 181;  // round(sqrt(2) * 128)
// Pieces are listed per cell of this many pixels a side, so that an area finds the pieces that
// meet it without a look at every piece.
constexpr int32_t kCell = 32;
// Joins are listed per block of kJoinBlock x kJoinBlock cells.
constexpr int32_t kJoinBlock = 4;
// Pixels asked about one at a time are worked out by blocks of this many a side.
constexpr int32_t kProbe = 16;
// Looks are worked out by areas of at most this many pixels a side.
constexpr int32_t kChunk = 256;
// The passes read codes this far beyond the pixel they work out: the light up to the radius
// (at most 4) each way, the wood up to the wood width (at most 5) up and left.
constexpr int32_t kReach = 5;

constexpr int32_t kWeights[3][8] = {
    {20, 20, -20, -20, 40, 10, -40, -10},
    {10, 10, -10, -10, 20, 5, -20, -5},
    {8, 8, -8, -8, 12, 5, -12, -5},
};

const int32_t* WeightsFor(TEmbossStyle embossStyle) {
  if (embossStyle == TEmbossStyle::Paper) return kWeights[0];
  if (embossStyle == TEmbossStyle::Cardboard) return kWeights[1];
  return kWeights[2];
}

// The light radius: the style's depth plus one (the styles go from flat to deepest).
int32_t LightRadius(TEmbossStyle embossStyle) { return ClampInt(int32_t(embossStyle), 0, 3) + 1; }

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
inline void SetWoodField(uint32_t& w, int32_t c, uint32_t field) { w = (w & ~(7u << (3 * c))) | (field << (3 * c)); }

}  // namespace

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

int32_t WoodWidthForStyle(TWoodStyle woodStyle) {
  if (woodStyle == TWoodStyle::Wood) return 3;
  if (woodStyle == TWoodStyle::Shadows) return 5;
  return 0;
}

int32_t ClampByte(int32_t v) { return ClampInt(v, 0, 255); }

void FreeEmbossMap(TEmbossMap& map) { map = TEmbossMap{}; }

// What working out an area reads and writes, kept from one area to the next.
struct TEmbossMap::TScratch {
  TCodes Codes;
  TRuns Runs;
  // A piece none of whose pixels lie within reach adds neither light nor wood: the frame's
  // box, the whole picture, meets every area.
  bool Present[256] = {};
  std::vector<int32_t> Pieces;  // whose box or wood meets the area, ascending
  std::vector<int32_t> Joins;   // that meet the area, in the order they were made
  std::vector<uint8_t> Light;   // per pixel of the area
  std::vector<uint32_t> Wood;   // wood words per pixel of the area
  std::vector<uint8_t> Steps;   // the wood pass's two rows of steps
};

// The last block asked about pixel by pixel.
struct TEmbossMap::TProbe {
  TScratch S;
  TPieceBox Area{0, 0, 0, 0};
  size_t Joins = 0;
};

TEmbossMap::TEmbossMap() = default;
TEmbossMap::~TEmbossMap() = default;
TEmbossMap::TEmbossMap(TEmbossMap&&) noexcept = default;
TEmbossMap& TEmbossMap::operator=(TEmbossMap&&) noexcept = default;

template <typename F>
void TEmbossMap::ForCells(const TPieceBox& area, F f) const {
  TPieceBox b = area;
  if (!ClipBox(b, Width, Height)) return;
  for (int32_t cy = b.Y / kCell; cy <= (b.Y + b.H - 1) / kCell; ++cy)
    for (int32_t cx = b.X / kCell; cx <= (b.X + b.W - 1) / kCell; ++cx)
      f(size_t(cy) * size_t(CellsX_) + size_t(cx), cx, cy);
}

void BuildEmbossMap(const TEmbossJob& job, const TDibImage& mask, TEmbossMap& map, int32_t r) {
  FreeEmbossMap(map);
  const bool light = job.EmbossStyle != TEmbossStyle::None && job.EmbossStyle <= TEmbossStyle::FatCard;
  const bool wood = job.WoodStyle != TWoodStyle::None;
  if (mask.Width <= 0 || (!light && !wood)) return;
  if (wood) AssignPatternClasses(job);
  map.Width = TurnedMaskWidth(mask, r);
  map.Height = TurnedMaskHeight(mask, r);
  map.Mask_ = mask;
  map.Mask_.Bitmap = nullptr;
  map.R_ = r & 3;
  map.EmbossStyle_ = job.EmbossStyle;
  map.WoodWidth_ = wood ? ClampInt(job.WoodWidth, 0, kReach) : 0;  // the codes of an area reach no further
  map.FramePiece_ = job.FramePiece >= 0 && job.FramePiece < job.PieceCount ? job.FramePiece : -1;
  map.Light_ = light;
  map.Wood_ = wood;
  map.CellsX_ = (map.Width + kCell - 1) / kCell;
  map.CellsY_ = (map.Height + kCell - 1) / kCell;
  map.BlocksX_ = (map.CellsX_ + kJoinBlock - 1) / kJoinBlock;
  map.BlockJoins_.resize(size_t(map.BlocksX_) * size_t((map.CellsY_ + kJoinBlock - 1) / kJoinBlock));
  map.Pieces_.resize(size_t(job.PieceCount));
  map.Looks_.resize(size_t(job.PieceCount));
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
  // Each cell's pieces in index order: counted, then placed.
  auto reach = [&map](const TEmbossMap::TPiece& m) {
    return TPieceBox{m.Box.X, m.Box.Y, m.Box.W + map.WoodWidth_, m.Box.H + map.WoodWidth_};
  };
  map.CellStart_.assign(size_t(map.CellsX_) * size_t(map.CellsY_) + 1, 0);
  for (int32_t i = 0; i < job.PieceCount; ++i)
    if (inside[size_t(i)])
      map.ForCells(reach(map.Pieces_[size_t(i)]),
                   [&map](size_t cell, int32_t, int32_t) { ++map.CellStart_[cell + 1]; });
  for (size_t c = 1; c < map.CellStart_.size(); ++c) map.CellStart_[c] += map.CellStart_[c - 1];
  map.CellPieces_.resize(size_t(map.CellStart_.back()));
  std::vector<int32_t> fill(map.CellStart_.begin(), map.CellStart_.end() - 1);
  for (int32_t i = 0; i < job.PieceCount; ++i)
    if (inside[size_t(i)])
      map.ForCells(reach(map.Pieces_[size_t(i)]),
                   [&](size_t cell, int32_t, int32_t) { map.CellPieces_[size_t(fill[cell]++)] = i; });
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

int32_t TEmbossMap::PartsOf(int32_t piece, TPieceBox parts[4]) const {
  const TPiece& m = Pieces_[size_t(piece)];
  TPieceBox drawn[4];
  const int32_t n =
      PieceDrawnParts(m.Near.W - WoodWidth_, m.Near.H - WoodWidth_, WoodWidth_, piece == FramePiece_, drawn);
  int32_t kept = 0;
  for (int32_t k = 0; k < n; ++k) {
    TPieceBox b{m.Near.X + drawn[k].X, m.Near.Y + drawn[k].Y, drawn[k].W, drawn[k].H};
    if (ClipBox(b, Width, Height)) parts[kept++] = b;
  }
  return kept;
}

size_t TEmbossMap::LookSize(int32_t piece) const {
  TPieceBox parts[4];
  size_t bytes = 0;
  for (int32_t k = 0, n = PartsOf(piece, parts); k < n; ++k) bytes += size_t(parts[k].W) * size_t(parts[k].H);
  return bytes;
}

// The light of the pieces with the code (all with -1) and the wood of the pieces of the class
// (all with -1; all wherever a join meets the area) over the area, which lies inside the map.
void TEmbossMap::WorkOut(const TPieceBox& area, int32_t code, int32_t patternClass, bool wood, TScratch& s) const {
  // What the passes read: the codes within reach of the area, their runs (with light only)
  // and the codes that occur.
  TCodes& codes = s.Codes;
  codes.Area = {area.X - kReach, area.Y - kReach, area.W + 2 * kReach, area.H + 2 * kReach};
  ClipBox(codes.Area, Width, Height);
  ReadCodes(codes, Mask_, R_);
  bool* present = s.Present;
  std::fill(present, present + 256, false);
  for (uint8_t c : codes.Bytes) present[c] = true;
  s.Pieces.clear();
  ForCells(area, [&](size_t cell, int32_t, int32_t) {
    s.Pieces.insert(s.Pieces.end(), CellPieces_.begin() + CellStart_[cell], CellPieces_.begin() + CellStart_[cell + 1]);
  });
  std::sort(s.Pieces.begin(), s.Pieces.end());
  s.Pieces.erase(std::unique(s.Pieces.begin(), s.Pieces.end()), s.Pieces.end());
  if (Light_) WorkOutLight(area, code, s);
  if (Wood_ && wood) WorkOutWood(area, patternClass, s);
}

// The light of the pieces with the code (all with -1) over the area, from the codes and pieces
// WorkOut found.
void TEmbossMap::WorkOutLight(const TPieceBox& area, int32_t code, TScratch& s) const {
  const TCodes& codes = s.Codes;
  const bool* present = s.Present;
  const size_t pixels = size_t(area.W) * size_t(area.H);
  s.Light.assign(pixels, uint8_t(kNoLight));
  bool any = false;
  for (int32_t i : s.Pieces) any |= (code < 0 || Pieces_[size_t(i)].Code == code) && present[Pieces_[size_t(i)].Code];
  if (any) {
    CountRuns(codes, s.Runs);
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
    const TRuns& runs = s.Runs;
    for (int32_t i : s.Pieces) {
      const TPiece& p = Pieces_[size_t(i)];
      const TPieceBox& box = p.Box;
      TPieceBox part = box;
      if ((code >= 0 && p.Code != code) || !present[p.Code] || !Intersect(part, area)) continue;
      for (int32_t y = part.Y; y < part.Y + part.H; ++y) {
        const int32_t up = y - box.Y, down = box.Y + box.H - 1 - y;
        const size_t at0 = size_t(y - codes.Area.Y) * size_t(codes.Area.W) + size_t(part.X - codes.Area.X);
        uint8_t* out = &s.Light[size_t(y - area.Y) * size_t(area.W) + size_t(part.X - area.X)];
        for (int32_t x = part.X, k = 0; x < part.X + part.W; ++x, ++k) {
          const size_t at = at0 + size_t(k);
          if (codes.Bytes[at] != p.Code) continue;
          const int32_t left = x - box.X, right = box.X + box.W - 1 - x;
          // Deep inside the piece and its box every walk runs its full length: no light.
          if (IntMin(IntMin(left, right), IntMin(up, down)) >= longest && runs.Shortest[at] >= longest) continue;
          // How many steps stay inside the box in each direction.
          const int32_t room[8] = {
              left, up, right, down, IntMin(left, up), IntMin(right, up), IntMin(right, down), IntMin(left, down)};
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
}

// The wood of the pieces of the class (all with -1; all wherever a join meets the area) over the
// area, the joins so far applied.
void TEmbossMap::WorkOutWood(const TPieceBox& area, int32_t patternClass, TScratch& s) const {
  const TCodes& codes = s.Codes;
  const bool* present = s.Present;
  const size_t pixels = size_t(area.W) * size_t(area.H);
  s.Wood.assign(pixels, 0u);
  // Every join so far that meets the area, in the order they were made. A join reads the wood
  // of every class where it lies, so there all pieces count.
  s.Joins.clear();
  {
    const int32_t bx0 = area.X / kCell / kJoinBlock, bx1 = (area.X + area.W - 1) / kCell / kJoinBlock;
    const int32_t by0 = area.Y / kCell / kJoinBlock, by1 = (area.Y + area.H - 1) / kCell / kJoinBlock;
    for (int32_t by = by0; by <= by1; ++by)
      for (int32_t bx = bx0; bx <= bx1; ++bx)
        for (int32_t j : BlockJoins_[size_t(by) * size_t(BlocksX_) + size_t(bx)]) {
          TPieceBox reach = Joins_[size_t(j)].Reach;
          if (Intersect(reach, area)) s.Joins.push_back(j);
        }
    std::sort(s.Joins.begin(), s.Joins.end());
    s.Joins.erase(std::unique(s.Joins.begin(), s.Joins.end()), s.Joins.end());
  }
  const int32_t only = s.Joins.empty() ? patternClass : -1;
  const int32_t ww = WoodWidth_;
  // Beyond the wood width: no depth.
  const uint8_t none = uint8_t(ww + 1);
  s.Steps.resize(2 * (size_t(area.W) + kReach + 1));
  for (int32_t i : s.Pieces) {
    const TPiece& p = Pieces_[size_t(i)];
    if (p.Class < 0 || (only >= 0 && p.Class != only) || !present[p.Code]) continue;
    const TPieceBox& box = p.Box;
    // Each pixel of the box grown by the wood width takes the smallest shift d at which the
    // piece's silhouette covers it: the pixel d up and d left is the piece's, inside its box.
    TPieceBox part{box.X, box.Y, box.W + ww, box.H + ww};
    if (!Intersect(part, area)) continue;
    // Row by row down each diagonal, the steps since it last met the piece: from the wood
    // width above and left of the part on, and never before the box.
    const int32_t x0 = IntMax(part.X - ww, box.X), y0 = IntMax(part.Y - ww, box.Y);
    const int32_t columns = part.X + part.W - x0;
    const int32_t inBox = ClampInt(box.X + box.W - x0, 0, columns);
    // Entry 0 stands for the column before x0, which no diagonal comes in from.
    uint8_t* above = s.Steps.data();
    uint8_t* here = above + columns + 1;
    std::fill(above, above + columns + 1, none);
    here[0] = none;
    for (int32_t y = y0; y < part.Y + part.H; ++y) {
      const int32_t body = y < box.Y + box.H ? inBox : 0;
      const uint8_t* code = codes.Row(x0, y);
      for (int32_t k = 0; k < body; ++k) {
        const uint8_t step = uint8_t(IntMin(above[k] + 1, none));
        here[k + 1] = code[k] == p.Code ? uint8_t(0) : step;
      }
      for (int32_t k = body; k < columns; ++k) here[k + 1] = uint8_t(IntMin(above[k] + 1, none));
      if (y >= part.Y) {
        uint32_t* out = &s.Wood[size_t(y - area.Y) * size_t(area.W) + size_t(part.X - area.X)];
        const uint8_t* depth = here + 1 + (part.X - x0);
        for (int32_t k = 0; k < part.W; ++k)
          if (depth[k] <= ww) SetWoodField(out[k], p.Class, uint32_t(depth[k]) + 1);
      }
      std::swap(above, here);
    }
  }
  for (int32_t j : s.Joins) JoinInArea(Joins_[size_t(j)], s.Wood.data(), area);
}

void TEmbossMap::WorkOutLook(int32_t piece, uint8_t* look, TScratch& s, const TPieceBox* only) const {
  const TPiece& m = Pieces_[size_t(piece)];
  const bool wood = Wood_ && m.Class >= 0;
  TPieceBox parts[4];
  const int32_t n = PartsOf(piece, parts);
  for (int32_t k = 0; k < n; look += size_t(parts[k].W) * size_t(parts[k].H), ++k) {
    TPieceBox part = parts[k];
    if (only && !Intersect(part, *only)) continue;
    // What an area holds does not depend on the area around it: a long band of the frame is
    // worked out a piece at a time, so that what is read for it stays small.
    for (int32_t y0 = part.Y; y0 < part.Y + part.H; y0 += kChunk)
      for (int32_t x0 = part.X; x0 < part.X + part.W; x0 += kChunk) {
        const TPieceBox area{x0, y0, IntMin(kChunk, part.X + part.W - x0), IntMin(kChunk, part.Y + part.H - y0)};
        WorkOut(area, m.Code, m.Class, wood, s);
        // The piece's own pixels show their light, the others its wood.
        for (int32_t y = area.Y; y < area.Y + area.H; ++y) {
          const uint8_t* code = s.Codes.Row(area.X, y);
          const size_t row = size_t(y - area.Y) * size_t(area.W);
          const uint8_t* light = Light_ ? &s.Light[row] : nullptr;
          const uint32_t* woods = wood ? &s.Wood[row] : nullptr;
          uint8_t* out = look + size_t(y - parts[k].Y) * size_t(parts[k].W) + size_t(area.X - parts[k].X);
          for (int32_t x = 0; x < area.W; ++x) {
            if (code[x] == m.Code)
              out[x] = light ? light[x] : uint8_t(kNoLight);
            else
              out[x] = woods ? uint8_t(WoodField(woods[x], m.Class)) : uint8_t(0);
          }
        }
      }
  }
}

bool TEmbossMap::HasLook(int32_t piece) const {
  return piece >= 0 && size_t(piece) < Looks_.size() && Looks_[size_t(piece)] != nullptr;
}

void TEmbossMap::DropLook(int32_t piece) {
  if (!HasLook(piece)) return;
  Looks_[size_t(piece)].reset();
  LookBytes_ -= LookSize(piece);
}

void TEmbossMap::Rebuild(int32_t piece, TScratch& s, const TPieceBox* only) {
  std::unique_ptr<uint8_t[]>& look = Looks_[size_t(piece)];
  if (!look) {
    const size_t bytes = LookSize(piece);
    // A piece that draws nothing here still has a look, so that it is worked out once.
    look.reset(new uint8_t[std::max<size_t>(bytes, 1)]);
    LookBytes_ += bytes;
    only = nullptr;
  }
  WorkOutLook(piece, look.get(), s, only);
  ++LooksBuilt_;
}

TEmbossMap::TLookPart TEmbossMap::LookPart(int32_t piece, int32_t x, int32_t y) {
  if (piece < 0 || size_t(piece) >= Looks_.size()) return {nullptr, {0, 0, 0, 0}};
  if (!Looks_[size_t(piece)]) {
    if (!Scratch_) Scratch_ = std::make_unique<TScratch>();
    Rebuild(piece, *Scratch_);
  }
  TPieceBox parts[4];
  const uint8_t* at = Looks_[size_t(piece)].get();
  for (int32_t k = 0, n = PartsOf(piece, parts); k < n; ++k) {
    if (BoxHolds(parts[k], x, y)) return {at, parts[k]};
    at += size_t(parts[k].W) * size_t(parts[k].H);
  }
  return {nullptr, {0, 0, 0, 0}};
}

void TEmbossMap::BuildLooks(const std::vector<int32_t>& pieces, int32_t threads) {
  std::vector<int32_t> todo;
  for (int32_t p : pieces)
    if (p >= 0 && size_t(p) < Looks_.size() && !Looks_[size_t(p)]) todo.push_back(p);
  std::sort(todo.begin(), todo.end());
  todo.erase(std::unique(todo.begin(), todo.end()), todo.end());
  if (todo.empty()) return;
  // The largest first (the frame's bands are worth dozens of pieces), so that no thread is
  // left with one at the end.
  std::vector<size_t> sizes(todo.size());
  for (size_t k = 0; k < todo.size(); ++k) sizes[k] = LookSize(todo[k]);
  std::vector<size_t> order(todo.size());
  for (size_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  // The memory comes from this thread, so that looks a helper worked out go back where this
  // thread finds them again.
  for (size_t k = 0; k < todo.size(); ++k) {
    Looks_[size_t(todo[k])].reset(new uint8_t[std::max<size_t>(sizes[k], 1)]);
    LookBytes_ += sizes[k];
  }
  // Each look is worked out by one thread and reads only what the map set up: no locks.
  std::atomic<size_t> next{0};
  auto work = [&] {
    TScratch s;
    for (size_t k; (k = next.fetch_add(1)) < todo.size();) {
      const int32_t p = todo[order[k]];
      WorkOutLook(p, Looks_[size_t(p)].get(), s);
    }
  };
  try {
    RunAcross(IntMin(threads, int32_t(todo.size() / 8) + 1) - 1, work);
  } catch (...) {
    for (int32_t p : todo) DropLook(p);
    throw;
  }
  LooksBuilt_ += todo.size();
}

// --- Joins ------------------------------------------------------------------------------------

void ClearJoinedWood(TEmbossMap& map, int32_t p, const std::vector<int32_t>& neighbours) {
  if (!map.Wood_ || neighbours.empty() || p < 0 || size_t(p) >= map.Pieces_.size()) return;
  if (map.Pieces_[size_t(p)].Class < 0) return;
  // A join changes only pixels where the piece's wood and a neighbour's both may lie: for the
  // frame, whose box is the whole picture, no more than its neighbour's.
  TPieceBox reach{0, 0, 0, 0};
  uint32_t classes = 1u << map.Pieces_[size_t(p)].Class;
  for (int32_t n : neighbours) {
    const TEmbossMap::TPiece& near = map.Pieces_[size_t(n)];
    TPieceBox both = map.Pieces_[size_t(p)].Near;
    if (near.Class < 0 || !Intersect(both, near.Near) || !ClipBox(both, map.Width, map.Height)) continue;
    classes |= 1u << near.Class;
    if (reach.W > 0) {
      const int32_t right = IntMax(reach.X + reach.W, both.X + both.W),
                    bottom = IntMax(reach.Y + reach.H, both.Y + both.H);
      reach.X = IntMin(reach.X, both.X);
      reach.Y = IntMin(reach.Y, both.Y);
      reach.W = right - reach.X;
      reach.H = bottom - reach.Y;
    } else {
      reach = both;
    }
  }
  if (reach.W <= 0) return;
  map.Joins_.push_back({p, neighbours, reach});
  const int32_t j = int32_t(map.Joins_.size()) - 1;
  std::vector<int32_t> blocks, meeting;
  map.ForCells(reach, [&](size_t cell, int32_t cx, int32_t cy) {
    blocks.push_back(cy / kJoinBlock * map.BlocksX_ + cx / kJoinBlock);
    if (map.LooksBuilt_ > 0)
      meeting.insert(meeting.end(), map.CellPieces_.begin() + map.CellStart_[cell],
                     map.CellPieces_.begin() + map.CellStart_[cell + 1]);
  });
  std::sort(blocks.begin(), blocks.end());
  blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  for (int32_t b : blocks) map.BlockJoins_[size_t(b)].push_back(j);
  // The join changes the wood of its pieces' classes there: the looks that show that wood are
  // worked out again there now, not when next drawn.
  if (map.LooksBuilt_ == 0) return;
  std::sort(meeting.begin(), meeting.end());
  meeting.erase(std::unique(meeting.begin(), meeting.end()), meeting.end());
  for (int32_t q : meeting) {
    const TEmbossMap::TPiece& m = map.Pieces_[size_t(q)];
    if (!map.Looks_[size_t(q)] || m.Class < 0 || !(classes >> m.Class & 1u)) continue;
    TPieceBox parts[4];
    bool meets = false;
    for (int32_t k = 0, n = map.PartsOf(q, parts); k < n; ++k) meets |= Intersect(parts[k], reach);
    if (!meets) continue;
    if (!map.Scratch_) map.Scratch_ = std::make_unique<TEmbossMap::TScratch>();
    map.Rebuild(q, *map.Scratch_, &reach);
  }
}

void TEmbossMap::JoinInArea(const TJoin& join, uint32_t* wood, const TPieceBox& area) const {
  const int32_t c = Pieces_[size_t(join.Piece)].Class;
  TPieceBox box = join.Reach;
  if (!Intersect(box, area)) return;
  for (int32_t y = box.Y; y < box.Y + box.H; ++y) {
    uint32_t* w = &wood[size_t(y - area.Y) * size_t(area.W) + size_t(box.X - area.X)];
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
          if (d == 0 || d < depthP)
            SetWoodField(*w, c, 1);
          else if (d > depthP)
            SetWoodField(*w, near.Class, 1);
        } else if (d > 0) {
          SetWoodField(*w, near.Class, 1);
        }
      }
    }
  }
}

// --- Reading ----------------------------------------------------------------------------------

bool TEmbossMap::Holds(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }

const TEmbossMap::TProbe& TEmbossMap::Probe(int32_t x, int32_t y) const {
  TPieceBox block{x / kProbe * kProbe, y / kProbe * kProbe, kProbe, kProbe};
  ClipBox(block, Width, Height);
  if (!Probe_) Probe_ = std::make_unique<TProbe>();
  TProbe& p = *Probe_;
  if (p.Area.W == 0 || p.Area.X != block.X || p.Area.Y != block.Y || p.Joins != Joins_.size()) {
    WorkOut(block, -1, -1, true, p.S);
    p.Area = block;
    p.Joins = Joins_.size();
  }
  return p;
}

uint8_t TEmbossMap::Light(int32_t x, int32_t y) const {
  if (!Holds(x, y) || !Light_) return uint8_t(kNoLight);
  const TProbe& p = Probe(x, y);
  return p.S.Light[size_t(y - p.Area.Y) * size_t(p.Area.W) + size_t(x - p.Area.X)];
}

uint16_t TEmbossMap::ClassBits(int32_t x, int32_t y) const {
  if (!Holds(x, y) || !Wood_) return 0;
  const TProbe& p = Probe(x, y);
  const uint32_t w = p.S.Wood[size_t(y - p.Area.Y) * size_t(p.Area.W) + size_t(x - p.Area.X)];
  uint16_t bits = 0;
  for (int32_t c = 0; c <= kFrameClass; ++c)
    if (WoodField(w, c) != 0) bits = uint16_t(bits | (1u << c));
  return bits;
}

uint32_t TEmbossMap::Depth(int32_t x, int32_t y, int32_t patternClass) const {
  if (!Holds(x, y) || !Wood_ || patternClass < 0 || patternClass > kFrameClass) return 0;
  const TProbe& p = Probe(x, y);
  const uint32_t f = WoodField(p.S.Wood[size_t(y - p.Area.Y) * size_t(p.Area.W) + size_t(x - p.Area.X)], patternClass);
  return f ? f - 1 : 0;
}

// --- The options dialog's sample ----------------------------------------------------------------

void DrawEmbossPreview(TDibImage& target, const TDibImage& mask, const TDibImage& picture, int32_t woodColor,
                       TWoodStyle woodStyle, TEmbossStyle embossStyle) {
  const int32_t w = IntMin(target.Width, IntMin(mask.Width, picture.Width));
  const int32_t h = IntMin(target.Height, IntMin(mask.Height, picture.Height));
  if (w <= 0 || h <= 0) return;
  auto inPiece = [&](int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < w && y < h && MaskCode(mask, x, y) == 0; };
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
        if (woodStyle == TWoodStyle::Wood) {
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
