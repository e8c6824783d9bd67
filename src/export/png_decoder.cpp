// PNG decoding through libpng's row interface. Its simplified interface scrambles the rows of
// interlaced 16-bit images (libpng 1.6.39), so every PNG is read here, one way for all.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "export/png_io.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

struct TPngSource {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
};

void ReadFromSource(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (source->Size - source->At < count) {
    png_error(png, "cut short");
  }
  std::memcpy(out, source->Data + source->At, count);
  source->At += count;
}

void StopOnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Whatever the file's colour type and depth: 8-bit straight RGBA in sRGB (the file's gamma
// applied), as the simplified interface gives it.
void AskForRgba(png_structp png, png_infop info) {
  png_set_expand(png);  // palette to RGB, low depths to 8 bits, tRNS to alpha
  png_set_gray_to_rgb(png);
  png_set_scale_16(png);
  png_set_alpha_mode(png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// The part that libpng may leave by longjmp: it owns no object with a destructor.
bool ReadRows(png_structp png, png_infop info, TPngSource* source, TPngPicture* picture,
              int64_t maxPixels, const char** error) {
  if (setjmp(png_jmpbuf(png))) {
    return false;
  }
  png_set_read_fn(png, source, ReadFromSource);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!Bitmap::IsAllowedSize(width, height) || int64_t{width} * height > maxPixels) {
    *error = kOutOfMemory;  // refused before its pixels are made
    return false;
  }
  AskForRgba(png, info);
  picture->Width = static_cast<int>(width);
  picture->Height = static_cast<int>(height);
  *error = kOutOfMemory;
  picture->Rgba.resize(size_t{width} * height * 4);
  picture->Rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    picture->Rows[y] = picture->Rgba.data() + size_t{y} * width * 4;
  }
  *error = kUnsupportedFormat;
  png_read_image(png, picture->Rows.data());
  return true;
}

}  // namespace

bool DecodePngRgba(const uint8_t* data, size_t size, TPngPicture& picture, std::string& error,
                   int64_t maxPixels) {
  error = kUnsupportedFormat;
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    return false;
  }
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopOnError, IgnoreWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = kOutOfMemory;
    return false;
  }
  TPngSource source{data, size};
  const char* failure = kUnsupportedFormat;
  bool ok = false;
  try {
    ok = ReadRows(png, info, &source, &picture, maxPixels, &failure);
  } catch (const std::bad_alloc&) {
    failure = kOutOfMemory;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  picture.Rows = {};
  if (!ok) {
    picture = {};
    error = failure;
  }
  return ok;
}

}  // namespace torvel
