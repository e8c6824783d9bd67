#pragma once

#include <cstdint>
#include <memory>
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

// Makes frames into cells as they come, so that a file's frames are never all held at once:
// each frame becomes a 24-bit picture when it is added, its transparent pixels noted. Their key
// colour, which no visible pixel of any frame may have, is chosen and painted once all are in.
class TCellMaker {
 public:
  // Makes a frame of straight RGBA pixels into a picture. Throws std::bad_alloc.
  void Add(const uint8_t* rgba, int width, int height);
  int Count() const { return static_cast<int>(made_.size()); }

  // Makes each frame one cell, or cuts a single frame into cellsPerFrame cells of equal width as
  // an image strip is (columns left over on the right are dropped). framesInFile counts the
  // frames not added because the store had no room for them. False with "Out of memory" or
  // "Capacity reached" when the cells cannot be made. The frames are used up either way.
  bool Finish(int cellsPerFrame, int framesInFile, TImportedCells& cells, std::string& error);

 private:
  struct TMadeFrame {
    std::shared_ptr<Bitmap> Picture;
    std::vector<uint64_t> Clear;  // a bit a pixel, row by row: transparent; empty when none is
    bool IsClear(size_t pixel) const {
      return !Clear.empty() && (Clear[pixel / 64] >> (pixel % 64) & 1) != 0;
    }
  };
  static bool TopLeftsClear(const std::vector<TMadeFrame>& made, int cellsPerFrame, int cellWidth);
  static void PaintKey(TMadeFrame& made, uint32_t key);

  std::vector<TMadeFrame> made_;
  TColourSet used_;
};

// The kept frames of a reader made into cells, as TCellMaker::Finish makes them. Each frame's
// pixels are let go of once its cell is made, so that the frames and the cells are not held twice.
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
