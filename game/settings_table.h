#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>

#include "foundation/level_record.h"
#include "game/game_options.h"
#include "game/game_session.h"
#include "game/settings_file.h"
#include "game/settings_text.h"

// Every setting declared once: its place in the settings file, kind, default, range, the record
// and field that hold it, and its report line. Reading and writing the file, the defaults, the
// options dialog's OK and the system report all walk this table, so a new setting is a row here
// (and its control and text where it is shown).

// The records the settings live in, as a copy: what the options dialog loads and edits.
struct TSettingsValues {
  TLevelRecord DefaultLevel{};
  TAutoSaveSettings AutoSave;
  TGameOptions GameOptions;
  TPlaySettings PlaySettings;
  TSettings Settings;
};

// The same records where they live: in a game session and its settings.
struct TSettingsHome {
  TLevelRecord& DefaultLevel;
  TAutoSaveSettings& AutoSave;
  TGameOptions& GameOptions;
  TPlaySettings& PlaySettings;
  TSettings& Settings;
};

TSettingsHome SettingsHome(TGameSession& s, TSettings& st);
TSettingsValues SettingsValuesOf(const TGameSession& s, const TSettings& st);

// How the file stores a value: "0"/"1", decimal, or the text as it is.
enum class TSettingKind : uint8_t { Flag, Number, Text };
// A number outside its range: the current value stays, or the nearest end is taken.
enum class TOutOfRange : uint8_t { Keep, Clamp };
// How the report shows a value: decimal or the text, hexadecimal, a mouse button's or a shift
// state's name.
enum class TReportForm : uint8_t { Value, Hex, Button, Shift };

enum : uint8_t {
  kOnOptionsDialog = 1,  // shown by the options dialog and applied by its OK
  kKeepsCurrent = 2,     // no default of its own: the state the program is in
};

namespace settings_detail {

template <class M>
struct TMemberOf;
template <class C, class T>
struct TMemberOf<T C::*> {
  using Class = C;
  using Type = T;
};

template <auto First, auto... Rest>
struct TPath {
  using Record = typename TMemberOf<decltype(First)>::Class;
  template <class R>
  static auto& Field(R& record) {
    return ((record.*First).*....*Rest);
  }
  using Type = std::remove_cvref_t<decltype(Field(std::declval<Record&>()))>;
};

template <class R, class H>
auto& RecordOf(H& h) {
  if constexpr (std::is_same_v<R, TLevelRecord>)
    return h.DefaultLevel;
  else if constexpr (std::is_same_v<R, TAutoSaveSettings>)
    return h.AutoSave;
  else if constexpr (std::is_same_v<R, TGameOptions>)
    return h.GameOptions;
  else if constexpr (std::is_same_v<R, TPlaySettings>)
    return h.PlaySettings;
  else {
    static_assert(std::is_same_v<R, TSettings>, "settings live in the records of TSettingsHome");
    return h.Settings;
  }
}

template <class T>
constexpr TSettingKind KindOf() {
  if constexpr (std::is_same_v<T, std::string>)
    return TSettingKind::Text;
  else if constexpr (std::is_same_v<T, bool>)
    return TSettingKind::Flag;
  else
    return TSettingKind::Number;
}

}  // namespace settings_detail

// One setting: the chain of members from its record to its field (e.g. &TPlaySettings::RotCW,
// &TMouseBinding::Button). The field may be a bool, an integer, a byte-sized enumeration or a
// string. Section nullptr: not stored in the file.
template <auto... Path>
struct TSetting {
  using Where = settings_detail::TPath<Path...>;
  using Record = typename Where::Record;
  using Type = typename Where::Type;

  const char* Section = nullptr;
  const char* SubSection = "";
  const char* Key = "";
  Type Default{};
  TSettingKind Kind = settings_detail::KindOf<Type>();
  int32_t Low = 0, High = 0;  // numbers only
  TOutOfRange Rule = TOutOfRange::Keep;
  uint8_t Options = 0;
  const char* ReportGroup = nullptr;
  const char* ReportName = nullptr;  // nullptr: not in the report
  TReportForm Report = TReportForm::Value;
  // Reading only: a value read that is not acceptable keeps the current one; once a value is
  // taken, OnRead acts on it, told the field's value from before.
  bool (*Accept)(const TSettingsEnv& env, const Type& value) = nullptr;
  void (*OnRead)(const TSettingsEnv& env, TSettingsHome& home, const Type& before) = nullptr;

  template <class H>
  static auto& Field(H& home) {
    return Where::Field(settings_detail::RecordOf<Record>(home));
  }

  static int32_t ToNumber(const Type& v) {
    if constexpr (std::is_same_v<Type, std::string>)
      return 0;
    else
      return static_cast<int32_t>(v);
  }

  // A number as its field takes it: outside the range `current` stays or the nearest end is
  // taken; a flag is 0 or 1.
  Type FitNumber(int32_t n, const Type& current) const {
    if constexpr (std::is_same_v<Type, std::string>) {
      return current;
    } else {
      if (Kind == TSettingKind::Flag) return static_cast<Type>(n != 0);
      if (n >= Low && n <= High) return static_cast<Type>(n);
      return Rule == TOutOfRange::Clamp ? static_cast<Type>(std::clamp(n, Low, High)) : current;
    }
  }
  Type Fit(const Type& value, const Type& current) const {
    if constexpr (std::is_same_v<Type, std::string>)
      return value;
    else
      return FitNumber(ToNumber(value), current);
  }
};

// The place of the recent-files list in the file: a list, read and written by its own step.
struct TRecentFilesPlace {
  const char* Section = "Files";
};

// The download security methods the options dialog lists (SecureMethodNames).
constexpr int32_t kSecureMethodCount = 7;
constexpr int32_t kDefaultSecureMethod = 5;

// Names a language in the language folder, never a path out of it.
bool UsableLanguageName(const std::string& name);
// Reading hooks of the rows below.
bool IsStoredSource(const TSettingsEnv& env, const std::string& host);
void FollowStoredFullScreen(const TSettingsEnv& env, TSettingsHome& home, const bool& before);
void LoadStoredLanguage(const TSettingsEnv& env, TSettingsHome& home, const std::string& before);

// The order is the file's writing order and the report's order.
// clang-format off
inline const auto kSettingsTable = std::tuple{
    TSetting<&TLevelRecord::Rotate>{.Section = "Main", .SubSection = "DefJigP", .Key = "Rotate", .Default = 0,
                                    .Kind = TSettingKind::Flag},
    TSetting<&TLevelRecord::BorderStyle>{.Section = "Main", .SubSection = "DefJigP", .Key = "BorderStyle",
                                         .Default = TBorderStyle::None,
                                         .Low = 0, .High = int32_t(kLastBorderStyle)},
    TSetting<&TLevelRecord::ShapeStyle>{.Section = "Main", .SubSection = "DefJigP", .Key = "ShapeStyle",
                                        .Default = TShapeStyle::IrregularFigures,
                                        .Low = 0, .High = int32_t(kLastShapeStyle)},
    TSetting<&TLevelRecord::Level>{.Section = "Main", .SubSection = "DefJigP", .Key = "Level", .Default = 6,
                                   .Low = 0, .High = 13},
    TSetting<&TLevelRecord::SpreadOut>{.Section = "Main", .SubSection = "DefJigP", .Key = "SpreadOut", .Default = 0,
                                       .Low = 0, .High = 1},
    TSetting<&TLevelRecord::FitToScreen>{.Section = "Main", .SubSection = "DefJigP", .Key = "FitToScreen", .Default = 1,
                                         .Kind = TSettingKind::Flag},
    TSetting<&TAutoSaveSettings::Enabled>{.Section = "Main", .SubSection = "AutoSave", .Key = "Enabled", .Default = true,
                                          .Options = kOnOptionsDialog,
                                          .ReportGroup = "AutoSave", .ReportName = "AutoSave_bEnabled"},
    TSetting<&TAutoSaveSettings::Interval>{.Section = "Main", .SubSection = "AutoSave", .Key = "Interval", .Default = 10,
                                           .Low = 1, .High = 60, .Rule = TOutOfRange::Clamp,
                                           .Options = kOnOptionsDialog,
                                           .ReportGroup = "AutoSave", .ReportName = "AutoSave_iIntervalMin"},
    TSetting<&TSettings::Flags, &TSettingsFlags::SoundPlay>{.Section = "Main", .SubSection = "Sound", .Default = true,
                                                            .Options = kOnOptionsDialog,
                                                            .ReportGroup = "Sound", .ReportName = "CB_SoundPlay"},
    TSetting<&TGameOptions::EmbossStyle>{.Section = "Main", .SubSection = "Embossing", .Key = "Style",
                                         .Default = TEmbossStyle::Paper,
                                         .Low = 0, .High = int32_t(TEmbossStyle::FatCard), .Options = kOnOptionsDialog,
                                         .ReportGroup = "Visual", .ReportName = "EmbossStyle"},
    TSetting<&TGameOptions::WoodStyle>{.Section = "Main", .SubSection = "Embossing", .Key = "WoodStyle",
                                       .Default = TWoodStyle::Shadows,
                                       .Low = 0, .High = int32_t(TWoodStyle::Shadows), .Options = kOnOptionsDialog,
                                       .ReportGroup = "Visual", .ReportName = "WoodStyle"},
    TSetting<&TGameOptions::WoodColor>{.Section = "Main", .SubSection = "Embossing", .Key = "WoodColor",
                                       .Default = 0x49687A, .Low = 0, .High = 0xFFFFFF, .Options = kOnOptionsDialog,
                                       .ReportGroup = "Visual", .ReportName = "WoodColor", .Report = TReportForm::Hex},
    TSetting<&TSettings::Flags, &TSettingsFlags::ShowJoin>{.Section = "Main", .SubSection = "ShowConj", .Default = true,
                                                           .Options = kOnOptionsDialog,
                                                           .ReportGroup = "Visual", .ReportName = "CB_VisualShowJoin"},
    TSetting<&TSettings::Flags, &TSettingsFlags::FullScreen>{.Section = "Main", .SubSection = "FullScreen",
                                                             .Options = kKeepsCurrent,
                                                             .ReportGroup = "Visual", .ReportName = "FullScreen",
                                                             .OnRead = FollowStoredFullScreen},
    TSetting<&TPlaySettings::RotCW, &TMouseBinding::Button>{.Section = "Play", .SubSection = "RotCW", .Key = "Button",
                                                            .Default = 1, .Low = 0, .High = 1,
                                                            .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                            .ReportName = "RotCW_Button", .Report = TReportForm::Button},
    TSetting<&TPlaySettings::RotCW, &TMouseBinding::Shift>{.Section = "Play", .SubSection = "RotCW", .Key = "Shift",
                                                           .Default = 4, .Low = 0, .High = 7,
                                                           .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                           .ReportName = "RotCW_Shift", .Report = TReportForm::Shift},
    TSetting<&TPlaySettings::RotCCW, &TMouseBinding::Button>{.Section = "Play", .SubSection = "RotCCW", .Key = "Button",
                                                             .Default = 0, .Low = 0, .High = 1,
                                                             .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                             .ReportName = "RotCCW_Button", .Report = TReportForm::Button},
    TSetting<&TPlaySettings::RotCCW, &TMouseBinding::Shift>{.Section = "Play", .SubSection = "RotCCW", .Key = "Shift",
                                                            .Default = 4, .Low = 0, .High = 7,
                                                            .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                            .ReportName = "RotCCW_Shift", .Report = TReportForm::Shift},
    TSetting<&TPlaySettings::MoveOW, &TMouseBinding::Button>{.Section = "Play", .SubSection = "MoveOW", .Key = "Button",
                                                             .Default = 1, .Low = 0, .High = 1,
                                                             .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                             .ReportName = "MoveOW_Button", .Report = TReportForm::Button},
    TSetting<&TPlaySettings::MoveOW, &TMouseBinding::Shift>{.Section = "Play", .SubSection = "MoveOW", .Key = "Shift",
                                                            .Default = 0, .Low = 0, .High = 7,
                                                            .Options = kOnOptionsDialog, .ReportGroup = "Play",
                                                            .ReportName = "MoveOW_Shift", .Report = TReportForm::Shift},
    TSetting<&TPlaySettings::SingleMainWindow>{.Section = "Play", .SubSection = "SingleMainWindow", .Default = 0,
                                               .Kind = TSettingKind::Flag, .Options = kOnOptionsDialog,
                                               .ReportGroup = "Play", .ReportName = "bSingleWin"},
    TSetting<&TPlaySettings::ClickToDrag>{.Section = "Play", .SubSection = "ClickToDrag", .Default = 0,
                                          .Kind = TSettingKind::Flag, .Options = kOnOptionsDialog,
                                          .ReportGroup = "Play", .ReportName = "bClickToDrag"},
    TSetting<&TGameOptions::StuckKoef>{.Section = "Play", .SubSection = "StuckKoef", .Default = 12, .Low = 10,
                                       .High = 30, .Rule = TOutOfRange::Clamp, .Options = kOnOptionsDialog,
                                       .ReportGroup = "Play", .ReportName = "iStuckKoef"},
    TSetting<&TSettings::CurrentLanguage>{.Section = "Lang", .SubSection = "Lang", .Default = kDefaultLanguage,
                                          .ReportGroup = "Language", .ReportName = "sCurLang",
                                          .Accept = [](const TSettingsEnv&, const std::string& name) {
                                            return UsableLanguageName(name);
                                          },
                                          .OnRead = LoadStoredLanguage},
    TSetting<&TSettings::Flags, &TSettingsFlags::ShowQuickHelp>{.Section = "Lang", .SubSection = "QuickHelp",
                                                                .Default = true, .ReportGroup = "Language",
                                                                .ReportName = "ShowQuickHelp"},
    TRecentFilesPlace{},
    // The default host is the sources file's first entry (SetDefaultSettings).
    TSetting<&TGameOptions::DnSrc>{.Section = "Download", .SubSection = "DnSrc", .Options = kOnOptionsDialog,
                                   .ReportGroup = "Download", .ReportName = "sDnSrc", .Accept = IsStoredSource},
    TSetting<&TGameOptions::UseSecure>{.Section = "Download", .SubSection = "UseSecure", .Default = false,
                                       .Options = kOnOptionsDialog, .ReportGroup = "Download",
                                       .ReportName = "bUseSecure"},
    TSetting<&TGameOptions::SecureMethodInd>{.Section = "Download", .SubSection = "SecureMethodInd", .Default = kDefaultSecureMethod,
                                             .Low = 0, .High = kSecureMethodCount - 1, .Options = kOnOptionsDialog,
                                             .ReportGroup = "Download", .ReportName = "iSecureMethodInd"},
    // Set only by the options dialog's test panel; they last until exit. ThumbPath's default is
    // the download list's folder (SetDefaultSettings).
    TSetting<&TGameOptions::ThumbPath>{.Options = kOnOptionsDialog},
    TSetting<&TGameOptions::SiteJigsawsDir>{.Default = "zorva/jigsaws_quix/", .Options = kOnOptionsDialog},
};
// clang-format on

namespace settings_detail {
template <class Row>
constexpr bool kIsRecentFiles = std::is_same_v<std::remove_cvref_t<Row>, TRecentFilesPlace>;
}  // namespace settings_detail

// Calls f(row) for every setting row, in the table's order.
template <class F>
void ForEachSetting(F&& f) {
  std::apply(
      [&](const auto&... row) {
        (
            [&](const auto& r) {
              if constexpr (!settings_detail::kIsRecentFiles<decltype(r)>) f(r);
            }(row),
            ...);
      },
      kSettingsTable);
}

// The row of the field that the member chain leads to.
template <auto... Path>
const TSetting<Path...>& SettingRow() {
  return std::get<TSetting<Path...>>(kSettingsTable);
}

// Every row's default into its field; rows that keep the current state are left alone.
template <class H>
void SetSettingDefaults(H& home) {
  ForEachSetting([&](const auto& row) {
    if (!(row.Options & kKeepsCurrent)) row.Field(home) = row.Default;
  });
}

// Every row the file stores, read with the current values as defaults, in the table's order.
void ReadSettingRows(const TSettingsText& text, TSettingsHome home, const TSettingsEnv& env);
// Every row the file stores into the text, in the table's order; the recent-files list by
// `writeRecentFiles` at its place.
void WriteSettingRows(TSettingsText& text, const TSettingsValues& values,
                      const std::function<void()>& writeRecentFiles);
// The options dialog's rows from `values` into their fields, each fitted to its range.
void ApplyDialogSettings(const TSettingsValues& values, TSettingsHome home);
