#include "app/carriers.h"

#include "platform/bmp.h"
#include "services/program_data.h"

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

}  // namespace torvel
