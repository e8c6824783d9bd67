#pragma once

#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

// Where the cell store draws its current cell: the preview panel, or a recording stand-in in
// tests.
class TCellPreview {
 public:
  virtual ~TCellPreview() = default;
  // Shows the rect of source, turned upside down and/or left to right as asked.
  virtual void ShowCell(const Bitmap& source, const TRect& rect, bool flip, bool mirror) = 0;
  // Shows no picture; nothing happens when already blank.
  virtual void Blank() = 0;
  virtual void SetTransparent(bool transparent) = 0;
};

}  // namespace torvel
