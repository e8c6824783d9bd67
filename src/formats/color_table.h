#pragma once

#include <array>
#include <cstdint>

#include "platform/bitmap.h"

namespace torvel {

// A palette of up to 256 colours, as a 24-bit picture row holds them (blue, green, red) and as
// colour values (red in the low byte).
struct ColorTable {
  std::array<std::array<uint8_t, 3>, 256> Triples{};
  std::array<TColor, 256> Values{};
  int Count = 0;
};

// The first index of the colour, or -1.
int FindColor(const ColorTable& table, TColor color);
// The colour's index, appending it when it is new; -1 when the table is full.
int AddColor(ColorTable& table, TColor color);
// Empties the table and collects the picture's colours, row by row from the top, until limit
// (at most 256) colours are found.
void CollectColors(const Bitmap& picture, ColorTable& table, int limit);

// The colour as the triple of a 24-bit picture row: blue, green, red.
std::array<uint8_t, 3> TripleOf(TColor value);

}  // namespace torvel
