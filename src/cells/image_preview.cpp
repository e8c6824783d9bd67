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
    : window_(std::move(window)),
      backBuffer_(NewBitmap()),
      shown_(std::make_shared<const Bitmap>(NewBitmap())) {}

TImagePreview::~TImagePreview() {
  Detach();
}

void TImagePreview::Detach() {
  if (window_) {
    window_->Detach();
  }
}

void TImagePreview::ShowCell(const TCellPicture& cell, bool flip, bool mirror) {
  if (cell == nullptr || cell->IsEmpty()) {
    return;
  }
  cell_ = cell;
  flip_ = flip;
  mirror_ = mirror;
  blank_ = false;
  Paint(false);
}

void TImagePreview::Blank() {
  if (blank_) {
    return;
  }
  blank_ = true;
  cell_.reset();
  kept_.clear();
  keptBytes_ = 0;
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
  const int w = cell_ && !blank_ ? cell_->Width() : 1;
  const int h = cell_ && !blank_ ? cell_->Height() : 1;
  const int areaWidth = std::max(client.Width - 2 * kMargin, 0);
  const int areaHeight = std::max(client.Height - 2 * kMargin, 0);
  // Fitted to the area inside the margins, never enlarged. Fitting it to the whole window and
  // clipping it to the area would squeeze the picture out of shape in a small window.
  const double s = FitScale(areaWidth, w, areaHeight, h);
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
          !blank_,
          indicators_,
          {cell_ && !blank_ ? cell_->Width() : 1, cell_ && !blank_ ? cell_->Height() : 1},
          placement.Left,
          placement.Top};
}

// Turned as asked, the top-left colour left out when transparent, over the background, then
// scaled down to fit: what the window shows, in the order the eye expects.
Bitmap TImagePreview::Compose(const TComposition& how) const {
  Bitmap picture(cell_->Width(), cell_->Height());
  CopyRect(*cell_, cell_->Rect(), picture, 0, 0);
  TManipulationInfo whole{&picture, picture.Rect(), true, ""};
  if (how.Flip) {
    FlipArea(whole);
  }
  if (how.Mirror) {
    whole.Area = picture.Rect();
    MirrorArea(whole);
  }
  if (how.Transparent) {
    Bitmap over(picture.Width(), picture.Height());
    FillRect(over, over.Rect(), how.Background);
    picture.Transparent = true;
    picture.TransparentColor = picture.Pixel(0, 0);
    DrawTransparent(picture, picture.Rect(), over, over.Rect());
    picture = std::move(over);
  }
  if (how.Size.Width == picture.Width() && how.Size.Height == picture.Height()) {
    return picture;
  }
  Bitmap scaled(std::max(how.Size.Width, 1), std::max(how.Size.Height, 1));
  StretchRect(picture, picture.Rect(), scaled, scaled.Rect());
  return scaled;
}

std::shared_ptr<const Bitmap> TImagePreview::ComposedCell(const TRect& placement) {
  const TComposition how{
      {placement.Width(), placement.Height()}, backgroundColor_, transparent_, flip_, mirror_};
  if (!(how == keptFor_)) {
    kept_.clear();
    keptBytes_ = 0;
    keptFor_ = how;
  }
  const auto found = kept_.find(cell_.get());
  if (found != kept_.end() && found->second.Cell.lock() == cell_) {
    return found->second.Composed;
  }
  auto composed = std::make_shared<const Bitmap>(Compose(how));
  Keep(composed);
  return composed;
}

// Cells let go of by the store are dropped first; when the kept cells still take too much
// memory, they all go and are composed again as they come.
void TImagePreview::Keep(std::shared_ptr<const Bitmap> composed) {
  if (keptBytes_ + composed->ByteSize() > kMostKeptBytes) {
    std::erase_if(kept_, [this](const auto& entry) {
      const bool gone = entry.second.Cell.expired();
      keptBytes_ -= gone ? entry.second.Composed->ByteSize() : 0;
      return gone;
    });
  }
  if (keptBytes_ + composed->ByteSize() > kMostKeptBytes) {
    kept_.clear();
    keptBytes_ = 0;
  }
  auto& entry = kept_[cell_.get()];
  if (entry.Composed) {
    keptBytes_ -= entry.Composed->ByteSize();
  }
  keptBytes_ += composed->ByteSize();
  entry = {cell_, std::move(composed)};
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
}

// During playback only the picture changes: the lines and the border on screen stay.
void TImagePreview::PaintPictureOnly(const TRect& placement) {
  shown_ = ComposedCell(placement);
  window_->StretchBlit(*shown_, placement);
}

bool TImagePreview::PaintEverything(const TLayout& layout, const TRect& placement) {
  // No screen is that large: a window of more pixels is not worth the memory.
  if (int64_t{layout.Buffer.Width} * layout.Buffer.Height > kMostDecodedPixels ||
      !backBuffer_.Resize(layout.Buffer.Width, layout.Buffer.Height)) {
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
  if (!blank_ && !placement.IsEmpty()) {
    shown_ = ComposedCell(placement);
    CopyRect(*shown_, shown_->Rect(), backBuffer_, placement.Left, placement.Top);
  }
  window_->Blit(backBuffer_, 0, 0);
  return true;
}

}  // namespace torvel
