#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Reads an untyped file of little-endian records. Every read is all or nothing: a request for
// more bytes than remain, or a failing read, returns false and never throws, so a truncated or
// hostile file cannot make a reader run past its end.
class TBinaryReader {
 public:
  TBinaryReader() = default;
  ~TBinaryReader() { Close(); }
  TBinaryReader(const TBinaryReader&) = delete;
  TBinaryReader& operator=(const TBinaryReader&) = delete;

  bool Open(const std::string& path);  // regular files only
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  int64_t Size() const { return size_; }
  int64_t Position() const { return pos_; }
  int64_t Remaining() const { return size_ - pos_; }
  bool Seek(int64_t pos);  // false outside 0 .. Size()

  bool Read(void* data, int64_t count);
  bool ReadInt32(int32_t& value);
  bool Skip(int64_t count);

 private:
  std::FILE* file_ = nullptr;
  int64_t size_ = 0;
  int64_t pos_ = 0;
};

// Writes a file the safe way: into a temporary file beside the target, which Commit flushes to
// disk and renames over the target. Until then the target is untouched; a writer destroyed
// without Commit removes its temporary file.
class TBinaryWriter {
 public:
  TBinaryWriter() = default;
  ~TBinaryWriter() { Discard(); }
  TBinaryWriter(const TBinaryWriter&) = delete;
  TBinaryWriter& operator=(const TBinaryWriter&) = delete;

  // A scratch file that nobody needs after a crash (the temporary picture file) skips the
  // flush to disk, which costs far more than writing it.
  bool Create(const std::string& path, bool durable = true);
  bool Write(const void* data, int64_t count);  // false once any write has failed
  bool WriteInt32(int32_t value);
  int64_t Position() const { return pos_; }
  bool Commit();
  void Discard();
  // The system's error number of the first step that failed (0 while none has), so that the
  // player can be told why (a full disk, no permission) and not only that.
  int Error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string temp_;
  int64_t pos_ = 0;
  bool failed_ = false;
  bool durable_ = true;
  int error_ = 0;
};

// A failure's message with the system's reason when there is one: what + ": No space left on
// device." for ENOSPC, what + "." for 0.
std::string FailureText(const std::string& what, int error);

// The first bytes of a file (fewer when the file is shorter); false when it cannot be read.
bool ReadFileHead(const std::string& path, size_t count, std::vector<uint8_t>& head);
