#pragma once

#include <QDialog>

#include "platform/platform_ui.h"

class QCheckBox;
class QRadioButton;
class QSpinBox;

namespace torvel {

// The export options: scale, dithering (for formats with a palette), loop or play once, and a
// note on the timing the file will have.
class TExportOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  TExportOptionsDialog(const TExportChoices& choices, QWidget* owner);
  // The choices as the controls show them.
  TExportChoices Choices() const;

  QSpinBox* ScaleBox() const { return scale_; }
  QCheckBox* DitherBox() const { return dither_; }
  QRadioButton* OnceButton() const { return once_; }

 private:
  TExportChoices choices_;
  QSpinBox* scale_ = nullptr;
  QCheckBox* dither_ = nullptr;
  QRadioButton* loop_ = nullptr;
  QRadioButton* once_ = nullptr;
};

// The progress window over a QProgressDialog, modal to the whole program.
std::unique_ptr<TProgressWindow> OpenProgressWindow(const std::string& caption,
                                                    const std::string& text,
                                                    const std::string& cancelText, QWidget* owner);

}  // namespace torvel
