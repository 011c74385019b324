// One phone command at a time in the window. Reading, the phonebook read,
// deleting on the phone, a terminal send and connecting let pending events
// run; while one of them holds the window's PhoneGuard the commands that start
// the others are disabled, and they come back when it ends, also when it ends
// by an exception.
//
//   PhoneCommandScope command(*this);
//   if (!command) return;  // another phone command is running
#pragma once

#include "app/main_window.h"

namespace missivo {

class PhoneCommandScope {
 public:
  explicit PhoneCommandScope(TForm1& form) : hold_(form.PhoneGuard.TryStart()) {}

  explicit operator bool() const { return static_cast<bool>(hold_); }

 private:
  PhoneCommandGuard::Hold hold_;
};

}  // namespace missivo
