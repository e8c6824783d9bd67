#include "cells/preview_surface.h"

#include "platform/raster.h"

namespace torvel {

void TBitmapSurface::Blit(const Bitmap& picture, int x, int y) {
  CopyRect(picture, picture.Rect(), Screen, x, y);
  LastBlit = {x, y, x + picture.Width(), y + picture.Height()};
  ++Blits;
}

void TBitmapSurface::StretchBlit(const Bitmap& picture, const TRect& rect) {
  StretchRect(picture, picture.Rect(), Screen, rect);
  LastBlit = rect;
  ++Blits;
}

}  // namespace torvel
