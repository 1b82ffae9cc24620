#include "engine/shape_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/byte_fields.h"

namespace {
void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) { PutI32(out.data() + at, int32_t(v)); }
int64_t I32(const uint8_t* p) { return GetI32(p); }
int64_t I16(const uint8_t* p) { return GetI16(p); }

// The cut mirrors, turns and plots an outline in 32-bit arithmetic, so every point must lie
// near the drawing (the metafile reader has checked its bounds and frame): within one drawing
// size of its bounds, where a system writer may put the control points of a curve.
bool InsideItsDrawing(TMetafile& mf) {
  const uint8_t* h = mf.Bytes.data();
  const int64_t left = I32(h + 8), top = I32(h + 12), right = I32(h + 16), bottom = I32(h + 20);
  const int64_t w = right - left + 1, ht = bottom - top + 1;
  bool inside = true;
  auto check = [&](int64_t x, int64_t y) {
    inside = inside && x >= left - w && x <= right + w && y >= top - ht && y <= bottom + ht;
  };
  EnumMetafile(mf, [&](uint32_t type, uint8_t* rec, uint32_t) {
    if (type == kMfMoveTo || type == kMfLineTo || type == kMfSetPixel || type == kMfExtFloodFill) {
      check(I32(rec + 8), I32(rec + 12));
    } else if (type >= kMfPolyBezier && type <= kMfPolylineTo) {
      for (uint32_t i = 0, n = GetU32(rec + 24); i < n; ++i)
        check(I32(rec + kMfPointsOffset + 8 * i), I32(rec + kMfPointsOffset + 8 * i + 4));
    } else if (type >= kMfPolyBezier16 && type <= kMfPolyBezierTo16) {
      for (uint32_t i = 0, n = GetU32(rec + 24); i < n; ++i)
        check(I16(rec + kMfPointsOffset + 4 * i), I16(rec + kMfPointsOffset + 4 * i + 2));
    }
  });
  return inside;
}
}  // namespace

bool ParseShapeFile(const uint8_t* data, size_t size, TShapeFile& shapes) {
  FreeShapeFile(shapes);
  if (!data || size < 12 || std::memcmp(data, kShapeFileMagic, 8) != 0) return false;
  const int32_t count = int32_t(GetU32(data + 8));
  if (count < 0 || count > kMaxShapeCount || 12 + uint64_t(count) * kShapeEntrySize > size) return false;
  std::vector<TShapeEntry> directory(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 12 + size_t(i) * kShapeEntrySize;
    TShapeEntry& entry = directory[size_t(i)];
    entry.Offset = GetU32(e);
    entry.Size = GetU32(e + 4);
    entry.Width = int32_t(GetU32(e + 8));
    entry.Height = int32_t(GetU32(e + 12));
    entry.MirrorTopBottom = e[32] != 0;
    entry.MirrorLeftRight = e[33] != 0;
    if (entry.Width < 1 || entry.Height < 1 || entry.Width > kMfMaxSide || entry.Height > kMfMaxSide) return false;
    if (uint64_t(entry.Offset) + entry.Size > size) return false;
    if (!MetafileFromBytes(data + entry.Offset, entry.Size, entry.Blob) || !InsideItsDrawing(entry.Blob)) return false;
  }
  shapes.ShapeCount = count;
  shapes.ShapeDirectory = std::move(directory);
  return true;
}

bool LoadShapeFile(const std::string& path, TShapeFile& shapes) {
  FreeShapeFile(shapes);
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  // The file holds at most kMaxShapeCount outlines; anything far larger is no shape file.
  if (length < 0 || length > (std::streamoff(1) << 28)) return false;
  in.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), length)) return false;
  return ParseShapeFile(bytes.data(), bytes.size(), shapes);
}

void ShapeMetafile(TShapeFile& shapes, int32_t index) {
  shapes.CurrentShape = shapes.ShapeDirectory.at(size_t(index)).Blob;
  shapes.HasCurrentShape = true;
}

void FreeShapeFile(TShapeFile& shapes) {
  shapes.ShapeCount = 0;
  shapes.ShapeDirectory.clear();
  shapes.CurrentShape.Bytes.clear();
  shapes.HasCurrentShape = false;
}

std::vector<uint8_t> WriteShapeFile(const std::vector<TShapeSource>& sources) {
  std::vector<uint8_t> out(12 + kShapeEntrySize * sources.size(), 0);
  std::memcpy(out.data(), kShapeFileMagic, 8);
  PutU32(out, 8, uint32_t(sources.size()));
  for (size_t i = 0; i < sources.size(); ++i) {
    const size_t e = 12 + i * kShapeEntrySize;
    PutU32(out, e, uint32_t(out.size()));
    PutU32(out, e + 4, uint32_t(sources[i].Blob.size()));
    PutU32(out, e + 8, uint32_t(sources[i].Width));
    PutU32(out, e + 12, uint32_t(sources[i].Height));
    out[e + 32] = sources[i].MirrorTopBottom ? 1 : 0;
    out[e + 33] = sources[i].MirrorLeftRight ? 1 : 0;
    out.insert(out.end(), sources[i].Blob.begin(), sources[i].Blob.end());
  }
  return out;
}
