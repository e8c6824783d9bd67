#include "import/imported_cells.h"

#include <cstdlib>
#include <map>
#include <new>
#include <utility>

#include "platform/error_texts.h"
#include "platform/key_colour.h"

namespace torvel {
namespace {

constexpr int kFastestFps = 20;

bool IsTransparent(const uint8_t* rgba) {
  return rgba[3] < kOpaqueAlpha;
}

// Whether the file has transparent pixels, noting the colours of the opaque ones.
bool CollectColours(const TDecodedFrames& frames, TColourSet& used) {
  bool anyTransparent = false;
  for (const std::vector<uint8_t>& frame : frames.Rgba) {
    for (size_t i = 0; i < frame.size(); i += 4) {
      if (IsTransparent(&frame[i])) {
        anyTransparent = true;
      } else {
        used.Add(&frame[i]);
      }
    }
  }
  return anyTransparent;
}

bool TopLeftsTransparent(const TDecodedFrames& frames, int cellsPerFrame) {
  const int cellWidth = frames.Width / cellsPerFrame;
  for (const std::vector<uint8_t>& frame : frames.Rgba) {
    for (int k = 0; k < cellsPerFrame; ++k) {
      if (!IsTransparent(&frame[size_t(k) * cellWidth * 4])) {
        return false;
      }
    }
  }
  return true;
}

std::shared_ptr<Bitmap> CellOfFrame(const std::vector<uint8_t>& frame, int frameWidth,
                                    const TRect& piece, uint32_t key) {
  auto cell = std::make_shared<Bitmap>(Bitmap::ForOverwrite(piece.Width(), piece.Height()));
  const uint8_t keyRgb[3] = {uint8_t(key >> 16), uint8_t(key >> 8), uint8_t(key)};
  for (int y = 0; y < piece.Height(); ++y) {
    const uint8_t* from = frame.data() + (size_t(y) * frameWidth + piece.Left) * 4;
    uint8_t* to = cell->Row(y);
    for (int x = 0; x < piece.Width(); ++x, from += 4, to += 3) {
      const uint8_t* rgb = IsTransparent(from) ? keyRgb : from;
      to[0] = rgb[2];  // blue, green, red
      to[1] = rgb[1];
      to[2] = rgb[0];
    }
  }
  return cell;
}

}  // namespace

bool CellsFromFrames(TDecodedFrames& frames, int cellsPerFrame, TImportedCells& cells,
                     std::string& error) {
  error = kCapacityReached;
  const bool cut = cellsPerFrame == 1 || frames.Count() == 1;
  const int cellWidth = cellsPerFrame >= 1 ? frames.Width / cellsPerFrame : 0;
  if (frames.Count() < 1 || !cut || cellWidth < 1 ||
      !Bitmap::IsAllowedSize(cellWidth, frames.Height)) {
    return false;
  }
  error = kOutOfMemory;
  try {
    TImportedCells result;
    TColourSet used;
    const bool anyTransparent = CollectColours(frames, used);
    uint32_t key = 0;
    const bool keyed = anyTransparent && used.FindUnused(key);
    result.Transparent = keyed && TopLeftsTransparent(frames, cellsPerFrame);
    result.Cells.reserve(size_t(frames.Count()) * cellsPerFrame);
    for (std::vector<uint8_t>& frame : frames.Rgba) {
      for (int k = 0; k < cellsPerFrame; ++k) {
        const TRect piece{k * cellWidth, 0, (k + 1) * cellWidth, frames.Height};
        result.Cells.push_back(CellOfFrame(frame, frames.Width, piece, key));
      }
      frame = {};
    }
    result.Offered = frames.FramesInFile > frames.Count() ? frames.FramesInFile : result.Count();
    cells = std::move(result);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int NearestListedInterval(int delayMs) {
  int best = 1000;
  for (int fps = 1; fps <= kFastestFps; ++fps) {
    const int interval = 1000 / fps;
    if (std::abs(interval - delayMs) < std::abs(best - delayMs)) {
      best = interval;
    }
  }
  return best;
}

TPlayingSpeed SpeedOfDelays(const std::vector<int>& delaysMs) {
  std::map<int, int> frequency;  // listed interval -> frames
  for (const int delay : delaysMs) {
    ++frequency[NearestListedInterval(delay)];
  }
  TPlayingSpeed speed;
  int most = 0;
  for (const auto& [interval, count] : frequency) {
    if (count > most) {  // on a tie the faster speed, as a viewer plays short frames
      most = count;
      speed.IntervalMs = interval;
    }
  }
  speed.Mixed = frequency.size() > 1;
  return speed;
}

}  // namespace torvel
