// Editing the cells and the one-level undo.
#include <QSignalBlocker>
#include <algorithm>

#include "cells/cell_helpers.h"
#include "editor/animation_edit.h"
#include "editor/busy_scope.h"
#include "editor/cell_list_widget.h"
#include "platform/error_texts.h"
#include "platform/raster.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {
namespace {

bool PutOnClipboard(const Bitmap& picture) {
  TPlatformUi* ui = PlatformUi();
  return ui != nullptr && ui->WriteClipboardPicture(picture);
}

// Other programs take pictures up to 32,767 pixels wide, and a clipboard far larger than
// 256 MiB stalls them; Paste Animation reads the animation from its file either way.
constexpr int64_t kWidestClipboardStrip = 32767;
constexpr int64_t kMostClipboardStripBytes = int64_t{256} << 20;

bool StripFitsOtherPrograms(const TCellTable& table) {
  const int64_t width = int64_t{table.Count} * table.CellWidth;
  // The strip is made as one picture, which has a limit of its own.
  return width <= kWidestClipboardStrip &&
         width * table.CellHeight * 3 <= kMostClipboardStripBytes &&
         Bitmap::IsAllowedSize(width, table.CellHeight);
}

}  // namespace

bool TAnimationEdit::SaveUndo(TUndoKind kind) {
  LastError = kOutOfMemory;
  const bool copied = CopyTableParts(*UndoTable, Strip->Table, kind);
  UndoKind = kind;
  UndoTable->ListIndex = GetSelection();
  Modified = true;
  UpdateCaption();
  return copied;
}

bool TAnimationEdit::Undo() {
  LastError = kUnexpectedError;
  if (!CanUndo()) {
    return false;
  }
  TBusyScope busy(*this);
  LastError = kOutOfMemory;
  try {
    TCellTable& table = Strip->Table;
    SwapTableParts(table, *UndoTable, UndoKind);
    UndoTable->ListIndex = GetSelection();
    Strip->ShowFrame(false);
    RefreshCellList();
    if (UndoKind == TUndoKind::Cells) {  // only a cells snapshot carries its selection
      SelectRow(std::clamp(table.ListIndex, 0, static_cast<int>(table.Count)));
    }
    CellList()->viewport()->update();
    SyncControls();
    UpdateCaption();
    return true;
  } catch (...) {
    return false;
  }
}

bool TAnimationEdit::Clear() {
  LastError = kUnexpectedError;
  if (!CanClear() || !SaveUndo(TUndoKind::Cells)) {
    return false;
  }
  ResetCells();
  return true;
}

bool TAnimationEdit::CanDelete(bool cut) const {
  return !(cut && AutomaticPaste) && IsCellPosition(GetSelection());
}

bool TAnimationEdit::DeleteCells(bool cut) {
  LastError = kUnexpectedError;
  if (!CanDelete(cut)) {
    return false;
  }
  TBusyScope busy(*this);
  const int p = GetSelection();
  if (cut) {
    LastError = kTaskFailed;
    if (!PutOnClipboard(Strip->Table.CellAt(p))) {
      return false;
    }
  }
  return RemoveCell(p);
}

bool TAnimationEdit::RemoveCell(int position) {
  SaveUndo(TUndoKind::Cells);
  const bool removed = Strip->DeleteCell(position);
  if (!removed) {
    LastError = Strip->LastError;
  }
  RefreshCellList();
  UpdateCaption();
  return removed;
}

bool TAnimationEdit::CanCopy(bool all) const {
  if (AutomaticPaste) {
    return false;
  }
  return all ? Strip->Table.Count > 0 : IsCellPosition(GetSelection());
}

bool TAnimationEdit::CopyCells(bool all) {
  LastError = kUnexpectedError;
  if (!CanCopy(all)) {
    return false;
  }
  TBusyScope busy(*this);
  const TCellTable& table = Strip->Table;
  if (!all) {
    LastError = kTaskFailed;
    return PutOnClipboard(table.CellAt(GetSelection()));
  }
  if (StripFitsOtherPrograms(table)) {
    Bitmap picture;
    if (!table.ExportRange(0, table.Count - 1, LastError, &picture)) {
      return false;
    }
    LastError = kTaskFailed;
    if (!PutOnClipboard(picture)) {
      return false;
    }
  } else {
    // Nothing stale stays there for another program to paste as if it were this animation.
    if (TPlatformUi* ui = PlatformUi()) {
      ui->ClearClipboard();
    }
    TellOfStripLeftOff();
  }
  // The whole animation also goes where Paste Animation finds it, in this or another copy of
  // the program, now or after a restart.
  TPaths* paths = Paths();
  LastError = kFileInUse;
  return paths != nullptr &&
         (SaveAnimationFile(paths->ClipboardObjectFile("SAN")) || LastError == kTaskCancelled);
}

// Said once a run of the program: the next Copy All of a long animation is not a surprise.
void TAnimationEdit::TellOfStripLeftOff() {
  TPlatformUi* ui = PlatformUi();
  if (toldStripLeftOff_ || ui == nullptr) {
    return;
  }
  toldStripLeftOff_ = true;
  ui->ShowMessage(Translate("The animation is too large to go on the clipboard as one picture "
                            "for other programs. Paste Special > Animation pastes it whole."),
                  AppName, TMessageIcon::Information, TMessageButtons::Ok);
}

bool TAnimationEdit::Reverse() {
  LastError = kUnexpectedError;
  if (!CanReverse()) {
    return false;
  }
  SaveUndo(TUndoKind::Order);
  LastError = kOutOfMemory;
  Strip->Table.ReverseOrder();
  Strip->ShowFrame(false);
  RefreshCellList();
  SyncControls();
  UpdateCaption();
  return true;
}

bool TAnimationEdit::CellDragOver(int targetRow) const {
  return Strip->Table.Count >= 2 && IsCellPosition(GetSelection()) && IsCellPosition(targetRow);
}

void TAnimationEdit::CellDragDrop(int targetRow) {
  const int source = GetSelection();
  if (targetRow != source && IsCellPosition(targetRow) && IsCellPosition(source)) {
    SaveUndo(TUndoKind::Order);
    if (Strip->MoveCell(targetRow, source)) {
      CellList()->viewport()->update();
    } else {
      Strip->ShowLastError();
    }
  }
  SelectRow(targetRow);
}

}  // namespace torvel
