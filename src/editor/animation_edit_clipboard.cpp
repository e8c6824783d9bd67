// Pictures from the clipboard become cells: Paste, Paste Image Strip and automatic paste.
#include <zlib.h>
#include <QSignalBlocker>

#include <algorithm>

#include "cells/animation_io.h"
#include "editor/animation_edit.h"
#include "editor/busy_scope.h"
#include "editor/cell_list_widget.h"
#include "import/imported_cells.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/qt/bitmap_image.h"
#include "platform/ticks.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {

bool TAnimationEdit::CanPaste() const {
  TPlatformUi* ui = PlatformUi();
  return !AutomaticPaste && ui != nullptr && ui->ClipboardHasPicture();
}

bool TAnimationEdit::CanPasteAnimation(const std::string& format) const {
  TPaths* paths = Paths();
  return !AutomaticPaste && paths != nullptr && FileExists(paths->ClipboardObjectFile(format));
}

bool TAnimationEdit::PasteAnimation(const std::string& format) {
  LastError = kUnexpectedError;
  if (!CanPasteAnimation(format)) {
    return false;
  }
  TBusyScope busy(*this);
  const bool result = LoadAnimationFile(Paths()->ClipboardObjectFile(format), true);
  UpdateCaption();
  return result || LastError == kTaskCancelled;  // a cancel is the user's choice
}

// Reads the clipboard's picture, refusing one too large to hold before it is converted.
bool TAnimationEdit::ReadClipboard(Bitmap& picture) {
  TPlatformUi* ui = PlatformUi();
  LastError = kOutOfMemory;
  TSize size;
  if (ui == nullptr || !ui->ClipboardPictureSize(size)) {
    return false;
  }
  if (!Bitmap::IsDecodableSize(size.Width, size.Height)) {
    LastError = kCapacityReached;
    return false;
  }
  if (size.Width < 1 || size.Height < 1) {
    LastError = kUnexpectedError;  // nothing to paste
    return false;
  }
  return ui->ReadClipboardPicture(picture);
}

int TAnimationEdit::InsertCells(Bitmap* picture, int n, int position) {
  LastError = kIndexOutOfRange;
  if (n <= 0) {
    return 0;
  }
  SaveUndo(TUndoKind::Cells);
  const bool wasEmpty = !Strip->HasCells();
  const bool keyed = picture != nullptr && KeyedAtTopLefts(*picture, n);
  const int accepted = AddPieces(picture, n, position);
  FollowPastedTransparency(keyed, wasEmpty);
  return accepted;
}

// A picture read for pasting becomes the cell itself, without a copy, when it has the cell
// size.
int TAnimationEdit::InsertPicture(Bitmap&& picture, int position) {
  const bool wasEmpty = !Strip->HasCells();
  const bool keyed = KeyedAtTopLefts(picture, 1);
  picture.Transparent = false;  // its key colour is now a colour of the cell
  const int accepted =
      InsertCellPictures({std::make_shared<const Bitmap>(std::move(picture))}, 1, position);
  FollowPastedTransparency(keyed, wasEmpty);
  return accepted;
}

// Whether a picture with transparent parts has its key colour at the top left of each of its n
// pieces, where the preview looks for the colour it leaves out.
bool TAnimationEdit::KeyedAtTopLefts(const Bitmap& picture, int n) {
  const int width = n >= 1 ? picture.Width() / n : 0;
  if (!picture.Transparent || width < 1) {
    return false;
  }
  for (int k = 0; k < n; ++k) {
    if (picture.Pixel(k * width, 0) != picture.TransparentColor) {
      return false;
    }
  }
  return true;
}

// Pictures with transparent parts make a new animation transparent, as opening such a file
// does; cells added to an animation leave its setting alone.
void TAnimationEdit::FollowPastedTransparency(bool keyed, bool wasEmpty) {
  if (keyed && wasEmpty && Strip->HasCells() && !GetTransparent()) {
    Strip->SetTransparent(true);
    SyncControls();
  }
}

int TAnimationEdit::AddPieces(Bitmap* picture, int n, int position) {
  const int accepted = Strip->AddCells(picture, n, position);
  if (accepted != n) {
    LastError = AcceptedCellsText(accepted, n, Strip->LastError);
  }
  if (accepted > 0) {
    RefreshCellList();
  }
  Strip->ShowFrame(false);
  UpdateCaption();
  return accepted;
}

int TAnimationEdit::InsertCellPictures(const std::vector<TCellPicture>& cells, int offered,
                                       int position) {
  LastError = kIndexOutOfRange;
  if (offered <= 0) {
    return 0;
  }
  SaveUndo(TUndoKind::Cells);
  return AddCellPictures(cells, offered, position);
}

int TAnimationEdit::AddCellPictures(const std::vector<TCellPicture>& cells, int offered,
                                    int position) {
  const int accepted = Strip->AddPictures(cells, position);
  if (accepted != offered) {
    // Cells left out before the store saw them were left out for want of room.
    const bool refusedHere = accepted < static_cast<int>(cells.size());
    LastError =
        AcceptedCellsText(accepted, offered, refusedHere ? Strip->LastError : kCapacityReached);
  }
  if (accepted > 0) {
    RefreshCellList();
  }
  Strip->ShowFrame(false);
  UpdateCaption();
  return accepted;
}

// As many cells of the present size as fit, or for an empty store the smallest divisor of the
// width from 2 on.
int TAnimationEdit::ImageStripProposal(int pictureWidth) const {
  const int most = std::clamp(pictureWidth, 1, TCellTable::kSlots);
  if (Strip->HasCells()) {
    return std::clamp(pictureWidth / std::max<int>(Strip->Table.CellWidth, 1), 1, most);
  }
  for (int d = 2; d <= pictureWidth - 1; ++d) {
    if (pictureWidth % d == 0) {
      return d;
    }
  }
  return 1;
}

bool TAnimationEdit::Paste(bool imageStrip) {
  LastError = kUnexpectedError;
  if (!CanPaste()) {
    return false;
  }
  TBusyScope busy(*this);
  Bitmap picture;
  if (!ReadClipboard(picture)) {
    return false;
  }
  int n = 1;
  if (imageStrip && !AskCellCount(picture.Width(), ImageStripProposal(picture.Width()), n)) {
    return true;  // cancelled: nothing changes
  }
  return InsertAtSelection(&picture, n);
}

bool TAnimationEdit::PastePicture(Bitmap& picture) {
  LastError = kUnexpectedError;
  if (!CanPastePictureFiles()) {
    return false;
  }
  TBusyScope busy(*this);
  return InsertAtSelection(&picture, 1);
}

bool TAnimationEdit::InsertAtSelection(Bitmap* picture, int n) {
  const int selected = GetSelection();
  const int accepted =
      n == 1 ? InsertPicture(std::move(*picture), selected) : InsertCells(picture, n, selected);
  if (accepted == 0 || accepted != n) {
    return false;
  }
  SelectRow(selected + n);
  return true;
}

void TAnimationEdit::SelectRow(int row) {
  {
    const QSignalBlocker quiet(CellList());
    CellList()->setCurrentRow(row);
  }
  if (IsCellPosition(row)) {
    Strip->SetCurrent(row);
  }
  DrawCurrentMarker();
  ShowChangesSoon();
}

bool TAnimationEdit::PastePictureFiles(const std::vector<std::string>& fileNames) {
  LastError = kUnexpectedError;
  if (!CanPastePictureFiles() || fileNames.empty()) {
    return false;
  }
  TBusyScope busy(*this);
  std::vector<TImportedCells> pictures(fileNames.size());
  for (size_t i = 0; i < fileNames.size(); ++i) {
    std::string error;
    if (!ReadDroppedPicture(fileNames[i], pictures[i], error)) {
      LastError = FilePart(fileNames[i]) + "\n" + error;  // each line is translated when shown
      return false;
    }
  }
  const int selected = GetSelection();
  SaveUndo(TUndoKind::Cells);
  const bool wasEmpty = !Strip->HasCells();
  int pasted = 0;
  bool complete = true;
  for (TImportedCells& picture : pictures) {
    const int added = AddCellPictures(picture.Cells, picture.Offered, selected + pasted);
    pasted += added;
    if (added != picture.Offered) {
      complete = false;
      break;
    }
  }
  if (pasted > 0) {
    FollowPastedTransparency(pictures.front().Transparent, wasEmpty);
    SelectRow(selected + pasted);
  }
  return complete;
}

namespace {

// Tells pictures apart without keeping a copy of them: their size and zlib's checksum of their
// rows.
uint64_t PictureFingerprint(const Bitmap& picture) {
  uLong sum = crc32(0, nullptr, 0);
  for (int y = 0; y < picture.Height(); ++y) {
    sum = crc32(sum, picture.Row(y), static_cast<uInt>(3 * picture.Width()));
  }
  const uint64_t size = static_cast<uint64_t>(picture.Width()) << 16 ^ picture.Height();
  return size << 32 ^ sum;
}

}  // namespace

void TAnimationEdit::SetAutomaticPaste(bool on) {
  if (on) {
    TPlatformUi* ui = PlatformUi();
    if (ui == nullptr) {
      return;
    }
    if (!ui->SeesClipboardWithoutFocus() && !toldClipboardNeedsFocus_) {
      toldClipboardNeedsFocus_ = true;  // once a run is enough
      ui->ShowMessage(Translate("This desktop shows the clipboard to a program only while one of "
                                "its windows has the focus, so automatic paste takes only the "
                                "picture copied last, once you return to Torvel."),
                      AppName, TMessageIcon::Information, TMessageButtons::Ok);
    }
    ui->ClearClipboard();
    RememberPictureLeftOnClipboard();
  }
  AutomaticPaste = on;
  ShowChangesSoon();
}

// The clipboard belongs to another program and may refuse to be emptied. A picture that stays
// there was copied before automatic paste started (or was just taken), so it is not taken again
// until the clipboard holds another.
void TAnimationEdit::RememberPictureLeftOnClipboard() {
  leftOnClipboard_.reset();
  Bitmap picture;
  TPlatformUi* ui = PlatformUi();
  if (ui != nullptr && ui->ClipboardHasPicture() && ReadClipboard(picture)) {
    leftOnClipboard_ = PictureFingerprint(picture);
  }
}

bool TAnimationEdit::IsPictureLeftOnClipboard() {
  if (!leftOnClipboard_) {
    return false;
  }
  Bitmap picture;
  if (ReadClipboard(picture) && PictureFingerprint(picture) == *leftOnClipboard_) {
    return true;
  }
  leftOnClipboard_.reset();  // the clipboard has moved on
  return false;
}

bool TAnimationEdit::PollClipboard() {
  LastError = kOutOfMemory;
  TPlatformUi* ui = PlatformUi();
  if (ui == nullptr || !ui->ClipboardHasPicture()) {
    leftOnClipboard_.reset();
    return true;
  }
  if (IsPictureLeftOnClipboard()) {
    return true;
  }
  if (Strip->Table.Count >= Strip->Table.Capacity) {
    LastError = kCapacityReached;
    SetAutomaticPaste(false);
    return false;
  }
  bool result = false;
  {
    TBusyScope busy(*this);
    ShowCaption(Translate("Working"));
    Bitmap picture;
    if (ReadClipboard(picture)) {
      ui->ClearClipboard();  // so that the same picture is not taken twice
      RememberPictureLeftOnClipboard();
      const int selected = GetSelection();
      if (InsertPicture(std::move(picture), selected) == 1) {
        SelectRow(selected + 1);
        SleepMs(kAutoPastePauseMs);
        result = true;
      }
    }
    UpdateCaption();
  }
  return result;
}

}  // namespace torvel
