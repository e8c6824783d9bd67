#include "export/export_frames.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/error_texts.h"

namespace torvel {

int ExportDelay(const TCellTable& table) {
  return table.Interval > 0 ? table.Interval : TExportOptions::kStillDelayMs;
}

namespace {

// How the frames are made: the cells in order, and how each is shown.
struct TShownCells {
  std::vector<TCellPicture> Cells;
  bool Flip = false;
  bool Mirror = false;
  bool Transparent = false;
};

// The cell as RGBA, flipped and mirrored as the preview shows it; with transparency, the pixels
// of the shown top-left colour get alpha 0.
void ShownCell(const Bitmap& cell, const TShownCells& how, std::vector<uint8_t>& rgba) {
  const int w = cell.Width(), h = cell.Height();
  const auto source = [&](int x, int y) {
    const int sx = how.Mirror ? w - 1 - x : x, sy = how.Flip ? h - 1 - y : y;
    return cell.Row(sy) + size_t(sx) * 3;
  };
  const uint8_t* corner = source(0, 0);
  const uint8_t keyB = corner[0], keyG = corner[1], keyR = corner[2];
  rgba.resize(size_t(w) * h * 4);
  uint8_t* to = rgba.data();
  const int step = how.Mirror ? -3 : 3;
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = source(0, y);
    for (int x = 0; x < w; ++x, from += step, to += 4) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      const bool key = from[0] == keyB && from[1] == keyG && from[2] == keyR;
      to[3] = how.Transparent && key ? 0 : 255;
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
    auto how = std::make_shared<TShownCells>();
    for (int p = 0; p < table.Count; ++p) {
      how->Cells.push_back(table.Cells[table.Order[p]]);
    }
    how->Flip = table.Flip;
    how->Mirror = table.Mirror;
    how->Transparent = table.Transparent;
    TExportFrames result;
    result.Width = table.CellWidth;
    result.Height = table.CellHeight;
    result.Transparent = table.Transparent;
    result.MadeCount = table.Count;
    result.Make = [how](int k, std::vector<uint8_t>& rgba) {
      ShownCell(*how->Cells[size_t(k)], *how, rgba);
    };
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
