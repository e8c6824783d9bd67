#pragma once

#include <cstdint>

#include "platform/bitmap.h"

namespace torvel {

// a div b truncated toward zero; 0 when b is 0.
int64_t SafeDiv(int64_t a, int64_t b);

// The scale that fits w x h into boxW x boxH without ever enlarging.
double FitScale(double boxW, double w, double boxH, double h);

// A new 24-bit picture of 1 x 1 pixel.
Bitmap NewBitmap();

// Rounds to the nearest integer, halves to the even neighbour.
int64_t RoundHalfEven(double value);

}  // namespace torvel
