#include "platform/qt/export_options_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/qt/qt_text.h"

namespace torvel {

TExportOptionsDialog::TExportOptionsDialog(const TExportChoices& choices, QWidget* owner)
    : QDialog(owner), choices_(choices) {
  setWindowTitle(Q(choices.Caption));
  setMinimumWidth(fontMetrics().averageCharWidth() * 42);  // the caption and note whole
  scale_ = new QSpinBox(this);
  scale_->setRange(1, 8);
  scale_->setSuffix(QStringLiteral("x"));
  scale_->setValue(choices.Scale);
  dither_ = new QCheckBox(Q(choices.DitherText), this);
  dither_->setChecked(choices.Dither);
  dither_->setEnabled(choices.DitherApplies);
  loop_ = new QRadioButton(Q(choices.LoopText), this);
  once_ = new QRadioButton(Q(choices.OnceText), this);
  (choices.Loop ? loop_ : once_)->setChecked(true);
  auto* note = new QLabel(Q(choices.Note), this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(Q(choices.OkText));
  buttons->button(QDialogButtonBox::Cancel)->setText(Q(choices.CancelText));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(Q(choices.ScaleText), scale_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(dither_);
  if (choices.TimingApplies) {
    layout->addWidget(loop_);
    layout->addWidget(once_);
    layout->addWidget(note);
  } else {  // a picture of side by side cells neither loops nor has a frame time
    loop_->hide();
    once_->hide();
    note->hide();
  }
  layout->addWidget(buttons);
}

TExportChoices TExportOptionsDialog::Choices() const {
  TExportChoices choices = choices_;
  choices.Scale = scale_->value();
  choices.Dither = dither_->isChecked();
  choices.Loop = loop_->isChecked();
  return choices;
}

namespace {

class TQtProgressWindow : public TProgressWindow {
 public:
  TQtProgressWindow(const std::string& caption, const std::string& text,
                    const std::string& cancelText, QWidget* owner)
      : dialog_(Q(text), Q(cancelText), 0, 1, owner) {
    dialog_.setWindowTitle(Q(caption));
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoReset(false);
    dialog_.show();
  }

  bool Update(int done, int total) override {
    dialog_.setMaximum(std::max(total, 1));
    dialog_.setValue(std::clamp(done, 0, std::max(total, 1)));
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<TProgressWindow> OpenProgressWindow(const std::string& caption,
                                                    const std::string& text,
                                                    const std::string& cancelText, QWidget* owner) {
  return std::make_unique<TQtProgressWindow>(caption, text, cancelText, owner);
}

}  // namespace torvel
