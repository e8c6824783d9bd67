#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torvel {

// One complete zlib stream (RFC 1950) of the bytes, at the given level (1 is fastest).
bool ZlibCompress(const std::vector<uint8_t>& bytes, int level, std::vector<uint8_t>& out);

class TDecompressionStream;

// Everything the adapter still produces; false, with nothing kept, beyond maxOutput bytes (which
// must be below the largest size_t). A corrupt stream throws EDecompressionError.
bool ReadInflated(TDecompressionStream& inflater, size_t maxOutput, std::vector<uint8_t>& out);

// Inflates one complete zlib stream. False when the data is corrupt or truncated, when bytes
// follow the stream's end, or when the result would grow beyond maxOutput bytes (so that a
// small bomb cannot claim gigabytes).
bool ZlibInflate(const std::vector<uint8_t>& bytes, size_t maxOutput, std::vector<uint8_t>& out);

}  // namespace torvel
