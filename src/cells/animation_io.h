#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cells/animation_strip.h"
#include "cells/cell_strip.h"
#include "formats/animation_file.h"
#include "platform/bitmap.h"
#include "platform/bmp.h"
#include "platform/stream.h"

namespace torvel {

// Animations whose BMP image is at most this large are compressed in memory and written as
// they always were; larger ones are compressed straight into the file.
inline constexpr int64_t kMostBmpCompressedInMemory = int64_t{32} << 20;
// Deflate never shrinks data by more than about 1032 to 1: a picture whose image would be
// larger than that allows for its compressed bytes is refused before its cells are made.
inline constexpr int64_t kMostInflateRatio = 1032;

// Fills a record from the table: every cell side by side as a zlib-compressed (fastest level)
// BMP image, the cell width, the interval, the flags and the reserved values. On failure the
// error reads "Unexpected error" (no cells) or "Out of memory".
bool EncodeAnimation(const TCellTable& table, TSAN& record, std::string& error);

// Writes the whole animation as a ".san" record; "Out of disk space" when the stream refuses it.
// A large animation's picture is compressed straight into the stream, which must then be able
// to seek back.
// With progress, "Task cancelled" when it asked to stop.
bool WriteAnimation(const TCellTable& table, TStream& stream, std::string& error,
                    const TWorkProgress& progress = {});

// Writes a file safely (see WriteFileSafely); on failure, error is WriteFailureText's.
bool WriteFileReporting(const std::string& path, const std::vector<uint8_t>& bytes,
                        std::string& error);

// Writes the animation as the file at path. The file is replaced only once the new one is
// complete on disk; "File in use" when it cannot be created or replaced, "Out of disk space"
// when writing fails.
bool SaveAnimation(const TCellTable& table, const std::string& path, std::string& error,
                   const TWorkProgress& progress = {});

// A ".san" record read and its picture cut into cells, before anything of the store is touched.
struct TAnimationContents {
  TSAN Record;                      // its pI is released once the picture is read
  std::vector<TCellPicture> Cells;  // the cells read: the first CellCount(), or fewer
  int CellsInFile = 0;              // picture width / cell width, or 0
  int CellCount() const { return CellsInFile; }
};

// The room of an empty store: as many cells as it holds of that size.
int EmptyStoreRoom(int cellWidth, int cellHeight);

// Reads a record and as many of its cells as room allows (the others are counted only):
// "Unsupported format" when it is not one, "Out of memory" when its picture does not inflate,
// is not a BMP image or cannot be made.
// With progress, "Task cancelled" when it asked to stop.
bool ReadAnimation(TStream& stream, TAnimationContents& contents, std::string& error,
                   const TCellRoom& room = EmptyStoreRoom, const TWorkProgress& progress = {});

// Opens the file at path for reading: none with "File not found" or "File in use".
std::unique_ptr<TFileStream> OpenAnimationFile(const std::string& path, std::string& error);

// Reads the file at path: "File not found", "File in use", or the errors of ReadAnimation.
bool LoadAnimation(const std::string& path, TAnimationContents& contents, std::string& error,
                   const TCellRoom& room = EmptyStoreRoom, const TWorkProgress& progress = {});

// The report of a store that took fewer cells than offered: "2 of 5 cells accepted." and the
// store's reason on a line of its own.
std::string AcceptedCellsText(int accepted, int offered, const std::string& reason);

// How many of n cells of w x h an empty store would take.
int CellsAcceptedWhenEmpty(int w, int h, int n);

// Takes over the file's interval, transparency, flip, mirror and reserved values.
void ApplyAnimationSettings(TAnimationStrip& strip, const TSAN& record);

}  // namespace torvel
