#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "foundation/random.h"
#include "game/layout.h"
#include "game/piece_order.h"
#include "game/pieces.h"
#include "play_fixture.h"
#include "support/recording_host.h"

namespace {

TEST(RotateGroup, FourQuarterTurnsReturnAPieceToWhereItWas) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  const TPieceView view = TestView(0, 0, 10, 30, 700, 500);
  TPieceRecord& p = g.Pieces[4];  // the middle piece: 28 x 28 with its knob margins
  p.X = 200;
  p.Y = 150;
  UpdatePieceRotation(g, p);
  // Click inside the piece's body, at a point away from its centre.
  const int32_t fx = view.Client.Left + 200 + 9, fy = view.Client.Top + 150 + 13;
  for (bool clockwise : {true, false}) {
    std::vector<std::pair<int32_t, int32_t>> places;
    for (int turn = 0; turn < 4; ++turn) {
      places.emplace_back(p.X, p.Y);
      RotateGroup(g, view, fx, fy, clockwise);
      // The body under the pointer stays under the pointer after each turn.
      EXPECT_EQ(PieceAtPoint(g, view, fx, fy), 4);
    }
    EXPECT_EQ(p.X, 200);
    EXPECT_EQ(p.Y, 150);
    EXPECT_EQ(p.Rotation, 0);
    EXPECT_EQ(g.Play.HeldPiece, -1);  // a turn without a drag leaves nothing held
    // The four places differ: the piece really moved around the point.
    std::set<std::pair<int32_t, int32_t>> distinct(places.begin(), places.end());
    EXPECT_GT(distinct.size(), 1u);
  }
  // One turn each way cancels too.
  RotateGroup(g, view, fx, fy, true);
  EXPECT_EQ(p.Rotation, 1);
  RotateGroup(g, view, fx, fy, false);
  EXPECT_EQ(p.Rotation, 0);
  EXPECT_EQ(p.X, 200);
  EXPECT_EQ(p.Y, 150);
}

// During a drag the carried group turns wherever the pointer is, stays carried, and the
// drag's offsets follow the turn so that the next move keeps it under the pointer.
TEST(RotateGroup, DuringADragTheCarriedGroupTurnsAndStaysHeld) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 3, .Tile = 20, .Knob = 4, .Rotate = true});
  const TPieceView view = TestView(0, 0, 10, 30, 700, 500);
  TPieceRecord& p = g.Pieces[4];
  p.X = 200;
  p.Y = 150;
  g.Play.DragState = 1;
  g.Play.HeldPiece = 4;
  for (const int32_t fx : {10 + 200 + 9, 10 + 600}) {  // on the piece, then over empty space
    SCOPED_TRACE(fx);
    const int32_t fy = 30 + 150 + 13;
    const uint8_t before = p.Rotation;
    RotateGroup(g, view, fx, fy, true);
    EXPECT_EQ(p.Rotation, (before + 1) % 4);
    EXPECT_EQ(g.Play.HeldPiece, 4);
    EXPECT_EQ(g.Play.DragOffsetX, p.X - (fx - 10));
    EXPECT_EQ(g.Play.DragOffsetY, p.Y - (fy - 30));
    EXPECT_EQ(g.Play.DragOffsetX2, g.Play.DragOffsetX);
    EXPECT_EQ(g.Play.DragOffsetY2, g.Play.DragOffsetY);
  }
}

TEST(RotateGroup, TurnsTheWholeGroupAndNeverTheFrame) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 2, .Tile = 20, .Knob = 4, .Frame = true, .Rotate = true});
  AssemblePieces(g);
  const TPieceView view = TestView(0, 0, 0, 0, 800, 600);
  TRecordingHost host;
  g.Host = &host;
  // Pieces 0 and 1 form one group; a turn moves both and keeps them joined at their edge.
  g.Pieces[1].Group = g.Pieces[0].Group;
  const int32_t dx = g.Pieces[1].X - g.Pieces[0].X;
  const int32_t px = g.Pieces[0].CellX + 5, py = g.Pieces[0].CellY + 5;
  RotateGroup(g, view, px, py, true);
  EXPECT_EQ(g.Pieces[0].Rotation, 1);
  EXPECT_EQ(g.Pieces[1].Rotation, 1);
  // A clockwise turn puts the right neighbour below: its offset turns from (dx, 0) to (0, dx).
  EXPECT_EQ(g.Pieces[1].Y - g.Pieces[0].Y, dx);
  EXPECT_EQ(g.Pieces[2].Rotation, 0);
  EXPECT_EQ(host.Count("SetModified"), 1);
  EXPECT_EQ(host.Count("CheckSolved"), 1);

  // The frame's band: nothing turns, nothing is flagged.
  const int32_t frame = g.GameLevel.TotalTileNum - 1;
  ASSERT_EQ(PieceAtPoint(g, view, 3, 3), frame);
  RotateGroup(g, view, 3, 3, true);
  EXPECT_EQ(g.Pieces[size_t(frame)].Rotation, 0);
  EXPECT_EQ(host.Count("SetModified"), 1);
  // A piece joined to the frame does not turn either.
  g.Pieces[2].Group = g.Pieces[size_t(frame)].Group;
  RotateGroup(g, view, g.Pieces[2].CellX + 5, g.Pieces[2].CellY + 5, true);
  EXPECT_EQ(g.Pieces[2].Rotation, 0);
}

TEST(PieceAtPoint, TransparentPartsOfABoxHitThePieceBelow) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  AssemblePieces(g);
  const TPieceView view = TestView(0, 0, 50, 40, 600, 400);
  // Piece 1 is on top (higher group). Its box reaches 4 pixels into piece 0's cell.
  ASSERT_GT(g.Pieces[1].Group, g.Pieces[0].Group);
  ASSERT_EQ(g.Pieces[1].X, 16);
  // A point of piece 0's body inside piece 1's box (above the knob): piece 0.
  EXPECT_EQ(PieceAtPoint(g, view, 50 + 17, 40 + 1), 0);
  // Piece 0's knob lies inside piece 1's cell: still piece 0.
  EXPECT_EQ(PieceAtPoint(g, view, 50 + 21, 40 + 10), 0);
  // Piece 1's own body beside the knob.
  EXPECT_EQ(PieceAtPoint(g, view, 50 + 21, 40 + 2), 1);
  // Outside every piece, and outside the window's content.
  EXPECT_EQ(PieceAtPoint(g, view, 50 + 45, 40 + 10), -1);
  // A piece of another window is never hit.
  g.Pieces[0].Window = 2;
  EXPECT_EQ(PieceAtPoint(g, view, 50 + 5, 40 + 5), -1);
  g.Pieces[0].Window = 0;
  // Scrolling shifts content coordinates.
  TPieceView scrolled = view;
  scrolled.ScrollX = 10;
  EXPECT_EQ(PieceAtPoint(g, scrolled, 50 + 5, 40 + 5), 0);
  EXPECT_EQ(PieceAtPoint(g, scrolled, 50 + 30, 40 + 5), -1);
  // The order is ascending again afterwards.
  EXPECT_EQ(g.PieceOrder.front().Group, 0);
}

TEST(PieceAtPoint, ThroughAPocketWindowAndItsScrollOffsets) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 1, .Tile = 20, .Knob = 4});
  TSkinWindow pocket;
  InitSkinWindow(pocket, 100, 50, 200, 150, kSkinStylePocket);
  pocket.Index = 3;
  pocket.ScrollY = 30;
  const TPieceView view = PieceViewOf(pocket);
  EXPECT_EQ(view.Client.Left, pocket.Client.Left);
  EXPECT_EQ(view.Style, kSkinStylePocket);
  g.Pieces[1].Window = 3;
  g.Pieces[1].X = 10;
  g.Pieces[1].Y = 40;
  // Content (10 + 8, 40 + 5) shows at client (18, 15) with the view scrolled down by 30.
  const int32_t fx = pocket.Client.Left + 18, fy = pocket.Client.Top + 15;
  EXPECT_EQ(PieceAtPoint(g, view, fx, fy), 1);
  EXPECT_EQ(PieceAtPoint(g, view, fx, fy - 6), -1);
}

TEST(PieceAtPoint, TopmostOfOverlappingPiecesWins) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 20, .Knob = 4});
  const TPieceView view = TestView(0, 0, 0, 0, 600, 400);
  for (TPieceRecord& p : g.Pieces) p.X = p.Y = 100;  // all on one spot
  EXPECT_EQ(PieceAtPoint(g, view, 110, 110), 2);
  g.Play.HeldPiece = 0;
  RaiseGroups(g, false);
  g.Play.HeldPiece = -1;
  EXPECT_EQ(PieceAtPoint(g, view, 110, 110), 0);
}

std::vector<int32_t> DrawingOrder(TGameState& g) {
  SortPieces(g, false);
  std::vector<int32_t> order;
  for (const TPieceOrderEntry& e : g.PieceOrder) order.push_back(e.Index);
  return order;
}

TEST(Stacking, RaisingTheHeldGroupPutsItOnTop) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 2});
  // Groups: {0}, {1, 4}, {2}, {3}, {5} with ids as play leaves them (a gap at 4).
  g.Pieces[4].Group = 1;
  g.Play.HeldPiece = 4;
  RaiseGroups(g, false);
  EXPECT_EQ(g.Pieces[1].Group, 5);
  EXPECT_EQ(g.Pieces[4].Group, 5);
  EXPECT_EQ(g.Pieces[0].Group, 0);
  EXPECT_EQ(g.Pieces[2].Group, 1);
  EXPECT_EQ(g.Pieces[3].Group, 2);
  EXPECT_EQ(g.Pieces[5].Group, 4);
  const std::vector<int32_t> order = DrawingOrder(g);
  EXPECT_EQ(std::vector<int32_t>(order.begin(), order.begin() + 4), (std::vector<int32_t>{0, 2, 3, 5}));
  EXPECT_TRUE((order[4] == 1 && order[5] == 4) || (order[4] == 4 && order[5] == 1));
  // The weight group is never raised.
  g.Play.WeightGroup = 0;
  g.Play.HeldPiece = 0;
  RaiseGroups(g, false);
  EXPECT_EQ(g.Pieces[0].Group, 0);
}

TEST(Stacking, RaisingTheSelectionKeepsItsOrderAndLeavesNoGaps) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 2});
  // Groups with gaps: 0:{0}, 2:{1,2}, 3:{3}, 7:{4}, 9:{5}; select groups 0 and 3.
  const int32_t groups[6] = {0, 2, 2, 3, 7, 9};
  for (int32_t i = 0; i < 6; ++i) g.Pieces[size_t(i)].Group = groups[i];
  g.Pieces[0].Selected = g.Pieces[3].Selected = 1;
  RaiseGroups(g, true);
  EXPECT_EQ(g.Pieces[1].Group, 0);
  EXPECT_EQ(g.Pieces[2].Group, 0);
  EXPECT_EQ(g.Pieces[4].Group, 1);
  EXPECT_EQ(g.Pieces[5].Group, 2);
  EXPECT_EQ(g.Pieces[0].Group, 3);
  EXPECT_EQ(g.Pieces[3].Group, 4);
}

// On random groups far apart: the selection goes above the rest, each part keeps its order,
// pieces of a group stay together and the groups are numbered from 0 without gaps, as ranking
// (selected, old group) says.
TEST(Stacking, RaisingTheSelectionRanksItAboveTheRestWhateverTheGaps) {
  TGameState g;
  MakeTestGame(g, {.Cols = 4, .Rows = 3});
  TRandom rng;
  rng.RandSeed = 9;
  for (int32_t round = 0; round < 50; ++round) {
    std::vector<int32_t> groups(12);
    for (int32_t i = 0; i < 12; ++i) {
      const int32_t group = int32_t(rng.Random(4)) * 1700 + int32_t(rng.Random(3));
      groups[size_t(i)] = g.Pieces[size_t(i)].Group = group;
      g.Pieces[size_t(i)].Selected = uint8_t((group / 1700 + group % 1700) % 2);  // by group
    }
    std::set<std::pair<int32_t, int32_t>> ranked;  // (selected, old group)
    for (int32_t i = 0; i < 12; ++i) ranked.insert({g.Pieces[size_t(i)].Selected, groups[size_t(i)]});
    std::vector<int32_t> want(12);
    for (int32_t i = 0; i < 12; ++i)
      want[size_t(i)] =
          int32_t(std::distance(ranked.begin(), ranked.find({g.Pieces[size_t(i)].Selected, groups[size_t(i)]})));
    RaiseGroups(g, true);
    for (int32_t i = 0; i < 12; ++i) EXPECT_EQ(g.Pieces[size_t(i)].Group, want[size_t(i)]) << round << " piece " << i;
  }
}

TEST(Stacking, WeightGroupGoesToTheBottom) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 2});
  const int32_t groups[4] = {0, 1, 2, 2};
  for (int32_t i = 0; i < 4; ++i) g.Pieces[size_t(i)].Group = groups[i];
  g.Play.WeightGroup = 3;
  SendWeightGroupToBottom(g);
  EXPECT_EQ(g.Pieces[2].Group, 0);
  EXPECT_EQ(g.Pieces[3].Group, 0);
  EXPECT_EQ(g.Pieces[0].Group, 1);
  EXPECT_EQ(g.Pieces[1].Group, 2);
  EXPECT_TRUE(IsInWeightGroup(g, 2));
  EXPECT_FALSE(IsInWeightGroup(g, 0));
  // Raising a held piece of the weight group changes nothing.
  g.Play.HeldPiece = 2;
  RaiseGroups(g, false);
  EXPECT_EQ(g.Pieces[2].Group, 0);
  // Drawing order starts with the weight group; hit order ends with it.
  const std::vector<int32_t> order = DrawingOrder(g);
  EXPECT_TRUE(order[0] == 2 || order[0] == 3);
}

TEST(Drag, HeldRectCoversEveryCarriedBoxWithItsFrame) {
  struct {
    uint8_t WoodStyle;
    int32_t FrameWidth;
    int32_t Extra;  // how far the frame reaches past a piece's box
  } cases[] = {{0, 5, 0}, {1, 3, 3}, {2, 5, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.WoodStyle));
    TGameState g;
    MakeTestGame(g, {.Cols = 3, .Rows = 2, .Tile = 20, .Knob = 4});
    g.GameOptions.WoodStyle = TWoodStyle(c.WoodStyle);
    g.GameOptions.WoodFrameWidth = c.FrameWidth;
    TPieceView view = TestView(0, 0, 30, 40, 800, 600);
    view.ScrollX = 10;
    view.ScrollY = 5;
    const int32_t ox = 30 - 10, oy = 40 - 5;
    const int32_t at[6][2] = {{100, 100}, {160, 180}, {50, 300}, {400, 400}, {500, 20}, {600, 500}};
    for (size_t i = 0; i < 6; ++i) {
      g.Pieces[i].X = at[i][0];
      g.Pieces[i].Y = at[i][1];
    }
    g.Pieces[1].Group = g.Pieces[0].Group;  // carried with the held piece
    g.Pieces[2].Selected = true;            // carried as part of the selection
    g.Play.HeldPiece = 0;
    const TSkinRect r = HeldPiecesRect(g, view);
    EXPECT_EQ(r.Left, ox + 50);
    EXPECT_EQ(r.Top, oy + 100);
    EXPECT_EQ(r.Right, ox + 160 + g.Pieces[1].BoxW + c.Extra - 1);
    EXPECT_EQ(r.Bottom, oy + 300 + g.Pieces[2].BoxH + c.Extra - 1);
    EXPECT_EQ(r.Width, r.Right - r.Left + 1);
    EXPECT_EQ(r.Height, r.Bottom - r.Top + 1);
    // Every corner of a carried box is inside; pieces left behind are not.
    for (size_t i : {0u, 1u, 2u}) {
      const TPieceRecord& p = g.Pieces[i];
      EXPECT_TRUE(PointInSkinRect(r, ox + p.X, oy + p.Y));
      EXPECT_TRUE(PointInSkinRect(r, ox + p.X + p.BoxW - 1, oy + p.Y + p.BoxH - 1));
    }
    for (size_t i : {3u, 4u, 5u}) EXPECT_FALSE(PointInSkinRect(r, ox + at[i][0] + 1, oy + at[i][1] + 1));
  }
}

TEST(Drag, StartAndMoveCarryTheHeldGroup) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1, .Tile = 20, .Knob = 4});
  const TPieceView side = TestView(0, 0, 0, 0, 800, 600);
  const TPieceView pocket = TestView(2, 1, 600, 100, 150, 200);
  TRecordingHost host;
  g.Host = &host;
  for (int32_t i = 0; i < 3; ++i) {
    g.Pieces[size_t(i)].X = 100 + 50 * i;
    g.Pieces[size_t(i)].Y = 100;
  }
  g.Pieces[1].Group = 0;  // pieces 0 and 1 together
  g.Play.HeldPiece = PieceAtPoint(g, side, 105, 105);
  ASSERT_EQ(g.Play.HeldPiece, 0);
  StartDrag(g, side, 105, 105, false);
  EXPECT_EQ(g.Play.DragState, 1);
  EXPECT_EQ(g.Play.DragOffsetX, -5);
  EXPECT_EQ(g.Play.DragOffsetY2, -5);
  EXPECT_EQ(g.Pieces[0].Group, 2);  // raised to the top id
  EXPECT_EQ(host.Of("DragRedraw"), std::vector<std::string>{"DragRedraw 1"});
  EXPECT_EQ(g.Play.DragRect.Left, 100);
  EXPECT_EQ(g.Play.DragRect.Right, 150 + g.Pieces[1].BoxW - 1);

  MoveHeld(g, side, nullptr, 125, 95, false);
  EXPECT_EQ(g.Pieces[0].X, 120);
  EXPECT_EQ(g.Pieces[0].Y, 90);
  EXPECT_EQ(g.Pieces[1].X, 170);
  EXPECT_EQ(g.Pieces[2].X, 200);  // not in the group
  EXPECT_EQ(g.Play.DragRect.Left, 120);
  EXPECT_EQ(host.Count("PaintHeld"), 1);

  // Into the pocket: positions follow the pocket's content coordinates.
  MoveHeld(g, side, &pocket, 620, 130, false);
  EXPECT_EQ(g.Pieces[0].X, 15);
  EXPECT_EQ(g.Pieces[0].Y, 25);
  EXPECT_EQ(g.Pieces[0].Window, 2);
  EXPECT_EQ(g.Pieces[1].Window, 2);
  EXPECT_EQ(g.Pieces[2].Window, 0);
  EXPECT_EQ(host.Of("RefreshWindow"), (std::vector<std::string>{"RefreshWindow 0", "RefreshWindow 2"}));
  EXPECT_EQ(host.Of("ActivateWindow"), std::vector<std::string>{"ActivateWindow 2"});
  EXPECT_EQ(host.Count("DragRedraw 1"), 2);
}

TEST(MoveToOtherSide, SendsTheGroupOrTheSelection) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 1});
  const TPieceView first = TestView(0, 0, 0, 0, 800, 600);
  for (int32_t i = 0; i < 3; ++i) g.Pieces[size_t(i)].X = 100 * (i + 1);
  g.Pieces[1].Group = 0;
  MoveToOtherSide(g, first, 105, 5, false);
  EXPECT_EQ(g.Pieces[0].Window, 1);
  EXPECT_EQ(g.Pieces[1].Window, 1);
  EXPECT_EQ(g.Pieces[2].Window, 0);
  EXPECT_EQ(g.Play.HeldPiece, -1);
  // From the second side (or a pocket) the target is the first side.
  const TPieceView second = TestView(1, 0, 0, 0, 800, 600);
  g.Pieces[0].Selected = 1;
  MoveToOtherSide(g, second, 105, 5, true);
  EXPECT_EQ(g.Pieces[0].Window, 0);
  EXPECT_EQ(g.Pieces[1].Window, 1);
}

TEST(SolvedPercent, CountsGroups) {
  TGameState g;
  MakeTestGame(g, {.Cols = 4, .Rows = 1});
  EXPECT_EQ(SolvedPercent(g, false).Groups, 4);
  EXPECT_EQ(SolvedPercent(g, false).Percent, 0);
  g.Pieces[1].Group = g.Pieces[2].Group = g.Pieces[3].Group = 0;
  EXPECT_EQ(SolvedPercent(g, false).Groups, 0);
  EXPECT_EQ(SolvedPercent(g, false).Percent, 100);
  g.Pieces[3].Group = 3;  // two groups: one change
  EXPECT_EQ(SolvedPercent(g, false).Groups, 1);
  EXPECT_EQ(SolvedPercent(g, false).Percent, 75);
  EXPECT_EQ(SolvedPercent(g, true).Percent, 100);
  g.GameLoaded = false;
  EXPECT_EQ(SolvedPercent(g, false).Groups, -1);
  EXPECT_EQ(SolvedPercent(g, false).Percent, -1);
}

TEST(InitPiecesForPlay, OneDrawPerPieceOnlyWhenRotating) {
  for (bool rotate : {false, true}) {
    TGameState g;
    MakeTestGame(g, {.Cols = 3, .Rows = 2, .Frame = true, .Rotate = rotate});
    g.Rng.RandSeed = 4711;
    TRandom replay{4711};
    InitPiecesForPlay(g);
    for (int32_t i = 0; i < g.GameLevel.TotalTileNum; ++i) {
      const TPieceRecord& p = g.Pieces[size_t(i)];
      EXPECT_EQ(p.Group, i);
      EXPECT_EQ(p.Rotation, rotate ? replay.Random(4) : 0u);
      EXPECT_EQ(p.BoxW, p.Rotation % 2 ? p.PieceH : p.PieceW);
    }
    EXPECT_EQ(g.Rng.RandSeed, replay.RandSeed);
    if (!rotate) {
      EXPECT_EQ(g.Rng.RandSeed, 4711u);
    }
    PlaceFramePiece(g);
    const TPieceRecord& f = g.Pieces[size_t(g.GameLevel.TotalTileNum - 1)];
    EXPECT_EQ(f.Rotation, 0);
    EXPECT_EQ(f.X, (800 - g.GameLevel.ImageW) / 2);
    EXPECT_EQ(f.Y, (600 - g.GameLevel.ImageH) / 2);
  }
}

TEST(IsDistributedJigsaw, NamesMatchWhateverTheirCase) {
  const std::vector<std::string> list{"Autumn Lake.zvq", "Ölmühle.zvq"};
  EXPECT_TRUE(IsDistributedJigsaw(list, "autumn lake.ZVQ"));
  EXPECT_TRUE(IsDistributedJigsaw(list, "ÖLMÜHLE.zvq"));
  EXPECT_FALSE(IsDistributedJigsaw(list, "Autumn Lake"));
  EXPECT_FALSE(IsDistributedJigsaw(list, "Autumn  Lake.zvq"));
  EXPECT_FALSE(IsDistributedJigsaw({}, "Autumn Lake.zvq"));
}

}  // namespace

namespace {

// Only live pieces belong to the weight group: not the spare record past them, nor a piece
// number out of range, and no group at all when the weight group names no live piece.
TEST(Stacking, OnlyLivePiecesBelongToTheWeightGroup) {
  TGameState g;
  MakeTestGame(g, {.Cols = 2, .Rows = 2});
  const int32_t n = LivePieceCount(g);
  ASSERT_GT(g.Pieces.size(), size_t(n));
  for (TPieceRecord& p : g.Pieces) p.Group = 0;
  g.Play.WeightGroup = 1;
  for (int32_t i = 0; i < n; ++i) EXPECT_TRUE(IsInWeightGroup(g, i)) << i;
  for (int32_t piece : {-1, n, n + 7}) EXPECT_FALSE(IsInWeightGroup(g, piece)) << piece;
  for (int32_t weight : {-1, n}) {
    g.Play.WeightGroup = weight;
    EXPECT_FALSE(IsInWeightGroup(g, 0)) << weight;
  }
}

// The frame's group: every live piece joined to the frame, the first and the frame itself
// included, and nothing outside the live pieces; without a frame there is no such group.
TEST(Stacking, OnlyLivePiecesJoinedToTheFrameAreInItsGroup) {
  TGameState g;
  MakeTestGame(g, {.Cols = 3, .Rows = 2, .Tile = 20, .Knob = 4, .Frame = true});
  const int32_t n = LivePieceCount(g), frame = FramePieceIndex(g);
  ASSERT_EQ(frame, n - 1);
  for (int32_t i = 0; i < n; ++i) g.Pieces[size_t(i)].Group = i % 2 ? frame : 0;
  g.Pieces[size_t(frame)].Group = frame;
  for (int32_t i = 0; i < n; ++i) EXPECT_EQ(IsInFrameGroup(g, i), i % 2 == 1 || i == frame) << i;
  for (TPieceRecord& p : g.Pieces) p.Group = frame;
  for (int32_t piece : {-1, n, n + 7}) EXPECT_FALSE(IsInFrameGroup(g, piece)) << piece;
  EXPECT_TRUE(IsInFrameGroup(g, 0));
  g.GameLevel.BorderStyle = TBorderStyle::None;
  for (int32_t i = 0; i < n; ++i) EXPECT_FALSE(IsInFrameGroup(g, i)) << i;
}

}  // namespace
