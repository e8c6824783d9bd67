#include "cells/table_parts.h"

#include <utility>

namespace torvel {
namespace {

// The pictures are shared, not copied: a snapshot costs a copy of the table's arrays.
void CopyCells(TCellTable& target, const TCellTable& source) {
  target.CellWidth = source.CellWidth;
  target.CellHeight = source.CellHeight;
  target.Cells = source.Cells;
  target.Thumbnails = source.Thumbnails;
  target.Order = source.Order;
  target.Used = source.Used;
  target.Empty = source.Empty;
  target.Count = source.Count;
  target.Capacity = source.Capacity;
  target.Current = source.Current;
  target.ThumbSizes = source.ThumbSizes;
  target.ListIndex = source.ListIndex;
}

void SwapCells(TCellTable& a, TCellTable& b) {
  std::swap(a.CellWidth, b.CellWidth);
  std::swap(a.CellHeight, b.CellHeight);
  a.Cells.swap(b.Cells);
  a.Thumbnails.swap(b.Thumbnails);
  a.Order.swap(b.Order);
  a.Used.swap(b.Used);
  std::swap(a.Empty, b.Empty);
  std::swap(a.Count, b.Count);
  std::swap(a.Capacity, b.Capacity);
  std::swap(a.Current, b.Current);
  a.ThumbSizes.swap(b.ThumbSizes);
  std::swap(a.ListIndex, b.ListIndex);
}

}  // namespace

bool CopyTableParts(TCellTable& target, const TCellTable& source, TUndoKind kind) {
  switch (kind) {
    case TUndoKind::None:
      target.Cells.fill(nullptr);
      target.Thumbnails.fill(nullptr);
      return true;
    case TUndoKind::Cells:
      CopyCells(target, source);
      return true;
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

void SwapTableParts(TCellTable& a, TCellTable& b, TUndoKind kind) {
  switch (kind) {
    case TUndoKind::None:
      return;
    case TUndoKind::Cells:
      SwapCells(a, b);
      return;
    case TUndoKind::Transparent:
      std::swap(a.Transparent, b.Transparent);
      return;
    case TUndoKind::Interval:
      std::swap(a.Interval, b.Interval);
      return;
    case TUndoKind::Order:
      a.Order.swap(b.Order);
      return;
    case TUndoKind::FlipMirror:
      std::swap(a.Flip, b.Flip);
      std::swap(a.Mirror, b.Mirror);
      return;
  }
}

}  // namespace torvel
