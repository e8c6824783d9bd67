#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "cells/cell_picture.h"
#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

struct TThumbSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// A whole animation state: each cell's picture and thumbnail, and the order and playback fields.
//
// A slot is a place for one cell; a position is a cell's place in the animation. Order maps
// positions to slots. Slots are reused, so after deletions and moves slot numbers and positions
// no longer agree; everything the user sees works on positions.
//
// Copying a table copies references to the pictures, not their pixels.
class TCellTable {
 public:
  static constexpr int kSlots = 21846;
  static constexpr int kThumbSize = 48;
  // The most bytes of 24-bit cell pixels an animation holds, all cells together (2 GiB: about
  // 340 full-HD cells).
  static constexpr int64_t kMostCellBytes = int64_t{1} << 31;
  // Cell sides are stored in 16 bits.
  static constexpr int kMostCellSide = 65535;

  std::array<uint8_t, kSlots> Used{};    // 1 when the slot holds a cell
  std::array<uint16_t, kSlots> Order{};  // slot at each position; entries from Count on are stale
  uint16_t Count = 0;
  std::array<TCellPicture, kSlots> Cells;       // each slot's CellWidth x CellHeight picture
  std::array<TCellPicture, kSlots> Thumbnails;  // each slot's thumbnail, of its ThumbSizes
  std::array<TThumbSize, kSlots> ThumbSizes{};  // fitted thumbnail size inside the 48 x 48 box
  uint16_t CellWidth = 0;                       // shared by all cells; 0 when empty
  uint16_t CellHeight = 0;
  int32_t Capacity = 1;  // most cells for the current cell size; 1 when empty
  bool Empty = true;
  bool Transparent = false;
  int32_t Interval = 0;  // milliseconds between frames; 0 is still, otherwise 50..2000
  int32_t MeasuredFps = 0;
  int32_t AverageInterval = 1000;  // smoothed milliseconds between shown frames
  uint8_t SpeedPercent = 0;        // achieved speed in percent of the asked one
  uint32_t LastTick = 0;           // tick of the last frame change or jump
  int32_t Current = 0;             // position shown, or to be shown, in the preview
  bool Started = false;            // false after a reset or jump: the next frame does not advance
  bool Flip = false;
  bool Mirror = false;
  // Carried for the animation file only.
  uint8_t pF = 0;
  int32_t pSH = 0;
  int32_t pSV = 0;
  int32_t ListIndex = 0;  // the editor's cell-list selection, restored with an undo snapshot

  // Largest Count for cells of w x h: every slot, as long as the cells' pixels stay within
  // kMostCellBytes; 0 when a single cell is larger than that.
  static int32_t CapacityFor(int w, int h);

  // Empties the table and lets go of its pictures. Transparent, Interval, ListIndex and the
  // stale Order and ThumbSizes entries are kept.
  void Reset();
  // The position after p, wrapping to 0; -1 when empty.
  int NextPosition(int p) const;
  // Takes the lowest free slot and inserts it at position p (-1: at the end; clamped into
  // 0..Count). Returns the position, or -1 when no slot is free or Count has reached Capacity.
  // The caller marks the slot used once its picture is in place.
  int InsertSlot(int p);
  // Removes the cell at position p (-1: the last).
  bool DeletePosition(int p, std::string& error);
  // Moves the cell at position from to position to (negative: the last); Current stays.
  bool MovePosition(int to, int from, std::string& error);
  bool ReverseOrder();

  // The picture of the cell at a position, which must hold one.
  const Bitmap& CellAt(int position) const { return *Cells[Order[position]]; }
  // The fitted thumbnail's rectangle in the slot's thumbnail, or the whole 48 x 48 box.
  TRect ThumbnailRect(int slot, bool fitted) const;
  // Copies the cells at positions first..last side by side into the bitmap; "Out of memory"
  // when that picture would be larger than a picture may be.
  bool ExportRange(int first, int last, std::string& error, Bitmap* bitmap) const;

  // Drops position p from Order without touching its slot's flag (undoes an InsertSlot).
  void RemoveOrderEntry(int p);
};

}  // namespace torvel
