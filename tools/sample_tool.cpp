// Draws the sample animations and pictures that come with the program and writes them with the
// program's own writers.
//
// Usage: sample_tool OUTPUT_FOLDER
//
// Writes "Bouncing Ball.san", "Walking Figure.san", "Spinning Logo.san" and "Ball Strip.bmp"
// (six cells side by side, for trying Paste Special > Image Strip).
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "cells/animation_io.h"
#include "cells/animation_strip.h"
#include "drawing.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "services/paths.h"

namespace {

using namespace torvel;
using namespace torvel::drawing;

constexpr double kPi = std::numbers::pi;
// The see-through colour of the transparent samples: their top-left pixel keeps it.
constexpr TColor kClear = Rgb(255, 0, 255);

using TDrawCell = std::function<void(Bitmap& cell, int index, int count)>;

// All cells side by side.
Bitmap DrawCells(int size, int count, TColor background, const TDrawCell& draw) {
  Bitmap strip(size * count, size);
  for (int i = 0; i < count; ++i) {
    Bitmap cell(size, size);
    FillRect(cell, cell.Rect(), background);
    draw(cell, i, count);
    CopyRect(cell, cell.Rect(), strip, i * size, 0);
  }
  return strip;
}

void DrawBall(Bitmap& cell, int index, int count) {
  const double size = cell.Width();
  const double t = double(index) / count;
  const double height = std::abs(std::cos(kPi * t));  // 1 at the top, 0 on the ground
  const double ground = size - 8;
  const double r = size * 0.16;
  // Squashed while it touches the ground, stretched while it falls fast.
  const double squash = height < 0.15 ? 1.0 + (0.15 - height) * 2.4 : 1.0 - (1 - height) * 0.08;
  const double rx = r * squash;
  const double ry = r / squash;
  const double cy = ground - ry - height * (size * 0.5);
  FillEllipse(cell, size / 2, ground + 1, r * (1.3 - height * 0.5), 2.2, Rgb(120, 120, 130), true);
  FillEllipse(cell, size / 2, cy, rx, ry, Rgb(200, 40, 40), true);
  FillEllipse(cell, size / 2 - rx * 0.3, cy - ry * 0.35, rx * 0.45, ry * 0.35, Rgb(240, 120, 110),
              true);
  FillCircle(cell, size / 2 - rx * 0.35, cy - ry * 0.45, r * 0.14, Rgb(255, 230, 225), true);
}

void DrawWalker(Bitmap& cell, int index, int count) {
  const double size = cell.Width();
  FillGradient(cell, Rgb(150, 200, 250), Rgb(220, 238, 255));
  FillBox(cell, 0, size * 0.82, size, size, Rgb(96, 168, 80));
  const double phase = 2 * kPi * index / count;
  const double hipX = size / 2;
  const double hipY = size * 0.6 - std::abs(std::sin(phase)) * 1.5;
  const double shoulderY = hipY - size * 0.2;
  const double leg = size * 0.2;
  const TColor ink = Rgb(40, 44, 60);
  for (double side : {1.0, -1.0}) {
    const double swing = std::sin(phase) * 0.5 * side;
    const double kneeX = hipX + std::sin(swing) * leg;
    const double kneeY = hipY + std::cos(swing) * leg;
    const double bend = swing < 0 ? -swing * 0.9 : 0.1;
    DrawLine(cell, hipX, hipY, kneeX, kneeY, 3.2, ink);
    DrawLine(cell, kneeX, kneeY, kneeX + std::sin(swing - bend) * leg,
             kneeY + std::cos(swing - bend) * leg, 3.2, ink);
    const double arm = -swing * 1.2;
    DrawLine(cell, hipX, shoulderY, hipX + std::sin(arm) * leg * 0.9,
             shoulderY + std::cos(arm) * leg * 0.9, 2.6, ink);
  }
  DrawLine(cell, hipX, hipY, hipX, shoulderY, 3.6, Rgb(52, 90, 170));
  FillCircle(cell, hipX, shoulderY - size * 0.09, size * 0.075, Rgb(240, 200, 160));
}

void DrawLogo(Bitmap& cell, int index, int count) {
  const double size = cell.Width();
  const double angle = 2 * kPi * index / count;
  const double scale = std::cos(angle);
  const double width = std::max(std::abs(scale), 0.06);
  const bool front = scale >= 0;
  const double cx = size / 2;
  const double cy = size / 2;
  const double r = size * 0.4;
  FillEllipse(cell, cx, cy, r * width + 2, r, Rgb(150, 110, 20), true);  // the rim
  FillEllipse(cell, cx, cy, r * width, r, front ? Rgb(250, 200, 60) : Rgb(220, 160, 40), true);
  if (front && width > 0.2) {
    const TColor ink = Rgb(120, 70, 10);
    FillBox(cell, cx - r * 0.55 * width, cy - r * 0.55, cx + r * 0.55 * width, cy - r * 0.32, ink,
            true);
    FillBox(cell, cx - r * 0.12 * width, cy - r * 0.5, cx + r * 0.12 * width, cy + r * 0.6, ink,
            true);
  }
}

void DrawRollingBall(Bitmap& cell, int index, int count) {
  const double size = cell.Width();
  const double cx = size / 2;
  const double cy = size / 2;
  const double r = size * 0.38;
  FillCircle(cell, cx, cy, r, Rgb(40, 110, 210));
  const double turn = 2 * kPi * index / count;
  for (int spoke = 0; spoke < 3; ++spoke) {
    const double a = turn + spoke * 2 * kPi / 3;
    DrawLine(cell, cx, cy, cx + std::cos(a) * r * 0.8, cy + std::sin(a) * r * 0.8, 3,
             Rgb(250, 250, 250));
  }
  FillCircle(cell, cx + std::cos(turn) * r * 0.8, cy + std::sin(turn) * r * 0.8, 4.5,
             Rgb(250, 200, 40));
}

struct TSample {
  const char* FileName;
  int CellSize;
  int Cells;
  int Interval;  // milliseconds between cells
  bool Transparent;
  TDrawCell Draw;
};

bool WriteSample(const std::string& folder, const TSample& sample) {
  const TColor background = sample.Transparent ? kClear : kWhite;
  Bitmap strip = DrawCells(sample.CellSize, sample.Cells, background, sample.Draw);
  TAnimationStrip store;
  if (store.AddCells(&strip, sample.Cells, -1) != sample.Cells) {
    std::fprintf(stderr, "sample_tool: %s: %s\n", sample.FileName, store.LastError.c_str());
    return false;
  }
  store.SetInterval(sample.Interval);
  store.SetTransparent(sample.Transparent);
  std::string error;
  if (!SaveAnimation(store.Table, folder + sample.FileName, error)) {
    std::fprintf(stderr, "sample_tool: %s: %s\n", sample.FileName, error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: sample_tool OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = TPaths::AddSeparator(argv[1]);
  const TSample samples[] = {
      {"Bouncing Ball.san", 64, 16, 50, true, DrawBall},
      {"Walking Figure.san", 64, 8, 125, false, DrawWalker},
      {"Spinning Logo.san", 64, 12, 83, true, DrawLogo},
  };
  for (const TSample& sample : samples) {
    if (!WriteSample(folder, sample)) {
      return 1;
    }
  }
  const std::vector<uint8_t> strip = EncodeBmp(DrawCells(48, 6, kWhite, DrawRollingBall));
  if (!WriteFileSafely(folder + "Ball Strip.bmp", strip.data(), strip.size())) {
    std::fprintf(stderr, "sample_tool: cannot write Ball Strip.bmp\n");
    return 1;
  }
  return 0;
}
