#include "import/frame_canvas.h"

#include <algorithm>

#include "platform/error_texts.h"

namespace torvel {

bool TFrameCanvas::Start(int width, int height, std::string& error, bool composites) {
  error = kUnsupportedFormat;
  if (width < 1 || height < 1) {
    return false;
  }
  error = kCapacityReached;
  if (width > TReadLimits::kMostSide || height > TReadLimits::kMostSide ||
      int64_t{width} * height > limits_.MostCanvasPixels) {
    return false;
  }
  out_.Width = width;
  out_.Height = height;
  wanted_ = std::max(limits_.FramesWanted(width, height), 0);
  if (composites) {
    pixels_.assign(out_.FrameBytes(), 0);
  }
  return true;
}

bool TFrameCanvas::Spend(int64_t pixels) {
  decoded_ += pixels;
  return decoded_ <= limits_.MostDecodedPixels;
}

void TFrameCanvas::EmitFrame(int delayMs, const uint8_t* rgba) {
  ++out_.FramesInFile;
  out_.DelaysMs.push_back(delayMs);
  if (WantsFrame()) {
    out_.Add(rgba != nullptr ? rgba : pixels_.data());
  }
}

void TFrameCanvas::Clear(const TRect& area) {
  const TRect clipped = Intersect(area, Bounds());
  for (int y = clipped.Top; y < clipped.Bottom; ++y) {
    std::fill_n(Pixel(clipped.Left, y), size_t(clipped.Width()) * 4, uint8_t{0});
  }
}

void BlendOver(const uint8_t* source, uint8_t* target) {
  const int a = source[3];
  if (a == 255 || target[3] == 0) {
    std::copy_n(source, 4, target);
    return;
  }
  if (a == 0) {
    return;
  }
  // Straight alpha: out = (src * a + dst * dstA * (1 - a)) / outA.
  const int dstWeight = target[3] * (255 - a) / 255;
  const int outA = a + dstWeight;
  for (int c = 0; c < 3; ++c) {
    target[c] = static_cast<uint8_t>((source[c] * a + target[c] * dstWeight + outA / 2) / outA);
  }
  target[3] = static_cast<uint8_t>(outA);
}

}  // namespace torvel
