#pragma once

#include <string>

#include "platform/bitmap.h"

namespace torvel {

// The subfolder of the shared company folder that a support file goes to, by the upper-cased
// extension of its name ("Pictures" for ".JPG"); empty for the company folder itself.
std::string SupportSubfolder(const std::string& name);

// Unpacks every support file of the carrier picture's archive into its subfolder of the shared
// company folder. Files that exist already are left as they are. One failing file does not stop
// the others; false, with the last failure's text in `error`, when any failed, when the archive
// cannot be read, or when the company folder cannot be made (nothing is then written anywhere).
bool ExtractSupportFiles(const Bitmap& carrier, std::string& error);

}  // namespace torvel
