#include "cells/cell_table.h"

#include <algorithm>
#include <climits>

#include "cells/cell_helpers.h"
#include "platform/error_texts.h"
#include "platform/raster.h"
#include "platform/ticks.h"
#include "services/paths.h"

namespace torvel {

int32_t TCellTable::CapacityFor(int w, int h) {
  if (w <= 0 || h <= 0) {
    return 0;
  }
  const int64_t cellBytes = int64_t{w} * h * 3;
  return static_cast<int32_t>(std::min<int64_t>(kMostCellBytes / cellBytes, kSlots));
}

void TCellTable::Reset() {
  Empty = true;
  Used.fill(0);
  Count = 0;
  Capacity = 1;
  CellWidth = 0;
  CellHeight = 0;
  Cells.fill(nullptr);
  Thumbnails.fill(nullptr);
  LastTick = GetTickCount();
  Current = 0;
  Started = false;
  MeasuredFps = 0;
  AverageInterval = 1000;
  Flip = false;
  Mirror = false;
  pF = 0;
  pSH = 0;
  pSV = 0;
}

int TCellTable::NextPosition(int p) const {
  if (p + 1 <= Count - 1) {
    return p + 1;
  }
  return Count >= 1 ? 0 : -1;
}

int TCellTable::InsertSlot(int p) {
  const auto free = std::find(Used.begin(), Used.end(), 0);
  if (free == Used.end()) {
    return -1;
  }
  if (p == -1) {
    p = Count;
  }
  p = TPaths::Clamp(p, 0, Count);
  if (Count >= Capacity) {
    return -1;
  }
  std::copy_backward(Order.begin() + p, Order.begin() + Count, Order.begin() + Count + 1);
  Order[p] = static_cast<uint16_t>(free - Used.begin());
  ++Count;
  return p;
}

void TCellTable::RemoveOrderEntry(int p) {
  std::copy(Order.begin() + p + 1, Order.begin() + Count, Order.begin() + p);
  --Count;
}

bool TCellTable::DeletePosition(int p, std::string& error) {
  error = kEmpty;
  if (Empty) {
    return false;
  }
  if (p < 0) {
    p = Count - 1;
  }
  if (p < 0) {
    return false;
  }
  error = kIndexOutOfRange;
  if (p > Count - 1 || Used[Order[p]] == 0) {
    return false;
  }
  const int slot = Order[p];
  Used[slot] = 0;
  Cells[slot].reset();
  Thumbnails[slot].reset();
  RemoveOrderEntry(p);
  if (Count > 0 && Current > Count - 1) {
    Current = NextPosition(Current);  // wraps to the first cell
  }
  if (Count == 0) {
    Reset();
  }
  return true;
}

bool TCellTable::MovePosition(int to, int from, std::string& error) {
  error = kIndexOutOfRange;
  if (to < 0) {
    to = Count - 1;
  }
  if (from < 0) {
    from = Count - 1;
  }
  if (Count == 0 || to < 0 || from < 0 || to > Count - 1 || from > Count - 1) {
    return false;
  }
  if (to == from) {
    return true;
  }
  const uint16_t slot = Order[from];
  if (from < to) {
    std::copy(Order.begin() + from + 1, Order.begin() + to + 1, Order.begin() + from);
  } else {
    std::copy_backward(Order.begin() + to, Order.begin() + from, Order.begin() + from + 1);
  }
  Order[to] = slot;
  return true;
}

bool TCellTable::ReverseOrder() {
  if (Count > 1) {
    std::reverse(Order.begin(), Order.begin() + Count);
  }
  return true;
}

TRect TCellTable::ThumbnailRect(int slot, bool fitted) const {
  if (!fitted) {
    return {0, 0, kThumbSize, kThumbSize};
  }
  return {0, 0, ThumbSizes[slot].Width, ThumbSizes[slot].Height};
}

bool TCellTable::ExportRange(int first, int last, std::string& error, Bitmap* bitmap) const {
  error = kUnexpectedError;
  first = TPaths::Clamp(first, -1, Count - 1);
  last = TPaths::Clamp(last, first, Count - 1);
  if (bitmap == nullptr || first == -1 || last == -1) {
    return false;
  }
  error = kOutOfMemory;
  const int64_t width = int64_t{last - first + 1} * CellWidth;
  Bitmap result;
  if (width > INT32_MAX || !result.Resize(static_cast<int>(width), CellHeight)) {
    return false;
  }
  for (int p = first; p <= last; ++p) {
    const Bitmap& cell = CellAt(p);
    CopyRect(cell, cell.Rect(), result, (p - first) * CellWidth, 0);
  }
  *bitmap = std::move(result);
  return true;
}

}  // namespace torvel
