#pragma once

#include <string>

#include "platform/bitmap.h"

namespace torvel {

class TZipBox;

// The carrier picture built into the program under that name ("cri.bmp", "sup_help.bmp",
// "sup_files.bmp"); empty when the program holds none or it does not decode.
Bitmap CarrierPicture(const std::string& name);

// Loads the archive a carrier picture holds, replacing the archive's entries: the picture is
// written out as a BMP file image, in which the archive starts at byte 154. False, with the
// archive's LastErrorText, when it holds none.
bool LoadCarrier(const Bitmap& carrier, TZipBox& archive);

}  // namespace torvel
