#include "services/general.h"

#include <cstdlib>

#include "platform/error_texts.h"
#include "platform/files.h"
#include "services/services.h"
#include "services/translate.h"

namespace torvel {

void TGeneral::ShowError(const std::string& text) {
  try {
    if (TPlatformUi* ui = PlatformUi()) {
      ui->ShowMessage(TranslateText(text), TranslateText("Error"), TMessageIcon::Error,
                      TMessageButtons::Ok);
    }
  } catch (...) {
    // A box that cannot be shown is dropped.
  }
}

void TGeneral::FatalOutOfMemory() {
  ShowError(kOutOfMemory);
  RunProgramEndCleanup();
  std::_Exit(EXIT_FAILURE);
}

void TGeneral::CenterOnScreen(TScreenWindow* window) {
  if (window == nullptr) {
    return;
  }
  const TSize screen = window->ScreenSize();
  const TSize size = window->WindowSize();
  window->MoveTo((screen.Width - size.Width) / 2, (screen.Height - size.Height) / 2);
}

// The colour bytes are taken apart by division, as the stored values have always been read.
int TGeneral::HighByteOf(int64_t color) {
  if (color < 0 || color > 0xFFFFFFFF) {
    return 0;
  }
  return static_cast<int>(color / (int64_t{1} << 24));
}

int TGeneral::BlueOf(int64_t color) {
  if (color < 0 || color > 0xFFFFFFFF) {
    return 0;
  }
  return static_cast<int>((color - HighByteOf(color) * (int64_t{1} << 24)) / (1 << 16));
}

int TGeneral::GreenOf(int64_t color) {
  if (color < 0 || color > 0xFFFFFFFF) {
    return 0;
  }
  const int64_t rest = color - HighByteOf(color) * (int64_t{1} << 24) - BlueOf(color) * (1 << 16);
  return static_cast<int>(rest / (1 << 8));
}

int TGeneral::RedOf(int64_t color) {
  if (color < 0 || color > 0xFFFFFFFF) {
    return 0;
  }
  return static_cast<int>(color - HighByteOf(color) * (int64_t{1} << 24) -
                          BlueOf(color) * (1 << 16) - GreenOf(color) * (1 << 8));
}

std::string TGeneral::ListFiles(const std::string& mask, bool withFolder) {
  try {
    const size_t slash = mask.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : mask.substr(0, slash + 1);
    const std::string pattern = mask.substr(folder.size());
    std::string lines;
    for (const TFolderEntry& entry : ListFolder(folder.empty() ? "." : folder)) {
      if (!entry.IsFolder && !entry.IsHidden && MatchesMask(entry.Name, pattern)) {
        lines += (withFolder ? folder : "") + entry.Name + "\r\n";
      }
    }
    return lines;
  } catch (...) {
    return {};
  }
}

}  // namespace torvel
