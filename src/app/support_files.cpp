#include "app/support_files.h"

#include <utility>

#include "platform/error_texts.h"
#include "services/carrier.h"
#include "services/general.h"
#include "services/paths.h"
#include "services/services.h"
#include "services/zip_box.h"

namespace torvel {

std::string SupportSubfolder(const std::string& name) {
  static const std::pair<const char*, const char*> kFolders[] = {
      {".JPG", "Pictures"},  {".BMP", "Pictures"},   {".WMF", "Pictures"},  {".EMF", "Pictures"},
      {".TEP", "Pictures"},  {".OMI", "Pictures"},   {".ICO", "Cursors"},   {".ANI", "Cursors"},
      {".CUR", "Cursors"},   {".MID", "Sounds"},     {".RMI", "Sounds"},    {".WAV", "Sounds"},
      {".MP3", "Sounds"},    {".FRM", "Frames"},     {".FRS", "Frames"},    {".MSG", "Documents"},
      {".TXT", "Documents"}, {".SAN", "Animations"}, {".SAG", "Animations"}};
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) {
    return {};
  }
  const std::string extension = UpperCase(name.substr(dot));
  for (const auto& [ending, folder] : kFolders) {
    if (extension == ending) {
      return folder;
    }
  }
  return {};
}

bool ExtractSupportFiles(const Bitmap& carrier, std::string& error) {
  error = kOutOfMemory;
  TPaths* paths = Paths();
  const std::string base = paths != nullptr ? paths->ProgramsCompanyFolder("") : std::string();
  if (base.empty()) {
    error = kOutOfDiskSpace;  // no shared folder to put them in: none are written elsewhere
    return false;
  }
  TZipBox archive;
  if (!LoadCarrier(carrier, archive)) {
    error = archive.LastErrorText;
    return false;
  }
  bool result = true;
  for (int i = 0; i < archive.EntryCount(); ++i) {
    const TBoxItem* entry = archive.EntryAt(i);
    const std::string subfolder = SupportSubfolder(entry->pName);
    const std::string folder = subfolder.empty() ? base : base + subfolder + "/";
    paths->ForceFolders(folder);
    if (!archive.ExtractToFile(entry, folder + entry->pName, false)) {
      error = archive.LastErrorText;
      result = false;
    }
  }
  if (result) {
    error.clear();
  }
  return result;
}

}  // namespace torvel
