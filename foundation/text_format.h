#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// Texts are UTF-8. Language files supply format strings, so formatting must stay safe for any
// format a file can hold.

// One argument of WideFormat: a whole number or a text.
using TFormatArg = std::variant<int64_t, std::string>;

// Formats the way the game's texts were written: "%" [index ":"] ["-"] [width] ["." precision]
// type, with the types d, u, x (upper-case hex digits, as X), s, and "%%" for a percent sign.
// A width or precision of "*" takes the next argument. Never fails: a number given to "%s" is
// written in decimal, a text given to "%d" or "%x" as it stands, a missing argument writes
// nothing, and a specifier it does not know is copied as it stands. The result is cut at
// kMaxFormattedText bytes (on a character boundary), however many fields ask for padding.
constexpr size_t kMaxFormattedText = 65536;
std::string WideFormat(std::string_view format, std::initializer_list<TFormatArg> args);

// Replaces `from` by `to` in `source`, scanning left to right and never searching the inserted
// text. Flags: bit 0 every occurrence (else only the first), bit 1 ASCII letters match without
// regard to case (the copied pieces keep the source's case). An empty `from` changes nothing.
enum : uint32_t { kReplaceAll = 1, kReplaceIgnoreCase = 2 };
std::string WideStringReplace(std::string_view source, std::string_view from, std::string_view to, uint32_t flags);

// The text without the blanks and control characters (bytes up to ' ') at either end.
std::string_view TrimBlanks(std::string_view text);

// ASCII digits and letters only: never the user's locale.
bool IsAsciiAlnum(char c);

// ASCII case only: language keys and the names of languages are compared as 8-bit text.
std::string AsciiLowerCase(std::string_view text);
bool SameAsciiText(std::string_view a, std::string_view b);
int CompareAsciiText(std::string_view a, std::string_view b);  // negative, zero or positive
