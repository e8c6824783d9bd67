#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

struct TThumbSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// A whole animation state in fixed-size arrays: the cells' pixels side by side in one shared
// bitmap, their thumbnails in another, and the order and playback fields.
//
// A slot is a place in the shared bitmaps; a position is a cell's place in the animation.
// Order maps positions to slots. Slots are reused, so after deletions and moves slot numbers
// and positions no longer agree; everything the user sees works on positions.
class TCellTable {
 public:
  static constexpr int kSlots = 21846;
  static constexpr int kThumbSize = 48;
  // Largest width of the shared cell bitmap, unless a single cell is wider.
  static constexpr int kMostCellsWidth = 21845;
  // Most bytes of cell pixels the table holds.
  static constexpr int64_t kMostCellBytes = 12'000'000;
  // Cell sides are stored in 16 bits.
  static constexpr int kMostCellSide = 65535;

  std::array<uint8_t, kSlots> Used{};    // 1 when the slot holds a cell
  std::array<uint16_t, kSlots> Order{};  // slot at each position; entries from Count on are stale
  uint16_t Count = 0;
  Bitmap Cells;       // slot s at x = s*CellWidth .. (s+1)*CellWidth, y = 0 .. CellHeight
  Bitmap Thumbnails;  // slot s in the 48 x 48 box at x = s*48
  std::array<TThumbSize, kSlots> ThumbSizes{};  // fitted thumbnail size inside each box
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

  // Largest Count for cells of w x h: at most 21845 pixels of cells side by side (at least one
  // cell) and at most 12,000,000 bytes of cell pixels.
  static int32_t CapacityFor(int w, int h);

  // Empties the table. Transparent, Interval, ListIndex and the stale Order and ThumbSizes
  // entries are kept.
  void Reset();
  // The position after p, wrapping to 0; -1 when empty.
  int NextPosition(int p) const;
  // Takes the lowest free slot and inserts it at position p (-1: at the end; clamped into
  // 0..Count). Returns the position, or -1 when no slot is free or Count has reached Capacity.
  // The caller marks the slot used once its pixels are in place.
  int InsertSlot(int p);
  // Removes the cell at position p (-1: the last).
  bool DeletePosition(int p, std::string& error);
  // Moves the cell at position from to position to (negative: the last); Current stays.
  bool MovePosition(int to, int from, std::string& error);
  bool ReverseOrder();

  TRect CellRect(int slot) const;
  TRect ThumbnailRect(int slot, bool fitted) const;
  // Copies the cells at positions first..last side by side into the bitmap.
  bool ExportRange(int first, int last, std::string& error, Bitmap* bitmap) const;

  // Drops position p from Order without touching its slot's flag (undoes an InsertSlot).
  void RemoveOrderEntry(int p);
};

}  // namespace torvel
