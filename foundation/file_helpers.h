#pragma once
#include <memory>
#include <string>
#include <vector>

using TStringList = std::vector<std::string>;

// True when the folder exists or was created (one level, no parents); never throws.
bool EnsureDir(const std::string& folder);

// True for a regular file, a link to one included; false for an empty path, a folder, a device
// or anything missing. Never throws.
bool IsRegularFile(const std::string& path);

// The parts of a path: the name after the last '/' (empty when the path ends in one); the
// name without its extension as std::filesystem takes it (".hidden" keeps its dot); the
// extension from the name's last '.', dot included, in ASCII lower case (empty when none).
std::string FileNameOf(const std::string& path);
std::string FileStemOf(const std::string& path);
std::string LowerExtension(const std::string& path);

// The regular files of a folder whose extension (from the last '.', dot included) is exactly
// one of the ';'-separated extensions, compared case-sensitively (with caseBlind, ASCII
// case-blind against extensions listed in lower case); sorted by CompareFileNames.
// Names are bare, or folder + name with withFolder. Null when the folder is missing or nothing
// matches, never an empty list.
std::unique_ptr<TStringList> ListFiles(const std::string& folder, const std::string& extensions, bool withFolder,
                                       bool caseBlind = false);
void FreeStringList(std::unique_ptr<TStringList>& list);

// Names compared without regard to case in the user's language order, then byte by byte so
// that the order is total. Negative, zero or positive.
int CompareFileNames(const std::string& a, const std::string& b);
