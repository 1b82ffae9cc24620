#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "foundation/lang.h"
#include "foundation/picture_loading.h"
#include "foundation/text_format.h"

namespace {

// The texts the game formats, with the kinds of their arguments in order.
struct TFormatted {
  int32_t Section;
  const char* Key;
  const char* Kinds;  // 'd' a number, 's' a text
};
// clang-format off
const TFormatted kFormatted[] = {
    {3, "L_PieceNum", "d"},          {3, "MS_CantFindFile", "s"},    {3, "MS_CantDeleteFile", "s"},
    {3, "Q_OverwriteFile", "s"},     {3, "Q_DeleteFile", "s"},       {4, "PocketCaption", "dd"},
    {5, "L_AutoInterval", "d"},      {5, "L_StuckKoef", "d"},        {5, "MS_CantFindLangFile", "s"},
    {6, "L_PieceNum", "d"},          {6, "L_SolvedPercent", "d"},    {6, "l_UnsolvedNum", "d"},
    {11, "MS_SomeFailed", "d"},      {11, "MS_FileNotFound", "s"},   {11, "MS_InvalidLogin", "s"},
    {11, "Q_TryAnotherDnSrc", "ss"}, {11, "MS_NoDnSrc", "s"},
    // One plain key of each other section: the file's sections are where the game looks.
    {0, "engname", ""}, {1, "B_Ok", ""}, {2, "MI_HelpZorvaHomePage", ""}, {5, "MS_KeysMustBeDiff", ""},
    {8, "L_Thanks", ""}, {9, "FormCaption", ""}, {10, "FormCaption", ""}, {12, "L_AskForSave", ""},
    {13, "L_Spacebar", ""}, {14, "L_BkgPicsCap", ""},
};
// clang-format on

std::string LangDir() {
  const char* data = std::getenv("ZORVA_DATA_DIR");
  return std::string(data ? data : "data") + "/language/";
}

class EnglishLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    st_.LangDir = LangDir();
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLangLines(LangFilePath(st_, "english"), lines));
    st_.LangList = ParseLangLines(lines);
  }
  const TLangEntry* Find(int32_t section, const std::string& key) const {
    for (const TLangEntry& e : st_.LangList)
      if (e.Section == section && SameAsciiText(e.Key, key)) return &e;
    return nullptr;
  }
  TLanguageState st_;
};

TEST_F(EnglishLanguage, FormattedTextsTakeTheirArguments) {
  for (const TFormatted& f : kFormatted) {
    const TLangEntry* e = Find(f.Section, f.Key);
    ASSERT_NE(e, nullptr) << "section " << f.Section << " key " << f.Key;
    EXPECT_FALSE(e->Value.empty()) << f.Key;
    // The argument kinds in order, "%%" skipped.
    std::string kinds;
    for (size_t i = 0; i + 1 < e->Value.size(); ++i) {
      if (e->Value[i] != '%') continue;
      if (e->Value[i + 1] == '%') {
        ++i;
        continue;
      }
      kinds += e->Value[i + 1];
    }
    EXPECT_EQ(kinds, f.Kinds) << "section " << f.Section << " key " << f.Key << ": " << e->Value;
  }
  EXPECT_EQ(WideFormat(GetLangString(st_, 4, "PocketCaption"), {3, 12}), "Pocket 3 (12)");
  EXPECT_EQ(WideFormat(GetLangString(st_, 6, "L_SolvedPercent"), {40}), "Solved: 40%");
}

TEST_F(EnglishLanguage, UsesTheGamesOwnWordingWhereItIsFixed) {
  EXPECT_EQ(GetLangString(st_, 2, "SD_SaveImage"), "Save Solved Image");
  EXPECT_EQ(GetLangString(st_, 11, "DownMode2"), "All jigsaws");
  EXPECT_EQ(GetLangString(st_, 5, "Key6"), "Right + Shift");
  // The colour picker takes the menu caption without its ellipsis.
  EXPECT_EQ(StripEllipsis(GetLangString(st_, 2, "MI_GameBkgAll")), "Background of All Windows");
  EXPECT_NE(GetLangText(st_, 3, "B_Extra").find("\r\n"), std::string::npos) << "two lines";
}

}  // namespace
