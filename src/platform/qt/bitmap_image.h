#pragma once

#include <QImage>

#include "platform/bitmap.h"

namespace torvel {

// A QImage that shares the picture's pixels (no copy); valid while the picture is unchanged.
QImage ImageView(const Bitmap& picture);

// Converts any QImage into a 24-bit picture; false when it is null or too large.
bool ImageToBitmap(const QImage& image, Bitmap& picture);

inline QColor ToQColor(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
inline TColor FromQColor(const QColor& color) {
  return TColor(color.red()) | TColor(color.green()) << 8 | TColor(color.blue()) << 16;
}

}  // namespace torvel
