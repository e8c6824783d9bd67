#include "cli/cli.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cells/animation_io.h"
#include "export/png_io.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "platform/raster.h"
#include "support/file_helpers.h"
#include "support/peer_tools.h"
#include "support/test_folders.h"
#include "support/tiny_gif.h"

namespace torvel {
namespace {

struct TRun {
  int Status = -1;
  std::string Out;
  std::string Err;
};

TRun RunTool(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  TRun run;
  run.Status = RunCli(arguments, out, err);
  run.Out = out.str();
  run.Err = err.str();
  return run;
}

// n cells of w x h side by side, each its own colour with a white dot.
Bitmap Strip(int n, int w, int h) {
  Bitmap strip(n * w, h);
  for (int k = 0; k < n; ++k) {
    FillRect(strip, {k * w, 0, (k + 1) * w, h}, static_cast<TColor>(0x1F3F5F + 0x101010 * k));
    strip.SetPixel(k * w + 1, h - 1, kWhite);
  }
  return strip;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(WriteFileSafely(path, bytes.data(), bytes.size()));
}

Bitmap ReadPicture(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, 1 << 24, bytes));
  Bitmap picture;
  std::string error;
  EXPECT_TRUE(LooksLikePng(bytes) ? DecodePng(bytes, picture, error)
                                  : DecodeBmp(bytes, picture, error))
      << path << ": " << error;
  return picture;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return false;
  }
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) {
        return false;
      }
    }
  }
  return true;
}

class CliTest : public testing::Test {
 protected:
  std::string folder = test::FreshFolder("cli");
};

TEST_F(CliTest, PackInfoAndUnpackRoundTrip) {
  const Bitmap strip = Strip(3, 12, 9);
  WriteBytes(folder + "strip.bmp", EncodeBmp(strip));
  const TRun pack = RunTool({"pack", folder + "strip.bmp", folder + "walk.san", "--cells", "3",
                             "--interval", "120", "--opaque", "--flip"});
  ASSERT_EQ(pack.Status, 0) << pack.Err;
  EXPECT_EQ(pack.Err, "");

  const TRun info = RunTool({"info", folder + "walk.san"});
  ASSERT_EQ(info.Status, 0) << info.Err;
  EXPECT_EQ(info.Out,
            "cells: 3\ncell size: 12x9\ninterval: 120\ntransparent: no\nflip: yes\n"
            "mirror: no\npF: 0\npSH: 0\npSV: 0\n");

  for (const char* name : {"back.bmp", "back.png", "BACK.PNG"}) {
    const TRun unpack = RunTool({"unpack", folder + "walk.san", folder + name});
    ASSERT_EQ(unpack.Status, 0) << unpack.Err;
    EXPECT_TRUE(SamePixels(ReadPicture(folder + name), strip)) << name;
  }
}

// An animated GIF packs with all its frames, its speed and its transparency; a one-frame GIF
// is a still picture that needs --cells.
TEST_F(CliTest, AnimatedFilesPackWithAllTheirFramesAndInfoDescribesThem) {
  ASSERT_TRUE(test::RunQuietly("convert -size 10x6 -delay 20 xc:none xc:red xc:none '" + folder +
                               "a.gif'"));
  const TRun info = RunTool({"info", folder + "a.gif"});
  ASSERT_EQ(info.Status, 0) << info.Err;
  EXPECT_EQ(info.Out,
            "format: gif\nframes: 3\nsize: 10x6\ndelays: 200 200 200\ntransparent: yes\n");

  ASSERT_EQ(RunTool({"pack", folder + "a.gif", folder + "a.san"}).Status, 0);
  EXPECT_THAT(RunTool({"info", folder + "a.san"}).Out,
              testing::StartsWith("cells: 3\ncell size: 10x6\ninterval: 200\ntransparent: no\n"))
      << "the red frame's top-left pixel is opaque";
  EXPECT_EQ(RunTool({"pack", folder + "a.gif", folder + "b.san", "--cells", "3"}).Status, 2);

  ASSERT_TRUE(test::RunQuietly("convert -size 12x6 xc:blue '" + folder + "still.gif'"));
  EXPECT_EQ(RunTool({"pack", folder + "still.gif", folder + "s.san"}).Status, 2);
  ASSERT_EQ(RunTool({"pack", folder + "still.gif", folder + "s.san", "--cells", "2"}).Status, 0);
  EXPECT_THAT(RunTool({"info", folder + "s.san"}).Out,
              testing::StartsWith("cells: 2\ncell size: 6x6\n"));
}

TEST_F(CliTest, ExportWritesEachFormatAndRefusesWrongArguments) {
  WriteBytes(folder + "strip.bmp", EncodeBmp(Strip(3, 12, 9)));
  ASSERT_EQ(RunTool({"pack", folder + "strip.bmp", folder + "a.san", "--cells", "3"}).Status, 0);
  const std::pair<const char*, std::string> outputs[] = {
      {"a.gif", "GIF89a"}, {"a.webp", "RIFF"}, {"a.apng", "\x89PNG"}, {"a.png", "\x89PNG"}};
  for (const auto& [name, magic] : outputs) {
    const TRun run = RunTool({"export", folder + "a.san", folder + name, "--scale", "2", "--once",
                              "--no-dither", "--interval", "40"});
    ASSERT_EQ(run.Status, 0) << name << ": " << run.Err;
    EXPECT_EQ(test::ReadText(folder + name).substr(0, magic.size()), magic) << name;
  }
  EXPECT_NE(test::ReadText(folder + "a.png").find("acTL"), std::string::npos);
  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {"export", folder + "a.san", folder + "a.jpg"},
           {"export", folder + "a.san", folder + "b.gif", "--scale", "9"},
           {"export", folder + "a.san", folder + "b.gif", "--interval", "5"},
           {"export", folder + "a.san"}}) {
    const TRun run = RunTool(wrong);
    EXPECT_EQ(run.Status, 2) << wrong.back();
    EXPECT_NE(run.Err.find("Usage:"), std::string::npos);
  }
  const TRun missing = RunTool({"export", folder + "none.san", folder + "b.gif"});
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("File not found"), std::string::npos);
  EXPECT_FALSE(FileExists(folder + "b.gif"));
}

TEST_F(CliTest, PngStripsAreCutLikeImageStripPaste) {
  // 31 pixels in 3 cells: each cell 10 wide, the last column dropped.
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(Strip(1, 31, 5), png));
  WriteBytes(folder + "strip.png", png);
  ASSERT_EQ(RunTool({"pack", folder + "strip.png", folder + "out.san", "--cells", "3"}).Status, 0);
  TAnimationContents contents;
  std::string error;
  ASSERT_TRUE(LoadAnimation(folder + "out.san", contents, error)) << error;
  EXPECT_EQ(contents.Record.pW, 10);
  EXPECT_EQ(contents.CellCount(), 3);
  EXPECT_EQ(contents.Record.pD, 0);  // still, as a new animation starts
  EXPECT_TRUE(contents.Record.pT);
}

TEST_F(CliTest, ErrorsGoToStandardErrorWithTheirTexts) {
  test::WriteText(folder + "junk.san", "not an animation");
  test::WriteText(folder + "junk.bmp", "not a picture");
  WriteBytes(folder + "small.bmp", EncodeBmp(Strip(2, 3, 3)));
  const std::pair<std::vector<std::string>, std::string> failures[] = {
      {{"info", folder + "missing.san"}, "File not found"},
      {{"info", folder + "junk.san"}, "Unsupported format"},
      {{"unpack", folder + "junk.san", folder + "x.png"}, "Unsupported format"},
      {{"pack", folder + "junk.bmp", folder + "x.san", "--cells", "1"}, "Unsupported format"},
      {{"pack", folder + "junk.bmp", folder + "x.san"}, "Unsupported format"},  // not usage
      {{"pack", folder + "small.bmp", folder + "none/x.san", "--cells", "2"},
       "none/x.san: Path not found\n  " + folder + "none/x.san: No such file or directory"},
  };
  for (const auto& [arguments, text] : failures) {
    const TRun run = RunTool(arguments);
    EXPECT_EQ(run.Status, 1) << arguments[1];
    EXPECT_NE(run.Err.find(text), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
  EXPECT_FALSE(FileExists(folder + "x.san"));
  EXPECT_FALSE(FileExists(folder + "x.png"));
}

// info describes the animation as the program opens it, and refuses what the program refuses.
TEST_F(CliTest, InfoTellsWhatTheProgramPlays) {
  TAnimationStrip store;
  Bitmap strip = Strip(2, 4, 4);
  ASSERT_EQ(store.AddCells(&strip, 2, -1), 2);
  TCellTable& table = store.Table;
  table.Interval = 30;  // too fast for the program, which plays it still
  std::string error;
  ASSERT_TRUE(SaveAnimation(table, folder + "fast.san", error)) << error;
  const TRun info = RunTool({"info", folder + "fast.san"});
  ASSERT_EQ(info.Status, 0) << info.Err;
  EXPECT_NE(info.Out.find("interval: 0 (stored: 30)\n"), std::string::npos) << info.Out;

  table.CellWidth = 0;  // no cells the program could cut
  ASSERT_TRUE(SaveAnimation(table, folder + "none.san", error)) << error;
  const TRun refused = RunTool({"info", folder + "none.san"});
  EXPECT_EQ(refused.Status, 1);
  EXPECT_EQ(refused.Out, "");
}

// Forty full-HD frames side by side are more than one picture may be: they go through pack and
// unpack row by row, pixel for pixel.
TEST_F(CliTest, FortyFullHdCellsPackAndUnpackPixelEqual) {
  constexpr int kWidth = 1920, kHeight = 1080, kFrames = 40;
  const std::string gif = folder + "hd.gif";
  ASSERT_TRUE(test::RunQuietly(
      "ffmpeg -y -f lavfi -i testsrc2=size=1920x1080:rate=10:duration=4 '" + gif + "'"));
  const auto frames = test::FfmpegRgbaFrames("-i '" + gif + "'", kWidth, kHeight);
  ASSERT_EQ(frames.size(), size_t{kFrames});
  const TRun pack = RunTool({"pack", gif, folder + "hd.san"});
  ASSERT_EQ(pack.Status, 0) << pack.Err;
  const TRun unpack = RunTool({"unpack", folder + "hd.san", folder + "hd.bmp"});
  ASSERT_EQ(unpack.Status, 0) << unpack.Err;
  std::vector<uint8_t> bmp;
  ASSERT_TRUE(ReadWholeFile(folder + "hd.bmp", size_t{1} << 30, bmp));
  const size_t rowBytes = size_t{kWidth} * kFrames * 3;  // a multiple of 4: no padding
  ASSERT_EQ(bmp.size(), kBmpHeaderSize + rowBytes * kHeight);
  size_t differing = 0;
  for (int k = 0; k < kFrames; ++k) {
    for (int y = 0; y < kHeight; ++y) {
      const uint8_t* shown = &bmp[kBmpHeaderSize + (kHeight - 1 - y) * rowBytes + k * kWidth * 3];
      const uint8_t* source = &frames[k][size_t(y) * kWidth * 4];
      for (int x = 0; x < kWidth; ++x, shown += 3, source += 4) {
        differing += shown[0] != source[2] || shown[1] != source[1] || shown[2] != source[0];
      }
    }
  }
  EXPECT_EQ(differing, 0u);
}

// The cells that fit are written, and the others reported.
TEST_F(CliTest, AnAnimationBeyondTheStoresCapacityIsPackedAsFarAsItFits) {
  WriteBytes(folder + "long.gif", test::TinyGif(TCellTable::kSlots + 4));
  const TRun run = RunTool({"pack", folder + "long.gif", folder + "long.san"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("21846 of 21850 cells accepted.\r\nCapacity reached"), std::string::npos)
      << run.Err;
  const TRun info = RunTool({"info", folder + "long.san"});
  EXPECT_NE(info.Out.find("cells: 21846\n"), std::string::npos) << info.Out;
}

TEST_F(CliTest, WrongCommandLinesShowTheUsage) {
  WriteBytes(folder + "small.bmp", EncodeBmp(Strip(2, 3, 3)));
  const std::string image = folder + "small.bmp", out = folder + "o.san";
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frobnicate"},
      {"info"},
      {"pack", image, out},
      {"pack", image, out, "--cells", "0"},
      {"pack", image, out, "--cells", "7"},  // more cells than the image has columns
      {"pack", image, out, "--cells", "two"},
      {"pack", image, out, "--cells", "2", "--interval", "-5"},
      {"pack", image, out, "--cells", "2", "--sideways"},
      {"unpack", out, folder + "o.gif"},
  };
  for (const auto& arguments : wrong) {
    const TRun run = RunTool(arguments);
    EXPECT_EQ(run.Status, 2) << (arguments.empty() ? "" : arguments.back());
    EXPECT_NE(run.Err.find("Usage:"), std::string::npos);
  }
  EXPECT_FALSE(FileExists(out));
  const TRun help = RunTool({"--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("torvel-cli pack IMAGE OUT.san [--cells N]"), std::string::npos);
}

}  // namespace
}  // namespace torvel
