#include <gtest/gtest.h>

#include "foundation/text_format.h"

namespace {

TEST(WideFormat, FillsNumbersAndTextsInOrder) {
  EXPECT_EQ(WideFormat("Pocket %d (%d)", {2, 17}), "Pocket 2 (17)");
  EXPECT_EQ(WideFormat("Cannot find %s!", {std::string("/a/b.lng")}), "Cannot find /a/b.lng!");
  EXPECT_EQ(WideFormat("%sShapes%d", {std::string(), 6}), "Shapes6");
  EXPECT_EQ(WideFormat("Solved: %d%%", {85}), "Solved: 85%");
  EXPECT_EQ(WideFormat("%x", {255}), "FF") << "hexadecimal digits are capitals";
  EXPECT_EQ(WideFormat("%X", {0x49687A}), "49687A");
  EXPECT_EQ(WideFormat("%u", {-1}), "4294967295") << "a negative 32-bit number as its pattern";
}

TEST(WideFormat, WidthPrecisionAndIndex) {
  EXPECT_EQ(WideFormat("[%5d]", {42}), "[   42]");
  EXPECT_EQ(WideFormat("[%-5d]", {42}), "[42   ]");
  EXPECT_EQ(WideFormat("[%.4d]", {-42}), "[-0042]");
  EXPECT_EQ(WideFormat("[%.2s]", {std::string("\xC3\xA9t\xC3\xA9")}), "[\xC3\xA9t]")
      << "precision counts characters, never splitting one";
  EXPECT_EQ(WideFormat("[%4s]", {std::string("\xC3\xA9")}), "[   \xC3\xA9]") << "width counts characters";
  EXPECT_EQ(WideFormat("%1:s %0:s %s", {std::string("a"), std::string("b"), std::string("c")}), "b a b")
      << "an index moves the argument position; later specifiers go on from there";
  EXPECT_EQ(WideFormat("[%*d]", {4, 7}), "[   7]");
}

TEST(WideFormat, HostileFormatsFromFilesStaySafe) {
  // Language files supply these formats: nothing may crash, read past the arguments, or
  // allocate without bound.
  EXPECT_EQ(WideFormat("%s %s %s", {std::string("x")}), "x  ") << "missing arguments write nothing";
  EXPECT_EQ(WideFormat("%d pieces", {std::string("many")}), "many pieces");
  EXPECT_EQ(WideFormat("%s pieces", {12}), "12 pieces");
  EXPECT_EQ(WideFormat("%n%p%f %d", {5}), "%n%p%f 5") << "unknown kinds are copied and take no argument";
  EXPECT_EQ(WideFormat("100%", {}), "100%");
  EXPECT_EQ(WideFormat("%-", {1}), "%-");
  EXPECT_EQ(WideFormat("%99999999999999999999d", {1}).size(), 4096u) << "widths are capped";
  std::string padded;  // and so is the whole text, on a character boundary
  for (int i = 0; i < 1000; ++i) padded += "\xC3\xA9%1283d";  // the limit falls inside an é
  const std::string text = WideFormat(padded, {1});
  EXPECT_LE(text.size(), kMaxFormattedText);
  EXPECT_GT(text.size(), kMaxFormattedText - 4096);
  EXPECT_NE(uint8_t(text.back()) & 0xC0, 0xC0) << "no character cut in two";
  EXPECT_EQ(WideFormat("%9:d|", {1}), "|") << "an index past the arguments writes nothing";
  EXPECT_EQ(WideFormat(std::string_view("a\0b%d", 5), {3}), std::string("a\0b3", 4));
}

TEST(WideStringReplace, FirstOrAllAndCase) {
  EXPECT_EQ(WideStringReplace("a$Db$Dc", "$D", "\r\n", kReplaceAll), "a\r\nb\r\nc");
  EXPECT_EQ(WideStringReplace("a$Db$Dc", "$D", "-", 0), "a-b$Dc");
  EXPECT_EQ(WideStringReplace("a$db", "$D", "-", kReplaceAll), "a$db") << "case-sensitive by default";
  EXPECT_EQ(WideStringReplace("Xabc ABC", "abc", "1", kReplaceAll | kReplaceIgnoreCase), "X1 1");
  EXPECT_EQ(WideStringReplace("aaa", "a", "aa", kReplaceAll), "aaaaaa") << "inserted text is not searched";
  EXPECT_EQ(WideStringReplace("abc", "", "x", kReplaceAll), "abc");
  EXPECT_EQ(WideStringReplace("ab", "abc", "x", kReplaceAll), "ab");
}

TEST(AsciiText, CaseFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SameAsciiText("B_Ok", "b_ok"));
  EXPECT_FALSE(SameAsciiText("B_Ok", "B_Ok "));
  EXPECT_FALSE(SameAsciiText("\xC3\xA9", "\xC3\x89")) << "é and É are different 8-bit texts";
  EXPECT_EQ(AsciiLowerCase("English-GB"), "english-gb");
  EXPECT_LT(CompareAsciiText("english", "German"), 0);
  EXPECT_EQ(CompareAsciiText("ENGLISH", "english"), 0);
  EXPECT_LT(CompareAsciiText("abc", "abcd"), 0);
  EXPECT_GT(CompareAsciiText("a_", "AZ"), 0) << "letters fold to capitals, so '_' sorts after them";
}

TEST(AsciiText, TrimBlanksTakesEveryByteUpToTheBlankAndNoMore) {
  EXPECT_EQ(TrimBlanks(std::string_view(" \t\r\n\v\f\x01\0key = v\x1F \0", 18)), "key = v");
  EXPECT_EQ(TrimBlanks("\x7F caf\xC3\xA9\xC2\xA0"), "\x7F caf\xC3\xA9\xC2\xA0")
      << "DEL and UTF-8 bytes stay";
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  std::string letters;
  for (int c = 0; c < 256; ++c)
    if (IsAsciiAlnum(char(c))) letters += char(c);
  EXPECT_EQ(letters, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

}  // namespace
