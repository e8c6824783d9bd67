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
  if (!torvel::ReadAnimation(stream, contents, error)) {
    return 0;
  }
  const int n = contents.CellCount();
  if (n > 0 && torvel::CellsAcceptedWhenEmpty(contents.Picture, n) == n) {
    torvel::TAnimationStrip store;
    if (store.AddCells(&contents.Picture, n, -1) != n) {
      std::abort();  // the check before loading promised room for every cell
    }
  }
  return 0;
}
