#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/metafile.h"

// The shape file: "BJ61DAT ", a 32-bit count, a directory of 40-byte entries, then the
// outlines as metafile blobs, each wherever its entry's offset says.
constexpr char kShapeFileMagic[8] = {'B', 'J', '6', '1', 'D', 'A', 'T', ' '};
constexpr size_t kShapeEntrySize = 40;
constexpr int32_t kMaxShapeCount = 4096;
constexpr const char* kInvalidShapeFileText = "Invalid DAT file!";

// One directory entry as the cut uses it (the stored blob address is not kept).
struct TShapeEntry {
  uint32_t Offset;
  uint32_t Size;
  int32_t Width;
  int32_t Height;
  bool MirrorTopBottom;  // byte 32
  bool MirrorLeftRight;  // byte 33
  TMetafile Blob;
};

struct TShapeFile {
  int32_t ShapeCount = 0;
  std::vector<TShapeEntry> ShapeDirectory;
  TMetafile CurrentShape;
  bool HasCurrentShape = false;
};

// Reads a whole shape file from memory. A file that is short, lies about its count, an offset
// or a size, or holds a blob that is no well-formed metafile or has a point outside its
// drawing is refused as a whole: false and an empty shapes record.
bool ParseShapeFile(const uint8_t* data, size_t size, TShapeFile& shapes);
// Reads the file at path the same way; a missing or unreadable file is refused too.
bool LoadShapeFile(const std::string& path, TShapeFile& shapes);
// CurrentShape := a copy of the entry's outline.
void ShapeMetafile(TShapeFile& shapes, int32_t index);
void FreeShapeFile(TShapeFile& shapes);

// The writer's side, for the tool that makes the file and for tests.
struct TShapeSource {
  int32_t Width, Height;
  bool MirrorTopBottom, MirrorLeftRight;
  std::vector<uint8_t> Blob;
};
std::vector<uint8_t> WriteShapeFile(const std::vector<TShapeSource>& sources);
