#include "game/settings_table.h"

#include <filesystem>
#include <system_error>

#include "foundation/file_helpers.h"
#include "foundation/lang.h"
#include "game/download_sources.h"

namespace {

template <class Row>
void ReadRow(const Row& row, const TSettingsText& t, TSettingsHome& home, const TSettingsEnv& env) {
  using T = typename Row::Type;
  if (!row.Section) return;
  T& field = row.Field(home);
  T value;
  if constexpr (std::is_same_v<T, std::string>) {
    value = ReadSettingString(t, row.Section, row.SubSection, row.Key, field);
  } else if (row.Kind == TSettingKind::Flag) {
    value = row.FitNumber(ReadSettingBool(t, row.Section, row.SubSection, row.Key, row.ToNumber(field) != 0), field);
  } else {
    value = row.FitNumber(ReadSettingInt(t, row.Section, row.SubSection, row.Key, row.ToNumber(field)), field);
  }
  if (row.Accept && !row.Accept(env, value)) return;
  const T before = field;
  field = value;
  if (row.OnRead) row.OnRead(env, home, before);
}

template <class Row>
void WriteRow(const Row& row, TSettingsText& t, const TSettingsValues& home) {
  using T = typename Row::Type;
  if (!row.Section) return;
  const T& field = row.Field(home);
  if constexpr (std::is_same_v<T, std::string>)
    WriteSettingString(t, row.Section, row.SubSection, row.Key, field);
  else if (row.Kind == TSettingKind::Flag)
    WriteSettingBool(t, row.Section, row.SubSection, row.Key, row.ToNumber(field) != 0);
  else
    WriteSettingInt(t, row.Section, row.SubSection, row.Key, row.ToNumber(field));
}

}  // namespace

TSettingsHome SettingsHome(TGameSession& s, TSettings& st) {
  return {s.Game.DefaultLevel, s.AutoSave, s.Game.GameOptions, s.Game.PlaySettings, st};
}

TSettingsValues SettingsValuesOf(const TGameSession& s, const TSettings& st) {
  return {s.Game.DefaultLevel, s.AutoSave, s.Game.GameOptions, s.Game.PlaySettings, st};
}

bool UsableLanguageName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// A host that is no longer one of the sources gives way to the sources file: that file is where
// the player names the sources, and Options can show no other.
bool IsStoredSource(const TSettingsEnv& env, const std::string& host) { return IsSourceHost(env.ServerHosts, host); }

// The stored mode differs from the window's: switch it as the menu command does.
void FollowStoredFullScreen(const TSettingsEnv& env, TSettingsHome& home, const bool& before) {
  if (home.Settings.Flags.FullScreen != before && env.ToggleFullScreen) env.ToggleFullScreen();
}

// The language's texts when its file exists, and its help when that exists (else the default
// language's help stays).
void LoadStoredLanguage(const TSettingsEnv& env, TSettingsHome& home, const std::string&) {
  const std::string& name = home.Settings.CurrentLanguage;
  if (IsRegularFile(LangFilePath(env.sLangDir, name)) && env.LoadLanguage)
    env.LoadLanguage(LangFilePath(env.sLangDir, name));
  if (IsRegularFile(HelpFilePath(env.sLangDir, name))) home.Settings.sHelpFile = HelpFilePath(env.sLangDir, name);
}

void ReadSettingRows(const TSettingsText& text, TSettingsHome home, const TSettingsEnv& env) {
  ForEachSetting([&](const auto& row) { ReadRow(row, text, home, env); });
}

void WriteSettingRows(TSettingsText& text, const TSettingsValues& values,
                      const std::function<void()>& writeRecentFiles) {
  std::apply(
      [&](const auto&... row) {
        (
            [&](const auto& r) {
              if constexpr (settings_detail::kIsRecentFiles<decltype(r)>)
                writeRecentFiles();
              else
                WriteRow(r, text, values);
            }(row),
            ...);
      },
      kSettingsTable);
}

void ApplyDialogSettings(const TSettingsValues& values, TSettingsHome home) {
  ForEachSetting([&](const auto& row) {
    if (row.Options & kOnOptionsDialog) row.Field(home) = row.Fit(row.Field(values), row.Field(home));
  });
}
