#include <QApplication>

#include "app/main_window.h"
#include "app/qt_translations.h"
#include "formats/file_dialogs.h"
#include "platform/picture_memory.h"
#include "platform/qt/qt_platform_ui.h"
#include "platform/qt/window_system.h"
#include "services/services.h"
#include "services/translate.h"

int main(int argc, char* argv[]) {
  torvel::KeepPictureMemoryForReuse();
  torvel::StartServices();
  torvel::ChooseWindowSystem();
  QApplication app(argc, argv);
  torvel::LoadQtTranslation();
  QApplication::setWindowIcon(torvel::TForm1::ApplicationIcon());
  QGuiApplication::setDesktopFileName("example.orvik.Torvel");  // the installed desktop entry
  int result = 0;
  {
    torvel::TQtPlatformUi ui;
    ui.SetButtonTranslator(torvel::TranslateText);
    torvel::SetPlatformUi(&ui);
    torvel::TForm1 window(torvel::TStartup::FromCommandLine(
        QCoreApplication::arguments(), QCoreApplication::applicationFilePath()));
    ui.SetOwner(&window);
    if (window.StartFailed()) {
      result = 1;
    } else {
      window.show();
      result = QApplication::exec();
    }
    torvel::SetPlatformUi(nullptr);
  }
  torvel::ReleaseFileDialogs();
  torvel::RunProgramEndCleanup();
  return result;
}
