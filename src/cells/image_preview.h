#pragma once

#include <memory>

#include "cells/cell_preview.h"
#include "cells/preview_surface.h"
#include "platform/bitmap.h"

namespace torvel {

// The preview panel: shows the current cell scaled down to fit and centred in its window, over
// a background colour, optionally transparent, with dotted guide lines (the indicators) just
// outside the picture. The whole view is composed in a back buffer; while only the picture
// changes, just the picture's rectangle of the window is redrawn.
class TImagePreview : public TCellPreview {
 public:
  // The margin between the window's edge and the area the picture may use.
  static constexpr int kMargin = 10;
  // Every side of the back buffer and the picture is kept within 1..32767.
  static constexpr int kLargestSide = 32767;

  explicit TImagePreview(std::unique_ptr<TPreviewSurface> window);
  ~TImagePreview() override;

  void ShowCell(const Bitmap& source, const TRect& rect, bool flip, bool mirror) override;
  void Blank() override;
  void SetTransparent(bool transparent) override;
  void SetBackgroundColor(TColor color);
  void SetIndicators(bool indicators);
  void Paint(bool force);
  void Detach();

  // Where a picture of the current size goes in a window of the current size.
  TRect Placement() const;

  TPreviewSurface* Window() const { return window_.get(); }
  const Bitmap& BackBuffer() const { return backBuffer_; }
  const Bitmap& Picture() const { return picture_; }
  bool IsBlank() const { return blank_; }
  TColor BackgroundColor() const { return backgroundColor_; }
  bool Indicators() const { return indicators_; }
  bool Transparent() const { return transparent_; }

 private:
  struct TLayout {
    TSize Buffer;
    bool Indicators = false;
    TSize Picture;
    int Left = 0;
    int Top = 0;
    bool operator==(const TLayout&) const = default;
  };

  TLayout CurrentLayout() const;
  void ApplyTransparency();
  void PaintPictureOnly(const TRect& placement);
  bool PaintEverything(const TLayout& layout, const TRect& placement);

  std::unique_ptr<TPreviewSurface> window_;
  Bitmap backBuffer_;
  Bitmap composed_;
  Bitmap picture_;
  TColor backgroundColor_ = kWhite;
  bool blank_ = true;
  bool transparent_ = false;
  bool transparencyDirty_ = true;
  bool indicators_ = true;
  int paintDepth_ = 0;
  bool cacheValid_ = false;
  TLayout cache_;
};

}  // namespace torvel
