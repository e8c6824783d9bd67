#include "cells/cell_helpers.h"

#include <algorithm>
#include <cmath>

namespace torvel {

int64_t SafeDiv(int64_t a, int64_t b) {
  return b == 0 ? 0 : a / b;
}

double FitScale(double boxW, double w, double boxH, double h) {
  const double across = w > 0 ? std::min(boxW / w, 1.0) : 1.0;
  const double down = h > 0 ? std::min(boxH / h, 1.0) : 1.0;
  return std::min(across, down);
}

Bitmap NewBitmap() {
  return Bitmap(1, 1);
}

int64_t RoundHalfEven(double value) {
  return static_cast<int64_t>(std::nearbyint(value));
}

}  // namespace torvel
