// Feeds arbitrary bytes to the WebP frame reader.
#include "frame_reader_check.h"
#include "import/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return torvel::CheckFrameReader(torvel::ReadWebpFrames, data, size);
}
