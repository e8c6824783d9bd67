#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "platform/geometry.h"

namespace torvel {

// Colours are 0x00BBGGRR: red in the low byte.
using TColor = uint32_t;
constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;

// The largest picture the program makes, in pixels: a single cell may take all of an animation's
// 2 GiB of 24-bit pixels. Anything larger is refused before memory is allocated.
constexpr int64_t kMaxPicturePixels = (int64_t{1} << 31) / 3;

// The largest picture decoded from a file or the clipboard, in pixels (256 MiB of 32-bit
// pixels, as Qt's image reader allows): an 8K screenshot is 33 million. A small hostile file
// cannot ask for more memory than this before it is refused.
constexpr int64_t kMostDecodedPixels = int64_t{1} << 26;

// Leaves the bytes of a vector sized with resize(n) or vector(n) as they come from the system,
// for memory about to be overwritten anyway; vector(n, value) still fills.
template <typename T>
struct TNoFillAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = TNoFillAllocator<U>;
  };
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... TArgs>
  void construct(U* p, TArgs&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<TArgs>(args)...);
  }
};

// A 24-bit picture: rows top to bottom, each row blue, green, red per pixel and padded with extra
// bytes to a multiple of 4. This row layout matches QImage::Format_BGR888.
//
// Padding bytes are part of the picture's data: a loaded BMP keeps its padding and writes it back
// unchanged (embedded archives live in them); new and grown areas are zero-filled.
class Bitmap {
 public:
  Bitmap() = default;  // 0 x 0
  // Throws std::bad_alloc when the size is refused (see Resize); callers that build a picture from
  // untrusted sizes use Resize instead.
  Bitmap(int width, int height);
  // A picture whose pixels the caller writes every one of, so they are not filled first (only
  // the padding is zeroed). Throws std::bad_alloc as the constructor does.
  static Bitmap ForOverwrite(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  TRect Rect() const { return {0, 0, width_, height_}; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }

  // Changes the size, keeping the pixels of the area both sizes share; new pixels are black and
  // new padding zero. Returns false, leaving the picture unchanged, when a side is negative, the
  // picture would exceed kMaxPicturePixels, or memory runs out.
  bool Resize(int width, int height);

  // Whether a picture of this size may be allocated at all.
  static bool IsAllowedSize(int64_t width, int64_t height);
  // Whether a picture of this size may be decoded from a file or the clipboard.
  static bool IsDecodableSize(int64_t width, int64_t height) {
    return IsAllowedSize(width, height) && width * height <= kMostDecodedPixels;
  }
  static int StrideFor(int width) { return (width * 3 + 3) & ~3; }

  uint8_t* Row(int y) { return data_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Row(int y) const { return data_.data() + static_cast<size_t>(y) * stride_; }
  uint8_t* Bytes() { return data_.data(); }
  const uint8_t* Bytes() const { return data_.data(); }
  size_t ByteSize() const { return data_.size(); }

  // Pixel access for tests and small jobs; coordinates must lie inside the picture.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // Transparent drawing: when on, pixels of TransparentColor are left out when this picture is
  // drawn with DrawTransparent.
  bool Transparent = false;
  TColor TransparentColor = kBlack;

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<uint8_t, TNoFillAllocator<uint8_t>> data_;
};

}  // namespace torvel
