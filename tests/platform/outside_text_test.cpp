#include "platform/outside_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "support/utf8_table.h"

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct TCase {
  std::string Text, Shown;
};

}  // namespace

// Characters that start a line of their own or turn the text around become blanks; their
// neighbours in the code charts stay as they are.
TEST(OutsideText, LineAndDirectionControlsBecomeBlanks) {
  const std::vector<TCase> cases = {
      {"rtl\u202Eabc", "rtl abc"},
      {"one\u2028two\u2029three\u0085four\r\nfive", "one two three four  five"},
      {"\u200E\u200F\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069\u061C|", std::string(11, ' ') + "|"},
      {"c1\u0080\u009F\x7F|", "c1   |"},
      {"\u00A0\u2027\u202F\u2065\u206A\u200D\u061B\u00E9e\u0301",
       "\u00A0\u2027\u202F\u2065\u206A\u200D\u061B\u00E9e\u0301"},
  };
  for (const TCase& c : cases) EXPECT_EQ(OutsideText(c.Text), c.Shown) << c.Text;
}

// Broken UTF-8 around a mark never lets a decoder that resynchronises elsewhere find the mark:
// every byte of a broken sequence is U+FFFD, and the cut counts the bytes shown.
TEST(OutsideText, BrokenBytesAroundMarksBecomeReplacements) {
  const std::vector<TCase> cases = {
      {"a\xE2\x80\xE2\x80\xAE"
       "b",
       "a" + kFffd + kFffd + " b"},
      {"\xE2\x80\xAE\xFF", " " + kFffd},
      {"x\xF0\x82\x80\xAE"
       "y",
       "x" + kFffd + kFffd + kFffd + kFffd + "y"},  // U+202E written overlong
      {"\xC0\x8A"
       "z",
       kFffd + kFffd + "z"},  // LF written overlong
      {"\xC2\x85\xC2", " " + kFffd},
      {"\xED\xA0\x80\x80\xAE", kFffd + kFffd + kFffd + kFffd + kFffd},
      {std::string(198, 'a') + "\xFF\xFF", std::string(198, 'a') + "..."},
      {std::string(197, 'a') + "\xFF", std::string(197, 'a') + kFffd},
  };
  for (const TCase& c : cases) EXPECT_EQ(OutsideText(c.Text), c.Shown) << c.Text;

  // Whatever the bytes, Qt's own decoder reads no control, separator or mark out of the text.
  uint32_t s = 7;
  const uint8_t pool[] = {0xE2, 0x80, 0x81, 0xAE, 0xA8, 0xC2, 0x85, 0x9F, 0xD8, 0x9C, 0xF0, 0x0A, 'a', 0xFF, 0xC0};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = 1 + round % 40;
    for (int i = 0; i < n; ++i) {
      s = s * 134775813 + 1;
      text += char(pool[(uint64_t(s) * sizeof pool) >> 32]);
    }
    const std::string shown = OutsideText(text);
    ASSERT_TRUE(PlainOutsideName(shown)) << round;
    for (const QChar ch : QString::fromUtf8(shown.data(), qsizetype(shown.size())))
      ASSERT_FALSE(IsLayoutControl(ch.unicode())) << round << " " << int(ch.unicode());
  }
}

// A description keeps its lines and all its text; nothing else that makes lines survives.
TEST(OutsideText, LinesKeepTheirBreaksAndLength) {
  EXPECT_EQ(OutsideLines("Lake\r\nBled\rat dusk\n\u2028forged\u2029\u202E\t\x85"),
            "Lake\r\nBled\rat dusk\n forged   " + kFffd);
  const std::string longLine(5000, 'w');
  EXPECT_EQ(OutsideLines(longLine), longLine);
}

// A name from outside is taken as it is or not at all.
TEST(OutsideText, PlainNames) {
  for (const std::string name : {"caf\u00E9.zvq", "bee\U0001F41D", "a b~c", "nnbsp\u202F", ""})
    EXPECT_TRUE(PlainOutsideName(name)) << name;
  for (const std::string name : {"rtl\u202Ecba.zvq", "ls\u2028", "ps\u2029", "nel\u0085", "lrm\u200E", "rlm\u200F",
                                 "lri\u2066", "pdi\u2069", "alm\u061C", "tab\t", "del\x7F", "bad\xFF", "cut\xE2\x80",
                                 "over\xC0\xAF", "sur\xED\xA0\x80", "past\xF4\x90\x80\x80"})
    EXPECT_FALSE(PlainOutsideName(name)) << name;
}

// Against the standard's table of well-formed sequences, over every short one: a name is plain
// exactly when its bytes are well-formed and hold no layout control, a plain text is shown as it
// is, and broken bytes are never shown as they came.
TEST(OutsideText, EveryShortSequenceIsJudgedAsTheStandardsTableSays) {
  std::vector<uint32_t> cps;
  int failures = 0;
  utf8_table::ForEachSequence([&](const std::string& s) {
    const bool wellFormed = utf8_table::WellFormed(s, cps);
    bool plain = wellFormed;
    for (const uint32_t cp : cps) plain = plain && !IsLayoutControl(cp);
    const std::string lines = OutsideLines(s);
    const bool right = PlainOutsideName(s) == plain && (!plain || lines == s) &&
                       (wellFormed || lines.find(kFffd) != std::string::npos);
    if (!right && ++failures <= 5) ADD_FAILURE() << utf8_table::Hex(s);
  });
}
