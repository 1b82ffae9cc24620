#include "game/download_sources.h"

#include <vector>

#include "foundation/binary_file.h"
#include "foundation/file_helpers.h"
#include "foundation/text_format.h"

namespace {

// A host name or address with an optional port: nothing that would start a path, a query,
// credentials or a second URL.
bool PlainHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host) {
    if (!IsAsciiAlnum(c) && c != '.' && c != '-' && c != ':' && c != '[' && c != ']') return false;
  }
  return true;
}

bool PlainSite(std::string_view site) {
  const std::string lower = AsciiLowerCase(site);
  if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) return false;
  if (site.size() > 2000) return false;
  for (char c : site) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '<' || c == '>' || c == '\\') return false;
  }
  return true;
}

}  // namespace

bool ReadDownloadSources(const std::string& path, TDownloadSources& sources) {
  std::vector<uint8_t> bytes;
  if (!ReadFileHead(path, size_t(kMaxSourcesFileBytes) + 1, bytes) || int64_t(bytes.size()) > kMaxSourcesFileBytes)
    return false;
  std::string text(bytes.begin(), bytes.end());
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);

  TDownloadSources read;
  read.FileToEdit = sources.FileToEdit;
  int32_t entry = -1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = TrimBlanks(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string section = AsciiLowerCase(TrimBlanks(line.substr(1, line.size() - 2)));
      entry = section == "source 1" ? 0 : section == "source 2" ? 1 : -1;
      continue;
    }
    const size_t eq = line.find('=');
    if (entry < 0 || eq == std::string_view::npos) continue;
    const std::string key = AsciiLowerCase(TrimBlanks(line.substr(0, eq)));
    const std::string_view value = TrimBlanks(line.substr(eq + 1));
    if (key == "host") {
      read.ServerHosts[size_t(entry)] = PlainHost(value) ? std::string(value) : std::string();
    } else if (key == "site") {
      std::string site = PlainSite(value) ? std::string(value) : std::string();
      while (!site.empty() && site.back() == '/') site.pop_back();
      read.SiteAddresses[size_t(entry)] = site;
    }
  }
  sources = read;
  return true;
}

TDownloadSources LoadDownloadSources(const std::string& sExeDir, const std::string& sAppDataDir) {
  TDownloadSources sources;
  sources.FileToEdit = sAppDataDir + kSourcesFileName;
  if (!IsRegularFile(sources.FileToEdit) || !ReadDownloadSources(sources.FileToEdit, sources))
    ReadDownloadSources(sExeDir + kSourcesFileName, sources);
  return sources;
}

std::string DownloadListHome(const std::string& sExeDir, const std::string& sAppDataDir) {
  const std::string player = sAppDataDir + "thumb/";
  return IsRegularFile(player + "jiglist.txt") ? player : sExeDir + "thumb/";
}

int32_t ServerIndex(const TServerHosts& hosts, std::string_view host) {
  for (int32_t i = 0; i < kServerCount; ++i)
    if (SameAsciiText(hosts[size_t(i)], host)) return i;
  return 0;
}

bool IsSourceHost(const TServerHosts& hosts, std::string_view host) {
  return !host.empty() && SameAsciiText(hosts[size_t(ServerIndex(hosts, host))], host);
}

std::string DefaultDnSrc(const TDownloadSources& sources) {
  return sources.ServerHosts[1].empty() ? sources.ServerHosts[0] : sources.ServerHosts[1];
}

std::string SiteUrl(const TDownloadSources& sources, int32_t index) {
  const std::string& site = sources.SiteAddresses[index == 1 ? 1 : 0];
  return site.empty() ? std::string() : site + "/";
}
