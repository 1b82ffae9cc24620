#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text and names from outside (a server's answer, a download list, an archive, a jigsaw's
// description) as the player is shown them. Characters that would start a line of their own
// or turn the text around when shown (C0 and C1 controls, DEL, the line and paragraph
// separators, the direction marks, embeddings, overrides and isolates) are blanked, and bytes
// that are no well-formed UTF-8 become U+FFFD, so that no later decoder can read a different
// text out of them.

// True for the characters blanked above.
bool IsLayoutControl(uint32_t cp);

// One short line: every such character (CR and LF too) a blank, cut to at most kMaxOutsideText
// bytes at a character's start with "..." after the cut.
constexpr size_t kMaxOutsideText = 200;
std::string OutsideText(std::string_view text);

// Lines of text, whole: as OutsideText, but CR and LF stay and nothing is cut.
std::string OutsideLines(std::string_view text);

// True when the name is well-formed UTF-8 and holds none of those characters: a name that can
// become a file name or a list entry and be shown as it is.
bool PlainOutsideName(std::string_view name);
