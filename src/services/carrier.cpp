#include "services/carrier.h"

#include <new>

#include "platform/bmp.h"
#include "platform/error_texts.h"

namespace torvel {

bool LoadCarrier(const Bitmap& carrier, TZipBox& archive) {
  TMemoryStream image;
  try {
    if (EncodeBmp(carrier, image) && image.Seek(0)) {
      return archive.LoadFromStream(image, false);
    }
  } catch (const std::bad_alloc&) {
  }
  archive.ClearEntries();
  archive.LastErrorText = kOutOfMemory;
  return false;
}

Bitmap PackCarrier(const std::vector<const TBoxItem*>& entries, int width, int rows, int* grewTo) {
  TMemoryStream archive;
  for (const TBoxItem* entry : entries) {
    if (!entry->Write(archive)) {
      return {};
    }
  }
  const std::vector<uint8_t>& bytes = archive.Bytes();
  const size_t start = TZipBox::kCarrierOffset - kBmpHeaderSize;
  const size_t stride = static_cast<size_t>(Bitmap::StrideFor(width));
  const size_t rowsNeeded = (start + bytes.size() + 1 + stride - 1) / stride;
  const int64_t height = std::max<int64_t>(rows, static_cast<int64_t>(rowsNeeded));
  Bitmap carrier;
  if (!Bitmap::IsAllowedSize(width, height) || !carrier.Resize(width, static_cast<int>(height))) {
    return {};
  }
  // The BMP image stores the bottom row first, so the archive runs from the bottom row up.
  for (size_t i = 0; i < bytes.size(); ++i) {
    const size_t at = start + i;
    carrier.Row(carrier.Height() - 1 - static_cast<int>(at / stride))[at % stride] = bytes[i];
  }
  if (grewTo != nullptr) {
    *grewTo = carrier.Height();
  }
  return carrier;
}

}  // namespace torvel
