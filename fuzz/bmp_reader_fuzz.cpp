// Feeds arbitrary bytes to the BMP reader. A decoded picture is written back and read again,
// which must give the same pixels. A pixel cap keeps the fuzzer's pace: a short RLE file may
// claim millions of rows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int64_t kFuzzPixels = 1 << 20;
  torvel::Bitmap picture;
  std::string error;
  if (!torvel::DecodeBmp(data, size, picture, error, kFuzzPixels)) {
    return 0;
  }
  torvel::Bitmap again;
  const std::vector<uint8_t> written = torvel::EncodeBmp(picture);
  if (!torvel::DecodeBmp(written, again, error) || again.Width() != picture.Width() ||
      again.Height() != picture.Height() || written != torvel::EncodeBmp(again)) {
    std::abort();
  }
  return 0;
}
