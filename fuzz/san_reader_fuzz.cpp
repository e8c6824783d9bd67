// Feeds arbitrary bytes to the animation file reader, then inflates and decodes the picture the
// way loading does. A record that reads must write back into one that reads the same.
#include <cstdint>
#include <cstdlib>

#include "formats/animation_file.h"
#include "platform/bmp.h"
#include "services/zlib_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  torvel::TSAN record;
  if (!torvel::ReadSanRecord(stream, record)) {
    return 0;
  }
  torvel::TMemoryStream again;
  torvel::TSAN back;
  if (!torvel::WriteSanRecord(again, record) || !again.Seek(0) ||
      !torvel::ReadSanRecord(again, back) || back.pI != record.pI || back.pW != record.pW) {
    std::abort();
  }
  std::vector<uint8_t> bmp;
  if (torvel::ZlibInflate(record.pI, 16 << 20, bmp)) {
    torvel::Bitmap picture;
    std::string error;
    torvel::DecodeBmp(bmp, picture, error);
  }
  return 0;
}
