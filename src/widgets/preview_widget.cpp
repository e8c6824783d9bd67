#include "widgets/preview_widget.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/qt/bitmap_image.h"
#include "platform/raster.h"

namespace torvel {

TPreviewWidget::TPreviewWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
  screen_.Resize(100, 100);
}

void TPreviewWidget::Put(const Bitmap& picture, int x, int y) {
  CopyRect(picture, picture.Rect(), screen_, x, y);
  Changed({x, y, x + picture.Width(), y + picture.Height()});
}

void TPreviewWidget::PutStretched(const Bitmap& picture, const TRect& rect) {
  StretchRect(picture, picture.Rect(), screen_, rect);
  Changed(rect);
}

void TPreviewWidget::Changed(const TRect& rect) {
  if (!painting_) {
    update(rect.Left, rect.Top, rect.Width(), rect.Height());
  }
}

void TPreviewWidget::paintEvent(QPaintEvent*) {
  if (screen_.Width() != width() || screen_.Height() != height()) {
    screen_.Resize(std::max(width(), 1), std::max(height(), 1));
  }
  painting_ = true;
  if (OnPaint) {
    OnPaint();
  }
  painting_ = false;
  QPainter painter(this);
  painter.drawImage(0, 0, ImageView(screen_));
}

void TPreviewWidget::resizeEvent(QResizeEvent*) {
  screen_.Resize(std::max(width(), 1), std::max(height(), 1));
  update();
}

TWidgetSurface::~TWidgetSurface() {
  delete widget_.data();
}

TSize TWidgetSurface::ClientSize() const {
  return widget_ ? TSize{widget_->width(), widget_->height()} : TSize{};
}

void TWidgetSurface::Blit(const Bitmap& picture, int x, int y) {
  if (widget_) {
    widget_->Put(picture, x, y);
  }
}

void TWidgetSurface::StretchBlit(const Bitmap& picture, const TRect& rect) {
  if (widget_) {
    widget_->PutStretched(picture, rect);
  }
}

void TWidgetSurface::Invalidate() {
  if (widget_) {
    widget_->update();
  }
}

void TWidgetSurface::Detach() {
  if (widget_) {
    widget_->hide();
    widget_->setParent(nullptr);
  }
}

}  // namespace torvel
