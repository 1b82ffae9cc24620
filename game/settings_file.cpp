#include "game/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "foundation/text_format.h"
#include "game/settings_table.h"
#include "game/settings_text.h"

namespace {

constexpr char kJigsawExtension[] = ".zvq";
constexpr int32_t kDefaultBackground = 0x989898;
constexpr int32_t kEmbossStyleWood = 4;  // older files: "wood" was an emboss style

// Recent jigsaws and saved games come back in the player's current folders: the folders may
// have moved since the file was written.
void ReadFiles(const TSettingsText& t, const TGameSession& s, TSettings& st) {
  const int32_t stored = std::clamp(ReadSettingInt(t, "Files", "LastFileNum", "", st.RecentCount), 0, kMaxRecentFiles);
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

void WriteFiles(TSettingsText& t, const TSettings& st) {
  // A path that cannot stand on one line is left out rather than split into two lines.
  std::vector<std::string> recent;
  for (int32_t i = 0; i < std::clamp(st.RecentCount, 0, kMaxRecentFiles); ++i)
    if (st.RecentFiles[i].Path.find_first_of("\r\n") == std::string::npos) recent.push_back(st.RecentFiles[i].Path);
  WriteSettingInt(t, "Files", "LastFileNum", "", int32_t(recent.size()));
  for (size_t i = 0; i < recent.size(); ++i) WriteSettingString(t, "Files", "Last" + std::to_string(i), "", recent[i]);
}

}  // namespace

std::string RecentFileCaption(int32_t index, const std::string& name) {
  // Only the digit is the access key: an '&' of the file name is shown as it is.
  std::string caption = "&" + std::to_string(index + 1) + ". ";
  for (char c : name) caption += c == '&' ? std::string("&&") : std::string(1, c);
  return caption;
}

void SetDefaultSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env) {
  TSettingsHome home = SettingsHome(s, st);
  SetSettingDefaults(home);
  s.Game.GameOptions.ThumbPath = env.sThumbDir;
  s.Game.GameOptions.DnSrc = env.DefaultDnSrc;
  // Not stored in the file.
  s.ViewState.lBkg = kDefaultBackground;
  std::fill(std::begin(s.ViewState.WindowBkg), std::end(s.ViewState.WindowBkg), kDefaultBackground);
  for (TRecentFile& f : st.RecentFiles) f = {};
  st.RecentCount = 0;
  st.sHelpFile = HelpFilePath(env.sLangDir, kDefaultLanguage);
  // Texts exist even when there is no settings file; a missing file is reported there.
  if (env.LoadLanguage) env.LoadLanguage(LangFilePath(env.sLangDir, kDefaultLanguage));
}

bool ReadSettings(TGameSession& s, TSettings& st, const TSettingsEnv& env) {
  SetDefaultSettings(s, st, env);
  TSettingsText text;
  if (!LoadSettingsText(text, s.Paths.sIniFile)) return false;
  ReadSettingRows(text, SettingsHome(s, st), env);
  TGameOptions& o = s.Game.GameOptions;
  if (ReadSettingInt(text, "Main", "Embossing", "Style", -1) == kEmbossStyleWood) {
    o.EmbossStyle = TEmbossStyle::None;
    o.WoodStyle = TWoodStyle::Wood;
  }
  ReadFiles(text, s, st);
  // The program folder's copy knows nothing of this player's choice of source.
  if (s.Paths.FirstRun) {
    o.DnSrc = env.DefaultDnSrc;
    o.UseSecure = false;
  }
  return true;
}

bool WriteSettings(const TGameSession& s, const TSettings& st, int* error) {
  TSettingsText t;
  LoadSettingsText(t, s.Paths.sIniFile);
  WriteSettingRows(t, SettingsValuesOf(s, st), [&] { WriteFiles(t, st); });
  return SaveSettingsText(t, s.Paths.sIniFile, error);
}
