#include "formats/color_table.h"

namespace torvel {

std::array<uint8_t, 3> TripleOf(TColor value) {
  return {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value)};
}

int FindColor(const ColorTable& table, TColor color) {
  const std::array<uint8_t, 3> triple = TripleOf(color);
  for (int i = 0; i < table.Count; ++i) {
    if (table.Triples[static_cast<size_t>(i)] == triple) {
      return i;
    }
  }
  return -1;
}

int AddColor(ColorTable& table, TColor color) {
  const int found = FindColor(table, color);
  if (found >= 0) {
    return found;
  }
  if (table.Count >= 256) {
    return -1;
  }
  const auto i = static_cast<size_t>(table.Count++);
  table.Triples[i] = TripleOf(color);
  table.Values[i] = color & 0xFFFFFF;
  return static_cast<int>(i);
}

void CollectColors(const Bitmap& picture, ColorTable& table, int limit) {
  table.Count = 0;
  limit = std::min(limit, 256);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (table.Count >= limit || AddColor(table, picture.Pixel(x, y)) < 0) {
        return;
      }
    }
  }
}

}  // namespace torvel
