#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "export/encoders.h"
#include "export/frame_area.h"
#include "export/parallel.h"
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

// Writes rows of RGBA pixels as a whole PNG into out; alpha is dropped unless withAlpha. Only
// plain data lives here, as libpng leaves by longjmp on an error.
bool EncodeRows(const uint8_t* first, int stride, int width, int height, bool withAlpha,
                int filters, int level, std::vector<uint8_t>& out) {
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
  png_set_IHDR(png, info, width, height, 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  if (!withAlpha) {
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows carry alpha, the file does not
  }
  for (int y = 0; y < height; ++y) {
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

// How a frame's rows are compressed. Unfiltered rows with zlib's level 3 suit noisy pictures
// such as sprites with grain, which the predicting filters only make larger; libpng's choice of
// filter per row suits photos, gradients and flat areas, whose filtered rows zlib's fastest level
// compresses almost as well as its default. The first frame is compressed both ways, and the
// smaller way is kept for the whole animation.
struct TCompression {
  int Filters;
  int Level;
};
constexpr TCompression kCompressions[] = {{PNG_FILTER_NONE, 3}, {PNG_ALL_FILTERS, 1}};

class TApngEncoder : public TAnimationEncoder {
 public:
  bool EncodeFrames(const TExportFrames& frames, const TExportOptions& options,
                    const TExportProgress& progress, std::vector<uint8_t>& file,
                    std::string& error) override {
    frames_ = &frames;
    scale_ = options.Scale;
    alpha_ = frames.Transparent;
    std::vector<TEncodedFrame> encoded(frames.Count());
    if (!EncodeFirst(encoded[0])) {
      return false;
    }
    std::atomic<int> done{1};
    std::mutex reporting;
    const bool all = ParallelFor(frames.Count() - 1, [&](int i) {
      if (!EncodeFrame(i + 1, compression_, encoded[i + 1])) {
        return false;
      }
      const std::lock_guard<std::mutex> lock(reporting);
      return KeepGoing(progress, ++done, frames.Count() + 1, error);
    });
    if (!all) {
      return false;
    }
    Assemble(encoded, std::clamp(options.DelayMs, 1, 65535), options.Loop, file);
    return true;
  }

 private:
  struct TEncodedFrame {
    TRect Placed;               // at the export scale
    std::vector<uint8_t> Data;  // the compressed image data
  };

  // The rectangle of frame k that changed since the frame before (made into before); the whole
  // first frame.
  TRect AreaOf(int k, const std::vector<uint8_t>& frame, std::vector<uint8_t>& before) const {
    const TExportFrames& f = *frames_;
    if (k == 0) {
      return {0, 0, f.Width, f.Height};
    }
    const TRect area =
        ChangedArea(reinterpret_cast<const uint32_t*>(f.Frame(k - 1, before).data()),
                    reinterpret_cast<const uint32_t*>(frame.data()), f.Width, f.Height);
    // A frame is never empty: an unchanged one stores one pixel.
    return area.IsEmpty() ? TRect{0, 0, 1, 1} : area;
  }

  // Compresses the first frame each way and keeps the smaller, for the whole animation.
  bool EncodeFirst(TEncodedFrame& first) {
    constexpr int kWays = std::size(kCompressions);
    TEncodedFrame candidates[kWays];
    if (!ParallelFor(kWays,
                     [&](int i) { return EncodeFrame(0, kCompressions[i], candidates[i]); })) {
      return false;
    }
    const int best = candidates[1].Data.size() < candidates[0].Data.size() ? 1 : 0;
    compression_ = kCompressions[best];
    first = std::move(candidates[best]);
    return true;
  }

  // Compresses frame k's changed rectangle, enlarged by the scale.
  bool EncodeFrame(int k, const TCompression& compression, TEncodedFrame& encoded) const {
    const TExportFrames& f = *frames_;
    std::vector<uint8_t> made, before;
    const std::vector<uint8_t>& frame = f.Frame(k, made);
    const TRect area = AreaOf(k, frame, before);
    const uint8_t* first = frame.data() + (size_t(area.Top) * f.Width + area.Left) * 4;
    int stride = f.Width * 4;
    std::vector<uint8_t> scaled;
    if (scale_ > 1) {
      std::vector<uint8_t> cut;
      for (int y = 0; y < area.Height(); ++y) {
        const uint8_t* row = first + size_t(y) * stride;
        cut.insert(cut.end(), row, row + area.Width() * 4);
      }
      ScaleNearest(cut.data(), area.Width(), area.Height(), 4, scale_, scaled);
      first = scaled.data();
      stride = area.Width() * scale_ * 4;
    }
    encoded.Placed = {area.Left * scale_, area.Top * scale_, area.Right * scale_,
                      area.Bottom * scale_};
    std::vector<uint8_t> png;
    if (!EncodeRows(first, stride, encoded.Placed.Width(), encoded.Placed.Height(), alpha_,
                    compression.Filters, compression.Level, png)) {
      return false;
    }
    encoded.Data = ImageData(png);
    return true;
  }

  void Assemble(const std::vector<TEncodedFrame>& encoded, int delayMs, bool loop,
                std::vector<uint8_t>& file) const {
    file.assign(kSignature, kSignature + sizeof kSignature);
    PutHeader(file, int(encoded.size()), loop);
    uint32_t sequence = 0;
    for (size_t k = 0; k < encoded.size(); ++k) {
      const TRect& placed = encoded[k].Placed;
      std::vector<uint8_t> control;
      PutUint32(control, sequence++);
      PutUint32(control, placed.Width());
      PutUint32(control, placed.Height());
      PutUint32(control, placed.Left);
      PutUint32(control, placed.Top);
      control.insert(control.end(), {uint8_t(delayMs >> 8), uint8_t(delayMs), 0x03, 0xE8,
                                     kDisposeNone, kBlendSource});  // delay in 1/1000 s
      PutChunk(file, "fcTL", control);
      if (k == 0) {
        PutChunk(file, "IDAT", encoded[k].Data);
        continue;
      }
      std::vector<uint8_t> frameData;
      PutUint32(frameData, sequence++);
      frameData.insert(frameData.end(), encoded[k].Data.begin(), encoded[k].Data.end());
      PutChunk(file, "fdAT", frameData);
    }
    PutChunk(file, "IEND", {});
  }

  void PutHeader(std::vector<uint8_t>& file, int frameCount, bool loop) const {
    std::vector<uint8_t> header;
    PutUint32(header, frames_->Width * scale_);
    PutUint32(header, frames_->Height * scale_);
    header.insert(header.end(), {8, uint8_t(alpha_ ? 6 : 2), 0, 0, 0});
    PutChunk(file, "IHDR", header);
    std::vector<uint8_t> control;
    PutUint32(control, frameCount);
    PutUint32(control, loop ? 0 : 1);  // plays: 0 is for ever
    PutChunk(file, "acTL", control);
  }

  const TExportFrames* frames_ = nullptr;
  int scale_ = 1;
  bool alpha_ = false;
  TCompression compression_ = kCompressions[1];
};

}  // namespace

std::unique_ptr<TAnimationEncoder> MakeApngEncoder() {
  return std::make_unique<TApngEncoder>();
}

}  // namespace torvel
