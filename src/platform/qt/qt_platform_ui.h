#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/platform_ui.h"

namespace torvel {

class TWaylandSelection;

// The desktop services on Qt: modal boxes and dialogs, the system clipboard, the desktop's
// default handlers, cursors.
class TQtPlatformUi : public TPlatformUi {
 public:
  TQtPlatformUi();
  ~TQtPlatformUi() override;
  // Boxes and dialogs are owned by this window (the main window), when there is one.
  void SetOwner(QWidget* owner) { owner_ = owner; }
  // How the boxes' button captions ("&Yes", "&No", "Cancel", "OK") are put into the user's
  // language; without it they stay English.
  using TTranslator = std::function<std::string(const std::string&)>;
  void SetButtonTranslator(TTranslator translate) { translate_ = std::move(translate); }
  // The program that opens documents, folders and web addresses (xdg-open, or a test's stand-in).
  void SetDesktopOpener(const QString& program) { opener_ = program; }
  // Gives a message box the buttons asked for, with their captions.
  void SetUpButtons(QMessageBox& box, TMessageButtons buttons) const;
  // Widens a box so that the window manager never cuts its caption.
  static void KeepCaptionWhole(QMessageBox& box);
  // Gives a file dialog the kind, options, default extension, filters, folder and name asked for.
  static void SetUpFileDialog(QFileDialog& dialog, const TFileDialogRequest& request);

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
  bool ClipboardHasPicture() override;
  bool ClipboardPictureSize(TSize& size) override;
  bool ReadClipboardPicture(Bitmap& picture) override;
  bool WriteClipboardPicture(const Bitmap& picture) override;
  void ClearClipboard() override;
  bool SeesClipboardWithoutFocus() override;
  bool ShellOpen(const std::string& target, const std::string& parameters,
                 const std::string& workingFolder) override;
  bool StartNewInstance() override;
  void SetBusyCursor(bool busy) override;
  void ProcessPendingEvents() override;

 private:
  QString ButtonText(const char* english) const;
  // The clipboard as it stands: Qt's, or, while another program has the focus on Wayland, the
  // data-control connection's, whose picture is read once per new selection.
  const QMimeData* ClipboardData();
  bool WatchesOtherPrograms() const;

  std::unique_ptr<TWaylandSelection> selection_;
  QMimeData selectionData_;
  int selectionSerial_ = -1;

  QPointer<QWidget> owner_;
  TTranslator translate_;
  bool busyCursor_ = false;
  QString opener_ = "xdg-open";
};

}  // namespace torvel
