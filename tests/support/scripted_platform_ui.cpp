#include "support/scripted_platform_ui.h"

namespace torvel::test {

TScriptedPlatformUi::TScriptedPlatformUi() : previous_(PlatformUi()) {
  SetPlatformUi(this);
}

TScriptedPlatformUi::~TScriptedPlatformUi() {
  SetPlatformUi(previous_);
}

TMessageAnswer TScriptedPlatformUi::ShowMessage(const std::string& text, const std::string& caption,
                                                TMessageIcon icon, TMessageButtons buttons) {
  Messages.push_back({text, caption, icon, buttons});
  if (MessageAnswers.empty()) {
    return buttons == TMessageButtons::Ok ? TMessageAnswer::Ok : TMessageAnswer::Yes;
  }
  const TMessageAnswer answer = MessageAnswers.front();
  MessageAnswers.pop_front();
  return answer;
}

bool TScriptedPlatformUi::InputText(const std::string& caption, const std::string& prompt,
                                    std::string& value) {
  InputRequests.push_back({caption, prompt, value});
  if (InputAnswers.empty()) {
    return false;
  }
  const std::optional<std::string> answer = InputAnswers.front();
  InputAnswers.pop_front();
  if (answer) {
    value = *answer;
  }
  return answer.has_value();
}

bool TScriptedPlatformUi::RunFileDialog(const TFileDialogRequest& request, std::string& fileName,
                                        int& filterIndex) {
  FileRequests.push_back(request);
  if (FileAnswers.empty()) {
    return false;
  }
  const TFileAnswer answer = FileAnswers.front();
  FileAnswers.pop_front();
  fileName = answer.FileName;
  filterIndex = answer.FilterIndex;
  return answer.Confirmed;
}

bool TScriptedPlatformUi::ChooseColor(TColor& color, TCustomColors&) {
  if (ColorAnswers.empty()) {
    return false;
  }
  const std::optional<TColor> answer = ColorAnswers.front();
  ColorAnswers.pop_front();
  if (answer) {
    color = *answer;
  }
  return answer.has_value();
}

bool TScriptedPlatformUi::ChooseExportOptions(TExportChoices& choices) {
  ExportRequests.push_back(choices);
  if (ExportAnswers.empty()) {
    return false;
  }
  const std::optional<TExportChoices> answer = ExportAnswers.front();
  ExportAnswers.pop_front();
  if (answer) {
    choices = *answer;
  }
  return answer.has_value();
}

namespace {

class TScriptedProgress : public TProgressWindow {
 public:
  explicit TScriptedProgress(TScriptedPlatformUi& ui) : ui_(ui) {}
  bool Update(int, int) override {
    ++ui_.ProgressUpdates;
    return !ui_.CancelProgressAt || ui_.ProgressUpdates < *ui_.CancelProgressAt;
  }

 private:
  TScriptedPlatformUi& ui_;
};

}  // namespace

std::unique_ptr<TProgressWindow> TScriptedPlatformUi::OpenProgress(const std::string& caption,
                                                                   const std::string&,
                                                                   const std::string&) {
  ++ProgressWindows;
  ProgressCaption = caption;
  return std::make_unique<TScriptedProgress>(*this);
}

bool TScriptedPlatformUi::ClipboardPictureSize(TSize& size) {
  if (!ClipboardPicture) {
    return false;
  }
  size = {ClipboardPicture->Width(), ClipboardPicture->Height()};
  return true;
}

bool TScriptedPlatformUi::ReadClipboardPicture(Bitmap& picture) {
  if (!ClipboardPicture) {
    return false;
  }
  picture = *ClipboardPicture;
  return true;
}

bool TScriptedPlatformUi::WriteClipboardPicture(const Bitmap& picture) {
  ClipboardPicture = picture;
  return true;
}

bool TScriptedPlatformUi::ShellOpen(const std::string& target, const std::string& parameters,
                                    const std::string& workingFolder) {
  ShellRequests.push_back({target, parameters, workingFolder});
  return ShellOpenWorks;
}

bool TScriptedPlatformUi::StartNewInstance() {
  ++NewInstances;
  return true;
}

void TScriptedPlatformUi::SetBusyCursor(bool busy) {
  ++BusyCursorChanges;
  BusyCursor = busy;
}

}  // namespace torvel::test
