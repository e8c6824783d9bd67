#include "widgets/toolbar.h"

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

#include "formats/text_picture.h"
#include "platform/qt/bitmap_image.h"

namespace torvel {
namespace {

QFrame* MakeLine(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setLineWidth(1);
  line->setFixedHeight(TToolbar::kLineHeight);
  line->hide();
  return line;
}

// The picture with its bottom-left colour made see-through, as button pictures are drawn.
QPixmap GlyphPixmap(const Bitmap& glyph) {
  if (glyph.IsEmpty()) {
    return {};
  }
  QPixmap pixmap = QPixmap::fromImage(ImageView(glyph));
  const QColor clear = ToQColor(glyph.Pixel(0, glyph.Height() - 1));
  pixmap.setMask(pixmap.createMaskFromColor(clear, Qt::MaskInColor));
  return pixmap;
}

}  // namespace

TToolbar::TToolbar() : window_(new QWidget(nullptr, Qt::FramelessWindowHint)) {
  window_->resize(100, 1);
  window_->installEventFilter(this);
  top_ = MakeLine(window_);
  bottom_ = MakeLine(window_);
  SetTopLine(true);
  SetBottomLine(true);
  RemoveAll();
  ButtonsVisible = true;
}

TToolbar::~TToolbar() {
  delete window_.data();  // with its buttons and lines, unless its owner has taken it along
}

int TToolbar::AddButton(const std::string& caption, const std::string& hint, int spacing, int tag,
                        const std::string& glyphText) {
  const int slot = IndexOf(nullptr);
  if (slot < 0) {
    return -1;
  }
  auto* button = new QToolButton(window_);
  button->setAutoRaise(true);  // flat until the mouse is over it
  button->resize(kDefaultButtonSize, kDefaultButtonSize);
  button->setText(QString::fromStdString(caption));
  button->setToolButtonStyle(caption.empty() ? Qt::ToolButtonIconOnly
                                             : Qt::ToolButtonTextBesideIcon);
  button->setProperty("tag", tag);
  button->setToolTip(QString::fromStdString(hint));
  // A picture button is named by its hint, which names its command.
  button->setAccessibleName(QString::fromStdString(caption.empty() ? hint : caption));
  connect(button, &QToolButton::clicked, this, [this, button] { Clicked(button); });
  TToolbarItem& item = items_[static_cast<size_t>(slot)];
  item.Button = button;
  item.Group = 0;
  SetGlyphText(slot, glyphText);
  item.Spacing = spacing;
  button->setVisible(ButtonsVisible);
  Layout();
  return slot;
}

void TToolbar::Clicked(QToolButton* button) {
  LastItem = IndexOf(button);
  const int group = IsSlot(LastItem) ? items_[static_cast<size_t>(LastItem)].Group : 0;
  if (group != 0 && button->isChecked()) {
    for (TToolbarItem& other : items_) {
      if (other.Button && other.Button != button && other.Group == group) {
        other.Button->setChecked(false);
      }
    }
  }
  if (OnClick) {
    try {
      OnClick(*this);
    } catch (...) {
      // A failing receiver leaves the toolbar working.
    }
  }
}

void TToolbar::RemoveButton(int slot) {
  TToolbarItem& item = items_[static_cast<size_t>(std::clamp(slot, 0, kToolbarSlots - 1))];
  item.Spacing = 0;
  item.GlyphText.clear();
  item.Group = 0;
  delete item.Button.data();
  item.Button = nullptr;
  Layout();
}

void TToolbar::RemoveAll() {
  for (int slot = 0; slot < kToolbarSlots; ++slot) {
    RemoveButton(slot);
  }
}

bool TToolbar::HasButton(int slot) const {
  return GetButton(slot) != nullptr;
}

QToolButton* TToolbar::GetButton(int slot) const {
  return IsSlot(slot) ? items_[static_cast<size_t>(slot)].Button.data() : nullptr;
}

bool TToolbar::IsButtonShown(int slot) const {
  const QToolButton* button = GetButton(slot);
  return button != nullptr && !button->isHidden();
}

int TToolbar::IndexOf(const QToolButton* button) const {
  for (int slot = 0; slot < kToolbarSlots; ++slot) {
    if (items_[static_cast<size_t>(slot)].Button.data() == button) {
      return slot;
    }
  }
  return -1;
}

int TToolbar::GetItemTag(int slot) const {
  const QToolButton* button = GetButton(slot);
  return button != nullptr ? button->property("tag").toInt() : 0;
}

void TToolbar::SetItemGroup(int slot, int group) {
  if (QToolButton* button = GetButton(slot)) {
    items_[static_cast<size_t>(slot)].Group = group;
    button->setCheckable(group != 0);
  }
}

void TToolbar::SetItemEnabled(int slot, bool enabled) {
  if (QToolButton* button = GetButton(slot); button != nullptr && button->isEnabled() != enabled) {
    button->setEnabled(enabled);
  }
}

void TToolbar::SetItemDown(int slot, bool down) {
  if (QToolButton* button = GetButton(slot);
      button != nullptr && button->isCheckable() && button->isChecked() != down) {
    button->setChecked(down);
  }
}

void TToolbar::SetItemCursor(int slot, Qt::CursorShape cursor) {
  if (QToolButton* button = GetButton(slot)) {
    button->setCursor(cursor);
  }
}

void TToolbar::SetCursorAll(Qt::CursorShape cursor) {
  for (int slot = 0; slot < kToolbarSlots; ++slot) {
    SetItemCursor(slot, cursor);
  }
}

void TToolbar::SetGlyphText(int slot, const std::string& text) {
  QToolButton* button = GetButton(slot);
  if (button == nullptr) {
    return;
  }
  items_[static_cast<size_t>(slot)].GlyphText = text;
  const QPixmap pixmap = GlyphPixmap(TextPictureToBitmap(text));
  button->setIcon(QIcon(pixmap));
  if (!pixmap.isNull()) {
    button->setIconSize(pixmap.size());
  }
}

void TToolbar::SetLargeGlyphText(int slot, const std::string& text) {
  QToolButton* button = GetButton(slot);
  if (button == nullptr) {
    return;
  }
  const QPixmap glyph =
      GlyphPixmap(TextPictureToBitmap(items_[static_cast<size_t>(slot)].GlyphText));
  const QPixmap large = GlyphPixmap(TextPictureToBitmap(text));
  if (glyph.isNull() || large.size() != glyph.size() * 2) {
    return;
  }
  QIcon icon(glyph);
  icon.addPixmap(large);
  button->setIcon(icon);
}

void TToolbar::SetTopLine(bool on) {
  if (on != topLine_) {
    topLine_ = on;
    Layout();
  }
}

void TToolbar::SetBottomLine(bool on) {
  if (on != bottomLine_) {
    bottomLine_ = on;
    Layout();
  }
}

int TToolbar::NeededHeight() const {
  int highest = 0;
  for (int slot = 0; slot < kToolbarSlots; ++slot) {
    if (IsButtonShown(slot)) {
      highest = std::max(highest, GetButton(slot)->height());
    }
  }
  return highest + (topLine_ ? kLineHeight : 0) + (bottomLine_ ? kLineHeight : 0);
}

void TToolbar::Layout() {
  if (!window_) {
    return;
  }
  const int h = NeededHeight();
  window_->resize(window_->width(), h);
  top_->setVisible(topLine_);
  bottom_->setVisible(bottomLine_);
  StretchLines();
  const int top = topLine_ ? kLineHeight : 0;
  const int inner = h - (topLine_ ? kLineHeight : 0) - (bottomLine_ ? kLineHeight : 0);
  int x = 0;
  for (int slot = 0; slot < kToolbarSlots; ++slot) {
    if (IsButtonShown(slot)) {
      QToolButton* button = GetButton(slot);
      button->setGeometry(x, top, button->width(), inner);
      x += button->width() + items_[static_cast<size_t>(slot)].Spacing;
    }
  }
}

void TToolbar::StretchLines() {
  top_->setGeometry(0, 0, window_->width(), kLineHeight);
  bottom_->setGeometry(0, window_->height() - kLineHeight, window_->width(), kLineHeight);
}

bool TToolbar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Resize) {
    StretchLines();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace torvel
