#pragma once
#include <cstdint>
#include <cstring>

// Little-endian fields of the files and records the game reads and writes (metafile records,
// the shape file).
inline uint32_t GetU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline int32_t GetI32(const uint8_t* p) { return int32_t(GetU32(p)); }
inline int16_t GetI16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void PutI32(uint8_t* p, int32_t v) { std::memcpy(p, &v, 4); }
inline void PutI16(uint8_t* p, int16_t v) { std::memcpy(p, &v, 2); }
