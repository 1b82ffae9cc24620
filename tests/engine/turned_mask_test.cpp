#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "engine/emboss.h"
#include "engine/mask_codes.h"
#include "foundation/dib_image.h"

// A mask read through each quarter turn gives its code only for points on the turned mask:
// one step off any of its four sides reads as nothing, one step in reads the code.
TEST(TurnedMaskCode, OneStepOffAnySideOfEachTurnReadsNothing) {
  TDibImage mask;
  InitDib(mask);
  ASSERT_TRUE(CreateDib8(mask, 30 + kMaskMargin, 20 + kMaskMargin));
  for (int32_t y = 0; y < mask.Height; ++y)
    for (int32_t x = 0; x < mask.Width; ++x) SetDibPixel(mask, x, y, 7);
  for (int32_t r = 0; r < 4; ++r) {
    // The area without the margin strips: 30 x 20 unturned, 20 x 30 on a quarter turn.
    const int32_t w = r & 1 ? 20 : 30, h = r & 1 ? 30 : 20;
    const struct {
      int32_t x, y;
      uint8_t code;
    } cases[] = {{0, 0, 7},     {w - 1, h - 1, 7}, {w / 2, -1, 0}, {-1, h / 2, 0},
                 {w / 2, h, 0}, {w, h / 2, 0},     {0, -1, 0},     {-1, 0, 0}};
    for (const auto& c : cases) {
      // The unturned mask reads its margin strips too; the turns do not.
      const bool margin = r == 0 && (c.x == w || c.y == h);
      EXPECT_EQ(TurnedMaskCode(mask, r, c.x, c.y), margin ? 7 : c.code) << "turn " << r << " at " << c.x << "," << c.y;
    }
  }
  FreeDib(mask);
}

namespace {
// A mask whose every pixel has a code of its own (1 .. 255), and the code turn r shows at (x, y)
// worked out as r clockwise quarter turns of the unturned area, one after the other.
struct TNumberedMask {
  TDibHolder Mask;
  int32_t W, H;  // the area without the margin strips
  TNumberedMask(int32_t w, int32_t h) : W(w), H(h) {
    EXPECT_TRUE(CreateDib8(*Mask, w + kMaskMargin, h + kMaskMargin));
    for (int32_t y = 0; y < Mask->Height; ++y)
      for (int32_t x = 0; x < Mask->Width; ++x) SetDibPixel(*Mask, x, y, uint32_t(1 + y * Mask->Width + x));
  }
  uint8_t Expected(int32_t r, int32_t x, int32_t y) const {
    if (r == 0) return x < 0 || y < 0 || x >= Mask->Width || y >= Mask->Height ? 0 : uint8_t(GetDibPixel(*Mask, x, y));
    // One clockwise quarter turn more: (x, y) shows (y, h - 1 - x) of the turn before, whose
    // area is h high.
    const int32_t h = (r - 1) & 1 ? W : H;
    const int32_t w = (r - 1) & 1 ? H : W;
    if (x < 0 || y < 0 || x >= h || y >= w) return 0;
    return Expected(r - 1, y, h - 1 - x);
  }
};
}  // namespace

// Every turn shows each pixel of the area where r clockwise quarter turns put it, and a row read
// from any point walks the turned row up to its edge and no further.
TEST(TurnedMaskRow, EachTurnShowsTheAreaTurnedAndRowsEndAtItsEdge) {
  const TNumberedMask m(11, 7);
  for (int32_t r = 0; r < 4; ++r) {
    const int32_t tw = TurnedMaskWidth(*m.Mask, r), th = TurnedMaskHeight(*m.Mask, r);
    EXPECT_EQ(tw, (r & 1 ? 7 : 11) + kMaskMargin);
    EXPECT_EQ(th, (r & 1 ? 11 : 7) + kMaskMargin);
    for (int32_t y = -1; y <= th; ++y) {
      for (int32_t x = -1; x <= tw; ++x) {
        // A turn keeps the margin strips outside its area: they read as nothing.
        const bool area = r == 0 || (x < tw - kMaskMargin && y < th - kMaskMargin);
        const uint8_t want = area ? m.Expected(r, x, y) : 0;
        ASSERT_EQ(TurnedMaskCode(*m.Mask, r, x, y), want) << "turn " << r << " at " << x << "," << y;
        const TTurnedRow row = TurnedMaskRow(*m.Mask, r, x, y);
        if (want == 0) {
          EXPECT_LE(row.Inside, 0) << "turn " << r << " at " << x << "," << y;
          continue;
        }
        const int32_t end = r == 0 ? tw : tw - kMaskMargin;
        ASSERT_EQ(row.Inside, end - x) << "turn " << r << " at " << x << "," << y;
        const uint8_t* p = row.At;
        for (int32_t i = 0; i < row.Inside; ++i, p += row.Step) {
          ASSERT_EQ(*p, m.Expected(r, x + i, y)) << "turn " << r << " from " << x << "," << y << " step " << i;
        }
      }
    }
  }
}

// A piece's box on each turn holds exactly the turned positions of the piece's pixels.
TEST(PieceRotatedBounds, HoldsExactlyWhereTheTurnPutsThePiece) {
  const TNumberedMask m(12, 8);
  for (const auto& [px, py, pw, ph] : {std::tuple{0, 0, 12, 8}, std::tuple{2, 1, 3, 5}, std::tuple{9, 6, 3, 2}}) {
    TPieceRecord piece{};
    piece.PieceX = px, piece.PieceY = py, piece.PieceW = pw, piece.PieceH = ph;
    for (int32_t r = 0; r < 4; ++r) {
      const TPieceBox box = PieceRotatedBounds(piece, *m.Mask, r);
      const int32_t tw = TurnedMaskWidth(*m.Mask, r) - kMaskMargin, th = TurnedMaskHeight(*m.Mask, r) - kMaskMargin;
      for (int32_t y = 0; y < th; ++y) {
        for (int32_t x = 0; x < tw; ++x) {
          const int32_t code = m.Expected(r, x, y) - 1, ox = code % m.Mask->Width, oy = code / m.Mask->Width;
          const bool ofPiece = ox >= px && ox < px + pw && oy >= py && oy < py + ph;
          const bool inBox = x >= box.X && x < box.X + box.W && y >= box.Y && y < box.Y + box.H;
          ASSERT_EQ(inBox, ofPiece) << "turn " << r << " at " << x << "," << y << " piece " << px << "," << py;
        }
      }
    }
  }
}

// The codes of an area of a turn, the runs of equal codes from each pixel in the eight
// directions, and the shortest of them, against a walk pixel by pixel: areas inside and up to
// the edges of the turned mask, on a mask of few codes so runs of every length occur.
TEST(CountRuns, MatchesAWalkFromEveryPixelInEveryDirection) {
  uint32_t state = 77;
  const auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
  TDibHolder mask;
  ASSERT_TRUE(CreateDib8(*mask, 14 + kMaskMargin, 10 + kMaskMargin));
  for (int32_t y = 0; y < mask->Height; ++y)
    for (int32_t x = 0; x < mask->Width; ++x) SetDibPixel(*mask, x, y, next() % 4 == 0 ? 2u : 1u);
  emboss::TRuns runs;  // reused, as for the areas of a map, so no entry may be left unwritten
  for (int32_t r = 0; r < 4; ++r) {
    // Areas come clipped to the turned mask; on a turn, the margin strips read as code 0.
    const int32_t tw = TurnedMaskWidth(*mask, r), th = TurnedMaskHeight(*mask, r);
    for (const TPieceBox area :
         {TPieceBox{0, 0, 9, 6}, TPieceBox{3, 2, tw - 3, th - 2}, TPieceBox{0, 0, tw, th}, TPieceBox{1, 1, 1, 7}}) {
      emboss::TCodes codes;
      codes.Area = area;
      emboss::ReadCodes(codes, *mask, r);
      const auto code = [&](int32_t x, int32_t y) { return codes.Bytes[size_t(y * area.W + x)]; };
      for (int32_t y = 0; y < area.H; ++y) {
        for (int32_t x = 0; x < area.W; ++x) {
          ASSERT_EQ(code(x, y), TurnedMaskCode(*mask, r, area.X + x, area.Y + y))
              << "turn " << r << " at " << x << "," << y;
        }
      }
      emboss::CountRuns(codes, runs);
      ASSERT_EQ(runs.Size, area.W * area.H);
      for (int32_t y = 0; y < area.H; ++y) {
        for (int32_t x = 0; x < area.W; ++x) {
          int32_t shortest = emboss::kRun;
          for (int dir = 0; dir < 8; ++dir) {
            int32_t run = 0;
            for (int32_t k = 1; k <= emboss::kRun; ++k) {
              const int32_t nx = x + k * emboss::kDirX[dir], ny = y + k * emboss::kDirY[dir];
              if (nx < 0 || ny < 0 || nx >= area.W || ny >= area.H || code(nx, ny) != code(x, y)) break;
              run = k;
            }
            shortest = std::min(shortest, run);
            ASSERT_EQ(runs.Dir(dir)[y * area.W + x], run)
                << "turn " << r << " dir " << dir << " at " << x << "," << y << " area " << area.X << "," << area.Y;
          }
          ASSERT_EQ(runs.Shortest[size_t(y * area.W + x)], shortest) << "turn " << r << " at " << x << "," << y;
        }
      }
    }
  }
}

// Clearing a mask's light channels leaves its codes and does nothing to a mask of codes only.
TEST(ResetMaskChannels, ClearsTheLightOfEveryPixelAndKeepsTheCodes) {
  TDibHolder wide, narrow;
  ASSERT_TRUE(CreateDib24(*wide, 5, 3));
  ASSERT_TRUE(CreateDib8(*narrow, 5, 3));
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      SetDibPixel(*wide, x, y, (uint32_t(x + 7 * y) << 16) | 0xABCDu);
      SetDibPixel(*narrow, x, y, uint32_t(9 + x));
    }
  }
  ResetMaskChannels(*wide);
  ResetMaskChannels(*narrow);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const uint8_t* px = emboss::PixelAt(*wide, x, y);
      EXPECT_EQ(px[0], x + 7 * y) << x << "," << y;
      EXPECT_EQ(px[1], 0) << x << "," << y;
      EXPECT_EQ(px[2], kNoLight) << x << "," << y;
      EXPECT_EQ(GetDibPixel(*narrow, x, y), 0x010101 * (9 + x));
    }
  }
}
