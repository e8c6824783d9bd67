#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "services/desktop_language.h"

namespace torvel {

QTranslator* LoadQtTranslation() {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const std::string& language : DesktopLanguages()) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load("qtbase_" + QString::fromStdString(language), folder)) {
      QCoreApplication::installTranslator(translator);
      return translator;
    }
    delete translator;
  }
  return nullptr;
}

}  // namespace torvel
