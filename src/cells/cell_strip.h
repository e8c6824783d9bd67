#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cells/cell_table.h"
#include "platform/stream.h"

namespace torvel {

// The picture an animation file stores: every cell side by side in one BMP image. It is written
// and read a row at a time, so that no picture of all the cells is ever made.

// Told how many of how many rows are done; returns false to stop the work.
using TWorkProgress = std::function<bool(int done, int total)>;

// The size of the BMP image of the table's cells.
int64_t CellStripBytes(const TCellTable& table);

// Writes the BMP image of the cells at positions 0..Count-1 side by side (bottom row first,
// rows padded with zeros). False when the stream refuses bytes, the table is empty or the
// progress asks to stop.
bool WriteCellStrip(const TCellTable& table, TStream& out, const TWorkProgress& progress = {});

// How many cells of a size a reader may make: the room of the store they go to.
using TCellRoom = std::function<int(int cellWidth, int cellHeight)>;

struct TStripCells {
  std::vector<TCellPicture> Cells;  // the first cells of the strip, as many as there was room for
  int CellsInStrip = 0;             // picture width / stripCellWidth, or 0
};

// Reads a BMP image of at most mostBytes bytes and cuts it into width / stripCellWidth cells
// of equal width (the columns right of the last whole cell are dropped), making only the first
// of them that room allows. 24-bit images go straight into the cells; other BMP images are
// decoded whole first, within the largest picture the program handles. False with "Unsupported
// format" when the bytes are not such an image or it is larger than mostBytes; false also when
// the progress asks to stop. Throws std::bad_alloc when the cells cannot be made.
bool ReadCellStrip(TStream& in, int64_t mostBytes, int stripCellWidth, const TCellRoom& room,
                   TStripCells& strip, std::string& error, const TWorkProgress& progress = {});

}  // namespace torvel
