// The document: reading and writing animation files, New, Open, Save, Save As, the question
// before closing, View Folder and Help, and the file name the caption shows.
#include <QSignalBlocker>

#include "cells/animation_io.h"
#include "editor/animation_edit.h"
#include "editor/busy_scope.h"
#include "editor/cell_list_widget.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {
namespace {

constexpr const char* kUntitled = "Untitled.san";

}  // namespace

void TAnimationEdit::SetFileName(const std::string& name) {
  FileName = name;
  DisplayName = FilePart(name);
  OpenDialogSettings.FileName = FolderPart(name);
  SaveDialogSettings.FileName = name;
}

// --- animation files ---

bool TAnimationEdit::WriteAnimationStream(TStream& stream) {
  return WriteAnimation(Strip->Table, stream, LastError);
}

// A long save shows its progress, and may be cancelled, leaving the previous file as it was.
bool TAnimationEdit::SaveAnimationFile(const std::string& fileName) {
  const TCellTable& table = Strip->Table;
  const bool saved = RunWithProgress(Translate("Saving") + " " + FilePart(fileName),
                                     [&](const TExportProgress& progress, std::string& error) {
                                       return SaveAnimation(table, fileName, error, progress);
                                     });
  if (!saved) {
    NameFileInError(fileName);
  }
  return saved;
}

void TAnimationEdit::NameFileInError(const std::string& fileName) {
  if (LastError != kTaskCancelled && LastError.find('\n') == std::string::npos) {
    LastError += "\r\n" + fileName;
  }
}

bool TAnimationEdit::LoadAnimationFile(const std::string& fileName, bool append) {
  std::unique_ptr<TFileStream> file = OpenAnimationFile(fileName, LastError);
  if (!file) {
    return false;
  }
  return ReadAnimationStream(*file, append);
}

// Everything that can be checked is checked before the store is emptied, so that a file that
// cannot be loaded leaves the animation on screen as it was.
//
// A file with more cells than the store holds opens with those that fit, when it replaces the
// animation (partlyRead_ tells the caller), and adds those that fit when appended.
bool TAnimationEdit::ReadAnimationStream(TStream& stream, bool append) {
  partlyRead_ = false;
  TAnimationContents contents;
  const TCellRoom room = append ? StoreRoom() : EmptyStoreRoom;
  // A long read shows its progress, and may be cancelled; the store is touched only after it.
  if (!RunWithProgress(Translate("Opening"),
                       [&](const TExportProgress& progress, std::string& error) {
                         return ReadAnimation(stream, contents, error, room, progress);
                       })) {
    return false;
  }
  const int n = contents.CellCount();
  if (n <= 0) {
    LastError = kUnsupportedFormat;  // no picture, or one narrower than a cell: nothing to open
    return false;
  }
  if (!append) {
    if (contents.Cells.empty()) {
      LastError = AcceptedCellsText(0, n, kCapacityReached);
      return false;
    }
    ResetCells();
  }
  const bool wasEmpty = !Strip->HasCells();
  const int selected = GetSelection();
  const int k = InsertCellPictures(contents.Cells, n, selected);
  if (k == 0 || (k != n && append)) {
    return false;
  }
  partlyRead_ = k != n;
  if (wasEmpty) {
    ApplyAnimationSettings(*Strip, contents.Record);
    Strip->ShowFrame(false);
    SyncControls();
  }
  if (append) {
    SelectRow(selected + k);
  }
  return true;
}

// --- document commands ---

bool TAnimationEdit::New(bool ask) {
  LastError = kUnexpectedError;
  if (ask && !QueryClose()) {
    return true;  // cancelled: nothing changes
  }
  TBusyScope busy(*this);
  if (!SaveUndo(TUndoKind::None)) {
    return false;
  }
  ResetCells();
  Modified = false;
  Named = false;
  SetFileName(FolderPart(FileName) + kUntitled);
  UpdateCaption();
  return true;
}

bool TAnimationEdit::Open(const std::string& startFolder) {
  return RunOpenDialog(OpenDialogSettings, startFolder);
}

bool TAnimationEdit::RunOpenDialog(TOpenInfo& settings, const std::string& startFolder) {
  LastError = kUnexpectedError;
  settings.FileName = FolderPart(settings.FileName) + DisplayName;
  TOpenHandler* dialogs = FileDialogs();
  std::string chosen;
  if (dialogs == nullptr ||
      !dialogs->RunFileDialog(settings, TFileDialogKind::Open, chosen, startFolder)) {
    return true;
  }
  settings.FileName = chosen;
  // The file replaces the animation, so unsaved changes are offered for saving first.
  return OpenOverUnsavedWork(chosen);
}

bool TAnimationEdit::OpenOverUnsavedWork(const std::string& fileName) {
  const bool hadChanges = Modified;
  if (!QueryClose()) {
    return true;  // cancelled: nothing changes
  }
  TBusyScope busy(*this);
  if (OpenFile(fileName)) {
    return true;
  }
  // The animation is unchanged, so its changes are still unsaved, whatever was answered.
  Modified = hadChanges;
  UpdateCaption();
  return false;
}

bool TAnimationEdit::OpenFile(const std::string& fileName) {
  if (IsPictureDocument(fileName)) {
    const bool opened = OpenPictureFile(fileName);
    if (!opened) {
      NameFileInError(fileName);
    }
    UpdateCaption();
    return opened;
  }
  const bool result = LoadAnimationFile(fileName, false);
  if (!result && LastError == kTaskCancelled) {
    return true;  // the user stopped it: nothing changed
  }
  if (!result) {
    NameFileInError(fileName);
  }
  if (result && partlyRead_) {
    // Saving must never put the part over the whole: the part is a new, unnamed animation.
    const std::string accepted = LastError;
    NameAfterPicture(fileName);
    LastError = accepted;
    ShowLastError();
  } else if (result) {
    SaveUndo(TUndoKind::None);  // nothing to undo after opening
    Named = true;
    SetFileName(fileName);
    Modified = false;
    NoteFileUsed(fileName);
  }
  UpdateCaption();
  return result;
}

TCellRoom TAnimationEdit::StoreRoom() const {
  if (!Strip->HasCells()) {
    return EmptyStoreRoom;
  }
  const int room = Strip->Table.Capacity - Strip->Table.Count;
  return [room](int, int) { return room; };
}

bool TAnimationEdit::Save() {
  TBusyScope busy(*this);
  return SaveToFile(FileName);
}

bool TAnimationEdit::SaveToFile(const std::string& name) {
  const bool result = SaveAnimationFile(name);
  if (!result && LastError == kTaskCancelled) {
    return true;  // the user stopped it: the file and the document stay as they were
  }
  if (result) {
    Named = true;
    SetFileName(name);
    Modified = false;
    NoteFileUsed(name);
  }
  UpdateCaption();
  return result;
}

bool TAnimationEdit::SaveAs(const std::string& startFolder) {
  return RunSaveAsDialog(SaveDialogSettings, startFolder);
}

std::string TAnimationEdit::ForceExtension(const std::string& chosen, int filterIndex) {
  if (filterIndex != 1) {
    return chosen;  // the only filter is that of animation files
  }
  if (UpperCase(TPaths::ExtensionOf(chosen)) == "SAN") {
    return chosen;
  }
  return TPaths::StripExtension(chosen) + ".SAN";
}

bool TAnimationEdit::ConfirmReplace(const std::string& fileName) {
  TPlatformUi* ui = PlatformUi();
  const std::string text = fileName + "\n" + Translate("This file already exists.") + "\n\n" +
                           Translate("Replace existing file") + Translate("?");
  return ui != nullptr && ui->ShowMessage(text, AppName, TMessageIcon::Warning,
                                          TMessageButtons::YesNo) == TMessageAnswer::Yes;
}

bool TAnimationEdit::RunSaveAsDialog(TOpenInfo& settings, const std::string& startFolder) {
  LastError = kUnexpectedError;
  if (!CanSaveAs()) {
    return false;
  }
  TOpenHandler* dialogs = FileDialogs();
  std::string chosen;
  for (;;) {
    if (dialogs == nullptr ||
        !dialogs->RunFileDialog(settings, TFileDialogKind::Save, chosen, startFolder)) {
      return true;
    }
    chosen = ForceExtension(chosen, settings.FilterIndex);
    if (!FileExists(chosen) || ConfirmReplace(chosen)) {
      break;
    }
  }
  settings.FileName = chosen;
  TBusyScope busy(*this);
  return SaveToFile(chosen);
}

bool TAnimationEdit::QueryClose() {
  if (!Modified) {
    return true;
  }
  TPlatformUi* ui = PlatformUi();
  if (ui == nullptr) {
    return false;
  }
  const std::string question = Translate("Save Changes to") + " " + FilePart(FileName) + "?";
  switch (ui->ShowMessage(question, AppName, TMessageIcon::Warning, TMessageButtons::YesNoCancel)) {
    case TMessageAnswer::Yes:
      if (!SaveAs("")) {
        ShowLastError();
      }
      return !Modified;  // a cancelled Save As keeps the program open
    case TMessageAnswer::No:
      Modified = false;
      return true;
    default:
      return false;
  }
}

bool TAnimationEdit::CanViewFolder() const {
  return FolderExists(FolderPart(FileName));
}

bool TAnimationEdit::ViewFolder() {
  LastError = kPathNotFound;
  TPaths* paths = Paths();
  if (!CanViewFolder() || paths == nullptr) {
    return false;
  }
  if (!paths->ShellOpen(FolderPart(FileName), "")) {
    LastError = TPaths::OpenFailedText(FolderPart(FileName));
    return false;
  }
  return true;
}

bool TAnimationEdit::ShowHelp() {
  LastError = kUnexpectedError;
  if (!HelpHandler) {
    return false;
  }
  TBusyScope busy(*this);
  return HelpHandler(*this);
}

}  // namespace torvel
