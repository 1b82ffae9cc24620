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
    {"TS_AutoSave", 180, "save.htm"},  {"TS_Sound", 80, "sound.htm"},
    {"TS_Play", 170, "play-mode.htm"}, {"TS_Visual", 190, "effects.htm"},
    {"TS_Lang", 90, "language.htm"},   {"TS_Dn", 160, "options.htm"},
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

int32_t EmbossButtonOfStyle(int32_t style) { return style >= 0 && style <= 2 ? style : 3; }
int32_t WoodButtonOfStyle(int32_t style) { return style >= 0 && style <= 1 ? style : 2; }

TOptionsValues OptionsValuesOf(const TGameSession& s, const TSettingsControls& controls) {
  TOptionsValues v;
  v.AutoSaveEnabled = s.AutoSave.Enabled;
  v.AutoSaveInterval = s.AutoSave.Interval;
  v.SoundPlay = controls.CB_SoundPlay;
  v.ShowJoin = controls.CB_VisualShowJoin;
  v.Bindings = BindingChoiceOf(s.Game.PlaySettings);
  const TGameOptions& o = s.Game.GameOptions;
  v.StuckKoef = o.StuckKoef;
  v.EmbossStyle = o.EmbossStyle;
  v.WoodStyle = o.WoodStyle;
  v.WoodColor = o.WoodColor;
  return v;
}

namespace {

void ApplyBinding(int32_t item, TMouseBinding& binding) {
  if (item >= 0 && item < kMouseCombinationCount) binding = MouseCombinations[item];
}

void ApplyEffects(TGameSession& s, int32_t emboss, int32_t wood) {
  TGameState& g = s.Game;
  TGameOptions& o = g.GameOptions;
  if (!g.GameLoaded) {
    o.EmbossStyle = uint8_t(emboss);
    o.WoodStyle = uint8_t(wood);
    return;
  }
  const bool rotate = g.GameLevel.Rotate != 0;
  int32_t steps = 1;
  if (emboss != 0 || wood != 0) steps += 1 + (rotate ? 3 : 0);
  TProgressScope progress(s, "Prog_ChangeEmboss", steps);
  // The light lives in the masks: a new emboss style starts from unlit masks.
  if (emboss != o.EmbossStyle)
    for (int32_t r = 0; r < (rotate ? 4 : 1); ++r)
      if (g.Images.PieceMasks[r].Width > 0) ResetMaskChannels(g.Images.PieceMasks[r]);
  g.Progress.Step();
  o.EmbossStyle = uint8_t(emboss);
  o.WoodStyle = uint8_t(wood);
  RebuildEmbossMaps(g);
}

}  // namespace

TOptionsApplied ApplyOptionsValues(TGameSession& s, TSettings& st, TLanguageState& lang,
                                   const TOptionsValues& v, const std::string& langName,
                                   TOptionsApplyHost& host) {
  TOptionsApplied applied;
  TGameState& g = s.Game;
  if (g.Play.HasSelection) host.ClearSelection();

  s.AutoSave.Interval = ClampInt(v.AutoSaveInterval, kAutoIntervalMin, kAutoIntervalMax);
  s.AutoSave.Enabled = v.AutoSaveEnabled;
  st.Controls.CB_SoundPlay = v.SoundPlay;
  st.Controls.CB_VisualShowJoin = v.ShowJoin;

  TPlaySettings& play = g.PlaySettings;
  if (v.Bindings.SingleMainWindow != (play.SingleMainWindow != 0)) {
    applied.SingleMainWindowChanged = true;
    play.SingleMainWindow = v.Bindings.SingleMainWindow ? 1 : 0;
    if (g.GameLoaded && play.SingleMainWindow) {
      host.ShowFirstSide();
      const int32_t n = LivePieceCount(g);
      for (int32_t i = 0; i < n; ++i)
        if (g.Pieces[size_t(i)].Window == 1) g.Pieces[size_t(i)].Window = 0;
    }
  }
  play.ClickToDrag = v.Bindings.ClickToDrag ? 1 : 0;
  ApplyBinding(v.Bindings.RotCW, play.RotCW);
  ApplyBinding(v.Bindings.RotCCW, play.RotCCW);
  ApplyBinding(v.Bindings.MoveOW, play.MoveOW);

  TGameOptions& o = g.GameOptions;
  o.StuckKoef = ClampInt(v.StuckKoef, kStuckKoefMin, kStuckKoefMax);
  const int32_t emboss = EmbossButtonOfStyle(v.EmbossStyle);
  const int32_t wood = WoodButtonOfStyle(v.WoodStyle);
  if (emboss != o.EmbossStyle || wood != o.WoodStyle) {
    applied.EffectsChanged = true;
    ApplyEffects(s, emboss, wood);
  }
  o.WoodColor = v.WoodColor & 0xFFFFFF;

  if (!langName.empty()) {
    host.LoadLanguage(LangFilePath(lang, langName));
    const std::string help = HelpFilePath(lang, langName);
    st.sHelpFile = IsRegularFile(help) ? help : HelpFilePath(lang, kDefaultLanguage);
    st.CurrentLanguage = langName;
    lang.CurrentLanguage = langName;
  }
  return applied;
}
