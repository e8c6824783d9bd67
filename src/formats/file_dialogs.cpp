#include "formats/file_dialogs.h"

#include "formats/usable_folder.h"
#include "platform/files.h"
#include "services/lazy_service.h"

namespace torvel {
namespace {

std::unique_ptr<TOpenHandler> handler;

bool IsSave(TFileDialogKind kind) {
  return kind == TFileDialogKind::Save || kind == TFileDialogKind::SaveWithPreview;
}

TFileDialogKind PlainKind(TFileDialogKind kind) {
  return IsSave(kind) ? TFileDialogKind::Save : TFileDialogKind::Open;
}

}  // namespace

bool TOpenHandler::RunFileDialog(TOpenInfo& info, TFileDialogKind kind, std::string& fileName,
                                 const std::string& startFolder) {
  fileName.clear();
  try {
    return Run(info, kind, fileName, startFolder);
  } catch (...) {
    if (kind == PlainKind(kind)) {
      return false;
    }
  }
  // A dialog with a picture preview that fails gives way to the plain one.
  try {
    return Run(info, PlainKind(kind), fileName, startFolder);
  } catch (...) {
    return false;
  }
}

bool TOpenHandler::Run(TOpenInfo& info, TFileDialogKind kind, std::string& fileName,
                       const std::string& startFolder) {
  TPlatformUi* ui = PlatformUi();
  if (ui == nullptr) {
    return false;
  }
  TFileDialogRequest request;
  request.Kind = kind;
  request.DefaultExt = info.DefaultExt;
  request.Options = static_cast<int>(info.Options);
  request.Filter = info.Filter;
  request.FilterIndex = info.FilterIndex;
  request.Title = info.Title;
  request.FileName = IsSave(kind) ? FilePart(info.FileName) : "";
  request.Folder = UsableFolder(startFolder.empty() ? FolderPart(info.FileName) : startFolder);
  int filterIndex = info.FilterIndex;
  const bool confirmed = ui->RunFileDialog(request, fileName, filterIndex);
  info.FilterIndex = filterIndex;
  return confirmed;
}

TOpenHandler* FileDialogs() {
  return CreateOnFirstUse(handler);
}

void ReleaseFileDialogs() {
  handler.reset();
}

}  // namespace torvel
