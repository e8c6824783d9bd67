#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "export/encoders.h"
#include "export/frame_area.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

// Animated PNG. libpng knows nothing of its chunks, so each frame's changed rectangle is written
// by libpng as a PNG of its own (filtered and compressed as libpng does), and the compressed
// data of that PNG is carried here into the animation's chunks: the first frame is the default
// image (IDAT), so viewers without animation show it; later frames are fdAT chunks.

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kDisposeNone = 0;
constexpr uint8_t kBlendSource = 0;

void PutUint32(std::vector<uint8_t>& out, uint32_t value) {
  const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8),
                            uint8_t(value)};
  out.insert(out.end(), bytes, bytes + 4);
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutUint32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutUint32(out, static_cast<uint32_t>(crc32(0, out.data() + start, out.size() - start)));
}

uint32_t ReadUint32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

struct TPngWriter {
  std::vector<uint8_t>* Out = nullptr;
  bool Failed = false;
};

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
  auto* writer = static_cast<TPngWriter*>(png_get_io_ptr(png));
  try {
    writer->Out->insert(writer->Out->end(), data, data + size);
  } catch (...) {
    writer->Failed = true;
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}

// Writes a region of an RGBA frame as a whole PNG into out; alpha is dropped unless withAlpha.
// Only plain data lives here, as libpng leaves by longjmp on an error.
bool EncodeRegion(const uint8_t* rgba, int stride, const TFrameArea& region, bool withAlpha,
                  std::vector<uint8_t>& out) {
  TPngWriter writer{&out, false};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &writer, WriteToVector, FlushNothing);
  png_set_IHDR(png, info, region.Width(), region.Height(), 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_write_info(png, info);
  if (!withAlpha) {
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows carry alpha, the file does not
  }
  const uint8_t* first = rgba + size_t(region.Top) * stride + size_t(region.Left) * 4;
  for (int y = 0; y < region.Height(); ++y) {
    png_write_row(png, const_cast<png_bytep>(first + size_t(y) * stride));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return !writer.Failed;
}

// The compressed image data of a PNG written by EncodeRegion: its IDAT contents in order.
std::vector<uint8_t> ImageData(const std::vector<uint8_t>& png) {
  std::vector<uint8_t> data;
  size_t at = sizeof kSignature;
  while (at + 12 <= png.size()) {
    const uint32_t length = ReadUint32(&png[at]);
    if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
      data.insert(data.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    }
    at += 12 + size_t(length);
  }
  return data;
}

class TApngEncoder : public TAnimationEncoder {
 public:
  bool Encode(const TExportFrames& frames, const TExportOptions& options,
              const TExportProgress& progress, std::vector<uint8_t>& file,
              std::string& error) override {
    error = kOutOfMemory;
    if (!ScaledSizeAllowed(frames, options.Scale)) {
      return false;
    }
    width_ = frames.Width * options.Scale;
    height_ = frames.Height * options.Scale;
    alpha_ = frames.Transparent;
    delayMs_ = std::clamp(options.DelayMs, 1, 65535);
    sequence_ = 0;
    file.assign(kSignature, kSignature + sizeof kSignature);
    PutHeader(file, frames.Count(), options.Loop);
    std::vector<uint8_t> previous, current;
    for (int k = 0; k < frames.Count(); ++k) {
      ScaleNearest(frames.Rgba[k].data(), frames.Width, frames.Height, 4, options.Scale, current);
      TFrameArea region{0, 0, width_, height_};
      if (k > 0) {
        region = ChangedArea(reinterpret_cast<const uint32_t*>(previous.data()),
                             reinterpret_cast<const uint32_t*>(current.data()), width_, height_);
        if (region.IsEmpty()) {
          region = {0, 0, 1, 1};  // a frame is never empty: an unchanged one stores one pixel
        }
      }
      if (!PutFrame(file, current, region, k == 0)) {
        return false;
      }
      previous.swap(current);
      if (!KeepGoing(progress, k + 1, frames.Count() + 1, error)) {
        return false;
      }
    }
    PutChunk(file, "IEND", {});
    return true;
  }

 private:
  void PutHeader(std::vector<uint8_t>& file, int frameCount, bool loop) const {
    std::vector<uint8_t> header;
    PutUint32(header, width_);
    PutUint32(header, height_);
    header.insert(header.end(), {8, uint8_t(alpha_ ? 6 : 2), 0, 0, 0});
    PutChunk(file, "IHDR", header);
    std::vector<uint8_t> control;
    PutUint32(control, frameCount);
    PutUint32(control, loop ? 0 : 1);  // plays: 0 is for ever
    PutChunk(file, "acTL", control);
  }

  bool PutFrame(std::vector<uint8_t>& file, const std::vector<uint8_t>& rgba,
                const TFrameArea& region, bool first) {
    std::vector<uint8_t> png;
    if (!EncodeRegion(rgba.data(), width_ * 4, region, alpha_, png)) {
      return false;
    }
    std::vector<uint8_t> control;
    PutUint32(control, sequence_++);
    PutUint32(control, region.Width());
    PutUint32(control, region.Height());
    PutUint32(control, region.Left);
    PutUint32(control, region.Top);
    control.insert(control.end(), {uint8_t(delayMs_ >> 8), uint8_t(delayMs_), 0x03, 0xE8,
                                   kDisposeNone, kBlendSource});  // delay in 1/1000 s
    PutChunk(file, "fcTL", control);
    std::vector<uint8_t> data = ImageData(png);
    if (first) {
      PutChunk(file, "IDAT", data);
      return true;
    }
    std::vector<uint8_t> frameData;
    PutUint32(frameData, sequence_++);
    frameData.insert(frameData.end(), data.begin(), data.end());
    PutChunk(file, "fdAT", frameData);
    return true;
  }

  int width_ = 0;
  int height_ = 0;
  bool alpha_ = false;
  int delayMs_ = 100;
  uint32_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<TAnimationEncoder> MakeApngEncoder() {
  return std::make_unique<TApngEncoder>();
}

}  // namespace torvel
