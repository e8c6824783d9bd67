// Feeds arbitrary bytes to the reader of "language.llf" files. A table that reads must write back
// into a file that reads as the same table, and lookups on it must not fail.
#include <cstdint>
#include <cstdlib>

#include "same_entries.h"
#include "services/language.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TMemoryView stream(data, size);
  torvel::TLanguage table(false);
  if (!table.ReadFromStream(stream)) {
    if (table.Count() != 0) {
      std::abort();  // a failed read leaves nothing behind
    }
    return 0;
  }
  table.TranslateLines("&File\r\nSave &As...");
  torvel::TMemoryStream written;
  if (!table.WriteToStream(written)) {
    std::abort();
  }
  written.Seek(0);
  torvel::TLanguage back(false);
  if (!back.ReadFromStream(written) || !SameEntries(back, table)) {
    std::abort();
  }
  return 0;
}
