#pragma once

#include "cells/cell_table.h"

namespace torvel {

// Which part of a cell table an undo snapshot holds.
enum class TUndoKind : uint8_t {
  None = 0,         // nothing; the target lets go of its pictures
  Cells = 1,        // the cells (their pictures shared), order, count, size, capacity, selection
  Transparent = 2,  // the transparency flag
  Interval = 3,     // the frame interval
  Order = 4,        // the order of the cells
  FlipMirror = 5,   // the flip and mirror flags
};

// Copies the fields of that kind from source to target; the cells' pictures are shared, not
// copied. True for every kind.
bool CopyTableParts(TCellTable& target, const TCellTable& source, TUndoKind kind);

// Exchanges the fields of that kind between two tables: Undo's swap.
void SwapTableParts(TCellTable& a, TCellTable& b, TUndoKind kind);

}  // namespace torvel
