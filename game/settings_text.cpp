#include "game/settings_text.h"

#include <charconv>
#include <cstring>

#include "foundation/binary_file.h"

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && std::memcmp(s.data(), prefix.data(), prefix.size()) == 0;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string FormatKeyLine(const std::string& keyForm, const std::string& value) { return "      " + keyForm + value; }
std::string FormatSubSectionLine(const std::string& subForm, const std::string& value) {
  return "   " + subForm + " " + value;
}

}  // namespace

std::string TrimSetting(const std::string& s) {
  size_t first = 0;
  size_t last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

bool LoadSettingsText(TSettingsText& text, const std::string& path) {
  text.Lines.clear();
  TBinaryReader in;
  if (!in.Open(path) || in.Size() > kMaxSettingsFileSize) return false;
  std::string bytes(size_t(in.Size()), '\0');
  if (!in.Read(bytes.data(), in.Size())) return false;
  // An editor may have put a byte-order mark in front of the first section.
  size_t pos = StartsWith(bytes, "\xEF\xBB\xBF") ? 3 : 0;
  // Lines end at CR LF, LF or a lone CR; text after the last break is a line of its own.
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
      text.Lines.push_back(bytes.substr(pos));
      break;
    }
    text.Lines.push_back(bytes.substr(pos, end - pos));
    pos = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
  }
  return true;
}

bool SaveSettingsText(TSettingsText& text, const std::string& path, int* error) {
  std::string bytes;
  for (const std::string& line : text.Lines) bytes += line + '\n';
  text.Lines.clear();
  TBinaryWriter out;
  const bool ok = out.Create(path) && out.Write(bytes.data(), int64_t(bytes.size())) && out.Commit();
  if (error) *error = ok ? 0 : out.Error();
  return ok;
}

TSettingLines FindSettingLine(const TSettingsText& text, std::string& section, std::string& subSection,
                              std::string& key) {
  section = "[" + TrimSetting(section) + "]";
  subSection = "<" + TrimSetting(subSection) + ">";
  key = TrimSetting(key);
  if (!key.empty()) key += "=";

  TSettingLines found;
  const int32_t count = int32_t(text.Lines.size());
  for (int32_t i = 0; i < count; ++i) {
    if (StartsWith(TrimSetting(text.Lines[size_t(i)]), section)) {
      found.Section = i;
      break;
    }
  }
  if (found.Section < 0) return found;
  for (int32_t i = found.Section + 1; i < count; ++i) {
    const std::string line = TrimSetting(text.Lines[size_t(i)]);
    if (StartsWith(line, "[")) break;
    if (StartsWith(line, subSection)) {
      found.SubSection = i;
      break;
    }
  }
  if (found.SubSection < 0 || key.empty()) return found;
  for (int32_t i = found.SubSection + 1; i < count; ++i) {
    const std::string line = TrimSetting(text.Lines[size_t(i)]);
    if (StartsWith(line, "[") || StartsWith(line, "<")) break;
    if (StartsWith(line, key)) {
      found.Key = i;
      break;
    }
  }
  return found;
}

std::string ReadSettingString(const TSettingsText& text, const std::string& section, const std::string& subSection,
                              const std::string& key, const std::string& def) {
  std::string sectionForm = section, subForm = subSection, keyForm = key;
  const TSettingLines found = FindSettingLine(text, sectionForm, subForm, keyForm);
  if (found.Section < 0 || found.SubSection < 0) return def;
  if (!keyForm.empty()) {
    if (found.Key < 0) return def;
    return TrimSetting(TrimSetting(text.Lines[size_t(found.Key)]).substr(keyForm.size()));
  }
  return TrimSetting(TrimSetting(text.Lines[size_t(found.SubSection)]).substr(subForm.size()));
}

int32_t ReadSettingInt(const TSettingsText& text, const std::string& section, const std::string& subSection,
                       const std::string& key, int32_t def) {
  const std::string value = ReadSettingString(text, section, subSection, key, std::to_string(def));
  // from_chars takes no '+', which a hand-edited file may well carry.
  const char* first = value.data();
  const char* last = value.data() + value.size();
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
  int32_t result = 0;
  const auto [end, error] = std::from_chars(first, last, result, 10);
  if (error != std::errc() || end != last) return def;
  return result;
}

bool ReadSettingBool(const TSettingsText& text, const std::string& section, const std::string& subSection,
                     const std::string& key, bool def) {
  const int32_t value = ReadSettingInt(text, section, subSection, key, def ? 1 : 0);
  if (value == 0) return false;
  if (value == 1) return true;
  return def;
}

bool WriteSettingString(TSettingsText& text, const std::string& section, const std::string& subSection,
                        const std::string& key, const std::string& value) {
  if (value.find_first_of("\r\n") != std::string::npos) return false;
  std::string sectionForm = section, subForm = subSection, keyForm = key;
  TSettingLines found = FindSettingLine(text, sectionForm, subForm, keyForm);
  auto& lines = text.Lines;
  if (found.Section < 0) {
    if (!lines.empty()) {
      lines.emplace_back();
      lines.emplace_back();
    }
    lines.push_back(sectionForm);
    found.Section = int32_t(lines.size()) - 1;
  }
  if (found.SubSection >= 0) {
    if (keyForm.empty())
      lines[size_t(found.SubSection)] = FormatSubSectionLine(subForm, value);
    else if (found.Key >= 0)
      lines[size_t(found.Key)] = FormatKeyLine(keyForm, value);
    else
      lines.insert(lines.begin() + found.SubSection + 1, FormatKeyLine(keyForm, value));
    return true;
  }
  const auto below = lines.begin() + found.Section + 1;
  if (keyForm.empty()) {
    lines.insert(below, FormatSubSectionLine(subForm, value));
  } else {
    lines.insert(below, {"   " + subForm, FormatKeyLine(keyForm, value)});
  }
  return true;
}

void WriteSettingInt(TSettingsText& text, const std::string& section, const std::string& subSection,
                     const std::string& key, int32_t value) {
  WriteSettingString(text, section, subSection, key, std::to_string(value));
}

void WriteSettingBool(TSettingsText& text, const std::string& section, const std::string& subSection,
                      const std::string& key, bool value) {
  WriteSettingString(text, section, subSection, key, value ? "1" : "0");
}
