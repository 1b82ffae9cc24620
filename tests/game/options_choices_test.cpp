#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "game/download_sources.h"
#include "game/options_choices.h"
#include "session_fixture.h"
#include "support/recording_host.h"

namespace {

bool SameBinding(const TMouseBinding& a, const TMouseBinding& b) { return a.Button == b.Button && a.Shift == b.Shift; }

TEST(OptionsChoices, MouseCombinationsAreTheSevenDistinctPairsOfTheLists) {
  std::set<std::pair<int, int>> seen;
  for (int i = 0; i < kMouseCombinationCount; ++i) {
    seen.insert({MouseCombinations[i].Button, MouseCombinations[i].Shift});
    EXPECT_EQ(MouseCombinationIndex(MouseCombinations[i]), i);
  }
  EXPECT_EQ(seen.size(), 7u);
  // List order: left with Alt, Ctrl, Shift; then right alone, with Alt, Ctrl, Shift.
  EXPECT_TRUE(SameBinding(MouseCombinations[0], {0, 2}));
  EXPECT_TRUE(SameBinding(MouseCombinations[3], {1, 0}));
  EXPECT_TRUE(SameBinding(MouseCombinations[6], {1, 1}));
  // Plain left (the drag button), the middle button and stray bits are none of them.
  EXPECT_EQ(MouseCombinationIndex({0, 0}), -1);
  EXPECT_EQ(MouseCombinationIndex({2, 0}), -1);
  EXPECT_EQ(MouseCombinationIndex({1, 6}), -1);
  EXPECT_EQ(MouseCombinationIndex({255, 255}), -1);
}

TEST(OptionsChoices, PresetsAreRecognisedOnlyWhenEveryPartMatches) {
  // The default play settings are the Standard preset.
  const TPlaySettings defaults;
  EXPECT_EQ(PlayModeOf(BindingChoiceOf(defaults)), kPlayModeStandard);
  const TBindingChoice standard = BindingChoiceOf(StandardMouseScheme);
  EXPECT_EQ(standard.RotCW, 5);   // right + Ctrl
  EXPECT_EQ(standard.RotCCW, 1);  // left + Ctrl
  EXPECT_EQ(standard.MoveOW, 3);  // right
  const TBindingChoice simple = BindingChoiceOf(SimpleMouseScheme);
  EXPECT_EQ(simple.RotCW, 3);
  EXPECT_EQ(simple.RotCCW, 5);
  EXPECT_EQ(simple.MoveOW, 1);
  EXPECT_TRUE(simple.SingleMainWindow && simple.ClickToDrag);
  EXPECT_EQ(PlayModeOf(simple), kPlayModeSimple);

  TBindingChoice c = standard;
  c.MoveOW = 4;
  EXPECT_EQ(PlayModeOf(c), kPlayModeOther);
  c = standard;
  c.ClickToDrag = true;
  EXPECT_EQ(PlayModeOf(c), kPlayModeOther);
  c = simple;
  c.SingleMainWindow = false;
  EXPECT_EQ(PlayModeOf(c), kPlayModeOther);
  c = standard;
  c.RotCCW = -1;  // an empty list is never a preset
  EXPECT_EQ(PlayModeOf(c), kPlayModeOther);
}

TEST(OptionsChoices, BindingsCollideOnAnySharedItemButNeverOnEmptyLists) {
  EXPECT_FALSE(BindingsCollide({5, 1, 3}));
  EXPECT_TRUE(BindingsCollide({5, 5, 3}));
  EXPECT_TRUE(BindingsCollide({5, 1, 5}));
  EXPECT_TRUE(BindingsCollide({5, 1, 1}));
  EXPECT_FALSE(BindingsCollide({-1, -1, -1}));
  EXPECT_FALSE(BindingsCollide({-1, -1, 2}));
}

TEST(OptionsChoices, StylesOutsideTheListTakeTheLastButton) {
  for (const auto& [style, button] : {std::pair{0, 0}, {2, 2}, {3, 3}, {4, 3}, {249, 3}})
    EXPECT_EQ(EmbossButtonOfStyle(TEmbossStyle(style)), button) << style;
  for (const auto& [style, button] : {std::pair{1, 1}, {2, 2}, {3, 2}, {255, 2}})
    EXPECT_EQ(WoodButtonOfStyle(TWoodStyle(style)), button) << style;
}

TEST(OptionsChoices, ServerIndexIgnoresLetterCaseAndFallsBackToTheFirst) {
  const TServerHosts hosts{"one.example", "Two.Example"};
  EXPECT_EQ(ServerIndex(hosts, "one.example"), 0);
  EXPECT_EQ(ServerIndex(hosts, "two.EXAMPLE"), 1);
  EXPECT_EQ(ServerIndex(hosts, "three.example"), 0);
  EXPECT_EQ(ServerIndex(hosts, ""), 0);
}

// --- Write-back after OK ---------------------------------------------------------------------

struct TApplyRig {
  TTempFolder dir;
  TTestSession s;
  TSettings st;
  TLanguageState lang;

  TApplyRig() {
    SetupTestSession(s, dir);
    lang.LangDir = dir.Path().string() + "/";
  }
  void Touch(const std::string& name) { std::ofstream(dir.File(name)) << "x"; }
};

TEST(OptionsApply, UnchangedValuesChangeNothing) {
  TApplyRig r;
  r.s.Game.GameOptions.WoodColor = 0x123456;
  r.s.AutoSave.Interval = 25;
  const TOptionsValues v = OptionsValuesOf(r.s, r.st);
  const TPlaySettings before = r.s.Game.PlaySettings;
  const TOptionsApplied a = ApplyOptionsValues(r.s, r.st, r.lang, v, "", r.s);
  EXPECT_FALSE(a.SingleMainWindowChanged);
  EXPECT_FALSE(a.EffectsChanged);
  EXPECT_EQ(std::memcmp(&before, &r.s.Game.PlaySettings, sizeof before), 0);
  EXPECT_EQ(r.s.Game.GameOptions.WoodColor, 0x123456);
  EXPECT_EQ(r.s.AutoSave.Interval, 25);
  EXPECT_EQ(r.s.Count("LoadLanguage"), 0);
  EXPECT_EQ(r.s.Count("ShowProgress"), 0);
}

TEST(OptionsApply, EveryValueReachesItsRecord) {
  TApplyRig r;
  r.Touch("deutsch.lng");
  r.Touch("deutsch.chm");
  TOptionsValues v = OptionsValuesOf(r.s, r.st);
  v.AutoSave.Enabled = false;
  v.AutoSave.Interval = 45;
  v.Settings.Flags.SoundPlay = false;
  v.Settings.Flags.ShowJoin = false;
  v.PlaySettings = {MouseCombinations[6], MouseCombinations[0], MouseCombinations[4], 1, 1};
  v.GameOptions.StuckKoef = 27;
  v.GameOptions.EmbossStyle = TEmbossStyle::FatCard;
  v.GameOptions.WoodStyle = TWoodStyle::Wood;
  v.GameOptions.WoodColor = 0x00A0B0C0;
  v.GameOptions.DnSrc = "second.example";
  v.GameOptions.UseSecure = true;
  v.GameOptions.SecureMethodInd = 2;
  v.GameOptions.ThumbPath = "/test/thumbs/";
  v.GameOptions.SiteJigsawsDir = "test/jigsaws/";
  const TOptionsApplied a = ApplyOptionsValues(r.s, r.st, r.lang, v, "deutsch", r.s);
  EXPECT_TRUE(a.SingleMainWindowChanged);
  EXPECT_TRUE(a.EffectsChanged);
  EXPECT_FALSE(r.s.AutoSave.Enabled);
  EXPECT_EQ(r.s.AutoSave.Interval, 45);
  EXPECT_FALSE(r.st.Flags.SoundPlay);
  EXPECT_FALSE(r.st.Flags.ShowJoin);
  const TPlaySettings& p = r.s.Game.PlaySettings;
  EXPECT_TRUE(SameBinding(p.RotCW, {1, 1}));
  EXPECT_TRUE(SameBinding(p.RotCCW, {0, 2}));
  EXPECT_TRUE(SameBinding(p.MoveOW, {1, 2}));
  EXPECT_EQ(p.SingleMainWindow, 1);
  EXPECT_EQ(p.ClickToDrag, 1);
  const TGameOptions& o = r.s.Game.GameOptions;
  EXPECT_EQ(o.StuckKoef, 27);
  EXPECT_EQ(o.EmbossStyle, TEmbossStyle::FatCard);
  EXPECT_EQ(o.WoodStyle, TWoodStyle::Wood);
  EXPECT_EQ(o.WoodColor, 0xA0B0C0);
  // The downloads page and the test panel come the same way.
  EXPECT_EQ(o.DnSrc, "second.example");
  EXPECT_TRUE(o.UseSecure);
  EXPECT_EQ(o.SecureMethodInd, 2);
  EXPECT_EQ(o.ThumbPath + o.SiteJigsawsDir, "/test/thumbs/test/jigsaws/");
  // Without a game nothing is rebuilt and no side is shown.
  EXPECT_EQ(r.s.Count("ShowProgress"), 0);
  EXPECT_EQ(r.s.Count("ShowFirstSide"), 0);
  EXPECT_EQ(r.s.Of("LoadLanguage"), std::vector<std::string>{"LoadLanguage " + r.dir.File("deutsch.lng")});
  EXPECT_EQ(r.st.sHelpFile, r.dir.File("deutsch.chm"));
  EXPECT_EQ(r.st.CurrentLanguage, "deutsch");
  EXPECT_EQ(r.lang.CurrentLanguage, "deutsch");
}

TEST(OptionsApply, ABindingOutsideTheListsStaysAndHelpFallsBackToEnglish) {
  TApplyRig r;
  r.Touch("suomi.lng");                   // no help file of its own
  r.s.Game.PlaySettings.MoveOW = {2, 0};  // from a saved game: none of the seven
  TOptionsValues v = OptionsValuesOf(r.s, r.st);
  v.PlaySettings.RotCW = MouseCombinations[0];
  ApplyOptionsValues(r.s, r.st, r.lang, v, "suomi", r.s);
  EXPECT_TRUE(SameBinding(r.s.Game.PlaySettings.RotCW, {0, 2}));
  EXPECT_TRUE(SameBinding(r.s.Game.PlaySettings.MoveOW, {2, 0}));
  EXPECT_EQ(r.st.sHelpFile, r.dir.File("english.chm"));
  EXPECT_EQ(r.st.CurrentLanguage, "suomi");
}

// Each value is fitted to its row's range: the autosave interval and the snap distance are
// pulled to the nearest end, any other number outside its range keeps the current value.
TEST(OptionsApply, HostileValuesArePulledIntoRangeOrKeepTheCurrentOne) {
  TApplyRig r;
  r.s.Game.GameOptions.WoodColor = 0x123456;
  TOptionsValues v = OptionsValuesOf(r.s, r.st);
  v.AutoSave.Interval = -5;
  v.GameOptions.StuckKoef = 1000;
  v.GameOptions.EmbossStyle = TEmbossStyle(77);
  v.GameOptions.WoodStyle = TWoodStyle(3);
  v.GameOptions.WoodColor = int32_t(0xFF00FF00u);
  v.GameOptions.SecureMethodInd = 7;
  v.PlaySettings.RotCW = {2, 4};
  v.PlaySettings.RotCCW = {0, 8};
  v.PlaySettings.SingleMainWindow = 5;
  const TPlaySettings before = r.s.Game.PlaySettings;
  const TOptionsApplied a = ApplyOptionsValues(r.s, r.st, r.lang, v, "", r.s);
  EXPECT_EQ(r.s.AutoSave.Interval, 1);
  const TGameOptions& o = r.s.Game.GameOptions;
  EXPECT_EQ(o.StuckKoef, 30);
  EXPECT_EQ(o.EmbossStyle, TEmbossStyle::Paper);
  EXPECT_EQ(o.WoodStyle, TWoodStyle::Shadows);
  EXPECT_EQ(o.WoodColor, 0x123456);
  EXPECT_EQ(o.SecureMethodInd, 5);
  EXPECT_FALSE(a.EffectsChanged);
  // A flag is 0 or 1.
  EXPECT_EQ(r.s.Game.PlaySettings.SingleMainWindow, 1);
  EXPECT_TRUE(SameBinding(r.s.Game.PlaySettings.RotCW, before.RotCW));
  EXPECT_TRUE(SameBinding(r.s.Game.PlaySettings.RotCCW, before.RotCCW));
}

TEST(OptionsApply, RunningGameMovesTheSecondSideAndRebuildsTheEffects) {
  TApplyRig r;
  const std::string jigsaw = PackTestJigsaw(r.dir, "sample", 200, 150);
  ASSERT_FALSE(jigsaw.empty());
  ASSERT_TRUE(OpenTestGame(r.s, jigsaw, 12, 4, false, true));
  TGameState& g = r.s.Game;
  const int32_t n = LivePieceCount(g);
  ASSERT_GT(n, 3);
  g.Pieces[1].Window = 1;
  g.Pieces[2].Window = 1;
  g.Pieces[3].Window = 2;  // a pocket stays a pocket
  const int32_t x1 = g.Pieces[1].X, y1 = g.Pieces[1].Y;
  g.Play.HasSelection = true;
  g.GameOptions.EmbossStyle = TEmbossStyle::None;
  g.GameOptions.WoodStyle = TWoodStyle::None;
  ASSERT_GT(g.Images.PieceMasks[0].Width, 0);

  int steps = 0;
  g.Progress.OnStep = [&](int pos, int) { steps = pos; };

  TOptionsValues v = OptionsValuesOf(r.s, r.st);
  v.PlaySettings.SingleMainWindow = 1;
  v.GameOptions.EmbossStyle = TEmbossStyle::Cardboard;
  v.GameOptions.WoodStyle = TWoodStyle::Shadows;
  ApplyOptionsValues(r.s, r.st, r.lang, v, "", r.s);
  EXPECT_EQ(r.s.Count("ClearSelection"), 1);
  EXPECT_EQ(r.s.Count("ShowFirstSide"), 1);
  EXPECT_EQ(g.Pieces[1].Window, 0);
  EXPECT_EQ(g.Pieces[2].Window, 0);
  EXPECT_EQ(g.Pieces[3].Window, 2);
  EXPECT_EQ(g.Pieces[1].X, x1);
  EXPECT_EQ(g.Pieces[1].Y, y1);
  // One step of our own and one per rotation, as announced.
  EXPECT_EQ(r.s.Of("ShowProgress").back(), "ShowProgress Prog_ChangeEmboss 5");
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(g.GameOptions.WoodFrameWidth, 5);
  for (int r4 = 0; r4 < 4; ++r4) EXPECT_FALSE(g.Images.EmbossMaps[r4].Empty());
  // Some pixel is lit.
  const TDibImage& mask = g.Images.PieceMasks[0];
  bool lit = false;
  for (int32_t y = 0; y < mask.Height && !lit; ++y)
    for (int32_t x = 0; x < mask.Width && !lit; ++x) lit = g.Images.EmbossMaps[0].Light(x, y) != kNoLight;
  EXPECT_TRUE(lit);

  // Turning the effects off again frees the wood maps, and the masks carry no light: the game
  // keeps the piece codes alone.
  v.GameOptions.EmbossStyle = TEmbossStyle::None;
  v.GameOptions.WoodStyle = TWoodStyle::None;
  ApplyOptionsValues(r.s, r.st, r.lang, v, "", r.s);
  EXPECT_EQ(r.s.Of("ShowProgress").back(), "ShowProgress Prog_ChangeEmboss 1");
  for (int r4 = 0; r4 < 4; ++r4) EXPECT_TRUE(g.Images.EmbossMaps[r4].Empty());
  EXPECT_EQ(mask.BytesPerPixel, 1);
}

}  // namespace
