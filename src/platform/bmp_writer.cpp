#include "platform/bmp.h"

#include <array>

#include "platform/little_endian.h"

namespace torvel {
int64_t BmpRowBytes(int64_t width) {
  return (width * 3 + 3) & ~int64_t{3};
}

std::array<uint8_t, kBmpHeaderSize> BmpHeaders(int width, int height) {
  const auto imageBytes = static_cast<uint32_t>(BmpRowBytes(width) * height);
  std::array<uint8_t, kBmpHeaderSize> h{};
  h[0] = 'B';
  h[1] = 'M';
  WriteLittleEndian32(&h[2], static_cast<uint32_t>(kBmpHeaderSize) + imageBytes);  // file size
  WriteLittleEndian32(&h[10], kBmpHeaderSize);  // pixel data offset
  WriteLittleEndian32(&h[14], 40);              // information header size
  WriteLittleEndian32(&h[18], static_cast<uint32_t>(width));
  WriteLittleEndian32(&h[22], static_cast<uint32_t>(height));
  WriteLittleEndian16(&h[26], 1);   // planes
  WriteLittleEndian16(&h[28], 24);  // bits per pixel
  WriteLittleEndian32(&h[34], imageBytes);
  return h;  // compression, resolution and colour counts stay 0
}

bool EncodeBmp(const Bitmap& picture, TStream& stream) {
  const auto headers = BmpHeaders(picture.Width(), picture.Height());
  if (!stream.WriteAll(headers.data(), headers.size())) {
    return false;
  }
  for (int y = picture.Height() - 1; y >= 0; --y) {
    if (!stream.WriteAll(picture.Row(y), static_cast<size_t>(picture.Stride()))) {
      return false;
    }
  }
  return true;
}

std::vector<uint8_t> EncodeBmp(const Bitmap& picture) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kBmpHeaderSize + picture.ByteSize());
  const auto headers = BmpHeaders(picture.Width(), picture.Height());
  bytes.insert(bytes.end(), headers.begin(), headers.end());
  for (int y = picture.Height() - 1; y >= 0; --y) {
    bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + picture.Stride());
  }
  return bytes;
}

}  // namespace torvel
