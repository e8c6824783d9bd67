#include "formats/picture_area.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace torvel {

bool CheckArea(TManipulationInfo& info) {
  if (info.Picture == nullptr) {
    info.LastError = "Undefined image handle.";
    return false;
  }
  const int across = info.Picture->Width() - (info.Inclusive ? 0 : 1);
  const int down = info.Picture->Height() - (info.Inclusive ? 0 : 1);
  if (across < 0 || down < 0) {
    info.LastError = "Invalid image information.";
    return false;
  }
  TRect& a = info.Area;
  a.Left = std::clamp(a.Left, 0, across);
  a.Right = std::clamp(a.Right, 0, across);
  a.Top = std::clamp(a.Top, 0, down);
  a.Bottom = std::clamp(a.Bottom, 0, down);
  if (a.Right < a.Left) {
    std::swap(a.Left, a.Right);
  }
  if (a.Bottom < a.Top) {
    std::swap(a.Top, a.Bottom);
  }
  return true;
}

bool FlipArea(TManipulationInfo& info) {
  if (!CheckArea(info)) {
    return false;
  }
  const TRect& a = info.Area;
  const size_t bytes = static_cast<size_t>(a.Width()) * 3;
  try {
    std::vector<uint8_t> spare(bytes);
    for (int top = a.Top, bottom = a.Bottom - 1; top < bottom; ++top, --bottom) {
      uint8_t* upper = info.Picture->Row(top) + a.Left * 3;
      uint8_t* lower = info.Picture->Row(bottom) + a.Left * 3;
      std::copy_n(upper, bytes, spare.data());
      std::copy_n(lower, bytes, upper);
      std::copy_n(spare.data(), bytes, lower);
    }
  } catch (...) {
    info.LastError = "Out of memory.";
    return false;
  }
  return true;
}

bool MirrorArea(TManipulationInfo& info) {
  if (!CheckArea(info)) {
    return false;
  }
  const TRect& a = info.Area;
  for (int y = a.Top; y < a.Bottom; ++y) {
    uint8_t* row = info.Picture->Row(y);
    for (int left = a.Left, right = a.Right - 1; left < right; ++left, --right) {
      std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
    }
  }
  return true;
}

}  // namespace torvel
