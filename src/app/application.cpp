#include "app/application.h"

#include <cstdio>
#include <utility>

#include "text/cp1251.h"

namespace missivo {
namespace {

MissivoApplication::ExceptionHandler& Handler() {
  static MissivoApplication::ExceptionHandler handler;
  return handler;
}

}  // namespace

MissivoApplication::MissivoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Missivo"));
  setApplicationDisplayName(QStringLiteral("Missivo 3.3"));
  setApplicationVersion(QStringLiteral("3.3"));
}

bool MissivoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleException(std::current_exception());
  }
  return false;
}

void MissivoApplication::SetExceptionHandler(ExceptionHandler handler) {
  Handler() = std::move(handler);
}

void MissivoApplication::HandleException(std::exception_ptr error) {
  if (Handler()) {
    Handler()(error);
    return;
  }
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "missivo: %s\n", Cp1251ToUtf8(e.what()).c_str());
  } catch (...) {
    std::fprintf(stderr, "missivo: unknown error\n");
  }
}

}  // namespace missivo
