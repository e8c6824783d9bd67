#include "services/paths.h"

#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/platform_ui.h"

namespace torvel {
std::string TPaths::AddSeparator(const std::string& path) {
  return !path.empty() && path.back() == '/' ? path : path + "/";
}

std::string TPaths::ProgramsFolder() {
  try {
    return ProgramsRoot();
  } catch (...) {
    return {};
  }
}

std::string TPaths::WindowsFolder() {
  try {
    return SystemRoot();
  } catch (...) {
    return {};
  }
}

std::string TPaths::ProgramsCompanyFolder(const std::string& name) {
  try {
    const std::string root = ProgramsFolder();
    if (root.empty()) {
      return {};
    }
    const std::string path =
        root + kCompanyFolder + "/" + (name.empty() ? std::string() : AddSeparator(name));
    ForceFolders(path);
    return FolderExists(path) ? path : std::string();
  } catch (...) {
    return {};
  }
}

std::string TPaths::WindowsCompanyFolder(const std::string& name) {
  try {
    std::string path = WindowsFolder() + kCompanyFolder + "/" + AddSeparator(name);
    if (name.empty()) {
      path.pop_back();  // AddSeparator("") gives "/", which the company folder already has
    }
    if (!FolderExists(path)) {
      ForceFolders(path);
    }
    return path;
  } catch (...) {
    return {};
  }
}

std::string TPaths::ClipboardObjectFile(const std::string& format) {
  try {
    const std::string folder = ProgramsCompanyFolder("Clipboard");
    return folder.empty() ? folder : folder + "clipboard-object-" + format + "." + format;
  } catch (...) {
    return {};
  }
}

bool TPaths::FolderExists(const std::string& path) {
  return torvel::FolderExists(path);
}

void TPaths::ForceFolders(const std::string& path) {
  try {
    std::string folder = path;
    if (!folder.empty() && folder.back() == '/') {
      folder.pop_back();
    }
    if (folder.empty() || torvel::FolderExists(folder)) {
      return;
    }
    const std::string parent = FolderPart(folder);
    if (!parent.empty() && parent != folder) {
      ForceFolders(parent);
    }
    CreateFolder(folder);
  } catch (...) {
    // Creating folders is best effort; callers test the result themselves.
  }
}

bool TPaths::RemoveFile(const std::string& path) {
  return DeleteFile(path);
}

std::string TPaths::StripExtension(const std::string& path) {
  try {
    const size_t nameStart = FolderPart(path).size();
    const size_t dot = path.find_last_of('.');
    return dot == std::string::npos || dot < nameStart ? path : path.substr(0, dot);
  } catch (...) {
    return {};
  }
}

std::string TPaths::ExtensionOf(const std::string& path) {
  const size_t stem = StripExtension(path).size();
  return stem < path.size() ? path.substr(stem + 1) : std::string();
}

bool TPaths::CopyFileTo(const std::string& source, const std::string& target) {
  try {
    if (!FileExists(source)) {
      return false;
    }
    ForceFolders(FolderPart(target));
    return CopyFileOver(source, target);
  } catch (...) {
    return false;
  }
}

bool TPaths::ShellOpen(const std::string& target, const std::string& parameters) {
  try {
    TPlatformUi* ui = PlatformUi();
    if (ui == nullptr) {
      return false;
    }
    return ui->ShellOpen(target, parameters, FolderPart(target));
  } catch (...) {
    return false;
  }
}

std::string TPaths::OpenFailedText(const std::string& target) {
  return std::string(kTaskFailed) + "\r\n" + target;
}

}  // namespace torvel
