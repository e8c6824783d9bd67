#include <gtest/gtest.h>

#include "platform/bmp.h"

namespace torvel {
namespace {

TEST(BmpWriter, WritesTheExactFileLayout) {
  Bitmap picture(2, 2);
  picture.SetPixel(0, 0, 0x0000FF);  // red, top left
  picture.SetPixel(1, 0, 0x00FF00);  // green
  picture.SetPixel(0, 1, 0xFF0000);  // blue, bottom left
  picture.SetPixel(1, 1, 0xFFFFFF);

  // clang-format off
  const std::vector<uint8_t> expected = {
      'B', 'M', 70, 0, 0, 0,  // file size 54 + 2 rows of 8 bytes
      0, 0, 0, 0,             // reserved
      54, 0, 0, 0,            // pixel data offset
      40, 0, 0, 0,            // information header size
      2, 0, 0, 0, 2, 0, 0, 0, // width, height (positive: bottom-up)
      1, 0, 24, 0,            // planes, bits per pixel
      0, 0, 0, 0,             // no compression
      16, 0, 0, 0,            // image size
      0, 0, 0, 0, 0, 0, 0, 0, // resolution
      0, 0, 0, 0, 0, 0, 0, 0, // colours used, important: no colour table
      // bottom row first: blue, white, two zero padding bytes
      0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,
      // top row: red, green
      0, 0, 0xFF, 0, 0xFF, 0, 0, 0,
  };
  // clang-format on
  EXPECT_EQ(EncodeBmp(picture), expected);

  TMemoryStream stream;
  ASSERT_TRUE(EncodeBmp(picture, stream));
  EXPECT_EQ(stream.Bytes(), expected);
}

TEST(BmpWriter, RoundTripsThroughTheReader) {
  Bitmap picture(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      picture.SetPixel(x, y, static_cast<TColor>(x * 0x2A1B0C + y * 0x010203) & 0xFFFFFF);
    }
  }
  Bitmap back;
  std::string error;
  ASSERT_TRUE(DecodeBmp(EncodeBmp(picture), back, error)) << error;
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(back.Pixel(x, y), picture.Pixel(x, y));
    }
  }
}

// A stream that takes only a few bytes, like a full disk.
class TShortStream : public TMemoryStream {
 public:
  size_t Write(const void* buffer, size_t count) override {
    const size_t room = Size() < 60 ? std::min<size_t>(count, 60 - Size()) : 0;
    return TMemoryStream::Write(buffer, room);
  }
};

TEST(BmpWriter, ReportsAStreamThatFillsUp) {
  Bitmap picture(10, 10);
  TShortStream stream;
  EXPECT_FALSE(EncodeBmp(picture, stream));
}

}  // namespace
}  // namespace torvel
