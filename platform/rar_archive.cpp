#include "platform/rar_archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/outside_text.h"
#include "platform/temp_files.h"

struct TRarArchive {
  archive* Reader = nullptr;
  int64_t MaxEntrySize = kRarMaxEntrySize;
  int64_t MaxTotalSize = kRarMaxTotalSize;
  int64_t Written = 0;  // bytes of every entry extracted so far
  int32_t Entries = 0;
  archive_entry* Current = nullptr;  // the entry of the last header, until processed
  uint32_t CurrentCrc = 0;           // the file checksum its header stores
  bool CheckCrc = false;             // RAR: checked here; zip: libarchive checks it
  bool NameBroken = false;           // the stored name holds a NUL that libarchive cut at
  std::function<bool()> KeepGoing;
  int File = -1;  // the archive, for the checksums libarchive does not check
};

namespace {

// libarchive turns stored names into the thread's locale: in a C locale it drops every name
// that is not ASCII, so a jigsaw named "café" could not be unpacked at all and a refused name
// could not be told. Names are UTF-8 here whatever the player's locale: the reader runs with
// the character type of C.UTF-8 (left as it is where that locale is missing).
class TUtf8Names {
 public:
  TUtf8Names() {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (utf8) old_ = uselocale(utf8);
  }
  ~TUtf8Names() {
    if (old_) uselocale(old_);
  }
  TUtf8Names(const TUtf8Names&) = delete;
  TUtf8Names& operator=(const TUtf8Names&) = delete;

 private:
  locale_t old_ = locale_t(0);
};

// A file descriptor closed at the end of its scope.
class TFd {
 public:
  explicit TFd(int fd = -1) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  void Reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }
  int Get() const { return fd_; }

 private:
  int fd_;
};

// The stored name split into its folder components and the final name. False for names that
// could land outside the destination: absolute, with "..", or with nothing left.
bool SafeComponents(std::string name, std::vector<std::string>& parts) {
  parts.clear();
  if (name.empty()) return false;
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (name[0] == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    if (part == "..") return false;
    if (!part.empty() && part != ".") parts.push_back(part);
    start = end + 1;
  }
  return !parts.empty();
}

// Opens (creating when missing) the folder `parts[0..count)` below `root`, never following a
// link; -1 on failure.
int OpenFolder(int root, const std::vector<std::string>& parts, size_t count) {
  int current = dup(root);
  for (size_t i = 0; i < count && current >= 0; ++i) {
    const char* part = parts[i].c_str();
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int next = openat(current, part, flags);
    if (next < 0 && errno == ENOENT && (mkdirat(current, part, 0755) == 0 || errno == EEXIST))
      next = openat(current, part, flags);
    close(current);
    current = next;
  }
  return current;
}

// A temporary name beside the target that no other extraction picks at the same moment.
std::string TemporaryName() {
  static std::atomic<uint32_t> counter{0};
  return TempName("part-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1)));
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= size_t(n);
  }
  return true;
}

uint32_t Le(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// libarchive does not check the checksum of stored data, so the file header is read here: the
// blocks from `position` on are walked to the first file header, whose checksum follows its
// sizes and host byte. False when no whole file header is found.
bool FileHeaderCrc(int fd, int64_t position, uint32_t& crc) {
  static const uint8_t kMarker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
  for (int blocks = 0; blocks < 64; ++blocks) {
    uint8_t h[20];
    const ssize_t n = pread(fd, h, sizeof h, position);
    if (n >= 7 && std::equal(h, h + 7, kMarker)) {
      position += 7;
      continue;
    }
    if (n < 7) return false;
    const uint32_t type = h[2], flags = Le(h + 3, 2), size = Le(h + 5, 2);
    if (size < 7) return false;
    if (type == 0x74) {
      if (n < 20 || size < 32) return false;
      crc = Le(h + 16, 4);
      return true;
    }
    int64_t next = position + size;
    if (flags & 0x8000) {
      if (n < 11) return false;
      next += Le(h + 7, 4);
    }
    position = next;
  }
  return false;
}

// A zip entry's name is stored with its length; libarchive cuts it at a NUL, so the stored
// name is read here from the local header at `position`. True when it holds a NUL.
bool ZipNameHasNul(int fd, int64_t position) {
  uint8_t h[30];
  if (pread(fd, h, sizeof h, position) != ssize_t(sizeof h) || Le(h, 4) != 0x04034B50) return false;
  std::vector<uint8_t> name(Le(h + 26, 2));
  if (pread(fd, name.data(), name.size(), position + 30) != ssize_t(name.size())) return false;
  return std::find(name.begin(), name.end(), 0) != name.end();
}

// Reads the current entry's data and writes it into folder as `name`.
int32_t CopyEntry(TRarArchive& a, archive_entry* entry, int folder, const std::string& name) {
  const int64_t declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
  const int64_t limit = std::min(a.MaxEntrySize, a.MaxTotalSize - a.Written);
  if (declared > limit) return kRarCreateError;

  std::string temp;
  TFd out;
  for (int attempt = 0; attempt < 16 && out.Get() < 0; ++attempt) {
    temp = TemporaryName();
    out.Reset(openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (out.Get() < 0 && errno != EEXIST) break;
  }
  if (out.Get() < 0) return kRarCreateError;
  auto fail = [&](int32_t code) {
    unlinkat(folder, temp.c_str(), 0);
    return code;
  };

  std::vector<char> buffer(64 * 1024);
  int64_t total = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  for (;;) {
    if (a.KeepGoing && !a.KeepGoing()) return fail(kRarStopped);
    la_ssize_t n = archive_read_data(a.Reader, buffer.data(), buffer.size());
    if (n < 0) return fail(kRarBadData);
    if (n == 0) break;
    total += n;
    if (total > limit || (declared >= 0 && total > declared)) return fail(kRarCreateError);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), uInt(n));
    if (!WriteAll(out.Get(), buffer.data(), size_t(n))) return fail(kRarWriteError);
  }
  if ((declared >= 0 && total != declared) || (a.CheckCrc && uint32_t(crc) != a.CurrentCrc)) return fail(kRarBadData);
  a.Written += total;
  if (fsync(out.Get()) != 0) return fail(kRarWriteError);
  out.Reset(-1);
  if (renameat(folder, temp.c_str(), folder, name.c_str()) != 0) return fail(kRarCreateError);
  return kRarSuccess;
}

int32_t ExtractEntry(TRarArchive& a, archive_entry* entry, const std::string& destPath) {
  const char* stored = archive_entry_pathname_utf8(entry);
  if (!stored) stored = archive_entry_pathname(entry);
  std::vector<std::string> parts;
  if (!stored || a.NameBroken || !PlainOutsideName(stored) || !SafeComponents(stored, parts)) return kRarCreateError;
  const mode_t type = archive_entry_filetype(entry);
  const size_t folders = type == AE_IFDIR ? parts.size() : parts.size() - 1;
  if (folders > size_t(kRarMaxFolderDepth)) return kRarCreateError;
  if (archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR)) return kRarCreateError;

  TFd root(open(destPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (root.Get() < 0) return kRarCreateError;
  if (type == AE_IFDIR) {
    TFd folder(OpenFolder(root.Get(), parts, parts.size()));
    return folder.Get() >= 0 ? kRarSuccess : kRarCreateError;
  }
  TFd folder(OpenFolder(root.Get(), parts, parts.size() - 1));
  if (folder.Get() < 0) return kRarCreateError;
  return CopyEntry(a, entry, folder.Get(), parts.back());
}

}  // namespace

TRarHandle RAROpenArchive(TRarOpenArchiveData& data) {
  const TUtf8Names utf8;
  struct stat st;
  if (stat(data.ArcName.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(data.ArcName.c_str(), R_OK) != 0) {
    data.OpenResult = kRarOpenError;
    return nullptr;
  }
  auto* a = new TRarArchive;
  a->Reader = archive_read_new();
  if (!a->Reader) {
    delete a;
    data.OpenResult = kRarNoMemory;
    return nullptr;
  }
  archive_read_support_format_rar(a->Reader);
  // Jigsaw sites made with free tools serve zip archives.
  archive_read_support_format_zip(a->Reader);
  if (archive_read_open_filename(a->Reader, data.ArcName.c_str(), 64 * 1024) != ARCHIVE_OK) {
    RARCloseArchive(a);
    data.OpenResult = kRarBadArchive;
    return nullptr;
  }
  a->File = open(data.ArcName.c_str(), O_RDONLY | O_CLOEXEC);
  if (a->File < 0) {
    RARCloseArchive(a);
    data.OpenResult = kRarOpenError;
    return nullptr;
  }
  a->MaxEntrySize = data.MaxEntrySize;
  a->MaxTotalSize = data.MaxTotalSize;
  a->KeepGoing = data.KeepGoing;
  data.OpenResult = kRarSuccess;
  return a;
}

int32_t RARReadHeader(TRarHandle handle, TRarHeaderData& header) {
  const TUtf8Names utf8;
  if (!handle) return kRarUnknown;
  handle->Current = nullptr;
  archive_entry* entry = nullptr;
  const int r = archive_read_next_header(handle->Reader, &entry);
  if (r == ARCHIVE_EOF) return kRarEndArchive;
  if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return kRarBadData;
  // The end is looked for first: an archive of exactly kRarMaxEntries is whole.
  if (handle->Entries >= kRarMaxEntries) return kRarBadData;
  handle->CheckCrc = (archive_format(handle->Reader) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_RAR;
  if (handle->CheckCrc &&
      !FileHeaderCrc(handle->File, archive_read_header_position(handle->Reader), handle->CurrentCrc))
    return kRarBadData;
  handle->NameBroken = (archive_format(handle->Reader) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP &&
                       ZipNameHasNul(handle->File, archive_read_header_position(handle->Reader));
  ++handle->Entries;
  handle->Current = entry;
  const char* name = archive_entry_pathname_utf8(entry);
  if (!name) name = archive_entry_pathname(entry);
  header.FileName = name ? name : "";
  for (char& c : header.FileName) {
    if (c == '\\') c = '/';
  }
  header.UnpSize = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
  header.Directory = archive_entry_filetype(entry) == AE_IFDIR;
  return kRarSuccess;
}

int32_t RARProcessFile(TRarHandle handle, int32_t operation, const std::string& destPath) {
  const TUtf8Names utf8;
  if (!handle || !handle->Current) return kRarUnknown;
  archive_entry* entry = handle->Current;
  handle->Current = nullptr;
  if (operation != kRarExtract) return kRarUnknown;
  return ExtractEntry(*handle, entry, destPath);
}

int32_t RARCloseArchive(TRarHandle handle) {
  if (!handle) return kRarUnknown;
  if (handle->Reader) archive_read_free(handle->Reader);
  if (handle->File >= 0) close(handle->File);
  delete handle;
  return kRarSuccess;
}

int64_t RARWrittenBytes(TRarHandle handle) { return handle ? handle->Written : 0; }
