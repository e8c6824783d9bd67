#pragma once

#include <string>

#include "platform/bitmap.h"

namespace torvel {

// The carrier picture built into the program under that name ("cri.bmp", "sup_help.bmp",
// "sup_files.bmp"); empty when the program holds none or it does not decode.
Bitmap CarrierPicture(const std::string& name);

}  // namespace torvel
