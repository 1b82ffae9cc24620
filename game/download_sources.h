#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The two download sources: the host (with a port when it is not the scheme's) that serves
// jigsaws, and the web address of its site. No public source exists, so they come from a small
// file that a packager or a player fills in: "sources.ini" in the program folder, empty as
// shipped; a copy in the player's data folder wins over it.
//
//   [Source 1]
//   Host = jigsaws.example.org
//   Site = https://www.example.org
//   [Source 2]
//   ...

constexpr int32_t kServerCount = 2;
constexpr char kSourcesFileName[] = "sources.ini";
// A real file holds a few lines; larger ones are refused whole.
constexpr int64_t kMaxSourcesFileBytes = 16 * 1024;

using TServerHosts = std::array<std::string, kServerCount>;

struct TDownloadSources {
  TServerHosts ServerHosts;                             // empty: not set
  std::array<std::string, kServerCount> SiteAddresses;  // with scheme, without a trailing "/"
  std::string FileToEdit;                               // the player's copy, named when no source is set

  bool Empty() const { return ServerHosts[0].empty() && ServerHosts[1].empty(); }
};

// Reads one sources file into sources. Values that could change a URL's meaning (a host with
// a path or blanks, a site address that is no http or https address) are left empty. False
// when the file is missing, unreadable or too large; sources stay as they were then.
bool ReadDownloadSources(const std::string& path, TDownloadSources& sources);

// The player's copy (sAppDataDir + "sources.ini") when it exists, else the program folder's.
TDownloadSources LoadDownloadSources(const std::string& sExeDir, const std::string& sAppDataDir);

// The download list's folder: the player's (sAppDataDir + "thumb/") when it holds a list, so a
// player can name a site of their own without writing into the program folder; else the
// program's (sExeDir + "thumb/").
std::string DownloadListHome(const std::string& sExeDir, const std::string& sAppDataDir);

// The index of host among the hosts without regard to ASCII case; 0 when neither matches.
int32_t ServerIndex(const TServerHosts& hosts, std::string_view host);

// True when host is one of the hosts (ASCII case-blind); an empty host never is.
bool IsSourceHost(const TServerHosts& hosts, std::string_view host);

// The source a new player starts with: entry 1, or entry 0 when only that one is set.
std::string DefaultDnSrc(const TDownloadSources& sources);

// The site address of entry index with "/" appended; empty when it is not set.
std::string SiteUrl(const TDownloadSources& sources, int32_t index);
