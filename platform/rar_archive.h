#pragma once
#include <cstdint>
#include <string>

// RAR and zip extraction shaped as the classic four calls of the unrar library (open, read
// header, process, close), over libarchive's reader. libarchive only reads: every entry is written by
// our own code, which refuses absolute names, "..", links and special files, caps sizes, and
// writes each file to a temporary file that is renamed into place once complete.

// Result codes, as the unrar library numbers them.
enum : int32_t {
  kRarSuccess = 0,
  kRarEndArchive = 10,
  kRarNoMemory = 11,
  kRarBadData = 12,     // broken header, data or checksum
  kRarBadArchive = 13,  // neither a RAR nor a zip archive
  kRarOpenError = 15,   // the archive file cannot be opened
  kRarCreateError = 16,  // the entry cannot or may not be written (unsafe name, type or size)
  kRarWriteError = 19,
  kRarUnknown = 21,     // a call out of order
};

enum : int32_t { kRarOpenExtract = 1 };
enum : int32_t { kRarExtract = 2 };

// Jigsaws are a few megabytes; these bounds only stop a hostile archive from filling the disk.
constexpr int64_t kRarMaxEntrySize = int64_t(256) << 20;
constexpr int64_t kRarMaxTotalSize = int64_t(1) << 30;
constexpr int32_t kRarMaxEntries = 4096;

struct TRarOpenArchiveData {
  std::string ArcName;
  int32_t OpenMode = kRarOpenExtract;
  int32_t OpenResult = kRarSuccess;  // set by RAROpenArchive
  int64_t MaxEntrySize = kRarMaxEntrySize;
  int64_t MaxTotalSize = kRarMaxTotalSize;
};

struct TRarHeaderData {
  std::string FileName;  // as stored, '\' turned into '/'
  int64_t UnpSize = -1;  // -1 when the archive does not say
  bool Directory = false;
};

struct TRarArchive;
using TRarHandle = TRarArchive*;

// Null with data.OpenResult set when the file cannot be opened or is no archive of either kind.
TRarHandle RAROpenArchive(TRarOpenArchiveData& data);
// 0 for the next entry, kRarEndArchive after the last, kRarBadData for a broken header.
int32_t RARReadHeader(TRarHandle handle, TRarHeaderData& header);
// Extracts the entry of the last header below destPath (an existing folder) under its stored
// name; 0 on success.
int32_t RARProcessFile(TRarHandle handle, int32_t operation, const std::string& destPath);
int32_t RARCloseArchive(TRarHandle handle);
