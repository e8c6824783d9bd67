#pragma once

#include <QImage>

#include <string>

#include "platform/bitmap.h"

namespace torvel {

// A QImage that shares the picture's pixels (no copy); valid while the picture is unchanged.
QImage ImageView(const Bitmap& picture);

// Converts any QImage into a 24-bit picture; false when it is null or too large.
bool ImageToBitmap(const QImage& image, Bitmap& picture);

// Whether the file name ends in the extension of a picture format that ReadPictureFile reads.
bool IsPictureFileName(const std::string& fileName);

// Reads a picture file in any format Qt reads into a 24-bit picture, refusing one too large to
// hold before it is decoded. On failure, error is the failure text.
bool ReadPictureFile(const std::string& fileName, Bitmap& picture, const char*& error);

inline QColor ToQColor(TColor color) {
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
inline TColor FromQColor(const QColor& color) {
  return TColor(color.red()) | TColor(color.green()) << 8 | TColor(color.blue()) << 16;
}

}  // namespace torvel
