#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform_ui.h"

namespace torvel {

// The settings of one file dialog, carried between the editor and the dialog runner.
struct TOpenInfo {
  std::string DefaultExt;  // without the dot
  uint32_t Options = 0;
  std::string Filter;    // "Description|pattern" pairs separated by "|"
  int FilterIndex = 1;   // 1-based; the runner writes the user's choice back
  std::string FileName;  // Save As: the proposed file; Open: a folder or a file in it
  std::string Title;     // the dialog's caption; empty: the desktop's own
};

// Runs the program's open and save dialogs.
class TOpenHandler {
 public:
  // Shows a dialog of that kind set up from info, starting in startFolder when it is given
  // (otherwise in the folder of info.FileName), falling back to the system root when that
  // folder does not exist. True when the user confirmed; fileName receives the choice.
  bool RunFileDialog(TOpenInfo& info, TFileDialogKind kind, std::string& fileName,
                     const std::string& startFolder);

 private:
  bool Run(TOpenInfo& info, TFileDialogKind kind, std::string& fileName,
           const std::string& startFolder);
};

// The program's one dialog runner, made on first use; none when it cannot be made.
TOpenHandler* FileDialogs();
void ReleaseFileDialogs();

}  // namespace torvel
