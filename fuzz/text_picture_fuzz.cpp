// Feeds arbitrary bytes to the text picture reader. A picture that reads must write back into a
// text that reads as the same size.
#include <cstdint>
#include <cstdlib>

#include "formats/text_picture.h"
#include "services/general.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  torvel::TMemoryView stream(data, size);
  torvel::TTextPicture picture;
  picture.MaxPixels = 1 << 16;  // huge white pictures from tiny texts only slow the search down
  try {
    picture.LoadFromStream(stream);
  } catch (const torvel::EGeneralError&) {
    return 0;
  }
  if (int64_t{picture.GetWidth()} * picture.GetHeight() > 1 << 12) {
    return 0;  // and so does writing large pictures back
  }
  torvel::TMemoryStream text;
  picture.SaveToStream(text);
  torvel::TTextPicture back;
  text.Seek(0);
  back.LoadFromStream(text);
  if (back.GetWidth() != picture.GetWidth() || back.GetHeight() != picture.GetHeight()) {
    std::abort();
  }
  return 0;
}
