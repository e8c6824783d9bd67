#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace torvel::test {

// Assembles BMP file images field by field, so that tests can make exactly the broken or unusual
// files they need.
struct TBmpLayout {
  uint32_t HeaderSize = 40;
  int32_t Width = 2;
  int32_t Height = 2;
  uint16_t Planes = 1;
  uint16_t Bits = 24;
  uint32_t Compression = 0;
  uint32_t SizeImage = 0;
  uint32_t ColorsUsed = 0;
  std::vector<uint32_t> Masks;          // red, green, blue[, alpha]
  std::vector<uint32_t> Palette;        // 0x00RRGGBB entries
  std::vector<uint8_t> Pixels;          // the pixel data exactly as it goes into the file
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

inline std::vector<uint8_t> BuildBmp(const TBmpLayout& layout) {
  std::vector<uint8_t> out(14, 0);
  out[0] = 'B';
  out[1] = 'M';
  const size_t info = 14;
  PutLe(out, info, layout.HeaderSize, 4);
  const bool core = layout.HeaderSize == 12;
  if (core) {
    PutLe(out, info + 4, static_cast<uint16_t>(layout.Width), 2);
    PutLe(out, info + 6, static_cast<uint16_t>(layout.Height), 2);
    PutLe(out, info + 8, layout.Planes, 2);
    PutLe(out, info + 10, layout.Bits, 2);
  } else {
    const size_t headerBytes =
        layout.HeaderSize >= 40 && layout.HeaderSize <= 124 ? layout.HeaderSize : 40;
    out.resize(info + headerBytes, 0);
    PutLe(out, info + 4, static_cast<uint32_t>(layout.Width), 4);
    PutLe(out, info + 8, static_cast<uint32_t>(layout.Height), 4);
    PutLe(out, info + 12, layout.Planes, 2);
    PutLe(out, info + 14, layout.Bits, 2);
    PutLe(out, info + 16, layout.Compression, 4);
    PutLe(out, info + 20, layout.SizeImage, 4);
    PutLe(out, info + 32, layout.ColorsUsed, 4);
    for (size_t i = 0; i < layout.Masks.size(); ++i) {
      if (layout.HeaderSize >= 52) {
        PutLe(out, info + 40 + 4 * i, layout.Masks[i], 4);
      } else {
        PutLe(out, out.size(), layout.Masks[i], 4);
      }
    }
  }
  for (uint32_t color : layout.Palette) {
    const size_t at = out.size();
    PutLe(out, at, color, core ? 3 : 4);
  }
  const uint32_t offset = layout.PixelOffset.value_or(static_cast<uint32_t>(out.size()));
  PutLe(out, 10, offset, 4);
  if (out.size() < offset && offset < (1u << 20)) {
    out.resize(offset, 0);  // a gap before the pixels; an offset inside the headers cuts nothing
  }
  out.insert(out.end(), layout.Pixels.begin(), layout.Pixels.end());
  PutLe(out, 2, out.size(), 4);
  return out;
}

}  // namespace torvel::test
