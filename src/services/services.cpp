#include "services/services.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>

#include "platform/files.h"
#include "services/lazy_service.h"
#include "services/translate.h"
#include "services/zip_box.h"

namespace torvel {
namespace {

std::unique_ptr<TGeneral> general;
std::unique_ptr<TPaths> paths;
std::unique_ptr<TZFile> zfile;

}  // namespace

TGeneral* General() {
  return CreateOnFirstUse(general);
}
TPaths* Paths() {
  return CreateOnFirstUse(paths);
}
TZFile* ZFile() {
  return CreateOnFirstUse(zfile);
}

void StartServices() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  zfile.reset();
  paths.reset();
  general.reset();
  ReleaseTranslationTables();
}

void RunProgramEndCleanup() {
  try {
    // Named while the folder services still exist; deleted as the last step.
    std::string printerScratch;
    if (TPaths* p = Paths()) {
      printerScratch = p->WindowsCompanyFolder("Settings") + "TImagePrinter.BMP";
    }
    if (TZFile* z = ZFile()) {
      z->PurgeTemporaryFiles();
    }
    zfile.reset();  // purges a second time
    ReleaseZipHandler();
    paths.reset();
    general.reset();
    ReleaseTranslationTables();
    if (!printerScratch.empty()) {
      DeleteFile(printerScratch);
    }
  } catch (...) {
    // The program is ending; nothing is left to report to.
  }
}

}  // namespace torvel
