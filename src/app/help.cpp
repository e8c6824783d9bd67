#include "app/help.h"

#include <sstream>

#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/carrier.h"
#include "services/scramble.h"
#include "services/services.h"
#include "services/stored_texts.h"

namespace torvel {

THelp::THelp(const std::string& name, Bitmap* carrier)
    : HelpName(FolderName(name.empty() ? StoredText(stored_texts::kHelpDefaultName, 0) : name)) {
  LoadFromBitmap(carrier, true);
}

THelp::~THelp() {
  RemovePages();
}

std::string THelp::FolderName(const std::string& name) {
  std::string result = name;
  for (char& c : result) {
    if (c == '*' || c == '?' || c == ' ' || c == '/' || c == '\\') {
      c = '_';
    }
  }
  return result;
}

bool THelp::LoadFromBitmap(Bitmap* carrier, bool shrink) {
  LastErrorText = kOutOfMemory;
  Archive.ClearEntries();
  if (carrier == nullptr) {
    return false;
  }
  if (!LoadCarrier(*carrier, Archive)) {
    LastErrorText = Archive.LastErrorText;
    return false;
  }
  if (shrink) {
    carrier->Resize(1, 1);
  }
  return true;
}

std::string THelp::HelpFolder() {
  if (folder_.empty()) {
    TPaths* paths = Paths();
    if (paths != nullptr) {
      folder_ = TPaths::AddSeparator(paths->WindowsCompanyFolder("Help") + HelpName);
    }
  }
  return folder_;
}

std::string THelp::PageFile(const std::string& name) {
  return HelpFolder() + name;
}

bool THelp::ExtractPages() {
  LastErrorText = kFileInUse;
  TPaths* paths = Paths();
  const std::string folder = HelpFolder();
  if (paths == nullptr || folder.size() < 2) {
    return false;
  }
  // A file carrying the folder's name is in the way.
  if (!paths->RemoveFile(folder.substr(0, folder.size() - 1))) {
    return false;
  }
  paths->ForceFolders(folder);
  LastErrorText = kOutOfDiskSpace;
  if (!FolderExists(folder)) {
    return false;
  }
  if (FileExists(folder + StoredText(stored_texts::kHelpMarkerFile, 0))) {
    return true;
  }
  for (int i = 0; i < Archive.EntryCount(); ++i) {
    const TBoxItem* entry = Archive.EntryAt(i);
    if (!Archive.ExtractToFile(entry, PageFile(entry->pName), false)) {
      LastErrorText = Archive.LastErrorText;
      return false;
    }
  }
  return true;
}

bool THelp::ShowPage(const std::string& name) {
  LastErrorText = kOutOfMemory;
  if (!ExtractPages()) {
    return false;
  }
  LastErrorText = kFileNotFound;
  if (!FileExists(PageFile(name))) {
    return false;
  }
  TPaths* paths = Paths();
  if (paths != nullptr && !paths->ShellOpen(PageFile(name), "")) {
    LastErrorText = TPaths::OpenFailedText(PageFile(name));
    return false;
  }
  return true;
}

void THelp::ShowLastError() {
  if (TGeneral* general = General()) {
    general->ShowError(LastErrorText);
  }
}

void THelp::RemovePages() {
  try {
    TGeneral* general = General();
    TPaths* paths = Paths();
    const std::string folder = HelpFolder();
    if (general == nullptr || paths == nullptr || folder.empty()) {
      return;
    }
    std::istringstream names(
        general->ListFiles(folder + StoredText(stored_texts::kHelpCleanupMask, 0), false));
    std::string name;
    while (std::getline(names, name)) {
      if (!name.empty() && name.back() == '\r') {
        name.pop_back();
      }
      if (!name.empty()) {
        paths->RemoveFile(PageFile(name));
      }
    }
    RemoveEmptyFolder(folder.substr(0, folder.size() - 1));
  } catch (...) {
    // Whatever cannot be removed stays.
  }
}

}  // namespace torvel
