#include "export/gif_palette.h"

#include <libimagequant.h>

#include <array>
#include <cstring>
#include <memory>

#include "export/encoders.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

constexpr uint32_t kTransparentPixel = 0;  // every pixel of alpha 0 counts as this one colour
constexpr int kGifColors = 256;
// Below this quality (libimagequant's 0-100 estimate) one palette for the whole animation loses
// too much, and each frame gets its own.
constexpr int kGoodGlobalQuality = 90;

uint32_t PixelAt(const std::vector<uint8_t>& rgba, size_t i) {
  uint32_t pixel;
  std::memcpy(&pixel, &rgba[i * 4], 4);
  return (pixel >> 24) == 0 ? kTransparentPixel : pixel;
}

// The distinct colours of an animation while there are at most 256 of them, each with its
// palette index: a small open-addressing table, as most exports have few colours.
class TColorCounter {
 public:
  // False once a 257th colour turns up.
  bool Add(uint32_t color) {
    size_t slot = Slot(color);
    if (used_[slot]) {
      return true;
    }
    if (colors_.size() == kGifColors) {
      return false;
    }
    used_[slot] = true;
    keys_[slot] = color;
    indices_[slot] = static_cast<uint8_t>(colors_.size());
    colors_.push_back(color);
    return true;
  }
  uint8_t IndexOf(uint32_t color) const { return indices_[Slot(color)]; }
  const std::vector<uint32_t>& Colors() const { return colors_; }

 private:
  static constexpr size_t kSlots = 1024;
  size_t Slot(uint32_t color) const {
    size_t slot = (color * 2654435761u) >> 22;
    while (used_[slot] && keys_[slot] != color) {
      slot = (slot + 1) % kSlots;
    }
    return slot;
  }
  std::array<bool, kSlots> used_{};
  std::array<uint32_t, kSlots> keys_{};
  std::array<uint8_t, kSlots> indices_{};
  std::vector<uint32_t> colors_;
};

// Indexes the frames exactly when their colours fit one palette with room for transparency
// (or fill it wholly, when nothing is transparent). False when they do not fit.
bool IndexExactly(const TExportFrames& frames, TIndexedFrames& indexed) {
  TColorCounter counter;
  const size_t pixels = frames.PixelCount();
  for (const auto& frame : frames.Rgba) {
    uint32_t last = ~PixelAt(frame, 0);
    for (size_t i = 0; i < pixels; ++i) {
      const uint32_t pixel = PixelAt(frame, i);
      if (pixel != last && !counter.Add(pixel)) {
        return false;
      }
      last = pixel;
    }
  }
  TGifPalette palette;
  palette.Colors = counter.Colors();
  for (size_t i = 0; i < palette.Colors.size(); ++i) {
    if (palette.Colors[i] == kTransparentPixel) {
      palette.Transparent = static_cast<int>(i);
    }
  }
  if (palette.Transparent < 0 && palette.Colors.size() < kGifColors) {
    palette.Transparent = static_cast<int>(palette.Colors.size());
    palette.Colors.push_back(kTransparentPixel);
  }
  indexed.Palettes.assign(frames.Rgba.size(), palette);
  indexed.Indices.clear();
  for (const auto& frame : frames.Rgba) {
    std::vector<uint8_t> indices(pixels);
    for (size_t i = 0; i < pixels; ++i) {
      indices[i] = counter.IndexOf(PixelAt(frame, i));
    }
    indexed.Indices.push_back(std::move(indices));
  }
  return true;
}

struct TLiqDeleter {
  void operator()(liq_attr* p) const { liq_attr_destroy(p); }
  void operator()(liq_image* p) const { liq_image_destroy(p); }
  void operator()(liq_histogram* p) const { liq_histogram_destroy(p); }
  void operator()(liq_result* p) const { liq_result_destroy(p); }
};
template <typename T>
using TLiqPtr = std::unique_ptr<T, TLiqDeleter>;

// The palette of a quantization, with an entry for transparency added when it has none.
TGifPalette PaletteOf(liq_result* result) {
  const liq_palette* entries = liq_get_palette(result);
  TGifPalette palette;
  for (unsigned i = 0; i < entries->count; ++i) {
    const liq_color& c = entries->entries[i];
    const bool clear = c.a == 0;
    palette.Colors.push_back(clear ? kTransparentPixel
                                   : uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 |
                                         uint32_t(255) << 24);
    if (clear) {
      palette.Transparent = static_cast<int>(i);
    }
  }
  if (palette.Transparent < 0 && palette.Colors.size() < kGifColors) {
    palette.Transparent = static_cast<int>(palette.Colors.size());
    palette.Colors.push_back(kTransparentPixel);
  }
  return palette;
}

class TQuantizer {
 public:
  TQuantizer(const TExportFrames& frames, bool dither) : frames_(frames), dither_(dither) {}

  bool Run(const TExportProgress& progress, int totalSteps, TIndexedFrames& indexed,
           std::string& error) {
    error = kOutOfMemory;
    attr_.reset(liq_attr_create());
    if (!attr_ || liq_set_max_colors(attr_.get(), kGifColors - 1) != LIQ_OK) {
      return false;
    }
    for (const auto& frame : frames_.Rgba) {
      images_.emplace_back(
          liq_image_create_rgba(attr_.get(), frame.data(), frames_.Width, frames_.Height, 0));
      if (!images_.back()) {
        return false;
      }
    }
    TLiqPtr<liq_result> global = QuantizeAll();
    if (!global) {
      return false;
    }
    const bool shared = liq_get_quantization_quality(global.get()) >= kGoodGlobalQuality;
    indexed.Palettes.clear();
    indexed.Indices.clear();
    for (int k = 0; k < frames_.Count(); ++k) {
      liq_result* own = nullptr;
      if (!shared && liq_image_quantize(images_[k].get(), attr_.get(), &own) != LIQ_OK) {
        return false;
      }
      TLiqPtr<liq_result> ownResult(own);
      if (!Remap(shared ? global.get() : own, k, indexed) ||
          !KeepGoing(progress, k + 1, totalSteps, error)) {
        return false;
      }
    }
    return true;
  }

 private:
  TLiqPtr<liq_result> QuantizeAll() {
    TLiqPtr<liq_histogram> histogram(liq_histogram_create(attr_.get()));
    if (!histogram) {
      return nullptr;
    }
    for (auto& image : images_) {
      if (liq_histogram_add_image(histogram.get(), attr_.get(), image.get()) != LIQ_OK) {
        return nullptr;
      }
    }
    liq_result* result = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr_.get(), &result) != LIQ_OK) {
      return nullptr;
    }
    return TLiqPtr<liq_result>(result);
  }

  bool Remap(liq_result* result, int k, TIndexedFrames& indexed) {
    std::vector<uint8_t> indices(frames_.PixelCount());
    if (liq_set_dithering_level(result, dither_ ? 1.0f : 0.0f) != LIQ_OK ||
        liq_write_remapped_image(result, images_[k].get(), indices.data(), indices.size()) !=
            LIQ_OK) {
      return false;
    }
    // Remapping may refine the palette, so each frame takes the palette its indices refer to.
    indexed.Palettes.push_back(PaletteOf(result));
    indexed.Indices.push_back(std::move(indices));
    return true;
  }

  const TExportFrames& frames_;
  bool dither_;
  TLiqPtr<liq_attr> attr_;
  std::vector<TLiqPtr<liq_image>> images_;
};

}  // namespace

bool IndexFrames(const TExportFrames& frames, bool dither, const TExportProgress& progress,
                 int totalSteps, TIndexedFrames& indexed, std::string& error) {
  if (IndexExactly(frames, indexed)) {
    return KeepGoing(progress, frames.Count(), totalSteps, error);
  }
  return TQuantizer(frames, dither).Run(progress, totalSteps, indexed, error);
}

}  // namespace torvel
