#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "download/download_view.h"
#include "download/my_http.h"
#include "game/download_sources.h"
#include "game/game_options.h"
#include "platform/outside_text.h"

// Result codes of the transfers; a positive value is an extraction code (platform/rar_archive.h).
enum : int32_t {
  kDownloadOk = 0,
  kInfoUnreadable = -20,  // try the other source
  kInfoLoginRefused = -10,
  kArchiveFailed = -1,
};

constexpr char kInfoFileName[] = "info.dat";
// A run of a few dozen jigsaws writes some hundred megabytes.
constexpr int64_t kMaxRunBytes = int64_t(1) << 30;

// The download's state, owned by the download window.
struct TDownloadState {
  std::unique_ptr<TMyHttp> HttpClient;  // null: the client could not be made
  TServerHosts ServerHosts;             // from the sources file; both empty: no source is set
  bool InfoLoaded = false;
  std::string ArchiveExt;  // with its dot, e.g. ".rar"
  bool DownloadRunning = false;
  bool DownloadStop = false;
  bool DownloadClosing = false;
  // sJigsawDir + the archive name of the first jigsaw unpacked since the window was activated.
  std::string FirstDownloadedPath;

  // Folders end with '/'.
  std::string sTempDir;
  std::string sJigsawDir;
  std::string sJigExt = ".zvq";
  std::string sLastUrl;
  std::string sArchiveFile;
  // What one download run may write into the jigsaw folder, all its archives together; set at
  // the start of each run from MaxRunBytes.
  int64_t MaxRunBytes = kMaxRunBytes;
  int64_t RunBytesLeft = kMaxRunBytes;
};

// "https://" with UseSecure, else "http://".
std::string UrlScheme(const TGameOptions& options);
// scheme + DnSrc + "/" + SiteJigsawsDir + file name (the name's unsafe bytes escaped).
std::string DownloadUrl(const TGameOptions& options, std::string_view fileName);

// The info file's lines ("key:value"): an "ext" line replaces ext, made to start with a dot.
// Values that are no plain extension (letters and digits, at most 16) are skipped.
void ParseInfoFile(std::string_view text, std::string& ext);

// A jigsaw name as the download list gives it. It becomes a file name in two of our folders
// and part of a URL, and it is shown: a name that is or holds a path, begins or ends with a
// blank, is longer than kMaxJigsawNameBytes or holds a character OutsideText blanks is refused.
// The bound is far longer than any jigsaw's name, well inside a file name's 255 bytes.
constexpr size_t kMaxJigsawNameBytes = 128;
bool SafeJigsawName(std::string_view name);

// True when the first 256 bytes (up to a zero byte) hold "<html>" in any case.
bool IsHtmlText(std::string_view head);
bool IsHtmlFile(const std::string& path);

// An error page in the window's memo: its title shown, or the not-found or login message when
// the title's first word is 404 or 401; DownloadRunning cleared. Other text: nothing happens.
void ReportHtmlError(TDownloadState& s, TDownloadView& form, const std::string& url);

// Fetches the info file of the current source; 0, kInfoUnreadable or kInfoLoginRefused.
int32_t FetchInfoFile(TDownloadState& s, const TGameOptions& options, TDownloadView& form);
// FetchInfoFile, offering the other source while the info file cannot be read; a source taken
// becomes the options' DnSrc. Without a source nothing is asked of anyone.
bool FetchInfoWithRetry(TDownloadState& s, TGameOptions& options, TDownloadView& form);

// Extracts every entry of a RAR or zip archive into destFolder: 0 or the extraction's code.
// With bytesLeft, writes at most that many bytes and takes off what it wrote; keepGoing is asked
// all through and ends the extraction with kRarStopped, which shows no message.
int32_t UnpackRarArchive(const std::string& archivePath, const std::string& destFolder, bool reportErrors,
                         TDownloadView& form, int64_t* bytesLeft = nullptr,
                         const std::function<bool()>& keepGoing = {});

// Downloads the archive of list item itemIndex into sTempDir and unpacks it into sJigsawDir.
// The archive is unpacked into a marked folder beside the jigsaws first and moved in only when
// every entry is whole and none would replace anything of the player's but the item's own
// jigsaw, so a failed or stopped download never costs the player a jigsaw they had. The window
// handles its input all through, and Stop or closing ends the unpacking too.
int32_t DownloadJigsaw(TDownloadState& s, const TGameOptions& options, TDownloadView& form, int32_t itemIndex,
                       bool reportErrors);
