#include "game/settings_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/settings_file.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

// Every row the file stores, walked with its own field type.
class SettingsTable : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.File("lang"));
    env.sLangDir = dir.File("lang") + "/";
    env.DefaultDnSrc = "first.source.test";
    env.ServerHosts = {"first.source.test", "second.source.test"};
    s.Paths.sIniFile = dir.File("zorva.ini");
  }

  template <class Row>
  static std::string Name(const Row& row) {
    return std::string(row.Section) + "/" + row.SubSection + "/" + row.Key;
  }

  // A value the row accepts that is not its default: the other end of its range, the other flag
  // state, another acceptable text.
  template <class Row>
  typename Row::Type OtherValue(const Row& row) const {
    using T = typename Row::Type;
    if constexpr (std::is_same_v<T, std::string>) {
      for (const std::string& text : {std::string("deutsch"), env.ServerHosts[1]})
        if (text != row.Default && (!row.Accept || row.Accept(env, text))) return text;
      ADD_FAILURE() << Name(row) << ": no other text to try";
      return row.Default;
    } else {
      if (row.Kind == TSettingKind::Flag) return row.FitNumber(row.ToNumber(row.Default) == 0, row.Default);
      return row.FitNumber(row.ToNumber(row.Default) == row.High ? row.Low : row.High, row.Default);
    }
  }

  // Reads the file into a fresh session whose every stored setting starts at another value.
  void ReadIntoOthers(TTestSession& r, TSettings& rt) {
    r.Paths.sIniFile = s.Paths.sIniFile;
    TSettingsHome home = SettingsHome(r, rt);
    SetDefaultSettings(r, rt, env);
    ForEachSetting([&](const auto& row) {
      if (row.Section) row.Field(home) = OtherValue(row);
    });
    LoadSettingsText(text, r.Paths.sIniFile);
    ReadSettingRows(text, home, env);
  }

  TTempFolder dir;
  TSettingsEnv env;
  TTestSession s;
  TSettings st;
  TSettingsText text;
};

TEST_F(SettingsTable, EveryRowSurvivesAWriteAndARead) {
  SetDefaultSettings(s, st, env);
  TSettingsHome home = SettingsHome(s, st);
  ForEachSetting([&](const auto& row) {
    if (row.Section) row.Field(home) = OtherValue(row);
  });
  ASSERT_TRUE(WriteSettings(s, st));
  TTestSession r;
  TSettings rt;
  r.Paths.sIniFile = s.Paths.sIniFile;
  ASSERT_TRUE(ReadSettings(r, rt, env));
  const TSettingsValues read = SettingsValuesOf(r, rt);
  ForEachSetting([&](const auto& row) {
    if (!row.Section) return;
    EXPECT_NE(row.Field(home), row.Default) << Name(row);
    EXPECT_EQ(row.Field(read), row.Field(home)) << Name(row);
  });
}

TEST_F(SettingsTable, EveryDefaultSurvivesAWriteAndARead) {
  SetDefaultSettings(s, st, env);
  ASSERT_TRUE(WriteSettings(s, st));
  TTestSession r;
  TSettings rt;
  ReadIntoOthers(r, rt);
  const TSettingsValues read = SettingsValuesOf(r, rt);
  ForEachSetting([&](const auto& row) {
    if (row.Section && !(row.Options & kKeepsCurrent) && row.Accept == nullptr) {
      EXPECT_EQ(row.Field(read), row.Default) << Name(row);
    }
  });
  EXPECT_EQ(rt.CurrentLanguage, kDefaultLanguage);
  EXPECT_EQ(r.Game.GameOptions.DnSrc, env.DefaultDnSrc);
}

// The records' own initial values are the table's defaults (the level record has none).
TEST_F(SettingsTable, TheRecordsStartAtTheTablesDefaults) {
  const TSettingsValues fresh;
  ForEachSetting([&](const auto& row) {
    using Record = typename std::remove_cvref_t<decltype(row)>::Record;
    if constexpr (!std::is_same_v<Record, TLevelRecord>)
      if (!(row.Options & kKeepsCurrent)) {
        EXPECT_EQ(row.Field(fresh), row.Default) << row.SubSection << row.Key;
      }
  });
}

// Each number at both ends of its range is taken; one step beyond, the row's rule holds: the
// current value stays, or the nearest end is taken. The options dialog's OK fits the same way.
TEST_F(SettingsTable, EachRangeHoldsAtItsEndsOnReadingAndOnOk) {
  int checked = 0;
  ForEachSetting([&](const auto& row) {
    using T = typename std::remove_cvref_t<decltype(row)>::Type;
    if constexpr (!std::is_same_v<T, std::string>) {
      if (row.Kind != TSettingKind::Number) return;
      const T current = OtherValue(row);
      const int32_t outside[] = {row.Low - 1, row.High + 1};
      const int32_t ends[] = {row.Low, row.High};
      for (int32_t i = 0; i < 4; ++i) {
        const int32_t stored = i < 2 ? ends[i] : outside[i - 2];
        const int32_t expected = i < 2 ? stored : row.Rule == TOutOfRange::Clamp ? ends[i - 2] : row.ToNumber(current);
        SCOPED_TRACE(Name(row) + " = " + std::to_string(stored));
        // From the file.
        TSettingsHome home = SettingsHome(s, st);
        row.Field(home) = current;
        text.Lines.clear();
        if (row.Section) {
          WriteSettingInt(text, row.Section, row.SubSection, row.Key, stored);
          ReadSettingRows(text, home, env);
          EXPECT_EQ(row.ToNumber(row.Field(home)), expected);
        }
        // From the dialog, where the field's type can hold the value.
        if (!(row.Options & kOnOptionsDialog) || row.ToNumber(static_cast<T>(stored)) != stored) continue;
        row.Field(home) = current;
        TSettingsValues values = SettingsValuesOf(s, st);
        row.Field(values) = static_cast<T>(stored);
        ApplyDialogSettings(values, home);
        EXPECT_EQ(row.ToNumber(row.Field(home)), expected);
      }
      ++checked;
    }
  });
  EXPECT_GE(checked, 10);
}

TEST_F(SettingsTable, OkAppliesOnlyTheDialogsRows) {
  SetDefaultSettings(s, st, env);
  TSettingsValues values = SettingsValuesOf(s, st);
  ForEachSetting([&](const auto& row) { row.Field(values) = OtherValue(row); });
  ApplyDialogSettings(values, SettingsHome(s, st));
  const TSettingsValues now = SettingsValuesOf(s, st);
  ForEachSetting([&](const auto& row) {
    const bool onDialog = row.Options & kOnOptionsDialog;
    EXPECT_EQ(row.Field(now) == row.Field(values), onDialog) << row.SubSection << row.Key;
  });
}

}  // namespace
