#include "services/zlib_codec.h"

#include <algorithm>

#include "services/zlib_stream.h"

namespace torvel {

bool ZlibCompress(const std::vector<uint8_t>& bytes, int level, std::vector<uint8_t>& out) {
  try {
    TMemoryStream packed;
    TCompressionStream deflater(level, packed);
    deflater.Write(bytes.data(), bytes.size());
    deflater.Finish();
    out = packed.TakeBytes();
    return true;
  } catch (const std::exception&) {  // ECompressionError or std::bad_alloc
    return false;
  }
}

bool ReadInflated(TDecompressionStream& inflater, size_t maxOutput, std::vector<uint8_t>& out) {
  std::vector<uint8_t> result;
  for (;;) {
    const size_t used = result.size();
    if (used > maxOutput) {
      return false;  // beyond the cap: refused before more is allocated
    }
    // Inflated straight into the result, one buffer at a time, at most one byte past the cap.
    result.resize(std::min(used + TCustomZlibStream::kBufferSize, maxOutput + 1));
    const size_t got = inflater.Read(result.data() + used, result.size() - used);
    result.resize(used + got);
    if (got == 0) {
      break;
    }
  }
  out.swap(result);
  return true;
}

bool ZlibInflate(const std::vector<uint8_t>& bytes, size_t maxOutput, std::vector<uint8_t>& out) {
  try {
    TMemoryView source(bytes);
    TDecompressionStream inflater(source);
    std::vector<uint8_t> result;
    // Truncated, followed by other bytes, or too large: refused.
    if (!ReadInflated(inflater, maxOutput, result) || !inflater.Ended() ||
        source.Position() != source.Size()) {
      return false;
    }
    out.swap(result);
    return true;
  } catch (const std::exception&) {  // EDecompressionError or std::bad_alloc
    return false;
  }
}

}  // namespace torvel
