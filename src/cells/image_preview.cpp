#include "cells/image_preview.h"

#include <algorithm>

#include "cells/cell_helpers.h"
#include "formats/picture_area.h"
#include "platform/raster.h"

namespace torvel {
namespace {

int ClampSide(int side) {
  return std::clamp(side, 1, TImagePreview::kLargestSide);
}

}  // namespace

TImagePreview::TImagePreview(std::unique_ptr<TPreviewSurface> window)
    : window_(std::move(window)), backBuffer_(NewBitmap()), picture_(NewBitmap()) {}

TImagePreview::~TImagePreview() {
  Detach();
}

void TImagePreview::Detach() {
  if (window_) {
    window_->Detach();
  }
}

void TImagePreview::ShowCell(const Bitmap& source, const TRect& rect, bool flip, bool mirror) {
  try {
    Bitmap picture(ClampSide(rect.Width()), ClampSide(rect.Height()));
    CopyRect(source, rect, picture, 0, 0);
    TManipulationInfo whole{&picture, picture.Rect(), true, ""};
    if (flip) {
      FlipArea(whole);
    }
    if (mirror) {
      whole.Area = picture.Rect();
      MirrorArea(whole);
    }
    picture_ = std::move(picture);
  } catch (...) {
    return;  // the last picture stays on screen
  }
  blank_ = false;
  transparencyDirty_ = true;
  Paint(false);
}

void TImagePreview::Blank() {
  if (blank_) {
    return;
  }
  blank_ = true;
  picture_.Resize(1, 1);
  transparencyDirty_ = true;
  Paint(true);
}

void TImagePreview::SetBackgroundColor(TColor color) {
  if (color != backgroundColor_) {
    backgroundColor_ = color;
    Paint(true);
  }
}

void TImagePreview::SetTransparent(bool transparent) {
  if (transparent != transparent_) {
    transparent_ = transparent;
    transparencyDirty_ = true;
    Paint(true);
  }
}

void TImagePreview::SetIndicators(bool indicators) {
  if (indicators != indicators_) {
    indicators_ = indicators;
    Paint(true);
  }
}

TRect TImagePreview::Placement() const {
  const TSize client = window_ ? window_->ClientSize() : TSize{};
  const int w = picture_.Width();
  const int h = picture_.Height();
  const int areaWidth = std::max(client.Width - 2 * kMargin, 0);
  const int areaHeight = std::max(client.Height - 2 * kMargin, 0);
  // Fitted to the whole window, never enlarged, then clipped to the area inside the margins.
  const double s = FitScale(client.Width, w, client.Height, h);
  const int width = std::min(static_cast<int>(RoundHalfEven(s * w)), areaWidth);
  const int height = std::min(static_cast<int>(RoundHalfEven(s * h)), areaHeight);
  const int left = (areaWidth - width) / 2 + kMargin;
  const int top = (areaHeight - height) / 2 + kMargin;
  return {left, top, left + width, top + height};
}

TImagePreview::TLayout TImagePreview::CurrentLayout() const {
  const TSize client = window_->ClientSize();
  const TRect placement = Placement();
  return {{ClampSide(client.Width), ClampSide(client.Height)},
          indicators_,
          {picture_.Width(), picture_.Height()},
          placement.Left,
          placement.Top};
}

void TImagePreview::ApplyTransparency() {
  if (blank_ || !transparencyDirty_) {
    return;
  }
  picture_.Transparent = transparent_;
  if (transparent_) {
    picture_.TransparentColor = picture_.Pixel(0, 0);
  }
}

void TImagePreview::Paint(bool force) {
  if (paintDepth_ != 0 || !window_) {
    return;
  }
  ++paintDepth_;
  try {
    const TLayout layout = CurrentLayout();
    const TRect placement = Placement();
    if (!blank_ && !force && cacheValid_ && layout == cache_) {
      PaintPictureOnly(placement);
    } else {
      // Without a back buffer nothing was drawn: the next paint must be a full one again.
      cacheValid_ = PaintEverything(layout, placement);
      cache_ = layout;
    }
  } catch (...) {
    // A failed paint leaves the last picture on screen.
  }
  --paintDepth_;
  transparencyDirty_ = false;
}

// During playback only the picture changes: the lines and the border on screen stay.
void TImagePreview::PaintPictureOnly(const TRect& placement) {
  ApplyTransparency();
  // The picture over the background, in a buffer kept from frame to frame.
  if ((composed_.Width() != picture_.Width() || composed_.Height() != picture_.Height()) &&
      !composed_.Resize(picture_.Width(), picture_.Height())) {
    return;
  }
  FillRect(composed_, composed_.Rect(), backgroundColor_);
  DrawTransparent(picture_, picture_.Rect(), composed_, composed_.Rect());
  window_->StretchBlit(composed_, placement);
}

bool TImagePreview::PaintEverything(const TLayout& layout, const TRect& placement) {
  if (!backBuffer_.Resize(layout.Buffer.Width, layout.Buffer.Height)) {
    return false;
  }
  const TRect client = backBuffer_.Rect();
  FillRect(backBuffer_, client, backgroundColor_);
  if (!blank_ && indicators_) {
    // Lines across the whole panel, just outside the picture on all four sides.
    const TRect g{placement.Left - 1, placement.Top - 1, placement.Right + 1, placement.Bottom + 1};
    DrawDottedHLine(backBuffer_, g.Top, 0, client.Right, kBlack, kWhite);
    DrawDottedHLine(backBuffer_, g.Bottom - 1, 0, client.Right, kBlack, kWhite);
    DrawDottedVLine(backBuffer_, g.Left, 0, client.Bottom, kBlack, kWhite);
    DrawDottedVLine(backBuffer_, g.Right - 1, 0, client.Bottom, kBlack, kWhite);
  }
  FrameRect(backBuffer_, client, kBlack);
  ApplyTransparency();
  if (!blank_) {
    DrawTransparent(picture_, picture_.Rect(), backBuffer_, placement);
  }
  window_->Blit(backBuffer_, 0, 0);
  return true;
}

}  // namespace torvel
