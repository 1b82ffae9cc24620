#include "download/download_protocol.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "foundation/text_format.h"
#include "platform/rar_archive.h"
#include "platform/temp_files.h"

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

void ShowWarning(TDownloadView& form, const std::string& text) { form.MsgBox(text, kMbIconExclamation); }

// The messages of a failed transfer. 404 and 401 have their own texts; everything else shows
// the failure's own message.
void ReportTransferError(TDownloadView& form, const THttpError& error, const std::string& url) {
  if (error.Kind == THttpErrorKind::Protocol && error.ResponseCode == 404)
    ShowWarning(form, form.LangFormat("MS_FileNotFound", {url}));
  else if (error.Kind == THttpErrorKind::Protocol && error.ResponseCode == 401)
    ShowWarning(form, form.LangFormat("MS_InvalidLogin", {url}));
  else
    ShowWarning(form, OutsideText(error.Message));
}

// A transfer that Stop or closing the window cut off is no failure to tell the player about.
bool CutOffByPlayer(const TDownloadState& s) { return s.DownloadStop || s.DownloadClosing; }

// What every transfer does when it ends, however it ends.
void EndTransfer(TMyHttp& http, TDownloadView& form) {
  if (http.Connected()) http.Disconnect();
  http.HttpMode = THttpMode::Idle;
  form.SetCaption(form.DownloadCaption());
  form.ResetProgress();
}

constexpr size_t kHtmlHeadSize = 256;
constexpr std::streamsize kMaxErrorPage = 64 * 1024;

}  // namespace

bool SafeJigsawName(std::string_view name) {
  if (name.empty() || name.size() > kMaxJigsawNameBytes || name == "." || name == "..") return false;
  if (name.front() == ' ' || name.back() == ' ') return false;
  return name.find_first_of("/\\") == std::string_view::npos && PlainOutsideName(name);
}

std::string UrlScheme(const TGameOptions& options) { return options.UseSecure ? "https://" : "http://"; }

std::string DownloadUrl(const TGameOptions& options, std::string_view fileName) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string name;
  for (char c : fileName) {
    if (IsAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      name += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      name += '%';
      name += kHex[b >> 4];
      name += kHex[b & 15];
    }
  }
  return UrlScheme(options) + options.DnSrc + "/" + options.SiteJigsawsDir + name;
}

void ParseInfoFile(std::string_view text, std::string& ext) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string key = AsciiLowerCase(TrimBlanks(line.substr(0, colon)));
    std::string value = AsciiLowerCase(TrimBlanks(line.substr(colon + 1)));
    if (key.empty() || value.empty() || key != "ext") continue;
    if (value[0] == '.') value.erase(0, 1);
    // The extension becomes part of file names and URLs: only a plain one is taken.
    if (value.empty() || value.size() > 16) continue;
    bool plain = true;
    for (char c : value) plain = plain && IsAsciiAlnum(c);
    if (plain) ext = "." + value;
  }
}

bool IsHtmlText(std::string_view head) {
  head = head.substr(0, std::min(head.size(), kHtmlHeadSize));
  head = head.substr(0, head.find('\0'));
  return AsciiLowerCase(head).find("<html>") != std::string::npos;
}

bool IsHtmlFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char buffer[kHtmlHeadSize];
  in.read(buffer, sizeof buffer);
  return IsHtmlText(std::string_view(buffer, size_t(in.gcount())));
}

void ReportHtmlError(TDownloadState& s, TDownloadView& form, const std::string& url) {
  const std::string text = form.ErrorPage();
  std::string upper = text;
  for (char& c : upper) c = AsciiUpper(c);
  const size_t open = upper.find("<TITLE>"), close = upper.find("</TITLE>");
  if (upper.find("<HTML>") == std::string::npos || open == std::string::npos || close == std::string::npos) return;
  const size_t from = open + 7;
  const std::string title = close > from ? text.substr(from, close - from) : std::string();
  const size_t blank = title.find(' ');
  const std::string_view firstWord =
      blank == std::string::npos ? std::string_view() : TrimBlanks(std::string_view(title).substr(0, blank));
  std::string message = OutsideText(title);
  if (firstWord == "404")
    message = form.LangFormat("MS_FileNotFound", {url});
  else if (firstWord == "401")
    message = form.LangFormat("MS_InvalidLogin", {url});
  s.DownloadRunning = false;
  ShowWarning(form, message);
}

int32_t FetchInfoFile(TDownloadState& s, const TGameOptions& options, TDownloadView& form) {
  if (s.InfoLoaded) return kDownloadOk;
  if (!s.HttpClient || s.DownloadStop || s.DownloadClosing) return kInfoUnreadable;
  TMyHttp& http = *s.HttpClient;
  if (http.Connected()) http.Disconnect();
  form.ResetProgress();

  int32_t result = kInfoUnreadable;
  s.sLastUrl = DownloadUrl(options, kInfoFileName);
  std::string body;
  THttpError error;
  s.DownloadRunning = true;
  http.HttpMode = THttpMode::InfoFile;
  if (!http.Get(s.sLastUrl, body, error)) {
    s.DownloadRunning = false;
    if (error.Kind == THttpErrorKind::Protocol && error.ResponseCode == 401) result = kInfoLoginRefused;
    if (!CutOffByPlayer(s)) ReportTransferError(form, error, s.sLastUrl);
  }
  if (s.DownloadRunning && !body.empty()) {
    if (IsHtmlText(body)) {
      form.SetErrorPage(body);
      ReportHtmlError(s, form, s.sLastUrl);
    } else {
      ParseInfoFile(body, s.ArchiveExt);
      if (!s.ArchiveExt.empty()) {
        s.InfoLoaded = true;
        result = kDownloadOk;
      }
    }
  }
  EndTransfer(http, form);
  return result;
}

bool FetchInfoWithRetry(TDownloadState& s, TGameOptions& options, TDownloadView& form) {
  if (options.DnSrc.empty()) return false;
  int32_t r = FetchInfoFile(s, options, form);
  // A window that is closing or stopped asks nothing more; one source set offers no other.
  while (r == kInfoUnreadable && !CutOffByPlayer(s)) {
    const std::string& other = s.ServerHosts[ServerIndex(s.ServerHosts, options.DnSrc) == 1 ? 0 : 1];
    if (other.empty() || SameAsciiText(other, options.DnSrc)) break;
    const std::string question = form.LangFormat("Q_TryAnotherDnSrc", {options.DnSrc, other});
    if (form.MsgBox(question, kMbYesNo | kMbIconQuestion) != kIdYes) break;
    options.DnSrc = other;
    r = FetchInfoFile(s, options, form);
  }
  return r == kDownloadOk;
}

int32_t UnpackRarArchive(const std::string& archivePath, const std::string& destFolder, bool reportErrors,
                         TDownloadView& form, int64_t* bytesLeft, const std::function<bool()>& keepGoing) {
  TRarOpenArchiveData open;
  open.ArcName = archivePath;
  if (bytesLeft) open.MaxTotalSize = std::max<int64_t>(0, std::min(open.MaxTotalSize, *bytesLeft));
  open.KeepGoing = keepGoing;
  TRarHandle handle = RAROpenArchive(open);
  if (open.OpenResult != kRarSuccess) {
    form.MsgBox("RAROpenArchive error - " + std::to_string(open.OpenResult), kMbOk);
    return open.OpenResult;
  }
  int32_t result = kRarSuccess;
  int32_t headerCode;
  TRarHeaderData header;
  while ((headerCode = RARReadHeader(handle, header)) == kRarSuccess) {
    const int32_t code = RARProcessFile(handle, kRarExtract, destFolder);
    if (code != kRarSuccess) {
      result = code;
      std::string message = "RARProcessFile error - " + std::to_string(code);
      // Refused rather than written under a blanked name that could meet another entry's.
      if (!PlainOutsideName(header.FileName))
        message += "\r\nThe archive holds a name that is no plain file name: \"" + OutsideText(header.FileName) + "\"";
      if (reportErrors && code != kRarStopped) form.MsgBox(message, kMbOk);
      break;
    }
  }
  if (headerCode == kRarBadData) {
    if (reportErrors) form.MsgBox("RARReadHeader error - File header broken", kMbOk);
    // A broken archive is a failed download even when the entries before the break were good.
    if (result == kRarSuccess) result = kRarBadData;
  }
  if (bytesLeft) *bytesLeft -= RARWrittenBytes(handle);
  RARCloseArchive(handle);
  return result;
}

namespace {

// True when something already stands at path, a link or a dangling one too.
bool Taken(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// Unpacks into a marked folder beside the jigsaws, then moves each entry in once the whole
// archive came out right and none of its entries would replace anything in the jigsaw folder
// but `agreed`, the item's own jigsaw; otherwise the jigsaw folder stays as it was.
int32_t UnpackWhole(TDownloadState& s, const std::string& archivePath, const std::string& agreed, bool reportErrors,
                    TDownloadView& form) {
  namespace fs = std::filesystem;
  std::string stage = s.sJigsawDir + TempName("unpack-XXXXXX");
  if (!mkdtemp(stage.data())) return kRarCreateError;
  const auto keepGoing = [&s, &form] {
    form.ProcessMessages();
    return !CutOffByPlayer(s);
  };
  int32_t result = UnpackRarArchive(archivePath, stage + "/", reportErrors, form, &s.RunBytesLeft, keepGoing);
  std::error_code ec;
  if (result == kDownloadOk) {
    std::vector<fs::path> entries;
    for (const fs::directory_entry& e : fs::directory_iterator(stage, ec)) {
      entries.push_back(e.path());
      if (e.path().filename() != agreed && Taken(fs::path(s.sJigsawDir) / e.path().filename()))
        result = kRarCreateError;
    }
    if (result != kDownloadOk && reportErrors) form.MsgBox("RARProcessFile error - " + std::to_string(result), kMbOk);
    for (size_t i = 0; result == kDownloadOk && i < entries.size(); ++i) {
      fs::rename(entries[i], fs::path(s.sJigsawDir) / entries[i].filename(), ec);
      if (ec) result = kRarCreateError;
    }
  }
  RemoveTree(stage);
  return result;
}

}  // namespace

int32_t DownloadJigsaw(TDownloadState& s, const TGameOptions& options, TDownloadView& form, int32_t itemIndex,
                       bool reportErrors) {
  if (!s.HttpClient || !s.InfoLoaded || itemIndex < 0 || itemIndex >= form.ItemCount() || s.DownloadStop ||
      s.DownloadClosing)
    return kDownloadOk;
  const std::string name = form.ItemCaption(itemIndex);
  const std::string archiveName = name + s.ArchiveExt;
  form.ShowItem(itemIndex);
  TMyHttp& http = *s.HttpClient;
  if (http.Connected()) http.Disconnect();
  form.ResetProgress();
  if (!SafeJigsawName(name)) {
    if (reportErrors) ShowWarning(form, "\"" + OutsideText(name) + "\" cannot be a jigsaw's file name.");
    return kArchiveFailed;
  }

  s.sArchiveFile = archiveName;
  const std::string path = s.sTempDir + TempName(archiveName);
  unlink(path.c_str());
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  std::FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
  if (!file) {
    if (fd >= 0) close(fd);
    form.MsgBox("Failed create file " + path + "!", kMbOk);
    return kArchiveFailed;
  }

  int32_t result = kDownloadOk;
  s.sLastUrl = DownloadUrl(options, archiveName);
  THttpError error;
  s.DownloadRunning = true;
  http.HttpMode = THttpMode::Archive;
  // Never more than an unpacking may write.
  const bool fetched = http.Get(s.sLastUrl, file, error, kRarMaxTotalSize);
  std::fclose(file);
  if (!fetched) {
    result = kArchiveFailed;
    s.DownloadRunning = false;
    if (!CutOffByPlayer(s)) ReportTransferError(form, error, s.sLastUrl);
  }

  if (s.DownloadRunning) {
    if (IsHtmlFile(path)) {
      std::ifstream in(path, std::ios::binary);
      std::string page(size_t(kMaxErrorPage), '\0');
      in.read(page.data(), kMaxErrorPage);
      page.resize(size_t(in.gcount()));
      form.SetErrorPage(page);
      ReportHtmlError(s, form, s.sLastUrl);
      result = kArchiveFailed;  // a page in place of the archive is no download
    } else {
      result = UnpackWhole(s, path, name + s.sJigExt, reportErrors, form);
      if (result == kDownloadOk) {
        if (form.ItemState(itemIndex) == 0) form.SetItemState(itemIndex, 1);
        if (s.FirstDownloadedPath.empty()) s.FirstDownloadedPath = s.sJigsawDir + archiveName;
      }
      form.RefreshList();
    }
  }

  unlink(path.c_str());
  EndTransfer(http, form);
  return result;
}
