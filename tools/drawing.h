#pragma once

// Small drawing helpers for the build tools that draw the program's own pictures: shapes with
// softened edges, drawn into 24-bit pictures.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/bitmap.h"

namespace torvel::drawing {

constexpr TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r | g << 8 | b << 16);
}

// `from` moved towards `to` by the weight 0..1.
inline TColor Mix(TColor from, TColor to, double weight) {
  TColor mixed = 0;
  for (int shift : {0, 8, 16}) {
    const double a = (from >> shift) & 0xFF;
    const double b = (to >> shift) & 0xFF;
    mixed |= static_cast<TColor>(std::lround(a + (b - a) * weight)) << shift;
  }
  return mixed;
}

// Mixes `color` into the pixel with the weight 0..1.
inline void Blend(Bitmap& picture, int x, int y, TColor color, double weight) {
  if (x < 0 || y < 0 || x >= picture.Width() || y >= picture.Height() || weight <= 0) {
    return;
  }
  picture.SetPixel(x, y, Mix(picture.Pixel(x, y), color, std::min(weight, 1.0)));
}

// Every pixel whose centre's distance to the shape (negative inside) is below half a pixel
// gets the colour in proportion; `distance` maps a point to that distance.
template <typename Distance>
void FillShape(Bitmap& picture, double left, double top, double right, double bottom, TColor color,
               Distance distance, bool hardEdges = false) {
  const int x0 = std::max(0, static_cast<int>(std::floor(left)) - 1);
  const int y0 = std::max(0, static_cast<int>(std::floor(top)) - 1);
  const int x1 = std::min(picture.Width() - 1, static_cast<int>(std::ceil(right)) + 1);
  const int y1 = std::min(picture.Height() - 1, static_cast<int>(std::ceil(bottom)) + 1);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const double d = distance(x + 0.5, y + 0.5);
      if (hardEdges) {
        if (d < 0) {
          picture.SetPixel(x, y, color);
        }
      } else {
        Blend(picture, x, y, color, 0.5 - d);
      }
    }
  }
}

inline void FillEllipse(Bitmap& picture, double cx, double cy, double rx, double ry, TColor color,
                        bool hardEdges = false) {
  FillShape(
      picture, cx - rx, cy - ry, cx + rx, cy + ry, color,
      [&](double x, double y) {
        const double nx = (x - cx) / rx;
        const double ny = (y - cy) / ry;
        return (std::sqrt(nx * nx + ny * ny) - 1) * std::min(rx, ry);
      },
      hardEdges);
}

inline void FillCircle(Bitmap& picture, double cx, double cy, double r, TColor color,
                       bool hardEdges = false) {
  FillEllipse(picture, cx, cy, r, r, color, hardEdges);
}

// A line of the given width with round ends.
inline void DrawLine(Bitmap& picture, double xa, double ya, double xb, double yb, double width,
                     TColor color, bool hardEdges = false) {
  const double r = width / 2;
  FillShape(
      picture, std::min(xa, xb) - r, std::min(ya, yb) - r, std::max(xa, xb) + r,
      std::max(ya, yb) + r, color,
      [&](double x, double y) {
        const double dx = xb - xa;
        const double dy = yb - ya;
        const double length = dx * dx + dy * dy;
        const double t =
            length > 0 ? std::clamp(((x - xa) * dx + (y - ya) * dy) / length, 0.0, 1.0) : 0.0;
        return std::hypot(x - (xa + t * dx), y - (ya + t * dy)) - r;
      },
      hardEdges);
}

inline void FillBox(Bitmap& picture, double left, double top, double right, double bottom,
                    TColor color, bool hardEdges = false) {
  FillShape(
      picture, left, top, right, bottom, color,
      [&](double x, double y) {
        return std::max(std::max(left - x, x - right), std::max(top - y, y - bottom));
      },
      hardEdges);
}

// A vertical blend from `top` to `bottom` over the whole picture.
inline void FillGradient(Bitmap& picture, TColor top, TColor bottom) {
  for (int y = 0; y < picture.Height(); ++y) {
    const double t = picture.Height() > 1 ? double(y) / (picture.Height() - 1) : 0;
    for (int x = 0; x < picture.Width(); ++x) {
      picture.SetPixel(x, y, top);
      Blend(picture, x, y, bottom, t);
    }
  }
}

}  // namespace torvel::drawing
