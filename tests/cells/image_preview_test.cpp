#include "cells/image_preview.h"

#include <gtest/gtest.h>

#include "platform/raster.h"

namespace torvel {
namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kGrey = 0x808080;

Bitmap Plain(int w, int h, TColor color) {
  Bitmap picture(w, h);
  FillRect(picture, picture.Rect(), color);
  return picture;
}

class ImagePreviewTest : public testing::Test {
 protected:
  explicit ImagePreviewTest(TSize size = {300, 200}) {
    auto window = std::make_unique<TBitmapSurface>(size);
    screen = window.get();
    preview = std::make_unique<TImagePreview>(std::move(window));
  }

  void Show(const Bitmap& cell, bool flip = false, bool mirror = false) {
    preview->ShowCell(std::make_shared<const Bitmap>(cell), flip, mirror);
  }
  TColor At(int x, int y) const { return screen->Screen.Pixel(x, y); }

  TBitmapSurface* screen = nullptr;
  std::unique_ptr<TImagePreview> preview;
};

TEST_F(ImagePreviewTest, ASmallCellIsCentredUnscaled) {
  Show(Plain(50, 40, kRed));
  EXPECT_EQ(preview->Placement(), (TRect{125, 80, 175, 120}));
  EXPECT_EQ(At(125, 80), kRed);
  EXPECT_EQ(At(174, 119), kRed);
  EXPECT_NE(At(175, 100), kRed);
  EXPECT_NE(At(150, 120), kRed);
}

TEST_F(ImagePreviewTest, ALargeCellIsScaledToTheAreaInsideTheMarginsInItsOwnShape) {
  Show(Plain(600, 100, kRed));  // 280 / 600 of its size: 280 x 47
  EXPECT_EQ(preview->Placement(), (TRect{10, 76, 290, 123}));
  EXPECT_EQ(At(10, 76), kRed);
  EXPECT_EQ(At(289, 122), kRed);
  EXPECT_EQ(At(290, 100), kBlack);  // the indicator line just right of the picture
}

TEST_F(ImagePreviewTest, AShortWindowShrinksTheCellWithoutSqueezingIt) {
  preview = std::make_unique<TImagePreview>(std::make_unique<TBitmapSurface>(TSize{300, 38}));
  preview->ShowCell(std::make_shared<const Bitmap>(Plain(64, 48, kRed)), false, false);
  const TRect placement = preview->Placement();
  EXPECT_EQ(placement.Height(), 18);
  EXPECT_EQ(placement.Width(), 24);  // 64 x 48 at 18 / 48
}

TEST_F(ImagePreviewTest, AOnePixelCellShownAfterTheBlankPanelHasItsGuideLines) {
  Show(Plain(4, 4, kGreen));
  preview->Blank();  // a blank panel has the layout of a 1 x 1 picture
  Show(Plain(1, 1, kRed));
  EXPECT_EQ(preview->Placement(), (TRect{149, 99, 150, 100}));
  EXPECT_EQ(At(149, 99), kRed);
  EXPECT_EQ(At(148, 50), kBlack);  // the lines on all four sides
  EXPECT_EQ(At(150, 50), kBlack);
  EXPECT_EQ(At(50, 98), kBlack);
  EXPECT_EQ(At(50, 100), kBlack);
}

TEST_F(ImagePreviewTest, IndicatorLinesTouchThePictureFromOutsideAndReachTheEdges) {
  Show(Plain(50, 40, kRed));
  // Vertical lines at x = 124 and 175, horizontal ones at y = 79 and 120, dotted from 0.
  for (int y : {2, 50, 196}) {
    EXPECT_EQ(At(124, y), kBlack) << y;
    EXPECT_EQ(At(175, y), kBlack) << y;
    EXPECT_EQ(At(124, y + 1), kWhite) << y;
  }
  for (int x : {2, 100, 296}) {
    EXPECT_EQ(At(x, 79), kBlack) << x;
    EXPECT_EQ(At(x, 120), kBlack) << x;
    EXPECT_EQ(At(x + 1, 79), kWhite) << x;
  }
  EXPECT_EQ(At(123, 50), kWhite);
  EXPECT_EQ(At(0, 50), kBlack);  // the border
  EXPECT_EQ(At(299, 199), kBlack);
}

TEST_F(ImagePreviewTest, WithoutIndicatorsOnlyTheBorderIsDrawn) {
  Show(Plain(50, 40, kRed));
  preview->SetIndicators(false);
  EXPECT_EQ(At(124, 50), kWhite);
  EXPECT_EQ(At(150, 79), kWhite);
  EXPECT_EQ(At(0, 0), kBlack);
  EXPECT_EQ(At(150, 100), kRed);
}

TEST_F(ImagePreviewTest, BlankShowsTheBackgroundAndTheBorderOnly) {
  preview->SetBackgroundColor(kGrey);
  EXPECT_EQ(At(150, 100), kGrey);
  Show(Plain(50, 40, kRed));
  preview->Blank();
  EXPECT_TRUE(preview->IsBlank());
  EXPECT_EQ(At(150, 100), kGrey);
  EXPECT_EQ(At(124, 50), kGrey);  // no indicator lines when blank
  EXPECT_EQ(At(0, 100), kBlack);
}

TEST_F(ImagePreviewTest, TransparencyUsesTheTopLeftPixel) {
  Bitmap cell = Plain(50, 40, kGreen);
  FillRect(cell, {10, 10, 20, 20}, kRed);
  preview->SetBackgroundColor(kGrey);
  Show(cell);
  EXPECT_EQ(At(130, 85), kGreen);
  preview->SetTransparent(true);
  EXPECT_EQ(At(130, 85), kGrey);  // green, the top-left colour, shows the background
  EXPECT_EQ(At(140, 95), kRed);
  preview->SetTransparent(false);
  EXPECT_EQ(At(130, 85), kGreen);
}

TEST_F(ImagePreviewTest, FlipAndMirrorTogetherTurnThePictureHalfway) {
  Bitmap cell = Plain(50, 40, kGreen);
  cell.SetPixel(0, 0, kRed);
  Show(cell, true, true);
  EXPECT_EQ(At(174, 119), kRed);
  EXPECT_EQ(At(125, 80), kGreen);
  Show(cell, true, false);
  EXPECT_EQ(At(125, 119), kRed);
  Show(cell, false, true);
  EXPECT_EQ(At(174, 80), kRed);
}

TEST_F(ImagePreviewTest, ANewCellOfTheSameSizeRedrawsOnlyThePicture) {
  Show(Plain(50, 40, kRed));
  EXPECT_EQ(screen->LastBlit, (TRect{0, 0, 300, 200}));  // the first paint is a full one
  screen->Screen.SetPixel(5, 5, kGreen);                 // marks the screen outside the picture
  Show(Plain(50, 40, kGreen));
  EXPECT_EQ(screen->LastBlit, (TRect{125, 80, 175, 120}));
  EXPECT_EQ(At(150, 100), kGreen);
  EXPECT_EQ(At(5, 5), kGreen);  // untouched by the light paint
  Show(Plain(60, 40, kRed));    // another size: full paint again
  EXPECT_EQ(screen->LastBlit, (TRect{0, 0, 300, 200}));
  EXPECT_EQ(At(5, 5), kWhite);
}

TEST_F(ImagePreviewTest, AResizedWindowGetsAFullPaint) {
  Show(Plain(50, 40, kRed));
  screen->Resize({400, 300});
  Show(Plain(50, 40, kRed));
  EXPECT_EQ(screen->LastBlit, (TRect{0, 0, 400, 300}));
  EXPECT_EQ(At(175, 130), kRed);
}

// A window larger than any back buffer the program may make: full paints cannot be drawn.
class TOversizedSurface : public TPreviewSurface {
 public:
  TSize ClientSize() const override { return {20000, 20000}; }
  void Blit(const Bitmap&, int, int) override { ++Blits; }
  void StretchBlit(const Bitmap&, const TRect&) override { ++Blits; }
  void Invalidate() override {}
  void Detach() override {}
  int Blits = 0;
};

TEST(ImagePreview, AFullPaintThatCouldNotBeDrawnIsNotTakenAsDone) {
  auto window = std::make_unique<TOversizedSurface>();
  const TOversizedSurface& surface = *window;
  TImagePreview preview(std::move(window));
  const Bitmap cell = Plain(50, 40, kRed);
  preview.ShowCell(std::make_shared<const Bitmap>(cell), false, false);
  preview.ShowCell(std::make_shared<const Bitmap>(cell), false,
                   false);  // no picture alone over an unpainted panel
  EXPECT_EQ(surface.Blits, 0);
}

TEST_F(ImagePreviewTest, UnchangedSettingsDoNotRepaint) {
  Show(Plain(50, 40, kRed));
  const int blits = screen->Blits;
  preview->SetBackgroundColor(kWhite);
  preview->SetIndicators(true);
  preview->SetTransparent(false);
  preview->Blank();
  preview->Blank();
  EXPECT_EQ(screen->Blits, blits + 1);  // only the first Blank painted
}

TEST_F(ImagePreviewTest, DestroyingThePreviewDetachesItsWindow) {
  auto window = std::make_unique<TBitmapSurface>(TSize{10, 10});
  TBitmapSurface* raw = window.get();
  bool detachedBeforeDelete = false;
  {
    TImagePreview other(std::move(window));
    other.Detach();
    detachedBeforeDelete = raw->Detached;
  }
  EXPECT_TRUE(detachedBeforeDelete);
}

TEST_F(ImagePreviewTest, TinyWindowsAndHugeCellsStayInBounds) {
  screen->Resize({5, 5});
  Show(Plain(60000, 2, kRed));
  EXPECT_LE(preview->Picture().Width(), 5);
  const TRect placement = preview->Placement();
  EXPECT_GE(placement.Width(), 0);
  EXPECT_GE(placement.Height(), 0);
}

// Playback of large cells scales each cell once: shown again, the same composed picture comes
// back, until a setting it depends on changes.
TEST_F(ImagePreviewTest, EachCellIsComposedOnceAndKept) {
  const auto large = std::make_shared<const Bitmap>(Plain(1920, 1080, kRed));
  const auto other = std::make_shared<const Bitmap>(Plain(1920, 1080, kGreen));
  preview->ShowCell(large, false, false);
  const Bitmap* composed = &preview->Picture();
  EXPECT_EQ(composed->Width(), 280);  // scaled down to the placement
  preview->ShowCell(other, false, false);
  EXPECT_EQ(At(150, 100), kGreen);
  preview->ShowCell(large, false, false);
  EXPECT_EQ(&preview->Picture(), composed);
  EXPECT_EQ(At(150, 100), kRed);
  preview->ShowCell(large, true, false);
  EXPECT_NE(&preview->Picture(), composed);
}

}  // namespace
}  // namespace torvel
