// Exported files read back by decoders written elsewhere: Qt's GIF and WebP readers and ffmpeg
// for animated PNG, compared frame by frame with the frames as the preview shows them.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cells/animation_strip.h"
#include "export/animation_encoder.h"
#include "export/png_io.h"
#include "platform/error_texts.h"
#include "platform/raster.h"
#include "support/file_helpers.h"
#include "support/file_size_limit.h"
#include "support/peer_tools.h"
#include "support/test_folders.h"

namespace torvel {
namespace {

struct TDecoded {
  std::vector<QImage> Frames;  // RGBA8888
  std::vector<int> DelaysMs;
  int Loops = -2;  // as the reader says: -1 for ever
};

TDecoded DecodeWithQt(const std::string& path) {
  QImageReader reader(QString::fromStdString(path));
  TDecoded decoded;
  decoded.Loops = reader.loopCount();
  for (QImage frame; reader.read(&frame);) {
    decoded.Frames.push_back(frame.convertToFormat(QImage::Format_RGBA8888));
    decoded.DelaysMs.push_back(reader.nextImageDelay());
  }
  return decoded;
}

// ffmpeg's decoding of an animated PNG, one raw RGBA frame each.
TDecoded DecodeWithFfmpeg(const std::string& path, int width, int height) {
  TDecoded decoded;
  for (const std::vector<uint8_t>& rgba :
       test::FfmpegRgbaFrames("-i '" + path + "'", width, height)) {
    QImage frame(width, height, QImage::Format_RGBA8888);
    std::memcpy(frame.bits(), rgba.data(), rgba.size());
    decoded.Frames.push_back(frame);
  }
  return decoded;
}

// Frames that differ from one to the next in part only, as most animations do: a moving block
// of colour over a background, with a dot in the top-left corner that is the key colour.
TAnimationStrip& MakeAnimation(TAnimationStrip& store, int n, int w, int h, bool manyColors) {
  Bitmap strip(n * w, h);
  for (int k = 0; k < n; ++k) {
    FillRect(strip, {k * w, 0, (k + 1) * w, h}, 0x204060);
    for (int y = 0; manyColors && y < h; ++y) {
      for (int x = 0; x < w; ++x) {  // a photo-like gradient with grain
        strip.SetPixel(k * w + x, y,
                       TColor((x * 255 / w + k * 7) & 0xFF) | (y * 255 / h) << 8 |
                           ((x * y * 31 + k) % 97 + 80) << 16);
      }
    }
    FillRect(strip, {k * w + 2 + k, 3, k * w + 6 + k, 7}, 0x00C0FF - 0x100000 * k);
    strip.SetPixel(k * w, 0, 0x00FF00);
  }
  store.AddCells(&strip, n, -1);
  return store;
}

TExportFrames FramesOf(const TAnimationStrip& store) {
  TExportFrames frames;
  std::string error;
  EXPECT_TRUE(FramesFromTable(store.Table, frames, error)) << error;
  return frames;
}

// The frame as a viewer shows it: transparent pixels are all alike.
QImage Expected(const TExportFrames& frames, int k, int scale) {
  std::vector<uint8_t> made;
  QImage image(frames.Frame(k, made).data(), frames.Width, frames.Height, frames.Width * 4,
               QImage::Format_RGBA8888);
  QImage shown = image.scaled(frames.Width * scale, frames.Height * scale);
  for (int y = 0; y < shown.height(); ++y) {
    auto* row = reinterpret_cast<uint32_t*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x) {
      row[x] = (row[x] >> 24) == 0 ? 0 : row[x];
    }
  }
  return shown;
}

QImage Normalized(QImage image) {
  TExportFrames held;
  held.Width = image.width();
  held.Height = image.height();
  held.Rgba = {std::vector<uint8_t>(image.constBits(), image.constBits() + image.sizeInBytes())};
  return Expected(held, 0, 1);
}

void ExpectSameFrames(const TExportFrames& frames, const TDecoded& decoded, int scale) {
  ASSERT_EQ(decoded.Frames.size(), size_t(frames.Count()));
  for (int k = 0; k < frames.Count(); ++k) {
    EXPECT_EQ(Normalized(decoded.Frames[k]), Expected(frames, k, scale)) << "frame " << k;
  }
}

std::string Export(const TExportFrames& frames, const TExportOptions& options,
                   const std::string& name) {
  const std::string path = test::FreshFolder("export") + name;
  TExportFormat format;
  EXPECT_TRUE(FormatOfFileName(path, false, format));
  std::string error;
  EXPECT_TRUE(ExportAnimationFile(frames, options, format, path, nullptr, error)) << error;
  return path;
}

TEST(ExportFrames, ShowTheCellsAsThePreviewDoes) {
  TAnimationStrip store;
  MakeAnimation(store, 2, 10, 8, false);
  store.SetFlip(true);
  store.SetMirror(true);
  store.SetTransparent(true);
  const TExportFrames frames = FramesOf(store);
  ASSERT_EQ(frames.Count(), 2);
  const QImage first = Expected(frames, 0, 1);
  // The key dot moved to the bottom-right corner; the preview's key is the new top-left colour.
  EXPECT_EQ(first.pixelColor(9, 7), QColor(0, 255, 0));
  EXPECT_EQ(first.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(first.pixelColor(5, 5).alpha(), 0);  // the background is that colour too
  EXPECT_EQ(first.pixelColor(5, 2), QColor(0xFF, 0xC0, 0x00));
  store.SetInterval(0);
  EXPECT_EQ(ExportDelay(store.Table), 100);  // still plays at 10 frames a second
  store.SetInterval(66);
  EXPECT_EQ(ExportDelay(store.Table), 66);
}

// A picture handed over a row at a time comes back from libpng as it was; a stream that refuses
// the bytes makes the encoding fail.
TEST(PngRows, EncodeAPictureRowByRow) {
  Bitmap picture(3, 2);
  picture.SetPixel(0, 0, 0x0000FF);
  picture.SetPixel(2, 1, 0x123456);
  const auto rowAt = [&](int y, uint8_t* row) { std::memcpy(row, picture.Row(y), 9); };
  TMemoryStream png;
  ASSERT_TRUE(EncodePngRows(3, 2, rowAt, png));
  Bitmap back;
  std::string error;
  ASSERT_TRUE(DecodePng(png.Bytes(), back, error)) << error;
  ASSERT_EQ(back.Width(), 3);
  EXPECT_EQ(back.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(back.Pixel(2, 1), 0x123456u);
  TMemoryView readOnly(png.Bytes());
  EXPECT_FALSE(EncodePngRows(3, 2, rowAt, readOnly));
  EXPECT_FALSE(EncodePngRows(0, 2, rowAt, png));
}

// The frames are made as an encoder asks for them, from the cells as they were when the export
// began: an edit meanwhile changes nothing of them.
TEST(ExportFrames, AreMadeOnDemandFromTheCellsAsTheyWere) {
  TAnimationStrip store;
  MakeAnimation(store, 3, 10, 8, true);
  const TExportFrames frames = FramesOf(store);
  EXPECT_TRUE(frames.Rgba.empty()) << "no frame is made before it is asked for";
  const QImage before = Expected(frames, 2, 1);
  ASSERT_TRUE(store.DeleteCell(2));
  store.SetMirror(true);
  ASSERT_EQ(frames.Count(), 3);
  EXPECT_EQ(Expected(frames, 2, 1), before);
  std::vector<uint8_t> first, again;
  EXPECT_EQ(frames.Frame(0, first), frames.Frame(0, again)) << "made alike each time";
}

TEST(ExportGif, FewColoursComeBackExactlyWithTimingLoopAndTransparency) {
  TAnimationStrip store;
  MakeAnimation(store, 6, 21, 13, false);
  store.SetTransparent(true);
  store.SetMirror(true);
  const TExportFrames frames = FramesOf(store);
  TExportOptions options;
  options.DelayMs = 66;  // 6.6 hundredths: 7, 6, 7, 6, 7, 7 keeps the total right
  options.Scale = 3;
  const TDecoded decoded = DecodeWithQt(Export(frames, options, "a.gif"));
  ExpectSameFrames(frames, decoded, 3);
  EXPECT_EQ(decoded.DelaysMs, (std::vector<int>{70, 60, 70, 60, 70, 70}));
  EXPECT_EQ(decoded.Loops, -1);
  options.Loop = false;
  store.SetTransparent(false);
  const TExportFrames opaque = FramesOf(store);
  const TDecoded once = DecodeWithQt(Export(opaque, options, "once.gif"));
  EXPECT_EQ(once.Loops, 0);
  ExpectSameFrames(opaque, once, 3);
  EXPECT_EQ(once.Frames[0].pixelColor(0, 0).alpha(), 255);
}

double Psnr(const TExportFrames& frames, const TDecoded& decoded) {
  double squares = 0;
  size_t count = 0;
  for (int k = 0; k < frames.Count(); ++k) {
    const QImage expected = Expected(frames, k, 1);
    for (int y = 0; y < expected.height(); ++y) {
      for (int x = 0; x < expected.width(); ++x) {
        const QColor a = expected.pixelColor(x, y), b = decoded.Frames[k].pixelColor(x, y);
        for (const int d : {a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue()}) {
          squares += d * d;
          ++count;
        }
      }
    }
  }
  return 10 * std::log10(255.0 * 255.0 / (squares / count));
}

TEST(ExportGif, ManyColoursStayCloseWithAndWithoutDithering) {
  TAnimationStrip store;
  MakeAnimation(store, 4, 64, 48, true);
  const TExportFrames frames = FramesOf(store);
  for (const bool dither : {true, false}) {
    TExportOptions options;
    options.Dither = dither;
    const TDecoded decoded = DecodeWithQt(Export(frames, options, "many.gif"));
    ASSERT_EQ(decoded.Frames.size(), 4u);
    EXPECT_GT(Psnr(frames, decoded), 28.0) << "dither " << dither;
  }
}

TEST(ExportWebP, ComesBackExactlyWithTimingLoopAndTransparency) {
  TAnimationStrip store;
  MakeAnimation(store, 5, 16, 12, true);
  store.SetTransparent(true);
  store.SetFlip(true);
  const TExportFrames frames = FramesOf(store);
  TExportOptions options;
  options.DelayMs = 50;
  options.Scale = 2;
  options.Loop = false;
  const TDecoded decoded = DecodeWithQt(Export(frames, options, "a.webp"));
  ExpectSameFrames(frames, decoded, 2);
  EXPECT_EQ(decoded.DelaysMs, std::vector<int>(5, 50));
  EXPECT_EQ(decoded.Loops, 0);
}

// The plays field of the animation control chunk, which decoders do not report.
uint32_t ApngPlays(const std::string& path) {
  const std::string bytes = test::ReadText(path);
  const size_t at = bytes.find("acTL");
  EXPECT_NE(at, std::string::npos);
  return at == std::string::npos ? 99 : uint8_t(bytes[at + 11]);
}

TEST(ExportApng, ComesBackExactlyAndShowsTheFirstFrameWithoutAnimation) {
  TAnimationStrip store;
  MakeAnimation(store, 5, 20, 10, true);
  for (const bool transparent : {true, false}) {
    store.SetTransparent(transparent);
    const TExportFrames frames = FramesOf(store);
    TExportOptions options;
    options.Loop = !transparent;
    const std::string path = Export(frames, options, "a.png");
    ExpectSameFrames(frames, DecodeWithFfmpeg(path, 20, 10), 1);
    EXPECT_EQ(ApngPlays(path), transparent ? 1u : 0u);
    // A reader without animation shows the first frame.
    EXPECT_EQ(
        Normalized(QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGBA8888)),
        Expected(frames, 0, 1));
  }
}

// A block moving over a background of the key colour: the pixels it leaves turn transparent
// again, which a GIF can show only by clearing the frame before, and an APNG by replacing the
// rectangle's pixels rather than blending over them.
TEST(ExportTransparency, PixelsThatTurnTransparentAgainAreClearedInEveryFormat) {
  constexpr int kCells = 4, kW = 12, kH = 8;
  Bitmap strip(kCells * kW, kH);
  FillRect(strip, strip.Rect(), 0xFF00FF);
  for (int k = 0; k < kCells; ++k) {
    FillRect(strip, {k * kW + 1 + 2 * k, 2, k * kW + 5 + 2 * k, 6}, 0x2040C0);
  }
  TAnimationStrip store;
  ASSERT_EQ(store.AddCells(&strip, kCells, -1), kCells);
  store.SetTransparent(true);
  const TExportFrames frames = FramesOf(store);
  ExpectSameFrames(frames, DecodeWithQt(Export(frames, {}, "clear.gif")), 1);
  ExpectSameFrames(frames, DecodeWithQt(Export(frames, {}, "clear.webp")), 1);
  ExpectSameFrames(frames, DecodeWithFfmpeg(Export(frames, {}, "clear.apng"), kW, kH), 1);
  EXPECT_EQ(Expected(frames, 1, 1).pixelColor(1, 3).alpha(), 0);  // the block has moved on
}

// A palette of exactly 256 opaque colours has no entry left for transparency; every colour must
// still come back.
TEST(ExportGif, ExactlyTwoHundredFiftySixColoursStayExact) {
  Bitmap strip(2 * 16, 16);
  for (int i = 0; i < 256; ++i) {
    strip.SetPixel(i % 16, i / 16, TColor(i) | TColor(255 - i) << 8 | TColor(i * 7 % 256) << 16);
    strip.SetPixel(16 + i % 16, i / 16,
                   TColor(i) | TColor(255 - i) << 8 | TColor(i * 7 % 256) << 16);
  }
  strip.SetPixel(20, 5, strip.Pixel(3, 3));  // the second frame changes one pixel
  TAnimationStrip store;
  ASSERT_EQ(store.AddCells(&strip, 2, -1), 2);
  store.SetTransparent(false);
  const TExportFrames frames = FramesOf(store);
  ExpectSameFrames(frames, DecodeWithQt(Export(frames, {}, "full.gif")), 1);
}

TEST(ExportFile, AFailedOrCancelledExportKeepsThePreviousFile) {
  TAnimationStrip store;
  MakeAnimation(store, 8, 64, 48, true);
  const TExportFrames frames = FramesOf(store);
  const std::string folder = test::FreshFolder("kept");
  const std::string path = folder + "kept.webp";
  test::WriteText(path, "previous");
  std::string error;
  EXPECT_FALSE(ExportAnimationFile(
      frames, {}, TExportFormat::WebP, path, [](int done, int) { return done < 3; }, error));
  EXPECT_EQ(error, kTaskCancelled);
  {
    test::TFileSizeLimit full(64);
    EXPECT_FALSE(ExportAnimationFile(frames, {}, TExportFormat::WebP, path, nullptr, error));
  }
  EXPECT_EQ(test::ReadText(path), "previous");
  EXPECT_EQ(ListFolder(folder).size(), 1u);  // no temporary file left behind
  TExportOptions huge;
  huge.Scale = 9;
  EXPECT_FALSE(ExportAnimationFile(frames, huge, TExportFormat::Gif, path, nullptr, error));
}

TEST(ExportFile, TheExtensionChoosesTheFormat) {
  TExportFormat format;
  ASSERT_TRUE(FormatOfFileName("/a/b.GIF", false, format));
  EXPECT_EQ(format, TExportFormat::Gif);
  ASSERT_TRUE(FormatOfFileName("b.png", false, format));
  EXPECT_EQ(format, TExportFormat::Apng);
  ASSERT_TRUE(FormatOfFileName("b.png", true, format));
  EXPECT_EQ(format, TExportFormat::PngStrip);
  EXPECT_FALSE(FormatOfFileName("b.jpg", false, format));
}

}  // namespace
}  // namespace torvel
