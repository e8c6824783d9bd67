#pragma once

#include <cstdint>

namespace torvel {

// Little-endian integers in byte buffers, the order every file format of the program uses.

// The first `bytes` bytes (1 to 4) at p.
inline uint32_t ReadLittleEndian(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= uint32_t{p[i]} << (8 * i);
  }
  return value;
}
inline uint16_t ReadLittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(ReadLittleEndian(p, 2));
}
inline uint32_t ReadLittleEndian32(const uint8_t* p) {
  return ReadLittleEndian(p, 4);
}

// The low `bytes` bytes (1 to 4) of value, lowest first.
inline void WriteLittleEndian(uint8_t* p, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    p[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}
inline void WriteLittleEndian16(uint8_t* p, uint32_t value) {
  WriteLittleEndian(p, value, 2);
}
inline void WriteLittleEndian32(uint8_t* p, uint32_t value) {
  WriteLittleEndian(p, value, 4);
}

}  // namespace torvel
