#pragma once
// A minimal RAR 4.x writer for tests: "stored" entries (method 0x30) with correct header and
// file checksums, plus switches that break an archive on purpose. Debian ships no RAR writer.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct TRarTestEntry {
  std::string Name;
  std::vector<uint8_t> Data;
  bool Directory = false;
  uint8_t HostOs = 2;          // 2 Windows (attributes), 3 Unix (st_mode)
  uint32_t Attributes = 0x20;  // Windows "archive"; for Unix a whole st_mode
  int64_t DeclaredSize = -1;   // unpacked size written in the header; -1: the data's size
  bool BadHeaderCrc = false;
  bool BadDataCrc = false;
};

inline uint32_t RarCrc32(const uint8_t* data, size_t size) { return uint32_t(crc32(0L, data, uInt(size))); }

inline void RarPut16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

inline void RarPut32(std::vector<uint8_t>& out, uint32_t v) {
  RarPut16(out, v & 0xFFFF);
  RarPut16(out, v >> 16);
}

// A block: the header CRC (low 16 bits of the CRC-32 of everything after it), then the header.
inline void RarPutBlock(std::vector<uint8_t>& out, const std::vector<uint8_t>& afterCrc, bool badCrc = false) {
  uint32_t crc = RarCrc32(afterCrc.data(), afterCrc.size()) & 0xFFFF;
  if (badCrc) crc ^= 0x5A5A;
  RarPut16(out, crc);
  out.insert(out.end(), afterCrc.begin(), afterCrc.end());
}

inline std::vector<uint8_t> MakeRar4(const std::vector<TRarTestEntry>& entries, bool endBlock = true) {
  std::vector<uint8_t> out = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
  // Main archive header: type 0x73, no flags, size 13, six reserved bytes.
  RarPutBlock(out, {0x73, 0x00, 0x00, 13, 0x00, 0, 0, 0, 0, 0, 0});
  for (const TRarTestEntry& e : entries) {
    const uint64_t size = e.DeclaredSize >= 0 ? uint64_t(e.DeclaredSize) : e.Data.size();
    const uint64_t packed = e.Data.size();
    const bool large = (size >> 32) != 0 || (packed >> 32) != 0;
    uint32_t flags = 0x8000;  // data follows the header
    if (e.Directory) flags |= 0xE0;
    if (large) flags |= 0x100;
    uint32_t dataCrc = RarCrc32(e.Data.data(), e.Data.size());
    if (e.BadDataCrc) dataCrc ^= 0xFFFFFFFF;
    const size_t headSize = 32 + (large ? 8 : 0) + e.Name.size();
    std::vector<uint8_t> h = {0x74};
    RarPut16(h, flags);
    RarPut16(h, uint32_t(headSize));
    RarPut32(h, uint32_t(packed));
    RarPut32(h, uint32_t(size));
    h.push_back(e.HostOs);
    RarPut32(h, dataCrc);
    RarPut32(h, 0x5A210000);  // a DOS date in 2025
    h.push_back(20);          // version needed: 2.0
    h.push_back(0x30);        // stored
    RarPut16(h, uint32_t(e.Name.size()));
    RarPut32(h, e.Directory && e.HostOs != 3 ? 0x10 : e.Attributes);
    if (large) {
      RarPut32(h, uint32_t(packed >> 32));
      RarPut32(h, uint32_t(size >> 32));
    }
    h.insert(h.end(), e.Name.begin(), e.Name.end());
    RarPutBlock(out, h, e.BadHeaderCrc);
    out.insert(out.end(), e.Data.begin(), e.Data.end());
  }
  if (endBlock) RarPutBlock(out, {0x7B, 0x00, 0x40, 7, 0x00});
  return out;
}

inline std::vector<uint8_t> RarBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }
