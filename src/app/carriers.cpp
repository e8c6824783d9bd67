#include "app/carriers.h"

#include <new>

#include "platform/bmp.h"
#include "services/error_texts.h"
#include "services/program_data.h"
#include "services/zip_box.h"

namespace torvel {

Bitmap CarrierPicture(const std::string& name) {
  const TProgramData data = ProgramData(name);
  Bitmap picture;
  std::string error;
  if (data.IsEmpty() || !DecodeBmp(data.Bytes, data.Size, picture, error)) {
    return {};
  }
  return picture;
}

bool LoadCarrier(const Bitmap& carrier, TZipBox& archive) {
  TMemoryStream image;
  try {
    if (!EncodeBmp(carrier, image) || !image.Seek(0)) {
      archive.ClearEntries();
      archive.LastErrorText = kOutOfMemory;
      return false;
    }
  } catch (const std::bad_alloc&) {
    archive.ClearEntries();
    archive.LastErrorText = kOutOfMemory;
    return false;
  }
  return archive.LoadFromStream(image, false);
}

}  // namespace torvel
