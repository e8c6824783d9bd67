#pragma once

#include <memory>

#include "platform/bitmap.h"

namespace torvel {

// A cell's pixels, or its thumbnail. Pictures are never changed once made: a change makes a new
// one, so the undo snapshot, the preview and an export share the same picture safely.
using TCellPicture = std::shared_ptr<const Bitmap>;

}  // namespace torvel
