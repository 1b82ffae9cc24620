#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/cut_cells.h"
#include "engine/grid_cut.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"

// These digests pin the cuts (the cell cuts as they were before they were tuned for speed): a
// replayed seed must give a saved game's pieces back, so no change may alter a byte of the map,
// a field of a record, a message, a progress step or the generator's state afterwards. Each
// value was recorded once; a change here is a change of behaviour.
namespace {

uint64_t Fnv(uint64_t h, const void* data, size_t n) {
  const auto* b = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) {
    h ^= b[i];
    h *= 0x100000001b3ull;
  }
  return h;
}

struct TPinnedCut {
  uint8_t Style;
  int32_t W, H, Level;
  bool Border;
  uint32_t Seed;
  bool Ok;
  uint64_t Digest;
};

uint64_t CutDigest(const TPinnedCut& c, bool& ok) {
  TLevelTable table{};
  const TBorderStyle border = c.Border ? TBorderStyle::Frame : TBorderStyle::None;
  BuildLevelTable(table, c.W, c.H, TShapeStyle(c.Style), border);
  TLevelRecord lv{};
  FillLevelFromGrid(lv, table[size_t(c.Level)]);
  lv.GameSeed = int32_t(c.Seed);
  lv.ImageW = c.W, lv.ImageH = c.H, lv.Level = c.Level, lv.BorderStyle = border, lv.ShapeStyle = TShapeStyle(c.Style);
  std::vector<TPieceRecord> pieces(size_t(lv.TotalTileNum) + 1);
  TDibHolder map;
  TKnobState knobs;
  TRandom rng{c.Seed};
  TProgress progress;
  std::vector<int> steps;
  std::vector<std::string> messages;
  progress.OnStep = [&](int pos, int) { steps.push_back(pos); };
  TCutTarget target{
      lv, pieces.data(), *map, rng, progress, knobs, [&](const std::string& m) { messages.push_back(m); }};
  const char* dir = std::getenv("ZORVA_DATA_DIR");
  if (IsGridStyle(TShapeStyle(c.Style))) {
    static TDibHolder templates;
    if (templates->Width == 0) LoadKnobTemplateImage(*templates);
    knobs.KnobTemplateImage = &*templates;
    CutJigsawGrid(target);
    ok = true;
  } else {
    ok = CutJigsawCells(target, std::string(dir ? dir : "data") + "/pic_zorva.dat");
  }
  uint64_t h = 0xcbf29ce484222325ull;
  if (map->Bits) h = Fnv(h, map->Bits, size_t(map->ImageSize));
  h = Fnv(h, pieces.data(), pieces.size() * sizeof(TPieceRecord));
  h = Fnv(h, &lv, sizeof lv);
  h = Fnv(h, &rng.RandSeed, sizeof rng.RandSeed);
  h = Fnv(h, steps.data(), steps.size() * sizeof(int));
  for (const std::string& m : messages) h = Fnv(h, m.data(), m.size() + 1);
  h = Fnv(h, &ok, 1);
  h = Fnv(h, &knobs.ActiveKnobCount, sizeof knobs.ActiveKnobCount);
  return h;
}

// Every style with and without a frame, single columns and a failed cut (its messages and
// fallback state pinned too).
constexpr TPinnedCut kPinned[] = {
    {0, 640, 480, 3, true, 77, true, 0x1042105b1c31cf97ull},
    {0, 483, 412, 3, false, 1249, true, 0x3c772786c5aab801ull},
    {0, 611, 380, 3, true, 243, true, 0xffa3d70078473267ull},    // a cell recoded where it meets its code
    {3, 422, 200, 2, false, 1010, true, 0xba9c5862b03369a9ull},  // cells joined next to a shape
    {0, 500, 25, 5, false, 515, false, 0x4e95bed35ad00bc3ull},
    {1, 800, 1000, 9, false, 1010, true, 0xa5ad9353e90df075ull},
    {1, 1024, 768, 5, true, 8, true, 0x6d92d3eeb0ffd25full},
    {2, 611, 380, 2, true, 1249, true, 0xa485e6f0b426c291ull},
    {2, 21, 400, 3, false, 8, true, 0xdc037173f00a6784ull},
    {3, 800, 1000, 5, true, 1249, true, 0xc397cf51b8197461ull},
    {3, 1024, 768, 3, false, 1, true, 0xa7fbe42cfa18da50ull},
    {4, 640, 480, 6, false, 4711, true, 0xc0502fde3d76a977ull},
    {4, 611, 380, 9, true, 77, true, 0x0700114e4f427301ull},
    {5, 483, 412, 4, false, 1249, true, 0x748ffddfba47d3feull},
    {5, 800, 600, 11, true, 8, true, 0x67a942f8e6797a6dull},
    {6, 1024, 768, 7, false, 2024, true, 0xd4be782fbc3557a2ull},
    {6, 257, 181, 2, true, 515, true, 0x00a9cccd64fc96eeull},
    {6, 21, 400, 0, false, 3, true, 0x225db4f2a6cd3245ull},
};

TEST(CutPinned, CutsStayByteForByteAsRecorded) {
  for (const TPinnedCut& c : kPinned) {
    bool ok = false;
    const uint64_t digest = CutDigest(c, ok);
    char name[96];
    std::snprintf(name, sizeof name, "style %d %dx%d level %d border %d seed %u", int(c.Style), c.W, c.H, c.Level,
                  int(c.Border), c.Seed);
    EXPECT_EQ(ok, c.Ok) << name;
    EXPECT_EQ(digest, c.Digest) << name << std::hex << ": 0x" << digest;
  }
}

}  // namespace
