#include <gtest/gtest.h>

#include "platform/raster.h"
#include "platform/resample.h"

namespace torvel {
namespace {

Bitmap Filled(int w, int h, TColor color) {
  Bitmap picture(w, h);
  FillRect(picture, picture.Rect(), color);
  return picture;
}

int Red(const Bitmap& picture, int x, int y) {
  return picture.Pixel(x, y) & 0xFF;
}

TEST(Raster, CopyClipsToBothPictures) {
  Bitmap src(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      src.SetPixel(x, y, static_cast<TColor>(10 * y + x));
    }
  }
  Bitmap dst = Filled(3, 3, kWhite);
  CopyRect(src, {-1, -1, 3, 3}, dst, 1, 1);  // the source's corner lies outside it
  EXPECT_EQ(dst.Pixel(1, 1), kWhite);        // nothing came from outside the source
  EXPECT_EQ(dst.Pixel(2, 2), 0u);            // source (0, 0)
  CopyRect(src, src.Rect(), dst, -2, -1);
  EXPECT_EQ(dst.Pixel(0, 0), 12u);  // source (2, 1)
  EXPECT_EQ(dst.Pixel(1, 2), 33u);  // source (3, 3)
}

TEST(Raster, StretchOfEqualSizesIsAPlainCopy) {
  Bitmap src(3, 2);
  src.SetPixel(0, 0, 0x010203);
  src.SetPixel(2, 1, 0x0A0B0C);
  Bitmap dst = Filled(5, 5, kWhite);
  StretchRect(src, src.Rect(), dst, {1, 1, 4, 3});
  EXPECT_EQ(dst.Pixel(1, 1), 0x010203u);
  EXPECT_EQ(dst.Pixel(3, 2), 0x0A0B0Cu);
  EXPECT_EQ(dst.Pixel(4, 4), kWhite);
}

TEST(Raster, ShrinkingAveragesTheCoveredArea) {
  Bitmap src(4, 2);
  // Columns 0..1 hold red 0 and 200, columns 2..3 hold 100 and 100.
  for (int y = 0; y < 2; ++y) {
    src.SetPixel(0, y, 0);
    src.SetPixel(1, y, 200);
    src.SetPixel(2, y, 100);
    src.SetPixel(3, y, 100);
  }
  Bitmap dst(2, 1);
  StretchRect(src, src.Rect(), dst, dst.Rect());
  EXPECT_EQ(Red(dst, 0, 0), 100);
  EXPECT_EQ(Red(dst, 1, 0), 100);
  Bitmap third(1, 1);
  Bitmap row(3, 1);
  row.SetPixel(0, 0, 30);
  row.SetPixel(1, 0, 60);
  row.SetPixel(2, 0, 90);
  StretchRect(row, row.Rect(), third, third.Rect());
  EXPECT_EQ(Red(third, 0, 0), 60);
}

TEST(Raster, EnlargingInterpolatesBetweenNeighbours) {
  Bitmap src(2, 1);
  src.SetPixel(1, 0, 255);
  Bitmap dst(4, 1);
  StretchRect(src, src.Rect(), dst, dst.Rect());
  EXPECT_EQ(Red(dst, 0, 0), 0);
  EXPECT_EQ(Red(dst, 1, 0), 64);
  EXPECT_EQ(Red(dst, 2, 0), 191);
  EXPECT_EQ(Red(dst, 3, 0), 255);
}

TEST(Raster, AnyScaleKeepsAPlainColourExactly) {
  const Bitmap src = Filled(37, 23, 0x8040C0);
  for (const TRect& to : {TRect{0, 0, 5, 90}, TRect{0, 0, 100, 3}, TRect{0, 0, 48, 48}}) {
    Bitmap dst(to.Right, to.Bottom);
    StretchRect(src, src.Rect(), dst, to);
    for (int y = 0; y < dst.Height(); ++y) {
      for (int x = 0; x < dst.Width(); ++x) {
        ASSERT_EQ(dst.Pixel(x, y), 0x8040C0u) << x << "," << y;
      }
    }
  }
}

TEST(Raster, StretchLeavesOutWhatLiesOutsideTheDestination) {
  const Bitmap src = Filled(4, 4, 0x00FF00);
  Bitmap dst = Filled(4, 4, kWhite);
  StretchRect(src, src.Rect(), dst, {2, -3, 10, 3});  // 8 x 6, mostly outside
  EXPECT_EQ(dst.Pixel(1, 0), kWhite);
  EXPECT_EQ(dst.Pixel(2, 0), 0x00FF00u);
  EXPECT_EQ(dst.Pixel(3, 2), 0x00FF00u);
  EXPECT_EQ(dst.Pixel(3, 3), kWhite);
}

TEST(Raster, AxisWeightsAlwaysAddUpToOne) {
  for (const auto& [from, to] : {std::pair{1, 7}, {7, 1}, {21845, 48}, {3, 1000}, {48, 48}}) {
    const TAxisWeights w = BuildAxisWeights(from, to);
    ASSERT_EQ(static_cast<int>(w.First.size()), to);
    for (int i = 0; i < to; ++i) {
      int32_t sum = 0;
      for (int k = 0; k < w.Count[i]; ++k) {
        sum += w.Weights[w.Offset[i] + k];
        EXPECT_LT(w.First[i] + k, from);
      }
      EXPECT_EQ(sum, TAxisWeights::kWeightOne) << from << "->" << to << " at " << i;
    }
  }
}

TEST(Raster, TransparentDrawingLeavesOutTheTransparentColour) {
  Bitmap src = Filled(2, 2, 0x0000FF);
  src.SetPixel(1, 1, 0x00FF00);
  src.Transparent = true;
  src.TransparentColor = 0x0000FF;
  Bitmap dst = Filled(4, 4, kWhite);
  DrawTransparent(src, src.Rect(), dst, dst.Rect());  // doubled in size
  EXPECT_EQ(dst.Pixel(0, 0), kWhite);
  EXPECT_EQ(dst.Pixel(1, 2), kWhite);
  EXPECT_EQ(dst.Pixel(2, 2), 0x00FF00u);
  EXPECT_EQ(dst.Pixel(3, 3), 0x00FF00u);
  src.Transparent = false;
  DrawTransparent(src, src.Rect(), dst, dst.Rect());
  EXPECT_EQ(dst.Pixel(0, 0), 0x0000FFu);
}

TEST(Raster, UnscaledTransparentDrawingCopiesTheVisibleRunsOfAClippedRow) {
  Bitmap src(5, 1);
  const TColor key = 0x0000FF;
  const TColor row[] = {key, 0x111111, key, 0x222222, 0x333333};
  for (int x = 0; x < 5; ++x) {
    src.SetPixel(x, 0, row[x]);
  }
  src.Transparent = true;
  src.TransparentColor = key;
  Bitmap dst = Filled(5, 1, kWhite);
  DrawTransparent(src, src.Rect(), dst, {-1, 0, 4, 1});  // the first column falls off the left
  const TColor expected[] = {0x111111, kWhite, 0x222222, 0x333333, kWhite};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(dst.Pixel(x, 0), expected[x]) << x;
  }
}

TEST(Raster, FramesAndDottedLines) {
  Bitmap dst = Filled(5, 4, kWhite);
  FrameRect(dst, dst.Rect(), kBlack);
  EXPECT_EQ(dst.Pixel(0, 0), kBlack);
  EXPECT_EQ(dst.Pixel(4, 3), kBlack);
  EXPECT_EQ(dst.Pixel(2, 3), kBlack);
  EXPECT_EQ(dst.Pixel(2, 2), kWhite);

  Bitmap lines = Filled(6, 6, 0x123456);
  DrawDottedHLine(lines, 1, 0, 6, kBlack, kWhite);
  EXPECT_EQ(lines.Pixel(0, 1), kBlack);
  EXPECT_EQ(lines.Pixel(1, 1), kWhite);
  EXPECT_EQ(lines.Pixel(4, 1), kBlack);
  DrawDottedVLine(lines, 5, 2, 9, kBlack, kWhite);  // runs off the bottom
  EXPECT_EQ(lines.Pixel(5, 2), kBlack);
  EXPECT_EQ(lines.Pixel(5, 3), kWhite);
  EXPECT_EQ(lines.Pixel(5, 0), 0x123456u);
  DrawDottedHLine(lines, -1, 0, 6, kBlack, kWhite);  // outside: nothing happens
}

}  // namespace
}  // namespace torvel
