#include <gif_lib.h>

#include <algorithm>
#include <cmath>

#include "export/encoders.h"
#include "export/frame_area.h"
#include "export/gif_palette.h"
#include "platform/error_texts.h"

namespace torvel {
namespace {

bool IsClear(uint32_t pixel) {
  return (pixel >> 24) == 0;
}

// What a viewer shows of a frame: its palette's colours, transparent pixels all alike (0).
std::vector<uint32_t> ShownFrame(const std::vector<uint8_t>& indices, const TGifPalette& palette) {
  std::vector<uint32_t> shown(indices.size());
  for (size_t i = 0; i < indices.size(); ++i) {
    shown[i] = palette.Colors[indices[i]];
  }
  return shown;
}

// Whether a pixel shown before turns transparent, which only clearing the canvas can show.
bool TurnsClear(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after) {
  for (size_t i = 0; i < before.size(); ++i) {
    if (IsClear(after[i]) && !IsClear(before[i])) {
      return true;
    }
  }
  return false;
}

// Each frame's delay in hundredths of a second, rounded so that the total time stays right.
int DelayOf(int frame, int delayMs) {
  const auto at = [delayMs](int k) { return std::lround(int64_t{k} * delayMs / 10.0); };
  return static_cast<int>(at(frame + 1) - at(frame));
}

struct TMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using TMapPtr = std::unique_ptr<ColorMapObject, TMapDeleter>;

// A GIF colour map of the palette, padded to a power of two entries.
TMapPtr MakeMap(const TGifPalette& palette) {
  int size = 2;
  while (size < static_cast<int>(palette.Colors.size())) {
    size *= 2;
  }
  std::vector<GifColorType> colors(size, GifColorType{0, 0, 0});
  for (size_t i = 0; i < palette.Colors.size(); ++i) {
    const uint32_t c = palette.Colors[i];
    colors[i] = {GifByteType(c), GifByteType(c >> 8), GifByteType(c >> 16)};
  }
  return TMapPtr(GifMakeMapObject(size, colors.data()));
}

int AppendToVector(GifFileType* gif, const GifByteType* bytes, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  try {
    out->insert(out->end(), bytes, bytes + size);
    return size;
  } catch (...) {
    return 0;  // giflib reports a write error
  }
}

// A giflib writer into memory, closed however the export ends.
class TGifWriter {
 public:
  explicit TGifWriter(std::vector<uint8_t>& out) : out_(out) {
    int error = 0;
    gif_ = EGifOpen(&out, AppendToVector, &error);
    if (gif_ != nullptr) {
      EGifSetGifVersion(gif_, true);
    }
  }
  ~TGifWriter() { Close(); }
  TGifWriter(const TGifWriter&) = delete;
  TGifWriter& operator=(const TGifWriter&) = delete;

  GifFileType* Get() const { return gif_; }
  bool Close() {
    int error = 0;
    const bool closed = gif_ == nullptr || EGifCloseFile(gif_, &error) == GIF_OK;
    gif_ = nullptr;
    return closed;
  }

  bool PutScreen(int width, int height, const ColorMapObject* map) {
    return gif_ != nullptr && EGifPutScreenDesc(gif_, width, height, 8, 0, map) == GIF_OK;
  }
  bool PutLoop() {
    const uint8_t forever[3] = {1, 0, 0};
    return EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") == GIF_OK &&
           EGifPutExtensionBlock(gif_, 3, forever) == GIF_OK &&
           EGifPutExtensionTrailer(gif_) == GIF_OK;
  }
  bool PutControl(int disposal, int delay, int transparent) {
    GraphicsControlBlock control{disposal, false, delay, transparent};
    GifByteType bytes[4];
    EGifGCBToExtension(&control, bytes);
    return EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, bytes) == GIF_OK;
  }
  // An image block encoded before, from its descriptor to its last data block.
  void PutEncodedImage(const std::vector<uint8_t>& block) {
    out_.insert(out_.end(), block.begin(), block.end());
  }
  bool PutImage(int left, int top, int width, int height, const ColorMapObject* map,
                std::vector<uint8_t>& pixels) {
    if (EGifPutImageDesc(gif_, left, top, width, height, false, map) != GIF_OK) {
      return false;
    }
    for (int y = 0; y < height; ++y) {
      if (EGifPutLine(gif_, pixels.data() + size_t(y) * width, width) != GIF_OK) {
        return false;
      }
    }
    return true;
  }

 private:
  std::vector<uint8_t>& out_;
  GifFileType* gif_ = nullptr;
};

// The image block (descriptor, colour map, compressed pixels) of a frame's rectangle, encoded
// alone: to choose the smaller of two ways to store a frame, and then written as it is.
std::vector<uint8_t> EncodeImage(std::vector<uint8_t>& pixels, const TRect& area, int screenWidth,
                                 int screenHeight, const ColorMapObject* global,
                                 const ColorMapObject* own) {
  std::vector<uint8_t> out;
  TGifWriter writer(out);
  if (!writer.PutScreen(screenWidth, screenHeight, global) ||
      !writer.PutImage(area.Left, area.Top, area.Width(), area.Height(), own, pixels) ||
      !writer.Close()) {
    return {};
  }
  const size_t start = 13 + 3 * size_t(global->ColorCount);         // after header and screen
  return std::vector<uint8_t>(out.begin() + start, out.end() - 1);  // without the trailer
}

// One frame as it is stored: its rectangle, what becomes of it before the next frame, and its
// pixels in the frames' own size.
struct TStoredFrame {
  TRect Area;
  int Disposal = DISPOSE_DO_NOT;
  std::vector<uint8_t> Pixels;
  std::vector<uint8_t> Encoded;  // the image block at the frames' own size, when made
};

class TGifEncoder : public TAnimationEncoder {
 public:
  bool EncodeFrames(const TExportFrames& frames, const TExportOptions& options,
                    const TExportProgress& progress, std::vector<uint8_t>& file,
                    std::string& error) override {
    const int steps = 2 * frames.Count();
    TIndexedFrames indexed;
    if (!IndexFrames(frames, options.Dither, progress, steps, indexed, error)) {
      return false;
    }
    width_ = frames.Width;
    height_ = frames.Height;
    scale_ = options.Scale;
    error = kOutOfMemory;
    file.clear();
    TGifWriter writer(file);
    const bool shared = indexed.SharesOnePalette();
    const TMapPtr globalMap = MakeMap(indexed.Palettes.front());
    if (!globalMap || !writer.PutScreen(width_ * scale_, height_ * scale_, globalMap.get()) ||
        (options.Loop && !writer.PutLoop())) {
      return false;
    }
    std::vector<uint32_t> canvas(frames.PixelCount(), 0);  // what a viewer shows before a frame
    std::vector<uint32_t> shown = ShownFrame(indexed.Indices[0], indexed.Palettes[0]);
    for (int k = 0; k < frames.Count(); ++k) {
      const TGifPalette& palette = indexed.Palettes[k];
      std::vector<uint32_t> next;
      if (k + 1 < frames.Count()) {
        next = ShownFrame(indexed.Indices[k + 1], indexed.Palettes[k + 1]);
      }
      // A pixel that turns transparent in the next frame needs this frame cleared after it.
      const bool clear = !next.empty() && TurnsClear(shown, next);
      const TMapPtr ownMap = shared ? nullptr : MakeMap(palette);
      TStoredFrame stored = Plan(k == 0, canvas, shown, indexed.Indices[k], palette, clear,
                                 globalMap.get(), ownMap.get());
      if (!Put(writer, stored, DelayOf(k, options.DelayMs), palette.Transparent, ownMap.get()) ||
          !KeepGoing(progress, frames.Count() + k + 1, steps, error)) {
        return false;
      }
      if (clear) {
        std::fill(canvas.begin(), canvas.end(), 0);
      } else {
        canvas = shown;
      }
      shown.swap(next);
    }
    return writer.Close();
  }

 private:
  // Chooses the rectangle and pixels of a frame drawn over the canvas. Pixels the canvas
  // already shows may be stored as transparent, which compresses better in most frames; the
  // smaller of the two ways is kept.
  TStoredFrame Plan(bool first, const std::vector<uint32_t>& canvas,
                    const std::vector<uint32_t>& shown, const std::vector<uint8_t>& indices,
                    const TGifPalette& palette, bool clearAfter, const ColorMapObject* globalMap,
                    const ColorMapObject* ownMap) {
    TStoredFrame stored;
    stored.Disposal = clearAfter ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
    stored.Area = first ? TRect{0, 0, width_, height_}
                        : ChangedArea(canvas.data(), shown.data(), width_, height_);
    if (clearAfter) {
      // Clearing after the frame empties its rectangle, so the rectangle holds all it shows.
      for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
          if (!IsClear(shown[size_t(y) * width_ + x])) {
            IncludePixel(stored.Area, x, y);
          }
        }
      }
    }
    if (stored.Area.IsEmpty()) {
      stored.Area = {0, 0, 1, 1};
    }
    stored.Pixels = Cut(indices, stored.Area, nullptr, -1);
    const bool choice = palette.Transparent >= 0 && !first;
    if (!choice && scale_ > 1) {
      return stored;  // nothing to choose, and the scaled frame is encoded as it is written
    }
    const auto encode = [&](std::vector<uint8_t>& pixels) {
      return EncodeImage(pixels, stored.Area, width_, height_, globalMap, ownMap);
    };
    stored.Encoded = encode(stored.Pixels);
    if (choice) {
      std::vector<uint8_t> keyed = Cut(indices, stored.Area, &canvas, palette.Transparent, &shown);
      std::vector<uint8_t> keyedEncoded = encode(keyed);
      if (!keyedEncoded.empty() && keyedEncoded.size() < stored.Encoded.size()) {
        stored.Pixels.swap(keyed);
        stored.Encoded.swap(keyedEncoded);
      }
    }
    return stored;
  }

  // The indices inside the area; with a canvas, pixels it already shows become transparent.
  std::vector<uint8_t> Cut(const std::vector<uint8_t>& indices, const TRect& area,
                           const std::vector<uint32_t>* canvas, int transparent,
                           const std::vector<uint32_t>* shown = nullptr) const {
    std::vector<uint8_t> pixels;
    pixels.reserve(size_t(area.Width()) * area.Height());
    for (int y = area.Top; y < area.Bottom; ++y) {
      for (int x = area.Left; x < area.Right; ++x) {
        const size_t i = size_t(y) * width_ + x;
        const bool same = canvas != nullptr && (*canvas)[i] == (*shown)[i];
        pixels.push_back(same ? static_cast<uint8_t>(transparent) : indices[i]);
      }
    }
    return pixels;
  }

  bool Put(TGifWriter& writer, TStoredFrame& stored, int delay, int transparent,
           const ColorMapObject* ownMap) const {
    std::vector<uint8_t> scaled;
    const TRect& a = stored.Area;
    std::vector<uint8_t>* pixels = &stored.Pixels;
    if (scale_ > 1) {
      ScaleNearest(stored.Pixels.data(), a.Width(), a.Height(), 1, scale_, scaled);
      pixels = &scaled;
    }
    if (!writer.PutControl(stored.Disposal, delay, transparent)) {
      return false;
    }
    if (scale_ == 1 && !stored.Encoded.empty()) {
      writer.PutEncodedImage(stored.Encoded);
      return true;
    }
    return writer.PutImage(a.Left * scale_, a.Top * scale_, a.Width() * scale_, a.Height() * scale_,
                           ownMap, *pixels);
  }

  int width_ = 0;
  int height_ = 0;
  int scale_ = 1;
};

}  // namespace

std::unique_ptr<TAnimationEncoder> MakeGifEncoder() {
  return std::make_unique<TGifEncoder>();
}

}  // namespace torvel
