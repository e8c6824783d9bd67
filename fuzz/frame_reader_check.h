#pragma once
// What every animation reader's fuzz target checks: whatever the bytes, the reader stays within
// its limits, and frames it reads are whole and make cells.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "import/decoded_frames.h"
#include "import/imported_cells.h"

namespace torvel {

using TFrameReader = bool (*)(const uint8_t*, size_t, const TReadLimits&, TDecodedFrames&,
                              std::string&);

inline int CheckFrameReader(TFrameReader read, const uint8_t* data, size_t size) {
  constexpr int kWanted = 6;
  TReadLimits limits;
  limits.MostCanvasPixels = 1 << 18;
  limits.MostDecodedPixels = 1 << 21;
  limits.FramesWanted = [](int, int) { return kWanted; };
  TDecodedFrames frames;
  std::string error;
  if (!read(data, size, limits, frames, error)) {
    if (error != "Unsupported format" && error != "Capacity reached") {
      std::abort();
    }
    return 0;
  }
  const bool sized = frames.Width >= 1 && frames.Height >= 1 &&
                     int64_t{frames.Width} * frames.Height <= limits.MostCanvasPixels;
  const bool counted = frames.Count() <= kWanted && frames.Count() <= frames.FramesInFile &&
                       frames.FramesInFile <= TReadLimits::kMostFramesCounted &&
                       static_cast<int>(frames.DelaysMs.size()) == frames.FramesInFile;
  if (!sized || !counted) {
    std::abort();
  }
  for (size_t i = 0; i < frames.Rgba.size(); ++i) {
    if (frames.Rgba[i].size() != frames.FrameBytes() || frames.DelaysMs[i] < 1) {
      std::abort();
    }
  }
  TImportedCells cells;
  if (frames.Count() > 0 &&
      (!CellsFromFrames(frames, 1, cells, error) || cells.Count() != frames.Count() ||
       cells.Cells.front()->Width() != frames.Width)) {
    std::abort();
  }
  return 0;
}

}  // namespace torvel
