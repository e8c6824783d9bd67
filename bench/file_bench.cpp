// Times saving, opening and Paste > Image Strip of the largest animations the store holds, in the
// real editor on Qt's offscreen platform, each as a ratio to zlib alone on the same bytes measured
// in the same run. Prints one "name: value" line per measurement.
//
// Goals: save <= 1.2 x zlib's level-1 deflate of the BMP bytes; open (cutting the cells and
// making every thumbnail) <= 2.0 x zlib's inflate of them; the image-strip paste (thumbnails and
// the list refresh included) <= 1.0 x that inflate.
//
// With --large: 120 cells of 1920 x 1080 instead, saved and opened; the goals are the same
// ratios, and a peak resident memory of the process while saving and while opening (into an
// empty editor) of at most 1.1 x the cells' pixels + 64 MiB, and a resident memory with the
// animation open of at most 1.15 x its pixels + 150 MiB. Its export to APNG and GIF: a peak of
// at most 1.5 x the pixels + 200 MiB.
#include <zlib.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "cells/cell_strip.h"
#include "editor/animation_edit.h"
#include "export/animation_encoder.h"
#include "platform/bmp.h"
#include "platform/picture_memory.h"
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

// A figure of the process's memory from /proc/self/status ("VmHWM", the peak resident memory
// since the last reset, or "VmRSS", the resident memory now), in bytes.
int64_t StatusBytes(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  char line[256];
  const std::string format = std::string(field) + ": %ld kB";
  int64_t kib = -1;
  while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
    std::sscanf(line, format.c_str(), &kib);
  }
  if (status != nullptr) {
    std::fclose(status);
  }
  return kib * 1024;
}

int64_t PeakResidentBytes() {
  return StatusBytes("VmHWM");
}

void ResetPeakResident() {
  if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

// The same operation once, timed, with the peak memory it took the process to.
struct TRun {
  double Ms = 0;
  int64_t PeakBytes = 0;
};
// The best time of two runs, as for zlib alone, and the higher of their peaks.
TRun RunMeasured(const std::function<void()>& prepare, const std::function<void()>& work) {
  TRun best{1e30, 0};
  for (int run = 0; run < 2; ++run) {
    prepare();
    ResetPeakResident();
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = {std::min(best.Ms, took.count()), std::max(best.PeakBytes, PeakResidentBytes())};
  }
  return best;
}

void MeasureLarge(torvel::TAnimationEdit& editor, const std::string& folder) {
  constexpr int kCells = 120, kWidth = 1920, kHeight = 1080;
  editor.New(false);
  for (int k = 0; k < kCells; ++k) {
    Bitmap cell = SpriteStrip(TShape{"frame", 1, kWidth, kHeight}, 7 + k);
    if (editor.Strip->AddCells(&cell, 1, -1) != 1) {
      std::fprintf(stderr, "the store refused a cell: %s\n", editor.Strip->LastError.c_str());
      std::exit(1);
    }
  }
  editor.RefreshCellList();
  double deflateMs = 0, inflateMs = 0;
  {  // zlib alone on the very bytes a save compresses
    torvel::TMemoryStream strip;
    torvel::WriteCellStrip(editor.Strip->Table, strip);
    const std::vector<uint8_t>& bmp = strip.Bytes();
    std::vector<uint8_t> packed(compressBound(static_cast<uLong>(bmp.size())));
    uLongf packedSize = static_cast<uLongf>(packed.size());
    deflateMs = BestMs(
        [&] {
          packedSize = static_cast<uLongf>(packed.size());
          compress2(packed.data(), &packedSize, bmp.data(), static_cast<uLong>(bmp.size()), 1);
        },
        2);
    std::vector<uint8_t> inflated(bmp.size());
    inflateMs = BestMs(
        [&] {
          uLongf size = static_cast<uLongf>(inflated.size());
          uncompress(inflated.data(), &size, packed.data(), packedSize);
        },
        2);
  }
  const double cellBytes = double(kCells) * kWidth * kHeight * 3;
  const std::string file = folder + "fullhd120.san";
  const TRun save =
      RunMeasured([] {},
                  [&] {
                    if (!editor.SaveAnimationFile(file)) {
                      std::fprintf(stderr, "save failed: %s\n", editor.LastError.c_str());
                      std::exit(1);
                    }
                  });
  // Export as File > Export Animation writes the frames: made a few at a time from the cells.
  const auto exportAs = [&](torvel::TExportFormat format, const char* name) {
    return RunMeasured(
        [] {},
        [&] {
          torvel::TExportFrames frames;
          std::string error;
          if (!torvel::FramesFromTable(editor.Strip->Table, frames, error) ||
              !torvel::ExportAnimationFile(frames, torvel::TExportOptions(), format,
                                           folder + "fullhd120." + name, nullptr, error)) {
            std::fprintf(stderr, "export to %s failed: %s\n", name, error.c_str());
            std::exit(1);
          }
        });
  };
  const TRun apng = exportAs(torvel::TExportFormat::Apng, "apng");
  const TRun gif = exportAs(torvel::TExportFormat::Gif, "gif");
  const TRun open =
      RunMeasured([&] { editor.New(false); },
                  [&] {
                    if (!editor.OpenFile(file) || editor.Strip->Table.Count != kCells) {
                      std::fprintf(stderr, "open failed: %s\n", editor.LastError.c_str());
                      std::exit(1);
                    }
                  });
  QApplication::processEvents();  // the window shows the opened animation
  const double resident = double(StatusBytes("VmRSS"));
  const double bound = 1.1 * cellBytes + 64.0 * (1 << 20);
  std::printf("fullhd120.cell_bytes: %.0f\nfullhd120.deflate_ms: %.1f\n", cellBytes, deflateMs);
  std::printf("fullhd120.inflate_ms: %.1f\nfullhd120.save_ms: %.1f\nfullhd120.open_ms: %.1f\n",
              inflateMs, save.Ms, open.Ms);
  std::printf("fullhd120.save_ratio: %.2f\nfullhd120.open_ratio: %.2f\n", save.Ms / deflateMs,
              open.Ms / inflateMs);
  std::printf("fullhd120.save_peak_to_bound: %.2f\nfullhd120.open_peak_to_bound: %.2f\n",
              double(save.PeakBytes) / bound, double(open.PeakBytes) / bound);
  const double exportBound = 1.5 * cellBytes + 200.0 * (1 << 20);
  std::printf("fullhd120.apng_export_ms: %.0f\nfullhd120.gif_export_ms: %.0f\n", apng.Ms, gif.Ms);
  std::printf("fullhd120.apng_export_peak_to_bound: %.2f\n", double(apng.PeakBytes) / exportBound);
  std::printf("fullhd120.gif_export_peak_to_bound: %.2f\n", double(gif.PeakBytes) / exportBound);
  std::printf("fullhd120.resident_open_to_bound: %.2f\n",
              resident / (1.15 * cellBytes + 150.0 * (1 << 20)));
  editor.New(false);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string home = UsePrivateHome();
  torvel::StartServices();
  torvel::KeepPictureMemoryForReuse();
  QApplication app(argc, argv);
  {
    torvel::test::TScriptedPlatformUi ui;
    QWidget owner;
    torvel::TAnimationEdit editor("Torvel", &owner);
    editor.Window()->setParent(&owner);
    owner.resize(550, 400);
    owner.show();
    if (argc > 1 && std::string(argv[1]) == "--large") {
      MeasureLarge(editor, home);
    } else {
      for (const TShape& shape :
           {TShape{"cells218_100x100", 218, 100, 100}, TShape{"cells13_640x480", 13, 640, 480},
            TShape{"cells682_32x32", 682, 32, 32}}) {
        Measure(shape, editor, ui, home);
      }
    }
  }
  torvel::RunProgramEndCleanup();
  return RemovePrivateHome(home) ? 0 : 1;
}
