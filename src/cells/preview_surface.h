#pragma once

#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

// The window the preview panel draws on. The panel composes its pictures itself and hands
// finished ones to the surface; a Qt widget implements it in the program, a plain picture in
// tests.
class TPreviewSurface {
 public:
  virtual ~TPreviewSurface() = default;
  virtual TSize ClientSize() const = 0;
  // Puts the whole picture on the window with its top-left corner at (x, y).
  virtual void Blit(const Bitmap& picture, int x, int y) = 0;
  // Scales the whole picture onto the rectangle of the window.
  virtual void StretchBlit(const Bitmap& picture, const TRect& rect) = 0;
  // Asks for a repaint, which comes back as the panel's Paint(true).
  virtual void Invalidate() = 0;
  // Hides the window and takes it out of its parent.
  virtual void Detach() = 0;
};

// A surface that keeps what is on the window in a picture of its own.
class TBitmapSurface : public TPreviewSurface {
 public:
  explicit TBitmapSurface(TSize size) { Resize(size); }

  TSize ClientSize() const override { return {Screen.Width(), Screen.Height()}; }
  void Blit(const Bitmap& picture, int x, int y) override;
  void StretchBlit(const Bitmap& picture, const TRect& rect) override;
  void Invalidate() override { ++Invalidations; }
  void Detach() override { Detached = true; }

  void Resize(TSize size) { Screen.Resize(size.Width, size.Height); }

  Bitmap Screen;
  int Invalidations = 0;
  int Blits = 0;
  bool Detached = false;
  TRect LastBlit;  // the window rectangle the last Blit or StretchBlit touched
};

}  // namespace torvel
