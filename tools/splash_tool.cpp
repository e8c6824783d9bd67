// Draws the program's splash picture (also the picture of its About box) and writes it as a
// JPEG file. The panel lays its text rows over the lower left part, so that part stays dark
// and quiet.
//
// Usage: splash_tool OUT.jpg
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "drawing.h"
#include "platform/files.h"
#include "platform/jpeg.h"

namespace {

using namespace torvel;
using namespace torvel::drawing;

constexpr int kWidth = 360;
constexpr int kHeight = 240;

// The letters of the title on a 5 x 7 grid, top row first.
struct TGlyph {
  char Letter;
  const char* Rows[7];
};
constexpr TGlyph kGlyphs[] = {
    {'T', {"11111", "00100", "00100", "00100", "00100", "00100", "00100"}},
    {'O', {"01110", "10001", "10001", "10001", "10001", "10001", "01110"}},
    {'R', {"11110", "10001", "10001", "11110", "10100", "10010", "10001"}},
    {'V', {"10001", "10001", "10001", "10001", "01010", "01010", "00100"}},
    {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
    {'L', {"10000", "10000", "10000", "10000", "10000", "10000", "11111"}},
};

const TGlyph* GlyphOf(char letter) {
  for (const TGlyph& glyph : kGlyphs) {
    if (glyph.Letter == letter) {
      return &glyph;
    }
  }
  return nullptr;
}

// Calls draw(row, x, y) for every square of the glyph, at block size.
template <typename Draw>
void ForEachSquare(const TGlyph& glyph, double left, double top, double block, Draw draw) {
  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 5; ++column) {
      if (glyph.Rows[row][column] == '1') {
        draw(row, left + column * block, top + row * block);
      }
    }
  }
}

// Each square of a letter becomes a block, its colour running from topColor in the first row to
// bottomColor in the last, over a shadow.
void DrawTitle(Bitmap& picture, const std::string& title, double left, double top, double block,
               TColor topColor, TColor bottomColor) {
  double x = left;
  for (char letter : title) {
    const TGlyph* glyph = GlyphOf(letter);
    if (glyph == nullptr) {
      continue;
    }
    ForEachSquare(*glyph, x, top, block, [&](int, double bx, double by) {
      FillBox(picture, bx + 3, by + 3, bx + block + 3, by + block + 3, Rgb(14, 16, 40));
    });
    ForEachSquare(*glyph, x, top, block, [&](int row, double bx, double by) {
      FillBox(picture, bx, by, bx + block, by + block, Mix(topColor, bottomColor, row / 6.0));
    });
    x += 5 * block + block * 1.4;
  }
}

// A strip of film across the picture, its frames showing a ball on its way down and up.
void DrawFilm(Bitmap& picture, double top, double height) {
  FillBox(picture, -2, top, kWidth + 2, top + height, Rgb(28, 28, 36));
  const double hole = height * 0.09;
  for (double x = 4; x < kWidth; x += 14) {
    FillBox(picture, x, top + hole, x + 6, top + 2 * hole, Rgb(200, 200, 210));
    FillBox(picture, x, top + height - 2 * hole, x + 6, top + height - hole, Rgb(200, 200, 210));
  }
  const double frameTop = top + 3 * hole;
  const double frameSize = height - 6 * hole;
  const double step = frameSize + 10;
  int index = 0;
  for (double x = 12; x + frameSize < kWidth; x += step, ++index) {
    FillBox(picture, x, frameTop, x + frameSize, frameTop + frameSize, Rgb(240, 236, 222));
    const double lift = std::abs(std::cos(index * std::numbers::pi / 5));
    const double r = frameSize * 0.16;
    const double cy = frameTop + frameSize - r - 3 - lift * (frameSize - 2 * r - 6);
    FillEllipse(picture, x + frameSize / 2, frameTop + frameSize - 3, r, 1.5, Rgb(170, 166, 160));
    FillCircle(picture, x + frameSize / 2, cy, r, Rgb(210, 50, 50));
    FillCircle(picture, x + frameSize / 2 - r * 0.35, cy - r * 0.35, r * 0.3, Rgb(250, 160, 150));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: splash_tool OUT.jpg\n");
    return 2;
  }
  Bitmap picture(kWidth, kHeight);
  FillGradient(picture, Rgb(40, 52, 110), Rgb(12, 14, 34));
  // A soft glow behind the title.
  for (int ring = 0; ring < 12; ++ring) {
    const double shrink = 1 - ring / 14.0;
    FillEllipse(picture, 150, 50, 170 * shrink, 52 * shrink,
                Rgb(44 + ring * 4, 58 + ring * 5, 118 + ring * 7));
  }
  DrawTitle(picture, "TORVEL", 32, 24, 6, Rgb(255, 236, 150), Rgb(250, 160, 60));
  DrawFilm(picture, 92, 58);
  const std::vector<uint8_t> bytes = EncodeJpeg(picture, 85);
  if (bytes.empty() || !WriteFileSafely(argv[1], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "splash_tool: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
