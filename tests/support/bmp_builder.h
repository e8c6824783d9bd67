#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace torvel::test {

// Assembles BMP file images field by field, so that tests can make exactly the broken or unusual
// files they need.
struct TBmpSpec {
  uint32_t HeaderSize = 40;
  int32_t Width = 2;
  int32_t Height = 2;
  uint16_t Planes = 1;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t SizeImage = 0;
  uint32_t ColorsUsed = 0;
  std::vector<uint32_t> Masks;    // red, green, blue[, alpha]
  std::vector<uint32_t> Palette;  // 0x00RRGGBB entries
  std::vector<uint8_t> Pixels;    // the pixel data exactly as it goes into the file
  std::optional<uint32_t> PixelOffset;  // default: right after headers, masks and palette
};

inline void PutLe(std::vector<uint8_t>& out, size_t at, uint64_t value, int bytes) {
  if (out.size() < at + bytes) {
    out.resize(at + bytes);
  }
  for (int i = 0; i < bytes; ++i) {
    out[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

inline std::vector<uint8_t> BuildBmp(const TBmpSpec& s) {
  std::vector<uint8_t> out(14, 0);
  out[0] = 'B';
  out[1] = 'M';
  const size_t info = 14;
  PutLe(out, info, s.HeaderSize, 4);
  const bool core = s.HeaderSize == 12;
  if (core) {
    PutLe(out, info + 4, static_cast<uint16_t>(s.Width), 2);
    PutLe(out, info + 6, static_cast<uint16_t>(s.Height), 2);
    PutLe(out, info + 8, s.Planes, 2);
    PutLe(out, info + 10, s.Bits, 2);
  } else {
    const size_t headerBytes = s.HeaderSize >= 40 && s.HeaderSize <= 124 ? s.HeaderSize : 40;
    out.resize(info + headerBytes, 0);
    PutLe(out, info + 4, static_cast<uint32_t>(s.Width), 4);
    PutLe(out, info + 8, static_cast<uint32_t>(s.Height), 4);
    PutLe(out, info + 12, s.Planes, 2);
    PutLe(out, info + 14, s.Bits, 2);
    PutLe(out, info + 16, s.Compression, 4);
    PutLe(out, info + 20, s.SizeImage, 4);
    PutLe(out, info + 32, s.ColorsUsed, 4);
    for (size_t i = 0; i < s.Masks.size(); ++i) {
      if (s.HeaderSize >= 52) {
        PutLe(out, info + 40 + 4 * i, s.Masks[i], 4);
      } else {
        PutLe(out, out.size(), s.Masks[i], 4);
      }
    }
  }
  for (uint32_t color : s.Palette) {
    const size_t at = out.size();
    PutLe(out, at, color, core ? 3 : 4);
  }
  const uint32_t offset = s.PixelOffset.value_or(static_cast<uint32_t>(out.size()));
  PutLe(out, 10, offset, 4);
  if (out.size() < offset && offset < (1u << 20)) {
    out.resize(offset, 0);  // a gap before the pixels; an offset inside the headers cuts nothing
  }
  out.insert(out.end(), s.Pixels.begin(), s.Pixels.end());
  PutLe(out, 2, out.size(), 4);
  return out;
}

}  // namespace torvel::test
