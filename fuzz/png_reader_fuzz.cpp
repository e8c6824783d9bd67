// Feeds arbitrary bytes to the PNG reader of the command-line companion. A picture that reads
// fits the fuzzer's pixel cap and encodes and decodes again to the same pixels.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/png_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int64_t kFuzzPixels = 1 << 20;
  const std::vector<uint8_t> bytes(data, data + size);
  torvel::Bitmap picture;
  std::string error;
  if (!torvel::DecodePng(bytes, picture, error, kFuzzPixels)) {
    if (error != "Unsupported format" && error != "Out of memory") {
      std::abort();
    }
    return 0;
  }
  if (int64_t{picture.Width()} * picture.Height() > kFuzzPixels) {
    std::abort();
  }
  std::vector<uint8_t> written;
  torvel::Bitmap again;
  if (!torvel::EncodePng(picture, written) || !torvel::DecodePng(written, again, error) ||
      again.Width() != picture.Width() || again.Height() != picture.Height()) {
    std::abort();
  }
  for (int y = 0; y < picture.Height(); ++y) {
    if (!std::equal(picture.Row(y), picture.Row(y) + 3 * picture.Width(), again.Row(y))) {
      std::abort();
    }
  }
  return 0;
}
