#pragma once
#include <cstdint>
#include <functional>
#include <string>

// RAR and zip extraction shaped as the classic four calls of the unrar library (open, read
// header, process, close), over libarchive's reader. libarchive only reads: every entry is written
// by our own code, which refuses absolute names, "..", names that are no plain UTF-8 (see
// PlainOutsideName: no controls, line separators or direction marks), deep folders, links and
// special files, caps sizes and entries, and
// writes each file to a temporary file that is renamed into place once complete.

// Result codes, as the unrar library numbers them.
enum : int32_t {
  kRarSuccess = 0,
  kRarEndArchive = 10,
  kRarNoMemory = 11,
  kRarBadData = 12,      // broken header, data or checksum
  kRarBadArchive = 13,   // neither a RAR nor a zip archive
  kRarOpenError = 15,    // the archive file cannot be opened
  kRarCreateError = 16,  // the entry cannot or may not be written (unsafe name, type or size)
  kRarWriteError = 19,
  kRarUnknown = 21,  // a call out of order
  kRarStopped = 30,  // the caller's KeepGoing said stop
};

enum : int32_t { kRarExtract = 2 };

// Jigsaws are a few megabytes; these bounds only stop a hostile archive from filling the disk.
constexpr int64_t kRarMaxEntrySize = int64_t(256) << 20;
constexpr int64_t kRarMaxTotalSize = int64_t(1) << 30;
// A jigsaw archive holds a jigsaw or a few, at most a folder deep.
constexpr int32_t kRarMaxEntries = 64;
constexpr int32_t kRarMaxFolderDepth = 2;

struct TRarOpenArchiveData {
  std::string ArcName;
  int32_t OpenResult = kRarSuccess;  // set by RAROpenArchive
  int64_t MaxEntrySize = kRarMaxEntrySize;
  int64_t MaxTotalSize = kRarMaxTotalSize;
  // Asked between blocks of every entry's data; false ends the entry with kRarStopped. Lets a
  // window handle its input during a long extraction.
  std::function<bool()> KeepGoing;
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
// The bytes of every entry extracted so far.
int64_t RARWrittenBytes(TRarHandle handle);
