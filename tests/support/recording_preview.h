#pragma once

#include <vector>

#include "cells/cell_preview.h"

namespace torvel::test {

// A preview that remembers what the store asked it to show.
class TRecordingPreview : public TCellPreview {
 public:
  struct TShown {
    const Bitmap* Cell;  // the picture shown
    bool Flip;
    bool Mirror;
    TColor TopLeft;  // the colour of its first pixel
  };

  void ShowCell(const TCellPicture& cell, bool flip, bool mirror) override {
    Shown.push_back({cell.get(), flip, mirror, cell->Pixel(0, 0)});
    IsBlank = false;
  }
  void Blank() override {
    if (!IsBlank) {
      ++Blanks;
      IsBlank = true;
    }
  }
  void SetTransparent(bool transparent) override { Transparent = transparent; }

  std::vector<TShown> Shown;
  int Blanks = 0;
  bool IsBlank = true;
  bool Transparent = false;
};

}  // namespace torvel::test
