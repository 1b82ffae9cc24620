#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/numeric.h"
#include "foundation/picture_loading.h"
#include "game/solved_picture.h"
#include "play_fixture.h"
#include "support/temp_folder.h"

namespace {

constexpr int32_t kWhite = 0xFFFFFF;

int32_t PictureColor(int32_t x, int32_t y) {
  uint8_t bgr[3];
  TestPicturePixel(x, y, bgr);
  return MakeColor(bgr[2], bgr[1], bgr[0]);
}

struct TSolved {
  TGameState g;
  TDibHolder image;
  int32_t W = 0, H = 0;
  explicit TSolved(const TTestCut& cut) {
    MakeTestGame(g, cut);
    AssemblePieces(g);
    W = g.Images.PictureImages[0].Width;
    H = g.Images.PictureImages[0].Height;
  }
  bool Build(const std::vector<std::string>& lines = {"A harbour"}) {
    return BuildSolvedPicture(g, lines, "06/12/2026", *image);
  }
  int32_t At(int32_t x, int32_t y) const { return GetDibPixel(*image, x, y); }
  // Pixels of the rectangle that are not white.
  int32_t Inked(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
    int32_t n = 0;
    for (int32_t y = y0; y <= y1; ++y)
      for (int32_t x = x0; x <= x1; ++x) n += At(x, y) != kWhite;
    return n;
  }
};

TEST(SolvedPicture, AssembledPictureFramedInBlackAboveTwoWhiteBands) {
  TSolved s({.Cols = 3, .Rows = 2, .Tile = 20, .Knob = 4});
  ASSERT_TRUE(s.Build());
  const int32_t W = s.W, H = s.H;
  ASSERT_EQ(s.image->Width, W + 2);
  ASSERT_EQ(s.image->Height, H + 52);
  // Every picture pixel one in from the corner, whichever piece carries it.
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) ASSERT_EQ(s.At(x + 1, y + 1), PictureColor(x, y)) << x << "," << y;
  // The black frame and the black lines between and around the bands.
  for (int32_t y = 0; y < H + 52; ++y) {
    EXPECT_EQ(s.At(0, y), 0);
    EXPECT_EQ(s.At(W + 1, y), 0);
  }
  for (int32_t x = 0; x < W + 2; ++x) {
    EXPECT_EQ(s.At(x, 0), 0);
    EXPECT_EQ(s.At(x, H + 1), 0);
    EXPECT_EQ(s.At(x, H + 26), 0);
    EXPECT_EQ(s.At(x, H + 51), 0);
  }
  // The bands' first rows stay white: the text starts below them.
  for (int32_t x = 1; x <= W; ++x) {
    EXPECT_EQ(s.At(x, H + 2), kWhite);
    EXPECT_EQ(s.At(x, H + 27), kWhite);
  }
}

TEST(SolvedPicture, FramePieceAndWideCaptionsDrawn) {
  TSolved s({.Cols = 8, .Rows = 3, .Tile = 30, .Knob = 4, .Frame = true});
  ASSERT_TRUE(s.Build({"Sunset"}));
  const int32_t W = s.W, H = s.H;
  EXPECT_EQ(s.At(1, 1), PictureColor(0, 0));  // the frame's corner
  EXPECT_EQ(s.At(W, H), PictureColor(W - 1, H - 1));
  EXPECT_EQ(s.At(W / 2 + 1, H / 2 + 1), PictureColor(W / 2, H / 2));  // a piece inside
  // Title at x 10 in the first band; the second band has its text and the date at the right.
  EXPECT_GT(s.Inked(10, H + 4, 60, H + 24), 20);
  EXPECT_EQ(s.Inked(1, H + 3, 8, H + 25), 0);
  EXPECT_GT(s.Inked(10, H + 29, 120, H + 49), 20);
  EXPECT_GT(s.Inked(W - 60, H + 29, W - 9, H + 49), 10);
  EXPECT_EQ(s.Inked(W - 7, H + 28, W, H + 50), 0);  // the date ends before the last 8 pixels
}

TEST(SolvedPicture, NoPictureNoFile) {
  TGameState g;
  TDibHolder image;
  EXPECT_FALSE(BuildSolvedPicture(g, {}, "", *image));
  TTempFolder dir;
  const std::string path = dir.File("none.bmp");
  EXPECT_FALSE(SaveSolvedPicture(g, {}, "", path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace

namespace {

// The file name offered for the solved picture: the jigsaw's name with the picture's
// extension, whatever extension or folders the name carries.
TEST(SolvedPicture, OfferedFileNameTakesTheBitmapExtension) {
  const std::pair<const char*, const char*> cases[] = {{"dune-grass", "dune-grass.bmp"},
                                                       {"dune-grass.zvq", "dune-grass.bmp"},
                                                       {"a.b.sv1", "a.b.bmp"},
                                                       {"my.games/night", "my.games/night.bmp"},
                                                       {"my.games\\night", "my.games\\night.bmp"},
                                                       {"x/y.z", "x/y.bmp"},
                                                       {"", ".bmp"}};
  for (const auto& [name, file] : cases) EXPECT_EQ(SolvedPictureFileName(name), file) << name;
}

}  // namespace
