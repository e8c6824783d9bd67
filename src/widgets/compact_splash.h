#pragma once

#include <QFont>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"

class QDialog;
class QLabel;
class QWidget;

namespace torvel {

class TPanelWindow;

// A small window showing one picture with up to five text rows over its lower left corner: the
// splash while the program starts, and the About box. Every text field holds its text in stored
// form (StoredText mode 1) and is decoded each time the panel is shown; whoever sets one hands
// it over encoded. No operation throws.
class TCompactSplash {
 public:
  TCompactSplash();
  ~TCompactSplash();
  TCompactSplash(const TCompactSplash&) = delete;
  TCompactSplash& operator=(const TCompactSplash&) = delete;

  int LeftMargin = 7;
  int BottomMargin = 7;
  uint8_t ShowProductName = 0;  // row 0 shows the product name
  std::string NoteText;         // value of row 2
  std::string InfoLine;         // row 3: copyright, year and maker
  std::string ProductName;      // caption of row 0, and the end of the About box's caption
  std::string VersionText;      // value of row 1
  std::string LinkText;         // the web address of row 4

  QWidget* PanelWindow() const;
  QLabel* PictureBox() const { return pictureBox_; }
  const std::array<QLabel*, 5>& ValueLabels() const { return valueLabels_; }
  const std::array<QLabel*, 5>& CaptionLabels() const { return captionLabels_; }
  QFont TextFont;
  TColor TextColor = kWhite;  // the colour of every row's text

  // The picture the panel shows; the window takes its size.
  void SetPicture(const Bitmap& picture);

  void ShowAsSplash();
  // Returns once the user has closed the About box.
  void ShowAsAbout();
  // Keeps the panel up for that many seconds (0..10) while events are processed, then hides
  // the splash or closes the About box.
  void CloseAfter(int seconds);
  // A click on any of the labels: the link of row 4 opens the web address, once at a time.
  void LinkClick(QLabel* label);
  bool IsVisible() const;
  int Mode() const { return mode_; }

  // How the About box is shown modally; tests replace it so that no modal loop runs.
  std::function<void(QDialog&)> RunModal;

 private:
  void ShowPanel(int mode);
  void SetLabelTexts();
  void LayOutRows();
  TColor LinkColor() const;

  std::unique_ptr<TPanelWindow> window_;
  QLabel* pictureBox_ = nullptr;
  std::array<QLabel*, 5> valueLabels_{};
  std::array<QLabel*, 5> captionLabels_{};
  int mode_ = 0;
};

// The year the information line names: this year, or `minimum` when that is later.
int CurrentYear(int minimum);

}  // namespace torvel
