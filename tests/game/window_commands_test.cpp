#include <gtest/gtest.h>

#include "field_rig.h"
#include "game/window_commands.h"

namespace {

TSkinWindow& Pocket(TFieldRig& r, int32_t number) { return r.ws.GameWindows[size_t(number + 1)]; }

void ExpectBounds(const TSkinWindow& w, int32_t x, int32_t y, int32_t width, int32_t height) {
  EXPECT_EQ(w.Outer.Left, x);
  EXPECT_EQ(w.Outer.Top, y);
  EXPECT_EQ(w.Outer.Width, width);
  EXPECT_EQ(w.Outer.Height, height);
}

TEST(ShowPocket, AnEmptyPocketAloneGoesToTheTopRightCornerAQuarterOfTheField) {
  TFieldRig r(TTestCut{});
  r.host.Calls.clear();
  ShowPocket(r.f, 2, true);
  const TSkinWindow& p = Pocket(r, 1);
  EXPECT_TRUE(p.Visible);
  ExpectBounds(p, 600, 0, 200, 150);
  EXPECT_EQ(r.host.Of("PocketChanged"), std::vector<std::string>{"PocketChanged 2"});
  EXPECT_EQ(r.g.Play.RedrawKind, kRedrawField);
  ShowPocket(r.f, 2, false);
  EXPECT_FALSE(p.Visible);
}

TEST(ShowPocket, NextToTheLowestLeftOtherPocketKeptInsideTheField) {
  TFieldRig r(TTestCut{});
  r.ShowPocketAt(3, 500, 100, 200, 150);
  r.ShowPocketAt(4, 300, 50, 200, 150);  // further left but higher: not picked
  ShowPocket(r.f, 2, true);
  ExpectBounds(Pocket(r, 1), 460, 140, 200, 150);
  // A pocket low on the field: the new one is pulled back up inside it.
  TFieldRig low(TTestCut{});
  low.ShowPocketAt(5, 650, 500, 150, 100);
  ShowPocket(low.f, 2, true);
  ExpectBounds(Pocket(low, 1), 600, 450, 200, 150);
}

TEST(ShowPocket, APocketHoldingPiecesKeepsItsPlace) {
  TFieldRig r(TTestCut{});
  TSkinWindow& p = r.ShowPocketAt(2, 10, 20, 300, 200);
  SetSkinWindowVisible(r.ws, p, false);
  p.PieceCount = 3;
  ShowPocket(r.f, 2, true);
  EXPECT_TRUE(p.Visible);
  ExpectBounds(p, 10, 20, 300, 200);
}

TEST(TilePockets, ShowsPocketsHoldingPiecesAndStacksThemAtTheRightEdge) {
  TFieldRig r(TTestCut{});
  r.ShowPocketAt(2, 0, 0, 100, 100);
  r.ShowPocketAt(4, 50, 50, 100, 100);
  Pocket(r, 2).PieceCount = 2;  // hidden, holding pieces
  EXPECT_TRUE(TilePockets(r.f));
  ExpectBounds(Pocket(r, 1), 600, 0, 200, 200);
  ExpectBounds(Pocket(r, 2), 600, 200, 200, 200);
  ExpectBounds(Pocket(r, 3), 600, 400, 200, 200);
  EXPECT_FALSE(Pocket(r, 4).Visible);
  // The last one placed lies on top.
  EXPECT_EQ(r.ws.SkinWindowOrder.back(), &Pocket(r, 3));
}

TEST(CascadePockets, FourPocketsStepDownToTheRightEdge) {
  TFieldRig r(TTestCut{}, 1000, 700);
  for (int32_t i = 2; i <= 5; ++i) r.ShowPocketAt(i, 0, 0, 100, 100);
  EXPECT_TRUE(CascadePockets(r.f));
  for (int32_t k = 0; k < 4; ++k) ExpectBounds(Pocket(r, k + 1), 660 + 30 * k, 34 * k, 250, 564);
}

TEST(TilePockets, NothingWithoutVisibleOrFilledPockets) {
  TFieldRig r(TTestCut{});
  EXPECT_FALSE(TilePockets(r.f));
  EXPECT_FALSE(CascadePockets(r.f));
  for (int32_t i = 2; i <= 5; ++i) EXPECT_FALSE(r.ws.GameWindows[size_t(i)].Visible);
}

std::vector<TPieceOrderEntry> Order(std::initializer_list<int32_t> groups) {
  std::vector<TPieceOrderEntry> order;
  int32_t i = 0;
  for (int32_t g : groups) order.push_back({g, i++});
  return order;
}

TEST(LongestGroupRun, FirstLongestRunAndTheLastEntryRule) {
  int32_t length = 0;
  EXPECT_EQ(LongestGroupRun(Order({1, 2, 2, 3, 3, 3, 4}), length), 3);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(LongestGroupRun(Order({1, 1, 2, 2}), length), 0);  // a tie: the first
  EXPECT_EQ(length, 2);
  EXPECT_EQ(LongestGroupRun(Order({1, 2, 2, 2}), length), 1);  // ends with the last entry
  EXPECT_EQ(length, 3);
  // A last entry that starts a run of its own is not measured.
  EXPECT_EQ(LongestGroupRun(Order({1, 2}), length), 0);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(LongestGroupRun({}, length), -1);
  EXPECT_EQ(length, 0);
}

TEST(GatherPieces, EverythingOntoTheFirstSideWithPocketsEmptiedAndHidden) {
  TFieldRig r(TTestCut{4, 4});
  r.P(3).Window = 1;
  r.P(5).Window = 2;
  r.ShowPocketAt(2, 0, 0, 200, 200).PieceCount = 1;
  r.P(6).Selected = 1;
  r.g.Play.HasSelection = true;
  const int32_t x5 = r.P(5).X, y5 = r.P(5).Y;
  GatherPieces(r.f);
  for (int32_t i = 0; i < LivePieceCount(r.g); ++i) EXPECT_EQ(r.P(i).Window, 0) << i;
  EXPECT_EQ(r.P(5).X, x5);
  EXPECT_EQ(r.P(5).Y, y5);
  EXPECT_FALSE(r.g.Play.HasSelection);
  EXPECT_EQ(r.P(6).Selected, 0);
  EXPECT_FALSE(Pocket(r, 1).Visible);
  EXPECT_EQ(Pocket(r, 1).PieceCount, 0);
  EXPECT_EQ(r.f.ActiveSide, 0);
  EXPECT_TRUE(r.ws.GameWindows[0].Visible);
  EXPECT_EQ(r.g.Play.WeightGroup, -1);
}

TEST(GatherPieces, AGroupOfHalfThePiecesGoesUnderAllOthers) {
  TFieldRig r(TTestCut{4, 4});
  const int32_t n = LivePieceCount(r.g);
  ASSERT_EQ(n, 16);
  // Pieces 4..11 (half of them) joined into the group drawn last.
  for (int32_t i = 0; i < n; ++i) r.P(i).Group = i < 4 ? i : i < 12 ? 100 : i;
  GatherPieces(r.f);
  for (int32_t i = 4; i < 12; ++i) EXPECT_EQ(r.P(i).Group, 0) << i;
  for (int32_t i = 0; i < n; ++i)
    if (i < 4 || i >= 12) {
      EXPECT_GT(r.P(i).Group, 0) << i;
    }
  EXPECT_EQ(r.g.Play.WeightGroup, -1);
}

TEST(GatherPieces, WithoutALargeGroupTheDrawingOrderStays) {
  TFieldRig r(TTestCut{4, 4});
  const int32_t n = LivePieceCount(r.g);
  for (int32_t i = 0; i < n; ++i) r.P(i).Group = i < 7 ? 50 : i + 1;  // 7 of 16: less than half
  GatherPieces(r.f);
  for (int32_t i = 0; i < n; ++i) EXPECT_EQ(r.P(i).Group, i < 7 ? 50 : i + 1) << i;
}

TEST(ResolveWindowBackgrounds, OnePictureAtMostAndMissingPicturesTurnGrey) {
  TViewState v;
  int32_t values[6] = {12, 0x123456, 14, 12, 17, 0x989898};
  std::copy(values, values + 6, v.WindowBkg);
  std::vector<int32_t> loaded;
  ResolveWindowBackgrounds(v, [&](int32_t code) {
    loaded.push_back(code);
    return true;
  });
  const int32_t expected[6] = {12, 0x123456, 0x989898, 12, 0x989898, 0x989898};
  EXPECT_TRUE(std::equal(v.WindowBkg, v.WindowBkg + 6, expected));
  EXPECT_EQ(loaded, std::vector<int32_t>{12});
  ResolveWindowBackgrounds(v, [](int32_t) { return false; });
  for (int32_t value : v.WindowBkg) EXPECT_TRUE(value == 0x123456 || value == 0x989898);
  EXPECT_EQ(v.WindowBkg[1], 0x123456);
}

TEST(AddRecentFile, NewestFirstMovesDuplicatesAndDropsTheOldest) {
  TSettings st;
  AddRecentFile(st, "");
  EXPECT_EQ(st.RecentCount, 0);
  for (const char* p : {"/a/one.zvq", "/a/two.sv1", "/b/three.zvq", "/b/four.zvq"}) AddRecentFile(st, p);
  EXPECT_EQ(st.RecentCount, 4);
  EXPECT_EQ(st.RecentFiles[0].Path, "/b/four.zvq");
  EXPECT_EQ(st.RecentFiles[0].Name, "four.zvq");
  EXPECT_EQ(st.RecentFiles[3].Path, "/a/one.zvq");
  // Already listed, in another case: to the top, count unchanged, the new spelling kept.
  AddRecentFile(st, "/A/TWO.SV1");
  EXPECT_EQ(st.RecentCount, 4);
  const char* order1[] = {"/A/TWO.SV1", "/b/four.zvq", "/b/three.zvq", "/a/one.zvq"};
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(st.RecentFiles[i].Path, order1[i]) << i;
  EXPECT_EQ(st.RecentFiles[0].Name, "TWO.SV1");
  // A fifth name drops the oldest.
  AddRecentFile(st, "/c/five.zvq");
  const char* order2[] = {"/c/five.zvq", "/A/TWO.SV1", "/b/four.zvq", "/b/three.zvq"};
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(st.RecentFiles[i].Path, order2[i]) << i;
  // The top entry added again changes nothing.
  AddRecentFile(st, "/c/five.zvq");
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(st.RecentFiles[i].Path, order2[i]) << i;
}

TEST(FormatByteSize, ByteKilobyteAndMegabyteForms) {
  EXPECT_EQ(FormatByteSize(0), "0 Bytes");
  EXPECT_EQ(FormatByteSize(1024), "1024 Bytes");  // exactly 1 KB is not more than 1
  EXPECT_EQ(FormatByteSize(1025), "1 Kb");
  EXPECT_EQ(FormatByteSize(1536), "2 Kb");
  EXPECT_EQ(FormatByteSize(1048576), "1024 Kb");
  EXPECT_EQ(FormatByteSize(1048577), "1.00 Mb");
  EXPECT_EQ(FormatByteSize(5 * 1048576 + 262144), "5.25 Mb");
}

TEST(Services, ProgressWidthAndLineBreaks) {
  EXPECT_EQ(ProgressBarWidth(280, 1, 3), 93);
  EXPECT_EQ(ProgressBarWidth(280, 7, 0), 0);
  EXPECT_EQ(ProgressBarWidth(280, 9, 3), 280);
  EXPECT_EQ(ProgressBarWidth(280, -2, 3), 0);
  EXPECT_EQ(ProgressBarWidth(280, 1, 1), 280);
  EXPECT_EQ(MessageLineBreaks("One$Dtwo$D$Dthree $d"), "One\ntwo\n\nthree $d");
}

TEST(WeightCommand, HeldGroupPinUpAndDownAndModeOff) {
  TFieldRig r(TTestCut{});
  r.host.Calls.clear();
  // A held group becomes the weight group at once.
  r.g.Play.DragState = 1;
  r.g.Play.HeldPiece = 4;
  WeightCommand(r.f, 100, 100);
  EXPECT_EQ(r.g.Play.WeightGroup, 4);
  EXPECT_FALSE(r.f.Pin.Dragging);
  EXPECT_EQ(r.host.Of("WeightModeChanged"), std::vector<std::string>{"WeightModeChanged 1"});
  // With the mode on the command ends it.
  r.g.Play.DragState = 0;
  r.g.Play.HeldPiece = -1;
  WeightCommand(r.f, 100, 100);
  EXPECT_EQ(r.g.Play.WeightGroup, -1);
  EXPECT_EQ(r.host.Of("WeightModeChanged").back(), "WeightModeChanged 0");
  // Off: the pin is picked up at the pointer; a pointer off the field puts it out of sight.
  WeightCommand(r.f, 120, 90);
  EXPECT_TRUE(r.f.Pin.Dragging);
  EXPECT_EQ(r.f.Pin.PointerX, 120);
  EXPECT_EQ(r.f.Pin.PointerY, 90);
  WeightCommand(r.f, 120, 90);  // again: put away, no weight group
  EXPECT_FALSE(r.f.Pin.Dragging);
  EXPECT_EQ(r.g.Play.WeightGroup, -1);
  // The field's first row and column are on it; one pixel before either is off.
  struct TCase {
    int32_t X, Y, PinX, PinY;
  };
  for (const TCase& c : {TCase{-5, 40, -100, -100}, TCase{0, 0, 0, 0}, TCase{40, -1, -100, -100},
                         TCase{-1, 0, -100, -100}, TCase{0, 7, 0, 7}}) {
    WeightCommand(r.f, c.X, c.Y);
    EXPECT_TRUE(r.f.Pin.Dragging);
    EXPECT_EQ(r.f.Pin.PointerX, c.PinX) << c.X << "," << c.Y;
    EXPECT_EQ(r.f.Pin.PointerY, c.PinY) << c.X << "," << c.Y;
    WeightCommand(r.f, c.X, c.Y);  // put away again
    EXPECT_FALSE(r.f.Pin.Dragging);
  }
}

TEST(WindowMenuKeys, SidesAndPocketsNumberedAsTheMenuNamesThem) {
  TFieldRig r(TTestCut{});
  std::string bkg, all;
  WindowMenuKeys(r.ws.GameWindows[1], bkg, all);
  EXPECT_EQ(bkg, "MI_GameBkgWin2");
  EXPECT_EQ(all, "MI_GameSelectAllWin2");
  WindowMenuKeys(r.ws.GameWindows[5], bkg, all);
  EXPECT_EQ(bkg, "MI_GameBkgPocket4");
  EXPECT_EQ(all, "MI_GameSelectAllPocket4");
}

}  // namespace
