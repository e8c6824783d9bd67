// Feeds arbitrary bytes to the animation file reader the way opening a file does: the record,
// its picture inflated and decoded within the size caps, and the cells cut into a store. A record
// that reads must write back into one that reads the same.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "cells/animation_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TMemoryView stream(data, size);
  torvel::TSAN record;
  if (!torvel::ReadSanRecord(stream, record)) {
    return 0;
  }
  torvel::TMemoryStream again;
  torvel::TSAN back;
  // -2147483648 cannot be stored: it is left out and reads back as 0.
  const int32_t storedWidth = record.pW == INT32_MIN ? 0 : record.pW;
  if (!torvel::WriteSanRecord(again, record) || !again.Seek(0) ||
      !torvel::ReadSanRecord(again, back) || back.pI != record.pI || back.pW != storedWidth) {
    std::abort();
  }
  stream.Seek(0);
  torvel::TAnimationContents contents;
  std::string error;
  // A store of a few megapixels: the fuzzer's memory is the limit, not the program's.
  const auto room = [](int w, int h) {
    const int64_t pixels = int64_t{w} * h;
    return torvel::TAnimationStrip::HoldsCellsOf(w, h) && pixels <= (1 << 22)
               ? static_cast<int>((int64_t{1} << 22) / pixels)
               : 0;
  };
  if (!torvel::ReadAnimation(stream, contents, error, room)) {
    return 0;
  }
  const int made = static_cast<int>(contents.Cells.size());
  if (made > contents.CellCount()) {
    std::abort();  // never more cells than the picture holds
  }
  torvel::TAnimationStrip store;
  if (store.AddPictures(contents.Cells, -1) != made) {
    std::abort();  // the room given was room the store has
  }
  return 0;
}
