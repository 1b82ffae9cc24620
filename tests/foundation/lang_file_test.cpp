#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/lang.h"
#include "foundation/text_format.h"
#include "lang_test_util.h"
#include "support/hostile_input.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr char kGroesseUtf8[] =
    "Gr\xC3\xB6\xC3\x9F"
    "e \xE2\x82\xAC";  // "Größe €"

class LangFile : public ::testing::Test {
 protected:
  // Loads bytes as a language file into state_ (no forms).
  std::vector<TLangEntry> Parse(const std::vector<uint8_t>& bytes, const std::string& name = "t.lng") {
    Spit(temp_.File(name), bytes);
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadLangLines(temp_.File(name), lines));
    return ParseLangLines(lines);
  }
  TLanguageState Load(const std::vector<uint8_t>& bytes) {
    TLanguageState st;
    st.LangList = Parse(bytes);
    return st;
  }
  TTempFolder temp_;
};

// --- Encodings ----------------------------------------------------------------------------

TEST_F(LangFile, EveryEncodingGivesTheSameUtf8Text) {
  const std::string body = std::string("[All]\r\n<B_Ok>") + kGroesseUtf8 + "\r\n";
  const std::vector<std::vector<uint8_t>> files = {
      Utf16LeWithBom(u"[All]\r\n<B_Ok>Gr\u00F6\u00DFe \u20AC\r\n"), Utf8WithBom(body),
      Bytes(body),  // UTF-8 without a mark
      Bytes("[All]\r\n<B_Ok>Gr\xF6\xDF"
            "e \x80\r\n"),  // Windows-1252
  };
  for (size_t i = 0; i < files.size(); ++i) {
    const TLanguageState st = Load(files[i]);
    EXPECT_EQ(GetLangString(st, kLangAll, "B_Ok"), kGroesseUtf8) << "file " << i;
  }
}

// Broken text in every encoding: UTF-16 pairs, lone halves and a last odd byte; marked UTF-8
// with bad bytes (each one replacement character); files of a mark alone or cut inside it.
TEST_F(LangFile, BrokenTextBecomesReplacementCharacters) {
  std::vector<uint8_t> odd = Utf16LeWithBom(u"[All]\n<a>\U0001D11E\n<b>x\xDC00y\n<c>z\xD800");
  odd.push_back('!');  // half of a character
  const TLanguageState utf16 = Load(odd);
  EXPECT_EQ(GetLangString(utf16, 1, "a"), "\xF0\x9D\x84\x9E");
  EXPECT_EQ(GetLangString(utf16, 1, "b"), "x\xEF\xBF\xBDy");
  EXPECT_EQ(GetLangString(utf16, 1, "c"), "z\xEF\xBF\xBD");
  const TLanguageState utf8 = Load(Utf8WithBom("[All]\n<a>x\xFFy\n<b>\xC3\xA9\n<c>\xE2\x82\n"));
  EXPECT_EQ(GetLangString(utf8, 1, "a"), "x\xEF\xBF\xBDy");
  EXPECT_EQ(GetLangString(utf8, 1, "b"), "\xC3\xA9");
  EXPECT_EQ(GetLangString(utf8, 1, "c"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  for (const std::vector<uint8_t>& file : {std::vector<uint8_t>{0xFF, 0xFE}, {0xFF}, {0xEF, 0xBB}})
    EXPECT_TRUE(Parse(file).empty());
}

TEST_F(LangFile, TextThatIsNotUtf8IsWindows1252) {
  // One invalid sequence anywhere sends the whole unmarked file to Windows-1252: the valid
  // looking pair in the first line is then two characters as well.
  TLanguageState st = Load(Bytes("[All]\n<a>\xC3\xA9\n<b>\x93q\x94 \x81\n"));
  EXPECT_EQ(GetLangString(st, 1, "a"), "\xC3\x83\xC2\xA9");
  EXPECT_EQ(GetLangString(st, 1, "b"), "\xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81")
      << "curly quotes; the unassigned 0x81 stays the control character U+0081";
  // Overlong forms and encoded surrogates are not UTF-8 either.
  EXPECT_EQ(DecodeLangText(reinterpret_cast<const uint8_t*>("\xC0\xAF"), 2), "\xC3\x80\xC2\xAF");
  EXPECT_EQ(DecodeLangText(reinterpret_cast<const uint8_t*>("\xED\xA0\x80"), 3), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");
}

TEST_F(LangFile, LineBreaksOfEveryKind) {
  TLanguageState st = Load(Bytes("[All]\r<a>1\n<b>2\r\n<c>3\n\r<d>4"));
  std::string got;
  for (const char* k : {"a", "b", "c", "d"}) got += GetLangString(st, 1, k);
  EXPECT_EQ(got, "1234") << "a last line without a break counts";
}

// --- Format rules -------------------------------------------------------------------------

TEST_F(LangFile, HeadersAndEntries) {
  const std::string text =
      "<Early>before any header\n"
      "[Nonsense]\n"
      "<Early2>still before a known header\n"
      "  \t[Main Form]  anything after the name\n"
      "  <MI_FileOpen >  Open...  \t\n"
      "<Arrow> a < b > c\n"
      "<no closing bracket\n"
      "just a remark\n"
      "<>empty key\n"
      "[main form]\n"
      "<LowerHeader>joins Main Form\n"
      "[Options]\n"
      "<FormCaption>Options\n"
      "[Info\n"
      "<Unclosed>joins Options\n"
      "[Extra]\n"
      "\x01\x02<Ctrl>\x03 trimmed \x1F\n";
  const std::vector<TLangEntry> entries = Parse(Bytes(text));
  const std::vector<std::tuple<int32_t, std::string, std::string>> want = {
      {2, "MI_FileOpen", "Open..."}, {2, "Arrow", "a < b > c"},
      {2, "", "empty key"},          {2, "LowerHeader", "joins Main Form"},
      {5, "FormCaption", "Options"}, {5, "Unclosed", "joins Options"},
      {15, "Ctrl", "trimmed"},
  };
  ASSERT_EQ(entries.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(entries[i].Section, std::get<0>(want[i])) << i;
    EXPECT_EQ(entries[i].Key, std::get<1>(want[i])) << i;
    EXPECT_EQ(entries[i].Value, std::get<2>(want[i])) << i;
  }
}

TEST(LangHeader, EverySectionByItsExactName) {
  for (int32_t s = 0; s < kLangSectionCount; ++s)
    EXPECT_EQ(LangSectionOfHeader(std::string("[") + LangSectionNames[s] + "]"), s) << s;
  EXPECT_EQ(LangSectionOfHeader("[Quick help]"), -1) << "letter case counts";
  EXPECT_EQ(LangSectionOfHeader("[All ]"), -1);
  EXPECT_EQ(LangSectionOfHeader("[All"), -1);
  EXPECT_EQ(LangSectionOfHeader("All]"), -1);
}

// --- Lookup -------------------------------------------------------------------------------

TEST_F(LangFile, LookupBySectionAndKeyIgnoringAsciiCase) {
  TLanguageState st =
      Load(Bytes("[All]\n<B_Ok>OK\n<B_Ok>second OK\n"
                 "[Info]\n<FormCaption>Information\n<l_UnsolvedNum>Groups: %d\n"
                 "[Options]\n<FormCaption>Options\n<\xC3\xA9t\xC3\xA9>summer\n"));
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "OK") << "the first of two equal keys wins";
  EXPECT_EQ(GetLangString(st, 1, "b_ok"), "OK");
  EXPECT_EQ(GetLangString(st, 5, "formcaption"), "Options");
  EXPECT_EQ(GetLangString(st, 6, "L_UnsolvedNum"), "Groups: %d");
  EXPECT_EQ(GetLangString(st, 5, "\xC3\xA9t\xC3\xA9"), "summer");
  EXPECT_EQ(GetLangString(st, 5, "\xC3\x89T\xC3\x89"), "\xC3\x89T\xC3\x89") << "only ASCII letters fold";
  // Missing: the key itself, as given.
  EXPECT_EQ(GetLangString(st, 2, "B_Ok"), "B_Ok") << "another section";
  EXPECT_EQ(GetLangString(st, 1, "B_Ok "), "B_Ok ");
  EXPECT_EQ(GetLangString(st, -1, "B_Ok"), "B_Ok");

  FreeLangList(st);
  EXPECT_TRUE(st.LangList.empty());
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "B_Ok") << "no language loaded";
}

TEST_F(LangFile, LineBreakMarker) {
  TLanguageState st = Load(Bytes("[Load/Save Form]\n<B_Extra>Download$DJigsaws\n<Two>a$D$Db\n<Lower>a$db\n"));
  EXPECT_EQ(GetLangText(st, 3, "B_Extra"), "Download\r\nJigsaws");
  EXPECT_EQ(GetLangString(st, 3, "B_Extra"), "Download$DJigsaws") << "the plain lookup keeps the marker";
  EXPECT_EQ(GetLangText(st, 3, "Lower"), "a$db") << "the marker is case-sensitive";
  EXPECT_EQ(GetLangText(st, 3, "Missing$D"), "Missing\r\n") << "a missing key goes through the rule too";
}

// --- Hostile files ------------------------------------------------------------------------

TEST_F(LangFile, HostileFilesGiveSaneResults) {
  EXPECT_TRUE(Parse({}).empty()) << "a 0-byte file";
  EXPECT_TRUE(Parse(Bytes("<B_Ok>OK\n<B_Cancel>Cancel\n")).empty()) << "no section at all";

  // NUL bytes never reach a text, whatever the encoding.
  TLanguageState st = Load(Bytes(std::string("[All]\n<B_\0Ok>O\0K\n\0\0\n", 18)));
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "OK");
  st = Load(Utf16LeWithBom(std::u16string(u"[All]\n<B_Ok>O\0K", 15)));
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "OK");
  // A UTF-16 file that lost its mark is bytes with NULs between them: still readable.
  std::vector<uint8_t> unmarked = Utf16LeWithBom(u"[All]\n<B_Ok>OK\n");
  unmarked.erase(unmarked.begin(), unmarked.begin() + 2);
  st = Load(unmarked);
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "OK");

  // A huge line is one entry like any other.
  const std::string huge(300000, 'x');
  st = Load(Bytes("[All]\n<Huge>" + huge + "\n<B_Ok>OK\n<" + huge + ">key\n"));
  EXPECT_EQ(GetLangString(st, 1, "Huge"), huge);
  EXPECT_EQ(GetLangString(st, 1, "B_Ok"), "OK");
  EXPECT_EQ(GetLangString(st, 1, huge), "key");
}

TEST_F(LangFile, FilesPastTheSizeLimitAreRefused) {
  std::vector<uint8_t> bytes = Bytes("[All]\n<B_Ok>OK\n");
  bytes.resize(kMaxLangFileSize + 1, ' ');
  Spit(temp_.File("big.lng"), bytes);
  std::vector<std::string> lines = {"kept"};
  EXPECT_FALSE(ReadLangLines(temp_.File("big.lng"), lines));
  bytes.resize(kMaxLangFileSize);
  Spit(temp_.File("limit.lng"), bytes);
  EXPECT_TRUE(ReadLangLines(temp_.File("limit.lng"), lines)) << "the limit itself passes";
  EXPECT_FALSE(ReadLangLines(temp_.File("missing.lng"), lines));
  EXPECT_FALSE(ReadLangLines(temp_.Path().string(), lines)) << "a folder is no file";
}

TEST_F(LangFile, HostileVariantsOfARealFileGiveSaneEntries) {
  const std::vector<uint8_t> good =
      Utf8WithBom(std::string("[All]\r\n<B_Ok>") + kGroesseUtf8 + "$D%d\r\n[Info]\n<a> b <c>\n\xC3\xA9\n");
  for (const std::vector<uint8_t>& file : {good, Utf16LeWithBom(u"[All]\n<B_Ok>x\U0001D11E\n")})
    ForEachHostileVariant(file, 300, [&](const std::vector<uint8_t>& bytes) {
      const TLanguageState st = Load(bytes);
      for (const TLangEntry& e : st.LangList) {
        EXPECT_TRUE(e.Section >= 0 && e.Section < kLangSectionCount);
        EXPECT_EQ((e.Key + e.Value).find('\0'), std::string::npos);
        EXPECT_EQ(std::string(TrimBlanks(e.Value)), e.Value);
      }
    });
}

// --- Language list ------------------------------------------------------------------------

class LangList : public LangFile {
 protected:
  void SetUp() override { st_.LangDir = (temp_.Path() / "language").string() + "/"; }
  void Write(const std::string& name, const std::string& text) {
    fs::create_directories(st_.LangDir);
    Spit(st_.LangDir + name, Bytes(text));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    if (st_.LangInfoList)
      for (const TLangInfo& i : *st_.LangInfoList) out.push_back(i.Name + "=" + i.engname);
    return out;
  }
  TLanguageState st_;
};

TEST_F(LangList, ReadLangInfoTakesTheHeaderSectionOnly) {
  Write("deutsch.lng",
        "[All]\n<engname>not this one\n"
        "[Language Info] remark\n"
        "<EngName>German\n<localname>Deutsch\n<author>A\n<AUTHOR>B\n<l_onlyinterface>Nur Oberfl\xC3\xA4"
        "che\n"
        "<other>ignored\n"
        "[Nonsense]\n<localname>after the section\n");
  TLangInfo info;
  info.localname = "stale";
  ASSERT_TRUE(ReadLangInfo(st_.LangDir + "deutsch.lng", info));
  EXPECT_EQ(info.Name, "deutsch");
  EXPECT_EQ(info.engname, "German") << "keys compare after lower-casing";
  EXPECT_EQ(info.localname, "Deutsch") << "reading stops at the next header, known or not";
  EXPECT_EQ(info.author, "B") << "a later line of the same key wins";
  EXPECT_EQ(info.l_onlyinterface,
            "Nur Oberfl\xC3\xA4"
            "che");

  Write("Nameless.lng", "[Language Info]\n<localname>Sans nom\n");
  ASSERT_TRUE(ReadLangInfo(st_.LangDir + "Nameless.lng", info));
  EXPECT_EQ(info.Name, "Nameless");
  EXPECT_EQ(info.engname, "Nameless") << "no engname: the file name, as spelled";
  EXPECT_EQ(info.author, "") << "fields of an earlier read are cleared";

  Write("headless.lng", "[All]\n<B_Ok>OK\n");
  EXPECT_FALSE(ReadLangInfo(st_.LangDir + "headless.lng", info));
  EXPECT_FALSE(ReadLangInfo(st_.LangDir + "missing.lng", info));
  Write("empty.lng", "");
  EXPECT_FALSE(ReadLangInfo(st_.LangDir + "empty.lng", info));
}

TEST_F(LangList, ScanSortsByEnglishNameAndDropsFilesWithoutHeader) {
  Write("zz.lng", "[Language Info]\n<engname>alpha\n");
  Write("b.lng", "[Language Info]\n<engname>Zulu\n");
  Write("c.lng", "[Language Info]\n<engname>Dutch\n");
  Write("nohdr.lng", "[All]\n<B_Ok>OK\n");
  Write("other.txt", "[Language Info]\n<engname>Text\n");
  fs::create_directory(st_.LangDir + "folder.lng");
  ScanLanguages(st_);
  EXPECT_EQ(Names(), (std::vector<std::string>{"zz=alpha", "c=Dutch", "b=Zulu"}));
  FreeLangInfoList(st_);
  EXPECT_FALSE(st_.LangInfoList);
}

TEST_F(LangList, ScanWithoutLanguagesLeavesNoList) {
  ScanLanguages(st_);
  EXPECT_FALSE(st_.LangInfoList);
  EXPECT_TRUE(fs::is_directory(st_.LangDir)) << "the missing folder is created";
  Write("x.lng", "[All]\n");
  ScanLanguages(st_);
  EXPECT_FALSE(st_.LangInfoList) << "no file with a header: still no list";

  Write("x.lng", "[Language Info]\n");
  ScanLanguages(st_);
  ASSERT_TRUE(st_.LangInfoList);
  fs::remove(st_.LangDir + "x.lng");
  ScanLanguages(st_);
  EXPECT_FALSE(st_.LangInfoList) << "a rescan drops the old list";

  // A folder that cannot be created (its parent is a file): no list, no crash.
  Spit(temp_.File("plain"), Bytes("x"));
  st_.LangDir = temp_.File("plain") + "/language/";
  ScanLanguages(st_);
  EXPECT_FALSE(st_.LangInfoList);
}

TEST_F(LangList, FilePathsUseTheLowerCaseNameOrTheFileAsSpelled) {
  EXPECT_EQ(LangFilePath(st_, "English"), st_.LangDir + "english.lng");
  // The folder may hold a language only with capitals (the scan lists it as spelled).
  Write("Deutsch.lng", "[Language Info]\n");
  Write("Deutsch.BMP", "");
  Write("deutsch.chm", "");
  EXPECT_EQ(LangFilePath(st_, "DEUTSCH"), st_.LangDir + "Deutsch.lng");
  EXPECT_EQ(FlagFilePath(st_, "deutsch"), st_.LangDir + "Deutsch.BMP");
  EXPECT_EQ(HelpFilePath(st_, "Deutsch"), st_.LangDir + "deutsch.chm");
  Write("english.lng", "");
  Write("English.lng", "");
  EXPECT_EQ(LangFilePath(st_, "ENGLISH"), st_.LangDir + "english.lng") << "the lower-case file first";
}

// --- Captions and hints -------------------------------------------------------------------

TEST(LangCaptions, StripEllipsisRemovesTheFirstOfEachKind) {
  EXPECT_EQ(StripEllipsis("Open..."), "Open");
  EXPECT_EQ(StripEllipsis("&Options\xE2\x80\xA6"), "&Options") << "the ampersand stays";
  EXPECT_EQ(StripEllipsis("a...b...c\xE2\x80\xA6"
                          "d\xE2\x80\xA6"),
            "ab...cd\xE2\x80\xA6");
  EXPECT_EQ(StripEllipsis("...."), ".");
}

TEST(LangCaptions, ToolbarHintAddsTheShortcut) {
  EXPECT_EQ(ToolbarHintText("Open...", "O"), "Open (O)");
  EXPECT_EQ(ToolbarHintText("Options...", ""), "Options");
  EXPECT_EQ(ToolbarHintText("100% %d", "F1"), "100% %d (F1)") << "captions are not formats";
}

}  // namespace

// Every limit of the three encodings, one file each: the last and first values of each UTF-8
// length, the overlong forms, the surrogates and the end of Unicode (each bad byte one
// replacement character), UTF-16 pairs at their limits, and the Windows-1252 range that differs
// from Latin-1.
TEST(LangText, EachEncodingAtItsLimits) {
  using namespace std::string_literals;
  const std::string bad = "\xEF\xBF\xBD";
  const struct {
    std::string bytes, text;
  } cases[] = {
      {"\xEF\xBB\xBF\x7F\xC2\x80\xDF\xBF", "\x7F\xC2\x80\xDF\xBF"},
      {"\xEF\xBB\xBF\xC1\xBF", bad + bad},
      {"\xEF\xBB\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF",
       "\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF"},
      {"\xEF\xBB\xBF\xE0\x9F\xBF", bad + bad + bad},
      {"\xEF\xBB\xBF\xED\xA0\x80", bad + bad + bad},
      {"\xEF\xBB\xBF\xED\xBF\xBF", bad + bad + bad},
      {"\xEF\xBB\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
      {"\xEF\xBB\xBF\xF0\x8F\xBF\xBF", bad + bad + bad + bad},
      {"\xEF\xBB\xBF\xF4\x90\x80\x80", bad + bad + bad + bad},
      {"\xEF\xBB\xBF\xF5\x80\x80\x80", bad + bad + bad + bad},
      {"\xEF\xBB\xBF\xF8\x88\x80\x80\x80", bad + bad + bad + bad + bad},
      {"\xEF\xBB\xBF\xC3\x41\xC3", bad + "A" + bad},
      {"\xEF\xBB\xBF"
       "a" +
           std::string(1, '\0') + "b",
       "ab"},  // a NUL would end the text
      {"\xFF\xFE\xFF\xD7\x00\xE0\xFF\xDB\xFF\xDF"s, "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF"},
      {"\xFF\xFE\x00\xD8\x00\xDC\xFF\xDB\x41\x00"s, "\xF0\x90\x80\x80" + bad + "A"},
      {"\xFF\xFE\xFF\xDF\x00\xDC"s, bad + bad},
      {"\xFF\xFE\xFF\x00\x00\x08"s, "\xC3\xBF\xE0\xA0\x80"},
      {"\x7F\x80\x9F\xA0\xFF", "\x7F\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF"},
      {"\xFF", "\xC3\xBF"},
      {"\xEF\xBB", "\xC3\xAF\xC2\xBB"},
  };
  for (const auto& c : cases) {
    const auto* data = reinterpret_cast<const uint8_t*>(c.bytes.data());
    EXPECT_EQ(DecodeLangText(data, c.bytes.size()), c.text) << ::testing::PrintToString(c.bytes);
  }
  // Text going to the window system: pairs for the planes past the first, one replacement
  // character for each byte that starts no sequence.
  EXPECT_EQ(Utf8ToUtf16("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBF\xDF\xBF"), u"\U00010000\U0010FFFF\uFFFF\u07FF");
  EXPECT_EQ(Utf8ToUtf16("a\xE0\x9F\xBF\xC2"), u"a\uFFFD\uFFFD\uFFFD\uFFFD");
}

// The lines of a file, each kind of line break ending one line: a CR LF pair is one break, also
// as the file's last bytes; a last line without a break counts too.
TEST(LangText, LinesEndAtEveryKindOfBreak) {
  TTempFolder temp;
  const struct {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\r", {"a"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\rb\n", {"a", "", "b"}},
      {"last", {"last"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    Spit(temp.File("t.lng"), Bytes(c.text));
    std::vector<std::string> lines = {"stale"};
    ASSERT_TRUE(ReadLangLines(temp.File("t.lng"), lines));
    EXPECT_EQ(lines, c.lines) << ::testing::PrintToString(std::string(c.text));
  }
}

// The text painters take UTF-16: characters past the first plane become surrogate pairs and
// broken bytes one replacement character each.
TEST(LangUtf16, Utf8BecomesUtf16) {
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"", u""},
      {"Ok", u"Ok"},
      {kGroesseUtf8, u"Gr\u00F6\u00DFe \u20AC"},
      {"\xF0\x9D\x84\x9E!", u"\U0001D11E!"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\xF0\x90\x80\x80", u"\U00010000"},
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\xE2\x82", u"\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      // Every lead byte's first and last values, and the code points at each length's edges.
      {"\xC2\x80|\xDF\xBF", u"\u0080|\u07FF"},
      {"\xE0\xA0\x80|\xEF\xBF\xBF", u"\u0800|\uFFFF"},
      {"\xED\x9F\xBF|\xEE\x80\x80", u"\uD7FF|\uE000"},
      {"\x7F\xC1\xBF", u"\u007F\uFFFD\uFFFD"},
      {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
      {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xC3\xA9\xC3", u"\u00E9\uFFFD"},
  };
  for (const auto& [utf8, utf16] : cases) EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
}
