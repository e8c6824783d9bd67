#include "cells/animation_strip.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "cells/cell_helpers.h"
#include "platform/error_texts.h"
#include "platform/raster.h"
#include "platform/ticks.h"
#include "services/paths.h"
#include "services/services.h"

namespace torvel {

TAnimationStrip::TAnimationStrip() {
  Table.Interval = 1000;
  Table.Transparent = true;
  Table.Empty = false;  // so that Clear performs the full reset
  Clear();
}

TAnimationStrip::~TAnimationStrip() {
  Clear();
  Preview.reset();
}

void TAnimationStrip::SetCurrent(int p) {
  if (!HasCells()) {
    return;
  }
  p = TPaths::Clamp(p, 0, Table.Count - 1);
  if (p == Table.Current) {
    return;
  }
  Table.Started = false;
  Table.Current = p;
  Table.LastTick = GetTickCount();
}

void TAnimationStrip::SetPreview(std::unique_ptr<TCellPreview> preview) {
  Preview = std::move(preview);
}

void TAnimationStrip::RedrawAfterSetting() {
  ShowFrame(false);
}

void TAnimationStrip::SetFlip(bool flip) {
  if (flip != Table.Flip) {
    Table.Flip = flip;
    RedrawAfterSetting();
  }
}

void TAnimationStrip::SetMirror(bool mirror) {
  if (mirror != Table.Mirror) {
    Table.Mirror = mirror;
    RedrawAfterSetting();
  }
}

void TAnimationStrip::SetTransparent(bool transparent) {
  if (transparent != Table.Transparent) {
    Table.Transparent = transparent;
    RedrawAfterSetting();
  }
}

void TAnimationStrip::SetInterval(int ms) {
  const int v = std::min(ms >= 50 ? ms : 0, 2000);
  if (v == Table.Interval) {
    return;
  }
  Table.Interval = v;
  Table.SpeedPercent = 100;
  ShowFrame(false);
}

void TAnimationStrip::Clear() {
  if (Table.Empty) {
    return;
  }
  Table.Reset();
  ShowFrame(false);
}

bool TAnimationStrip::DeleteCell(int p) {
  const bool ok = Table.DeletePosition(p, LastError);
  if (ok && !HasCells()) {
    ShowFrame(false);
  }
  return ok;
}

bool TAnimationStrip::MoveCell(int to, int from) {
  const bool ok = Table.MovePosition(to, from, LastError);
  if (ok) {
    ShowFrame(false);
  }
  return ok;
}

bool TAnimationStrip::HoldsCellsOf(int w, int h) {
  return w >= 1 && h >= 1 && w <= TCellTable::kMostCellSide && h <= TCellTable::kMostCellSide &&
         TCellTable::CapacityFor(w, h) >= 1;
}

bool TAnimationStrip::TakeCellSize(int w, int h) {
  if (!Table.Empty || Table.Count > 0) {
    return true;  // the first cell fixed the size
  }
  if (!HoldsCellsOf(w, h)) {
    LastError = kCapacityReached;
    return false;
  }
  Table.CellWidth = static_cast<uint16_t>(w);
  Table.CellHeight = static_cast<uint16_t>(h);
  Table.Capacity = TCellTable::CapacityFor(w, h);
  return true;
}

int TAnimationStrip::AddCells(Bitmap* picture, int n, int position) {
  LastError = kUnexpectedError;
  int added = 0;
  const bool wasEmpty = Table.Empty;
  const int w = picture != nullptr && n > 0 ? picture->Width() / n : 0;
  if (w >= 1) {
    picture->Transparent = false;
    const int h = picture->Height();
    for (int k = 1; k <= n && TakeCellSize(w, h); ++k) {
      const TRect piece{(k - 1) * w, 0, k * w, h};
      if (!AddOneCell([&] { return FitToCellSize(*picture, piece); }, position)) {
        break;
      }
      ++added;
    }
  }
  return FinishAdding(wasEmpty, added);
}

int TAnimationStrip::AddPictures(const std::vector<TCellPicture>& pictures, int position) {
  LastError = kUnexpectedError;
  int added = 0;
  const bool wasEmpty = Table.Empty;
  for (const TCellPicture& picture : pictures) {
    if (picture == nullptr || picture->IsEmpty() ||
        !TakeCellSize(picture->Width(), picture->Height())) {
      break;
    }
    const auto share = [&] {
      const bool fits =
          picture->Width() == Table.CellWidth && picture->Height() == Table.CellHeight;
      return fits && !picture->Transparent ? picture : FitToCellSize(*picture, picture->Rect());
    };
    if (!AddOneCell(share, position)) {
      break;
    }
    ++added;
  }
  return FinishAdding(wasEmpty, added);
}

int TAnimationStrip::FinishAdding(bool wasEmpty, int added) {
  if (wasEmpty && added >= 1) {
    Table.Empty = false;
  } else if (Table.Empty) {
    // Nothing went in: keep the empty table's size fields as an empty table has them.
    Table.CellWidth = 0;
    Table.CellHeight = 0;
    Table.Capacity = 1;
  }
  ShowFrame(false);
  return added;
}

// The piece as a cell: copied when it has the cell size, otherwise stretched to it (without
// keeping its aspect ratio).
TCellPicture TAnimationStrip::FitToCellSize(const Bitmap& picture, const TRect& piece) const {
  auto cell = std::make_shared<Bitmap>(Bitmap::ForOverwrite(Table.CellWidth, Table.CellHeight));
  if (piece.Width() == Table.CellWidth && piece.Height() == Table.CellHeight) {
    CopyRect(picture, piece, *cell, 0, 0);
  } else {
    StretchRect(picture, piece, *cell, cell->Rect());
  }
  return cell;
}

// Inserts one cell at position and moves position on past it.
bool TAnimationStrip::AddOneCell(const std::function<TCellPicture()>& makeCell, int& position) {
  const int p = Table.InsertSlot(position);
  if (p == -1) {
    LastError = kCapacityReached;
    return false;
  }
  const int slot = Table.Order[p];
  try {
    Table.Cells[slot] = makeCell();
    if (MakesThumbnails) {
      MakeThumbnail(slot);
    }
  } catch (const std::bad_alloc&) {
    Table.Cells[slot].reset();
    Table.Thumbnails[slot].reset();
    Table.RemoveOrderEntry(p);
    LastError = kOutOfMemory;
    return false;
  }
  Table.Used[slot] = 1;
  position = p + 1;
  return true;
}

// The thumbnail is the cell fitted into the 48 x 48 box, never enlarged; the list draws it at
// the box's top-left corner.
void TAnimationStrip::MakeThumbnail(int slot) {
  const double s = FitScale(ThumbSize, Table.CellWidth, ThumbSize, Table.CellHeight);
  TThumbSize& size = Table.ThumbSizes[slot];
  size.Width = std::max(static_cast<int32_t>(RoundHalfEven(Table.CellWidth * s)), 1);
  size.Height = std::max(static_cast<int32_t>(RoundHalfEven(Table.CellHeight * s)), 1);
  auto thumbnail = std::make_shared<Bitmap>(size.Width, size.Height);
  const Bitmap& cell = *Table.Cells[slot];
  StretchRect(cell, cell.Rect(), *thumbnail, thumbnail->Rect());
  Table.Thumbnails[slot] = std::move(thumbnail);
}

bool TAnimationStrip::IsFrameDue() const {
  if (Preview == nullptr || Table.Empty) {
    return false;
  }
  if (Paused) {
    return ShownPosition != Table.Current;
  }
  if (Table.Count < 2) {
    return false;
  }
  if (ShownPosition != Table.Current) {
    return true;
  }
  if (Table.Interval < 1) {
    return false;
  }
  return TickDifference(GetTickCount(), Table.LastTick) >= static_cast<uint32_t>(Table.Interval);
}

void TAnimationStrip::ShowFrame(bool advance) {
  if (Preview == nullptr) {
    return;
  }
  try {
    if (Table.Empty) {
      Preview->Blank();
      ShownPosition = Table.Current;
      shownCell_ = nullptr;
      return;
    }
    if (advance) {
      const uint32_t now = GetTickCount();
      const int64_t weight = std::max<int64_t>(SafeDiv(1000, 2 * int64_t{Table.Interval}), 1);
      const int64_t elapsed = TickDifference(now, Table.LastTick);
      const int64_t average = (elapsed + weight * Table.AverageInterval) / (weight + 1);
      Table.AverageInterval = static_cast<int32_t>(std::min<int64_t>(average, INT32_MAX));
      Table.MeasuredFps =
          static_cast<int32_t>(RoundHalfEven(1000.0 / std::clamp(Table.AverageInterval, 50, 2000)));
      const int64_t percent = RoundHalfEven(Table.Interval * 100.0 / (Table.AverageInterval + 1.0));
      Table.SpeedPercent = static_cast<uint8_t>(std::clamp<int64_t>(percent, 0, 100));
      Table.LastTick = now;
      if (!Table.Started) {
        Table.Started = true;
      } else if (Table.Interval >= 1 && !Paused) {
        Table.Current = Table.NextPosition(Table.Current);
      }
    }
    const TCellPicture& cell = Table.Cells[Table.Order[Table.Current]];
    Preview->ShowCell(cell, Table.Flip, Table.Mirror);
    Preview->SetTransparent(Table.Transparent);
    ShownPosition = Table.Current;
    shownCell_ = cell.get();
  } catch (...) {
    // A frame that cannot be drawn is skipped; the next tick tries again.
  }
}

bool TAnimationStrip::ShowsCurrentCell() const {
  if (Preview == nullptr) {
    return true;
  }
  const Bitmap* current = Table.Empty ? nullptr : Table.Cells[Table.Order[Table.Current]].get();
  return ShownPosition == Table.Current && shownCell_ == current;
}

void TAnimationStrip::ShowLastError() {
  if (TGeneral* general = General()) {
    general->ShowError(LastError);
  }
}

}  // namespace torvel
