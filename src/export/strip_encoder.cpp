#include "export/encoders.h"
#include "export/png_io.h"
#include "platform/bmp.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

// The frames side by side in one opaque picture, the form Paste Special reads back as a strip.
class TStripEncoder : public TAnimationEncoder {
 public:
  explicit TStripEncoder(bool bmp) : bmp_(bmp) {}

  bool EncodeFrames(const TExportFrames& frames, const TExportOptions& options,
                    const TExportProgress& progress, std::vector<uint8_t>& file,
                    std::string& error) override {
    const int scale = options.Scale;
    const int64_t width = int64_t{frames.Width} * scale * frames.Count();
    Bitmap strip;
    if (width > INT32_MAX || !strip.Resize(static_cast<int>(width), frames.Height * scale)) {
      return false;
    }
    std::vector<uint8_t> made, scaled;
    for (int k = 0; k < frames.Count(); ++k) {
      ScaleNearest(frames.Frame(k, made).data(), frames.Width, frames.Height, 4, scale, scaled);
      PutFrame(scaled, k * frames.Width * scale, frames.Width * scale, strip);
      if (!KeepGoing(progress, k + 1, frames.Count() + 1, error)) {
        return false;
      }
    }
    error = kOutOfMemory;
    file = bmp_ ? EncodeBmp(strip) : std::vector<uint8_t>();
    return bmp_ ? !file.empty() : EncodePng(strip, file);
  }

 private:
  static void PutFrame(const std::vector<uint8_t>& rgba, int left, int width, Bitmap& strip) {
    for (int y = 0; y < strip.Height(); ++y) {
      const uint8_t* from = rgba.data() + size_t(y) * width * 4;
      uint8_t* to = strip.Row(y) + size_t(left) * 3;
      for (int x = 0; x < width; ++x, from += 4, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
      }
    }
  }

  bool bmp_;
};

}  // namespace

std::unique_ptr<TAnimationEncoder> MakeStripEncoder(bool bmp) {
  return std::make_unique<TStripEncoder>(bmp);
}

}  // namespace torvel
