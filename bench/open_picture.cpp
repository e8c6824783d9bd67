// Opens an animated GIF, WebP or PNG as the editor's Open does, less the window: the frames are
// read and composited, made into cells with their key colour, and taken into a store that makes
// the cell list's thumbnails. bench/import_bench.sh times it as a whole process beside ffmpeg.
//
// Usage: open_picture FILE [REPEATS]   (exit status 0 when every opening succeeded)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cells/animation_strip.h"
#include "import/animation_import.h"

namespace {

bool OpenOnce(const std::string& path) {
  torvel::TFileFrames file;
  torvel::TImportedAnimation animation;
  std::string error;
  if (!torvel::ReadFramesForStore(path, std::nullopt, file, error) ||
      !torvel::AnimationCells(file, animation, error)) {
    std::fprintf(stderr, "open_picture: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  torvel::TAnimationStrip store;
  torvel::TImportedCells& cells = animation.Cells;
  return store.AddPictures(cells.Cells, -1) == cells.Count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: open_picture FILE [REPEATS]\n");
    return 2;
  }
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  for (int i = 0; i < repeats; ++i) {
    if (!OpenOnce(argv[1])) {
      return 1;
    }
  }
  return 0;
}
