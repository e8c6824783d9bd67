#include "export/export_frames.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "formats/picture_area.h"
#include "platform/error_texts.h"
#include "platform/raster.h"

namespace torvel {

int ExportDelay(const TCellTable& table) {
  return table.Interval > 0 ? table.Interval : TExportOptions::kStillDelayMs;
}

namespace {

// One cell, flipped and mirrored as the preview shows it.
Bitmap ShownCell(const TCellTable& table, int position) {
  Bitmap cell(table.CellWidth, table.CellHeight);
  CopyRect(table.Cells, table.CellRect(table.Order[position]), cell, 0, 0);
  if (table.Flip) {
    TManipulationInfo whole{&cell, cell.Rect(), true, ""};
    FlipArea(whole);
  }
  if (table.Mirror) {
    TManipulationInfo whole{&cell, cell.Rect(), true, ""};
    MirrorArea(whole);
  }
  return cell;
}

std::vector<uint8_t> ToRgba(const Bitmap& cell, bool transparent) {
  std::vector<uint8_t> rgba(size_t(cell.Width()) * cell.Height() * 4);
  const TColor key = cell.Pixel(0, 0);
  uint8_t* to = rgba.data();
  for (int y = 0; y < cell.Height(); ++y) {
    const uint8_t* from = cell.Row(y);
    for (int x = 0; x < cell.Width(); ++x, from += 3, to += 4) {
      const TColor color = TColor(from[0]) << 16 | TColor(from[1]) << 8 | from[2];
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      to[3] = transparent && color == key ? 0 : 255;
    }
  }
  return rgba;
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
    result.Rgba.reserve(table.Count);
    for (int position = 0; position < table.Count; ++position) {
      result.Rgba.push_back(ToRgba(ShownCell(table, position), table.Transparent));
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
