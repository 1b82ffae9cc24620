#pragma once
// Helpers for the language-file tests: files in any of the encodings a language file may use.
#include <cstdint>
#include <string>
#include <vector>

#include "support/file_bytes.h"

// UTF-16LE bytes (with the byte-order mark) of a UTF-16 text.
inline std::vector<uint8_t> Utf16LeWithBom(const std::u16string& text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(uint8_t(c & 0xFF));
    bytes.push_back(uint8_t(c >> 8));
  }
  return bytes;
}

inline std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::vector<uint8_t> Utf8WithBom(const std::string& text) {
  std::vector<uint8_t> bytes = {0xEF, 0xBB, 0xBF};
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}
