// The main window's commands around its own data: the support files and the web pages.
#include "app/main_window.h"
#include "app/support_files.h"
#include "platform/platform_ui.h"
#include "services/scramble.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {

bool TForm1::ExtractSupportFiles() {
  return torvel::ExtractSupportFiles(supFiles_, LastErrorText);
}

void TForm1::ExtractSupportFiles1Click() {
  SetShellBusy(true);
  try {
    TPlatformUi* ui = PlatformUi();
    const TMessageAnswer answer =
        ui == nullptr ? TMessageAnswer::Cancel
                      : ui->ShowMessage(TranslateText("Extract Support Files") + "?",
                                        TranslateText("Warning"), TMessageIcon::Warning,
                                        TMessageButtons::YesCancel);
    if (answer == TMessageAnswer::Yes && !ExtractSupportFiles()) {
      ShowShellError();
    }
  } catch (...) {
  }
  SetShellBusy(false);
}

void TForm1::OpenWebPage(const char* storedAddress, bool homepage) {
  SetShellBusy(true);
  std::string address;
  bool opened = true;
  try {
    address = StoredText(storedAddress, 0);
    if (homepage) {
      address += std::string("torvel") + ".html";
    }
    TPaths* paths = Paths();
    opened = paths == nullptr || paths->ShellOpen(address, "");
  } catch (...) {
  }
  SetShellBusy(false);
  if (!opened) {
    LastErrorText = TPaths::OpenFailedText(address);
    ShowShellError();
  }
}

}  // namespace torvel
