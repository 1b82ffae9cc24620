#include "game/embedded_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/picture_loading.h"

void ScrambleChunk(uint8_t* data, size_t count, uint8_t& key, bool rotate) {
  if (!rotate) {
    for (size_t i = 0; i < count; ++i) data[i] ^= key;
    return;
  }
  uint8_t k = key;
  for (size_t i = 0; i < count; ++i) {
    data[i] ^= k;
    k = RotateKeyRight(k);
  }
  key = k;
}

bool EmbedBytes(TBinaryWriter& f, std::span<const uint8_t> data, uint8_t key, bool rotate) {
  if (data.size() > size_t(std::numeric_limits<int32_t>::max())) return false;
  if (!f.WriteInt32(int32_t(data.size()))) return false;
  std::vector<uint8_t> chunk;
  for (size_t done = 0; done < data.size();) {
    size_t n = std::min(data.size() - done, size_t(EmbedChunkSize));
    chunk.assign(data.begin() + done, data.begin() + done + n);
    ScrambleChunk(chunk.data(), n, key, rotate);
    if (!f.Write(chunk.data(), int64_t(n))) return false;
    done += n;
  }
  return true;
}

bool EmbedFile(TBinaryWriter& f, const std::string& path, uint8_t key, bool rotate) {
  TBinaryReader src;
  if (!src.Open(path) || src.Size() > std::numeric_limits<int32_t>::max()) return false;
  if (!f.WriteInt32(int32_t(src.Size()))) return false;
  // The count of what remains drives the loop, so an empty file ends it at once.
  std::vector<uint8_t> chunk(size_t(std::min<int64_t>(src.Size(), EmbedChunkSize)));
  while (src.Remaining() > 0) {
    int64_t n = std::min<int64_t>(src.Remaining(), EmbedChunkSize);
    if (!src.Read(chunk.data(), n)) return false;
    ScrambleChunk(chunk.data(), size_t(n), key, rotate);
    if (!f.Write(chunk.data(), n)) return false;
  }
  return true;
}

namespace {
// Reads the count of the record at f's position and checks it against what remains.
bool ReadEmbeddedCount(TBinaryReader& f, int32_t& count) {
  int64_t start = f.Position();
  int32_t n;
  if (!f.ReadInt32(n)) return false;
  if (n < 0 || n > f.Remaining()) {
    f.Seek(start);
    return false;
  }
  count = n;
  return true;
}
}  // namespace

bool ExtractEmbeddedBytes(TBinaryReader& f, uint8_t key, bool rotate, std::vector<uint8_t>& data, int64_t& endPos) {
  int64_t start = f.Position();
  int32_t n;
  if (!ReadEmbeddedCount(f, n)) return false;
  std::vector<uint8_t> buf(size_t(n), 0);
  for (int64_t done = 0; done < n;) {
    int64_t chunk = std::min<int64_t>(n - done, EmbedChunkSize);
    if (!f.Read(buf.data() + done, chunk)) {
      f.Seek(start);
      return false;
    }
    ScrambleChunk(buf.data() + done, size_t(chunk), key, rotate);
    done += chunk;
  }
  data.swap(buf);
  endPos = f.Position();
  return true;
}

bool ExtractEmbeddedImage(TBinaryReader& f, uint8_t key, bool rotate, const std::string& path, int32_t& endPos,
                          int32_t& size) {
  int64_t start = f.Position();
  int32_t n;
  if (!ReadEmbeddedCount(f, n)) return false;
  if (f.Position() + n > std::numeric_limits<int32_t>::max()) {
    f.Seek(start);
    return false;
  }
  TBinaryWriter out;
  bool ok = out.Create(path, false);
  std::vector<uint8_t> chunk(size_t(std::min<int32_t>(n, EmbedChunkSize)));
  for (int64_t done = 0; ok && done < n;) {
    int64_t c = std::min<int64_t>(n - done, EmbedChunkSize);
    ok = f.Read(chunk.data(), c);
    if (!ok) break;
    ScrambleChunk(chunk.data(), size_t(c), key, rotate);
    ok = out.Write(chunk.data(), c);
    done += c;
  }
  if (!ok || !out.Commit()) {
    f.Seek(start);
    return false;
  }
  endPos = int32_t(f.Position());
  size = n;
  return true;
}

bool SkipEmbeddedFile(TBinaryReader& f, int32_t& size) {
  int32_t n;
  if (!ReadEmbeddedCount(f, n)) return false;
  f.Skip(n);
  size = n;
  return true;
}

int DetectImageKind(std::span<const uint8_t> head) {
  // The jigsaw readers know bitmaps, JPEG and GIF only; a PNG counts as unknown to them.
  TPictureKind kind = DetectPictureKind(head.data(), head.size());
  return kind == TPictureKind::Png ? ImageKindUnknown : int(kind);
}

int DetectImageKind(const std::string& path) {
  std::vector<uint8_t> head;
  if (!ReadFileHead(path, 4, head)) return ImageKindUnknown;
  return DetectImageKind(head);
}

bool IsJfifData(std::span<const uint8_t> head) {
  static const uint8_t jfif[12] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01};
  return head.size() >= 12 && std::memcmp(head.data(), jfif, 12) == 0;
}

bool IsJfifFile(const std::string& path) {
  std::vector<uint8_t> head;
  return ReadFileHead(path, 12, head) && IsJfifData(head);
}
