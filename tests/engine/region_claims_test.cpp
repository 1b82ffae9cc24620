#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "engine/code_holes.h"
#include "engine/curves.h"
#include "engine/region_claims.h"
#include "foundation/dib_ops.h"
#include "foundation/random.h"

namespace {
// A white map with scattered pixels of a line colour and of a piece colour.
void MakeScattered(TDibHolder& map, int32_t w, int32_t h, uint32_t seed, uint32_t perMille) {
  ASSERT_TRUE(CreateDib24(*map, w, h));
  FillDibRect(*map, 0, 0, w, h, kWhite);
  TRandom rng;
  rng.RandSeed = seed;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if (rng.Random(1000) < perMille) SetDibPixel(*map, x, y, rng.Random(2) ? 0x000002 : PieceColor(150));
}
}  // namespace

// Claimed and painted at once, the map, the failed seeds and the painted boxes come out as
// flood fills from the seeds one after another give them: a seed whose region an earlier fill
// took fails, as does one off the white or off the map; a fill in white takes nothing. Bands
// of rows paint alike on one thread or four.
TEST(RegionClaims, PaintLikeFloodFillsInTurn) {
  const struct {
    int32_t w, h;
    uint32_t perMille;
  } maps[] = {{67, 41, 480}, {53, 300, 500}, {40, 257, 520}, {31, 600, 450}, {23, 1500, 450}};
  for (const auto& m : maps)
    for (int32_t helpers : {0, 3}) {
      SCOPED_TRACE(testing::Message() << m.w << "x" << m.h << " helpers " << helpers);
      TDibHolder filled, claimed;
      MakeScattered(filled, m.w, m.h, 7, m.perMille);
      MakeScattered(claimed, m.w, m.h, 7, m.perMille);
      TRandom rng;
      rng.RandSeed = 11;
      constexpr int32_t kFills = 120;
      TRegionClaims claims(*claimed, kFills);
      std::vector<bool> failedInTurn(kFills), failedClaimed(kFills);
      std::vector<TWinRect> fillBoxes(kFills);
      std::vector<uint32_t> colours(kFills);
      for (int32_t i = 0; i < kFills; ++i) {
        // Some seeds fall just off the map; every tenth fill is in white.
        const int32_t x = int32_t(rng.Random(uint32_t(m.w) + 2)) - 1, y = int32_t(rng.Random(uint32_t(m.h) + 2)) - 1;
        colours[size_t(i)] = i % 10 == 3 ? kWhite : PieceColor(25 * (1 + i % 9));
        failedInTurn[size_t(i)] = GetDibPixel(*filled, x, y) != int32_t(kWhite);
        if (!failedInTurn[size_t(i)]) FloodFillDib(*filled, x, y, colours[size_t(i)], true, fillBoxes[size_t(i)]);
        const int32_t region = claims.FreeRegion(x, y);
        failedClaimed[size_t(i)] = region < 0;
        if (region >= 0) claims.Take(region, i, colours[size_t(i)]);
      }
      const std::vector<TBoundsRect> boxes = claims.Paint(helpers);
      EXPECT_EQ(failedClaimed, failedInTurn);
      ASSERT_EQ(claimed->ImageSize, filled->ImageSize);
      EXPECT_EQ(std::memcmp(claimed->Bits, filled->Bits, size_t(filled->ImageSize)), 0);
      ASSERT_EQ(boxes.size(), size_t(kFills));
      int32_t painted = 0;
      for (int32_t i = 0; i < kFills; ++i) {
        const TBoundsRect& b = boxes[size_t(i)];
        if (failedInTurn[size_t(i)] || colours[size_t(i)] == kWhite) {
          EXPECT_GT(b.Left, b.Right) << "fill " << i;
          continue;
        }
        const TWinRect& f = fillBoxes[size_t(i)];
        EXPECT_EQ((std::vector{b.Left, b.Top, b.Right, b.Bottom}), (std::vector{f.left, f.top, f.right, f.bottom}))
            << "fill " << i;
        ++painted;
      }
      EXPECT_GT(painted, 10);
      EXPECT_LT(painted, kFills - 20);

      // The regions no fill took are the white left: the table a search of the map finds, also
      // with one of them filled after the paint and the picture narrower than the map.
      int32_t spare = -1, sx = 0, sy = 0;
      for (int32_t i = 0; i < m.w * m.h && spare < 0; ++i) {
        sx = i % m.w, sy = i / m.w;
        if (sx > m.w / 2 && sy > m.h / 2) spare = claims.FreeRegion(sx, sy);
      }
      ASSERT_GE(spare, 0);
      for (const int32_t except : {-1, spare}) {
        if (except >= 0) FloodFillDib(*claimed, sx, sy, PieceColor(5));
        for (auto [w, h] : {std::pair{m.w, m.h}, std::pair{m.w - 3, m.h - 2}}) {
          TWhiteRows searched, left;
          FindWhiteRows(*claimed, w, h, searched);
          left.Start(*claimed, w, h);
          claims.ForEachFreeRun(except, [&](int32_t y, int32_t x0, int32_t x1) { left.Add(y, x0, x1); });
          left.Finish();
          EXPECT_GT(searched.Runs.size(), 20u);
          EXPECT_EQ(left.Runs, searched.Runs) << w << "x" << h << " except " << except;
          EXPECT_EQ(left.RowStart, searched.RowStart);
          EXPECT_EQ(left.Tiles, searched.Tiles);
          EXPECT_EQ((std::pair{left.Width, left.Height}), (std::pair{searched.Width, searched.Height}));
        }
      }
    }
}
