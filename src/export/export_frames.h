#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cells/cell_table.h"

namespace torvel {

// The frames of an animation as the preview shows them, ready for an encoder: the cells in
// order with Flip and Mirror applied, as 8-bit RGBA rows top to bottom. With transparency, the
// pixels of each frame's top-left colour have alpha 0 and all others 255; without, all are 255.
//
// The frames of an animation are made from its cells as the encoder asks for them, a few at a
// time, so that an export never holds all of them; frames given as pixels (Rgba) are held.
struct TExportFrames {
  int Width = 0;
  int Height = 0;
  bool Transparent = false;
  std::vector<std::vector<uint8_t>> Rgba;  // one per frame, Width * Height * 4 bytes, or none
  // Makes frame k into the buffer; may run on several threads at once. Throws std::bad_alloc.
  std::function<void(int k, std::vector<uint8_t>& rgba)> Make;
  int MadeCount = 0;  // how many frames Make makes

  int Count() const { return Make ? MadeCount : static_cast<int>(Rgba.size()); }
  size_t PixelCount() const { return size_t(Width) * size_t(Height); }
  // Frame k: the held one, or made into the buffer, which then holds it.
  const std::vector<uint8_t>& Frame(int k, std::vector<uint8_t>& buffer) const {
    if (!Make) {
      return Rgba[size_t(k)];
    }
    Make(k, buffer);
    return buffer;
  }
};

// Walks the frames in order, keeping the one before the current one at hand.
class TFrameWalk {
 public:
  explicit TFrameWalk(const TExportFrames& frames) : frames_(frames) {}
  // Moves on to frame k, which must be the one after the last (or 0 to start again).
  const std::vector<uint8_t>& Next(int k) {
    previous_ = k == 0 ? nullptr : current_;
    current_ = &frames_.Frame(k, buffers_[k % 2]);
    return *current_;
  }
  const std::vector<uint8_t>* Previous() const { return previous_; }

 private:
  const TExportFrames& frames_;
  std::vector<uint8_t> buffers_[2];
  const std::vector<uint8_t>* current_ = nullptr;
  const std::vector<uint8_t>* previous_ = nullptr;
};

// How an animation is written.
struct TExportOptions {
  static constexpr int kMostScale = 8;
  static constexpr int kStillDelayMs = 100;  // a still animation plays at 10 frames a second

  int Scale = 1;  // 1..8, each pixel becomes Scale x Scale pixels
  bool Dither = true;
  bool Loop = true;  // forever; otherwise once
  int DelayMs = kStillDelayMs;
};

// The delay each frame is shown for: the animation's interval, or 100 ms when it is still.
int ExportDelay(const TCellTable& table);

// The table's cells as frames, made as they are asked for; the cells' pictures are shared, so
// the frames stay as they were even when the table changes. False with the reason when the
// table is empty or memory runs out.
bool FramesFromTable(const TCellTable& table, TExportFrames& frames, std::string& error);

// The largest side and the most pixels of a scaled frame: within every format's limits, and
// small enough that a frame's buffers stay well within memory.
constexpr int kMostExportSide = 16383;
constexpr int64_t kMostExportPixels = int64_t{1} << 25;
bool ScaledSizeAllowed(const TExportFrames& frames, int scale);

// Enlarges a picture of width x height pixels of pixelBytes bytes each by an integer scale, each
// pixel becoming a scale x scale block.
void ScaleNearest(const uint8_t* pixels, int width, int height, int pixelBytes, int scale,
                  std::vector<uint8_t>& scaled);

}  // namespace torvel
