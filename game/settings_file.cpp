#include "game/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "foundation/text_format.h"
#include "game/settings_text.h"

namespace {

constexpr char kJigsawExtension[] = ".zvq";
constexpr int32_t kDefaultBackground = 0x989898;
constexpr int32_t kEmbossStyleWood = 4;  // older files: "wood" was an emboss style

// A language is a file name in the language folder, never a path out of it.
bool UsableLanguageName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// The value when it lies in lo..hi, else the current one.
int32_t ReadInRange(const TSettingsText& t, const char* section, const char* sub, const char* key, int32_t current,
                    int32_t lo, int32_t hi) {
  const int32_t v = ReadSettingInt(t, section, sub, key, current);
  return v >= lo && v <= hi ? v : current;
}

// The value pulled into lo..hi.
int32_t ReadClamped(const TSettingsText& t, const char* section, const char* sub, const char* key, int32_t current,
                    int32_t lo, int32_t hi) {
  return std::clamp(ReadSettingInt(t, section, sub, key, current), lo, hi);
}

void ReadBinding(const TSettingsText& t, const char* name, TMouseBinding& b) {
  b.Button = uint8_t(ReadInRange(t, "Play", name, "Button", b.Button, 0, 1));
  b.Shift = uint8_t(ReadInRange(t, "Play", name, "Shift", b.Shift, 0, 7));
}

void ReadMain(const TSettingsText& t, TGameSession& s, TSettings& st, const TSettingsEnv& env) {
  TLevelRecord& level = s.Game.DefaultLevel;
  level.Rotate = ReadSettingBool(t, "Main", "DefJigP", "Rotate", level.Rotate != 0);
  level.BorderStyle = uint8_t(ReadInRange(t, "Main", "DefJigP", "BorderStyle", level.BorderStyle, 0, 1));
  level.ShapeStyle = uint8_t(ReadInRange(t, "Main", "DefJigP", "ShapeStyle", level.ShapeStyle, 0, 6));
  level.Level = ReadInRange(t, "Main", "DefJigP", "Level", level.Level, 0, 13);
  level.SpreadOut = uint8_t(ReadInRange(t, "Main", "DefJigP", "SpreadOut", level.SpreadOut, 0, 1));
  level.FitToScreen = ReadSettingBool(t, "Main", "DefJigP", "FitToScreen", level.FitToScreen != 0);

  s.AutoSave.Enabled = ReadSettingBool(t, "Main", "AutoSave", "Enabled", s.AutoSave.Enabled);
  s.AutoSave.Interval = ReadClamped(t, "Main", "AutoSave", "Interval", s.AutoSave.Interval, 1, 60);
  st.Controls.CB_SoundPlay = ReadSettingBool(t, "Main", "Sound", "", st.Controls.CB_SoundPlay);

  TGameOptions& o = s.Game.GameOptions;
  const int32_t emboss = ReadSettingInt(t, "Main", "Embossing", "Style", o.EmbossStyle);
  o.WoodStyle = uint8_t(ReadInRange(t, "Main", "Embossing", "WoodStyle", o.WoodStyle, 0, 2));
  o.WoodColor = ReadInRange(t, "Main", "Embossing", "WoodColor", o.WoodColor, 0, 0xFFFFFF);
  if (emboss == kEmbossStyleWood) {
    o.EmbossStyle = 0;
    o.WoodStyle = 1;
  } else if (emboss >= 0 && emboss <= 3) {
    o.EmbossStyle = uint8_t(emboss);
  }

  st.Controls.CB_VisualShowJoin = ReadSettingBool(t, "Main", "ShowConj", "", st.Controls.CB_VisualShowJoin);
  const bool fullScreen = ReadSettingBool(t, "Main", "FullScreen", "", st.Controls.MI_FullScreen);
  if (fullScreen != st.Controls.MI_FullScreen && env.ToggleFullScreen) env.ToggleFullScreen();
  st.Controls.MI_FullScreen = fullScreen;
}

void ReadPlay(const TSettingsText& t, TGameSession& s) {
  TPlaySettings& p = s.Game.PlaySettings;
  ReadBinding(t, "RotCW", p.RotCW);
  ReadBinding(t, "RotCCW", p.RotCCW);
  ReadBinding(t, "MoveOW", p.MoveOW);
  p.SingleMainWindow = ReadSettingBool(t, "Play", "SingleMainWindow", "", p.SingleMainWindow != 0);
  p.ClickToDrag = ReadSettingBool(t, "Play", "ClickToDrag", "", p.ClickToDrag != 0);
  s.Game.GameOptions.StuckKoef = ReadClamped(t, "Play", "StuckKoef", "", s.Game.GameOptions.StuckKoef, 10, 30);
}

// Recent jigsaws and saved games come back in the player's current folders: the folders may
// have moved since the file was written.
void ReadFiles(const TSettingsText& t, const TGameSession& s, TSettings& st) {
  const int32_t stored = ReadClamped(t, "Files", "LastFileNum", "", st.RecentCount, 0, kMaxRecentFiles);
  st.RecentCount = 0;
  for (int32_t i = 0; i < stored; ++i) {
    std::string path = ReadSettingString(t, "Files", "Last" + std::to_string(i), "", "");
    if (path.empty()) continue;  // a hole in the list: the rest moves up
    const std::string name = FileNameOf(path);
    const std::string ext = LowerExtension(name);
    if (ext == kJigsawExtension)
      path = s.Paths.sJigsawDir + name;
    else if (ext == kSavedGameExtension)
      path = s.Paths.sSavedDir + name;
    st.RecentFiles[st.RecentCount++] = {path, name};
  }
  for (int32_t i = st.RecentCount; i < kMaxRecentFiles; ++i) st.RecentFiles[i] = {};
}

void ReadLang(const TSettingsText& t, TSettings& st, const TSettingsEnv& env) {
  const std::string name = ReadSettingString(t, "Lang", "Lang", "", st.CurrentLanguage);
  if (UsableLanguageName(name)) {
    st.CurrentLanguage = name;
    if (IsRegularFile(LangFilePath(env.sLangDir, name)) && env.LoadLanguage)
      env.LoadLanguage(LangFilePath(env.sLangDir, name));
    if (IsRegularFile(HelpFilePath(env.sLangDir, name)))
      st.sHelpFile = HelpFilePath(env.sLangDir, name);
  }
  st.Controls.CB_Show = ReadSettingBool(t, "Lang", "QuickHelp", "", st.Controls.CB_Show);
}

void ReadDownload(const TSettingsText& t, TGameSession& s, const TSettingsEnv& env) {
  TGameOptions& o = s.Game.GameOptions;
  const std::string host = ReadSettingString(t, "Download", "DnSrc", "", o.DnSrc);
  // A host that is no longer one of the sources gives way to the sources file: that file is
  // where the player names the sources, and Options can show no other.
  if (IsSourceHost(env.ServerHosts, host)) o.DnSrc = host;
  o.UseSecure = ReadSettingBool(t, "Download", "UseSecure", "", o.UseSecure);
  o.SecureMethodInd = ReadInRange(t, "Download", "SecureMethodInd", "", o.SecureMethodInd, 0, 6);
  // The program folder's copy knows nothing of this player's choice of source.
  if (s.Paths.FirstRun) {
    o.DnSrc = env.DefaultDnSrc;
    o.UseSecure = false;
  }
}

}  // namespace

std::string RecentFileCaption(int32_t index, const std::string& name) {
  // Only the digit is the access key: an '&' of the file name is shown as it is.
  std::string caption = "&" + std::to_string(index + 1) + ". ";
  for (char c : name) caption += c == '&' ? std::string("&&") : std::string(1, c);
  return caption;
}

void SetDefaultSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env) {
  TLevelRecord& level = s.Game.DefaultLevel;
  level.Rotate = 0;
  level.BorderStyle = 0;
  level.ShapeStyle = 3;
  level.Level = 6;
  level.SpreadOut = 0;
  level.FitToScreen = 1;

  s.ViewState.lBkg = kDefaultBackground;
  std::fill(std::begin(s.ViewState.WindowBkg), std::end(s.ViewState.WindowBkg), kDefaultBackground);
  s.AutoSave = TAutoSaveSettings{};

  TGameOptions& o = s.Game.GameOptions;
  o.EmbossStyle = 1;
  o.WoodStyle = 2;
  o.WoodColor = 0x49687A;
  o.StuckKoef = 12;
  o.ThumbPath = env.sThumbDir;
  o.SiteJigsawsDir = "zorva/jigsaws_quix/";
  o.DnSrc = env.DefaultDnSrc;
  o.UseSecure = false;
  o.SecureMethodInd = 5;
  s.Game.PlaySettings = TPlaySettings{};

  const bool fullScreen = st.Controls.MI_FullScreen;
  st.Controls = TSettingsControls{};
  st.Controls.MI_FullScreen = fullScreen;
  for (TRecentFile& f : st.RecentFiles) f = {};
  st.RecentCount = 0;
  st.CurrentLanguage = kDefaultLanguage;
  st.sHelpFile = HelpFilePath(env.sLangDir, kDefaultLanguage);
  // Texts exist even when there is no settings file; a missing file is reported there.
  if (env.LoadLanguage)
    env.LoadLanguage(LangFilePath(env.sLangDir, kDefaultLanguage));
}

bool ReadSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env) {
  SetDefaultSettings(s, st, env);
  TSettingsText text;
  if (!LoadSettingsText(text, s.Paths.sIniFile)) return false;
  ReadMain(text, s, st, env);
  ReadPlay(text, s);
  ReadFiles(text, s, st);
  ReadLang(text, st, env);
  ReadDownload(text, s, env);
  return true;
}

bool WriteSettings(const TGameSession& s, const TSettings& st, int* error) {
  TSettingsText t;
  LoadSettingsText(t, s.Paths.sIniFile);

  const TLevelRecord& level = s.Game.DefaultLevel;
  WriteSettingBool(t, "Main", "DefJigP", "Rotate", level.Rotate != 0);
  WriteSettingInt(t, "Main", "DefJigP", "BorderStyle", level.BorderStyle);
  WriteSettingInt(t, "Main", "DefJigP", "ShapeStyle", level.ShapeStyle);
  WriteSettingInt(t, "Main", "DefJigP", "Level", level.Level);
  WriteSettingInt(t, "Main", "DefJigP", "SpreadOut", level.SpreadOut);
  WriteSettingBool(t, "Main", "DefJigP", "FitToScreen", level.FitToScreen != 0);
  WriteSettingBool(t, "Main", "AutoSave", "Enabled", s.AutoSave.Enabled);
  WriteSettingInt(t, "Main", "AutoSave", "Interval", s.AutoSave.Interval);
  WriteSettingBool(t, "Main", "Sound", "", st.Controls.CB_SoundPlay);
  const TGameOptions& o = s.Game.GameOptions;
  WriteSettingInt(t, "Main", "Embossing", "Style", o.EmbossStyle);
  WriteSettingInt(t, "Main", "Embossing", "WoodStyle", o.WoodStyle);
  WriteSettingInt(t, "Main", "Embossing", "WoodColor", o.WoodColor);
  WriteSettingBool(t, "Main", "ShowConj", "", st.Controls.CB_VisualShowJoin);
  WriteSettingBool(t, "Main", "FullScreen", "", st.Controls.MI_FullScreen);

  const TPlaySettings& p = s.Game.PlaySettings;
  const std::pair<const char*, const TMouseBinding*> bindings[] = {
      {"RotCW", &p.RotCW}, {"RotCCW", &p.RotCCW}, {"MoveOW", &p.MoveOW}};
  for (const auto& [name, b] : bindings) {
    WriteSettingInt(t, "Play", name, "Button", b->Button);
    WriteSettingInt(t, "Play", name, "Shift", b->Shift);
  }
  WriteSettingBool(t, "Play", "SingleMainWindow", "", p.SingleMainWindow != 0);
  WriteSettingBool(t, "Play", "ClickToDrag", "", p.ClickToDrag != 0);
  WriteSettingInt(t, "Play", "StuckKoef", "", o.StuckKoef);

  WriteSettingString(t, "Lang", "Lang", "", st.CurrentLanguage);
  WriteSettingBool(t, "Lang", "QuickHelp", "", st.Controls.CB_Show);

  // A path that cannot stand on one line is left out rather than split into two lines.
  std::vector<std::string> recent;
  for (int32_t i = 0; i < std::clamp(st.RecentCount, 0, kMaxRecentFiles); ++i)
    if (st.RecentFiles[i].Path.find_first_of("\r\n") == std::string::npos) recent.push_back(st.RecentFiles[i].Path);
  WriteSettingInt(t, "Files", "LastFileNum", "", int32_t(recent.size()));
  for (size_t i = 0; i < recent.size(); ++i) WriteSettingString(t, "Files", "Last" + std::to_string(i), "", recent[i]);

  WriteSettingString(t, "Download", "DnSrc", "", o.DnSrc);
  WriteSettingBool(t, "Download", "UseSecure", "", o.UseSecure);
  WriteSettingInt(t, "Download", "SecureMethodInd", "", o.SecureMethodInd);
  return SaveSettingsText(t, s.Paths.sIniFile, error);
}
