#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/settings_text.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

TSettingsText Text(Lines lines) { return TSettingsText{std::move(lines)}; }

TEST(SettingsText, FindTurnsNamesIntoLineFormsAndFindsTheThreeLines) {
  const TSettingsText t = Text({"[Main]", "   <DefJigP>", "      Rotate=1", "[Play]"});
  std::string section = " Main ", sub = "DefJigP", key = "Rotate";
  const TSettingLines found = FindSettingLine(t, section, sub, key);
  EXPECT_EQ(section, "[Main]");
  EXPECT_EQ(sub, "<DefJigP>");
  EXPECT_EQ(key, "Rotate=");
  EXPECT_EQ(found.Section, 0);
  EXPECT_EQ(found.SubSection, 1);
  EXPECT_EQ(found.Key, 2);

  std::string s2 = "Main", sub2 = "Sound", key2;
  const TSettingLines none = FindSettingLine(t, s2, sub2, key2);
  EXPECT_EQ(key2, "");  // an empty key stays empty
  EXPECT_EQ(none.Section, 0);
  EXPECT_EQ(none.SubSection, -1);
  EXPECT_EQ(none.Key, -1);

  std::string s3 = "Nowhere", sub3 = "DefJigP", key3 = "Rotate";
  const TSettingLines missing = FindSettingLine(t, s3, sub3, key3);
  EXPECT_EQ(missing.Section, -1);
  EXPECT_EQ(missing.SubSection, -1);
  EXPECT_EQ(missing.Key, -1);
}

TEST(SettingsText, SearchesStopAtTheNextSectionOrSubSection) {
  // A sub-section of the same name in a later section belongs to that section.
  const TSettingsText t = Text({"[Main]", "   <Other>", "[Play]", "   <Sound> 1", "   <A>", "   <B>", "      K=5"});
  EXPECT_EQ(ReadSettingInt(t, "Main", "Sound", "", 7), 7);
  EXPECT_EQ(ReadSettingInt(t, "Play", "Sound", "", 7), 1);
  // A key below a later sub-section is not the key of an earlier one.
  EXPECT_EQ(ReadSettingInt(t, "Play", "A", "K", 7), 7);
  EXPECT_EQ(ReadSettingInt(t, "Play", "B", "K", 7), 5);
}

TEST(SettingsText, NamesMatchWholeAndCaseSensitively) {
  const TSettingsText t = Text({"[Main]", "<Embossing>", "WoodStyle=2", "Style=3", "<sound> 0", "<Sound> 1"});
  // "WoodStyle=" does not begin with "Style=".
  EXPECT_EQ(ReadSettingInt(t, "Main", "Embossing", "Style", 9), 3);
  EXPECT_EQ(ReadSettingInt(t, "Main", "Embossing", "Wood", 9), 9);
  EXPECT_EQ(ReadSettingInt(t, "main", "Embossing", "Style", 9), 9);
  EXPECT_TRUE(ReadSettingBool(t, "Main", "Sound", "", false));
}

TEST(SettingsText, ValuesThatDoNotConvertGiveTheDefault) {
  const TSettingsText t =
      Text({"[S]", "<A>", "w=word", "e=", "p=+17", "m=-2147483648", "o=2147483648", "h=0x10", "t=12abc", "d=1.5",
            "s= - 3", "pp=+-3", "two=2", "one= 1 ", "n=" + std::string("1\0", 2) + "2"});
  const std::pair<const char*, int32_t> cases[] = {{"w", 4}, {"e", 4}, {"p", 17}, {"m", INT32_MIN}, {"o", 4}, {"h", 4},
                                                   {"t", 4}, {"d", 4}, {"s", 4},  {"pp", 4},        {"n", 4}};
  for (const auto& [key, value] : cases) EXPECT_EQ(ReadSettingInt(t, "S", "A", key, 4), value) << key;
  EXPECT_EQ(ReadSettingString(t, "S", "A", "e", "def"), "");  // an empty value is a value
  // Booleans take 0 and 1 only.
  EXPECT_TRUE(ReadSettingBool(t, "S", "A", "two", true));
  EXPECT_FALSE(ReadSettingBool(t, "S", "A", "two", false));
  EXPECT_TRUE(ReadSettingBool(t, "S", "A", "one", false));
  EXPECT_TRUE(ReadSettingBool(t, "S", "A", "w", true));
  EXPECT_FALSE(ReadSettingBool(t, "S", "A", "w", false));
}

TEST(SettingsText, WritingIntoAnEmptyListBuildsTheFormattedLines) {
  TSettingsText t;
  WriteSettingInt(t, "Main", "DefJigP", "Level", 6);
  WriteSettingInt(t, "Main", "DefJigP", "ShapeStyle", 3);
  WriteSettingBool(t, "Main", "Sound", "", true);
  WriteSettingString(t, "Lang", "Lang", "", "english");
  WriteSettingBool(t, "Lang", "QuickHelp", "", false);
  const Lines expected = {"[Main]", "   <Sound> 1", "   <DefJigP>",     "      ShapeStyle=3", "      Level=6", "",
                          "",       "[Lang]",       "   <QuickHelp> 0", "   <Lang> english"};
  EXPECT_EQ(t.Lines, expected);
}

TEST(SettingsText, WritingReplacesInPlaceAndKeepsUnknownLines) {
  TSettingsText t = Text(
      {"; a remark", "[Main]", "  <DefJigP>", "    Level=2", "    Mine=x", "  <Sound> 0", "[Other]", "   <Sound> 0"});
  WriteSettingInt(t, "Main", "DefJigP", "Level", 11);
  WriteSettingBool(t, "Main", "Sound", "", true);
  WriteSettingInt(t, "Main", "DefJigP", "Rotate", 1);  // a new key comes first in its sub-section
  const Lines expected = {"; a remark", "[Main]",       "  <DefJigP>", "      Rotate=1", "      Level=11",
                          "    Mine=x", "   <Sound> 1", "[Other]",     "   <Sound> 0"};
  EXPECT_EQ(t.Lines, expected);
}

TEST(SettingsText, ValuesWithLineBreaksAreRefused) {
  TSettingsText t = Text({"[Files]", "   <Last0> /a.zvq"});
  const Lines before = t.Lines;
  EXPECT_FALSE(WriteSettingString(t, "Files", "Last0", "", "/b.zvq\n[Main]"));
  EXPECT_FALSE(WriteSettingString(t, "Files", "Last1", "", "/c\r.zvq"));
  EXPECT_EQ(t.Lines, before);
  EXPECT_TRUE(WriteSettingString(t, "Files", "Last0", "", "/b.zvq"));
  EXPECT_EQ(ReadSettingString(t, "Files", "Last0", "", ""), "/b.zvq");
}

class SettingsTextFile : public ::testing::Test {
 protected:
  TTempFolder dir;
  std::string path = dir.File("zorva.ini");
};

TEST_F(SettingsTextFile, LoadSplitsEveryKindOfLineBreak) {
  WriteRaw(path, "\xEF\xBB\xBF[A]\r\n<B> 1\r<C> 2\n\n<D> 3");
  TSettingsText t;
  ASSERT_TRUE(LoadSettingsText(t, path));
  EXPECT_EQ(t.Lines, (Lines{"[A]", "<B> 1", "<C> 2", "", "<D> 3"}));
  EXPECT_EQ(ReadSettingInt(t, "A", "D", "", 0), 3);
}

TEST_F(SettingsTextFile, MissingEmptyOversizedAndFolderPaths) {
  TSettingsText t = Text({"old"});
  EXPECT_FALSE(LoadSettingsText(t, path));
  EXPECT_TRUE(t.Lines.empty());

  WriteRaw(path, "");
  t.Lines = {"old"};
  EXPECT_TRUE(LoadSettingsText(t, path));
  EXPECT_TRUE(t.Lines.empty());

  WriteRaw(path, "[Main]\n<Sound> 0\n" + std::string(size_t(kMaxSettingsFileSize), 'x'));
  t.Lines = {"old"};
  EXPECT_FALSE(LoadSettingsText(t, path));
  EXPECT_TRUE(t.Lines.empty());

  t.Lines = {"old"};
  EXPECT_FALSE(LoadSettingsText(t, dir.Path().string()));
  EXPECT_TRUE(t.Lines.empty());
}

}  // namespace
