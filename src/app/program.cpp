#include "app/program.h"

#include <cstdio>

#include "app/password_windows.h"
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

Program::Program(TForm1::Options options, std::chrono::milliseconds splash_time)
    : form1_(std::make_unique<TForm1>(std::move(options))) {
  form2_ = new TForm2(form1_.get(), splash_time);
  pass_form_ = new TPassForm(form1_.get());
  form1_->AttachWindows(form2_, pass_form_);
}

Program::~Program() = default;

bool Program::Start() {
  if (!form1_->FormShow()) return false;
  form1_->show();
  return true;
}

}  // namespace missivo
