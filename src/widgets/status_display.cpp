#include "widgets/status_display.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <map>
#include <optional>

#include "platform/qt/bitmap_image.h"

namespace torvel {

namespace {

// A sunken label that keeps pictures of itself, one per text it showed lately, so that the
// position panel, whose text changes with every frame of playback, is drawn by copying a picture
// instead of laying out its text and frame again each time.
class TStatusPanel : public QLabel {
 public:
  explicit TStatusPanel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAutoFillBackground(true);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, Face()); }

  void changeEvent(QEvent* event) override {
    switch (event->type()) {
      case QEvent::PaletteChange:
      case QEvent::FontChange:
      case QEvent::StyleChange:
      case QEvent::ActivationChange:
      case QEvent::EnabledChange:
        faces_.clear();
        break;
      default:
        break;
    }
    QLabel::changeEvent(event);
  }

  void resizeEvent(QResizeEvent* event) override {
    faces_.clear();
    QLabel::resizeEvent(event);
  }

 private:
  static constexpr int kMostFaces = 64;

  const QPixmap& Face() {
    auto found = faces_.find(text());
    if (found != faces_.end()) {
      return found->second;
    }
    if (faces_.size() >= kMostFaces) {
      faces_.clear();
    }
    return faces_.emplace(text(), DrawFace()).first->second;
  }

  // Draws the panel as a label draws itself: background, frame, then the text indented by half
  // an "x" inside a frame, as the label's size hint counts it.
  QPixmap DrawFace() {
    QPixmap face(size() * devicePixelRatioF());
    face.setDevicePixelRatio(devicePixelRatioF());
    face.fill(palette().color(backgroundRole()));
    QPainter painter(&face);
    drawFrame(&painter);
    const int indentation = indent() >= 0 ? indent() : fontMetrics().horizontalAdvance(u'x') / 2;
    const QRect area =
        contentsRect().adjusted(margin() + indentation, margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), text(),
                          foregroundRole());
    return face;
  }

  std::map<QString, QPixmap> faces_;

 public:
  // A panel that switches a mode: whether the mode is on. None for a panel that only shows.
  std::optional<bool> Checked;
};

// A panel as assistive technology sees it: its text without the blank it begins with, and a
// toggle panel as a checkable button with a press action.
class TAccessiblePanel : public QAccessibleWidget {
 public:
  explicit TAccessiblePanel(TStatusPanel* panel) : QAccessibleWidget(panel) {}

  QAccessible::Role role() const override {
    return Panel()->Checked ? QAccessible::Button : QAccessible::StaticText;
  }
  QString text(QAccessible::Text kind) const override {
    switch (kind) {
      case QAccessible::Name:
        return Panel()->text().trimmed();
      case QAccessible::Description:
        return Panel()->toolTip().trimmed();
      default:
        return QAccessibleWidget::text(kind);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = Panel()->Checked.has_value();
    state.checked = Panel()->Checked.value_or(false);
    return state;
  }
  QStringList actionNames() const override {
    return Panel()->Checked ? QStringList{pressAction(), toggleAction()} : QStringList{};
  }
  void doAction(const QString& name) override {
    auto* display = qobject_cast<TStatusDisplay*>(Panel()->parentWidget());
    if (display != nullptr && actionNames().contains(name)) {
      display->ClickPanel(display->IndexOf(Panel()));
    }
  }

 private:
  TStatusPanel* Panel() const { return static_cast<TStatusPanel*>(widget()); }
};

QAccessibleInterface* AccessiblePanel(const QString&, QObject* object) {
  auto* panel = dynamic_cast<TStatusPanel*>(object);
  return panel != nullptr ? new TAccessiblePanel(panel) : nullptr;
}

}  // namespace

TStatusDisplay::TStatusDisplay(QWidget* parent) : QFrame(parent) {
  static const bool installed = (QAccessible::installFactory(AccessiblePanel), true);
  Q_UNUSED(installed);
  setFrameShape(QFrame::NoFrame);
  setFixedHeight(kHeight);
  setAutoFillBackground(true);
}

int TStatusDisplay::AddPanel() {
  for (int i = 0; i < kPanelSlots; ++i) {
    if (panels_[i] != nullptr) {
      continue;
    }
    auto* panel = new TStatusPanel(this);
    panel->installEventFilter(this);
    panel->show();
    panels_[i] = panel;
    widths_[i] = 50;
    Redock();
    return i;
  }
  return -1;
}

QLabel* TStatusDisplay::GetPanel(int index) const {
  return index >= 0 && index < kPanelSlots ? panels_[index] : nullptr;
}

void TStatusDisplay::SetPanelWidth(int index, int width) {
  if (GetPanel(index) != nullptr) {
    widths_[index] = width;
    Redock();
  }
}

// The label's own size hint counts its frame and indent as it draws them.
int TStatusDisplay::WidestText(int index, const QStringList& texts) const {
  QLabel* panel = GetPanel(index);
  if (panel == nullptr) {
    return 0;
  }
  const QString shown = panel->text();
  int width = 0;
  for (const QString& text : texts) {
    panel->setText(text);
    width = std::max(width, panel->sizeHint().width());
  }
  panel->setText(shown);
  return width;
}

void TStatusDisplay::FitPanelToTexts(int index, const QStringList& texts) {
  if (GetPanel(index) != nullptr) {
    SetPanelWidth(index, std::max(widths_[index], WidestText(index, texts)));
  }
}

int TStatusDisplay::LeastWidth(const QStringList& lastPanelTexts) const {
  const int last = LastPanel();
  int width = 0;
  for (int i = 0; i < last; ++i) {
    width += panels_[i] != nullptr ? widths_[i] : 0;
  }
  return last < 0 ? 0 : width + WidestText(last, lastPanelTexts);
}

void TStatusDisplay::SetPanelHighlight(bool highlight, int index, TColor normalText,
                                       TColor highlightText, TColor normalBackground,
                                       TColor highlightBackground) {
  QLabel* panel = GetPanel(index);
  if (panel == nullptr) {
    return;
  }
  QPalette colours = panel->palette();
  colours.setColor(QPalette::Window, ToQColor(highlight ? highlightBackground : normalBackground));
  colours.setColor(QPalette::WindowText, ToQColor(highlight ? highlightText : normalText));
  if (colours != panel->palette()) {
    panel->setPalette(colours);
  }
}

TColor TStatusDisplay::PanelBackground(int index) const {
  const QLabel* panel = GetPanel(index);
  return panel ? FromQColor(panel->palette().color(QPalette::Window)) : BackgroundColor();
}

TColor TStatusDisplay::BackgroundColor() const {
  return FromQColor(palette().color(QPalette::Window));
}

// The slot of the last panel, which fills the rest of the bar; -1 when there is none.
int TStatusDisplay::LastPanel() const {
  int last = kPanelSlots - 1;
  while (last >= 0 && panels_[last] == nullptr) {
    --last;
  }
  return last;
}

// Every panel but the last keeps its own width, in slot order; the last fills the rest.
void TStatusDisplay::Redock() {
  const int last = LastPanel();
  int left = 0;
  for (int i = 0; i < kPanelSlots; ++i) {
    QLabel* panel = panels_[i];
    if (panel == nullptr) {
      continue;
    }
    const int width = i == last ? std::max(this->width() - left, 0) : widths_[i];
    panel->setGeometry(left, 0, width, height());
    left += width;
  }
}

void TStatusDisplay::resizeEvent(QResizeEvent*) {
  Redock();
}

int TStatusDisplay::IndexOf(const QLabel* panel) const {
  const auto found = std::find(panels_.begin(), panels_.end(), panel);
  return found != panels_.end() ? static_cast<int>(found - panels_.begin()) : -1;
}

void TStatusDisplay::SetPanelChecked(int index, bool checked) {
  auto* panel = static_cast<TStatusPanel*>(GetPanel(index));
  if (panel == nullptr || panel->Checked == checked) {
    return;
  }
  panel->Checked = checked;
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(panel, changed);
  QAccessible::updateAccessibility(&event);
}

void TStatusDisplay::ClickPanel(int index) {
  if (GetPanel(index) != nullptr && OnPanelClick) {
    try {
      OnPanelClick(index);
    } catch (...) {
      // A failing handler is dropped.
    }
  }
}

bool TStatusDisplay::eventFilter(QObject* watched, QEvent* event) {
  // A click is the primary button's; the others (a context click, say) do not toggle a panel.
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    const int index = IndexOf(qobject_cast<QLabel*>(watched));
    if (index >= 0) {
      ClickPanel(index);
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace torvel
