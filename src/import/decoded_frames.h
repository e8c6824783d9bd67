#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvel {

// The frames of an animation file as a viewer shows them: every frame composited onto the
// canvas (disposal and blending applied), as straight 8-bit RGBA rows top to bottom.
struct TDecodedFrames {
  int Width = 0;
  int Height = 0;
  // When set, takes each frame as soon as it is composited, so that a reader never holds more
  // than the frame it is making; the pixels are valid during the call only. Otherwise the
  // frames are kept in Rgba.
  std::function<void(const uint8_t* rgba)> TakeFrame;
  std::vector<std::vector<uint8_t>> Rgba;  // the frames kept, Width * Height * 4 bytes each
  std::vector<int> DelaysMs;  // how long each frame of the file is shown, read or only counted
  int FramesRead = 0;         // taken or kept
  int FramesInFile = 0;       // at least Count(); more when the reader stopped early
  // The file ends inside a frame: the frames before it are whole, as a browser shows them.
  bool CutShort = false;

  int Count() const { return FramesRead; }
  size_t FrameBytes() const { return size_t(Width) * size_t(Height) * 4; }
  // Hands the frame of Width * Height pixels to TakeFrame, or keeps a copy of it.
  void Add(const uint8_t* rgba) {
    if (TakeFrame) {
      TakeFrame(rgba);
    } else {
      Rgba.emplace_back(rgba, rgba + FrameBytes());
    }
    ++FramesRead;
  }
};

// What a reader may take from a file. Every limit is checked before the memory it guards is
// allocated.
struct TReadLimits {
  static constexpr int kMostSide = 65535;
  // Files listing more frames than this are not counted further: their frames are "offered"
  // as this many, and no bookkeeping grows without bound.
  static constexpr int kMostFramesCounted = 1 << 16;

  // The largest canvas, in pixels.
  int64_t MostCanvasPixels = int64_t{1} << 22;
  // How many frames of a canvas of this size are read; the rest are only counted.
  std::function<int(int width, int height)> FramesWanted = [](int, int) { return 1; };
  // The most pixels decoded in all, frame areas off the canvas included: a small file whose
  // compressed data would expand to far more than it can show is refused instead of decoded.
  int64_t MostDecodedPixels = int64_t{1} << 27;
};

// The delay a viewer gives a frame stored with none or almost none (as browsers do).
constexpr int kDefaultFrameDelayMs = 100;
constexpr int kShortestFrameDelayMs = 20;
inline int ShownDelay(int64_t storedMs) {
  return storedMs < kShortestFrameDelayMs ? kDefaultFrameDelayMs
                                          : static_cast<int>(std::min<int64_t>(storedMs, 1 << 30));
}

}  // namespace torvel
