#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Every temporary file and folder the program makes carries this mark at the start of its name,
// and nothing else of ours does: start-up removes what an interrupted run left by the mark alone.
constexpr char kTempMark[] = ".zorva-tmp-";

// kTempMark + what ("copy", "unpack-XXXXXX", ...).
std::string TempName(std::string_view what);
bool IsTempName(std::string_view fileName);

// Far more than any folder of ours holds; a walk stops there.
constexpr int64_t kMaxSweptEntries = 1000000;

// Removes a file, or a folder and everything below it however deep, never following a link and
// without recursion or long paths. False when something stayed (or maxEntries were removed).
bool RemoveTree(const std::string& path, int64_t maxEntries = kMaxSweptEntries);

// Start-up: removes the entries named with the mark directly in folder; nothing below it is
// walked except a marked folder itself.
void RemoveTempLeftovers(const std::string& folder);
