// Costs of the picture work behind pasting and playback. Absolute times on shared machines are
// noisy, so compare each against BM_CopyReference, a plain copy of the same picture.
#include <benchmark/benchmark.h>

#include <memory>

#include "cells/animation_strip.h"
#include "cells/image_preview.h"
#include "platform/raster.h"

namespace torvel {
namespace {

Bitmap Gradient(int w, int h) {
  Bitmap picture(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      picture.SetPixel(x, y, static_cast<TColor>(x * 7 + y * 13) & 0xFFFFFF);
    }
  }
  return picture;
}

void BM_CopyReference(benchmark::State& state) {
  const Bitmap src = Gradient(640, 480);
  Bitmap dst(640, 480);
  for (auto _ : state) {
    CopyRect(src, src.Rect(), dst, 0, 0);
    benchmark::DoNotOptimize(dst.Bytes());
  }
}
BENCHMARK(BM_CopyReference);

void BM_ShrinkHalf(benchmark::State& state) {
  const Bitmap src = Gradient(640, 480);
  Bitmap dst(320, 240);
  for (auto _ : state) {
    StretchRect(src, src.Rect(), dst, dst.Rect());
    benchmark::DoNotOptimize(dst.Bytes());
  }
}
BENCHMARK(BM_ShrinkHalf);

void BM_EnlargeTwice(benchmark::State& state) {
  const Bitmap src = Gradient(320, 240);
  Bitmap dst(640, 480);
  for (auto _ : state) {
    StretchRect(src, src.Rect(), dst, dst.Rect());
    benchmark::DoNotOptimize(dst.Bytes());
  }
}
BENCHMARK(BM_EnlargeTwice);

// Pasting a strip of 20 cells of 100 x 100 into an empty store, thumbnails included.
void BM_AddTwentyCells(benchmark::State& state) {
  Bitmap strip = Gradient(2000, 100);
  auto store = std::make_unique<TAnimationStrip>();
  for (auto _ : state) {
    store->Clear();
    benchmark::DoNotOptimize(store->AddCells(&strip, 20, -1));
  }
}
BENCHMARK(BM_AddTwentyCells);

// One light (picture only) and one full preview paint of a 640 x 480 cell in an 800 x 600 panel.
void BM_PreviewPaint(benchmark::State& state, bool full) {
  const auto cell = std::make_shared<const Bitmap>(Gradient(640, 480));
  TImagePreview preview(std::make_unique<TBitmapSurface>(TSize{800, 600}));
  preview.ShowCell(cell, false, false);
  for (auto _ : state) {
    if (full) {
      preview.Paint(true);
    } else {
      preview.ShowCell(cell, false, false);
    }
  }
}
BENCHMARK_CAPTURE(BM_PreviewPaint, light, false);
BENCHMARK_CAPTURE(BM_PreviewPaint, full, true);

}  // namespace
}  // namespace torvel

BENCHMARK_MAIN();
