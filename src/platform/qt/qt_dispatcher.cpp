#include "platform/qt/qt_dispatcher.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace torvel {

void TQtDispatcher::Post(std::function<void()> job) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QMetaObject::invokeMethod(app, std::move(job), Qt::QueuedConnection);
  }
}

}  // namespace torvel
