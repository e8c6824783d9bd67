#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torvel {

// Which of the 2^24 colours a picture's visible pixels use, to find a key colour for its
// transparent ones that no visible pixel has.
class TColourSet {
 public:
  TColourSet() : bits_(size_t{1} << 18) {}
  // rgb: red, green, blue.
  void Add(const uint8_t* rgb) {
    const uint32_t c = Key(rgb);
    bits_[c >> 6] |= uint64_t{1} << (c & 63);
  }
  bool Has(uint32_t c) const { return (bits_[c >> 6] >> (c & 63) & 1) != 0; }
  static uint32_t Key(const uint8_t* rgb) { return uint32_t{rgb[0]} << 16 | rgb[1] << 8 | rgb[2]; }

  // A colour (0xRRGGBB) no visible pixel uses, the classic keying colours first; false when
  // all are taken.
  bool FindUnused(uint32_t& rgb) const;

 private:
  std::vector<uint64_t> bits_;
};

// Pixels with less than half coverage count as transparent; the others as opaque.
constexpr uint8_t kOpaqueAlpha = 128;

}  // namespace torvel
