// Draws the program's icons as PNG pictures with an alpha channel and as SVG drawings: the
// program's icon (a frame of film holding a bouncing ball), the icon of its animation files (a
// sheet of paper with that frame on it) and the six frames of the animated task-bar icon.
//
// Usage: icon_tool OUTPUT_FOLDER
//
// Writes torvel-SIZE.png and file-SIZE.png for the sizes 16, 24, 32, 48, 64, 128 and 256,
// torvel.svg and file.svg, and frame0.png to frame5.png (16 x 16; the ball from the top of its
// bounce down to the ground and up again).
//
// Each icon is a list of filled shapes in a square of side 1; the pictures sample the shapes and
// the drawings describe them, so both show the same icon.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

struct TRgba {
  double R = 0, G = 0, B = 0, A = 0;  // straight (not premultiplied), 0..1
};

TRgba Hex(unsigned rgb, double alpha = 1) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

struct TRoundedBox {
  double Left, Top, Right, Bottom, Radius;

  bool Contains(double x, double y) const {
    const double dx = std::max({Left + Radius - x, 0.0, x - (Right - Radius)});
    const double dy = std::max({Top + Radius - y, 0.0, y - (Bottom - Radius)});
    return x >= Left && x <= Right && y >= Top && y <= Bottom &&
           dx * dx + dy * dy <= Radius * Radius;
  }
};

struct TEllipse {
  double CenterX, CenterY, RadiusX, RadiusY;

  bool Contains(double x, double y) const {
    const double nx = (x - CenterX) / RadiusX;
    const double ny = (y - CenterY) / RadiusY;
    return nx * nx + ny * ny <= 1;
  }
};

struct TPolygon {
  std::vector<std::pair<double, double>> Points;

  bool Contains(double x, double y) const {  // even-odd rule
    bool inside = false;
    for (size_t i = 0, j = Points.size() - 1; i < Points.size(); j = i++) {
      const auto [xi, yi] = Points[i];
      const auto [xj, yj] = Points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
        inside = !inside;
      }
    }
    return inside;
  }
};

using TShape = std::variant<TRoundedBox, TEllipse, TPolygon>;

struct TLayer {
  TShape Shape;
  TRgba Color;
};

using TIcon = std::vector<TLayer>;

// Places shapes drawn in a unit square into the part of the icon from (x, y) with the side.
struct TPlacement {
  double X = 0, Y = 0, Side = 1;

  double Px(double u) const { return X + u * Side; }
  double Py(double v) const { return Y + v * Side; }
  TRoundedBox Box(double l, double t, double r, double b, double radius) const {
    return {Px(l), Py(t), Px(r), Py(b), radius * Side};
  }
  TEllipse Oval(double cx, double cy, double rx, double ry) const {
    return {Px(cx), Py(cy), rx * Side, ry * Side};
  }
};

// The film frame with the ball; height 1 is the top of the bounce, 0 the ground. Small icons
// get fewer, bigger holes and a plainer highlight so that they stay readable.
void AddFilmFrame(TIcon& icon, const TPlacement& at, bool small, double height) {
  icon.push_back({at.Box(0.02, 0.02, 0.98, 0.98, 0.16), Hex(0x27304a)});
  const int holes = small ? 3 : 4;
  const double holeHeight = small ? 0.13 : 0.1;
  for (int i = 0; i < holes; ++i) {
    const double y = 0.14 + i * (0.72 - holeHeight) / (holes - 1);
    for (double x : {0.06, 0.86}) {
      icon.push_back({at.Box(x, y, x + 0.08, y + holeHeight, 0.02), Hex(0xc9d1e6)});
    }
  }
  icon.push_back({at.Box(0.2, 0.08, 0.8, 0.92, small ? 0.03 : 0.05), Hex(0xfbf4e2)});
  const double r = small ? 0.17 : 0.15;
  const double ground = 0.86;
  const double squash = height < 0.1 ? 1.25 : 1.0;
  const double cy = ground - r / squash - height * (ground - 0.12 - 2 * r);
  icon.push_back({at.Oval(0.5, ground, r * (1.2 - 0.4 * height), 0.025 + 0.02 * (1 - height)),
                  Hex(0x8a8478, 0.7)});
  icon.push_back({at.Oval(0.5, cy, r * squash, r / squash), Hex(0xd43a3a)});
  if (small) {
    icon.push_back({at.Oval(0.5 - r * 0.3, cy - r * 0.35, r * 0.3, r * 0.3), Hex(0xf29080)});
  } else {
    icon.push_back({at.Oval(0.5 - r * 0.35, cy - r * 0.38, r * 0.35, r * 0.28), Hex(0xf7a79c)});
  }
}

TIcon ProgramIcon(bool small, double height) {
  TIcon icon;
  AddFilmFrame(icon, {}, small, height);
  return icon;
}

// A sheet with its top-right corner folded down, the film frame on its lower part.
TIcon FileIcon(bool small) {
  const double left = 0.14, right = 0.86, top = 0.03, bottom = 0.97;
  const double fold = small ? 0.26 : 0.22;
  TIcon icon;
  icon.push_back({TPolygon{{{left, top},
                            {right - fold, top},
                            {right, top + fold},
                            {right, bottom},
                            {left, bottom}}},
                  Hex(0x8c93a8)});
  const double edge = small ? 1.0 / 16 : 0.02;
  icon.push_back({TPolygon{{{left + edge, top + edge},
                            {right - fold, top + edge},
                            {right - edge, top + fold},
                            {right - edge, bottom - edge},
                            {left + edge, bottom - edge}}},
                  Hex(0xffffff)});
  icon.push_back({TPolygon{{{right - fold, top}, {right - fold, top + fold}, {right, top + fold}}},
                  Hex(0xc9d1e6)});
  const double side = small ? 0.62 : 0.56;
  AddFilmFrame(icon, {0.5 - side / 2, bottom - side - (small ? 0.07 : 0.08), side}, small, 0.55);
  return icon;
}

// A square picture; each layer is laid over the ones before it, weighted by how much of each
// pixel it covers (4 x 4 samples).
class TCanvas {
 public:
  explicit TCanvas(int size) : size_(size), pixels_(static_cast<size_t>(size) * size) {}

  void Draw(const TIcon& icon) {
    for (const TLayer& layer : icon) {
      std::visit([&](const auto& shape) { Paint(shape, layer.Color); }, layer.Shape);
    }
  }

  bool WritePng(const std::string& path) const {
    std::vector<png_byte> rows(static_cast<size_t>(size_) * size_ * 4);
    for (size_t i = 0; i < pixels_.size(); ++i) {
      const TRgba& p = pixels_[i];
      const double channels[4] = {p.R, p.G, p.B, p.A};
      for (int c = 0; c < 4; ++c) {
        rows[i * 4 + c] =
            static_cast<png_byte>(std::lround(std::clamp(channels[c], 0.0, 1.0) * 255));
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
  template <class Shape>
  void Paint(const Shape& shape, TRgba color) {
    constexpr int kSamples = 4;
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            hits += shape.Contains((x + (sx + 0.5) / kSamples) / size_,
                                   (y + (sy + 0.5) / kSamples) / size_);
          }
        }
        Over(pixels_[static_cast<size_t>(y) * size_ + x], color,
             color.A * hits / (kSamples * kSamples));
      }
    }
  }

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

// The icon as an SVG drawing of 256 x 256 units.
class TSvgWriter {
 public:
  std::string Write(const TIcon& icon) {
    out_
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" stroke=\"none\" "
           "viewBox=\"0 0 256 256\">\n";
    for (const TLayer& layer : icon) {
      out_ << "  ";
      std::visit([&](const auto& shape) { Element(shape); }, layer.Shape);
      out_ << " fill=\"" << Color(layer.Color) << '"';
      if (layer.Color.A < 1) {
        out_ << " fill-opacity=\"" << Number(layer.Color.A) << '"';
      }
      out_ << "/>\n";
    }
    out_ << "</svg>\n";
    return out_.str();
  }

 private:
  static std::string Number(double value) {
    std::ostringstream text;
    text << std::round(value * 100) / 100;
    return text.str();
  }
  static std::string Units(double value) { return Number(value * 256); }
  static std::string Color(TRgba c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c.R * 255)),
                  static_cast<int>(std::lround(c.G * 255)),
                  static_cast<int>(std::lround(c.B * 255)));
    return text;
  }

  void Element(const TRoundedBox& b) {
    out_ << "<rect x=\"" << Units(b.Left) << "\" y=\"" << Units(b.Top) << "\" width=\""
         << Units(b.Right - b.Left) << "\" height=\"" << Units(b.Bottom - b.Top) << "\" rx=\""
         << Units(b.Radius) << '"';
  }
  void Element(const TEllipse& e) {
    out_ << "<ellipse cx=\"" << Units(e.CenterX) << "\" cy=\"" << Units(e.CenterY) << "\" rx=\""
         << Units(e.RadiusX) << "\" ry=\"" << Units(e.RadiusY) << '"';
  }
  void Element(const TPolygon& p) {
    out_ << "<polygon points=\"";
    for (size_t i = 0; i < p.Points.size(); ++i) {
      out_ << (i > 0 ? " " : "") << Units(p.Points[i].first) << ',' << Units(p.Points[i].second);
    }
    out_ << '"';
  }

  std::ostringstream out_;
};

bool WritePicture(const TIcon& icon, int size, const std::string& path) {
  TCanvas canvas(size);
  canvas.Draw(icon);
  if (!canvas.WritePng(path)) {
    std::fprintf(stderr, "icon_tool: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteDrawing(const TIcon& icon, const std::string& path) {
  std::ofstream file(path, std::ios::binary);
  file << TSvgWriter().Write(icon);
  if (!file.flush()) {
    std::fprintf(stderr, "icon_tool: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: icon_tool OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  constexpr double kRestingHeight = 0.55;
  bool ok = true;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const bool small = size < 24;
    const std::string suffix = "-" + std::to_string(size) + ".png";
    ok = ok && WritePicture(ProgramIcon(small, kRestingHeight), size, folder + "torvel" + suffix);
    ok = ok && WritePicture(FileIcon(small), size, folder + "file" + suffix);
  }
  ok = ok && WriteDrawing(ProgramIcon(false, kRestingHeight), folder + "torvel.svg");
  ok = ok && WriteDrawing(FileIcon(false), folder + "file.svg");
  for (int frame = 0; frame < 6; ++frame) {
    const double height = std::abs(std::cos(std::numbers::pi * frame / 6));
    ok = ok && WritePicture(ProgramIcon(true, height), 16,
                            folder + "frame" + std::to_string(frame) + ".png");
  }
  return ok ? 0 : 1;
}
