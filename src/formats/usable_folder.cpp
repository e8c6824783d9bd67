#include "formats/usable_folder.h"

#include "services/services.h"

namespace torvel {

std::string UsableFolder(const std::string& folder) {
  TPaths* paths = Paths();
  if (paths == nullptr) {
    return {};
  }
  return paths->FolderExists(folder) ? folder : paths->WindowsFolder();
}

}  // namespace torvel
