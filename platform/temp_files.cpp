#include "platform/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The first sub-folder of the open folder fd, after unlinking every other entry; empty when the
// folder holds no folder any more. Counts what it removes.
std::string EmptyOutFiles(int fd, int64_t& removed, bool& failed) {
  const int listing = dup(fd);
  DIR* d = listing >= 0 ? fdopendir(listing) : nullptr;
  if (!d) {
    if (listing >= 0) close(listing);
    failed = true;
    return {};
  }
  std::string folder;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    if (fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
      folder = name;
      break;
    }
    if (unlinkat(fd, name.c_str(), 0) == 0)
      ++removed;
    else
      failed = true;
  }
  closedir(d);
  return folder;
}

std::string Parent(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string TempName(std::string_view what) { return std::string(kTempMark) + std::string(what); }

bool IsTempName(std::string_view fileName) { return fileName.starts_with(kTempMark); }

bool RemoveTree(const std::string& path, int64_t maxEntries) {
  std::string top = path;
  while (top.size() > 1 && top.back() == '/') top.pop_back();
  struct stat st;
  if (lstat(top.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return unlink(top.c_str()) == 0;

  const int parent = open(Parent(top).c_str(), kDirFlags & ~O_NOFOLLOW);
  if (parent < 0) return false;
  // The names from the top folder down to the current one; the walk holds one folder open at a
  // time and climbs back through "..", so depth costs neither descriptors nor path length.
  std::vector<std::string> names{top.substr(top.find_last_of('/') + 1)};
  int current = openat(parent, names.back().c_str(), kDirFlags);
  int64_t removed = 0;
  bool failed = current < 0;
  while (!failed && removed < maxEntries) {
    const std::string child = EmptyOutFiles(current, removed, failed);
    if (failed) break;
    if (!child.empty()) {
      const int next = openat(current, child.c_str(), kDirFlags);
      if (next < 0) {
        failed = true;
        break;
      }
      close(current);
      current = next;
      names.push_back(child);
      continue;
    }
    // current is empty: remove it from its parent.
    const int up = names.size() > 1 ? openat(current, "..", kDirFlags & ~O_NOFOLLOW) : dup(parent);
    close(current);
    current = -1;
    if (up < 0 || unlinkat(up, names.back().c_str(), AT_REMOVEDIR) != 0) {
      if (up >= 0) close(up);
      failed = true;
      break;
    }
    ++removed;
    names.pop_back();
    if (names.empty()) {
      close(up);
      break;
    }
    current = up;
  }
  if (current >= 0) close(current);
  close(parent);
  return !failed && names.empty();
}

void RemoveTempLeftovers(const std::string& folder) {
  DIR* d = opendir(folder.c_str());
  if (!d) return;
  std::vector<std::string> marked;
  int64_t seen = 0;
  while (dirent* e = readdir(d)) {
    if (++seen > kMaxSweptEntries) break;
    if (IsTempName(e->d_name)) marked.push_back(e->d_name);
  }
  closedir(d);
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  for (const std::string& name : marked) RemoveTree(base + name);
}
