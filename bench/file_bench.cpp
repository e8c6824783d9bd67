// Times saving, opening and Paste > Image Strip of the largest animations the store holds, in the
// real editor on Qt's offscreen platform, each as a ratio to zlib alone on the same bytes measured
// in the same run. Prints one "name: value" line per measurement.
//
// Goals: save <= 1.2 x zlib's level-1 deflate of the BMP bytes; open (cutting the cells and
// making every thumbnail) <= 2.0 x zlib's inflate of them; the image-strip paste (thumbnails and
// the list refresh included) <= 1.0 x that inflate.
#include <zlib.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "editor/animation_edit.h"
#include "platform/bmp.h"
#include "platform/raster.h"
#include "private_home.h"
#include "services/services.h"
#include "sprite_strip.h"
#include "support/scripted_platform_ui.h"

namespace {

using torvel::Bitmap;

using torvel::bench::SpriteStrip;
using torvel::bench::TShape;

// The best of a few runs, in milliseconds.
double BestMs(const std::function<void()>& work, int runs = 5) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

void Measure(const TShape& shape, torvel::TAnimationEdit& editor,
             torvel::test::TScriptedPlatformUi& ui, const std::string& folder) {
  const Bitmap strip = SpriteStrip(shape);
  const std::vector<uint8_t> bmp = torvel::EncodeBmp(strip);
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(bmp.size())));
  uLongf packedSize = 0;
  const double deflateMs = BestMs([&] {
    packedSize = static_cast<uLongf>(packed.size());
    compress2(packed.data(), &packedSize, bmp.data(), static_cast<uLong>(bmp.size()), 1);
  });
  std::vector<uint8_t> inflated(bmp.size());
  const double inflateMs = BestMs([&] {
    uLongf size = static_cast<uLongf>(inflated.size());
    uncompress(inflated.data(), &size, packed.data(), packedSize);
  });

  // Paste > Image Strip: the clipboard holds the strip, the user types the cell count.
  const double pasteMs = BestMs([&] {
    editor.New(false);
    ui.ClipboardPicture = strip;
    ui.InputAnswers.push_back(std::to_string(shape.Cells));
    if (!editor.Paste(true) || editor.Strip->Table.Count != shape.Cells) {
      std::fprintf(stderr, "paste failed: %s\n", editor.LastError.c_str());
      std::exit(1);
    }
  });
  const std::string file = folder + shape.Name + ".san";
  const double saveMs = BestMs([&] {
    if (!editor.SaveAnimationFile(file)) {
      std::fprintf(stderr, "save failed: %s\n", editor.LastError.c_str());
      std::exit(1);
    }
  });
  const double openMs = BestMs([&] {
    if (!editor.OpenFile(file) || editor.Strip->Table.Count != shape.Cells) {
      std::fprintf(stderr, "open failed: %s\n", editor.LastError.c_str());
      std::exit(1);
    }
  });

  const std::string n = shape.Name;
  std::printf("%s.bmp_bytes: %zu\n", n.c_str(), bmp.size());
  std::printf("%s.deflate_ms: %.2f\n%s.inflate_ms: %.2f\n", n.c_str(), deflateMs, n.c_str(),
              inflateMs);
  std::printf("%s.save_ms: %.2f\n%s.open_ms: %.2f\n%s.paste_ms: %.2f\n", n.c_str(), saveMs,
              n.c_str(), openMs, n.c_str(), pasteMs);
  std::printf("%s.save_ratio: %.2f\n", n.c_str(), saveMs / deflateMs);
  std::printf("%s.open_ratio: %.2f\n", n.c_str(), openMs / inflateMs);
  std::printf("%s.paste_ratio: %.2f\n", n.c_str(), pasteMs / inflateMs);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string home = UsePrivateHome();
  torvel::StartServices();
  QApplication app(argc, argv);
  {
    torvel::test::TScriptedPlatformUi ui;
    QWidget owner;
    torvel::TAnimationEdit editor("Torvel", &owner);
    editor.Window()->setParent(&owner);
    owner.resize(550, 400);
    owner.show();
    for (const TShape& shape :
         {TShape{"cells218_100x100", 218, 100, 100}, TShape{"cells13_640x480", 13, 640, 480},
          TShape{"cells682_32x32", 682, 32, 32}}) {
      Measure(shape, editor, ui, home);
    }
  }
  torvel::RunProgramEndCleanup();
  return RemovePrivateHome(home) ? 0 : 1;
}
