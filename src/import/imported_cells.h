#pragma once

#include <string>
#include <vector>

#include "cells/cell_picture.h"
#include "import/decoded_frames.h"
#include "platform/key_colour.h"

namespace torvel {

// An animation file's frames made into cells the store takes.
struct TImportedCells {
  std::vector<TCellPicture> Cells;  // all of the same size
  int Count() const { return static_cast<int>(Cells.size()); }
  // How many cells the file holds: more than Count() when the store had room for fewer.
  int Offered = 0;
  // Every transparent pixel has a colour no frame uses, and Transparent is switched on only when
  // each cell's top-left pixel is transparent, so that it never hides a colour the file shows.
  bool Transparent = false;
};

// Makes each frame one cell, or cuts a single frame into cellsPerFrame cells of equal width as
// an image strip is (columns left over on the right are dropped). Each frame's pixels are let go
// of once its cells are made, so that the frames and the cells are not held twice. False with
// "Out of memory" or "Capacity reached" when the cells cannot be made.
bool CellsFromFrames(TDecodedFrames& frames, int cellsPerFrame, TImportedCells& cells,
                     std::string& error);

// The interval the animation plays at: the speed list's entry nearest to the delay most frames
// have. mixed tells whether other frames have delays nearer to another entry.
struct TPlayingSpeed {
  int IntervalMs = 0;
  bool Mixed = false;
};
TPlayingSpeed SpeedOfDelays(const std::vector<int>& delaysMs);

// The speed list's entry nearest to a delay: 1000 / k milliseconds for k = 1..20 frames a
// second, as the speed list computes them.
int NearestListedInterval(int delayMs);

}  // namespace torvel
