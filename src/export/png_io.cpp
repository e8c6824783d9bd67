#include "export/png_io.h"

#include <png.h>

#include <cstring>
#include <new>

#include "platform/error_texts.h"

namespace torvel {

bool LooksLikePng(const std::vector<uint8_t>& bytes) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool DecodePng(const std::vector<uint8_t>& bytes, Bitmap& picture, std::string& error,
               int64_t maxPixels) {
  error = kUnsupportedFormat;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    return false;
  }
  image.format = PNG_FORMAT_BGR;  // the row layout of Bitmap
  Bitmap result;
  if (!Bitmap::IsAllowedSize(image.width, image.height) ||
      int64_t{image.width} * image.height > maxPixels ||
      !result.Resize(static_cast<int>(image.width), static_cast<int>(image.height))) {
    png_image_free(&image);
    error = kOutOfMemory;
    return false;
  }
  const png_color white = {255, 255, 255};
  if (!png_image_finish_read(&image, &white, result.Row(0), result.Stride(), nullptr)) {
    png_image_free(&image);
    return false;
  }
  picture = std::move(result);
  return true;
}

bool EncodePng(const Bitmap& picture, std::vector<uint8_t>& bytes) {
  if (picture.IsEmpty()) {
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.Width());
  image.height = static_cast<png_uint_32>(picture.Height());
  image.format = PNG_FORMAT_BGR;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, picture.Row(0), picture.Stride(), nullptr)) {
    return false;
  }
  try {
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, picture.Row(0), picture.Stride(),
                                   nullptr)) {
      return false;
    }
    out.resize(size);
    bytes.swap(out);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace torvel
