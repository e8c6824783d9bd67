#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace torvel {

// PNG pictures, through libpng's simplified interface.

// Decodes a PNG file image; transparent parts are laid over white. Pictures beyond the
// program's size limit or maxPixels are refused ("Out of memory") before their pixels are
// allocated; anything that is not a readable PNG gives "Unsupported format".
bool DecodePng(const std::vector<uint8_t>& bytes, Bitmap& picture, std::string& error,
               int64_t maxPixels = kMaxPicturePixels);

// Encodes the picture as an 8-bit RGB PNG file image.
bool EncodePng(const Bitmap& picture, std::vector<uint8_t>& bytes);

// Whether the bytes start with the PNG signature.
bool LooksLikePng(const std::vector<uint8_t>& bytes);

}  // namespace torvel
