// Animation files made by other programs (ffmpeg, ImageMagick) and by our own export, read back
// and compared with what ffmpeg shows; the bad files every reader must refuse safely.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <optional>
#include <set>

#include "cells/animation_strip.h"
#include "export/animation_encoder.h"
#include "import/animation_import.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "support/peer_tools.h"
#include "support/test_folders.h"
#include "support/tiny_gif.h"

namespace torvel {
namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, size_t{64} << 20, bytes)) << path;
  return bytes;
}

TDecodedFrames Read(const std::vector<uint8_t>& bytes, std::string& error,
                    TReadLimits limits = StoreReadLimits(std::nullopt)) {
  TDecodedFrames frames;
  if (!ReadAnimationFrames(bytes, limits, frames, error)) {
    frames.Rgba.clear();
    frames.FramesInFile = -1;  // failed
  }
  return frames;
}

TDecodedFrames ReadFile(const std::string& path) {
  std::string error;
  TDecodedFrames frames = Read(FileBytes(path), error);
  EXPECT_GE(frames.FramesInFile, 0) << path << ": " << error;
  return frames;
}

constexpr const char* kMovingPicture = "-f lavfi -i testsrc=size=48x32:rate=10:duration=0.8";

// ffmpeg's GIF and APNG encoders store most frames as changed rectangles laid over the one
// before (with transparency and disposal), so a viewer's compositing is needed to get the
// frames back. ffmpeg reads neither animated WebP, so that one is compared with the source.
TEST(ImportPeerFiles, FramesComeBackAsFfmpegShowsThem) {
  const std::string folder = test::FreshFolder("peers");
  const auto source = test::FfmpegRgbaFrames(kMovingPicture, 48, 32);
  ASSERT_EQ(source.size(), 8u);
  for (const std::string name : {"a.gif", "a.apng", "a.webp"}) {
    const std::string path = folder + name;
    const std::string options = name == std::string("a.webp") ? "-lossless 1 -pix_fmt bgra" : "";
    ASSERT_TRUE(test::RunQuietly("ffmpeg -y " + std::string(kMovingPicture) + " " + options +
                                 " -loop 0 '" + path + "'"));
    const TDecodedFrames frames = ReadFile(path);
    const auto expected = name == std::string("a.webp")
                              ? source
                              : test::FfmpegRgbaFrames("-i '" + path + "'", 48, 32);
    ASSERT_EQ(frames.Count(), 8) << name;
    ASSERT_EQ(expected.size(), 8u) << name;
    EXPECT_EQ(frames.Width, 48);
    for (int k = 0; k < 8; ++k) {
      EXPECT_EQ(frames.Rgba[k], expected[k]) << name << " frame " << k;
      EXPECT_EQ(frames.DelaysMs[k], 100) << name;
    }
    const TPlayingSpeed speed = SpeedOfDelays(frames.DelaysMs);
    EXPECT_EQ(speed.IntervalMs, 100);
    EXPECT_FALSE(speed.Mixed);
  }
}

const uint8_t* PixelOf(const TDecodedFrames& frames, int k, int x, int y) {
  return &frames.Rgba[k][(size_t(y) * frames.Width + x) * 4];
}

// The cells side by side, as the file's frames lie in time.
Bitmap SideBySide(const TImportedCells& cells) {
  const int w = cells.Cells.front()->Width();
  Bitmap picture(w * cells.Count(), cells.Cells.front()->Height());
  for (int k = 0; k < cells.Count(); ++k) {
    CopyRect(*cells.Cells[k], cells.Cells[k]->Rect(), picture, k * w, 0);
  }
  return picture;
}

// Frames on a transparent ground, each disposed to the background, with delays of 100, 200
// and 200 ms: the cells take a key colour no frame uses and play at the common 200 ms.
TEST(ImportPeerFiles, ImageMagickGifKeepsDisposalDelaysAndTransparency) {
  const std::string path = test::FreshFolder("magick") + "t.gif";
  ASSERT_TRUE(test::RunQuietly(
      "convert -dispose background -size 12x10 -delay 10 xc:none -fill red -draw 'rectangle "
      "2,2 5,5' -delay 20 \\( -size 12x10 xc:none -fill blue -draw 'rectangle 6,4 9,8' \\) "
      "\\( -size 12x10 xc:none -fill magenta -draw 'point 11,9' \\) -loop 0 '" +
      path + "'"));
  TDecodedFrames frames = ReadFile(path);
  ASSERT_EQ(frames.Count(), 3);
  EXPECT_EQ(frames.DelaysMs, (std::vector<int>{100, 200, 200}));
  EXPECT_EQ(PixelOf(frames, 0, 3, 3)[0], 255);
  EXPECT_EQ(PixelOf(frames, 0, 3, 3)[3], 255);
  EXPECT_EQ(PixelOf(frames, 1, 3, 3)[3], 0) << "the red square was disposed of";
  EXPECT_EQ(PixelOf(frames, 1, 7, 5)[2], 255);
  const TPlayingSpeed speed = SpeedOfDelays(frames.DelaysMs);
  EXPECT_EQ(speed.IntervalMs, 200);
  EXPECT_TRUE(speed.Mixed);

  TImportedCells cells;
  std::string error;
  ASSERT_TRUE(CellsFromFrames(frames, 1, cells, error)) << error;
  EXPECT_TRUE(cells.Transparent);
  const Bitmap picture = SideBySide(cells);
  const TColor key = picture.Pixel(0, 0);
  EXPECT_NE(key, 0xFF00FFu) << "magenta is used by a frame";
  for (const auto& [x, y] : {std::pair{12, 0}, {24, 0}, {11, 9}, {12 + 3, 3}}) {
    EXPECT_EQ(picture.Pixel(x, y), key) << x << "," << y;
  }
  EXPECT_EQ(picture.Pixel(3, 3), 0x0000FFu);  // red
  EXPECT_EQ(picture.Pixel(24 + 11, 9), 0xFF00FFu);
}

TDecodedFrames TwoFrames(uint8_t topLeftAlpha) {
  TDecodedFrames frames;
  frames.Width = 2;
  frames.Height = 1;
  frames.Rgba = {{255, 0, 255, 255, 0, 0, 0, 0}, {1, 2, 3, topLeftAlpha, 0, 255, 0, 255}};
  frames.DelaysMs = {100, 100};
  frames.FramesInFile = 2;
  return frames;
}

TEST(ImportCells, TransparentStaysOffWhenATopLeftPixelIsOpaque) {
  TImportedCells cells;
  std::string error;
  TDecodedFrames opaque = TwoFrames(255);
  ASSERT_TRUE(CellsFromFrames(opaque, 1, cells, error));
  EXPECT_FALSE(cells.Transparent);
  const Bitmap picture = SideBySide(cells);
  const TColor key = picture.Pixel(1, 0);  // the first frame's transparent pixel
  EXPECT_NE(key, 0xFF00FFu);
  EXPECT_NE(key, 0x00FF00u);
  EXPECT_EQ(picture.Pixel(2, 0), 0x030201u) << "opaque pixels keep their colour";
  EXPECT_TRUE(opaque.Rgba[0].empty()) << "each frame is let go of once it is a cell";

  TDecodedFrames halfClear = TwoFrames(kOpaqueAlpha - 1);
  ASSERT_TRUE(CellsFromFrames(halfClear, 1, cells, error));
  EXPECT_FALSE(cells.Transparent) << "the first frame's top-left pixel is opaque";

  TDecodedFrames sheet = TwoFrames(0);
  sheet.Rgba.resize(1);  // one frame of two cells, the first opaque, the second not
  TDecodedFrames clearSheet = sheet;
  ASSERT_TRUE(CellsFromFrames(sheet, 2, cells, error));
  EXPECT_EQ(cells.Count(), 2);
  EXPECT_FALSE(cells.Transparent);
  clearSheet.Rgba[0][3] = 0;
  ASSERT_TRUE(CellsFromFrames(clearSheet, 2, cells, error));
  EXPECT_TRUE(cells.Transparent);
}

TEST(ImportCells, DelaysPickTheNearestListedSpeed) {
  EXPECT_EQ(NearestListedInterval(40), 50);      // faster than the list goes
  EXPECT_EQ(NearestListedInterval(70), 71);      // 14 fps
  EXPECT_EQ(NearestListedInterval(5000), 1000);  // slower than the list goes
  const TPlayingSpeed tie = SpeedOfDelays({100, 100, 50, 50, 101});
  EXPECT_EQ(tie.IntervalMs, 100) << "100 and 101 ms are both 10 fps";
  EXPECT_TRUE(tie.Mixed);
}

// Cells of few colours, different in every frame, with a key-coloured dot at the top left.
TAnimationStrip& MakeAnimation(TAnimationStrip& store, bool transparent) {
  Bitmap strip(5 * 16, 12);
  for (int k = 0; k < 5; ++k) {
    FillRect(strip, {k * 16, 0, k * 16 + 16, 12}, 0x306090);
    FillRect(strip, {k * 16 + k + 2, 3, k * 16 + k + 8, 9}, 0x10E0F0 - 0x200000 * k);
    strip.SetPixel(k * 16, 0, 0x00FF00);
  }
  store.MakesThumbnails = false;
  store.AddCells(&strip, 5, -1);
  store.SetTransparent(transparent);
  store.SetInterval(200);
  return store;
}

TEST(ImportRoundTrip, ExportedAnimationsComeBackAsTheSameCells) {
  const std::string folder = test::FreshFolder("round");
  for (const bool transparent : {false, true}) {
    TAnimationStrip store;
    MakeAnimation(store, transparent);
    TExportFrames exported;
    Bitmap cells;
    std::string error;
    ASSERT_TRUE(FramesFromTable(store.Table, exported, error));
    ASSERT_TRUE(store.Table.ExportRange(0, 4, error, &cells));
    for (const std::string name : {"r.gif", "r.webp", "r.apng"}) {
      TExportFormat format;
      ASSERT_TRUE(FormatOfFileName(folder + name, false, format));
      TExportOptions options;
      options.DelayMs = 200;
      ASSERT_TRUE(ExportAnimationFile(exported, options, format, folder + name, nullptr, error));
      TFileFrames file;
      ASSERT_TRUE(ReadFramesForStore(folder + name, std::nullopt, file, error)) << error;
      TImportedAnimation animation;
      ASSERT_TRUE(AnimationCells(file, animation, error));
      EXPECT_EQ(animation.Speed.IntervalMs, 200) << name;
      EXPECT_EQ(animation.Cells.Transparent, transparent) << name;
      const Bitmap back = SideBySide(animation.Cells);
      ASSERT_EQ(back.Width(), cells.Width()) << name;
      const TColor key = back.Pixel(0, 0);
      for (int y = 0; y < cells.Height(); ++y) {
        for (int x = 0; x < cells.Width(); ++x) {
          const bool keyed = transparent && cells.Pixel(x, y) == 0x00FF00;
          ASSERT_EQ(back.Pixel(x, y), keyed ? key : cells.Pixel(x, y)) << name << " " << x;
        }
      }
    }
  }
}

TEST(ImportBadFiles, EndlessFrameListsLyingSizesAndZeroDelaysStayWithinLimits) {
  std::string error;
  const TDecodedFrames endless = Read(test::TinyGif(TReadLimits::kMostFramesCounted + 5000), error);
  EXPECT_EQ(endless.FramesInFile, TReadLimits::kMostFramesCounted) << error;
  EXPECT_EQ(endless.Count(), TCellTable::CapacityFor(1, 1)) << "as many as the store holds";
  EXPECT_EQ(endless.DelaysMs.front(), kDefaultFrameDelayMs) << "a frame without delay";

  EXPECT_EQ(Read(test::TinyGif(1, 65535, 65535), error).FramesInFile, -1);
  EXPECT_EQ(error, kCapacityReached) << "refused before its screen is allocated";

  // A file asking to decode far more pixels than it can show.
  const std::string path = test::FreshFolder("budget") + "b.gif";
  ASSERT_TRUE(test::RunQuietly("ffmpeg -y " + std::string(kMovingPicture) + " '" + path + "'"));
  TReadLimits tight = StoreReadLimits(std::nullopt);
  tight.MostDecodedPixels = 48 * 32 * 3;
  EXPECT_EQ(Read(FileBytes(path), error, tight).FramesInFile, -1);
  EXPECT_EQ(error, kCapacityReached);
}

// The chunks of a PNG file: where each starts.
std::vector<size_t> ChunkStarts(const std::vector<uint8_t>& png) {
  std::vector<size_t> starts;
  for (size_t at = 8; at + 12 <= png.size();) {
    starts.push_back(at);
    const uint32_t length =
        uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
    at += length + 12;
  }
  return starts;
}

size_t FindChunk(const std::vector<uint8_t>& png, const char* type, int nth = 0) {
  for (const size_t at : ChunkStarts(png)) {
    if (std::memcmp(&png[at + 4], type, 4) == 0 && nth-- == 0) {
      return at;
    }
  }
  ADD_FAILURE() << "no " << type;
  return 0;
}

// Changes a byte of a chunk's data and puts its checksum right, as a careful forger would.
std::vector<uint8_t> Forged(std::vector<uint8_t> png, size_t chunk, size_t offset, uint8_t value) {
  const uint32_t length =
      uint32_t{png[chunk]} << 24 | png[chunk + 1] << 16 | png[chunk + 2] << 8 | png[chunk + 3];
  png[chunk + 8 + offset] = value;
  const uLong crc = crc32(0, &png[chunk + 4], length + 4);
  for (int i = 0; i < 4; ++i) {
    png[chunk + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
  }
  return png;
}

std::string ExportedFile(const std::string& name) {
  TAnimationStrip store;
  MakeAnimation(store, true);
  TExportFrames frames;
  std::string error;
  EXPECT_TRUE(FramesFromTable(store.Table, frames, error));
  const std::string path = test::FreshFolder("bad") + name;
  TExportFormat format;
  EXPECT_TRUE(FormatOfFileName(path, false, format));
  EXPECT_TRUE(ExportAnimationFile(frames, TExportOptions(), format, path, nullptr, error));
  return path;
}

TEST(ImportBadFiles, ApngSequenceCanvasAndChecksumFaultsAreRefused) {
  const std::vector<uint8_t> apng = FileBytes(ExportedFile("f.apng"));
  std::string error;
  ASSERT_EQ(Read(apng, error).Count(), 5);
  const size_t second = FindChunk(apng, "fcTL", 1);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> bad = {
      {"sequence number skipped", Forged(apng, second, 3, apng[second + 11] + 1)},
      {"frame wider than the canvas", Forged(apng, second, 7, 200)},
      {"frame beyond the right edge", Forged(apng, second, 15, 15)},
      {"unknown dispose operation", Forged(apng, second, 24, 7)},
      {"first frame smaller than the picture", Forged(apng, FindChunk(apng, "fcTL"), 7, 8)},
      {"damaged checksum",
       [&] {
         std::vector<uint8_t> damaged = apng;
         damaged[FindChunk(apng, "fdAT") + 9] ^= 1;
         return damaged;
       }()},
  };
  for (const auto& [why, bytes] : bad) {
    EXPECT_EQ(Read(bytes, error).FramesInFile, -1) << why;
    EXPECT_EQ(error, kUnsupportedFormat) << why;
  }
  const std::vector<uint8_t> huge = Forged(Forged(apng, 8, 0, 0x40), 8, 4, 0x40);
  EXPECT_EQ(Read(huge, error).FramesInFile, -1);
  EXPECT_EQ(error, kCapacityReached) << "a lying picture size is refused before decoding";
}

std::string ConformanceFile(const std::string& name) {
  return std::string(TORVEL_TEST_DATA) + "/conformance/" + name;
}

TEST(ImportConformance, InterlacedSixteenBitPngsEqualTheirPlainTwins) {
  for (const std::string kind : {"0g16", "6a16"}) {
    const TDecodedFrames interlaced = ReadFile(ConformanceFile("basi" + kind + ".png"));
    const TDecodedFrames plain = ReadFile(ConformanceFile("basn" + kind + ".png"));
    ASSERT_EQ(interlaced.Count(), 1) << kind;
    ASSERT_EQ(plain.Count(), 1) << kind;
    EXPECT_EQ(interlaced.Rgba[0], plain.Rgba[0]) << kind;
  }
}

// Green where the file is read as browsers read it, red where not.
TEST(ImportConformance, AnimatedPngsShowWhatBrowsersShow) {
  const auto green = [](const TDecodedFrames& frames, int k, int x, int y) {
    const uint8_t* p = frames.Rgba[size_t(k)].data() + (size_t(y) * frames.Width + x) * 4;
    return p[0] == 0 && p[1] == 255 && p[2] == 0 && p[3] == 255;
  };
  // The default picture is not part of the animation; the one frame is.
  const TDecodedFrames outside = ReadFile(ConformanceFile("single_frame_default.png"));
  ASSERT_EQ(outside.Count(), 1);
  EXPECT_TRUE(green(outside, 0, 0, 0) && green(outside, 0, 64, 32));
  // An animation of no frames is none: the picture shows.
  const TDecodedFrames noFrames = ReadFile(ConformanceFile("syntax_num_frames_zero_default.png"));
  ASSERT_EQ(noFrames.Count(), 1);
  EXPECT_TRUE(green(noFrames, 0, 0, 0));
  // The first frame's control may come before the animation control.
  const TDecodedFrames early = ReadFile(ConformanceFile("fctl_actl.png"));
  ASSERT_EQ(early.Count(), 2);
  EXPECT_TRUE(green(early, 1, 0, 0) && green(early, 1, 64, 32));
}

// Cut at every chunk of an APNG and every few bytes of the others: nothing is read past the
// end, and nothing but whole frames comes back.
TEST(ImportBadFiles, TruncatedFilesAreRefusedOrGiveWholeFramesOnly) {
  for (const std::string name : {"t.gif", "t.webp", "t.apng"}) {
    const std::vector<uint8_t> whole = FileBytes(ExportedFile(name));
    std::vector<size_t> cuts;
    if (name == "t.apng") {
      for (const size_t start : ChunkStarts(whole)) {
        cuts.insert(cuts.end(), {start, start + 7, start + 12});
      }
    } else {
      for (size_t at = 0; at < whole.size(); at += 3) {
        cuts.push_back(at);
      }
    }
    std::string error;
    const TDecodedFrames complete = Read(whole, error);
    for (const size_t cut : cuts) {
      const std::vector<uint8_t> part(whole.begin(),
                                      whole.begin() + std::min(cut, whole.size() - 1));
      const TDecodedFrames frames = Read(part, error);
      if (name == "t.webp") {
        EXPECT_EQ(frames.FramesInFile, -1) << name << " cut at " << cut;
        continue;
      }
      // A GIF or APNG cut anywhere gives the frames before the cut, whole, as browsers do.
      EXPECT_LE(frames.Count(), complete.Count()) << name << " cut at " << cut;
      for (int k = 0; k < frames.Count(); ++k) {
        EXPECT_EQ(frames.Rgba[k], complete.Rgba[k]) << name << " cut at " << cut;
      }
    }
  }
}

// A file read for the store holds no frames: each became a cell as it was read, the pixels a
// viewer shows kept and the transparent ones given one key colour no shown pixel has.
TEST(ImportCells, FramesBecomeCellsAsTheyAreRead) {
  for (const auto& [path, cellsPerFrame] :
       {std::pair{ExportedFile("t.gif"), 1}, {ConformanceFile("basn6a16.png"), 2}}) {
    const std::vector<uint8_t> bytes = FileBytes(path);
    std::string error;
    TFileFrames file;
    ASSERT_TRUE(ReadFileFrames(bytes, StoreReadLimits(std::nullopt), file, error)) << error;
    EXPECT_TRUE(file.Frames.Rgba.empty()) << path;
    TImportedCells cells;
    ASSERT_TRUE(CellsOfFile(file, cellsPerFrame, cells, error)) << error;
    const TDecodedFrames frames = Read(bytes, error);
    ASSERT_EQ(cells.Count(), frames.Count() * cellsPerFrame) << path;
    const int cellWidth = frames.Width / cellsPerFrame;
    std::optional<TColor> key;
    std::set<TColor> shown;
    for (int c = 0; c < cells.Count(); ++c) {
      for (int y = 0; y < frames.Height; ++y) {
        for (int x = 0; x < cellWidth; ++x) {
          const uint8_t* p =
              PixelOf(frames, c / cellsPerFrame, c % cellsPerFrame * cellWidth + x, y);
          const TColor got = cells.Cells[size_t(c)]->Pixel(x, y);
          if (p[3] < kOpaqueAlpha) {
            ASSERT_EQ(got, key.value_or(got)) << path << " " << x << "," << y;
            key = got;
          } else {
            ASSERT_EQ(got, TColor{p[0]} | p[1] << 8 | p[2] << 16) << path << " " << x << "," << y;
            shown.insert(got);
          }
        }
      }
    }
    EXPECT_TRUE(key || !path.ends_with(".png")) << "the PNG has transparent pixels";
    EXPECT_TRUE(!key || !shown.contains(*key)) << path;
  }
}

}  // namespace
}  // namespace torvel
