#include "app/qt_invoker.h"

#include <QMetaObject>

#include "app/application.h"

namespace missivo {

void QtMainThreadInvoker::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

void QtMainThreadInvoker::HandleException(std::exception_ptr error) {
  MissivoApplication::HandleException(error);
}

}  // namespace missivo
