#include <csetjmp>
#include <cstdio>

#include "platform/jpeg.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace torvel {
namespace {

// libjpeg reports errors through a callback that must not return. It jumps back to the
// setjmp of the step in progress; every function that calls setjmp below holds only plain C
// data, so the jump skips no destructor.
struct TJpegErrors {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

[[noreturn]] void FailDecoding(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->Jump, 1);
}

// Warnings (corrupt or missing data that libjpeg would paper over) count as errors; trace
// messages are dropped.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) {
    FailDecoding(info);
  }
}

// Progressive pictures are read whole while decoding starts; a picture of very many scans would
// take unbounded time.
void OnProgress(j_common_ptr info) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMostJpegScans) {
    FailDecoding(info);
  }
}

struct TJpegDecoder {
  jpeg_decompress_struct Info;
  TJpegErrors Errors;
  jpeg_progress_mgr Progress;
};

// Step 1: the header, with the output set to rows of blue, green and red bytes.
bool ReadHeader(TJpegDecoder& d, const uint8_t* data, size_t size) {
  if (setjmp(d.Errors.Jump) != 0) {
    return false;
  }
  jpeg_mem_src(&d.Info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d.Info, TRUE) != JPEG_HEADER_OK) {
    return false;
  }
  if (d.Info.jpeg_color_space == JCS_CMYK || d.Info.jpeg_color_space == JCS_YCCK) {
    return false;
  }
  d.Info.out_color_space = JCS_EXT_BGR;
  return true;
}

// Step 2: every row straight into the picture's rows.
bool ReadRows(TJpegDecoder& d, uint8_t* rows, size_t stride) {
  if (setjmp(d.Errors.Jump) != 0) {
    return false;
  }
  jpeg_start_decompress(&d.Info);
  if (d.Info.output_components != 3) {
    return false;
  }
  while (d.Info.output_scanline < d.Info.output_height) {
    JSAMPROW row = rows + d.Info.output_scanline * stride;
    if (jpeg_read_scanlines(&d.Info, &row, 1) != 1) {
      return false;
    }
  }
  jpeg_finish_decompress(&d.Info);
  return true;
}

// Step 0: the decoder itself, its errors and progress reported to the handlers above.
bool CreateDecoder(TJpegDecoder& d) {
  d.Info.err = jpeg_std_error(&d.Errors.Manager);
  d.Errors.Manager.error_exit = FailDecoding;
  d.Errors.Manager.emit_message = OnMessage;
  if (setjmp(d.Errors.Jump) != 0) {
    return false;
  }
  jpeg_create_decompress(&d.Info);
  d.Progress.progress_monitor = OnProgress;
  d.Info.progress = &d.Progress;
  d.Info.mem->max_memory_to_use = 512L << 20;
  return true;
}

// The decoder lives for one call and is destroyed however decoding ended.
class TDecoderScope {
 public:
  explicit TDecoderScope(TJpegDecoder& d) : d_(d), created_(CreateDecoder(d)) {}
  ~TDecoderScope() {
    if (created_) {
      jpeg_destroy_decompress(&d_.Info);
    }
  }
  TDecoderScope(const TDecoderScope&) = delete;
  TDecoderScope& operator=(const TDecoderScope&) = delete;
  bool Created() const { return created_; }

 private:
  TJpegDecoder& d_;
  const bool created_;
};

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Bitmap& out, std::string& error,
                int64_t maxPixels) {
  error = "Unsupported format";
  if (data == nullptr || size < 4 || size > 0xFFFFFFFFu) {
    return false;
  }
  TJpegDecoder d{};
  TDecoderScope scope(d);
  if (!scope.Created() || !ReadHeader(d, data, size)) {
    return false;
  }
  const int64_t width = d.Info.image_width;
  const int64_t height = d.Info.image_height;
  if (width * height > maxPixels || !Bitmap::IsAllowedSize(width, height)) {
    error = "Out of memory";
    return false;
  }
  Bitmap picture;
  if (!picture.Resize(static_cast<int>(width), static_cast<int>(height)) ||
      !ReadRows(d, picture.Bytes(), static_cast<size_t>(picture.Stride()))) {
    return false;
  }
  out = std::move(picture);
  error.clear();
  return true;
}

}  // namespace torvel
