#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/geometry.h"

namespace torvel {

enum class TMessageIcon { Error, Warning, Information, Question };
enum class TMessageButtons { Ok, YesNo, YesNoCancel, YesCancel };
enum class TMessageAnswer { Ok, Yes, No, Cancel };

enum class TFileDialogKind { Open, Save, OpenWithPreview, SaveWithPreview };

// Options of a file dialog. Without kOverwritePrompt a save dialog does not ask about replacing
// a file: the program asks itself.
enum TOpenOption : uint32_t {
  kHideReadOnly = 1u << 0,
  kPathMustExist = 1u << 1,
  kFileMustExist = 1u << 2,
  kOverwritePrompt = 1u << 3,
};

// What a file dialog is asked to show.
struct TFileDialogRequest {
  TFileDialogKind Kind = TFileDialogKind::Open;
  std::string DefaultExt;  // without the dot; added to a name typed without an extension
  int Options = 0;         // TOpenOption bits
  std::string Filter;      // "Description|*.ext|..." pairs
  int FilterIndex = 1;     // 1-based, as the dialog reports it
  std::string Folder;      // initial folder
  std::string FileName;    // proposed file name, without folder
  std::string Title;       // the caption; empty: the desktop's own
};

using TCustomColors = std::array<TColor, 16>;

// The export options dialog: the choices, as given and as the user leaves them, and the
// dialog's texts in the user's language.
struct TExportChoices {
  int Scale = 1;  // 1..8
  bool Dither = true;
  bool Loop = true;
  bool DitherApplies = true;  // the format has a palette to dither to
  bool TimingApplies = true;  // the format plays: looping and the frame time are offered
  std::string Caption, ScaleText, DitherText, LoopText, OnceText, Note, OkText, CancelText;
};

// A window that shows a long task's progress with a Cancel button while it lives.
class TProgressWindow {
 public:
  virtual ~TProgressWindow() = default;
  // Shows done of total steps and keeps the program's windows painted; false once the user
  // cancelled.
  virtual bool Update(int done, int total) = 0;
};

// A window the general services can move; the user-interface layer supplies it.
class TScreenWindow {
 public:
  virtual ~TScreenWindow() = default;
  virtual TSize WindowSize() const = 0;
  virtual TSize ScreenSize() const = 0;
  virtual void MoveTo(int left, int top) = 0;
};

// Everything the program asks of the desktop: message boxes, input and file dialogs, the colour
// dialog, the clipboard, the shell and cursors. The program installs
// the Qt implementation; tests install a scripted one that answers as a script says and never
// opens a window.
class TPlatformUi {
 public:
  virtual ~TPlatformUi() = default;

  // A modal message box; returns the button the user chose.
  virtual TMessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                     TMessageIcon icon, TMessageButtons buttons) = 0;
  // A modal box with one line of text input; false when cancelled.
  virtual bool InputText(const std::string& caption, const std::string& prompt,
                         std::string& value) = 0;
  // A modal open or save dialog. `fileName` receives the chosen path, `filterIndex` the chosen
  // filter (also after a cancel); false when cancelled or when the dialog cannot be shown.
  virtual bool RunFileDialog(const TFileDialogRequest& request, std::string& fileName,
                             int& filterIndex) = 0;
  // The colour dialog with the given custom colours shown; false when cancelled.
  virtual bool ChooseColor(TColor& color, TCustomColors& customColors) = 0;
  // The export options dialog; false when cancelled, leaving the choices as they were.
  virtual bool ChooseExportOptions(TExportChoices& choices) = 0;
  // Opens a modal progress window with a Cancel button, captioned with the program's name; none
  // when it cannot be shown.
  virtual std::unique_ptr<TProgressWindow> OpenProgress(const std::string& caption,
                                                        const std::string& text,
                                                        const std::string& cancelText) = 0;

  // The clipboard. The size of its picture can be asked before the picture is converted, so
  // that oversized pictures are refused without allocating them.
  virtual bool ClipboardHasPicture() = 0;
  virtual bool ClipboardPictureSize(TSize& size) = 0;
  virtual bool ReadClipboardPicture(Bitmap& picture) = 0;
  virtual bool WriteClipboardPicture(const Bitmap& picture) = 0;
  virtual void ClearClipboard() = 0;
  // Whether the clipboard is seen while another program has the focus, as automatic paste needs;
  // not on a Wayland desktop that keeps it from unfocused programs.
  virtual bool SeesClipboardWithoutFocus() { return true; }

  // Opens a document, folder, program or web address with the desktop's default handler;
  // true once the request was made.
  virtual bool ShellOpen(const std::string& target, const std::string& parameters,
                         const std::string& workingFolder) = 0;
  // Starts another copy of this program.
  virtual bool StartNewInstance() = 0;

  virtual void SetBusyCursor(bool busy) = 0;
  virtual void ProcessPendingEvents() = 0;
};

// The installed implementation, or none (then nothing is shown and nothing is opened). The caller
// keeps ownership and removes it before destroying it.
TPlatformUi* PlatformUi();
void SetPlatformUi(TPlatformUi* ui);

}  // namespace torvel
