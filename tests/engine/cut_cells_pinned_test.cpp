#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/cut_cells.h"
#include "engine/knobs.h"
#include "foundation/level_table.h"

// These digests pin the cell cuts as they were before the cut was tuned for speed: a replayed
// seed must give a saved game's pieces back, so speed work may not change a byte of the map,
// a field of a record, a message, a progress step or the generator's state afterwards. Each
// value was recorded once from the untuned cut; a change here is a change of behaviour.
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
  BuildLevelTable(table, c.W, c.H, c.Style, c.Border ? 1 : 0);
  const TLevelGrid& g = table[size_t(c.Level)];
  TLevelRecord lv{};
  lv.GameSeed = int32_t(c.Seed);
  lv.MaskS = g.MaskS;
  lv.TileS = g.TileS;
  lv.KnobS = g.KnobS;
  lv.HalfKnobS = std::max(g.KnobS / 2, 4);
  lv.TilePX = g.TilePX;
  lv.TilePY = g.TilePY;
  lv.TileNum = g.TileNum;
  lv.TotalTileNum = g.TileNum;
  lv.ImageW = c.W;
  lv.ImageH = c.H;
  lv.Level = c.Level;
  lv.BorderStyle = c.Border ? 1 : 0;
  lv.ShapeStyle = c.Style;
  std::vector<TPieceRecord> pieces(size_t(lv.TotalTileNum) + 1);
  TDibHolder map;
  TKnobState knobs;
  TRandom rng{c.Seed};
  TProgress progress;
  std::vector<int> steps;
  std::vector<std::string> messages;
  progress.OnStep = [&](int pos, int) { steps.push_back(pos); };
  TCutTarget target{lv, pieces.data(), *map, rng, progress, knobs,
                    [&](const std::string& m) { messages.push_back(m); }};
  const char* dir = std::getenv("ZORVA_DATA_DIR");
  ok = CutJigsawCells(target, std::string(dir ? dir : "data") + "/pic_zorva.dat");
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

// Every style over sizes, levels, frames and seeds; among them a failed cut (its messages and
// fallback state pinned too), single rows and columns, recoded cells, one-sided edges and
// joins next to shapes.
constexpr TPinnedCut kPinned[] = {
    {0, 320, 240, 10, false, 1, true, 0xc1e5671a0ecb3261ull},
    {0, 640, 480, 3, true, 77, true, 0x1042105b1c31cf97ull},
    {0, 611, 380, 3, true, 243, true, 0xffa3d70078473267ull},
    {0, 483, 412, 3, false, 1249, true, 0x3c772786c5aab801ull},
    {0, 1024, 768, 8, false, 2024, true, 0x2b446f653356a48eull},
    {0, 257, 181, 13, true, 8, true, 0x8156cd71e08460ffull},
    {0, 500, 25, 5, false, 515, false, 0x4e95bed35ad00bc3ull},
    {0, 21, 400, 0, false, 77, true, 0xc38512e63122aea4ull},
    {1, 320, 240, 10, true, 2024, true, 0x4b2e2b110b348809ull},
    {1, 640, 480, 2, false, 1, true, 0xf2d16d95bcf03fa8ull},
    {1, 400, 300, 0, false, 77, true, 0x71252d0654c82ce0ull},
    {1, 422, 200, 5, true, 515, true, 0x0fdd6fd2e35dabd5ull},
    {1, 800, 1000, 9, false, 1010, true, 0xa5ad9353e90df075ull},
    {1, 300, 260, 12, true, 243, true, 0xa6db3c40d4b71008ull},
    {1, 500, 25, 0, false, 1, true, 0xe1ec749c8d6a44b1ull},
    {1, 1024, 768, 5, true, 8, true, 0x6d92d3eeb0ffd25full},
    {2, 320, 240, 10, false, 77, true, 0x80a9f972674d987eull},
    {2, 640, 480, 0, false, 1, true, 0x4aa62196b864910full},
    {2, 611, 380, 2, true, 1249, true, 0xa485e6f0b426c291ull},
    {2, 483, 412, 5, false, 2024, true, 0xd935367ca54515fbull},
    {2, 257, 181, 9, true, 1010, true, 0x8db2049e33e0a121ull},
    {2, 800, 1000, 8, true, 243, true, 0x426cbea0ebd7acd2ull},
    {2, 21, 400, 3, false, 8, true, 0xdc037173f00a6784ull},
    {2, 400, 300, 3, false, 515, true, 0x67b95d314f1a4e80ull},
    {3, 422, 200, 2, false, 1010, true, 0x4ab8a1eab6d3ce53ull},
    {3, 640, 480, 3, false, 77, true, 0x9709b7b81abe8987ull},
    {3, 611, 380, 2, true, 8, true, 0x344db4fc5807343bull},
    {3, 800, 1000, 5, true, 1249, true, 0x17d8e3be6b7ff77cull},
    {3, 400, 300, 0, false, 2024, true, 0x91e6081e4dab3355ull},
    {3, 320, 240, 8, true, 515, true, 0xc72a4a77b9e50861ull},
    {3, 1024, 768, 3, false, 1, true, 0xf923d4b84ae5d175ull},
    {3, 483, 412, 3, false, 243, true, 0x5d9bb5cc62d92a09ull},
    {3, 500, 25, 5, false, 515, false, 0x21435524d240773aull},
};

TEST(CutJigsawCellsPinned, CutsStayByteForByteAsRecorded) {
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
