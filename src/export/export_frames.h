#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cells/cell_table.h"

namespace torvel {

// The frames of an animation as the preview shows them, ready for an encoder: the cells in
// order with Flip and Mirror applied, as 8-bit RGBA rows top to bottom. With transparency, the
// pixels of each frame's top-left colour have alpha 0 and all others 255; without, all are 255.
struct TExportFrames {
  int Width = 0;
  int Height = 0;
  bool Transparent = false;
  std::vector<std::vector<uint8_t>> Rgba;  // one per frame, Width * Height * 4 bytes

  int Count() const { return static_cast<int>(Rgba.size()); }
  size_t PixelCount() const { return size_t(Width) * size_t(Height); }
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

// Collects the table's cells as frames. False with the reason when the table is empty or
// memory runs out.
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
