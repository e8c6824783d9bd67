#include "import/imported_cells.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
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

// The columns left to left + width of the picture.
std::shared_ptr<Bitmap> CutPiece(const Bitmap& picture, int left, int width) {
  auto piece = std::make_shared<Bitmap>(Bitmap::ForOverwrite(width, picture.Height()));
  for (int y = 0; y < picture.Height(); ++y) {
    std::memcpy(piece->Row(y), picture.Row(y) + size_t(left) * 3, size_t(width) * 3);
  }
  return piece;
}

}  // namespace

void TCellMaker::Add(const uint8_t* rgba, int width, int height) {
  TMadeFrame made;
  made.Picture = std::make_shared<Bitmap>(Bitmap::ForOverwrite(width, height));
  const size_t pixels = size_t(width) * size_t(height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = rgba + size_t(y) * width * 4;
    uint8_t* to = made.Picture->Row(y);
    for (int x = 0; x < width; ++x, from += 4, to += 3) {
      if (IsTransparent(from)) {
        if (made.Clear.empty()) {
          made.Clear.assign((pixels + 63) / 64, 0);
        }
        const size_t pixel = size_t(y) * width + x;
        made.Clear[pixel / 64] |= uint64_t{1} << (pixel % 64);
        continue;  // painted with the key colour once every frame is in
      }
      used_.Add(from);
      to[0] = from[2];  // blue, green, red
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  made_.push_back(std::move(made));
}

bool TCellMaker::TopLeftsClear(const std::vector<TMadeFrame>& made, int cellsPerFrame,
                               int cellWidth) {
  for (const TMadeFrame& frame : made) {
    for (int k = 0; k < cellsPerFrame; ++k) {
      if (!frame.IsClear(size_t(k) * cellWidth)) {
        return false;
      }
    }
  }
  return true;
}

void TCellMaker::PaintKey(TMadeFrame& made, uint32_t key) {
  Bitmap& picture = *made.Picture;
  const int width = picture.Width();
  for (size_t word = 0; word < made.Clear.size(); ++word) {
    for (uint64_t bits = made.Clear[word]; bits != 0; bits &= bits - 1) {
      const size_t pixel = word * 64 + size_t(std::countr_zero(bits));
      uint8_t* to = picture.Row(static_cast<int>(pixel / width)) + pixel % width * 3;
      to[0] = uint8_t(key);  // blue, green, red of 0xRRGGBB
      to[1] = uint8_t(key >> 8);
      to[2] = uint8_t(key >> 16);
    }
  }
  made.Clear = {};
}

bool TCellMaker::Finish(int cellsPerFrame, int framesInFile, TImportedCells& cells,
                        std::string& error) {
  std::vector<TMadeFrame> made = std::exchange(made_, {});
  error = kCapacityReached;
  const int width = made.empty() ? 0 : made.front().Picture->Width();
  const int height = made.empty() ? 0 : made.front().Picture->Height();
  const bool cut = cellsPerFrame == 1 || made.size() == 1;
  const int cellWidth = cellsPerFrame >= 1 ? width / cellsPerFrame : 0;
  if (made.empty() || !cut || cellWidth < 1 || !Bitmap::IsAllowedSize(cellWidth, height)) {
    return false;
  }
  error = kOutOfMemory;
  try {
    TImportedCells result;
    uint32_t key = 0;
    const bool anyClear =
        std::any_of(made.begin(), made.end(), [](const TMadeFrame& m) { return !m.Clear.empty(); });
    const bool keyed = anyClear && used_.FindUnused(key);
    result.Transparent = keyed && TopLeftsClear(made, cellsPerFrame, cellWidth);
    result.Cells.reserve(made.size() * size_t(cellsPerFrame));
    for (TMadeFrame& frame : made) {
      PaintKey(frame, key);
      if (cellsPerFrame == 1) {
        result.Cells.push_back(std::move(frame.Picture));
        continue;
      }
      for (int k = 0; k < cellsPerFrame; ++k) {
        result.Cells.push_back(CutPiece(*frame.Picture, k * cellWidth, cellWidth));
      }
      frame = {};
    }
    result.Offered = framesInFile > static_cast<int>(made.size()) ? framesInFile : result.Count();
    cells = std::move(result);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CellsFromFrames(TDecodedFrames& frames, int cellsPerFrame, TImportedCells& cells,
                     std::string& error) {
  error = kOutOfMemory;
  try {
    TCellMaker maker;
    for (std::vector<uint8_t>& frame : frames.Rgba) {
      maker.Add(frame.data(), frames.Width, frames.Height);
      frame = {};
    }
    return maker.Finish(cellsPerFrame, frames.FramesInFile, cells, error);
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
