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

bool ZlibInflate(const std::vector<uint8_t>& bytes, size_t maxOutput, std::vector<uint8_t>& out) {
  try {
    TMemoryView source(bytes);
    TDecompressionStream inflater(source);
    std::vector<uint8_t> result;
    size_t got = 0;
    do {
      const size_t step = TCustomZlibStream::kBufferSize;
      if (result.size() >= maxOutput + 1) {
        return false;  // beyond the cap: refused, not allocated
      }
      const size_t used = result.size();
      result.resize(std::min(used + step, maxOutput + 1));
      got = inflater.Read(result.data() + used, result.size() - used);
      result.resize(used + got);
    } while (got > 0);
    if (!inflater.Ended() || source.Position() != source.Size() || result.size() > maxOutput) {
      return false;  // truncated, followed by other bytes, or too large
    }
    out.swap(result);
    return true;
  } catch (const std::exception&) {  // EDecompressionError or std::bad_alloc
    return false;
  }
}

}  // namespace torvel
