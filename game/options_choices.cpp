#include "game/options_choices.h"

#include "foundation/file_helpers.h"
#include "foundation/numeric.h"
#include "foundation/text_format.h"
#include "game/emboss_maps.h"

const TMouseBinding MouseCombinations[kMouseCombinationCount] = {
    {0, 2}, {0, 4}, {0, 1}, {1, 0}, {1, 2}, {1, 4}, {1, 1},
};

const TPlaySettings StandardMouseScheme{{1, 4}, {0, 4}, {1, 0}, 0, 0};
const TPlaySettings SimpleMouseScheme{{1, 0}, {1, 4}, {0, 4}, 1, 1};

const char* const SecureMethodNames[kSecureMethodCount] = {
    "SSL v2", "SSL v23", "SSL v3", "TLS v1", "TLS v1_1", "TLS v1_2", "TLS v1_3",
};

const TOptionsPage OptionsPages[kOptionsPageCount] = {
    {"TS_AutoSave", 180, "save.htm"},  {"TS_Sound", 80, "sound.htm"},   {"TS_Play", 170, "play-mode.htm"},
    {"TS_Visual", 190, "effects.htm"}, {"TS_Lang", 90, "language.htm"}, {"TS_Dn", 160, "options.htm"},
};

int32_t MouseCombinationIndex(const TMouseBinding& binding) {
  for (int32_t i = 0; i < kMouseCombinationCount; ++i)
    if (MouseCombinations[i].Button == binding.Button && MouseCombinations[i].Shift == binding.Shift) return i;
  return -1;
}

TBindingChoice BindingChoiceOf(const TPlaySettings& play) {
  TBindingChoice c;
  c.RotCW = MouseCombinationIndex(play.RotCW);
  c.RotCCW = MouseCombinationIndex(play.RotCCW);
  c.MoveOW = MouseCombinationIndex(play.MoveOW);
  c.SingleMainWindow = play.SingleMainWindow != 0;
  c.ClickToDrag = play.ClickToDrag != 0;
  return c;
}

namespace {

bool SameChoice(const TBindingChoice& a, const TBindingChoice& b) {
  return a.RotCW == b.RotCW && a.RotCCW == b.RotCCW && a.MoveOW == b.MoveOW &&
         a.SingleMainWindow == b.SingleMainWindow && a.ClickToDrag == b.ClickToDrag;
}

}  // namespace

int32_t PlayModeOf(const TBindingChoice& choice) {
  if (choice.RotCW < 0 || choice.RotCCW < 0 || choice.MoveOW < 0) return kPlayModeOther;
  if (SameChoice(choice, BindingChoiceOf(StandardMouseScheme))) return kPlayModeStandard;
  if (SameChoice(choice, BindingChoiceOf(SimpleMouseScheme))) return kPlayModeSimple;
  return kPlayModeOther;
}

bool BindingsCollide(const TBindingChoice& c) {
  auto same = [](int32_t a, int32_t b) { return a >= 0 && a == b; };
  return same(c.RotCW, c.RotCCW) || same(c.RotCW, c.MoveOW) || same(c.RotCCW, c.MoveOW);
}

// The buttons stand in the styles' order; the last one takes any later value.
int32_t EmbossButtonOfStyle(TEmbossStyle style) { return IntMin(int32_t(style), 3); }
int32_t WoodButtonOfStyle(TWoodStyle style) { return IntMin(int32_t(style), 2); }

TOptionsValues OptionsValuesOf(const TGameSession& s, const TSettings& st) { return SettingsValuesOf(s, st); }

namespace {

// The options hold the new styles already. The light lives in the masks: a new emboss style
// starts from unlit masks.
void RebuildEffects(TGameSession& s, const TGameOptions& old) {
  TGameState& g = s.Game;
  const TGameOptions& o = g.GameOptions;
  if (!g.GameLoaded) return;
  const bool rotate = g.GameLevel.Rotate != 0;
  int32_t steps = 1;
  if (HasPieceEffects(o)) steps += 1 + (rotate ? 3 : 0);
  TProgressScope progress(s, "Prog_ChangeEmboss", steps);
  if (o.EmbossStyle != old.EmbossStyle)
    for (int32_t r = 0; r < (rotate ? 4 : 1); ++r)
      if (g.Images.PieceMasks[r].Width > 0) ResetMaskChannels(g.Images.PieceMasks[r]);
  g.Progress.Step();
  RebuildEmbossMaps(g);
}

// Single main window turned on in a running game: the First Side is the one shown, and the
// pieces of the second side move there.
void ShowOnlyTheFirstSide(TGameState& g, TOptionsApplyHost& host) {
  host.ShowFirstSide();
  const int32_t n = LivePieceCount(g);
  for (int32_t i = 0; i < n; ++i)
    if (g.Pieces[size_t(i)].Window == 1) g.Pieces[size_t(i)].Window = 0;
}

}  // namespace

TOptionsApplied ApplyOptionsValues(TGameSession& s, TSettings& st, TLanguageState& lang, const TOptionsValues& v,
                                   const std::string& langName, TOptionsApplyHost& host) {
  TOptionsApplied applied;
  TGameState& g = s.Game;
  if (g.Play.HasSelection) host.ClearSelection();

  const TGameOptions old = g.GameOptions;
  const bool wasSingle = g.PlaySettings.SingleMainWindow != 0;
  ApplyDialogSettings(v, SettingsHome(s, st));

  TPlaySettings& play = g.PlaySettings;
  if ((play.SingleMainWindow != 0) != wasSingle) {
    applied.SingleMainWindowChanged = true;
    if (g.GameLoaded && play.SingleMainWindow) ShowOnlyTheFirstSide(g, host);
  }
  const TGameOptions& o = g.GameOptions;
  if (o.EmbossStyle != old.EmbossStyle || o.WoodStyle != old.WoodStyle) {
    applied.EffectsChanged = true;
    RebuildEffects(s, old);
  }

  if (!langName.empty()) {
    host.LoadLanguage(LangFilePath(lang, langName));
    const std::string help = HelpFilePath(lang, langName);
    st.sHelpFile = IsRegularFile(help) ? help : HelpFilePath(lang, kDefaultLanguage);
    st.CurrentLanguage = langName;
    lang.CurrentLanguage = langName;
  }
  return applied;
}
