#pragma once

#include "cells/cell_picture.h"

namespace torvel {

// Where the cell store draws its current cell: the preview panel, or a recording stand-in in
// tests.
class TCellPreview {
 public:
  virtual ~TCellPreview() = default;
  // Shows the cell, turned upside down and/or left to right as asked. The cell may be kept, and
  // recognised when it comes again.
  virtual void ShowCell(const TCellPicture& cell, bool flip, bool mirror) = 0;
  // Shows no picture; nothing happens when already blank.
  virtual void Blank() = 0;
  virtual void SetTransparent(bool transparent) = 0;
};

}  // namespace torvel
