#pragma once
#include <string_view>

// Two UTF-8 texts equal when case is ignored, by full Unicode case folding (as the host
// system compares file names that a user typed with another case).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// UTF-8 texts in the user's language order without regard to case ("Émile" before "Zebra"):
// negative, zero or positive. Texts that differ only in case may compare equal.
int CollateIgnoringCase(std::string_view a, std::string_view b);
