// Export Animation: the file and options dialogs, and the export itself on a worker thread while
// the window shows its progress.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "editor/animation_edit.h"
#include "editor/busy_scope.h"
#include "export/animation_encoder.h"
#include "platform/error_texts.h"
#include "platform/files.h"
#include "platform/ticks.h"
#include "services/paths.h"
#include "services/translate.h"

namespace torvel {
namespace {

// The dialog's file types, in filter order, with the extension each adds to a bare name.
struct TExportType {
  const char* Name;
  const char* Patterns;
  const char* Extension;
};
constexpr TExportType kExportTypes[] = {{"Animated GIF", "*.gif", "gif"},
                                        {"Animated WebP", "*.webp", "webp"},
                                        {"Animated PNG", "*.png;*.apng", "png"},
                                        {"Image Strip", "*.png;*.bmp", "png"}};
constexpr int kStripFilter = 4;

const TExportType& TypeOfFilter(int filterIndex) {
  return kExportTypes[std::clamp(filterIndex, 1, 4) - 1];
}

}  // namespace

void TAnimationEdit::SetUpExportDialog() {
  std::string filter;
  for (const TExportType& type : kExportTypes) {
    filter += (filter.empty() ? "" : "|") + Translate(type.Name) + " (" + type.Patterns + ")|" +
              type.Patterns;
  }
  ExportDialogSettings = {"", kHideReadOnly | kPathMustExist, filter, 1,
                          "", Translate("Export Animation")};
}

// The chosen file with its format: the extension decides; a name without a known one gets the
// chosen file type's.
bool TAnimationEdit::ExportTarget(std::string& fileName, int filterIndex, TExportFormat& format) {
  const bool strip = filterIndex == kStripFilter;
  if (!FormatOfFileName(fileName, strip, format)) {
    fileName += std::string(".") + TypeOfFilter(filterIndex).Extension;
    return FormatOfFileName(fileName, strip, format);
  }
  return true;
}

bool TAnimationEdit::ChooseExportFile(std::string& fileName, TExportFormat& format) {
  TOpenInfo& settings = ExportDialogSettings;
  const std::string extension = TypeOfFilter(settings.FilterIndex).Extension;
  settings.FileName = FolderPart(FileName) + TPaths::StripExtension(DisplayName) + "." + extension;
  // Exports go where the last one went; the first goes beside the animation.
  const std::string folder =
      !ExportFolder.empty() && FolderExists(ExportFolder) ? ExportFolder : FolderPart(FileName);
  settings.FileName = folder + FilePart(settings.FileName);
  TOpenHandler* dialogs = FileDialogs();
  for (;;) {
    if (dialogs == nullptr ||
        !dialogs->RunFileDialog(settings, TFileDialogKind::Save, fileName, folder)) {
      return false;
    }
    ExportTarget(fileName, settings.FilterIndex, format);
    if (!FileExists(fileName) || ConfirmReplace(fileName)) {
      ExportFolder = FolderPart(fileName);
      return true;
    }
  }
}

bool TAnimationEdit::ChooseExportOptions(TExportFormat format) {
  TPlatformUi* ui = PlatformUi();
  TExportChoices choices;
  choices.Scale = ExportOptions.Scale;
  choices.Dither = ExportOptions.Dither;
  choices.Loop = ExportOptions.Loop;
  choices.DitherApplies = format == TExportFormat::Gif;
  choices.TimingApplies = format != TExportFormat::PngStrip && format != TExportFormat::BmpStrip;
  choices.Caption = Translate("Export Animation");
  choices.ScaleText = Translate("Scale");
  choices.DitherText = Translate("Dither colours");
  choices.LoopText = Translate("Loop forever");
  choices.OnceText = Translate("Play once");
  choices.Note = Strip->GetInterval() > 0
                     ? Translate("Each frame is shown for") + " " +
                           std::to_string(ExportDelay(Strip->Table)) + " ms"
                     : Translate("The animation is still: it is exported at 10 frames a second");
  choices.OkText = Translate("OK");
  choices.CancelText = Translate("Cancel");
  if (ui == nullptr || !ui->ChooseExportOptions(choices)) {
    return false;
  }
  ExportOptions.Scale = std::clamp(choices.Scale, 1, TExportOptions::kMostScale);
  ExportOptions.Dither = choices.Dither;
  ExportOptions.Loop = choices.Loop;
  ExportOptionsChosen = true;
  return true;
}

bool TAnimationEdit::ExportAnimation() {
  LastError = kUnexpectedError;
  if (!CanExport()) {
    return false;
  }
  std::string fileName;
  TExportFormat format;
  if (!ChooseExportFile(fileName, format) || !ChooseExportOptions(format)) {
    return true;  // cancelled: nothing is written
  }
  TBusyScope busy(*this);
  TExportFrames frames;
  if (!FramesFromTable(Strip->Table, frames, LastError)) {
    return false;
  }
  TExportOptions options = ExportOptions;
  options.DelayMs = ExportDelay(Strip->Table);
  const std::string text = Translate("Exporting") + " " + FilePart(fileName);
  const bool done = RunWithProgress(text, [&](const TExportProgress& progress, std::string& error) {
    return ExportAnimationFile(frames, options, format, fileName, progress, error);
  });
  if (!done) {
    NameFileInError(fileName);
  }
  return done || LastError == kTaskCancelled;  // a cancel is the user's choice, not a failure
}

// Runs the task on a worker thread. A progress window with Cancel appears once it has taken
// ProgressDelayMs; until then the window does not take input, as during a save.
bool TAnimationEdit::RunWithProgress(const std::string& text, const TLongTask& task) {
  std::atomic<int> done{0}, total{1};
  std::atomic<bool> cancelled{false}, finished{false};
  bool result = false;
  std::string error;
  std::thread worker([&] {
    result = task(
        [&](int d, int t) {
          done = d;
          total = t;
          return !cancelled.load();
        },
        error);
    finished = true;
  });
  const uint32_t start = GetTickCount();
  std::unique_ptr<TProgressWindow> progress;
  TPlatformUi* ui = PlatformUi();
  while (!finished.load()) {
    if (!progress && ui != nullptr &&
        TickDifference(GetTickCount(), start) >= uint32_t(ProgressDelayMs)) {
      progress = ui->OpenProgress(AppName, text, Translate("Cancel"));
    }
    if (progress && !progress->Update(done.load(), total.load())) {
      cancelled = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(progress ? 20 : 5));
  }
  worker.join();
  LastError = error;
  return result;
}

}  // namespace torvel
