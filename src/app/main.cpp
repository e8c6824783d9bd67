#include <QApplication>

#include "app/main_window.h"
#include "formats/file_dialogs.h"
#include "platform/qt/qt_platform_ui.h"
#include "services/services.h"
#include "services/translate.h"

int main(int argc, char* argv[]) {
  torvel::StartServices();
  QApplication app(argc, argv);
  int result = 0;
  {
    torvel::TQtPlatformUi ui;
    ui.SetButtonTranslator(torvel::TranslateText);
    torvel::SetPlatformUi(&ui);
    torvel::TForm1 window;
    ui.SetOwner(&window);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
      window.OpenCommandLineFile(arguments.at(1).toStdString());
    }
    torvel::TForm1::RefreshProgramCopy(QCoreApplication::applicationFilePath().toStdString());
    window.show();
    result = QApplication::exec();
    torvel::SetPlatformUi(nullptr);
  }
  torvel::ReleaseFileDialogs();
  torvel::RunProgramEndCleanup();
  return result;
}
