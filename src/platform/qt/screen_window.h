#pragma once

#include <QScreen>
#include <QWidget>

#include "platform/platform_ui.h"

namespace torvel {

// Lets the general services centre a Qt window on its screen.
class TWidgetOnScreen : public TScreenWindow {
 public:
  explicit TWidgetOnScreen(QWidget& window) : window_(window) {}
  TSize WindowSize() const override { return {window_.width(), window_.height()}; }
  TSize ScreenSize() const override {
    const QScreen* screen = window_.screen();
    return screen ? TSize{screen->size().width(), screen->size().height()} : TSize{};
  }
  void MoveTo(int left, int top) override { window_.move(left, top); }

 private:
  QWidget& window_;
};

}  // namespace torvel
