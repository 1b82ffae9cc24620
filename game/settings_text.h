#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The settings file as a list of text lines, and the engine that finds, reads and writes values
// in it. Sections are "[Name]" lines; sub-sections "<Name>" lines, which either hold key lines
// below them or carry their own value after the closing ">"; keys are "Name=value" lines.
// Lines are matched trimmed, so indentation never matters on reading.
struct TSettingsText {
  std::vector<std::string> Lines;
};

// A settings file larger than this is not a settings file: it is ignored as a whole.
constexpr int64_t kMaxSettingsFileSize = 1 << 20;

// Empties the list, then loads the file when it exists. False when the file is missing,
// unreadable or too large; the list is then empty.
bool LoadSettingsText(TSettingsText& text, const std::string& path);
// Writes the list safely (a temporary file renamed over the target) and empties the list.
// On failure the old file is untouched; the list is emptied all the same, and *error (when
// given) holds the system's error number.
bool SaveSettingsText(TSettingsText& text, const std::string& path, int* error = nullptr);

// Removes the characters up to and including the blank (control characters too) from both ends.
std::string TrimSetting(const std::string& s);

// The three lines of a value; -1 for a line that was not found.
struct TSettingLines {
  int32_t Key = -1;
  int32_t SubSection = -1;
  int32_t Section = -1;
};

// Turns the names into their line forms ("[Main]", "<DefJigP>", "Rotate=", an empty key stays
// empty) and finds their lines. An empty key means the value sits on the sub-section line.
TSettingLines FindSettingLine(const TSettingsText& text, std::string& section, std::string& subSection,
                              std::string& key);

std::string ReadSettingString(const TSettingsText& text, const std::string& section, const std::string& subSection,
                              const std::string& key, const std::string& def);
// Decimal text in the signed 32-bit range; anything else gives the default.
int32_t ReadSettingInt(const TSettingsText& text, const std::string& section, const std::string& subSection,
                       const std::string& key, int32_t def);
// Only "0" and "1"; anything else gives the default.
bool ReadSettingBool(const TSettingsText& text, const std::string& section, const std::string& subSection,
                     const std::string& key, bool def);

// Replaces the value's line, or inserts it first in its sub-section (a missing sub-section first
// in its section, a missing section at the end). Lines nobody knows stay where they are.
// A value that holds a line break could not be read back as written: it is refused (false)
// and the text stays unchanged.
bool WriteSettingString(TSettingsText& text, const std::string& section, const std::string& subSection,
                        const std::string& key, const std::string& value);
void WriteSettingInt(TSettingsText& text, const std::string& section, const std::string& subSection,
                     const std::string& key, int32_t value);
void WriteSettingBool(TSettingsText& text, const std::string& section, const std::string& subSection,
                      const std::string& key, bool value);
