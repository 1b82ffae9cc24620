#include "foundation/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/temp_files.h"

bool TBinaryReader::Open(const std::string& path) {
  Close();
  // Opened without waiting, so a pipe or device under a file's name is refused instead of
  // blocking until something writes to it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  std::FILE* f = nullptr;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fcntl(fd, F_SETFL, O_RDONLY) != 0 || !(f = fdopen(fd, "rb"))) {
    ::close(fd);
    return false;
  }
  file_ = f;
  size_ = st.st_size;
  pos_ = 0;
  return true;
}

void TBinaryReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = pos_ = 0;
}

bool TBinaryReader::Seek(int64_t pos) {
  if (!file_ || pos < 0 || pos > size_) return false;
  if (fseeko(file_, off_t(pos), SEEK_SET) != 0) return false;
  pos_ = pos;
  return true;
}

bool TBinaryReader::Read(void* data, int64_t count) {
  if (!file_ || count < 0 || count > Remaining()) return false;
  if (count == 0) return true;
  size_t got = std::fread(data, 1, size_t(count), file_);
  if (got != size_t(count)) {
    // The file shrank under us or the device failed: put the position back where it was.
    Seek(pos_);
    return false;
  }
  pos_ += count;
  return true;
}

bool TBinaryReader::ReadInt32(int32_t& value) {
  uint8_t b[4];
  if (!Read(b, 4)) return false;
  value = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
  return true;
}

bool TBinaryReader::Skip(int64_t count) {
  if (count < 0 || count > Remaining()) return false;
  return Seek(pos_ + count);
}

bool TBinaryWriter::Create(const std::string& path, bool durable) {
  Discard();
  error_ = 0;
  // Beside the target, so that the rename stays on one file system.
  std::string temp = path.substr(0, path.find_last_of('/') + 1) + TempName("XXXXXX");
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  fchmod(fd, 0644);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    error_ = errno;
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  target_ = path;
  temp_ = temp;
  pos_ = 0;
  failed_ = false;
  durable_ = durable;
  return true;
}

bool TBinaryWriter::Write(const void* data, int64_t count) {
  if (!file_ || failed_ || count < 0) return false;
  if (count > 0 && std::fwrite(data, 1, size_t(count), file_) != size_t(count)) {
    failed_ = true;
    error_ = errno;
    return false;
  }
  pos_ += count;
  return true;
}

bool TBinaryWriter::WriteInt32(int32_t value) {
  uint32_t v = uint32_t(value);
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return Write(b, 4);
}

bool TBinaryWriter::Commit() {
  if (!file_) return false;
  const auto noted = [this](bool ok) {
    if (!ok && error_ == 0) error_ = errno;
    return ok;
  };
  bool ok = !failed_ && noted(std::fflush(file_) == 0) && (!durable_ || noted(fsync(fileno(file_)) == 0));
  ok = noted(std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (ok) ok = noted(std::rename(temp_.c_str(), target_.c_str()) == 0);
  if (!ok) unlink(temp_.c_str());
  temp_.clear();
  target_.clear();
  return ok;
}

void TBinaryWriter::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  unlink(temp_.c_str());
  temp_.clear();
  target_.clear();
}

std::string FailureText(const std::string& what, int error) {
  return error == 0 ? what + "." : what + ": " + std::strerror(error) + ".";
}

bool ReadFileHead(const std::string& path, size_t count, std::vector<uint8_t>& head) {
  TBinaryReader r;
  if (!r.Open(path)) return false;
  std::vector<uint8_t> buf(size_t(std::min<int64_t>(int64_t(count), r.Size())));
  if (!r.Read(buf.data(), int64_t(buf.size()))) return false;
  head.swap(buf);
  return true;
}
