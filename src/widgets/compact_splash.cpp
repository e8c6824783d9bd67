#include "widgets/compact_splash.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <ctime>

#include "platform/qt/bitmap_image.h"
#include "platform/qt/screen_window.h"
#include "platform/ticks.h"
#include "services/paths.h"
#include "services/scramble.h"
#include "services/services.h"
#include "services/stored_texts.h"
#include "services/translate.h"

namespace torvel {

namespace {

constexpr TColor kLinkBusyColor = 0x0000FF;  // red, while the link is being opened

std::string Plain(const std::string& stored) {
  return StoredText(stored, 0);
}

std::string Stored(const std::string& plain) {
  return StoredText(plain, 1);
}

// The About box: a single border with the system-menu icon only.
constexpr Qt::WindowFlags kAboutFlags =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

void SetTextColor(QLabel* label, TColor color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ToQColor(color));
  label->setPalette(palette);
}

}  // namespace

// The panel's window: no key handling as a splash; Escape closes it as the About box. Clicks on
// its labels go to the panel.
class TPanelWindow : public QDialog {
 public:
  explicit TPanelWindow(TCompactSplash& panel) : panel_(panel) {}

  void WatchClicks(QLabel* label) { label->installEventFilter(this); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (panel_.Mode() == 1 && event->key() == Qt::Key_Escape) {
      panel_.CloseAfter(0);
    }
    event->accept();
  }
  void reject() override {
    if (panel_.Mode() == 1) {  // the close button of the About box
      QDialog::reject();
    }
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) {
      panel_.LinkClick(static_cast<QLabel*>(watched));
      return true;
    }
    return false;
  }

 private:
  TCompactSplash& panel_;
};

int CurrentYear(int minimum) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) {
    return minimum;
  }
  return std::max(local.tm_year + 1900, minimum);
}

TCompactSplash::TCompactSplash() : window_(std::make_unique<TPanelWindow>(*this)) {
  RunModal = [](QDialog& dialog) { dialog.exec(); };
  TextFont = QFont("Arial");
  TextFont.setPointSize(7);
  TextFont.setBold(true);
  NoteText = Stored("(" + TranslateText(Plain(stored_texts::kNoteText)) + ")");
  InfoLine =
      Stored(TranslateText(Plain(stored_texts::kInfoFirst)) + Plain(stored_texts::kInfoSecond) +
             std::to_string(CurrentYear(2002)) + Plain(stored_texts::kInfoThird) +
             TranslateText(Plain(stored_texts::kInfoFourth)));
  VersionText = stored_texts::kInitialVersion;
  LinkText = stored_texts::kLinkAddress;

  window_->setWindowFlags(kAboutFlags);
  pictureBox_ = new QLabel(window_.get());
  pictureBox_->move(0, 0);
  for (auto* labels : {&valueLabels_, &captionLabels_}) {
    for (QLabel*& label : *labels) {
      label = new QLabel(window_.get());
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      window_->WatchClicks(label);
    }
  }
}

TCompactSplash::~TCompactSplash() = default;

QWidget* TCompactSplash::PanelWindow() const {
  return window_.get();
}

void TCompactSplash::SetPicture(const Bitmap& picture) {
  pictureBox_->setPixmap(QPixmap::fromImage(ImageView(picture).copy()));
  pictureBox_->adjustSize();
}

void TCompactSplash::ShowAsSplash() {
  ShowPanel(0);
}

void TCompactSplash::ShowAsAbout() {
  ShowPanel(1);
}

bool TCompactSplash::IsVisible() const {
  return window_->isVisible();
}

void TCompactSplash::ShowPanel(int mode) {
  try {
    mode_ = TPaths::Clamp(mode, 0, 1);
    if (mode_ == 0) {
      window_->setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    } else {
      window_->setWindowFlags(kAboutFlags);
      window_->setWindowTitle(QString::fromStdString(
          TranslateText(Plain(stored_texts::kAboutCaption)) + Plain(ProductName)));
    }
    const QPixmap picture = pictureBox_->pixmap();
    window_->setFixedSize(picture.width(), picture.height());
    SetLabelTexts();
    LayOutRows();
    TWidgetOnScreen onScreen(*window_);
    if (TGeneral* general = General()) {
      general->CenterOnScreen(&onScreen);
    }
    // The window is made once and shown again: it must come to the front each time.
    window_->setModal(mode_ == 1);
    window_->show();
    window_->raise();
    if (mode_ == 1) {
      window_->activateWindow();
      RunModal(*window_);
    }
    if (TPlatformUi* ui = PlatformUi()) {
      ui->ProcessPendingEvents();
    }
  } catch (...) {
    // A panel that cannot be shown simply does not appear.
  }
}

void TCompactSplash::SetLabelTexts() {
  auto caption = [](const char* stored) { return TranslateText(Plain(stored)) + ": "; };
  const std::string captions[5] = {ShowProductName == 1 ? Plain(ProductName) : std::string(),
                                   caption(stored_texts::kVersionCaption),
                                   caption(stored_texts::kNoteCaption), Plain(InfoLine),
                                   caption(stored_texts::kLinkCaption)};
  const std::string values[5] = {" ", Plain(VersionText), Plain(NoteText), " ", Plain(LinkText)};
  for (int row = 0; row < 5; ++row) {
    captionLabels_[row]->setText(QString::fromStdString(captions[row]));
    valueLabels_[row]->setText(QString::fromStdString(values[row]));
  }
}

// The visible rows stack upwards from BottomMargin above the bottom edge, without gaps.
void TCompactSplash::LayOutRows() {
  QFont linkFont = TextFont;
  linkFont.setUnderline(true);
  int y = window_->height() - BottomMargin;
  for (int row = 4; row >= 0; --row) {
    QLabel* caption = captionLabels_[row];
    QLabel* value = valueLabels_[row];
    const bool shown = !caption->text().isEmpty() && !value->text().isEmpty();
    for (QLabel* label : {caption, value}) {
      label->setFont(row == 4 && label == value ? linkFont : TextFont);
      SetTextColor(label, TextColor);
      label->adjustSize();
      label->setVisible(shown);
    }
    if (row == 4) {
      value->setCursor(Qt::PointingHandCursor);
    }
    if (!shown) {
      continue;
    }
    y -= value->height();
    caption->move(LeftMargin, y);
    value->move(caption->x() + caption->width(), y);
  }
}

TColor TCompactSplash::LinkColor() const {
  return FromQColor(valueLabels_[4]->palette().color(QPalette::WindowText));
}

void TCompactSplash::LinkClick(QLabel* label) {
  try {
    TPlatformUi* ui = PlatformUi();
    bool opened = true;
    if (label == valueLabels_[4]) {
      if (LinkColor() != TextColor) {
        return;  // the first click's open is still in progress
      }
      if (ui) {
        ui->SetBusyCursor(true);
      }
      SetTextColor(valueLabels_[4], kLinkBusyColor);
      if (ui) {
        ui->ProcessPendingEvents();
      }
      TPaths* paths = Paths();
      opened = paths == nullptr || paths->ShellOpen(Plain(LinkText), "");
    }
    if (ui) {
      ui->SetBusyCursor(false);
    }
    SetTextColor(valueLabels_[4], TextColor);
    TGeneral* general = General();
    if (!opened && general != nullptr) {
      general->ShowError(TPaths::OpenFailedText(Plain(LinkText)));
    }
  } catch (...) {
    // A link that cannot be opened changes nothing.
  }
}

void TCompactSplash::CloseAfter(int seconds) {
  try {
    seconds = TPaths::Clamp(seconds, 0, 10);
    if (seconds > 0) {
      const uint32_t start = GetTickCount();
      const uint32_t wait = static_cast<uint32_t>(seconds) * 1000;
      while (TickDifference(GetTickCount(), start) <= wait) {
        if (TPlatformUi* ui = PlatformUi()) {
          ui->ProcessPendingEvents();
        }
        SleepMs(50);
      }
    }
    if (mode_ == 0) {
      window_->hide();
    } else {
      window_->done(QDialog::Rejected);
    }
  } catch (...) {
  }
}

}  // namespace torvel
