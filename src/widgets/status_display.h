#pragma once

#include <QFrame>
#include <QLabel>
#include <array>
#include <functional>

#include "platform/bitmap.h"

namespace torvel {

// The status line: a 17-pixel bar along the bottom of its parent with up to ten text panels side
// by side, the last one filling the rest of the bar. Panels report clicks by their index.
class TStatusDisplay : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kPanelSlots = 10;
  static constexpr int kHeight = 17;

  explicit TStatusDisplay(QWidget* parent);

  // Creates a panel in the lowest free slot; -1 when all ten are taken.
  int AddPanel();
  // The panel of a slot, or none; callers set its text, hint and cursor directly.
  QLabel* GetPanel(int index) const;
  // A panel's own width (50 when created); the last panel fills the rest of the bar instead.
  void SetPanelWidth(int index, int width);
  // Widens a panel, never narrowing it, so that each of the texts shows whole in its font.
  void FitPanelToTexts(int index, const QStringList& texts);
  // The narrowest the bar can be with every panel whole: the last one showing any of its texts.
  int LeastWidth(const QStringList& lastPanelTexts) const;
  void SetPanelHighlight(bool highlight, int index, TColor normalText, TColor highlightText,
                         TColor normalBackground, TColor highlightBackground);
  // The panel's background colour as last set, or the bar's own colour.
  TColor PanelBackground(int index) const;
  TColor BackgroundColor() const;

  // Makes the panel a toggle of a mode that is on or off, as assistive technology is told.
  void SetPanelChecked(int index, bool checked);
  // What a click on the panel does: OnPanelClick with its index.
  void ClickPanel(int index);
  int IndexOf(const QLabel* panel) const;
  std::function<void(int index)> OnPanelClick;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Redock();
  int LastPanel() const;
  int WidestText(int index, const QStringList& texts) const;

  std::array<QLabel*, kPanelSlots> panels_{};
  std::array<int, kPanelSlots> widths_{};
};

}  // namespace torvel
