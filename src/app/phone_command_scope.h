// One phone command at a time. Reading, the phonebook read, deleting on the
// phone, a terminal send and connecting let pending events run; while one of
// them runs, the commands that start the others are disabled, and they come
// back when it ends, also when it ends by an exception.
//
//   PhoneCommandScope command(*this);
//   if (!command) return;  // another phone command is running
#pragma once

#include "app/main_window.h"

namespace missivo {

class PhoneCommandScope {
 public:
  explicit PhoneCommandScope(TForm1& form) : form_(form), started_(form.BeginPhoneCommand()) {}
  ~PhoneCommandScope() {
    if (started_) form_.EndPhoneCommand();
  }
  PhoneCommandScope(const PhoneCommandScope&) = delete;
  PhoneCommandScope& operator=(const PhoneCommandScope&) = delete;

  explicit operator bool() const { return started_; }

 private:
  TForm1& form_;
  bool started_;
};

}  // namespace missivo
