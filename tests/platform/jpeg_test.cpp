#include "platform/jpeg.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace torvel {
namespace {

constexpr TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r | g << 8 | b << 16);
}

Bitmap Gradient(int width, int height) {
  Bitmap picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.SetPixel(x, y, Rgb(x * 255 / width, y * 255 / height, 128));
    }
  }
  return picture;
}

// JPEG files of the kinds the program's own writer does not make: greyscale, CMYK and
// progressive ones, the latter with a scan script of its own.
struct TTestJpeg {
  J_COLOR_SPACE Space = JCS_RGB;
  int Components = 3;
  bool Progressive = false;
  std::vector<jpeg_scan_info> Scans;  // a custom progression when not empty

  std::vector<uint8_t> Make(int width, int height) const {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = Components;
    info.in_color_space = Space;
    jpeg_set_defaults(&info);
    if (Progressive) {
      jpeg_simple_progression(&info);
    }
    if (!Scans.empty()) {
      info.scan_info = Scans.data();
      info.num_scans = static_cast<int>(Scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * Components, 100);
    while (info.next_scanline < info.image_height) {
      JSAMPROW rows[] = {row.data()};
      jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
  }
};

bool Decode(const std::vector<uint8_t>& bytes, Bitmap& out, std::string& error,
            int64_t maxPixels = kMostDecodedPixels) {
  return DecodeJpeg(bytes.data(), bytes.size(), out, error, maxPixels);
}

TEST(JpegTest, WhatTheWriterMakesReadsBackClose) {
  const Bitmap original = Gradient(40, 30);
  const std::vector<uint8_t> bytes = EncodeJpeg(original, 95);
  ASSERT_GT(bytes.size(), 100u);
  Bitmap back;
  std::string error;
  ASSERT_TRUE(Decode(bytes, back, error)) << error;
  EXPECT_EQ(error, "");
  ASSERT_EQ(back.Width(), 40);
  ASSERT_EQ(back.Height(), 30);
  for (const auto& [x, y] : {std::pair{0, 0}, {39, 0}, {20, 15}, {39, 29}}) {
    const TColor a = original.Pixel(x, y);
    const TColor b = back.Pixel(x, y);
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR((a >> shift) & 0xFF, (b >> shift) & 0xFF, 10) << x << "," << y;
    }
  }
  EXPECT_TRUE(EncodeJpeg(Bitmap(), 90).empty());
  EXPECT_TRUE(EncodeJpeg(original, 0).empty());
}

TEST(JpegTest, GreyscaleAndProgressivePicturesRead) {
  Bitmap picture;
  std::string error;
  ASSERT_TRUE(Decode(TTestJpeg{JCS_GRAYSCALE, 1, false, {}}.Make(16, 8), picture, error)) << error;
  EXPECT_EQ(picture.Pixel(3, 3), Rgb(100, 100, 100));
  TTestJpeg progressive;
  progressive.Progressive = true;  // ten scans
  ASSERT_TRUE(Decode(progressive.Make(33, 17), picture, error)) << error;
  EXPECT_EQ(picture.Width(), 33);
}

TEST(JpegTest, BrokenAndHostileDataIsRefusedLeavingThePictureAlone) {
  const std::vector<uint8_t> good = EncodeJpeg(Gradient(24, 24), 80);
  const Bitmap kept = Gradient(2, 2);
  auto expectRefused = [&](const std::vector<uint8_t>& bytes, const char* text, const char* why) {
    Bitmap picture = kept;
    std::string error;
    EXPECT_FALSE(Decode(bytes, picture, error)) << why;
    EXPECT_EQ(error, text) << why;
    EXPECT_EQ(picture.Width(), 2) << why;
  };
  expectRefused({}, "Unsupported format", "empty");
  expectRefused({good.begin() + 2, good.end()}, "Unsupported format", "no start marker");
  for (size_t size = 3; size < good.size() - 2; size += 37) {
    expectRefused({good.begin(), good.begin() + size}, "Unsupported format", "truncated");
  }
  std::vector<uint8_t> bad = good;
  for (size_t i = good.size() / 2; i < good.size() - 2; ++i) {
    bad[i] = 0xFF;  // a run of marker bytes in the middle of the picture data
  }
  expectRefused(bad, "Unsupported format", "corrupt data");

  // A 65500 x 65500 frame header in front of a tiny body is refused before decoding.
  std::vector<uint8_t> huge = good;
  for (size_t i = 2; i + 8 < huge.size(); ++i) {
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {  // the frame header: height, then width
      huge[i + 5] = huge[i + 7] = 0xFF;
      huge[i + 6] = huge[i + 8] = 0xDC;
      break;
    }
  }
  expectRefused(huge, "Out of memory", "huge header");
  Bitmap picture;
  std::string error;
  EXPECT_FALSE(Decode(good, picture, error, 24 * 24 - 1));
  EXPECT_EQ(error, "Out of memory");

  expectRefused(TTestJpeg{JCS_CMYK, 4, false, {}}.Make(8, 8), "Unsupported format", "CMYK");

  // A legal progression of one scan per coefficient and colour: 1 + 3 x 63 scans.
  TTestJpeg manyScans;
  manyScans.Scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
  for (int component = 0; component < 3; ++component) {
    for (int k = 1; k < 64; ++k) {
      manyScans.Scans.push_back({1, {component, 0, 0, 0}, k, k, 0, 0});
    }
  }
  const std::vector<uint8_t> scans = manyScans.Make(16, 16);
  ASSERT_FALSE(scans.empty());
  expectRefused(scans, "Unsupported format", "too many scans");
}

}  // namespace
}  // namespace torvel
