#include "widgets/preview_widget.h"

#include <gtest/gtest.h>

#include "cells/image_preview.h"
#include "platform/raster.h"

namespace torvel {
namespace {

TEST(PreviewWidget, ShowsWhatThePreviewComposes) {
  auto* widget = new TPreviewWidget();
  widget->resize(300, 200);
  TImagePreview preview(std::make_unique<TWidgetSurface>(widget));
  widget->OnPaint = [&] { preview.Paint(true); };
  widget->show();
  Bitmap cell(50, 40);
  FillRect(cell, cell.Rect(), 0x0000FF);
  preview.ShowCell(std::make_shared<const Bitmap>(cell), false, false);
  const QImage shown = widget->grab().toImage();
  EXPECT_EQ(shown.pixelColor(150, 100), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(124, 2), QColor(0, 0, 0));  // an indicator line
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(0, 0, 0));    // the border
  EXPECT_EQ(widget->Screen().Pixel(125, 80), 0x0000FFu);
  FillRect(cell, cell.Rect(), 0x10C020);  // the next frame of playback
  preview.ShowCell(std::make_shared<const Bitmap>(cell), false, false);
  EXPECT_EQ(widget->grab().toImage().pixelColor(150, 100), QColor(0x20, 0xC0, 0x10));
}

TEST(PreviewWidget, TheSurfaceSurvivesItsWidgetBeingDeletedByAParent) {
  auto parent = std::make_unique<QWidget>();
  auto* widget = new TPreviewWidget(parent.get());
  TWidgetSurface surface(widget);
  EXPECT_EQ(surface.ClientSize(), (TSize{100, 100}));
  parent.reset();  // deletes the widget
  EXPECT_EQ(surface.ClientSize(), (TSize{}));
  surface.Blit(Bitmap(2, 2), 0, 0);  // nothing to draw on, and no crash
}

}  // namespace
}  // namespace torvel
