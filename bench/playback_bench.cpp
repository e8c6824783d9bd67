// Plays a 20-cell 100 x 100 animation in the real editor on Qt's offscreen platform at every
// speed, and reports the frame rate achieved against the one asked for, the processor time the
// program spends per second of playback, how often the playback timer wakes up to tick and how
// often the process's threads are switched in and out. The first row is the baseline of the same
// run: the window with its playback timer switched off.
//
// Usage: playback_bench [seconds per speed, default 10] [one speed 0..20, default all] [--large]
// Goals: SpeedPercent >= 97 at every speed; under 1 % of one core (the median of five windows)
// while playing at 20 fps and under 0.5 % while still; the timer wakes at most 5 times a second
// while still. With --large the cells are 1920 x 1080 (screenshots): SpeedPercent >= 97 and
// under 3 % of a core at 20 fps, once every cell has been shown.
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/raster.h"
#include "private_home.h"
#include "services/services.h"

namespace {

void RunFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

struct TUsage {
  double ProcessorSeconds = 0;
  long WakeUps = 0;  // times a thread of the process went to sleep and was woken again
};

TUsage Usage() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return {seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw};
}

int ticks = 0;  // playback ticks run so far

// Runs the event loop for the given seconds, in five windows, and prints the processor share
// (the median of the windows, and their range: a virtual machine's accounting swings by a
// quarter from one window to the next), the ticks and the thread switches a second.
void Measure(const char* what, int fps, const torvel::TCellTable& table, int seconds) {
  constexpr int kWindows = 5;
  RunFor(1000);  // let the average settle
  const TUsage before = Usage();
  const int ticksBefore = ticks;
  std::vector<double> shares;
  TUsage last = before;
  for (int window = 0; window < kWindows; ++window) {
    RunFor(seconds * 1000 / kWindows);
    const TUsage now = Usage();
    shares.push_back((now.ProcessorSeconds - last.ProcessorSeconds) / seconds * kWindows * 100);
    last = now;
  }
  std::sort(shares.begin(), shares.end());
  const double switches = static_cast<double>(last.WakeUps - before.WakeUps) / seconds;
  const double tickRate = static_cast<double>(ticks - ticksBefore) / seconds;
  std::printf("%-7s %6d %8d %7d %7.2f %5.2f-%-5.2f %8.1f %10.1f\n", what, fps, table.MeasuredFps,
              fps == 0 ? 100 : table.SpeedPercent, shares[kWindows / 2], shares.front(),
              shares.back(), tickRate, switches);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const bool large = argc > 1 && std::string(argv[argc - 1]) == "--large";
  if (large) {
    --argc;
  }
  const int seconds = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 10;
  const std::string home = UsePrivateHome();
  torvel::StartServices();
  QApplication app(argc, argv);
  torvel::TForm1 window;
  window.show();
  torvel::TAnimationEdit& editor = *window.Editor();
  const int side = large ? 1 : 100;
  const int width = large ? 1920 : side, height = large ? 1080 : side;
  for (int k = 0; k < 20; ++k) {
    torvel::Bitmap cell(width, height);
    torvel::FillRect(cell, cell.Rect(), 0x0A0B0Cu * static_cast<uint32_t>(k + 1));
    torvel::FillRect(cell, {k * 10, k * 10, k * 10 + width / 4, k * 10 + height / 4}, 0xFFFFFF);
    editor.Strip->AddCells(&cell, 1, -1);
  }
  editor.RefreshCellList();

  editor.Timer().SetOnTimer([&editor] {
    ++ticks;
    editor.PlaybackTick();
  });
  std::printf("%-7s %6s %8s %7s %7s %-11s %8s %10s\n", "speed", "asked", "measured", "percent",
              "cpu %", "range", "ticks/s", "switches/s");
  const torvel::TCellTable& table = editor.Strip->Table;
  editor.SetInterval(0);
  editor.Timer().SetEnabled(false);
  Measure("no tick", 0, table, seconds);
  editor.Timer().SetEnabled(true);
  const int only = argc > 2 ? std::atoi(argv[2]) : -1;
  for (int fps = 0; fps <= 20; ++fps) {
    if (only >= 0 && fps != only) {
      continue;
    }
    editor.SetInterval(fps == 0 ? 0 : 1000 / fps);
    Measure(fps == 0 ? "still" : "play", fps, table, seconds);
  }
  window.EndProcess = [] {};
  editor.New(false);  // nothing to keep: no save question
  window.CloseProgram();
  torvel::RunProgramEndCleanup();
  return RemovePrivateHome(home) ? 0 : 1;
}
