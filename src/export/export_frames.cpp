#include "export/export_frames.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "export/parallel.h"
#include "platform/error_texts.h"

namespace torvel {

int ExportDelay(const TCellTable& table) {
  return table.Interval > 0 ? table.Interval : TExportOptions::kStillDelayMs;
}

namespace {

// The cell at a position as RGBA, flipped and mirrored as the preview shows it; with
// transparency, the pixels of the shown top-left colour get alpha 0.
void ShownCell(const TCellTable& table, int position, bool transparent,
               std::vector<uint8_t>& rgba) {
  const int w = table.CellWidth, h = table.CellHeight;
  const Bitmap& cell = table.CellAt(position);
  const auto source = [&](int x, int y) {
    const int sx = table.Mirror ? w - 1 - x : x, sy = table.Flip ? h - 1 - y : y;
    return cell.Row(sy) + size_t(sx) * 3;
  };
  const uint8_t* corner = source(0, 0);
  const uint8_t keyB = corner[0], keyG = corner[1], keyR = corner[2];
  rgba.resize(size_t(w) * h * 4);
  uint8_t* to = rgba.data();
  const int step = table.Mirror ? -3 : 3;
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = source(0, y);
    for (int x = 0; x < w; ++x, from += step, to += 4) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      const bool key = from[0] == keyB && from[1] == keyG && from[2] == keyR;
      to[3] = transparent && key ? 0 : 255;
    }
  }
}

}  // namespace

bool FramesFromTable(const TCellTable& table, TExportFrames& frames, std::string& error) {
  error = kEmpty;
  if (table.Count < 1 || table.CellWidth < 1 || table.CellHeight < 1) {
    return false;
  }
  error = kOutOfMemory;
  try {
    TExportFrames result;
    result.Width = table.CellWidth;
    result.Height = table.CellHeight;
    result.Transparent = table.Transparent;
    result.Rgba.resize(table.Count);
    const bool made = ParallelFor(table.Count, [&](int position) {
      try {
        ShownCell(table, position, table.Transparent, result.Rgba[position]);
        return true;
      } catch (const std::bad_alloc&) {
        return false;
      }
    });
    if (!made) {
      return false;
    }
    frames = std::move(result);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ScaledSizeAllowed(const TExportFrames& frames, int scale) {
  const int64_t width = int64_t{frames.Width} * scale;
  const int64_t height = int64_t{frames.Height} * scale;
  return scale >= 1 && scale <= TExportOptions::kMostScale && width <= kMostExportSide &&
         height <= kMostExportSide && width * height <= kMostExportPixels;
}

void ScaleNearest(const uint8_t* pixels, int width, int height, int pixelBytes, int scale,
                  std::vector<uint8_t>& scaled) {
  const size_t rowBytes = size_t(width) * scale * pixelBytes;
  scaled.resize(rowBytes * height * scale);
  uint8_t* to = scaled.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = pixels + size_t(y) * width * pixelBytes;
    uint8_t* row = to;
    for (int x = 0; x < width; ++x, from += pixelBytes) {
      for (int copy = 0; copy < scale; ++copy, to += pixelBytes) {
        std::memcpy(to, from, pixelBytes);
      }
    }
    for (int copy = 1; copy < scale; ++copy, to += rowBytes) {
      std::memcpy(to, row, rowBytes);
    }
  }
}

}  // namespace torvel
