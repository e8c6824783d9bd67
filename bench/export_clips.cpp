// Makes the export benchmark's three animations, each as a ".san" file and as numbered PNG
// frames for the peers: the file benchmark's 218-cell 100 x 100 sprite, a 13-cell 640 x 480
// screen-like clip (text, flat areas and a moving photo-like gradient) and a 24-cell 320 x 240
// photo-like clip. All are opaque and play at 10 frames a second.
//
// Usage: export_clips FOLDER
#include <cmath>
#include <cstdio>
#include <string>

#include "cells/animation_io.h"
#include "cells/animation_strip.h"
#include "export/png_io.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "sprite_strip.h"

namespace {

using torvel::Bitmap;
using torvel::TColor;

TColor Rgb(int r, int g, int b) {
  auto c = [](int v) { return TColor(std::clamp(v, 0, 255)); };
  return c(r) | c(g) << 8 | c(b) << 16;
}

// A photo-like area: smooth colour fields with grain, moved by the frame number.
void PaintPhoto(Bitmap& strip, const torvel::TRect& area, int frame, uint32_t& seed) {
  for (int y = area.Top; y < area.Bottom; ++y) {
    for (int x = area.Left; x < area.Right; ++x) {
      seed = seed * 1664525 + 1013904223;
      const int grain = static_cast<int>(seed >> 28) - 8;
      const double u = (x - area.Left + frame * 9) / 37.0, v = (y - area.Top) / 29.0;
      strip.SetPixel(
          x, y,
          Rgb(128 + int(90 * std::sin(u)) + grain, 110 + int(70 * std::cos(v + u / 3)) + grain,
              100 + int(80 * std::sin(v - u / 2)) + grain));
    }
  }
}

Bitmap ScreenStrip(int cells, int w, int h) {
  Bitmap strip(cells * w, h);
  uint32_t seed = 11;
  for (int k = 0; k < cells; ++k) {
    const int left = k * w;
    torvel::FillRect(strip, {left, 0, left + w, h}, Rgb(240, 240, 236));
    torvel::FillRect(strip, {left, 0, left + w, 28}, Rgb(48, 84, 140));      // a title bar
    torvel::FillRect(strip, {left, 28, left + 150, h}, Rgb(222, 226, 232));  // a side panel
    for (int line = 0; line < 22; ++line) {  // lines of "text": runs of small dark blocks
      for (int word = 0; word < 9; ++word) {
        const int x = left + 170 + word * 50 + (line * 7 + word * 13) % 11;
        const int length = 18 + (line * 5 + word * 3) % 25;
        torvel::FillRect(strip,
                         {x, 40 + line * 14, std::min(x + length, left + w - 4), 48 + line * 14},
                         Rgb(30, 30, 40));
      }
    }
    PaintPhoto(strip, {left + 300 + k * 6, 200, left + 560 + k * 6, 400}, k, seed);
  }
  return strip;
}

Bitmap PhotoStrip(int cells, int w, int h) {
  Bitmap strip(cells * w, h);
  uint32_t seed = 5;
  for (int k = 0; k < cells; ++k) {
    PaintPhoto(strip, {k * w, 0, (k + 1) * w, h}, k, seed);
  }
  return strip;
}

bool WriteClip(const std::string& folder, const std::string& name, Bitmap strip, int cells) {
  torvel::TAnimationStrip store;
  if (store.AddCells(&strip, cells, -1) != cells) {
    return false;
  }
  store.SetInterval(100);
  store.SetTransparent(false);
  std::string error;
  if (!torvel::SaveAnimation(store.Table, folder + name + ".san", error)) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    return false;
  }
  torvel::CreateFolder(folder + name);
  for (int k = 0; k < cells; ++k) {
    Bitmap frame;
    std::vector<uint8_t> png;
    char file[32];
    std::snprintf(file, sizeof file, "/frame_%03d.png", k);
    if (!store.Table.ExportRange(k, k, error, &frame) || !torvel::EncodePng(frame, png) ||
        !torvel::WriteFileSafely(folder + name + file, png.data(), png.size())) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: export_clips FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const torvel::bench::TShape sprite{"sprite", 218, 100, 100};
  const bool made = WriteClip(folder, "sprite", torvel::bench::SpriteStrip(sprite), 218) &&
                    WriteClip(folder, "screen", ScreenStrip(13, 640, 480), 13) &&
                    WriteClip(folder, "photo", PhotoStrip(24, 320, 240), 24);
  return made ? 0 : 1;
}
