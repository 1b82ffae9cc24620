#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "foundation/binary_file.h"

// An embedded file: a signed 32-bit byte count, then the bytes XORed with a one-byte key. A
// fixed key scrambles every byte alike; a rotating key turns right by one bit after each byte
// and runs on across chunk borders, so how the data was chunked never shows in the file.

// The scrambling keys of our formats. They are part of every file ever written: never change them.
constexpr uint8_t PreviewKey = 0x6B;           // jigsaw preview and saved-game thumbnail, fixed
constexpr uint8_t DescriptionKey = 0xA5;       // jigsaw description of variant i: key + i, rotating
constexpr uint8_t PictureKey = 0x3D;           // jigsaw picture of variant i: key + i, rotating
constexpr uint8_t SavedPictureKey = 0xC9;      // saved game's picture, fixed
constexpr uint8_t SavedCutMapKey = 0x57;       // saved game's cut map, fixed
constexpr uint8_t SavedDescriptionKey = 0x9E;  // saved game's description, fixed

// Embedded data is moved in chunks of at most this many bytes.
constexpr int32_t EmbedChunkSize = 50000;

inline uint8_t RotateKeyRight(uint8_t key) { return uint8_t((key & 1) << 7 | key >> 1); }

// XORs data with the key stream and leaves key where the stream stops, ready for the next chunk.
void ScrambleChunk(uint8_t* data, size_t count, uint8_t& key, bool rotate);

// Appends an embedded record of data to f.
bool EmbedBytes(TBinaryWriter& f, std::span<const uint8_t> data, uint8_t key, bool rotate);
// Appends the file at path as an embedded record, streamed chunk by chunk. False when the file
// cannot be read or is too large for a 32-bit count.
bool EmbedFile(TBinaryWriter& f, const std::string& path, uint8_t key, bool rotate);

// Reads the embedded record at f's position. A count that is negative or larger than what
// remains of the file is refused. On success endPos is the position after the data; on failure
// data is untouched and f is back where it started.
bool ExtractEmbeddedBytes(TBinaryReader& f, uint8_t key, bool rotate, std::vector<uint8_t>& data, int64_t& endPos);
// The same, written to the file at path (the temporary picture file), which keeps its old
// content when the record is refused.
bool ExtractEmbeddedImage(TBinaryReader& f, uint8_t key, bool rotate, const std::string& path, int32_t& endPos,
                          int32_t& size);
// Steps over the embedded record at f's position without reading its data.
bool SkipEmbeddedFile(TBinaryReader& f, int32_t& size);

// Picture kinds told from the first bytes, as the jigsaw readers number them.
constexpr int ImageKindUnknown = 0;
constexpr int ImageKindBitmap = 1;  // "BM"
constexpr int ImageKindJpeg = 2;    // FF D8 FF
constexpr int ImageKindGif = 3;     // "GIF8"

int DetectImageKind(std::span<const uint8_t> head);
int DetectImageKind(const std::string& path);  // 0 when the file cannot be read
// True only for a JPEG that opens with a version-1 JFIF APP0 segment; a JPEG that starts with
// another segment (an Exif one, say) is not taken as JPEG.
bool IsJfifData(std::span<const uint8_t> head);
bool IsJfifFile(const std::string& path);  // false for a file that is missing or too short
