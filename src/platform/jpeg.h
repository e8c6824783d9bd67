#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace torvel {

// JPEG pictures through libjpeg.
//
// The reader takes baseline and progressive 8-bit greyscale and colour pictures. Broken data,
// truncated data (which libjpeg would otherwise fill with grey), more than kMostJpegScans scans,
// CMYK and 12-bit samples are refused with "Unsupported format", leaving `out` unchanged; a
// picture of more than maxPixels pixels is refused with "Out of memory" before it is decoded.
constexpr int kMostJpegScans = 64;
bool DecodeJpeg(const uint8_t* data, size_t size, Bitmap& out, std::string& error,
                int64_t maxPixels = kMostDecodedPixels);

// The picture as a baseline JPEG file image of the given quality (1..100); empty on failure.
std::vector<uint8_t> EncodeJpeg(const Bitmap& picture, int quality);

}  // namespace torvel
