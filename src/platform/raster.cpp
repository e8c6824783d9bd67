#include "platform/raster.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "platform/resample.h"

namespace torvel {
namespace {

void PutPixel(Bitmap& dst, int x, int y, TColor color) {
  if (x >= 0 && y >= 0 && x < dst.Width() && y < dst.Height()) {
    dst.SetPixel(x, y, color);
  }
}

// Thumbnails and previews stretch between the same few sizes again and again: the weights of the
// latest ones are kept.
const TAxisWeights& CachedAxisWeights(int srcLength, int dstLength) {
  struct TEntry {
    int Src = 0, Dst = 0;
    TAxisWeights Weights;
  };
  thread_local std::array<TEntry, 4> cache;
  thread_local size_t next = 0;
  for (const TEntry& entry : cache) {
    if (entry.Src == srcLength && entry.Dst == dstLength) {
      return entry.Weights;
    }
  }
  TEntry& entry = cache[next];
  next = (next + 1) % cache.size();
  entry.Weights = BuildAxisWeights(srcLength, dstLength);
  entry.Src = srcLength;
  entry.Dst = dstLength;
  return entry.Weights;
}

// The three channels of destination pixel i of a row, from the row's source pixels.
void BlendPixel(const uint8_t* row, const TAxisWeights& w, int i, uint8_t* out) {
  const uint8_t* p = row + w.First[i] * 3;
  const int32_t* weight = &w.Weights[w.Offset[i]];
  int32_t b = TAxisWeights::kWeightOne / 2, g = b, r = b;
  for (int k = 0; k < w.Count[i]; ++k, p += 3) {
    b += p[0] * weight[k];
    g += p[1] * weight[k];
    r += p[2] * weight[k];
  }
  constexpr int kBits = TAxisWeights::kWeightBits;
  out[0] = static_cast<uint8_t>(std::min(b >> kBits, 255));
  out[1] = static_cast<uint8_t>(std::min(g >> kBits, 255));
  out[2] = static_cast<uint8_t>(std::min(r >> kBits, 255));
}

// Maps destination pixel d of a dstLength axis onto a srcLength axis (nearest pixel centre).
int NearestSource(int d, int srcLength, int dstLength) {
  return static_cast<int>((int64_t{2} * d + 1) * srcLength / (int64_t{2} * dstLength));
}

// A transparent picture's key colour as the bytes of a pixel (blue, green, red), and of four.
class TKeyColor {
 public:
  explicit TKeyColor(TColor color) {
    for (int i = 0; i < 4; ++i) {
      four_[3 * i] = static_cast<uint8_t>(color >> 16);
      four_[3 * i + 1] = static_cast<uint8_t>(color >> 8);
      four_[3 * i + 2] = static_cast<uint8_t>(color);
    }
  }
  bool Matches(const uint8_t* pixel) const {
    return pixel[0] == four_[0] && pixel[1] == four_[1] && pixel[2] == four_[2];
  }
  bool MatchesFour(const uint8_t* pixels) const { return std::memcmp(pixels, four_, 12) == 0; }

 private:
  uint8_t four_[12];
};

// Copies the pixels of an unscaled row that are not the key colour, a run at a time.
void CopyVisibleRuns(const uint8_t* in, uint8_t* out, int width, const TKeyColor& key) {
  for (int i = 0; i < width;) {
    while (i + 4 <= width && key.MatchesFour(in + 3 * i)) {
      i += 4;  // wide transparent areas are passed over four pixels at a time
    }
    while (i < width && key.Matches(in + 3 * i)) {
      ++i;
    }
    const int start = i;
    while (i < width && !key.Matches(in + 3 * i)) {
      ++i;
    }
    std::memcpy(out + 3 * start, in + 3 * start, static_cast<size_t>(i - start) * 3);
  }
}

// Copies the pixels of a scaled row that are not the key colour, each from its source column.
void CopyVisiblePixels(const uint8_t* in, const std::vector<int>& sourceBytes, uint8_t* out,
                       const TKeyColor& key) {
  for (const int offset : sourceBytes) {
    if (!key.Matches(in + offset)) {
      std::memcpy(out, in + offset, 3);
    }
    out += 3;
  }
}

}  // namespace

void CopyRect(const Bitmap& src, const TRect& srcRect, Bitmap& dst, int dstX, int dstY) {
  TRect from = Intersect(srcRect, src.Rect());
  // Shift the destination by what clipping took off the source's top-left corner.
  dstX += from.Left - srcRect.Left;
  dstY += from.Top - srcRect.Top;
  const TRect to = Intersect({dstX, dstY, dstX + from.Width(), dstY + from.Height()}, dst.Rect());
  if (to.IsEmpty()) {
    return;
  }
  from.Left += to.Left - dstX;
  from.Top += to.Top - dstY;
  const size_t bytes = static_cast<size_t>(to.Width()) * 3;
  // memmove: source and destination may be the same picture.
  for (int y = 0; y < to.Height(); ++y) {
    std::memmove(dst.Row(to.Top + y) + to.Left * 3, src.Row(from.Top + y) + from.Left * 3, bytes);
  }
}

void StretchRect(const Bitmap& src, const TRect& srcRect, Bitmap& dst, const TRect& dstRect) {
  const TRect from = Intersect(srcRect, src.Rect());
  if (from.IsEmpty() || dstRect.IsEmpty()) {
    return;
  }
  if (from.Width() == dstRect.Width() && from.Height() == dstRect.Height()) {
    CopyRect(src, from, dst, dstRect.Left, dstRect.Top);
    return;
  }
  // The columns and rows of dstRect, counted from its corner, that lie inside dst.
  const int colBegin = std::max(0, -dstRect.Left);
  const int colEnd = std::min(dstRect.Width(), dst.Width() - dstRect.Left);
  const int rowBegin = std::max(0, -dstRect.Top);
  const int rowEnd = std::min(dstRect.Height(), dst.Height() - dstRect.Top);
  if (colBegin >= colEnd || rowBegin >= rowEnd) {
    return;
  }
  const TAxisWeights& across = CachedAxisWeights(from.Width(), dstRect.Width());
  const TAxisWeights& down = CachedAxisWeights(from.Height(), dstRect.Height());

  // First pass: scale every source row across into a temporary picture of the visible columns.
  const int tempWidth = colEnd - colBegin;
  thread_local Bitmap temp;
  if (!temp.Resize(tempWidth, from.Height())) {
    throw std::bad_alloc();
  }
  for (int y = 0; y < from.Height(); ++y) {
    const uint8_t* in = src.Row(from.Top + y) + from.Left * 3;
    uint8_t* out = temp.Row(y);
    for (int x = colBegin; x < colEnd; ++x, out += 3) {
      BlendPixel(in, across, x, out);
    }
  }
  // Second pass: each destination row is the weighted sum of whole temporary rows, which keeps
  // the reads in row order.
  const size_t rowBytes = static_cast<size_t>(tempWidth) * 3;
  thread_local std::vector<int32_t> sums;
  sums.resize(rowBytes);
  for (int y = rowBegin; y < rowEnd; ++y) {
    std::fill(sums.begin(), sums.end(), TAxisWeights::kWeightOne / 2);
    const int32_t* weight = &down.Weights[down.Offset[y]];
    for (int k = 0; k < down.Count[y]; ++k) {
      const uint8_t* in = temp.Row(down.First[y] + k);
      const int32_t w = weight[k];
      for (size_t i = 0; i < rowBytes; ++i) {
        sums[i] += in[i] * w;
      }
    }
    uint8_t* out = dst.Row(dstRect.Top + y) + (dstRect.Left + colBegin) * 3;
    for (size_t i = 0; i < rowBytes; ++i) {
      out[i] = static_cast<uint8_t>(std::min(sums[i] >> TAxisWeights::kWeightBits, 255));
    }
  }
  constexpr int64_t kKeptTempPixels = 1 << 20;  // small pictures are kept for the next call
  if (int64_t{temp.Width()} * temp.Height() > kKeptTempPixels) {
    temp = Bitmap();
    sums = {};
  }
}

void DrawTransparent(const Bitmap& src, const TRect& srcRect, Bitmap& dst, const TRect& dstRect) {
  if (!src.Transparent) {
    StretchRect(src, srcRect, dst, dstRect);
    return;
  }
  DrawLeavingOut(src, src.TransparentColor, srcRect, dst, dstRect);
}

void DrawLeavingOut(const Bitmap& src, TColor leftOut, const TRect& srcRect, Bitmap& dst,
                    const TRect& dstRect) {
  const TRect from = Intersect(srcRect, src.Rect());
  if (from.IsEmpty() || dstRect.IsEmpty()) {
    return;
  }
  const TRect to = Intersect(dstRect, dst.Rect());
  if (to.IsEmpty()) {
    return;
  }
  // Playback draws every frame through here, so rows are worked on as bytes: unscaled rows copy
  // their runs of visible pixels whole, scaled ones look up each column's source, found once.
  const TKeyColor key(leftOut);
  const bool unscaled = from.Width() == dstRect.Width();
  std::vector<int> sourceBytes;
  for (int x = to.Left; x < to.Right && !unscaled; ++x) {
    sourceBytes.push_back(
        3 * (from.Left + NearestSource(x - dstRect.Left, from.Width(), dstRect.Width())));
  }
  for (int y = to.Top; y < to.Bottom; ++y) {
    const int sy = from.Top + NearestSource(y - dstRect.Top, from.Height(), dstRect.Height());
    uint8_t* out = dst.Row(y) + 3 * to.Left;
    if (unscaled) {
      const int sx = from.Left + to.Left - dstRect.Left;
      CopyVisibleRuns(src.Row(sy) + 3 * sx, out, to.Width(), key);
    } else {
      CopyVisiblePixels(src.Row(sy), sourceBytes, out, key);
    }
  }
}

void FillRect(Bitmap& dst, const TRect& rect, TColor color) {
  const TRect to = Intersect(rect, dst.Rect());
  if (to.IsEmpty()) {
    return;
  }
  // One row is filled pixel by pixel; the others are copies of it.
  for (int x = to.Left; x < to.Right; ++x) {
    dst.SetPixel(x, to.Top, color);
  }
  const uint8_t* first = dst.Row(to.Top) + to.Left * 3;
  const size_t bytes = static_cast<size_t>(to.Width()) * 3;
  for (int y = to.Top + 1; y < to.Bottom; ++y) {
    std::memcpy(dst.Row(y) + to.Left * 3, first, bytes);
  }
}

void FrameRect(Bitmap& dst, const TRect& rect, TColor color) {
  if (rect.IsEmpty()) {
    return;
  }
  FillRect(dst, {rect.Left, rect.Top, rect.Right, rect.Top + 1}, color);
  FillRect(dst, {rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, color);
  FillRect(dst, {rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, color);
  FillRect(dst, {rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, color);
}

void DrawDottedHLine(Bitmap& dst, int y, int x0, int x1, TColor ink, TColor gap) {
  for (int x = std::max(x0, 0); x < std::min(x1, dst.Width()); ++x) {
    PutPixel(dst, x, y, (x - x0) % 2 == 0 ? ink : gap);
  }
}

void DrawDottedVLine(Bitmap& dst, int x, int y0, int y1, TColor ink, TColor gap) {
  for (int y = std::max(y0, 0); y < std::min(y1, dst.Height()); ++y) {
    PutPixel(dst, x, y, (y - y0) % 2 == 0 ? ink : gap);
  }
}

}  // namespace torvel
