#include "platform/bmp.h"

#include <array>

namespace torvel {
namespace {

void PutU16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

std::array<uint8_t, kBmpHeaderSize> MakeHeaders(const Bitmap& picture) {
  const auto imageBytes = static_cast<uint32_t>(picture.ByteSize());
  std::array<uint8_t, kBmpHeaderSize> h{};
  h[0] = 'B';
  h[1] = 'M';
  PutU32(&h[2], static_cast<uint32_t>(kBmpHeaderSize) + imageBytes);  // file size
  PutU32(&h[10], kBmpHeaderSize);                                     // pixel data offset
  PutU32(&h[14], 40);                                                 // information header size
  PutU32(&h[18], static_cast<uint32_t>(picture.Width()));
  PutU32(&h[22], static_cast<uint32_t>(picture.Height()));
  PutU16(&h[26], 1);   // planes
  PutU16(&h[28], 24);  // bits per pixel
  PutU32(&h[34], imageBytes);
  return h;  // compression, resolution and colour counts stay 0
}

}  // namespace

bool EncodeBmp(const Bitmap& picture, TStream& stream) {
  const auto headers = MakeHeaders(picture);
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
  const auto headers = MakeHeaders(picture);
  bytes.insert(bytes.end(), headers.begin(), headers.end());
  for (int y = picture.Height() - 1; y >= 0; --y) {
    bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + picture.Stride());
  }
  return bytes;
}

}  // namespace torvel
