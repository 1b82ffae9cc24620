#include "platform/outside_text.h"

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The UTF-8 character at text[i]: its code point and length. False when the byte starts no
// well-formed character: a stray continuation byte, a cut sequence, an overlong form, a
// surrogate or a value past U+10FFFF.
bool NextChar(std::string_view text, size_t i, uint32_t& cp, size_t& length) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    cp = c;
    length = 1;
    return true;
  }
  const size_t more = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
  if (more == 0 || i + more >= text.size()) return false;
  cp = c & (0x3F >> more);
  for (size_t k = 1; k <= more; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    cp = cp << 6 | (b & 0x3F);
  }
  if ((more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return false;
  length = more + 1;
  return true;
}

// The text with every layout control a blank (CR and LF kept when keepLineBreaks) and every
// byte of a malformed sequence U+FFFD, at most maxBytes long; cut tells whether text was left.
std::string Blank(std::string_view text, bool keepLineBreaks, size_t maxBytes, bool& cut) {
  std::string shown;
  cut = false;
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t length;
    std::string_view piece;
    if (!NextChar(text, i, cp, length)) {
      piece = kReplacement;
      length = 1;
    } else if (IsLayoutControl(cp) && !(keepLineBreaks && (cp == '\r' || cp == '\n'))) {
      piece = " ";
    } else {
      piece = text.substr(i, length);
    }
    if (shown.size() + piece.size() > maxBytes) {
      cut = true;
      break;
    }
    shown += piece;
    i += length;
  }
  return shown;
}

}  // namespace

bool IsLayoutControl(uint32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
         (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

std::string OutsideText(std::string_view text) {
  bool cut;
  std::string shown = Blank(text, false, kMaxOutsideText, cut);
  if (cut) shown += "...";
  return shown;
}

std::string OutsideLines(std::string_view text) {
  bool cut;
  return Blank(text, true, std::string::npos, cut);
}

bool PlainOutsideName(std::string_view name) {
  for (size_t i = 0; i < name.size();) {
    uint32_t cp;
    size_t length;
    if (!NextChar(name, i, cp, length) || IsLayoutControl(cp)) return false;
    i += length;
  }
  return true;
}
