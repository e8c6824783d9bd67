#pragma once

#include <memory>
#include <unordered_map>

#include "cells/cell_preview.h"
#include "cells/preview_surface.h"
#include "platform/bitmap.h"

namespace torvel {

// The preview panel: shows the current cell scaled down to fit and centred in its window, over
// a background colour, optionally transparent, with dotted guide lines (the indicators) just
// outside the picture. The whole view is composed in a back buffer; while only the picture
// changes, just the picture's rectangle of the window is redrawn.
//
// Each cell is composed (turned, made transparent, over the background, scaled to fit) once and
// kept, so that playing large cells costs a copy a frame, not a scaling.
class TImagePreview : public TCellPreview {
 public:
  // The margin between the window's edge and the area the picture may use.
  static constexpr int kMargin = 10;
  // Every side of the back buffer and the picture is kept within 1..32767.
  static constexpr int kLargestSide = 32767;

  explicit TImagePreview(std::unique_ptr<TPreviewSurface> window);
  ~TImagePreview() override;

  // The most bytes of composed cells kept for playback.
  static constexpr size_t kMostKeptBytes = size_t{256} << 20;

  void ShowCell(const TCellPicture& cell, bool flip, bool mirror) override;
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
  // The shown cell as it is on the window: composed and scaled to the placement.
  const Bitmap& Picture() const { return *shown_; }
  bool IsBlank() const { return blank_; }
  TColor BackgroundColor() const { return backgroundColor_; }
  bool Indicators() const { return indicators_; }
  bool Transparent() const { return transparent_; }

 private:
  struct TLayout {
    TSize Buffer;
    // A blank panel has the layout of a 1 x 1 picture but none of its lines.
    bool Showing = false;
    bool Indicators = false;
    TSize Picture;
    int Left = 0;
    int Top = 0;
    bool operator==(const TLayout&) const = default;
  };

  // What a composed cell depends on besides the cell itself.
  struct TComposition {
    TSize Size;
    TColor Background = kWhite;
    bool Transparent = false;
    bool Flip = false;
    bool Mirror = false;
    bool operator==(const TComposition&) const = default;
  };
  struct TKeptCell {
    std::weak_ptr<const Bitmap> Cell;  // to tell a kept cell from a new one at the same address
    std::shared_ptr<const Bitmap> Composed;
  };

  TLayout CurrentLayout() const;
  // The current cell composed for the placement, kept or made now.
  std::shared_ptr<const Bitmap> ComposedCell(const TRect& placement);
  Bitmap Compose(const TComposition& how) const;
  void Keep(std::shared_ptr<const Bitmap> composed);
  void PaintPictureOnly(const TRect& placement);
  bool PaintEverything(const TLayout& layout, const TRect& placement);

  std::unique_ptr<TPreviewSurface> window_;
  Bitmap backBuffer_;
  TCellPicture cell_;
  std::shared_ptr<const Bitmap> shown_;
  bool flip_ = false;
  bool mirror_ = false;
  TColor backgroundColor_ = kWhite;
  bool blank_ = true;
  bool transparent_ = false;
  bool indicators_ = true;
  TComposition keptFor_;
  std::unordered_map<const Bitmap*, TKeptCell> kept_;
  size_t keptBytes_ = 0;
  int paintDepth_ = 0;
  bool cacheValid_ = false;
  TLayout cache_;
};

}  // namespace torvel
