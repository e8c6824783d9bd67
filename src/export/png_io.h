#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/stream.h"

namespace torvel {

// PNG pictures, through libpng.

// A decoded PNG: 8-bit straight RGBA rows, top to bottom, in sRGB.
struct TPngPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgba;
  std::vector<uint8_t*> Rows;  // while decoding only
};
// Decodes any PNG file image (every colour type, depth and interlacing). Pictures beyond the
// program's size limit or maxPixels are refused ("Out of memory") before their pixels are
// allocated; anything that is not a readable PNG gives "Unsupported format".
bool DecodePngRgba(const uint8_t* data, size_t size, TPngPicture& picture, std::string& error,
                   int64_t maxPixels = kMostDecodedPixels);

// Decodes a PNG file image; transparent parts are laid over white. Pictures beyond the
// program's size limit or maxPixels are refused ("Out of memory") before their pixels are
// allocated; anything that is not a readable PNG gives "Unsupported format".
bool DecodePng(const std::vector<uint8_t>& bytes, Bitmap& picture, std::string& error,
               int64_t maxPixels = kMostDecodedPixels);

// Encodes the picture as an 8-bit RGB PNG file image.
bool EncodePng(const Bitmap& picture, std::vector<uint8_t>& bytes);

// Encodes a picture handed over a row at a time, top to bottom, each row width pixels in blue,
// green, red order as Bitmap rows are, as an 8-bit RGB PNG into the stream: for pictures too
// large to be made whole. False when libpng fails or the stream refuses bytes.
using TPngRowSource = std::function<void(int y, uint8_t* row)>;
bool EncodePngRows(int width, int height, const TPngRowSource& rowAt, TStream& out);

// Whether the bytes start with the PNG signature.
bool LooksLikePng(const std::vector<uint8_t>& bytes);

}  // namespace torvel
