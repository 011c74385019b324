// An event slot of the serial port: holds an optional handler; assigning one can
// notify the port (the line events rebuild the event mask of an open port).
#pragma once

#include <functional>
#include <utility>

namespace missivo {

template <typename... Args>
class ComEvent {
 public:
  using Handler = std::function<void(Args...)>;

  ComEvent() = default;
  explicit ComEvent(std::function<void()> on_change) : on_change_(std::move(on_change)) {}
  ComEvent(const ComEvent&) = delete;
  ComEvent& operator=(const ComEvent&) = delete;

  // Assigns a handler (an empty one clears the slot).
  ComEvent& operator=(Handler handler) {
    handler_ = std::move(handler);
    if (on_change_) on_change_();
    return *this;
  }

  explicit operator bool() const { return static_cast<bool>(handler_); }

  // Calls the handler when one is assigned.
  void operator()(Args... args) const {
    if (handler_) handler_(std::forward<Args>(args)...);
  }

 private:
  Handler handler_;
  std::function<void()> on_change_;
};

}  // namespace missivo
