#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/decoded_frames.h"
#include "platform/geometry.h"

namespace torvel {

// The canvas the GIF and APNG readers composite their frames on, with the bookkeeping every
// reader shares: the limits, the frames handed out, and the budget of decoded pixels.
class TFrameCanvas {
 public:
  TFrameCanvas(const TReadLimits& limits, TDecodedFrames& out) : limits_(limits), out_(out) {}

  // Checks the canvas size against the limits and makes it fully transparent. False with
  // "Capacity reached" for a canvas too large, "Unsupported format" for an empty one. A reader
  // whose library composites for it hands its own pixels to EmitFrame and needs no canvas.
  bool Start(int width, int height, std::string& error, bool composites = true);

  // Whether the next frame is composited; once enough are read the rest are only counted.
  bool WantsFrame() const { return out_.Count() < wanted_; }
  // The frames handed out or counted so far.
  int Counted() const { return out_.FramesInFile; }
  // The file ends inside a frame; the frames before it stand. False when there are none.
  bool EndCutShort() {
    out_.CutShort = Counted() > 0;
    return out_.CutShort;
  }
  // Counts pixels about to be decoded; false once the file has asked for more than allowed.
  bool Spend(int64_t pixels);
  // Hands out the canvas, or the given pixels of the canvas size, as the next frame; only
  // counts it when it is not wanted.
  void EmitFrame(int delayMs, const uint8_t* rgba = nullptr);

  TRect Bounds() const { return {0, 0, out_.Width, out_.Height}; }
  uint8_t* Pixel(int x, int y) { return pixels_.data() + (size_t(y) * out_.Width + x) * 4; }
  // Makes the area (clipped to the canvas) fully transparent.
  void Clear(const TRect& area);
  // Keeps the canvas to come back to after a frame that is disposed to its previous state.
  void Remember() { remembered_ = pixels_; }
  void Restore() { pixels_ = remembered_; }

 private:
  const TReadLimits& limits_;
  TDecodedFrames& out_;
  std::vector<uint8_t> pixels_;
  std::vector<uint8_t> remembered_;
  int wanted_ = 0;
  int64_t decoded_ = 0;
};

// Lays a straight-alpha RGBA pixel over another, as PNG's "over" blending does.
void BlendOver(const uint8_t* source, uint8_t* target);

}  // namespace torvel
