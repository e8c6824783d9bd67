// Plays a 20-cell 100 x 100 animation in the real editor on Qt's offscreen platform at every
// speed, and reports the frame rate achieved against the one asked for and the processor time
// the program spends per second of playback.
//
// Usage: playback_bench [seconds per speed, default 10] [one speed 0..20, default all]
// Goals: SpeedPercent >= 97 at every speed; under 1 % of one core while playing at 20 fps and
// under 0.5 % while still.
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/main_window.h"
#include "editor/animation_edit.h"
#include "platform/raster.h"
#include "private_home.h"
#include "services/services.h"

namespace {

double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const int seconds = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 10;
  const std::string home = UsePrivateHome();
  torvel::StartServices();
  QApplication app(argc, argv);
  torvel::TForm1 window;
  window.show();
  torvel::TAnimationEdit& editor = *window.Editor();
  torvel::Bitmap strip(20 * 100, 100);
  for (int k = 0; k < 20; ++k) {
    torvel::FillRect(strip, {k * 100, 0, k * 100 + 100, 100}, 0x0A0B0C * (k + 1));
  }
  editor.Strip->AddCells(&strip, 20, -1);
  editor.RefreshCellList();

  std::printf("%-7s %8s %8s %8s %10s\n", "speed", "asked", "measured", "percent", "cpu %");
  const int only = argc > 2 ? std::atoi(argv[2]) : -1;
  for (int fps = 0; fps <= 20; ++fps) {
    if (only >= 0 && fps != only) {
      continue;
    }
    editor.SetInterval(fps == 0 ? 0 : 1000 / fps);
    RunFor(1000);  // let the average settle
    const double before = ProcessorSeconds();
    RunFor(seconds * 1000);
    const double cpu = (ProcessorSeconds() - before) / seconds * 100;
    const torvel::TCellTable& table = editor.Strip->Table;
    std::printf("%-7s %8d %8d %8d %10.2f\n", fps == 0 ? "still" : "play", fps, table.MeasuredFps,
                fps == 0 ? 100 : table.SpeedPercent, cpu);
    std::fflush(stdout);
  }
  window.EndProcess = [] {};
  editor.Modified = false;  // nothing to keep: no save question
  window.CloseProgram();
  torvel::RunProgramEndCleanup();
  return RemovePrivateHome(home) ? 0 : 1;
}
