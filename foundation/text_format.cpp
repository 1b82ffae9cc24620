#include "foundation/text_format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Number of code points of UTF-8 text (continuation bytes not counted).
size_t CodePoints(std::string_view s) {
  size_t n = 0;
  for (char c : s)
    if ((uint8_t(c) & 0xC0) != 0x80) ++n;
  return n;
}

// The first `count` code points.
std::string_view FirstCodePoints(std::string_view s, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((uint8_t(s[i]) & 0xC0) != 0x80) {
      if (seen == count) return s.substr(0, i);
      ++seen;
    }
  }
  return s;
}

// Widths and precisions beyond this are taken as this: a format from a file must not be able to
// ask for gigabytes of padding.
constexpr int64_t kMaxFieldWidth = 4096;

std::string NumberText(int64_t v, char type, int64_t precision) {
  char buf[32];
  if (type == 'd') {
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
  } else {
    // Unsigned and hexadecimal forms show a negative 32-bit number as its 32-bit pattern.
    const uint64_t u = (v < 0 && v >= INT32_MIN) ? uint64_t(uint32_t(v)) : uint64_t(v);
    std::snprintf(buf, sizeof buf, type == 'x' ? "%llX" : "%llu", static_cast<unsigned long long>(u));
  }
  std::string digits = buf;
  std::string sign;
  if (!digits.empty() && digits[0] == '-') {
    sign = "-";
    digits.erase(0, 1);
  }
  if (precision > int64_t(digits.size())) digits.insert(0, size_t(precision) - digits.size(), '0');
  return sign + digits;
}

}  // namespace

std::string WideFormat(std::string_view format, std::initializer_list<TFormatArg> argList) {
  const std::vector<TFormatArg> args(argList);
  size_t next = 0;
  std::string out;
  out.reserve(format.size() + 16);
  size_t i = 0;
  while (i < format.size() && out.size() <= kMaxFormattedText) {
    const char c = format[i];
    if (c != '%') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    // Parse one specifier; on anything unexpected copy it as it stands.
    const size_t start = i;
    size_t p = i + 1;
    auto readNumber = [&](int64_t& value) -> bool {
      if (p < format.size() && format[p] == '*') {
        ++p;
        value = 0;
        if (next < args.size())
          if (const int64_t* n = std::get_if<int64_t>(&args[next])) value = std::clamp<int64_t>(*n, 0, kMaxFieldWidth);
        ++next;
        return true;
      }
      if (p >= format.size() || !IsDigit(format[p])) return false;
      value = 0;
      while (p < format.size() && IsDigit(format[p])) {
        value = std::min<int64_t>(value * 10 + (format[p] - '0'), kMaxFieldWidth);
        ++p;
      }
      return true;
    };
    int64_t index = -1, width = -1, precision = -1;
    bool left = false;
    // An index is a number followed by ':'.
    {
      const size_t save = p;
      int64_t n = 0;
      if (p < format.size() && IsDigit(format[p]) && readNumber(n) && p < format.size() && format[p] == ':') {
        index = n;
        ++p;
      } else {
        p = save;
      }
    }
    if (p < format.size() && format[p] == '-') {
      left = true;
      ++p;
    }
    if (!readNumber(width)) width = -1;
    if (p < format.size() && format[p] == '.') {
      ++p;
      if (!readNumber(precision)) precision = -1;
    }
    if (p >= format.size()) {
      out.append(format.substr(start));
      break;
    }
    const char type = AsciiLower(format[p]);
    if (type != 'd' && type != 'u' && type != 'x' && type != 's') {
      out.append(format.substr(start, p + 1 - start));
      i = p + 1;
      continue;
    }
    if (index >= 0) next = size_t(std::min<int64_t>(index, int64_t(args.size())));
    std::string text;
    if (next < args.size()) {
      const TFormatArg& a = args[next];
      if (const int64_t* n = std::get_if<int64_t>(&a)) {
        text = (type == 's') ? NumberText(*n, 'd', -1) : NumberText(*n, type, precision);
      } else {
        const std::string& s = std::get<std::string>(a);
        text = (type == 's' && precision >= 0) ? std::string(FirstCodePoints(s, size_t(precision))) : s;
      }
    }
    ++next;
    const size_t len = CodePoints(text);
    if (width > int64_t(len)) {
      const std::string pad(size_t(width) - len, ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
    i = p + 1;
  }
  if (out.size() > kMaxFormattedText) {
    size_t n = kMaxFormattedText;
    while (n > 0 && (uint8_t(out[n]) & 0xC0) == 0x80) --n;
    out.resize(n);
  }
  return out;
}

std::string WideStringReplace(std::string_view source, std::string_view from, std::string_view to, uint32_t flags) {
  if (from.empty()) return std::string(source);
  const bool ignoreCase = (flags & kReplaceIgnoreCase) != 0;
  auto matchesAt = [&](size_t pos) {
    for (size_t k = 0; k < from.size(); ++k) {
      const char a = source[pos + k], b = from[k];
      if (ignoreCase ? AsciiLower(a) != AsciiLower(b) : a != b) return false;
    }
    return true;
  };
  std::string out;
  size_t i = 0;
  while (i < source.size()) {
    if (source.size() - i >= from.size() && matchesAt(i)) {
      out.append(to);
      i += from.size();
      if ((flags & kReplaceAll) == 0) break;
      continue;
    }
    out += source[i++];
  }
  out.append(source.substr(std::min(i, source.size())));
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && uint8_t(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && uint8_t(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

bool IsAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string AsciiLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

bool SameAsciiText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

int CompareAsciiText(std::string_view a, std::string_view b) {
  // Letters fold to upper case, so "_" sorts after the letters as in the game's 8-bit compare.
  auto upper = [](char c) { return uint8_t((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c); };
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = upper(a[i]), y = upper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
