#include "platform/bmp.h"

#include <bit>
#include <climits>
#include <cstring>
#include <new>

#include "platform/little_endian.h"

namespace torvel {
namespace {

constexpr const char* kUnsupported = "Unsupported format";
constexpr const char* kOutOfMemory = "Out of memory";

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

int32_t I32(const uint8_t* p) {
  return static_cast<int32_t>(ReadLittleEndian32(p));
}

// One colour channel of a bit-field pixel: where it sits and how wide it is.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  uint8_t Extract(uint32_t pixel) const {
    const uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) {
      return static_cast<uint8_t>(v >> (Bits - 8));
    }
    const uint32_t max = (1u << Bits) - 1;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

struct THeader {
  int Width = 0;
  int Height = 0;  // always positive; TopDown says which way the rows run
  bool TopDown = false;
  int Bits = 0;
  uint32_t Compression = kBiRgb;
  uint32_t SizeImage = 0;
  uint32_t PixelOffset = 0;
  size_t HeadersEnd = 0;  // first byte after the headers and bit masks
  uint32_t Masks[3] = {0, 0, 0};
  uint32_t AlphaMask = 0;
  size_t PaletteEntrySize = 4;
  uint32_t PaletteCount = 0;
  int64_t RowBytes = 0;
};

// Holds the decoding state; every method returns false with `error` set on bad input.
class TBmpDecoder {
 public:
  TBmpDecoder(const uint8_t* data, size_t size, std::string& error, int64_t maxPixels)
      : data_(data), size_(size), maxPixels_(maxPixels), error_(error) {}

  bool Decode(Bitmap& out);

 private:
  bool Fail(const char* text) {
    error_ = text;
    return false;
  }
  bool ReadHeader();
  bool ReadCoreHeader(const uint8_t* p);
  bool ReadInfoHeader(const uint8_t* p, uint32_t headerSize);
  bool CheckFormat();
  bool ReadMasks();
  bool ReadPalette();
  bool CheckPixelData();
  bool DecodeRows(Bitmap& picture);
  bool DecodeRle(Bitmap& picture);
  bool PutIndex(Bitmap& picture, int x, int fileRow, uint32_t index);
  int TargetRow(int fileRow) const { return h_.TopDown ? fileRow : h_.Height - 1 - fileRow; }

  const uint8_t* data_;
  size_t size_;
  int64_t maxPixels_;
  std::string& error_;
  THeader h_;
  TChannel channels_[3];  // red, green, blue
  TColor palette_[256] = {};
};

bool TBmpDecoder::Decode(Bitmap& out) {
  if (!ReadHeader() || !CheckFormat() || !ReadMasks() || !ReadPalette() || !CheckPixelData()) {
    return false;
  }
  Bitmap picture;
  if (!picture.Resize(h_.Width, h_.Height)) {
    return Fail(kOutOfMemory);
  }
  const bool rle = h_.Compression == kBiRle8 || h_.Compression == kBiRle4;
  if (!(rle ? DecodeRle(picture) : DecodeRows(picture))) {
    return false;
  }
  out = std::move(picture);
  return true;
}

bool TBmpDecoder::ReadHeader() {
  if (size_ < kFileHeaderSize + 12 || data_[0] != 'B' || data_[1] != 'M') {
    return Fail(kUnsupported);
  }
  h_.PixelOffset = ReadLittleEndian32(data_ + 10);
  const uint8_t* info = data_ + kFileHeaderSize;
  const uint32_t headerSize = ReadLittleEndian32(info);
  if (headerSize == 12) {
    return ReadCoreHeader(info);
  }
  const bool known = headerSize == 40 || headerSize == 52 || headerSize == 56 ||
                     headerSize == 108 || headerSize == 124;
  if (!known || size_ < kFileHeaderSize + headerSize) {
    return Fail(kUnsupported);
  }
  return ReadInfoHeader(info, headerSize);
}

// The OS/2 1.x header: 16-bit sizes, always bottom-up, 3-byte palette entries.
bool TBmpDecoder::ReadCoreHeader(const uint8_t* p) {
  h_.Width = ReadLittleEndian16(p + 4);
  h_.Height = ReadLittleEndian16(p + 6);
  if (ReadLittleEndian16(p + 8) != 1) {
    return Fail(kUnsupported);
  }
  h_.Bits = ReadLittleEndian16(p + 10);
  h_.PaletteEntrySize = 3;
  h_.HeadersEnd = kFileHeaderSize + 12;
  h_.PaletteCount = h_.Bits <= 8 ? 1u << h_.Bits : 0;
  return true;
}

bool TBmpDecoder::ReadInfoHeader(const uint8_t* p, uint32_t headerSize) {
  const int32_t width = I32(p + 4);
  const int32_t height = I32(p + 8);
  if (ReadLittleEndian16(p + 12) != 1 || width <= 0 || height == 0 || height == INT_MIN) {
    return Fail(kUnsupported);
  }
  h_.Width = width;
  h_.TopDown = height < 0;
  h_.Height = height < 0 ? -height : height;
  h_.Bits = ReadLittleEndian16(p + 14);
  h_.Compression = ReadLittleEndian32(p + 16);
  h_.SizeImage = ReadLittleEndian32(p + 20);
  const uint32_t colorsUsed = ReadLittleEndian32(p + 32);
  h_.HeadersEnd = kFileHeaderSize + headerSize;
  if (headerSize >= 52) {
    for (int c = 0; c < 3; ++c) {
      h_.Masks[c] = ReadLittleEndian32(p + 40 + 4 * c);
    }
  }
  if (headerSize >= 56) {
    h_.AlphaMask = ReadLittleEndian32(p + 52);
  }
  if (h_.Bits <= 8) {
    if (h_.Bits < 1 || colorsUsed > (1u << h_.Bits)) {
      return Fail(kUnsupported);
    }
    h_.PaletteCount = colorsUsed != 0 ? colorsUsed : 1u << h_.Bits;
  }
  return true;
}

bool TBmpDecoder::CheckFormat() {
  const int bits = h_.Bits;
  const uint32_t c = h_.Compression;
  bool valid = false;
  if (c == kBiRgb) {
    valid = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  } else if (c == kBiRle8) {
    valid = bits == 8;
  } else if (c == kBiRle4) {
    valid = bits == 4;
  } else if (c == kBiBitfields) {
    valid = bits == 16 || bits == 32;
  }  // BI_JPEG, BI_PNG and anything else are refused
  const bool rle = c == kBiRle8 || c == kBiRle4;
  if (!valid || (rle && h_.TopDown) || h_.Width <= 0 || h_.Height <= 0) {
    return Fail(kUnsupported);
  }
  if (!Bitmap::IsAllowedSize(h_.Width, h_.Height) || int64_t{h_.Width} * h_.Height > maxPixels_) {
    return Fail(kOutOfMemory);
  }
  h_.RowBytes = (int64_t{h_.Width} * bits + 31) / 32 * 4;
  return true;
}

bool TBmpDecoder::ReadMasks() {
  if (h_.Bits != 16 && h_.Bits != 32) {
    return true;
  }
  if (h_.Compression == kBiRgb) {
    const bool five = h_.Bits == 16;
    h_.Masks[0] = five ? 0x7C00 : 0xFF0000;
    h_.Masks[1] = five ? 0x03E0 : 0x00FF00;
    h_.Masks[2] = five ? 0x001F : 0x0000FF;
  } else if (h_.HeadersEnd == kFileHeaderSize + 40) {
    // A plain information header is followed by the three masks.
    if (size_ < h_.HeadersEnd + 12) {
      return Fail(kUnsupported);
    }
    for (int c = 0; c < 3; ++c) {
      h_.Masks[c] = ReadLittleEndian32(data_ + h_.HeadersEnd + 4 * c);
    }
    h_.HeadersEnd += 12;
  }
  const uint64_t pixelRange = (uint64_t{1} << h_.Bits) - 1;
  uint32_t seen = h_.Compression == kBiBitfields ? h_.AlphaMask : 0;
  for (int c = 0; c < 3; ++c) {
    const uint32_t mask = h_.Masks[c];
    const int shift = mask != 0 ? std::countr_zero(mask) : 0;
    const bool contiguous = mask != 0 && std::has_single_bit((uint64_t{mask} >> shift) + 1);
    if (!contiguous || mask > pixelRange || (mask & seen) != 0) {
      return Fail(kUnsupported);
    }
    seen |= mask;
    channels_[c] = {mask, shift, std::popcount(mask)};
  }
  return true;
}

bool TBmpDecoder::ReadPalette() {
  const uint64_t paletteEnd = h_.HeadersEnd + uint64_t{h_.PaletteCount} * h_.PaletteEntrySize;
  if (paletteEnd > size_ || paletteEnd > h_.PixelOffset) {
    return Fail(kUnsupported);
  }
  for (uint32_t i = 0; i < h_.PaletteCount; ++i) {
    const uint8_t* e = data_ + h_.HeadersEnd + i * h_.PaletteEntrySize;
    palette_[i] = TColor{e[2]} | TColor{e[1]} << 8 | TColor{e[0]} << 16;
  }
  return true;
}

bool TBmpDecoder::CheckPixelData() {
  if (h_.PixelOffset >= size_) {
    return Fail(kUnsupported);
  }
  const uint64_t available = size_ - h_.PixelOffset;
  if (h_.SizeImage > available) {
    return Fail(kUnsupported);  // the header claims more pixel data than there is
  }
  const bool rle = h_.Compression == kBiRle8 || h_.Compression == kBiRle4;
  if (rle) {
    // RLE data ends at the stated image size, or at the end of the file when it is 0.
    if (h_.SizeImage != 0) {
      size_ = h_.PixelOffset + h_.SizeImage;
    }
    return true;
  }
  if (static_cast<uint64_t>(h_.RowBytes) * h_.Height > available) {
    return Fail(kUnsupported);  // truncated
  }
  return true;
}

bool TBmpDecoder::PutIndex(Bitmap& picture, int x, int fileRow, uint32_t index) {
  if (index >= h_.PaletteCount) {
    return Fail(kUnsupported);
  }
  picture.SetPixel(x, TargetRow(fileRow), palette_[index]);
  return true;
}

bool TBmpDecoder::DecodeRows(Bitmap& picture) {
  const int bits = h_.Bits;
  for (int r = 0; r < h_.Height; ++r) {
    const uint8_t* in = data_ + h_.PixelOffset + r * h_.RowBytes;
    if (bits == 24) {
      // Byte for byte, so that the padding bytes survive a load and save.
      std::memcpy(picture.Row(TargetRow(r)), in, static_cast<size_t>(h_.RowBytes));
      continue;
    }
    for (int x = 0; x < h_.Width; ++x) {
      if (bits <= 8) {
        const int bitPos = x * bits;
        const uint32_t index = (in[bitPos / 8] >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
        if (!PutIndex(picture, x, r, index)) {
          return false;
        }
        continue;
      }
      const uint32_t pixel =
          bits == 16 ? ReadLittleEndian16(in + 2 * x) : ReadLittleEndian32(in + 4 * x);
      const TColor color = TColor{channels_[0].Extract(pixel)} |
                           TColor{channels_[1].Extract(pixel)} << 8 |
                           TColor{channels_[2].Extract(pixel)} << 16;
      picture.SetPixel(x, TargetRow(r), color);
    }
  }
  return true;
}

// RLE rows run bottom-up. A stream must end with its end-of-bitmap marker; runs and deltas that
// leave the row or the picture are refused. Some encoders also encode the padding of each row,
// so a row may run to its padded length; the pixels past the picture's width are dropped.
bool TBmpDecoder::DecodeRle(Bitmap& picture) {
  const bool four = h_.Compression == kBiRle4;
  const int64_t rowLimit = h_.RowBytes * (four ? 2 : 1);
  size_t pos = h_.PixelOffset;
  int x = 0;
  int row = 0;
  auto put = [&](uint32_t index) {
    const int at = x++;
    if (at >= h_.Width) {
      return index < h_.PaletteCount || Fail(kUnsupported);
    }
    return PutIndex(picture, at, row, index);
  };
  while (pos + 2 <= size_) {
    const uint8_t count = data_[pos];
    const uint8_t value = data_[pos + 1];
    pos += 2;
    if (count > 0) {  // encoded run
      if (row >= h_.Height || x + count > rowLimit) {
        return Fail(kUnsupported);
      }
      for (int i = 0; i < count; ++i) {
        const uint32_t index = four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
        if (!put(index)) {
          return false;
        }
      }
    } else if (value == 0) {  // end of line
      if (row >= h_.Height) {
        return Fail(kUnsupported);
      }
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (pos + 2 > size_) {
        break;
      }
      x += data_[pos];
      row += data_[pos + 1];
      pos += 2;
      if (x > rowLimit || row >= h_.Height) {
        return Fail(kUnsupported);
      }
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1u) / 2 : value;
      if (row >= h_.Height || x + value > rowLimit || pos + bytes > size_) {
        return Fail(kUnsupported);
      }
      for (int i = 0; i < value; ++i) {
        const uint8_t b = data_[pos + (four ? i / 2 : i)];
        if (!put(four ? (i % 2 == 0 ? b >> 4 : b & 0x0F) : b)) {
          return false;
        }
      }
      pos += (bytes + 1) & ~size_t{1};
    }
  }
  return Fail(kUnsupported);  // the data ended before the end-of-bitmap marker
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error,
               int64_t maxPixels) {
  try {
    return TBmpDecoder(data, size, error, maxPixels).Decode(out);
  } catch (const std::bad_alloc&) {
    error = kOutOfMemory;
    return false;
  }
}

bool DecodeBmp(const std::vector<uint8_t>& bytes, Bitmap& out, std::string& error) {
  return DecodeBmp(bytes.data(), bytes.size(), out, error);
}

}  // namespace torvel
