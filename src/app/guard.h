// Handlers that cannot let an exception into Qt's event code: an exception a
// guarded handler lets out goes to the application's exception handler (the
// error box), and the event loop goes on.
#pragma once

#include <exception>
#include <utility>

#include "app/application.h"

namespace missivo {

// Runs `handler` and hands any exception it lets out to the application.
template <typename Handler>
void RunGuarded(Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    MissivoApplication::HandleException(std::current_exception());
  }
}

// A slot that runs `handler` guarded, whatever arguments the signal carries:
//   connect(ConnB, &QToolButton::clicked, this, Guarded([this] { ConnBClick(); }));
template <typename Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)](auto&&...) { RunGuarded(handler); };
}

}  // namespace missivo
