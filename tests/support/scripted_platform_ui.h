#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_ui.h"

namespace torvel::test {

// A platform layer for tests: it answers dialogs from a script, keeps a clipboard of its own and
// records every request, and never opens a window. Installed for its lifetime.
class TScriptedPlatformUi : public TPlatformUi {
 public:
  struct TMessage {
    std::string Text;
    std::string Caption;
    TMessageIcon Icon;
    TMessageButtons Buttons;
  };
  struct TInputRequest {
    std::string Caption;
    std::string Prompt;
    std::string Initial;
  };
  struct TShellRequest {
    std::string Target;
    std::string Parameters;
    std::string WorkingFolder;
  };
  struct TFileAnswer {
    bool Confirmed = false;
    std::string FileName;
    int FilterIndex = 1;
  };

  TScriptedPlatformUi();
  ~TScriptedPlatformUi() override;

  // The answers given, in order; when the script runs out, boxes are answered with their first
  // button and dialogs are cancelled.
  std::deque<TMessageAnswer> MessageAnswers;
  std::deque<std::optional<std::string>> InputAnswers;  // none: cancelled
  std::deque<TFileAnswer> FileAnswers;
  std::deque<std::optional<TColor>> ColorAnswers;
  std::deque<std::optional<TExportChoices>> ExportAnswers;  // none: cancelled
  // The progress update at which the user presses Cancel; none: never.
  std::optional<int> CancelProgressAt;

  // What was asked.
  std::vector<TMessage> Messages;
  std::vector<TInputRequest> InputRequests;
  std::vector<TFileDialogRequest> FileRequests;
  std::vector<TShellRequest> ShellRequests;
  std::vector<TExportChoices> ExportRequests;
  int ProgressWindows = 0;
  std::string ProgressCaption;
  int ProgressUpdates = 0;
  bool ShellOpenWorks = true;  // false: the desktop finds nothing to open with
  int NewInstances = 0;
  int BusyCursorChanges = 0;
  bool BusyCursor = false;

  // The clipboard's picture, if any.
  std::optional<Bitmap> ClipboardPicture;

  TMessageAnswer ShowMessage(const std::string& text, const std::string& caption, TMessageIcon icon,
                             TMessageButtons buttons) override;
  bool InputText(const std::string& caption, const std::string& prompt,
                 std::string& value) override;
  bool RunFileDialog(const TFileDialogRequest& request, std::string& fileName,
                     int& filterIndex) override;
  bool ChooseColor(TColor& color, TCustomColors& customColors) override;
  bool ChooseExportOptions(TExportChoices& choices) override;
  std::unique_ptr<TProgressWindow> OpenProgress(const std::string& caption, const std::string& text,
                                                const std::string& cancelText) override;
  bool ClipboardHasPicture() override { return ClipboardPicture.has_value(); }
  bool ClipboardPictureSize(TSize& size) override;
  bool ReadClipboardPicture(Bitmap& picture) override;
  bool WriteClipboardPicture(const Bitmap& picture) override;
  // true: the clipboard belongs to another program that does not let it be emptied.
  bool ClipboardKeepsItsPicture = false;
  bool ClipboardSeenWithoutFocus = true;  // false: a Wayland desktop without data control
  bool SeesClipboardWithoutFocus() override { return ClipboardSeenWithoutFocus; }
  void ClearClipboard() override {
    if (!ClipboardKeepsItsPicture) {
      ClipboardPicture.reset();
    }
  }
  bool ShellOpen(const std::string& target, const std::string& parameters,
                 const std::string& workingFolder) override;
  bool StartNewInstance() override;
  void SetBusyCursor(bool busy) override;
  void ProcessPendingEvents() override {
    ++PendingEventRuns;
    if (DuringPendingEvents) {
      DuringPendingEvents();
    }
  }
  int PendingEventRuns = 0;
  // What arrives while pending events are processed (a second click, say).
  std::function<void()> DuringPendingEvents;

 private:
  TPlatformUi* previous_;
};

}  // namespace torvel::test
