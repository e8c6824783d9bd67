// Feeds arbitrary bytes to the JPEG reader. A picture that reads has the size its header gave
// and fits the pixel cap the fuzzer sets to keep its pace.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int64_t kFuzzPixels = 1 << 20;
  torvel::Bitmap picture;
  std::string error;
  if (torvel::DecodeJpeg(data, size, picture, error, kFuzzPixels)) {
    const int64_t pixels = int64_t{picture.Width()} * picture.Height();
    if (pixels == 0 || pixels > kFuzzPixels || !error.empty()) {
      std::abort();
    }
  } else if (error != "Unsupported format" && error != "Out of memory") {
    std::abort();
  }
  return 0;
}
