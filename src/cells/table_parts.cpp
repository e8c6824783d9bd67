#include "cells/table_parts.h"

#include <cstring>

#include "cells/cell_helpers.h"

namespace torvel {
namespace {

// A copy of the whole picture that reuses the target's memory where it can.
bool CopyPicture(Bitmap& target, const Bitmap& source) {
  try {
    target = source;
    return true;
  } catch (...) {
    return false;
  }
}

bool CopyCells(TCellTable& target, const TCellTable& source) {
  target.CellWidth = source.CellWidth;
  target.CellHeight = source.CellHeight;
  const bool pictures =
      CopyPicture(target.Cells, source.Cells) && CopyPicture(target.Thumbnails, source.Thumbnails);
  target.Order = source.Order;
  target.Used = source.Used;
  target.Empty = source.Empty;
  target.Count = source.Count;
  target.Capacity = source.Capacity;
  target.Current = source.Current;
  target.ThumbSizes = source.ThumbSizes;
  target.ListIndex = source.ListIndex;
  return pictures;
}

}  // namespace

bool CopyTableParts(TCellTable& target, const TCellTable& source, TUndoKind kind) {
  switch (kind) {
    case TUndoKind::None:
      target.Cells = NewBitmap();
      target.Thumbnails = NewBitmap();
      return true;
    case TUndoKind::Cells:
      return CopyCells(target, source);
    case TUndoKind::Transparent:
      target.Transparent = source.Transparent;
      return true;
    case TUndoKind::Interval:
      target.Interval = source.Interval;
      return true;
    case TUndoKind::Order:
      target.Order = source.Order;
      return true;
    case TUndoKind::FlipMirror:
      target.Flip = source.Flip;
      target.Mirror = source.Mirror;
      return true;
  }
  return false;
}

}  // namespace torvel
