#include <gtest/gtest.h>

#include "engine/emboss.h"
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
    } cases[] = {{0, 0, 7},      {w - 1, h - 1, 7}, {w / 2, -1, 0}, {-1, h / 2, 0},
                 {w / 2, h, 0},  {w, h / 2, 0},     {0, -1, 0},     {-1, 0, 0}};
    for (const auto& c : cases) {
      // The unturned mask reads its margin strips too; the turns do not.
      const bool margin = r == 0 && (c.x == w || c.y == h);
      EXPECT_EQ(TurnedMaskCode(mask, r, c.x, c.y), margin ? 7 : c.code) << "turn " << r << " at " << c.x << "," << c.y;
    }
  }
  FreeDib(mask);
}
