#include "services/zlib_codec.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

namespace torvel {

bool ZlibCompress(const std::vector<uint8_t>& bytes, int level, std::vector<uint8_t>& out) {
  if (bytes.size() > UINT_MAX / 2) {
    return false;
  }
  try {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), level) !=
        Z_OK) {
      return false;
    }
    packed.resize(size);
    out.swap(packed);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ZlibInflate(const std::vector<uint8_t>& bytes, size_t maxOutput, std::vector<uint8_t>& out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) {
    return false;
  }
  std::vector<uint8_t> result;
  bool ok = false;
  try {
    z.next_in = const_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(std::min<size_t>(bytes.size(), UINT_MAX));
    uint8_t chunk[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
      z.next_out = chunk;
      z.avail_out = sizeof chunk;
      status = inflate(&z, Z_NO_FLUSH);
      const size_t produced = sizeof chunk - z.avail_out;
      if (result.size() + produced > maxOutput) {
        status = Z_MEM_ERROR;  // beyond the cap: refused, not allocated
        break;
      }
      result.insert(result.end(), chunk, chunk + produced);
      if (status == Z_BUF_ERROR && z.avail_in == 0) {
        break;  // truncated
      }
    }
    ok = status == Z_STREAM_END && z.avail_in == 0 && bytes.size() <= UINT_MAX;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  inflateEnd(&z);
  if (ok) {
    out.swap(result);
  }
  return ok;
}

}  // namespace torvel
