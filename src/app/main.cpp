#include <QApplication>

#include "app/main_window.h"
#include "services/services.h"

int main(int argc, char* argv[]) {
  torvel::StartServices();
  QApplication app(argc, argv);
  int result = 0;
  {
    torvel::TMainWindow window;
    window.show();
    result = QApplication::exec();
  }
  torvel::RunProgramEndCleanup();
  return result;
}
