#include "export/gif_palette.h"

#include <libimagequant.h>

#include <array>
#include <cstring>
#include <memory>

#include "export/encoders.h"
#include "export/frame_area.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

constexpr uint32_t kTransparentPixel = 0;  // every pixel of alpha 0 counts as this one colour
constexpr int kGifColors = 256;
// A frame whose error with the shared palette is this many times the shared palette's average
// error, and clearly visible, gets a palette of its own: most often a frame of other colours.
constexpr double kOwnPaletteErrorRatio = 2.0;
constexpr double kLeastVisibleError = 4.0;  // mean squared error per channel

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
  std::vector<uint8_t> made;
  for (int k = 0; k < frames.Count(); ++k) {
    const std::vector<uint8_t>& frame = frames.Frame(k, made);
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
  indexed.Palettes.assign(size_t(frames.Count()), palette);
  indexed.Indices.clear();
  for (int k = 0; k < frames.Count(); ++k) {
    const std::vector<uint8_t>& frame = frames.Frame(k, made);
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

// Quantizes an animation to one palette. Frames mostly repeat the one before, so only what
// changed counts again in the colour histogram and is mapped again: pixels that stay keep their
// indices, which also spares the unchanged parts of a frame the shimmer of new dithering.
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
    TLiqPtr<liq_result> shared = QuantizeAll();
    if (!shared) {
      return false;
    }
    const double sharedError = liq_get_quantization_error(shared.get());
    indexed.Palettes.clear();
    indexed.Indices.clear();
    TFrameWalk walk(frames_);
    for (int k = 0; k < frames_.Count(); ++k) {
      const std::vector<uint8_t>& frame = walk.Next(k);
      double frameError = 0;
      if (!RemapChanged(shared.get(), frame, areas_[k], indexed, frameError)) {
        return false;
      }
      if (frameError > kLeastVisibleError && frameError > kOwnPaletteErrorRatio * sharedError &&
          !RemapWithOwnPalette(frame, frameError, indexed)) {
        return false;
      }
      if (!KeepGoing(progress, k + 1, totalSteps, error)) {
        return false;
      }
    }
    return true;
  }

 private:
  // An image of libimagequant over a rectangle of a frame, without copying its pixels.
  struct TPart {
    TRect Area;
    std::vector<void*> Rows;
    TLiqPtr<liq_image> Image;
  };

  bool MakePart(const std::vector<uint8_t>& frame, const TRect& area, TPart& part) {
    part.Area = area;
    for (int y = area.Top; y < area.Bottom; ++y) {
      part.Rows.push_back(const_cast<uint8_t*>(frame.data()) +
                          (size_t(y) * frames_.Width + area.Left) * 4);
    }
    part.Image.reset(
        liq_image_create_rgba_rows(attr_.get(), part.Rows.data(), area.Width(), area.Height(), 0));
    return part.Image != nullptr;
  }

  // The first frame whole, then each frame's rectangle that changed (none when nothing did).
  TRect ChangedPart(int k, const TFrameWalk& walk, const std::vector<uint8_t>& frame) const {
    return k == 0 ? TRect{0, 0, frames_.Width, frames_.Height}
                  : ChangedArea(reinterpret_cast<const uint32_t*>(walk.Previous()->data()),
                                reinterpret_cast<const uint32_t*>(frame.data()), frames_.Width,
                                frames_.Height);
  }

  // The histogram of what changed, frame by frame: its colours are counted as each frame is
  // made, and the frame is let go of before the next.
  TLiqPtr<liq_result> QuantizeAll() {
    TLiqPtr<liq_histogram> histogram(liq_histogram_create(attr_.get()));
    if (!histogram) {
      return nullptr;
    }
    TFrameWalk walk(frames_);
    areas_.clear();
    for (int k = 0; k < frames_.Count(); ++k) {
      const std::vector<uint8_t>& frame = walk.Next(k);
      areas_.push_back(ChangedPart(k, walk, frame));
      TPart part;
      if (!areas_.back().IsEmpty() &&
          (!MakePart(frame, areas_.back(), part) ||
           liq_histogram_add_image(histogram.get(), attr_.get(), part.Image.get()) != LIQ_OK)) {
        return nullptr;
      }
    }
    liq_result* result = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr_.get(), &result) != LIQ_OK) {
      return nullptr;
    }
    return TLiqPtr<liq_result>(result);
  }

  // Maps the part into indices of the whole frame; false when libimagequant fails.
  bool RemapPart(liq_result* result, TPart& part, std::vector<uint8_t>& indices) {
    const TRect& a = part.Area;
    std::vector<uint8_t> mapped(size_t(a.Width()) * a.Height());
    if (liq_set_dithering_level(result, dither_ ? 1.0f : 0.0f) != LIQ_OK ||
        liq_write_remapped_image(result, part.Image.get(), mapped.data(), mapped.size()) !=
            LIQ_OK) {
      return false;
    }
    for (int y = 0; y < a.Height(); ++y) {
      std::memcpy(&indices[size_t(a.Top + y) * frames_.Width + a.Left],
                  &mapped[size_t(y) * a.Width()], a.Width());
    }
    return true;
  }

  // Frame k's indices: the frame before's with the changed part mapped again, as long as the
  // palette stays the same; otherwise (mapping may refine the palette) the whole frame.
  bool RemapChanged(liq_result* result, const std::vector<uint8_t>& frame, const TRect& area,
                    TIndexedFrames& indexed, double& frameError) {
    const bool reuse = !indexed.Indices.empty();
    std::vector<uint8_t> indices =
        reuse ? indexed.Indices.back() : std::vector<uint8_t>(frames_.PixelCount());
    if (area.IsEmpty()) {
      indexed.Palettes.push_back(indexed.Palettes.back());
      indexed.Indices.push_back(std::move(indices));
      return true;
    }
    TPart part;
    if (!MakePart(frame, area, part) || !RemapPart(result, part, indices)) {
      return false;
    }
    frameError = liq_get_remapping_error(result);
    TGifPalette palette = PaletteOf(result);
    if (reuse && !(palette == indexed.Palettes.back())) {
      return RemapWhole(result, frame, indexed, frameError);
    }
    indexed.Palettes.push_back(std::move(palette));
    indexed.Indices.push_back(std::move(indices));
    return true;
  }

  bool RemapWhole(liq_result* result, const std::vector<uint8_t>& frame, TIndexedFrames& indexed,
                  double& frameError) {
    TPart whole;
    std::vector<uint8_t> indices(frames_.PixelCount());
    if (!MakePart(frame, {0, 0, frames_.Width, frames_.Height}, whole) ||
        !RemapPart(result, whole, indices)) {
      return false;
    }
    frameError = liq_get_remapping_error(result);
    indexed.Palettes.push_back(PaletteOf(result));
    indexed.Indices.push_back(std::move(indices));
    return true;
  }

  // Quantizes frame k on its own and keeps that when it is closer than the shared palette.
  bool RemapWithOwnPalette(const std::vector<uint8_t>& frame, double sharedError,
                           TIndexedFrames& indexed) {
    TPart whole;
    if (!MakePart(frame, {0, 0, frames_.Width, frames_.Height}, whole)) {
      return false;
    }
    liq_result* own = nullptr;
    if (liq_image_quantize(whole.Image.get(), attr_.get(), &own) != LIQ_OK) {
      return false;
    }
    TLiqPtr<liq_result> ownResult(own);
    std::vector<uint8_t> indices(frames_.PixelCount());
    if (!RemapPart(own, whole, indices)) {
      return false;
    }
    if (liq_get_remapping_error(own) < sharedError) {
      indexed.Palettes.back() = PaletteOf(own);
      indexed.Indices.back() = std::move(indices);
    }
    return true;
  }

  const TExportFrames& frames_;
  bool dither_;
  TLiqPtr<liq_attr> attr_;
  std::vector<TRect> areas_;  // what changed in each frame, since the frame before
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
