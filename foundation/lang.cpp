#include "foundation/lang.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "foundation/file_helpers.h"
#include "foundation/text_format.h"

const char* const LangSectionNames[kLangSectionCount] = {
    "Language Info", "All",   "Main Form", "Load/Save Form", "Pocket", "Options",    "Info",         "Reserved",
    "Credits",       "About", "Thumbnail", "Download",       "Finish", "Quick Help", "Color Picker", "Extra",
};

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp == 0) return;  // a NUL would cut the text short wherever it is shown
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// One UTF-8 sequence at data[i]: its code point and length, or false when the bytes there are
// not a well-formed sequence (overlong forms, surrogates and values past U+10FFFF included).
bool NextUtf8(const uint8_t* data, size_t size, size_t i, uint32_t& cp, size_t& len) {
  const uint8_t b = data[i];
  uint32_t min;
  if (b < 0x80) {
    cp = b;
    len = 1;
    return true;
  } else if (b >= 0xC2 && b <= 0xDF) {
    cp = b & 0x1F;
    len = 2;
    min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    cp = b & 0x0F;
    len = 3;
    min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    cp = b & 0x07;
    len = 4;
    min = 0x10000;
  } else {
    return false;
  }
  if (size - i < len) return false;
  for (size_t k = 1; k < len; ++k) {
    if ((data[i + k] & 0xC0) != 0x80) return false;
    cp = (cp << 6) | (data[i + k] & 0x3F);
  }
  return cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

bool IsValidUtf8(const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size;) {
    uint32_t cp;
    size_t len;
    if (!NextUtf8(data, size, i, cp, len)) return false;
    i += len;
  }
  return true;
}

std::string DecodeUtf8(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size);
  for (size_t i = 0; i < size;) {
    uint32_t cp;
    size_t len;
    if (NextUtf8(data, size, i, cp, len)) {
      AppendUtf8(out, cp);
      i += len;
    } else {
      AppendUtf8(out, kReplacement);
      ++i;
    }
  }
  return out;
}

std::string DecodeUtf16Le(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size);
  const size_t units = size / 2;  // a last odd byte is half a character: dropped
  for (size_t i = 0; i < units; ++i) {
    const uint32_t u = data[2 * i] | (uint32_t(data[2 * i + 1]) << 8);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const uint32_t low = data[2 * i + 2] | (uint32_t(data[2 * i + 3]) << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
  }
  return out;
}

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones map to the C1 controls of the same
// value, as the system's conversion does.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string DecodeCp1252(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size + size / 4);
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    AppendUtf8(out, (b >= 0x80 && b <= 0x9F) ? kCp1252High[b - 0x80] : b);
  }
  return out;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  if (!IsRegularFile(path)) return false;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  uint8_t buf[65536];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    if (bytes.size() + n > kMaxLangFileSize) {
      ok = false;
      break;
    }
    bytes.insert(bytes.end(), buf, buf + n);
    if (n < sizeof buf) {
      ok = !std::ferror(f);
      break;
    }
  }
  std::fclose(f);
  return ok;
}

// folder + file; when that file is missing but the folder holds one whose name differs only in
// ASCII letter case, that one (the first in name order).
std::string ResolveInFolder(const std::string& folder, const std::string& file) {
  const std::string exact = folder + file;
  if (IsRegularFile(exact)) return exact;
  std::error_code ec;
  std::string best;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!SameAsciiText(name, file) || !it->is_regular_file(ec)) continue;
    if (best.empty() || CompareFileNames(name, best) < 0) best = name;
  }
  return best.empty() ? exact : folder + best;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t len;
    if (!NextUtf8(data, text.size(), i, cp, len)) {
      cp = kReplacement;
      len = 1;
    }
    if (cp >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    i += len;
  }
  return out;
}

std::string DecodeLangText(const uint8_t* data, size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return DecodeUtf16Le(data + 2, size - 2);
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) return DecodeUtf8(data + 3, size - 3);
  if (IsValidUtf8(data, size)) return DecodeUtf8(data, size);
  return DecodeCp1252(data, size);
}

bool ReadLangLines(const std::string& path, std::vector<std::string>& lines) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  const std::string text = DecodeLangText(bytes.data(), bytes.size());
  lines.clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start);
  return true;
}

bool SplitLangEntry(std::string_view line, std::string& key, std::string& value) {
  if (line.empty() || line[0] != '<') return false;
  const size_t close = line.find('>');
  if (close == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(1, close - 1));
  value = TrimBlanks(line.substr(close + 1));
  return true;
}

int32_t LangSectionOfHeader(std::string_view line) {
  if (line.empty() || line[0] != '[') return -1;
  for (int32_t s = 0; s < kLangSectionCount; ++s) {
    const std::string_view name = LangSectionNames[s];
    if (line.size() >= name.size() + 2 && line.substr(1, name.size()) == name && line[name.size() + 1] == ']') return s;
  }
  return -1;
}

std::vector<TLangEntry> ParseLangLines(const std::vector<std::string>& lines) {
  std::vector<TLangEntry> entries;
  int32_t section = -1;  // lines before the first known header belong nowhere
  for (const std::string& raw : lines) {
    const std::string_view line = TrimBlanks(raw);
    if (line.empty()) continue;
    if (line[0] == '[') {
      // An unknown header leaves the section as it was.
      const int32_t s = LangSectionOfHeader(line);
      if (s >= 0) section = s;
      continue;
    }
    if (section < 0) continue;
    TLangEntry e;
    if (!SplitLangEntry(line, e.Key, e.Value)) continue;
    e.Section = section;
    entries.push_back(std::move(e));
  }
  return entries;
}

std::string GetLangString(const TLanguageState& state, int32_t section, std::string_view key) {
  for (const TLangEntry& e : state.LangList)
    if (e.Section == section && SameAsciiText(e.Key, key)) return e.Value;
  return std::string(key);
}

std::string GetLangText(const TLanguageState& state, int32_t section, std::string_view key) {
  return WideStringReplace(GetLangString(state, section, key), "$D", "\r\n", kReplaceAll);
}

void FreeLangList(TLanguageState& state) {
  state.LangList.clear();
  state.LangList.shrink_to_fit();
}

std::string StripEllipsis(std::string_view caption) {
  return WideStringReplace(WideStringReplace(caption, "...", "", 0), "\xE2\x80\xA6", "", 0);
}

std::string ToolbarHintText(std::string_view menuCaption, std::string_view shortcutText) {
  std::string hint = StripEllipsis(menuCaption);
  if (!shortcutText.empty()) hint += WideFormat(" (%s)", {std::string(shortcutText)});
  return hint;
}

bool ReadLangInfo(const std::string& path, TLangInfo& info) {
  if (!IsRegularFile(path)) return false;
  info.Name = FileStemOf(path);
  info.engname.clear();
  info.localname.clear();
  info.author.clear();
  info.l_onlyinterface.clear();
  std::vector<std::string> lines;
  if (!ReadLangLines(path, lines)) return false;
  const std::string header = std::string("[") + LangSectionNames[kLangInfoSection] + "]";
  bool found = false;
  for (const std::string& raw : lines) {
    const std::string_view line = TrimBlanks(raw);
    if (!found) {
      found = line.substr(0, header.size()) == header;
      continue;
    }
    if (!line.empty() && line[0] == '[') break;
    std::string key, value;
    if (!SplitLangEntry(line, key, value)) continue;
    key = AsciiLowerCase(key);
    if (key == "engname")
      info.engname = value;
    else if (key == "localname")
      info.localname = value;
    else if (key == "author")
      info.author = value;
    else if (key == "l_onlyinterface")
      info.l_onlyinterface = value;
  }
  if (!found) return false;
  if (info.engname.empty()) info.engname = info.Name;
  return true;
}

int CompareLangInfo(const TLangInfo& a, const TLangInfo& b) { return CompareAsciiText(a.engname, b.engname); }

void ScanLanguages(TLanguageState& state) {
  FreeLangInfoList(state);
  if (!EnsureDir(state.LangDir)) return;
  // Found as LoadLanguage finds them: "FRENCH.LNG" is the language french.
  std::unique_ptr<TStringList> files = ListFiles(state.LangDir, ".lng", true, true);
  if (!files) return;
  for (const std::string& path : *files) {
    TLangInfo info;
    if (!ReadLangInfo(path, info)) continue;
    if (!state.LangInfoList) state.LangInfoList = std::make_unique<std::vector<TLangInfo>>();
    state.LangInfoList->push_back(std::move(info));
  }
  if (state.LangInfoList)
    std::stable_sort(state.LangInfoList->begin(), state.LangInfoList->end(),
                     [](const TLangInfo& a, const TLangInfo& b) { return CompareLangInfo(a, b) < 0; });
}

void FreeLangInfoList(TLanguageState& state) { state.LangInfoList.reset(); }

std::string LangFilePath(const std::string& langDir, std::string_view name) {
  return ResolveInFolder(langDir, AsciiLowerCase(name) + ".lng");
}

std::string HelpFilePath(const std::string& langDir, std::string_view name) {
  return ResolveInFolder(langDir, AsciiLowerCase(name) + ".chm");
}

std::string FlagFilePath(const std::string& langDir, std::string_view name) {
  return ResolveInFolder(langDir, WideFormat("%s.bmp", {AsciiLowerCase(name)}));
}
