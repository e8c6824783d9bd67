#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <string>

class QFrame;
class QToolButton;
class QWidget;

namespace torvel {

// One place of the toolbar: its button (none when the place is free), the gap after it and its
// picture in text picture form.
struct TToolbarItem {
  QPointer<QToolButton> Button;
  int Spacing = 0;
  std::string GlyphText;
  int Group = 0;
};

constexpr int kToolbarSlots = 40;
using TToolbarItems = std::array<TToolbarItem, kToolbarSlots>;

// The program's button bar: a borderless window with up to 40 flat picture buttons from left to
// right and thin lines above and below. A click on any button goes to OnClick with the toolbar;
// LastItem tells which place it came from.
class TToolbar : public QObject {
  Q_OBJECT

 public:
  static constexpr int kLineHeight = 2;
  static constexpr int kDefaultButtonSize = 25;

  TToolbar();
  ~TToolbar() override;

  // Puts a new button into the lowest free place; -1 when all 40 are taken.
  int AddButton(const std::string& caption, const std::string& hint, int spacing, int tag,
                const std::string& glyphText);
  void RemoveButton(int slot);
  void RemoveAll();
  bool HasButton(int slot) const;
  QToolButton* GetButton(int slot) const;
  bool IsButtonShown(int slot) const;
  int IndexOf(const QToolButton* button) const;
  int GetItemTag(int slot) const;
  // Buttons of the same group other than 0 are toggles of which at most one is down.
  void SetItemGroup(int slot, int group);
  void SetItemEnabled(int slot, bool enabled);
  void SetItemDown(int slot, bool down);
  void SetItemCursor(int slot, Qt::CursorShape cursor);
  void SetCursorAll(Qt::CursorShape cursor);
  // The decoded picture becomes the button's; the colour of its bottom-left pixel is see-through.
  // It replaces a double-size picture given before, which would no longer match it.
  void SetGlyphText(int slot, const std::string& text);
  // A picture of twice the glyph's size, drawn for screens scaled by two or more; Qt picks it
  // there instead of enlarging the glyph. Ignored unless it is exactly twice the glyph's size.
  void SetLargeGlyphText(int slot, const std::string& text);
  void SetTopLine(bool on);
  void SetBottomLine(bool on);
  bool GetTopLine() const { return topLine_; }
  bool GetBottomLine() const { return bottomLine_; }
  int NeededHeight() const;
  // Sizes the window to the height it needs and places the shown buttons from the left.
  void Layout();

  QWidget* Window() const { return window_; }
  const TToolbarItem& Item(int slot) const { return items_[static_cast<size_t>(slot)]; }

  bool ButtonsVisible = true;
  int LastItem = -1;
  std::function<void(TToolbar&)> OnClick;

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  static bool IsSlot(int slot) { return slot >= 0 && slot < kToolbarSlots; }
  void Clicked(QToolButton* button);
  void StretchLines();

  QPointer<QWidget> window_;
  QFrame* top_ = nullptr;
  QFrame* bottom_ = nullptr;
  bool topLine_ = false;
  bool bottomLine_ = false;
  TToolbarItems items_;
};

}  // namespace torvel
