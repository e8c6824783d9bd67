#include "widgets/preview_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>

#include "platform/qt/bitmap_image.h"
#include "platform/raster.h"

namespace torvel {

namespace {

// The preview is a picture to assistive technology; its name and description are the widget's.
QAccessibleInterface* AccessiblePreview(const QString&, QObject* object) {
  auto* preview = qobject_cast<TPreviewWidget*>(object);
  return preview != nullptr ? new QAccessibleWidget(preview, QAccessible::Graphic) : nullptr;
}

}  // namespace

TPreviewWidget::TPreviewWidget(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(AccessiblePreview), true);
  Q_UNUSED(installed);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(100, 100);
  screen_.Resize(100, 100);
  shown_ = QImage(100, 100, QImage::Format_RGB32);
}

void TPreviewWidget::Put(const Bitmap& picture, int x, int y) {
  CopyRect(picture, picture.Rect(), screen_, x, y);
  Changed({x, y, x + picture.Width(), y + picture.Height()});
}

void TPreviewWidget::PutStretched(const Bitmap& picture, const TRect& rect) {
  StretchRect(picture, picture.Rect(), screen_, rect);
  Changed(rect);
}

void TPreviewWidget::RequestCompose() {
  needsCompose_ = true;
  update();
}

// The kept picture is copied into the window's own format as it changes, so a repaint is a plain
// copy: handed the 24-bit picture, the painter converts all of it, a large one on several
// threads, on every frame of playback.
void TPreviewWidget::Changed(const TRect& rect) {
  CopyToRgb32(screen_, rect, shown_);
  if (!painting_) {
    update(rect.Left, rect.Top, rect.Width(), rect.Height());
  }
}

// The kept picture is what the window shows, so most repaints just put it back. Only a window
// whose size changed asks the panel to compose everything again.
void TPreviewWidget::paintEvent(QPaintEvent* event) {
  if (needsCompose_) {
    needsCompose_ = false;
    painting_ = true;
    if (OnPaint) {
      OnPaint();
    }
    painting_ = false;
  }
  const QRect area = event->rect();
  QPainter(this).drawImage(area.topLeft(), shown_, area);
}

void TPreviewWidget::resizeEvent(QResizeEvent*) {
  screen_.Resize(std::max(width(), 1), std::max(height(), 1));
  shown_ = QImage(screen_.Width(), screen_.Height(), QImage::Format_RGB32);
  needsCompose_ = true;
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
    widget_->RequestCompose();
  }
}

void TWidgetSurface::Detach() {
  if (widget_) {
    widget_->hide();
    widget_->setParent(nullptr);
  }
}

}  // namespace torvel
