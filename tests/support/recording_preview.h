#pragma once

#include <vector>

#include "cells/cell_preview.h"

namespace torvel::test {

// A preview that remembers what the store asked it to show.
class TRecordingPreview : public TCellPreview {
 public:
  struct TShown {
    TRect Rect;
    bool Flip;
    bool Mirror;
    TColor TopLeft;  // the colour of the shown rectangle's first pixel
  };

  void ShowCell(const Bitmap& source, const TRect& rect, bool flip, bool mirror) override {
    Shown.push_back({rect, flip, mirror, source.Pixel(rect.Left, rect.Top)});
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
