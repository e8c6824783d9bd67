#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace torvel {

// A rectangle of a frame, right and bottom exclusive; empty when nothing is in it.
struct TFrameArea {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  // Grows to hold the pixel (x, y).
  void Add(int x, int y) {
    if (IsEmpty()) {
      *this = {x, y, x + 1, y + 1};
      return;
    }
    Left = std::min(Left, x);
    Top = std::min(Top, y);
    Right = std::max(Right, x + 1);
    Bottom = std::max(Bottom, y + 1);
  }
  void Add(const TFrameArea& other) {
    if (!other.IsEmpty()) {
      Add(other.Left, other.Top);
      Add(other.Right - 1, other.Bottom - 1);
    }
  }
};

// The smallest rectangle holding every pixel that differs between two frames of 32-bit pixels;
// empty when none does.
inline TFrameArea ChangedArea(const uint32_t* before, const uint32_t* after, int width,
                              int height) {
  TFrameArea area;
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
    area.Add(left, y);
    area.Add(right, y);
  }
  return area;
}

}  // namespace torvel
