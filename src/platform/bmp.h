#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/stream.h"

namespace torvel {

// Windows BMP file images.
//
// The reader takes 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, with bit fields or RLE4/
// RLE8 compression, bottom-up and top-down, with any of the usual information headers. It checks
// every size against the data before allocating, and refuses broken or unsupported input with
// "Unsupported format" (or "Out of memory" for a picture beyond kMostDecodedPixels), leaving `out`
// unchanged. 24-bit uncompressed rows are taken byte for byte, padding included.
// A smaller maxPixels refuses larger pictures with "Out of memory" before anything is allocated.
bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out, std::string& error,
               int64_t maxPixels = kMostDecodedPixels);
bool DecodeBmp(const std::vector<uint8_t>& bytes, Bitmap& out, std::string& error);

// Writes the picture as a BMP file image: "BM", 14-byte file header, 40-byte information header
// with positive height, 24 bits per pixel, no compression, no colour table, rows bottom-up and
// padded to 4 bytes (the picture's own padding bytes are written as they are).
constexpr size_t kBmpHeaderSize = 54;
// The headers of such an image of width x height pixels (its size must fit the headers' 32 bits),
// and the bytes of each of its rows.
std::array<uint8_t, kBmpHeaderSize> BmpHeaders(int width, int height);
int64_t BmpRowBytes(int64_t width);
bool EncodeBmp(const Bitmap& picture, TStream& stream);
// Throws std::bad_alloc when memory runs out.
std::vector<uint8_t> EncodeBmp(const Bitmap& picture);

}  // namespace torvel
