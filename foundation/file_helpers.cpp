#include "foundation/file_helpers.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/text_format.h"
#include "platform/text_compare.h"

namespace fs = std::filesystem;

bool EnsureDir(const std::string& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  fs::create_directory(folder, ec);
  return !ec && fs::is_directory(folder, ec);
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

std::string FileStemOf(const std::string& path) { return fs::path(path).stem().string(); }

std::string LowerExtension(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : AsciiLowerCase(name.substr(dot));
}

namespace {

bool ExtensionListed(const std::string& extension, const std::string& extensions) {
  if (extension.empty()) return false;
  size_t start = 0;
  for (;;) {
    const size_t end = extensions.find(';', start);
    const size_t length = (end == std::string::npos ? extensions.size() : end) - start;
    if (extensions.compare(start, length, extension) == 0) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

}  // namespace

int CompareFileNames(const std::string& a, const std::string& b) {
  // The collation may call different names equal; bytes then decide, so the order is total.
  if (const int c = CollateIgnoringCase(a, b)) return c < 0 ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::unique_ptr<TStringList> ListFiles(const std::string& folder, const std::string& extensions, bool withFolder,
                                       bool caseBlind) {
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  std::error_code ec;
  if (!fs::is_directory(base, ec)) return nullptr;
  std::unique_ptr<TStringList> list;
  fs::directory_iterator it(base, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string name = it->path().filename().string();
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos ||
        !ExtensionListed(caseBlind ? AsciiLowerCase(name.substr(dot)) : name.substr(dot), extensions))
      continue;
    if (!list) list = std::make_unique<TStringList>();
    list->push_back(withFolder ? base + name : name);
  }
  if (list) {
    std::sort(list->begin(), list->end(),
              [](const std::string& a, const std::string& b) { return CompareFileNames(a, b) < 0; });
  }
  return list;
}

void FreeStringList(std::unique_ptr<TStringList>& list) { list.reset(); }
