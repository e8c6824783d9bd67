#include "export/png_io.h"

#include <png.h>

#include <csetjmp>
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
  TPngPicture decoded;
  if (!DecodePngRgba(bytes.data(), bytes.size(), decoded, error, maxPixels)) {
    return false;
  }
  Bitmap result;
  if (!result.Resize(decoded.Width, decoded.Height)) {
    error = kOutOfMemory;
    return false;
  }
  const uint8_t* from = decoded.Rgba.data();
  for (int y = 0; y < decoded.Height; ++y) {
    uint8_t* to = result.Row(y);
    for (int x = 0; x < decoded.Width; ++x, from += 4, to += 3) {
      // Over white, in the file's sRGB values; the row layout of Bitmap is blue, green, red.
      const int a = from[3];
      for (int c = 0; c < 3; ++c) {
        to[2 - c] = static_cast<uint8_t>((from[c] * a + 255 * (255 - a) + 127) / 255);
      }
    }
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

namespace {

struct TPngOutput {
  TStream* Stream;
  bool Failed;
};

void WriteToStream(png_structp png, png_bytep data, png_size_t size) {
  auto* output = static_cast<TPngOutput*>(png_get_io_ptr(png));
  if (!output->Stream->WriteAll(data, size)) {
    output->Failed = true;
    png_error(png, "write");
  }
}

void FlushNothing(png_structp) {}

// libpng reports errors by jumping back here: nothing in this frame may need destroying.
bool WriteRows(png_structp png, png_infop info, int width, int height, const TPngRowSource* rowAt,
               uint8_t* row) {
  if (setjmp(png_jmpbuf(png)) != 0) {
    return false;
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  for (int y = 0; y < height; ++y) {
    (*rowAt)(y, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool EncodePngRows(int width, int height, const TPngRowSource& rowAt, TStream& out) {
  if (width < 1 || height < 1) {
    return false;
  }
  std::vector<uint8_t> row;
  try {
    row.resize(size_t(width) * 3);
  } catch (const std::bad_alloc&) {
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  TPngOutput output{&out, false};
  bool written = false;
  if (info != nullptr) {
    png_set_write_fn(png, &output, WriteToStream, FlushNothing);
    written = WriteRows(png, info, width, height, &rowAt, row.data());
  }
  png_destroy_write_struct(&png, &info);
  return written && !output.Failed;
}

}  // namespace torvel
