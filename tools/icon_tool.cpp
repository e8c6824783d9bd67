// Draws the program's icon and the six frames of its animated task-bar icon as PNG pictures with
// an alpha channel: a frame of film holding a bouncing ball.
//
// Usage: icon_tool OUTPUT_FOLDER
//
// Writes torvel-SIZE.png for the sizes 16, 24, 32, 48, 64, 128 and 256, and frame0.png to
// frame5.png (16 x 16; the ball from the top of its bounce down to the ground and up again).
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct TRgba {
  double R = 0, G = 0, B = 0, A = 0;  // straight (not premultiplied), 0..1
};

// A square picture with coverage-weighted drawing, sampled 4 x 4 times per pixel.
class TCanvas {
 public:
  explicit TCanvas(int size) : size_(size), pixels_(static_cast<size_t>(size) * size) {}

  // Paints the colour wherever inside(x, y) holds, x and y in 0..1 of the picture's side.
  void Paint(const std::function<bool(double, double)>& inside, TRgba color) {
    constexpr int kSamples = 4;
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            hits +=
                inside((x + (sx + 0.5) / kSamples) / size_, (y + (sy + 0.5) / kSamples) / size_);
          }
        }
        Over(pixels_[static_cast<size_t>(y) * size_ + x], color, color.A * hits / 16.0);
      }
    }
  }

  bool WritePng(const std::string& path) const {
    std::vector<png_byte> rows(static_cast<size_t>(size_) * size_ * 4);
    for (size_t i = 0; i < pixels_.size(); ++i) {
      const TRgba& p = pixels_[i];
      for (int c = 0; c < 4; ++c) {
        const double v = c == 0 ? p.R : c == 1 ? p.G : c == 2 ? p.B : p.A;
        rows[i * 4 + c] = static_cast<png_byte>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
      }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size_);
    image.height = static_cast<png_uint_32>(size_);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rows.data(), 0, nullptr) != 0;
  }

 private:
  static void Over(TRgba& under, TRgba color, double alpha) {
    const double a = alpha + under.A * (1 - alpha);
    if (a <= 0) {
      return;
    }
    auto mix = [&](double top, double bottom) {
      return (top * alpha + bottom * under.A * (1 - alpha)) / a;
    };
    under = {mix(color.R, under.R), mix(color.G, under.G), mix(color.B, under.B), a};
  }

  int size_;
  std::vector<TRgba> pixels_;
};

TRgba Hex(unsigned rgb, double alpha = 1) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

auto RoundedBox(double left, double top, double right, double bottom, double radius) {
  return [=](double x, double y) {
    const double dx = std::max({left + radius - x, 0.0, x - (right - radius)});
    const double dy = std::max({top + radius - y, 0.0, y - (bottom - radius)});
    return x >= left && x <= right && y >= top && y <= bottom &&
           dx * dx + dy * dy <= radius * radius;
  };
}

auto Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double nx = (x - cx) / rx;
    const double ny = (y - cy) / ry;
    return nx * nx + ny * ny <= 1;
  };
}

// height: 1 at the top of the bounce, 0 on the ground.
TCanvas DrawIcon(int size, double height) {
  TCanvas canvas(size);
  const bool small = size < 24;
  canvas.Paint(RoundedBox(0.02, 0.02, 0.98, 0.98, 0.16), Hex(0x27304a));
  const int holes = small ? 3 : 4;
  const double holeHeight = small ? 0.13 : 0.1;
  for (int i = 0; i < holes; ++i) {
    const double y = 0.14 + i * (0.72 - holeHeight) / (holes - 1);
    for (double x : {0.06, 0.86}) {
      canvas.Paint(RoundedBox(x, y, x + 0.08, y + holeHeight, 0.02), Hex(0xc9d1e6));
    }
  }
  const double left = small ? 0.2 : 0.2;
  const double right = 1 - left;
  canvas.Paint(RoundedBox(left, 0.08, right, 0.92, small ? 0.03 : 0.05), Hex(0xfbf4e2));
  const double r = small ? 0.17 : 0.15;
  const double ground = 0.86;
  const double squash = height < 0.1 ? 1.25 : 1.0;
  const double cy = ground - r / squash - height * (ground - 0.12 - 2 * r);
  canvas.Paint(Ellipse(0.5, ground, r * (1.2 - 0.4 * height), 0.025 + 0.02 * (1 - height)),
               Hex(0x8a8478, 0.7));
  canvas.Paint(Ellipse(0.5, cy, r * squash, r / squash), Hex(0xd43a3a));
  if (!small) {
    canvas.Paint(Ellipse(0.5 - r * 0.35, cy - r * 0.38, r * 0.35, r * 0.28), Hex(0xf7a79c));
  } else {
    canvas.Paint(Ellipse(0.5 - r * 0.3, cy - r * 0.35, r * 0.3, r * 0.3), Hex(0xf29080));
  }
  return canvas;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: icon_tool OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string path = folder + "torvel-" + std::to_string(size) + ".png";
    if (!DrawIcon(size, 0.55).WritePng(path)) {
      std::fprintf(stderr, "icon_tool: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  for (int frame = 0; frame < 6; ++frame) {
    const std::string path = folder + "frame" + std::to_string(frame) + ".png";
    const double height = std::abs(std::cos(std::numbers::pi * frame / 6));
    if (!DrawIcon(16, height).WritePng(path)) {
      std::fprintf(stderr, "icon_tool: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
