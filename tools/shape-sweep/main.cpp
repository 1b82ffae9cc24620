// shape-sweep: cuts blank pictures with shape style 3 over a range of seeds and levels, as the
// game would, and counts what became of the picture shapes.
//
//   shape-sweep --size WxH --levels A-B --seeds A-B [--border] [--jobs N]
//
// One line per level: the cuts made, how many failed, and how many kept no shape though some
// were drawn (their repair failed three times, so they were cut again without), the cells
// flagged for a shape, the
// shapes placed, those erased by overlap and by the repair around them, and the shaped pieces
// the finished cuts hold. The cuts are independent; --jobs runs that many at once. The shape
// file is read as zorva-cut reads it ($ZORVA_DATA_DIR, else data/ beside the program).
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/cut_cells.h"
#include "engine/cut_target.h"
#include "engine/knobs.h"
#include "foundation/dib_image.h"
#include "foundation/level_table.h"

namespace {
struct TRange {
  long long First = 0, Last = -1;
};

bool ParseRange(const char* s, long long lo, long long hi, TRange& r) {
  if (!s) return false;
  char* end = nullptr;
  errno = 0;
  r.First = std::strtoll(s, &end, 10);
  if (errno || end == s) return false;
  r.Last = r.First;
  if (*end == '-') {
    const char* second = end + 1;
    r.Last = std::strtoll(second, &end, 10);
    if (errno || end == second) return false;
  }
  return !*end && r.First >= lo && r.Last <= hi && r.First <= r.Last;
}

struct TTally {
  int32_t Cuts = 0, Failed = 0, Bare = 0, Shaped = 0;
  TShapeCounts Counts;
};

struct TCut {
  int32_t Level;
  uint32_t Seed;
};

void CutOnce(int32_t w, int32_t h, bool border, const TCut& c, const std::string& shapes, TTally& t) {
  TLevelTable table{};
  const TBorderStyle frame = border ? TBorderStyle::Frame : TBorderStyle::None;
  BuildLevelTable(table, w, h, TShapeStyle::IrregularFigures, frame);
  TLevelRecord lv{};
  FillLevelFromGrid(lv, table[size_t(c.Level)]);
  lv.GameSeed = int32_t(c.Seed);
  lv.ImageW = lv.FitImageW = w;
  lv.ImageH = lv.FitImageH = h;
  lv.Level = c.Level;
  lv.BorderStyle = frame;
  lv.ShapeStyle = TShapeStyle::IrregularFigures;
  std::vector<TPieceRecord> pieces(size_t(lv.TotalTileNum) + 1);
  TDibHolder map, templates;
  TKnobState knobs;
  LoadKnobTemplateImage(*templates);
  knobs.KnobTemplateImage = &*templates;
  TRandom rng{c.Seed};
  TProgress progress;
  TCutTarget target{lv, pieces.data(), *map, rng, progress, knobs, [](const std::string&) {}};
  TShapeCounts counts;
  const bool ok = CutJigsawCells(target, shapes, &counts);
  ++t.Cuts;
  t.Failed += !ok;
  int32_t shaped = 0;
  for (int32_t i = 0; i < lv.TileNum; ++i) shaped += pieces[size_t(i)].ShapeFlag != 0;
  t.Shaped += shaped;
  t.Bare += counts.Placed > counts.ErasedByOverlap && shaped == 0;
  t.Counts.PatternCells += counts.PatternCells;
  t.Counts.Placed += counts.Placed;
  t.Counts.ErasedByOverlap += counts.ErasedByOverlap;
  t.Counts.ErasedByRepair += counts.ErasedByRepair;
}

std::string ShapeFilePath(const char* argv0) {
  if (const char* dir = std::getenv("ZORVA_DATA_DIR")) return std::string(dir) + "/pic_zorva.dat";
  const std::string self(argv0);
  const size_t slash = self.rfind('/');
  return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/data/pic_zorva.dat";
}

int Usage(const char* why) {
  std::fprintf(stderr,
               "shape-sweep: %s\nusage: shape-sweep --size WxH --levels A-B --seeds A-B [--border] "
               "[--jobs N]\n",
               why);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  int32_t w = 0, h = 0;
  TRange levels, seeds, jobs{1, 1};
  bool border = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--border") {
      border = true;
      continue;
    }
    ++i;
    if (a == "--size") {
      TRange ww, hh;
      const char* x = v ? std::strchr(v, 'x') : nullptr;
      if (!x || !ParseRange(std::string(v, x).c_str(), 1, 16384, ww) || !ParseRange(x + 1, 1, 16384, hh) ||
          ww.First != ww.Last || hh.First != hh.Last)
        return Usage("--size wants WxH, each 1 to 16384");
      w = int32_t(ww.First), h = int32_t(hh.First);
    } else if (a == "--levels") {
      if (!ParseRange(v, 0, kLevelCount - 1, levels)) return Usage("--levels wants A-B within 0-13");
    } else if (a == "--seeds") {
      if (!ParseRange(v, 0, 4294967295LL, seeds)) return Usage("--seeds wants A-B, 32-bit numbers");
    } else if (a == "--jobs") {
      if (!ParseRange(v, 1, 64, jobs) || jobs.First != jobs.Last) return Usage("--jobs wants 1 to 64");
    } else {
      return Usage(("unknown argument " + a).c_str());
    }
  }
  if (!w || levels.Last < 0 || seeds.Last < 0) return Usage("--size, --levels and --seeds are required");
  if (seeds.Last - seeds.First >= 100000) return Usage("at most 100000 seeds");

  const std::string shapes = ShapeFilePath(argv[0]);
  std::vector<TCut> cuts;
  for (long long l = levels.First; l <= levels.Last; ++l)
    for (long long s = seeds.First; s <= seeds.Last; ++s) cuts.push_back({int32_t(l), uint32_t(s)});
  // One tally per cut, summed per level at the end: the threads share nothing but the index.
  std::vector<TTally> tallies(cuts.size());
  std::atomic<size_t> next{0};
  std::vector<std::thread> workers;
  for (long long j = 0; j < jobs.First; ++j)
    workers.emplace_back([&] {
      for (size_t k; (k = next++) < cuts.size();) CutOnce(w, h, border, cuts[k], shapes, tallies[k]);
    });
  for (std::thread& t : workers) t.join();

  std::printf("%dx%d%s seeds %lld-%lld\n", w, h, border ? " border" : "", seeds.First, seeds.Last);
  std::printf("level\tcuts\tfailed\tbare\tpattern\tplaced\toverlap\trepair\tshaped\n");
  for (long long l = levels.First; l <= levels.Last; ++l) {
    TTally sum;
    for (size_t k = 0; k < cuts.size(); ++k) {
      if (cuts[k].Level != l) continue;
      const TTally& t = tallies[k];
      sum.Cuts += t.Cuts, sum.Failed += t.Failed, sum.Bare += t.Bare, sum.Shaped += t.Shaped;
      sum.Counts.PatternCells += t.Counts.PatternCells;
      sum.Counts.Placed += t.Counts.Placed;
      sum.Counts.ErasedByOverlap += t.Counts.ErasedByOverlap;
      sum.Counts.ErasedByRepair += t.Counts.ErasedByRepair;
    }
    std::printf("%lld\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", l, sum.Cuts, sum.Failed, sum.Bare, sum.Counts.PatternCells,
                sum.Counts.Placed, sum.Counts.ErasedByOverlap, sum.Counts.ErasedByRepair, sum.Shaped);
  }
  return 0;
}
