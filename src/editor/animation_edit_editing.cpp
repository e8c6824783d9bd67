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

namespace torvel {
namespace {

bool PutOnClipboard(const Bitmap& picture) {
  TPlatformUi* ui = PlatformUi();
  return ui != nullptr && ui->WriteClipboardPicture(picture);
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
    auto swap = std::make_unique<TCellTable>();
    swap->Cells = NewBitmap();
    swap->Thumbnails = NewBitmap();
    TCellTable& table = Strip->Table;
    const bool copied = CopyTableParts(*swap, table, UndoKind) &&
                        CopyTableParts(table, *UndoTable, UndoKind) &&
                        CopyTableParts(*UndoTable, *swap, UndoKind);
    UndoTable->ListIndex = GetSelection();
    Strip->ShowFrame(false);
    RefreshCellList();
    if (UndoKind == TUndoKind::Cells) {  // only a cells snapshot carries its selection
      const QSignalBlocker quiet(CellList());
      CellList()->setCurrentRow(std::clamp(table.ListIndex, 0, static_cast<int>(table.Count)));
    }
    CellList()->viewport()->update();
    SyncControls();
    UpdateCaption();
    return copied;
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
    LastError = kOutOfMemory;
    const TCellTable& table = Strip->Table;
    Bitmap picture;
    if (!picture.Resize(table.CellWidth, table.CellHeight)) {
      return false;
    }
    CopyRect(table.Cells, table.CellRect(table.Order[p]), picture, 0, 0);
    LastError = kTaskFailed;
    if (!PutOnClipboard(picture)) {
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
  LastError = kOutOfMemory;
  const int first = all ? 0 : GetSelection();
  const int last = all ? Strip->Table.Count - 1 : first;
  Bitmap picture;
  if (!Strip->Table.ExportRange(first, last, LastError, &picture)) {
    return false;
  }
  LastError = kTaskFailed;
  if (!PutOnClipboard(picture)) {
    return false;
  }
  if (!all) {
    return true;
  }
  // The whole animation also goes where Paste Animation finds it, in this or another copy of
  // the program, now or after a restart.
  TPaths* paths = Paths();
  LastError = kFileInUse;
  return paths != nullptr && SaveAnimationFile(paths->ClipboardObjectFile("SAN"));
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
  const QSignalBlocker quiet(CellList());
  CellList()->setCurrentRow(targetRow);
}

}  // namespace torvel
