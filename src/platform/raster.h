#pragma once

#include "platform/bitmap.h"

namespace torvel {

// Drawing between 24-bit pictures. Every operation clips to both pictures, so no rectangle can
// reach outside either of them.

// Copies srcRect of src to dst with its top-left corner at (dstX, dstY).
void CopyRect(const Bitmap& src, const TRect& srcRect, Bitmap& dst, int dstX, int dstY);

// Scales srcRect of src onto dstRect of dst, smoothly: area averaging along an axis that
// shrinks, bilinear interpolation along one that grows; equal sizes are a plain copy. srcRect is
// first clipped to src; parts of dstRect outside dst are left out without changing the mapping.
// Throws std::bad_alloc when its working picture cannot be allocated.
void StretchRect(const Bitmap& src, const TRect& srcRect, Bitmap& dst, const TRect& dstRect);

// Like StretchRect, but when src.Transparent is set the pixels of src.TransparentColor are left
// out (dst shows through). Transparent scaling picks the nearest source pixel, so that the
// transparent colour never blends into its neighbours.
void DrawTransparent(const Bitmap& src, const TRect& srcRect, Bitmap& dst, const TRect& dstRect);
// DrawTransparent with the colour left out given, whatever src's own transparency.
void DrawLeavingOut(const Bitmap& src, TColor leftOut, const TRect& srcRect, Bitmap& dst,
                    const TRect& dstRect);

void FillRect(Bitmap& dst, const TRect& rect, TColor color);

// A 1-pixel frame along the inside edges of rect.
void FrameRect(Bitmap& dst, const TRect& rect, TColor color);

// Dotted lines alternate single pixels of ink and gap colour, starting with ink at the first
// pixel; the last coordinate is exclusive.
void DrawDottedHLine(Bitmap& dst, int y, int x0, int x1, TColor ink, TColor gap);
void DrawDottedVLine(Bitmap& dst, int x, int y0, int y1, TColor ink, TColor gap);

}  // namespace torvel
