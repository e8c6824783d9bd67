#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/jpeg.h"

#include <jpeglib.h>

namespace torvel {
namespace {

struct TJpegEncoder {
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  std::jmp_buf Jump;
  unsigned char* Buffer;  // malloc'ed by libjpeg's memory destination
  unsigned long Size;
};

[[noreturn]] void FailEncoding(j_common_ptr info) {
  std::longjmp(*static_cast<std::jmp_buf*>(info->client_data), 1);
}

// Holds only plain C data, so that libjpeg's error jump skips no destructor.
bool Compress(TJpegEncoder& e, const Bitmap& picture, int quality) {
  e.Info.err = jpeg_std_error(&e.Errors);
  e.Errors.error_exit = FailEncoding;
  e.Info.client_data = &e.Jump;
  if (setjmp(e.Jump) != 0) {
    jpeg_destroy_compress(&e.Info);
    return false;
  }
  jpeg_create_compress(&e.Info);
  jpeg_mem_dest(&e.Info, &e.Buffer, &e.Size);
  e.Info.image_width = static_cast<JDIMENSION>(picture.Width());
  e.Info.image_height = static_cast<JDIMENSION>(picture.Height());
  e.Info.input_components = 3;
  e.Info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&e.Info);
  jpeg_set_quality(&e.Info, quality, TRUE);
  jpeg_start_compress(&e.Info, TRUE);
  while (e.Info.next_scanline < e.Info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(picture.Row(static_cast<int>(e.Info.next_scanline)));
    jpeg_write_scanlines(&e.Info, &row, 1);
  }
  jpeg_finish_compress(&e.Info);
  jpeg_destroy_compress(&e.Info);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Bitmap& picture, int quality) {
  if (picture.IsEmpty() || quality < 1 || quality > 100) {
    return {};
  }
  TJpegEncoder e{};
  const bool ok = Compress(e, picture, quality);
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(e.Buffer, &std::free);
  if (!ok || buffer == nullptr) {
    return {};
  }
  return {buffer.get(), buffer.get() + e.Size};
}

}  // namespace torvel
