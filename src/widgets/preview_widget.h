#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "cells/preview_surface.h"

namespace torvel {

// The preview panel's window: it keeps what the panel drew and paints it. After a change of size
// the next repaint asks the panel to compose everything again (OnPaint).
class TPreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TPreviewWidget(QWidget* parent = nullptr);

  std::function<void()> OnPaint;
  const Bitmap& Screen() const { return screen_; }

  void Put(const Bitmap& picture, int x, int y);
  void PutStretched(const Bitmap& picture, const TRect& rect);
  // Repaints with a fresh composition by the panel.
  void RequestCompose();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Changed(const TRect& rect);

  Bitmap screen_;
  QImage shown_;  // screen_ in the window's format
  bool painting_ = false;
  bool needsCompose_ = true;
};

// The panel's surface over a preview widget. It owns the widget unless a parent widget deleted
// it first.
class TWidgetSurface : public TPreviewSurface {
 public:
  explicit TWidgetSurface(TPreviewWidget* widget) : widget_(widget) {}
  ~TWidgetSurface() override;

  TSize ClientSize() const override;
  void Blit(const Bitmap& picture, int x, int y) override;
  void StretchBlit(const Bitmap& picture, const TRect& rect) override;
  void Invalidate() override;
  void Detach() override;

 private:
  QPointer<TPreviewWidget> widget_;
};

}  // namespace torvel
