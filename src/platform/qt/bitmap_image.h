#pragma once

#include <QImage>

#include <string>

#include "platform/bitmap.h"

namespace torvel {

// A QImage that shares the picture's pixels (no copy); valid while the picture is unchanged.
QImage ImageView(const Bitmap& picture);
// Copies the part of the picture inside area (clipped to both) into an image of the format
// Format_RGB32 at the same place. Unlike QImage's own conversion it never wakes other threads,
// which on a virtual machine cost more than the copy of a preview-sized area.
void CopyToRgb32(const Bitmap& picture, const TRect& area, QImage& image);

// Converts any QImage into a 24-bit picture; false when it is null or too large. Its transparent
// pixels (less than half covered) take a key colour no visible pixel has, which the picture
// notes as its transparent colour, as the frames of an opened file do.
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
