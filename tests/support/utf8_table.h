// Well-formed UTF-8 as the Unicode standard tabulates it (lead bytes, the second byte allowed
// after them, how many continuation bytes follow): an independent form to check a decoder's
// arithmetic against.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace utf8_table {

struct TRow {
  uint8_t LeadLo, LeadHi, SecondLo, SecondHi;
  int More;
};

inline constexpr TRow kRows[] = {
    {0x00, 0x7F, 0, 0, 0},       {0xC2, 0xDF, 0x80, 0xBF, 1}, {0xE0, 0xE0, 0xA0, 0xBF, 2},
    {0xE1, 0xEC, 0x80, 0xBF, 2}, {0xED, 0xED, 0x80, 0x9F, 2}, {0xEE, 0xEF, 0x80, 0xBF, 2},
    {0xF0, 0xF0, 0x90, 0xBF, 3}, {0xF1, 0xF3, 0x80, 0xBF, 3}, {0xF4, 0xF4, 0x80, 0x8F, 3},
};

// Whether the bytes are well-formed UTF-8 throughout; their code points when they are.
inline bool WellFormed(const std::string& bytes, std::vector<uint32_t>& cps) {
  cps.clear();
  const auto at = [&](size_t i) { return uint8_t(bytes[i]); };
  for (size_t i = 0; i < bytes.size();) {
    const TRow* row = nullptr;
    for (const TRow& r : kRows) {
      if (at(i) >= r.LeadLo && at(i) <= r.LeadHi) row = &r;
    }
    if (!row || bytes.size() - i < size_t(row->More) + 1) return false;
    if (row->More > 0 && (at(i + 1) < row->SecondLo || at(i + 1) > row->SecondHi)) return false;
    uint32_t cp = row->More == 0 ? at(i) : at(i) & (0x7Fu >> (row->More + 1));
    for (int k = 1; k <= row->More; ++k) {
      const uint8_t b = at(i + size_t(k));
      if (b < 0x80 || b > 0xBF) return false;
      cp = cp << 6 | (b & 0x3F);
    }
    cps.push_back(cp);
    i += size_t(row->More) + 1;
  }
  return true;
}

// Calls f on sequences of one to four bytes: every lead and second byte, and for the longer
// forms later bytes at the ends of the continuation range and just past them.
inline void ForEachSequence(const std::function<void(const std::string&)>& f) {
  const uint8_t edges[] = {0x00, 0x7F, 0x80, 0x81, 0xBE, 0xBF, 0xC0, 0xFF};
  for (int lead = 0; lead < 256; ++lead) {
    f(std::string(1, char(lead)));
    for (int second = 0; second < 256; ++second) {
      const std::string two = {char(lead), char(second)};
      f(two);
      if (lead < 0xE0) continue;
      for (uint8_t third : edges) {
        f(two + char(third));
        if (lead < 0xF0) continue;
        for (uint8_t fourth : {0x7F, 0x80, 0xBF, 0xC0}) f(two + char(third) + char(fourth));
      }
    }
  }
}

// The bytes in hex, for a failure message.
inline std::string Hex(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    out += "0123456789ABCDEF"[uint8_t(c) >> 4];
    out += "0123456789ABCDEF"[uint8_t(c) & 15];
    out += ' ';
  }
  return out;
}

}  // namespace utf8_table
