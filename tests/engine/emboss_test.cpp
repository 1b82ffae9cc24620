#include "engine/emboss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "foundation/numeric.h"
#include "grid_pieces.h"

namespace {

// The hand-made cut with its unturned mask.
struct TGrid {
  TLevelRecord Level;
  std::vector<TPieceRecord> Pieces;
  TDibHolder Picture, Mask;
  explicit TGrid(const TTestCut& cut) { MakeTestCut(cut, Level, Pieces, *Picture, *Mask); }
  int32_t Count() const { return Level.TotalTileNum; }
  int32_t Frame() const { return Level.BorderStyle == TBorderStyle::Frame ? Count() - 1 : -1; }
};

// The wood reaches as far as the job's width says, a width below zero as none, even with a
// wood style set: down the diagonal off the lone piece's corner, step k is wood of depth k.
TEST(WoodMap, WoodReachesTheJobsWidthAndNoFurther) {
  TGrid g({.Cols = 1, .Rows = 1, .Tile = 20});
  for (const int32_t width : {-2, 0, 1, 2, 4}) {
    SCOPED_TRACE(width);
    TEmbossJob job;
    job.Pieces = g.Pieces.data();
    job.PieceCount = g.Count();
    job.TilePX = 20;
    job.WoodStyle = TWoodStyle::Wood;
    job.WoodWidth = width;
    TEmbossMap map;
    BuildEmbossMap(job, *g.Mask, map, 0);
    ASSERT_GT(map.Width, 24);
    ASSERT_GT(map.Height, 24);
    EXPECT_EQ(map.ClassBits(19, 19), 1);
    EXPECT_EQ(map.Depth(19, 19, 0), 0u);
    for (int32_t k = 1; k <= 5; ++k) {
      const bool wood = k <= width;
      EXPECT_EQ(map.ClassBits(19 + k, 19 + k), wood ? 1 : 0) << k;
      if (wood) {
        EXPECT_EQ(map.Depth(19 + k, 19 + k, 0), uint32_t(k)) << k;
      }
    }
  }
}

TEST(WoodMap, MaskChannelsReset) {
  TGrid g({.Cols = 1, .Rows = 1, .Tile = 20});
  DibPixelAddress(*g.Mask, 0, 0)[2] = 7;
  DibPixelAddress(*g.Mask, 3, 3)[1] = 77;
  ResetMaskChannels(*g.Mask);
  EXPECT_EQ(DibPixelAddress(*g.Mask, 0, 0)[2], 128);
  EXPECT_EQ(DibPixelAddress(*g.Mask, 3, 3)[1], 0);
  EXPECT_EQ(DibPixelAddress(*g.Mask, 3, 3)[0], g.Pieces[0].Code);
}

// The options dialog's sample: a 10 x 10 square piece at (5, 5) of a 30 x 30 image.
struct TPreview {
  TDibHolder target, mask, picture;
  TPreview() {
    CreateDib24(*target, 30, 30);
    CreateDib24(*mask, 30, 30);
    CreateDib24(*picture, 30, 30);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 30; ++x) {
        const bool in = x >= 5 && x < 15 && y >= 5 && y < 15;
        SetDibPixel(*mask, x, y, in ? 0 : 0xFFFFFF);
        SetDibPixel(*picture, x, y, 0x606060);
        SetDibPixel(*target, x, y, 0xC8C8C8);
      }
  }
};

// Every pixel a piece draws in its look holds what the whole map holds there: the light on the
// piece's own pixels, the wood of its class elsewhere. For every style and turn, with joined
// neighbours and a frame; looks worked out together over threads, one at a time as drawn, and
// again where joins made in play change them.
TEST(EmbossLooks, HoldWhatTheWholeMapHoldsWhereThePieceDraws) {
  TGrid g({.Cols = 7, .Rows = 5, .Tile = 20, .Knob = 4, .Frame = true, .Rotate = true});
  const TDibImage& mask = *g.Mask;
  const int32_t n = g.Count(), frame = g.Frame();
  // Joined as a loaded game holds them: pieces 8 and 9, 15 and 22.
  g.Pieces[9].Group = g.Pieces[8].Group;
  g.Pieces[22].Group = g.Pieces[15].Group;
  struct TCase {
    int32_t emboss, wood;
  };
  for (const TCase c : {TCase{3, 2}, TCase{1, 0}, TCase{0, 1}}) {
    TEmbossJob job;
    job.Pieces = g.Pieces.data();
    job.PieceCount = n;
    job.TilePX = 7;
    job.FramePiece = frame;
    job.EmbossStyle = TEmbossStyle(c.emboss);
    job.WoodStyle = TWoodStyle(c.wood);
    job.WoodWidth = WoodWidthForStyle(job.WoodStyle);
    const int32_t ww = job.WoodWidth;
    for (int32_t r = 0; r < 4; ++r) {
      SCOPED_TRACE(testing::Message() << "light " << c.emboss << " wood " << c.wood << " turn " << r);
      TEmbossMap together, alone;
      BuildEmbossMap(job, mask, together, r);
      BuildEmbossMap(job, mask, alone, r);
      std::vector<int32_t> all(static_cast<size_t>(n));
      for (int32_t i = 0; i < n; ++i) all[size_t(i)] = i;
      together.BuildLooks(all, 3);
      EXPECT_EQ(together.LooksBuilt(), uint64_t(n));
      // Joins in play after the looks were worked out: pieces 1 and 2, the frame and piece 3.
      if (c.wood)
        for (TEmbossMap* map : {&together, &alone}) {
          ClearJoinedWood(*map, 1, {2});
          ClearJoinedWood(*map, frame, {3});
        }
      int32_t differ = 0, lit = 0, wooded = 0;
      for (int32_t i = 0; i < n; ++i) {
        const TPieceRecord& p = g.Pieces[size_t(i)];
        const TPieceBox box = PieceRotatedBounds(p, mask, r);
        TPieceBox parts[4];
        for (int32_t k = 0, count = PieceDrawnParts(box.W, box.H, ww, i == frame, parts); k < count; ++k)
          for (int32_t y = IntMax(box.Y + parts[k].Y, 0); y < IntMin(box.Y + parts[k].Y + parts[k].H, alone.Height);
               ++y)
            for (int32_t x = IntMax(box.X + parts[k].X, 0); x < IntMin(box.X + parts[k].X + parts[k].W, alone.Width);
                 ++x) {
              const bool own = TurnedMaskCode(mask, r, x, y) == p.Code;
              uint32_t expected = alone.Light(x, y);
              if (!own)
                expected =
                    c.wood && alone.ClassBits(x, y) >> p.PatternClass & 1 ? alone.Depth(x, y, p.PatternClass) + 1 : 0;
              for (TEmbossMap* map : {&together, &alone}) {
                const TEmbossMap::TLookPart part = map->LookPart(i, x, y);
                ASSERT_NE(part.Bytes, nullptr) << i << " " << x << "," << y;
                differ += part.Bytes[(y - part.Area.Y) * part.Area.W + (x - part.Area.X)] != expected;
              }
              lit += own && expected != kNoLight;
              wooded += !own && expected > 1;
            }
      }
      EXPECT_EQ(differ, 0);
      EXPECT_EQ(lit > 0, c.emboss != 0);
      EXPECT_EQ(wooded > 0, c.wood != 0);
      EXPECT_EQ(alone.LooksBuilt(), uint64_t(n));
    }
  }
}

TEST(EmbossPreview, WoodAndLightOfTheSample) {
  TPreview p;
  DrawEmbossPreview(*p.target, *p.mask, *p.picture, 0x2040A0, TWoodStyle::Wood, TEmbossStyle::Paper);
  // Wood colour 0x2040A0 (red A0, green 40, blue 20), 10 darker per channel per step.
  EXPECT_EQ(GetDibPixel(*p.target, 15, 15), 0x2040A0);
  EXPECT_EQ(GetDibPixel(*p.target, 16, 10), 0x163696);
  EXPECT_EQ(GetDibPixel(*p.target, 17, 10), 0x0C2C8C);
  EXPECT_EQ(GetDibPixel(*p.target, 18, 10), 0xC8C8C8);  // beyond width 3
  EXPECT_EQ(GetDibPixel(*p.target, 4, 4), 0xC8C8C8);
  // Light, radius 2 in real steps: corner 20 + 20 + (2 - sqrt 2) * 40 + the two other
  // diagonals cancelling = 63.43, rounded 63.
  const int32_t corner = 0x60 + int32_t(std::nearbyint(40 + (2 - std::sqrt(2.0)) * 40));
  EXPECT_EQ(GetDibPixel(*p.target, 5, 5), MakeColor(corner, corner, corner));
  EXPECT_EQ(GetDibPixel(*p.target, 10, 10), 0x606060);  // deep inside: the picture
}

TEST(EmbossPreview, ShadowKeepsTheStatedParts) {
  TPreview p;
  DrawEmbossPreview(*p.target, *p.mask, *p.picture, 0, TWoodStyle::Shadows, TEmbossStyle::None);
  // Width 5, depth k keeps 128, 156, 184, 212, 240 parts in 256 of 200.
  const int32_t keep[5] = {128, 156, 184, 212, 240};
  for (int32_t k = 1; k <= 5; ++k) {
    const int32_t v = 200 * keep[k - 1] >> 8;
    EXPECT_EQ(GetDibPixel(*p.target, 14 + k, 10), MakeColor(v, v, v)) << k;
  }
  EXPECT_EQ(GetDibPixel(*p.target, 20, 10), 0xC8C8C8);
  // Emboss style 0: the piece shows the picture unchanged.
  EXPECT_EQ(GetDibPixel(*p.target, 5, 5), 0x606060);
}

}  // namespace

// A piece draws its box grown down and right by the wood; the frame only the ring of that box
// within a band (and the wood below and right of it) of the edges: every pixel of the ring once,
// none of the middle.
TEST(WoodMap, DrawnPartsCoverTheRingOnce) {
  for (const int32_t ww : {0, 3, 5})
    for (auto [bw, bh] : {std::pair{60, 50}, {100, 45}, {47, 80}}) {
      TPieceBox parts[4];
      ASSERT_EQ(PieceDrawnParts(bw, bh, ww, false, parts), 1);
      EXPECT_TRUE(parts[0].X == 0 && parts[0].Y == 0 && parts[0].W == bw + ww && parts[0].H == bh + ww);
      const int32_t n = PieceDrawnParts(bw, bh, ww, true, parts);
      int32_t wrong = 0;
      for (int32_t y = -1; y <= bh + ww; ++y)
        for (int32_t x = -1; x <= bw + ww; ++x) {
          int32_t cover = 0;
          for (int32_t k = 0; k < n; ++k)
            cover += x >= parts[k].X && x < parts[k].X + parts[k].W && y >= parts[k].Y && y < parts[k].Y + parts[k].H;
          const bool inBox = x >= 0 && y >= 0 && x < bw + ww && y < bh + ww;
          const int32_t inner = kFrameBand + ww;
          const bool middle = x >= inner && x < bw - kFrameBand && y >= inner && y < bh - kFrameBand;
          wrong += cover != (inBox && !middle ? 1 : 0);
        }
      EXPECT_EQ(wrong, 0) << bw << " x " << bh << " wood " << ww;
    }
}

// A piece has a look once it is drawn and until it turns away; dropping the look gives back its
// bytes. Pieces the map does not hold never have one, and dropping theirs changes nothing.
TEST(EmbossLooks, KeptFromTheFirstDrawingUntilDroppedOnlyForThePiecesOfTheMap) {
  TGrid g({.Cols = 3, .Rows = 2, .Tile = 20});
  const int32_t n = g.Count();
  TEmbossJob job;
  job.Pieces = g.Pieces.data();
  job.PieceCount = n;
  job.TilePX = 3;
  job.EmbossStyle = TEmbossStyle(1);
  TEmbossMap map;
  BuildEmbossMap(job, *g.Mask, map, 0);
  for (const int32_t p : {-1, n, n + 1}) {
    EXPECT_FALSE(map.HasLook(p)) << p;
  }
  size_t bytes = 0;
  for (int32_t i = 0; i < n; ++i) {
    EXPECT_FALSE(map.HasLook(i)) << i;
    const TPieceRecord& p = g.Pieces[size_t(i)];
    ASSERT_NE(map.LookPart(i, p.PieceX, p.PieceY).Bytes, nullptr) << i;
    EXPECT_TRUE(map.HasLook(i)) << i;
    EXPECT_GT(map.LookBytes(), bytes) << i;
    bytes = map.LookBytes();
  }
  for (const int32_t p : {-1, n, n + 1}) {
    map.DropLook(p);
    EXPECT_EQ(map.LookBytes(), bytes) << p;
  }
  map.DropLook(1);
  EXPECT_FALSE(map.HasLook(1));
  EXPECT_TRUE(map.HasLook(0) && map.HasLook(2));
  const size_t afterOne = map.LookBytes();
  EXPECT_LT(afterOne, bytes);
  map.DropLook(1);  // a second time: nothing left to give back
  EXPECT_EQ(map.LookBytes(), afterOne);
  for (int32_t i = 0; i < n; ++i) map.DropLook(i);
  EXPECT_EQ(map.LookBytes(), 0u);
  EXPECT_EQ(map.LooksBuilt(), uint64_t(n));
}

// Joining two pieces clears the wood where they meet: none over the other's body, and where the
// two wood frames overlap only the shallower stays (both where they are equally deep). Every
// other pixel keeps what it had; either way round, on each turn.
TEST(WoodMap, AJoinKeepsOnlyTheShallowerWoodWhereThePiecesMeet) {
  TGrid g({.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  TEmbossJob job;
  job.Pieces = g.Pieces.data();
  job.PieceCount = g.Count();
  job.TilePX = 2;
  job.WoodStyle = TWoodStyle(2);
  job.WoodWidth = WoodWidthForStyle(job.WoodStyle);
  ASSERT_GT(job.WoodWidth, 1);
  for (int32_t r = 0; r < 4; ++r) {
    for (const auto& [p, q] : {std::pair{0, 1}, std::pair{1, 0}}) {
      TEmbossMap before, after;
      BuildEmbossMap(job, *g.Mask, before, r);
      BuildEmbossMap(job, *g.Mask, after, r);
      ClearJoinedWood(after, p, {q});
      const int32_t cp = g.Pieces[size_t(p)].PatternClass, cq = g.Pieces[size_t(q)].PatternClass;
      ASSERT_NE(cp, cq);
      const auto field = [](const TEmbossMap& m, int32_t x, int32_t y, int32_t c) {
        return m.ClassBits(x, y) >> c & 1 ? int32_t(m.Depth(x, y, c)) + 1 : 0;
      };
      int32_t met = 0, cleared = 0;
      for (int32_t y = 0; y < before.Height; ++y) {
        for (int32_t x = 0; x < before.Width; ++x) {
          int32_t fp = field(before, x, y, cp), fq = field(before, x, y, cq);
          if (fp && fq) {
            ++met;
            const int32_t dp = fp - 1, dq = fq - 1;
            if (dp > 0 && (dq == 0 || dq < dp))
              fp = 1;
            else if (dp > 0 && dq > dp)
              fq = 1;
            else if (dp == 0 && dq > 0)
              fq = 1;
          }
          ASSERT_EQ(field(after, x, y, cp), fp) << "turn " << r << " at " << x << "," << y;
          ASSERT_EQ(field(after, x, y, cq), fq) << "turn " << r << " at " << x << "," << y;
          cleared += fp != field(before, x, y, cp) || fq != field(before, x, y, cq);
        }
      }
      EXPECT_GT(met, 0);
      EXPECT_GT(cleared, 0);
    }
  }
}

// A map is set up only when there is light or wood to show and a mask to read: otherwise it
// stays empty, even where one was set up before.
TEST(WoodMap, NothingToShowOrNoMaskLeavesTheMapEmpty) {
  TGrid g({.Cols = 2, .Rows = 1, .Tile = 20});
  TDibHolder none;
  for (const auto& [emboss, wood, mask] :
       {std::tuple{0, 0, &*g.Mask}, std::tuple{1, 0, &*none}, std::tuple{0, 2, &*none}, std::tuple{1, 0, &*g.Mask},
        std::tuple{0, 2, &*g.Mask}}) {
    TEmbossJob job;
    job.Pieces = g.Pieces.data();
    job.PieceCount = g.Count();
    job.TilePX = 2;
    job.EmbossStyle = TEmbossStyle(emboss);
    job.WoodStyle = TWoodStyle(wood);
    job.WoodWidth = WoodWidthForStyle(job.WoodStyle);
    TEmbossMap map;
    TEmbossJob light = job;
    light.EmbossStyle = TEmbossStyle(1);
    BuildEmbossMap(light, *g.Mask, map, 1);  // a map set up before
    ASSERT_FALSE(map.Empty());
    BuildEmbossMap(job, *mask, map, 0);
    const bool shows = mask->Width > 0 && (emboss != 0 || wood != 0);
    EXPECT_EQ(map.Empty(), !shows) << emboss << " " << wood;
    EXPECT_EQ(map.HasLight(), shows && emboss != 0) << emboss << " " << wood;
    EXPECT_EQ(map.HasWood(), shows && wood != 0) << emboss << " " << wood;
    EXPECT_EQ(map.Width, shows ? g.Mask->Width : 0);
  }
}
