// The application object with its exception handler: an exception that escapes
// an event handler ends up in the handler installed here instead of ending the
// program.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace missivo {

class MissivoApplication : public QApplication {
 public:
  MissivoApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  using ExceptionHandler = std::function<void(std::exception_ptr)>;
  // Installs the handler; an empty one sends the error text to stderr.
  static void SetExceptionHandler(ExceptionHandler handler);
  // Hands an exception caught elsewhere (a guarded callback) to the handler.
  static void HandleException(std::exception_ptr error);
};

}  // namespace missivo
