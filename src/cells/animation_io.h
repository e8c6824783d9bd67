#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cells/animation_strip.h"
#include "formats/animation_file.h"
#include "platform/bitmap.h"
#include "platform/bmp.h"
#include "platform/stream.h"

namespace torvel {

// An animation file's picture never holds more than the store does: 12,000,000 bytes of pixels.
// Its BMP image, rows padded, is at most twice that; nothing larger is inflated or decoded.
inline constexpr int64_t kMostAnimationPixels = TCellTable::kMostCellBytes / 3;
inline constexpr size_t kMostAnimationBmpBytes =
    kBmpHeaderSize + 2 * static_cast<size_t>(TCellTable::kMostCellBytes);

// Fills a record from the table: every cell side by side as a zlib-compressed (fastest level)
// BMP image, the cell width, the interval, the flags and the reserved values. On failure the
// error reads "Unexpected error" (no cells) or "Out of memory".
bool EncodeAnimation(const TCellTable& table, TSAN& record, std::string& error);

// Writes the whole animation as a ".san" record; "Out of disk space" when the stream refuses it.
bool WriteAnimation(const TCellTable& table, TStream& stream, std::string& error);

// Writes a file safely (see WriteFileSafely): "File in use" when it cannot be created or
// replaced, "Out of disk space" when writing fails.
bool WriteFileReporting(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error);

// Writes the animation as the file at path. The file is replaced only once the new one is
// complete on disk; "File in use" when it cannot be created or replaced, "Out of disk space"
// when writing fails.
bool SaveAnimation(const TCellTable& table, const std::string& path, std::string& error);

// A ".san" record read and its picture decoded, before anything of the store is touched.
struct TAnimationContents {
  TSAN Record;     // its pI is released once the picture is decoded
  Bitmap Picture;  // all cells side by side; 0 x 0 when the file holds none
  // The number of cells in the picture: its width divided by the cell width, or 0.
  int CellCount() const;
};

// Reads a record: "Unsupported format" when it is not one, "Out of memory" when its picture
// does not inflate, is not a BMP image or is larger than an animation can be.
bool ReadAnimation(TStream& stream, TAnimationContents& contents, std::string& error);

// Opens the file at path for reading: none with "File not found" or "File in use".
std::unique_ptr<TFileStream> OpenAnimationFile(const std::string& path, std::string& error);

// Reads the file at path: "File not found", "File in use", or the errors of ReadAnimation.
bool LoadAnimation(const std::string& path, TAnimationContents& contents, std::string& error);

// The report of a store that took fewer cells than offered: "2 of 5 cells accepted." and the
// store's reason on a line of its own.
std::string AcceptedCellsText(int accepted, int offered, const std::string& reason);

// How many of n cells cut from the picture an empty store would take.
int CellsAcceptedWhenEmpty(const Bitmap& picture, int n);

// Takes over the file's interval, transparency, flip, mirror and reserved values.
void ApplyAnimationSettings(TAnimationStrip& strip, const TSAN& record);

}  // namespace torvel
