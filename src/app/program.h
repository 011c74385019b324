// The program start: the three windows created in their order.
#pragma once

#include <chrono>
#include <memory>

#include "app/main_window.h"
#include "app/splash.h"

namespace missivo {

class TPassForm;

// Creates TForm1 (which runs FormCreate), the splash TForm2 and the password
// window TPassForm, in this order.
class Program {
 public:
  explicit Program(TForm1::Options options,
                   std::chrono::milliseconds splash_time = TForm2::kShowTime);
  ~Program();

  // Runs the start sequence and shows the main window. False when the start
  // ended the program (nothing saved; the window is never shown).
  bool Start();

  TForm1& form1() { return *form1_; }
  TForm2& form2() { return *form2_; }
  TPassForm& pass_form() { return *pass_form_; }

 private:
  std::unique_ptr<TForm1> form1_;
  TForm2* form2_ = nullptr;
  TPassForm* pass_form_ = nullptr;
};

}  // namespace missivo
