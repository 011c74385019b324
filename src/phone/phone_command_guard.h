// One phone command at a time. Phone commands run on the user-interface thread
// and let pending events through while they wait for the phone, so a second
// command could start inside the first and interleave two conversations on one
// line. Every phone command takes the program's one guard before it talks to
// the phone and refuses to start when it is taken.
//
//   PhoneCommandGuard::Hold hold = guard.TryStart();
//   if (!hold) return;  // another phone command runs
//   ... talk to the phone; the guard is free again when `hold` goes ...
#pragma once

#include <functional>

namespace missivo {

class PhoneCommandGuard {
 public:
  // A running command's hold on the guard; an empty hold when it was refused.
  class Hold {
   public:
    Hold(Hold&& other) noexcept : guard_(other.guard_) { other.guard_ = nullptr; }
    Hold& operator=(Hold&&) = delete;
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() {
      if (guard_ != nullptr) guard_->SetBusy(false);
    }

    explicit operator bool() const { return guard_ != nullptr; }

   private:
    friend class PhoneCommandGuard;
    explicit Hold(PhoneCommandGuard* guard) : guard_(guard) {}
    PhoneCommandGuard* guard_;
  };

  PhoneCommandGuard() = default;
  PhoneCommandGuard(const PhoneCommandGuard&) = delete;
  PhoneCommandGuard& operator=(const PhoneCommandGuard&) = delete;

  // Takes the guard when no phone command runs; otherwise an empty hold.
  [[nodiscard]] Hold TryStart() {
    if (busy_) return Hold(nullptr);
    SetBusy(true);
    return Hold(this);
  }

  // Whether a phone command runs now.
  bool Busy() const { return busy_; }

  // Runs with the new state whenever the guard is taken or freed: the window
  // disables its phone commands while one runs.
  std::function<void(bool busy)> on_change;

 private:
  void SetBusy(bool busy) {
    busy_ = busy;
    if (on_change) on_change(busy);
  }

  bool busy_ = false;
};

}  // namespace missivo
