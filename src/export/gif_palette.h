#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/animation_encoder.h"

namespace torvel {

// A GIF colour table: packed RGBA entries (red in the low byte), and the entry that is
// transparent, or -1 when the table has none.
struct TGifPalette {
  std::vector<uint32_t> Colors;
  int Transparent = -1;
};

inline bool operator==(const TGifPalette& a, const TGifPalette& b) {
  return a.Colors == b.Colors && a.Transparent == b.Transparent;
}

// The frames as palette indices at the frames' own size, each with its palette; most often
// all the palettes are the same.
struct TIndexedFrames {
  std::vector<TGifPalette> Palettes;
  std::vector<std::vector<uint8_t>> Indices;

  bool SharesOnePalette() const {
    for (const TGifPalette& palette : Palettes) {
      if (!(palette == Palettes.front())) {
        return false;
      }
    }
    return true;
  }
};

// Gives every frame palette indices. Animations of at most 256 colours keep them exactly;
// others are quantized with libimagequant, dithered when asked, to one palette for the whole
// animation; a frame that palette serves much worse than the others (a frame of other colours)
// gets a palette of its own. Every palette keeps an entry free for transparency where it can.
// Progress counts one step a frame.
bool IndexFrames(const TExportFrames& frames, bool dither, const TExportProgress& progress,
                 int totalSteps, TIndexedFrames& indexed, std::string& error);

}  // namespace torvel
