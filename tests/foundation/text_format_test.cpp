#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

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
  std::string padded;                                         // and so is the whole text, on a character boundary
  for (int i = 0; i < 1000; ++i) padded += "\xC3\xA9%1283d";  // the limit falls inside an é
  const std::string text = WideFormat(padded, {1});
  EXPECT_LE(text.size(), kMaxFormattedText);
  EXPECT_GT(text.size(), kMaxFormattedText - 4096);
  EXPECT_NE(uint8_t(text.back()) & 0xC0, 0xC0) << "no character cut in two";
  EXPECT_EQ(WideFormat("%9:d|", {1}), "|") << "an index past the arguments writes nothing";
  EXPECT_EQ(WideFormat(std::string_view("a\0b%d", 5), {3}), std::string("a\0b3", 4));
}

// Numbers and plain texts with every flag, width and precision against the C library's own
// formatting of the same field.
TEST(WideFormat, FieldsMatchTheCLibraryForPlainValues) {
  std::mt19937 rng(7);
  const auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  const int32_t values[] = {0, 1, -1, 9, 10, -10, 255, 4096, 65535, INT32_MAX, INT32_MIN};
  for (int i = 0; i < 3000; ++i) {
    const bool left = pick(2), hasWidth = pick(3), hasPrecision = pick(3);
    const int width = pick(14), precision = 1 + pick(12);
    const char type = "dduxs"[pick(5)];
    std::string format = "%";
    if (left) format += '-';
    if (hasWidth) format += std::to_string(width);
    if (hasPrecision) format += "." + std::to_string(precision);
    char want[128];
    if (type == 's') {
      const std::string text(size_t(pick(16)), char('a' + pick(26)));
      std::snprintf(want, sizeof want, (format + "s").c_str(), text.c_str());
      EXPECT_EQ(WideFormat("<" + format + "s>", {text}), "<" + std::string(want) + ">") << format << " " << text;
    } else {
      const int32_t v = pick(2) ? values[pick(11)] : int32_t(rng());
      std::string c = format + (type == 'd' ? "d" : type == 'u' ? "u" : "X");
      if (type == 'd')
        std::snprintf(want, sizeof want, c.c_str(), v);
      else
        std::snprintf(want, sizeof want, c.c_str(), uint32_t(v));
      EXPECT_EQ(WideFormat("<" + format + type + ">", {int64_t(v)}), "<" + std::string(want) + ">") << c << " " << v;
    }
  }
  EXPECT_EQ(WideFormat("[%-*.*d]", {6, 3, 7}), "[007   ]") << "width and precision from the arguments";
  EXPECT_EQ(WideFormat("[%*d]", {-5, 7}), "[7]") << "a negative width from an argument is none";
}

// The whole text stops at the limit exactly: a text of the limit stays whole, one byte more is
// cut to the limit, and a character across the limit goes whole.
TEST(WideFormat, TheLimitIsExact) {
  const std::string full(kMaxFormattedText, 'a');
  EXPECT_EQ(WideFormat(full, {}), full);
  EXPECT_EQ(WideFormat(full + "b", {}), full);
  EXPECT_EQ(WideFormat("%s", {full}), full);
  EXPECT_EQ(WideFormat("%sb", {full}), full);
  const std::string before(kMaxFormattedText - 1, 'a');
  EXPECT_EQ(WideFormat(before + "\xC3\xA9", {}), before) << "the limit falls inside the last character";
  EXPECT_EQ(WideFormat(before + "b\xC3\xA9", {}), before + "b");
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

// Against a literal reading on random texts of a few letters of both cases: a match is
// replaced where it starts first, the scan goes on after the inserted text, and a match that
// ends with the text counts too.
TEST(WideStringReplace, AgreesWithALiteralScanOnRandomTexts) {
  std::mt19937 rng(11);
  const auto text = [&](int most) {
    std::string t(rng() % unsigned(most + 1), ' ');
    for (char& c : t) c = "aAbB"[rng() % 4];
    return t;
  };
  for (int i = 0; i < 3000; ++i) {
    const std::string source = text(9), from = text(3), to = text(2);
    const uint32_t flags = rng() % 4;
    const bool all = flags & kReplaceAll, fold = flags & kReplaceIgnoreCase;
    std::string want;
    size_t k = 0;
    bool replaced = false;
    while (k < source.size()) {
      if (!from.empty() && (all || !replaced) && k + from.size() <= source.size() &&
          (fold ? AsciiLowerCase(source.substr(k, from.size())) == AsciiLowerCase(from)
                : source.compare(k, from.size(), from) == 0)) {
        want += to;
        k += from.size();
        replaced = true;
      } else {
        want += source[k++];
      }
    }
    EXPECT_EQ(WideStringReplace(source, from, to, flags), want) << source << " " << from << " " << to << " " << flags;
  }
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
  // Every pair of short texts of letters, their neighbours and bytes above 127, against the
  // ordering of the texts folded to capitals.
  const std::string bytes = "@AZ[`az{_\xC3\xA9";
  std::vector<std::string> texts{""};
  for (char a : bytes) {
    texts.push_back(std::string(1, a));
    for (char b : bytes) texts.push_back(std::string{a, b});
  }
  const auto upper = [](std::string t) {
    for (char& c : t)
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return std::basic_string<unsigned char>(t.begin(), t.end());
  };
  for (const std::string& a : texts)
    for (const std::string& b : texts) {
      const int want = upper(a).compare(upper(b));
      const int got = CompareAsciiText(a, b);
      EXPECT_EQ(got < 0, want < 0) << a << " " << b;
      EXPECT_EQ(got > 0, want > 0) << a << " " << b;
      EXPECT_EQ(SameAsciiText(a, b), want == 0) << a << " " << b;
      EXPECT_EQ(AsciiLowerCase(a) == AsciiLowerCase(b), want == 0) << a << " " << b;
    }
}

TEST(AsciiText, TrimBlanksTakesEveryByteUpToTheBlankAndNoMore) {
  EXPECT_EQ(TrimBlanks(std::string_view(" \t\r\n\v\f\x01\0key = v\x1F \0", 18)), "key = v");
  EXPECT_EQ(TrimBlanks("\x7F caf\xC3\xA9\xC2\xA0"), "\x7F caf\xC3\xA9\xC2\xA0") << "DEL and UTF-8 bytes stay";
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks(""), "");
  std::string letters;
  for (int c = 0; c < 256; ++c)
    if (IsAsciiAlnum(char(c))) letters += char(c);
  EXPECT_EQ(letters, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

}  // namespace

namespace {

// Every cut of a format read from a buffer that ends exactly at the cut: a specifier cut off
// anywhere is copied as it stands, and nothing past the end is read (the sanitizer watches).
TEST(WideFormat, AFormatCutAnywhereIsReadNoFurtherThanItsEnd) {
  const std::string whole = "a%1:-*.3d|%-12.2s|%x%";
  for (size_t n = 0; n <= whole.size(); ++n) {
    const std::unique_ptr<char[]> exact(new char[n]);
    std::copy_n(whole.data(), n, exact.get());
    const std::string cut = whole.substr(0, n);
    const std::string text = WideFormat(std::string_view(exact.get(), n), {std::string("xyz"), 5, 6});
    const size_t lastSign = cut.rfind('%');
    const bool open = lastSign != std::string::npos && cut.find_first_of("dsx|", lastSign) == std::string::npos;
    if (open) {
      EXPECT_EQ(text.substr(text.size() - (n - lastSign)), cut.substr(lastSign)) << cut;
    }
  }
}

}  // namespace
