#include "app/program.h"

#include "app/password_windows.h"

namespace missivo {

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
