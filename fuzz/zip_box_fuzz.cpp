// Feeds arbitrary bytes to the archive loader, directly and as a carrier bitmap's file image, and
// extracts every entry it finds.
#include <cstdint>

#include "services/zip_box.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TMemoryView stream(data, size);
  torvel::TZipBox box;
  if (!box.LoadFromStream(stream, false)) {
    return 0;
  }
  for (int i = 0; i < box.EntryCount(); ++i) {
    torvel::TMemoryStream out;
    box.ExtractToStream(box.EntryAt(i), out);
    box.FindEntry(box.EntryAt(i)->pName, "*");
  }
  return 0;
}
