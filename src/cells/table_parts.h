#pragma once

#include "cells/cell_table.h"

namespace torvel {

// Which part of a cell table an undo snapshot holds.
enum class TUndoKind : uint8_t {
  None = 0,         // nothing; the target's pictures are shrunk to free their memory
  Cells = 1,        // the cells, their pictures, order, count, size, capacity and selection
  Transparent = 2,  // the transparency flag
  Interval = 3,     // the frame interval
  Order = 4,        // the order of the cells
  FlipMirror = 5,   // the flip and mirror flags
};

// Copies the fields of that kind from source to target. False when a picture cannot be resized
// (memory); the other fields are copied all the same.
bool CopyTableParts(TCellTable& target, const TCellTable& source, TUndoKind kind);

}  // namespace torvel
