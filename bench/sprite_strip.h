#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/bitmap.h"

namespace torvel::bench {

struct TShape {
  const char* Name;
  int Cells, Width, Height;
};

// A shaded ball moving over a flat background with a little noise, as sprites look.
inline Bitmap SpriteStrip(const TShape& shape, uint32_t seed = 7) {
  Bitmap strip(shape.Cells * shape.Width, shape.Height);
  const int radius = std::min(shape.Width, shape.Height) / 4;
  for (int k = 0; k < shape.Cells; ++k) {
    const int cx = k * shape.Width + radius + (k * 3) % std::max(shape.Width - 2 * radius, 1);
    const int cy = shape.Height / 2;
    for (int y = 0; y < shape.Height; ++y) {
      uint8_t* row = strip.Row(y);
      for (int x = k * shape.Width; x < (k + 1) * shape.Width; ++x) {
        seed = seed * 1664525 + 1013904223;
        const int noise = static_cast<int>(seed >> 29);  // 0..7
        const int dx = x - cx, dy = y - cy;
        const int d2 = dx * dx + dy * dy;
        int shade = 200 + noise;
        if (d2 < radius * radius) {
          shade = 60 + 150 * (radius * radius - d2) / (radius * radius) + noise;
        }
        row[x * 3] = static_cast<uint8_t>(shade / 2);
        row[x * 3 + 1] = static_cast<uint8_t>(shade);
        row[x * 3 + 2] = static_cast<uint8_t>(std::min(shade + 30, 255));
      }
    }
  }
  return strip;
}

}  // namespace torvel::bench
