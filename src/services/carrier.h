#pragma once

#include <vector>

#include "platform/bitmap.h"
#include "services/zip_box.h"

namespace torvel {

// A carrier picture holds an archive in its pixel rows: written out as a BMP file image, the
// archive's records start at byte 154 and are followed by at least one zero byte.

// Loads the archive a carrier picture holds, replacing the archive's entries. False, with the
// archive's LastErrorText, when it holds none.
bool LoadCarrier(const Bitmap& carrier, TZipBox& archive);

// A carrier picture of that width holding the entries, at least `rows` high and as many more
// rows as the archive needs; `grewTo` tells how many that was. Empty when an entry cannot be
// written or the picture would be too large.
Bitmap PackCarrier(const std::vector<const TBoxItem*>& entries, int width, int rows,
                   int* grewTo = nullptr);

}  // namespace torvel
