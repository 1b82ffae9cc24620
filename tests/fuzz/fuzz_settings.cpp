// The settings file, read at start-up into a fresh session.
#include "fuzz/fuzz_target.h"
#include "game/settings_file.h"
#include "support/recording_host.h"

ZORVA_FUZZ_TARGET(settings) {
  TTestSession s;
  TSettings st;
  TSettingsEnv env;
  env.sLangDir = FuzzFolder();
  env.sThumbDir = FuzzFolder();
  env.DefaultDnSrc = "source.test";
  env.LoadLanguage = [](const std::string&) {};
  env.ToggleFullScreen = [] {};
  s.Paths.sIniFile = FuzzInputFile("zorva.ini", data, size);
  s.Paths.sJigsawDir = FuzzFolder();
  s.Paths.sSavedDir = FuzzFolder();
  ReadSettings(s, st, env);
  // Values outside what their users accept are pulled into range.
  const TGameOptions& o = s.Game.GameOptions;
  FUZZ_CHECK(o.EmbossStyle <= TEmbossStyle::FatCard && o.WoodStyle <= TWoodStyle::Shadows);
  for (const TMouseBinding& b : {s.Game.PlaySettings.RotCW, s.Game.PlaySettings.RotCCW, s.Game.PlaySettings.MoveOW})
    FUZZ_CHECK(b.Button <= 2);
}
