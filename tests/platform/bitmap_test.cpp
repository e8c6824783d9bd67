#include <gtest/gtest.h>

#include "platform/bitmap.h"

namespace torvel {
namespace {

TEST(Bitmap, RowsArePaddedToFourBytes) {
  EXPECT_EQ(Bitmap::StrideFor(1), 4);
  EXPECT_EQ(Bitmap::StrideFor(4), 12);
  EXPECT_EQ(Bitmap::StrideFor(5), 16);
  Bitmap picture(5, 3);
  EXPECT_EQ(picture.Stride(), 16);
  EXPECT_EQ(picture.ByteSize(), 48u);
}

TEST(Bitmap, PixelsAreStoredBlueGreenRed) {
  Bitmap picture(2, 1);
  picture.SetPixel(1, 0, 0x123456);  // 0x00BBGGRR
  EXPECT_EQ(picture.Row(0)[3], 0x12);
  EXPECT_EQ(picture.Row(0)[4], 0x34);
  EXPECT_EQ(picture.Row(0)[5], 0x56);
  EXPECT_EQ(picture.Pixel(1, 0), 0x123456u);
}

TEST(Bitmap, ResizingKeepsTheSharedAreaAndZeroesTheRest) {
  Bitmap picture(3, 2);
  picture.SetPixel(0, 0, 0x111111);
  picture.SetPixel(2, 1, 0x222222);
  picture.Row(0)[9] = 0xEE;  // a padding byte
  ASSERT_TRUE(picture.Resize(6, 4));
  EXPECT_EQ(picture.Pixel(0, 0), 0x111111u);
  EXPECT_EQ(picture.Pixel(2, 1), 0x222222u);
  EXPECT_EQ(picture.Pixel(5, 3), kBlack);
  EXPECT_EQ(picture.Row(0)[9], 0);  // now inside the wider row: new pixel, black
  ASSERT_TRUE(picture.Resize(1, 1));
  EXPECT_EQ(picture.Pixel(0, 0), 0x111111u);
  for (int i = 3; i < picture.Stride(); ++i) {
    EXPECT_EQ(picture.Row(0)[i], 0) << "padding byte " << i;
  }
}

TEST(Bitmap, RefusesSizesBeyondTheCapWithoutChanging) {
  Bitmap picture(4, 4);
  picture.SetPixel(3, 3, 0xABCDEF);
  EXPECT_FALSE(picture.Resize(-1, 4));
  EXPECT_FALSE(picture.Resize(1 << 15, 1 << 15));  // 2^30 pixels: more than 2 GiB
  EXPECT_FALSE(picture.Resize(INT32_MAX, INT32_MAX));
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Pixel(3, 3), 0xABCDEFu);
  EXPECT_TRUE(Bitmap::IsAllowedSize(1 << 13, 1 << 13));
  EXPECT_TRUE(Bitmap::IsAllowedSize(65535, 10922));  // a cell of the whole budget
  EXPECT_TRUE(Bitmap::IsDecodableSize(1 << 13, 1 << 13));
  EXPECT_FALSE(Bitmap::IsDecodableSize(1 << 14, 1 << 13));  // more than a file may make
  EXPECT_THROW(Bitmap(1 << 20, 1 << 20), std::bad_alloc);
}

}  // namespace
}  // namespace torvel
