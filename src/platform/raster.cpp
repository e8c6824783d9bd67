#include "platform/raster.h"

#include <algorithm>
#include <cstring>

#include "platform/resample.h"

namespace torvel {
namespace {

void PutPixel(Bitmap& dst, int x, int y, TColor color) {
  if (x >= 0 && y >= 0 && x < dst.Width() && y < dst.Height()) {
    dst.SetPixel(x, y, color);
  }
}

uint8_t Blend(const uint8_t* base, int step, const TAxisWeights& w, int i) {
  const int first = w.First[i];
  const int32_t* weight = &w.Weights[w.Offset[i]];
  int32_t sum = TAxisWeights::kWeightOne / 2;
  for (int k = 0; k < w.Count[i]; ++k) {
    sum += base[(first + k) * step] * weight[k];
  }
  return static_cast<uint8_t>(std::min(sum >> TAxisWeights::kWeightBits, 255));
}

// Maps destination pixel d of a dstLength axis onto a srcLength axis (nearest pixel centre).
int NearestSource(int d, int srcLength, int dstLength) {
  return static_cast<int>((int64_t{2} * d + 1) * srcLength / (int64_t{2} * dstLength));
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
  const TAxisWeights across = BuildAxisWeights(from.Width(), dstRect.Width());
  const TAxisWeights down = BuildAxisWeights(from.Height(), dstRect.Height());

  // First pass: scale every source row across into a temporary picture of the visible columns.
  const int tempWidth = colEnd - colBegin;
  Bitmap temp(tempWidth, from.Height());
  for (int y = 0; y < from.Height(); ++y) {
    const uint8_t* in = src.Row(from.Top + y) + from.Left * 3;
    uint8_t* out = temp.Row(y);
    for (int x = colBegin; x < colEnd; ++x, out += 3) {
      for (int c = 0; c < 3; ++c) {
        out[c] = Blend(in + c, 3, across, x);
      }
    }
  }
  // Second pass: scale the columns down into the destination.
  for (int y = rowBegin; y < rowEnd; ++y) {
    uint8_t* out = dst.Row(dstRect.Top + y) + (dstRect.Left + colBegin) * 3;
    for (int x = 0; x < tempWidth; ++x, out += 3) {
      for (int c = 0; c < 3; ++c) {
        out[c] = Blend(temp.Bytes() + x * 3 + c, temp.Stride(), down, y);
      }
    }
  }
}

void DrawTransparent(const Bitmap& src, const TRect& srcRect, Bitmap& dst, const TRect& dstRect) {
  if (!src.Transparent) {
    StretchRect(src, srcRect, dst, dstRect);
    return;
  }
  const TRect from = Intersect(srcRect, src.Rect());
  if (from.IsEmpty() || dstRect.IsEmpty()) {
    return;
  }
  const TRect to = Intersect(dstRect, dst.Rect());
  for (int y = to.Top; y < to.Bottom; ++y) {
    const int sy = from.Top + NearestSource(y - dstRect.Top, from.Height(), dstRect.Height());
    for (int x = to.Left; x < to.Right; ++x) {
      const int sx = from.Left + NearestSource(x - dstRect.Left, from.Width(), dstRect.Width());
      const TColor color = src.Pixel(sx, sy);
      if (color != src.TransparentColor) {
        dst.SetPixel(x, y, color);
      }
    }
  }
}

void FillRect(Bitmap& dst, const TRect& rect, TColor color) {
  const TRect to = Intersect(rect, dst.Rect());
  for (int y = to.Top; y < to.Bottom; ++y) {
    for (int x = to.Left; x < to.Right; ++x) {
      dst.SetPixel(x, y, color);
    }
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
