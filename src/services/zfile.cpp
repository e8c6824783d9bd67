#include "services/zfile.h"

#include <chrono>
#include <cmath>

#include "platform/files.h"
#include "services/paths.h"
#include "services/services.h"

namespace torvel {
namespace {

double NowInSeconds() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

TZFile::~TZFile() {
  PurgeTemporaryFiles();
}

int TZFile::PurgeTemporaryFiles() {
  try {
    TPaths* paths = Paths();
    if (paths == nullptr) {
      return 0;
    }
    const std::string folder = paths->WindowsCompanyFolder("") + "TEMP/";
    if (!paths->FolderExists(folder)) {
      return 0;
    }
    const double now = NowInSeconds();
    int deleted = 0;
    for (const TFolderEntry& entry : ListFolder(folder)) {
      if (entry.IsFolder || !MatchesMask(entry.Name, "*.ZMP")) {
        continue;
      }
      // File times are compared at the two-second precision the maker's programs store them in.
      const auto written = static_cast<double>(entry.LastWriteTime - entry.LastWriteTime % 2);
      if (std::fabs(now - written) >= kStaleSeconds && paths->RemoveFile(folder + entry.Name)) {
        if (++deleted == kMostDeletionsPerPurge) {
          break;
        }
      }
    }
    return deleted;
  } catch (...) {
    return 0;
  }
}

}  // namespace torvel
