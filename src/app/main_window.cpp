#include "app/main_window.h"

namespace torvel {

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Torvel"));
  resize(550, 455);
}

}  // namespace torvel
