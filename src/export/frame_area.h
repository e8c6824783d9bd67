#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/geometry.h"

namespace torvel {

// Grows the rectangle to hold the pixel (x, y); an empty rectangle becomes that pixel.
inline void IncludePixel(TRect& area, int x, int y) {
  if (area.IsEmpty()) {
    area = {x, y, x + 1, y + 1};
    return;
  }
  area = {std::min(area.Left, x), std::min(area.Top, y), std::max(area.Right, x + 1),
          std::max(area.Bottom, y + 1)};
}

// The smallest rectangle holding every pixel that differs between two frames of 32-bit pixels;
// empty when none does.
inline TRect ChangedArea(const uint32_t* before, const uint32_t* after, int width, int height) {
  TRect area;
  for (int y = 0; y < height; ++y) {
    const uint32_t* a = before + size_t(y) * width;
    const uint32_t* b = after + size_t(y) * width;
    if (std::memcmp(a, b, size_t(width) * 4) == 0) {
      continue;
    }
    int left = 0, right = width - 1;
    while (a[left] == b[left]) {
      ++left;
    }
    while (a[right] == b[right]) {
      --right;
    }
    IncludePixel(area, left, y);
    IncludePixel(area, right, y);
  }
  return area;
}

}  // namespace torvel
