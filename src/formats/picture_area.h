#pragma once

#include <string>

#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

// A rectangle of a picture to turn over in place.
struct TManipulationInfo {
  Bitmap* Picture = nullptr;  // not owned; none means nothing to work on
  TRect Area;                 // right and bottom exclusive
  // 1: right may reach the width and bottom the height; 0: they stop one short of them.
  bool Inclusive = false;
  std::string LastError;
};

// Clips the area to the picture's limits and puts its corners in order.
bool CheckArea(TManipulationInfo& info);
// Turns the area upside down.
bool FlipArea(TManipulationInfo& info);
// Reverses the area left to right.
bool MirrorArea(TManipulationInfo& info);

}  // namespace torvel
