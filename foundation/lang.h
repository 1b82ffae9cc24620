#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Language files: every text the player sees is looked up by a section number and a key in the
// loaded language. Texts are UTF-8 here whatever the file's encoding.

constexpr int32_t kLangSectionCount = 16;
// A section's number is its index. Nothing is looked up in section 7, which no file needs.
extern const char* const LangSectionNames[kLangSectionCount];

enum : int32_t {
  kLangInfoSection = 0,
  kLangAll = 1,
  kLangMainForm = 2,
  kLangLoadSave = 3,
  kLangPocket = 4,
  kLangOptions = 5,
  kLangInfo = 6,
  kLangCredits = 8,
  kLangAbout = 9,
  kLangThumbnail = 10,
  kLangDownload = 11,
  kLangFinish = 12,
  kLangQuickHelp = 13,
  kLangColorPicker = 14,
  kLangExtra = 15,
};

// One text line of a loaded language, in file order.
struct TLangEntry {
  int32_t Section = 0;
  std::string Key;    // trimmed, case kept
  std::string Value;  // trimmed; may hold "$D" where a line break belongs
};

// One available language.
struct TLangInfo {
  std::string Name;  // file name without extension, spelled as found in the folder
  std::string engname;
  std::string localname;
  std::string author;
  std::string l_onlyinterface;
};

struct TLanguageState {
  std::string LangDir;  // the language folder, ending with '/'
  // The available languages sorted by engname; null until a scan finds one.
  std::unique_ptr<std::vector<TLangInfo>> LangInfoList;
  // The loaded language; empty when none is loaded.
  std::vector<TLangEntry> LangList;
  std::string CurrentLanguage = "english";
  std::string DownloadCaption;  // the download window's translated caption
};

// Language files larger than this are refused: real ones are a few tens of kilobytes.
constexpr size_t kMaxLangFileSize = 1u << 20;

// The text of a language file: UTF-16LE or UTF-8 by byte-order mark, else UTF-8 when the bytes
// are valid UTF-8, else Windows-1252. Broken sequences become U+FFFD, a last odd byte of UTF-16
// is dropped, and NUL characters are dropped.
std::string DecodeLangText(const uint8_t* data, size_t size);

// UTF-8 text as UTF-16 for the text painters; broken sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// The file split into lines (CR LF, LF or CR). False when it cannot be read or is larger than
// kMaxLangFileSize.
bool ReadLangLines(const std::string& path, std::vector<std::string>& lines);

// Splits an entry line ("<key>value", already trimmed). False for any other line.
bool SplitLangEntry(std::string_view line, std::string& key, std::string& value);

// The section a header line names (-1 when it names none of the table).
int32_t LangSectionOfHeader(std::string_view line);

// The entries of a language's lines, in file order.
std::vector<TLangEntry> ParseLangLines(const std::vector<std::string>& lines);

// The value of the first entry of the section whose key equals `key` without regard to ASCII
// case; the key itself when there is none (also when no language is loaded).
std::string GetLangString(const TLanguageState& state, int32_t section, std::string_view key);
// GetLangString with every "$D" turned into CR LF.
std::string GetLangText(const TLanguageState& state, int32_t section, std::string_view key);

void FreeLangList(TLanguageState& state);

// Removes the first "..." and then the first "…" of a caption.
std::string StripEllipsis(std::string_view caption);

// A toolbar button's hint from its menu item: the caption without its ellipsis, then the
// shortcut's text in parentheses when there is one.
std::string ToolbarHintText(std::string_view menuCaption, std::string_view shortcutText);

// Fills `info` from the "Language Info" section of a file. False when the file does not exist
// or has no such section.
bool ReadLangInfo(const std::string& path, TLangInfo& info);

// Sort order of two languages: their engname compared as 8-bit text without regard to case.
int CompareLangInfo(const TLangInfo& a, const TLangInfo& b);

// Rebuilds LangInfoList from the ".lng" files of the language folder (created when missing).
void ScanLanguages(TLanguageState& state);
void FreeLangInfoList(TLanguageState& state);

// The files of a language, named after it in lower case. Where the folder holds the file only
// in another letter case, that file is named instead.
std::string LangFilePath(const std::string& langDir, std::string_view name);
std::string HelpFilePath(const std::string& langDir, std::string_view name);
std::string FlagFilePath(const std::string& langDir, std::string_view name);
inline std::string LangFilePath(const TLanguageState& state, std::string_view name) {
  return LangFilePath(state.LangDir, name);
}
inline std::string HelpFilePath(const TLanguageState& state, std::string_view name) {
  return HelpFilePath(state.LangDir, name);
}
inline std::string FlagFilePath(const TLanguageState& state, std::string_view name) {
  return FlagFilePath(state.LangDir, name);
}
