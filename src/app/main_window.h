#pragma once

#include <QMainWindow>

namespace torvel {

// The program's only top-level window.
class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainWindow(QWidget* parent = nullptr);
};

}  // namespace torvel
