#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace torvel {

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

Bitmap::Bitmap(int width, int height) {
  if (!Resize(width, height)) {
    throw std::bad_alloc();
  }
}

Bitmap Bitmap::ForOverwrite(int width, int height) {
  if (!IsAllowedSize(width, height)) {
    throw std::bad_alloc();
  }
  Bitmap picture;
  picture.stride_ = StrideFor(width);
  picture.data_.resize(static_cast<size_t>(picture.stride_) * height);  // not filled
  picture.width_ = width;
  picture.height_ = height;
  const size_t pixelBytes = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height && pixelBytes < size_t(picture.stride_); ++y) {
    std::memset(picture.Row(y) + pixelBytes, 0, picture.stride_ - pixelBytes);
  }
  return picture;
}

bool Bitmap::IsAllowedSize(int64_t width, int64_t height) {
  return width >= 0 && height >= 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels &&
         width * height <= kMaxPicturePixels;
}

bool Bitmap::Resize(int width, int height) {
  if (!IsAllowedSize(width, height)) {
    return false;
  }
  if (width == width_ && height == height_) {
    return true;
  }
  const int newStride = StrideFor(width);
  try {
    decltype(data_) fresh(static_cast<size_t>(newStride) * height, 0);
    const int keepRows = std::min(height, height_);
    const size_t keepBytes = static_cast<size_t>(std::min(width, width_)) * 3;
    for (int y = 0; y < keepRows; ++y) {
      std::memcpy(fresh.data() + static_cast<size_t>(y) * newStride, Row(y), keepBytes);
    }
    data_.swap(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  stride_ = newStride;
  return true;
}

TColor Bitmap::Pixel(int x, int y) const {
  const uint8_t* p = Row(y) + x * 3;
  return TColor{p[2]} | TColor{p[1]} << 8 | TColor{p[0]} << 16;
}

void Bitmap::SetPixel(int x, int y, TColor color) {
  uint8_t* p = Row(y) + x * 3;
  p[0] = static_cast<uint8_t>(color >> 16);
  p[1] = static_cast<uint8_t>(color >> 8);
  p[2] = static_cast<uint8_t>(color);
}

}  // namespace torvel
