#include "formats/picture_area.h"

#include <gtest/gtest.h>

namespace torvel {
namespace {

// A picture whose every pixel tells its own coordinates: 0x00YYXX.
Bitmap Numbered(int w, int h) {
  Bitmap picture(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      picture.SetPixel(x, y, static_cast<TColor>(y << 8 | x));
    }
  }
  return picture;
}

TColor At(int x, int y) {
  return static_cast<TColor>(y << 8 | x);
}

TManipulationInfo Whole(Bitmap& picture) {
  return {&picture, picture.Rect(), true, ""};
}

TEST(PictureArea, CheckAreaOrdersAndClipsTheCorners) {
  Bitmap picture(10, 8);
  TManipulationInfo info{&picture, {10, 0, 0, 10}, true, ""};
  ASSERT_TRUE(CheckArea(info));
  EXPECT_EQ(info.Area, (TRect{0, 0, 10, 8}));
  info = {&picture, {-5, 3, 20, 30}, false, ""};
  ASSERT_TRUE(CheckArea(info));
  EXPECT_EQ(info.Area, (TRect{0, 3, 9, 7}));  // not inclusive: one short of the edges
}

TEST(PictureArea, NoPictureIsAnError) {
  TManipulationInfo info;
  EXPECT_FALSE(FlipArea(info));
  EXPECT_EQ(info.LastError, "Undefined image handle.");
  EXPECT_FALSE(MirrorArea(info));
}

TEST(PictureArea, FlipTurnsTheWholePictureUpsideDown) {
  Bitmap picture = Numbered(4, 3);
  TManipulationInfo info = Whole(picture);
  ASSERT_TRUE(FlipArea(info));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(picture.Pixel(x, y), At(x, 2 - y));
    }
  }
}

TEST(PictureArea, MirrorReversesOnlyTheArea) {
  Bitmap picture = Numbered(5, 2);
  TManipulationInfo info{&picture, {1, 0, 4, 1}, true, ""};
  ASSERT_TRUE(MirrorArea(info));
  EXPECT_EQ(picture.Pixel(0, 0), At(0, 0));
  EXPECT_EQ(picture.Pixel(1, 0), At(3, 0));
  EXPECT_EQ(picture.Pixel(2, 0), At(2, 0));
  EXPECT_EQ(picture.Pixel(3, 0), At(1, 0));
  EXPECT_EQ(picture.Pixel(4, 0), At(4, 0));
  EXPECT_EQ(picture.Pixel(1, 1), At(1, 1));  // the row below lies outside the area
}

TEST(PictureArea, FlipAndMirrorTogetherTurnByHalfACircle) {
  Bitmap picture = Numbered(6, 5);
  TManipulationInfo info = Whole(picture);
  ASSERT_TRUE(FlipArea(info));
  info = Whole(picture);
  ASSERT_TRUE(MirrorArea(info));
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(picture.Pixel(x, y), At(5 - x, 4 - y));
    }
  }
}

TEST(PictureArea, EitherTwiceRestoresThePicture) {
  Bitmap picture = Numbered(7, 4);
  const Bitmap original = picture;
  for (auto turn : {FlipArea, MirrorArea}) {
    for (int i = 0; i < 2; ++i) {
      TManipulationInfo info{&picture, {1, 1, 6, 4}, true, ""};
      ASSERT_TRUE(turn(info));
    }
    EXPECT_EQ(std::vector<uint8_t>(picture.Bytes(), picture.Bytes() + picture.ByteSize()),
              std::vector<uint8_t>(original.Bytes(), original.Bytes() + original.ByteSize()));
  }
}

}  // namespace
}  // namespace torvel
