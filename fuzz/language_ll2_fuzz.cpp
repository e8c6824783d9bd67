// Feeds arbitrary bytes to the reader of "language.ll2" files. A table that reads must encode into
// bytes that read as the same table, and lookups on it must not fail.
#include <cstdint>
#include <cstdlib>

#include "same_entries.h"
#include "services/lite_language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TLiteLanguage table(false);
  if (!table.ReadFromBytes(data, size)) {
    if (table.Count() != 0) {
      std::abort();  // a file is taken whole or not at all
    }
    return 0;
  }
  table.TranslateLines("&File\r\nSave &As...");
  const std::vector<uint8_t> encoded = table.Encode();
  torvel::TLiteLanguage back(false);
  if (!back.ReadFromBytes(encoded.data(), encoded.size()) || !SameEntries(back, table)) {
    std::abort();
  }
  return 0;
}
