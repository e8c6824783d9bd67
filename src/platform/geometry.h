#pragma once

namespace torvel {

// A rectangle as left, top, right, bottom; right and bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool operator==(const TRect&) const = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

// The overlap of two rectangles; empty (all zero) when they do not meet.
TRect Intersect(const TRect& a, const TRect& b);

}  // namespace torvel
