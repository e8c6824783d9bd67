#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/bmp.h"
#include "platform/files.h"
#include "support/bmp_builder.h"

namespace torvel {
namespace {

using test::BuildBmp;
using test::TBmpLayout;

std::vector<uint8_t> DataFile(const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(std::string(TORVEL_TEST_DATA) + "/" + name, 1 << 20, bytes)) << name;
  return bytes;
}

// Reads the plain-text PPM or PBM picture the BMP test files were made from.
Bitmap NetpbmPicture(const std::string& name) {
  std::ifstream in(std::string(TORVEL_TEST_DATA) + "/" + name);
  std::string magic;
  int w = 0;
  int h = 0;
  in >> magic >> w >> h;
  int maxValue = 1;
  if (magic == "P3") {
    in >> maxValue;
  }
  Bitmap picture(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (magic == "P3") {
        int r = 0, g = 0, b = 0;
        in >> r >> g >> b;
        picture.SetPixel(x, y, TColor(r) | TColor(g) << 8 | TColor(b) << 16);
      } else {
        int bit = 0;
        in >> bit;
        picture.SetPixel(x, y, bit ? kBlack : kWhite);
      }
    }
  }
  return picture;
}

void ExpectSamePixels(const Bitmap& expected, const Bitmap& actual, int tolerance = 0) {
  ASSERT_EQ(expected.Width(), actual.Width());
  ASSERT_EQ(expected.Height(), actual.Height());
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      for (int shift = 0; shift < 24; shift += 8) {
        const int e = (expected.Pixel(x, y) >> shift) & 0xFF;
        const int a = (actual.Pixel(x, y) >> shift) & 0xFF;
        EXPECT_LE(std::abs(e - a), tolerance) << "pixel " << x << "," << y;
      }
    }
  }
}

Bitmap Decoded(const std::vector<uint8_t>& bytes) {
  Bitmap picture;
  std::string error;
  EXPECT_TRUE(DecodeBmp(bytes, picture, error)) << error;
  return picture;
}

TEST(BmpReader, ReadsFilesMadeByImageMagick) {
  const Bitmap colours = NetpbmPicture("src.ppm");
  ExpectSamePixels(colours, Decoded(DataFile("rgb24.bmp")));      // 40-byte header, 24 bits
  ExpectSamePixels(colours, Decoded(DataFile("rgb24_v5.bmp")));   // 124-byte header
  ExpectSamePixels(colours, Decoded(DataFile("pal.bmp")));        // 4 bits, palette
  ExpectSamePixels(colours, Decoded(DataFile("rle.bmp")));        // 8 bits, RLE8
  ExpectSamePixels(colours, Decoded(DataFile("argb32.bmp")));     // 32-bit bit fields
  ExpectSamePixels(colours, Decoded(DataFile("rgb565.bmp")), 8);  // 16-bit bit fields
  ExpectSamePixels(NetpbmPicture("mono.pbm"), Decoded(DataFile("mono.bmp")));  // 1 bit
}

TEST(BmpReader, RowsRunBottomUpUnlessTheHeightIsNegative) {
  TBmpLayout layout;
  layout.Width = 1;
  layout.Height = 2;
  // Row one: blue pixel; row two: red pixel; each padded to 4 bytes.
  layout.Pixels = {0xFF, 0, 0, 0, 0, 0, 0xFF, 0};
  const Bitmap bottomUp = Decoded(BuildBmp(layout));
  EXPECT_EQ(bottomUp.Pixel(0, 1), 0xFF0000u);  // the first stored row is the bottom one
  EXPECT_EQ(bottomUp.Pixel(0, 0), 0x0000FFu);
  layout.Height = -2;
  const Bitmap topDown = Decoded(BuildBmp(layout));
  EXPECT_EQ(topDown.Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(topDown.Pixel(0, 1), 0x0000FFu);
}

TEST(BmpReader, KeepsThePaddingBytesOfTwentyFourBitRows) {
  TBmpLayout layout;
  layout.Width = 1;
  layout.Height = 2;
  layout.Pixels = {1, 2, 3, 0xAB, 4, 5, 6, 0xCD};
  const std::vector<uint8_t> file = BuildBmp(layout);
  const Bitmap picture = Decoded(file);
  EXPECT_EQ(picture.Row(1)[3], 0xAB);
  EXPECT_EQ(picture.Row(0)[3], 0xCD);
  const std::vector<uint8_t> written = EncodeBmp(picture);
  ASSERT_EQ(written.size(), file.size());
  EXPECT_TRUE(std::equal(file.begin() + 54, file.end(), written.begin() + 54));
}

TEST(BmpReader, ReadsOs2CoreHeadersWithThreeBytePalettes) {
  TBmpLayout layout;
  layout.HeaderSize = 12;
  layout.Width = 3;
  layout.Height = 1;
  layout.Bits = 8;
  layout.Palette.assign(256, 0);
  layout.Palette[1] = 0x112233;
  layout.Palette[2] = 0x445566;
  layout.Pixels = {2, 1, 2, 0};
  const Bitmap picture = Decoded(BuildBmp(layout));
  EXPECT_EQ(picture.Pixel(0, 0), 0x665544u);  // 0x00RRGGBB in the file, 0x00BBGGRR here
  EXPECT_EQ(picture.Pixel(1, 0), 0x332211u);
}

TEST(BmpReader, ReadsPlainSixteenAndThirtyTwoBitPixels) {
  TBmpLayout layout;
  layout.Width = 2;
  layout.Height = 1;
  layout.Bits = 16;                          // 5-5-5 without bit fields
  layout.Pixels = {0x00, 0x7C, 0x1F, 0x00};  // pure red, pure blue
  Bitmap picture = Decoded(BuildBmp(layout));
  EXPECT_EQ(picture.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(picture.Pixel(1, 0), 0xFF0000u);
  layout.Bits = 32;
  layout.Pixels = {0x10, 0x20, 0x30, 0x99, 0x40, 0x50, 0x60, 0x00};
  picture = Decoded(BuildBmp(layout));
  EXPECT_EQ(picture.Pixel(0, 0), 0x102030u);
  EXPECT_EQ(picture.Pixel(1, 0), 0x405060u);
}

TEST(BmpReader, DecodesRle4AndRle8EscapesAndDeltas) {
  TBmpLayout layout;
  layout.Width = 6;
  layout.Height = 2;
  layout.Bits = 4;
  layout.Compression = 2;  // RLE4
  layout.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  layout.ColorsUsed = 4;
  // Row 0: run of 4 alternating 1,2; absolute 3 pixels 3,1,2 (padded); end of line.
  // Row 1: delta (2, 0); run of 2 of colour 3; end of bitmap.
  layout.Pixels = {4, 0x12, 0, 3, 0x31, 0x20, 0, 0, 0, 2, 2, 0, 2, 0x33, 0, 1};
  layout.Width = 7;
  Bitmap picture = Decoded(BuildBmp(layout));
  const TColor red = 0x0000FF, green = 0x00FF00, blue = 0xFF0000;
  const int bottom = 1;
  EXPECT_EQ(picture.Pixel(0, bottom), red);
  EXPECT_EQ(picture.Pixel(1, bottom), green);
  EXPECT_EQ(picture.Pixel(3, bottom), green);
  EXPECT_EQ(picture.Pixel(4, bottom), blue);
  EXPECT_EQ(picture.Pixel(5, bottom), red);
  EXPECT_EQ(picture.Pixel(6, bottom), green);
  EXPECT_EQ(picture.Pixel(1, 0), kBlack);  // skipped by the delta
  EXPECT_EQ(picture.Pixel(2, 0), blue);
  EXPECT_EQ(picture.Pixel(3, 0), blue);

  layout.Bits = 8;
  layout.Compression = 1;  // RLE8
  layout.Width = 5;
  layout.Height = 1;
  layout.Pixels = {0, 3, 1, 2, 3, 0, 2, 1, 0, 1};  // absolute 1,2,3 (padded), run of 2 of 1
  picture = Decoded(BuildBmp(layout));
  EXPECT_EQ(picture.Pixel(0, 0), red);
  EXPECT_EQ(picture.Pixel(2, 0), blue);
  EXPECT_EQ(picture.Pixel(4, 0), red);
}

TEST(BmpReader, ToleratesImageSizesThatAreZeroOrTooSmall) {
  TBmpLayout layout;
  layout.Pixels.assign(16, 0x40);
  layout.SizeImage = 0;
  Decoded(BuildBmp(layout));
  layout.SizeImage = 3;  // smaller than the rows need: not trusted, the rows are all there
  Decoded(BuildBmp(layout));
}

// Every refusal leaves the target picture as it was.
void ExpectRefused(const std::vector<uint8_t>& bytes,
                   const std::string& error = "Unsupported format") {
  Bitmap picture(3, 3);
  picture.SetPixel(1, 1, 0x123456);
  std::string reason;
  EXPECT_FALSE(DecodeBmp(bytes, picture, reason));
  EXPECT_EQ(reason, error);
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Pixel(1, 1), 0x123456u);
}

TBmpLayout Valid24() {
  TBmpLayout layout;
  layout.Pixels.assign(16, 0);
  return layout;
}

TBmpLayout Palette8(std::vector<uint8_t> pixels) {
  TBmpLayout layout;
  layout.Bits = 8;
  layout.Width = 4;
  layout.Height = 1;
  layout.Palette = {0x000000, 0xFFFFFF};
  layout.ColorsUsed = 2;
  layout.Pixels = std::move(pixels);
  return layout;
}

TEST(BmpReader, RefusesWhatIsNotABmp) {
  ExpectRefused({});
  ExpectRefused({'B', 'M', 0});
  std::vector<uint8_t> file = BuildBmp(Valid24());
  file[0] = 'P';
  ExpectRefused(file);
  const std::string text = "This is a text file, not a picture at all.\n";
  ExpectRefused(std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(BmpReader, RefusesImpossibleDimensions) {
  for (const auto& [w, h] : {std::pair{0, 2}, {-2, 2}, {2, 0}, {2, INT_MIN}}) {
    TBmpLayout layout = Valid24();
    layout.Width = w;
    layout.Height = h;
    ExpectRefused(BuildBmp(layout));
  }
}

TEST(BmpReader, RefusesHugePicturesBeforeAllocating) {
  for (const auto& [w, h] : {std::pair{65536, 65536}, {30000, 30000}, {INT_MAX, 1}}) {
    TBmpLayout layout = Valid24();
    layout.Bits = 32;
    layout.Width = w;
    layout.Height = h;
    ExpectRefused(BuildBmp(layout), "Out of memory");
  }
}

TEST(BmpReader, RefusesPixelOffsetsOutsideThePixelData) {
  for (uint32_t offset : {20u, 53u, 0x100000u, 0xFFFFFFFFu}) {
    TBmpLayout layout = Valid24();
    layout.PixelOffset = offset;
    ExpectRefused(BuildBmp(layout));
  }
}

TEST(BmpReader, RefusesLyingImageSizesAndTruncatedPixels) {
  TBmpLayout layout = Valid24();
  layout.SizeImage = 0x7FFFFFFF;
  ExpectRefused(BuildBmp(layout));
  layout = Valid24();
  layout.Pixels.resize(12);  // the second row is cut short
  ExpectRefused(BuildBmp(layout));
}

TEST(BmpReader, RefusesUnknownHeadersPlanesAndBitCounts) {
  for (uint32_t size : {0u, 39u, 41u, 64u, 0x80000000u}) {
    TBmpLayout layout = Valid24();
    layout.HeaderSize = size;
    ExpectRefused(BuildBmp(layout));
  }
  TBmpLayout layout = Valid24();
  layout.Planes = 2;
  ExpectRefused(BuildBmp(layout));
  for (uint16_t bits : {0, 3, 12, 64}) {
    layout = Valid24();
    layout.Bits = bits;
    layout.Pixels.assign(64, 0);
    ExpectRefused(BuildBmp(layout));
  }
}

TEST(BmpReader, RefusesBadPalettes) {
  TBmpLayout layout = Palette8({0, 1, 1, 0});
  layout.ColorsUsed = 257;  // more than 8 bits can index
  ExpectRefused(BuildBmp(layout));
  layout = Palette8({0, 1, 1, 0});
  layout.Bits = 1;
  layout.ColorsUsed = 3;
  ExpectRefused(BuildBmp(layout));
  layout = Palette8({0, 1, 1, 0});
  layout.ColorsUsed = 200;  // runs into the pixels and past the end
  ExpectRefused(BuildBmp(layout));
  ExpectRefused(BuildBmp(Palette8({0, 1, 2, 0})));  // index 2 of a 2-colour palette
  Decoded(BuildBmp(Palette8({0, 1, 1, 0})));        // the same file without it is fine
}

TBmpLayout Rle8(std::vector<uint8_t> data) {
  TBmpLayout layout = Palette8(std::move(data));
  layout.Compression = 1;
  layout.Width = 4;
  layout.Height = 2;
  return layout;
}

TEST(BmpReader, RleRowsMayRunIntoTheirPadding) {
  TBmpLayout layout = Palette8({4, 1, 0, 1});  // 3 pixels wide, padded to 4: a run of 4 fits
  layout.Compression = 1;
  layout.Width = 3;
  layout.Height = 1;
  const Bitmap picture = Decoded(BuildBmp(layout));
  EXPECT_EQ(picture.Pixel(2, 0), kWhite);
  layout.Pixels = {5, 1, 0, 1};  // five pixels do not fit a padded row of four
  ExpectRefused(BuildBmp(layout));
}

TEST(BmpReader, RefusesRleThatLeavesTheRowOrPicture) {
  Decoded(BuildBmp(Rle8({4, 1, 0, 0, 4, 0, 0, 0, 0, 1})));        // two full rows, EOL, EOL, EOB
  ExpectRefused(BuildBmp(Rle8({5, 1, 0, 1})));                    // run past the row end
  ExpectRefused(BuildBmp(Rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1})));  // absolute run too long
  ExpectRefused(BuildBmp(Rle8({0, 2, 5, 0, 0, 1})));              // delta past the row
  ExpectRefused(BuildBmp(Rle8({0, 2, 0, 2, 0, 1})));              // delta below the picture
  ExpectRefused(BuildBmp(Rle8({0, 0, 0, 0, 0, 0, 0, 1})));        // end of line after the last row
  ExpectRefused(BuildBmp(Rle8({0, 0, 0, 0, 1, 1, 0, 1})));        // pixels after the last row
  ExpectRefused(BuildBmp(Rle8({4, 1, 0, 0})));                    // no end-of-bitmap marker
  ExpectRefused(BuildBmp(Rle8({2, 7, 0, 1})));                    // index past the palette
  TBmpLayout topDown = Rle8({4, 1, 0, 1});
  topDown.Height = -2;
  ExpectRefused(BuildBmp(topDown));
}

TEST(BmpReader, RefusesBadBitFieldMasks) {
  const std::vector<std::vector<uint32_t>> bad = {
      {0, 0x00FF00, 0x0000FF},         // zero
      {0xFF0000, 0xFFFF00, 0x0000FF},  // overlapping
      {0xF0F000, 0x00FF00, 0x0000FF},  // not contiguous
      {0x1F0000, 0x07E0, 0x001F},      // wider than a 16-bit pixel
  };
  for (const auto& masks : bad) {
    for (uint32_t header : {40u, 108u}) {
      TBmpLayout layout;
      layout.HeaderSize = header;
      layout.Bits = 16;
      layout.Compression = 3;
      layout.Masks = masks;
      layout.Pixels.assign(8, 0);
      ExpectRefused(BuildBmp(layout));
    }
  }
}

TEST(BmpReader, RefusesJpegAndPngCompression) {
  for (uint32_t compression : {4u, 5u, 6u, 99u}) {
    TBmpLayout layout = Valid24();
    layout.Compression = compression;
    ExpectRefused(BuildBmp(layout));
  }
}

TEST(BmpReader, EveryTruncationOfAValidFileIsRefused) {
  for (const char* name : {"rgb24_v5.bmp", "rle.bmp", "argb32.bmp", "pal.bmp"}) {
    const std::vector<uint8_t> file = DataFile(name);
    for (size_t cut = 0; cut < file.size(); ++cut) {
      Bitmap picture;
      std::string error;
      const std::vector<uint8_t> part(file.begin(), file.begin() + cut);
      EXPECT_FALSE(DecodeBmp(part, picture, error)) << name << " cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace torvel
