#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "foundation/numeric.h"
#include "game/emboss_maps.h"
#include "game/piece_draw.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "play_fixture.h"
#include "session_fixture.h"

namespace {

constexpr uint32_t kGrey = 0x808080;

struct TDrawCase {
  TGameState g;
  TDibHolder target;
  TPieceView view = TestView(0, 0, 10, 10, 180, 80);
  TSkinRect all;

  explicit TDrawCase(const TTestCut& cut) {
    MakeTestGame(g, cut);
    AssemblePieces(g);
    CreateDib24(*target, 200, 100);
    Fill(kGrey);
    SetSkinRectBounds(all, 0, 0, 200, 100);
  }
  void Fill(uint32_t c) {
    for (int32_t y = 0; y < target->Height; ++y)
      for (int32_t x = 0; x < target->Width; ++x) SetDibPixel(*target, x, y, c);
  }
  int32_t At(int32_t x, int32_t y) const { return GetDibPixel(*target, x, y); }
  // The picture's colour at content (x, y) of the unturned, assembled game.
  static int32_t Picture(int32_t x, int32_t y) {
    uint8_t bgr[3];
    TestPicturePixel(x, y, bgr);
    return MakeColor(bgr[2], bgr[1], bgr[0]);
  }
};

TEST(DrawPiece, CopiesTheBodyAndLeavesTheRest) {
  TDrawCase c({.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 1);
  // Piece 1's body at content (25, 2) shows on the field at (35, 12).
  EXPECT_EQ(c.At(35, 12), TDrawCase::Picture(25, 2));
  EXPECT_EQ(c.At(10 + 39, 10 + 19), TDrawCase::Picture(39, 19));
  // Inside its box but on piece 0's knob or cell: untouched.
  EXPECT_EQ(c.At(10 + 21, 10 + 10), int32_t(kGrey));
  EXPECT_EQ(c.At(10 + 17, 10 + 2), int32_t(kGrey));
  // Outside the box.
  EXPECT_EQ(c.At(10 + 40, 10 + 2), int32_t(kGrey));
}

TEST(DrawPiece, SelectedPiecesAreInvertedAndLightIsAdded) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20});
  c.g.GameOptions.EmbossStyle = TEmbossStyle::Paper;
  RebuildEmbossMaps(c.g);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  // Light +63 at the top-left corner, -63 at the bottom-right (see the emboss tests).
  int32_t r, gr, b;
  SplitColor(uint32_t(TDrawCase::Picture(0, 0)), r, gr, b);
  EXPECT_EQ(c.At(10, 10), MakeColor(ClampChannel(r + 63), ClampChannel(gr + 63), ClampChannel(b + 63)));
  SplitColor(uint32_t(TDrawCase::Picture(19, 19)), r, gr, b);
  EXPECT_EQ(c.At(29, 29), MakeColor(ClampChannel(r - 63), ClampChannel(gr - 63), ClampChannel(b - 63)));
  EXPECT_EQ(c.At(15, 15), TDrawCase::Picture(5, 5));

  c.g.Pieces[0].Selected = 1;
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  SplitColor(uint32_t(TDrawCase::Picture(5, 5)), r, gr, b);
  EXPECT_EQ(c.At(15, 15), MakeColor(255 - r, 255 - gr, 255 - b));
}

TEST(DrawPiece, WoodColourDarkensWithDepth) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20});
  c.g.GameOptions.WoodStyle = TWoodStyle::Wood;
  c.g.GameOptions.WoodColor = 0x49687A;
  RebuildEmbossMaps(c.g);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  EXPECT_EQ(c.At(10 + 20, 10 + 20), 0x49687A);  // depth 1
  EXPECT_EQ(c.At(10 + 21, 10 + 10), 0x3F5E70);  // depth 2: 10 darker
  EXPECT_EQ(c.At(10 + 22, 10 + 10), 0x355466);  // depth 3: 20 darker
  EXPECT_EQ(c.At(10 + 23, 10 + 10), int32_t(kGrey));
  EXPECT_EQ(c.At(10, 10 + 20), int32_t(kGrey));
  // A dark wood stops at black channel by channel instead of wrapping round.
  c.g.GameOptions.WoodColor = MakeColor(10, 20, 5);
  RebuildEmbossMaps(c.g);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  EXPECT_EQ(c.At(10 + 21, 10 + 10), MakeColor(0, 10, 0));
  EXPECT_EQ(c.At(10 + 22, 10 + 10), MakeColor(0, 0, 0));
}

TEST(DrawPiece, ShadowKeepsPartsOfWhatLiesBelow) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20});
  c.g.GameOptions.WoodStyle = TWoodStyle::Shadows;
  RebuildEmbossMaps(c.g);
  c.Fill(0xC8C8C8);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  const int32_t keep[5] = {128, 156, 184, 212, 240};
  for (int32_t d = 1; d <= 5; ++d) {
    const int32_t v = 200 * keep[d - 1] >> 8;
    EXPECT_EQ(c.At(10 + 19 + d, 10 + 10), MakeColor(v, v, v)) << d;
  }
  EXPECT_EQ(c.At(10 + 25, 10 + 10), 0xC8C8C8);
}

TEST(DrawPiece, ClippedToTheWindowTheClipAndTheTarget) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20});
  // The client ends in the middle of the piece.
  c.view = TestView(0, 0, 10, 10, 8, 80);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  EXPECT_EQ(c.At(17, 15), TDrawCase::Picture(7, 5));
  EXPECT_EQ(c.At(18, 15), int32_t(kGrey));
  // A clip rectangle cuts the top.
  c.Fill(kGrey);
  c.view = TestView(0, 0, 10, 10, 180, 80);
  TSkinRect clip;
  SetSkinRectBounds(clip, 0, 20, 200, 80);
  DrawPieceClipped(c.g, *c.target, clip, c.view, 0);
  EXPECT_EQ(c.At(15, 19), int32_t(kGrey));
  EXPECT_EQ(c.At(15, 20), TDrawCase::Picture(5, 10));
  // A window reaching past the target: only the target's pixels are written.
  c.Fill(kGrey);
  c.view = TestView(0, 0, -15, 90, 400, 400);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  EXPECT_EQ(c.At(0, 90), TDrawCase::Picture(15, 0));
  EXPECT_EQ(c.At(4, 99), TDrawCase::Picture(19, 9));
  EXPECT_EQ(c.At(5, 99), int32_t(kGrey));
}

TEST(DrawPiece, NothingIsReadBeyondThePictureAtItsEdges) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20});
  // A mask whose margin strips carry the piece's code: the box widened by the wood width
  // reaches them, and there is no picture there to copy.
  TDibImage& mask = c.g.Images.PieceMasks[0];
  for (int32_t y = 0; y < mask.Height; ++y)
    for (int32_t x = 0; x < mask.Width; ++x)
      if (x >= 20 || y >= 20) DibPixelAddress(mask, x, y)[0] = c.g.Pieces[0].Code;
  c.g.GameOptions.WoodStyle = TWoodStyle::Shadows;
  c.g.GameOptions.WoodFrameWidth = 5;
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  EXPECT_EQ(c.At(10 + 19, 10 + 19), TDrawCase::Picture(19, 19));
  for (int32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(c.At(10 + 20 + k, 10 + 5), int32_t(kGrey));
    EXPECT_EQ(c.At(10 + 5, 10 + 20 + k), int32_t(kGrey));
  }
}

TEST(DrawPiece, TurnedPiecesShowTheTurnedPicture) {
  TDrawCase c({.Cols = 1, .Rows = 1, .Tile = 20, .Rotate = true});
  TPieceRecord& p = c.g.Pieces[0];
  p.Rotation = 1;
  UpdatePieceRotation(c.g, p);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, 0);
  // A clockwise turn puts the picture's top-left corner at the box's top-right.
  EXPECT_EQ(c.At(10 + 19, 10), TDrawCase::Picture(0, 0));
  EXPECT_EQ(c.At(10, 10), TDrawCase::Picture(0, 19));
}

TEST(DrawPiece, TheFrameIsItsBandOnly) {
  TDrawCase c({.Cols = 2, .Rows = 1, .Tile = 20, .Frame = true});
  const int32_t frame = c.g.GameLevel.TotalTileNum - 1;
  c.view = TestView(0, 0, 0, 0, 200, 100);
  DrawPieceClipped(c.g, *c.target, c.all, c.view, frame);
  EXPECT_EQ(c.At(0, 0), TDrawCase::Picture(0, 0));
  EXPECT_EQ(c.At(79, 59), TDrawCase::Picture(79, 59));
  EXPECT_EQ(c.At(10, 30), TDrawCase::Picture(10, 30));
  EXPECT_EQ(c.At(70, 30), TDrawCase::Picture(70, 30));
  EXPECT_EQ(c.At(30, 30), int32_t(kGrey));  // the cut area belongs to the pieces
  EXPECT_EQ(c.At(80, 30), int32_t(kGrey));
}

// Real cuts with light and wood, some neighbours joined as a loaded game holds them and one
// join made in play, every piece drawn alone over a patterned ground at every turn: the paint
// must stay exactly what it was when every turn's maps were built whole.
TEST(DrawPiece, RealCutsWithEveryEffectPaintAsPinned) {
  struct TPin {
    uint8_t Shape;
    int32_t Emboss, Wood;
    uint64_t Digest;
  };
  const TPin pins[] = {
      {4, 1, 2, 0x19d415a1bde1d37aull}, {3, 3, 1, 0x5797c420d400b3efull}, {1, 2, 2, 0xd9073a5ac119091eull}};
  TTempFolder dir;
  TTestSession s;
  SetupTestSession(s, dir);
  const std::string jigsaw = PackTestJigsaw(dir, "pin", 240, 180);
  for (const TPin& pin : pins) {
    SCOPED_TRACE(int(pin.Shape));
    TGameState& g = s.Game;
    g.GameOptions.EmbossStyle = TEmbossStyle(pin.Emboss);
    g.GameOptions.WoodStyle = TWoodStyle(pin.Wood);
    g.GameOptions.WoodColor = 0x3A6B8C;
    ASSERT_TRUE(OpenTestGame(s, jigsaw, 3, pin.Shape, true, true));
    const int32_t n = LivePieceCount(g), frame = FramePieceIndex(g);
    for (int32_t i = 0; i + 1 < n; i += 3)
      for (int16_t nb : g.Pieces[size_t(i)].Neighbours)
        if (nb > i && nb != frame) g.Pieces[size_t(nb)].Group = g.Pieces[size_t(i)].Group;
    g.Pieces[size_t(frame)].Group = g.Pieces[0].Group;
    RebuildEmbossMaps(g);
    const int32_t mover = n / 2, target = g.Pieces[size_t(mover)].Neighbours[0];
    ASSERT_GE(target, 0);
    MergeGroups(g, mover, g.Pieces[size_t(mover)].Group, g.Pieces[size_t(target)].Group);
    g.Pieces[size_t(mover)].Group = g.Pieces[size_t(target)].Group;
    TDibHolder field;
    ASSERT_TRUE(CreateDib24(*field, 260, 200));
    TSkinRect all;
    SetSkinRectBounds(all, 0, 0, 260, 200);
    const TPieceView view = TestView(0, 0, 0, 0, 260, 200);
    uint64_t digest = 14695981039346656037ull;
    for (uint8_t r = 0; r < 4; ++r)
      for (int32_t i = 0; i < n; ++i) {
        TPieceRecord& p = g.Pieces[size_t(i)];
        p.Rotation = i == frame ? 0 : r;
        p.Selected = i % 7 == 3;
        p.X = p.Y = 2;
        UpdatePieceRotation(g, p);
        for (int32_t y = 0; y < 200; ++y)
          for (int32_t x = 0; x < 260; ++x) SetDibPixel(*field, x, y, uint32_t(x * 5 + y * 3) * 0x10305u & 0xFFFFFF);
        DrawPieceClipped(g, *field, all, view, i);
        for (int32_t y = 0; y < 200; ++y) {
          const uint8_t* row = DibScanLine(*field, y);
          for (int32_t k = 0; k < 260 * 3; ++k) digest = (digest ^ row[k]) * 1099511628211ull;
        }
      }
    EXPECT_EQ(digest, pin.Digest) << std::hex << digest << " pieces " << std::dec << n;
  }
}

// A tour of the field as a player makes it: a small window scrolled over every piece where the
// open spread them, both sides, every view painted, joins made half-way. What it shows stays
// what the whole maps gave.
uint64_t TourDigest(TGameSession& s) {
  TGameState& g = s.Game;
  const int32_t n = LivePieceCount(g), frame = FramePieceIndex(g);
  int32_t right = 0, bottom = 0;
  for (int32_t i = 0; i < n; ++i) {
    TPieceRecord& p = g.Pieces[size_t(i)];
    if (i != frame) {
      p.Rotation = uint8_t(i % 4);
      p.Window = uint8_t(i % 5 == 1);
    }
    UpdatePieceRotation(g, p);
    right = std::max(right, p.X + p.BoxW);
    bottom = std::max(bottom, p.Y + p.BoxH);
  }
  constexpr int32_t kViewW = 96, kViewH = 72;
  TDibHolder field;
  EXPECT_TRUE(CreateDib24(*field, kViewW, kViewH));
  TSkinRect all;
  SetSkinRectBounds(all, 0, 0, kViewW, kViewH);
  uint64_t digest = 14695981039346656037ull;
  int32_t views = 0;
  for (int32_t side = 0; side < 2; ++side)
    for (int32_t y = 0; y < bottom; y += kViewH / 2)
      for (int32_t x = 0; x < right; x += kViewW / 2) {
        if (++views == 40) {
          // A join made in play, between views: built and unbuilt parts of the maps alike.
          for (int32_t i = 1; i + 1 < n; i += 4) {
            const int16_t nb = g.Pieces[size_t(i)].Neighbours[1];
            if (nb < 0 || nb == frame || g.Pieces[size_t(nb)].Group == g.Pieces[size_t(i)].Group) continue;
            MergeGroups(g, i, g.Pieces[size_t(i)].Group, g.Pieces[size_t(nb)].Group);
            g.Pieces[size_t(i)].Group = g.Pieces[size_t(nb)].Group;
          }
        }
        TPieceView view = TestView(side, 0, 0, 0, kViewW, kViewH);
        view.ScrollX = x;
        view.ScrollY = y;
        for (int32_t py = 0; py < kViewH; ++py)
          for (int32_t px = 0; px < kViewW; ++px)
            SetDibPixel(*field, px, py, uint32_t(px * 7 + py * 3) * 0x10203u & 0xFFFFFF);
        for (int32_t i = 0; i < n; ++i)
          if (g.Pieces[size_t(i)].Window == side) DrawPieceClipped(g, *field, all, view, i);
        for (int32_t py = 0; py < kViewH; ++py) {
          const uint8_t* row = DibScanLine(*field, py);
          for (int32_t k = 0; k < kViewW * 3; ++k) digest = (digest ^ row[k]) * 1099511628211ull;
        }
      }
  return digest;
}

TEST(DrawPiece, ATourOfTheWholeFieldPaintsAsPinned) {
  struct TPin {
    uint8_t Shape;
    int32_t Emboss, Wood;
    uint64_t Digest;
  };
  const TPin pins[] = {{4, 1, 2, 0x4458ceae846dcf89ull}, {3, 2, 1, 0x952653303053da1full}};
  TTempFolder dir;
  TTestSession s;
  SetupTestSession(s, dir);
  const std::string jigsaw = PackTestJigsaw(dir, "tour", 240, 180);
  for (const TPin& pin : pins) {
    SCOPED_TRACE(int(pin.Shape));
    s.Game.GameOptions.EmbossStyle = TEmbossStyle(pin.Emboss);
    s.Game.GameOptions.WoodStyle = TWoodStyle(pin.Wood);
    s.Game.GameOptions.WoodColor = 0x2B5C7D;
    ASSERT_TRUE(OpenTestGame(s, jigsaw, 2, pin.Shape, true, true));
    const uint64_t digest = TourDigest(s);
    EXPECT_EQ(digest, pin.Digest) << std::hex << digest;
  }
}

}  // namespace
