#pragma once
#include <string_view>

// Two UTF-8 texts equal when case is ignored, by full Unicode case folding (as the host
// system compares file names that a user typed with another case).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
