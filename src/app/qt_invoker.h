// The serial port's way onto the GUI thread: a task posted from the port's
// event thread becomes a queued call on the GUI thread's event loop.
#pragma once

#include <QObject>
#include <exception>
#include <functional>

#include "phone/serial/main_thread_invoker.h"

namespace missivo {

class QtMainThreadInvoker : public MainThreadInvoker {
 public:
  QtMainThreadInvoker() = default;

  // Queues `task` on the thread that made the invoker; tasks still queued when
  // the invoker goes are dropped unrun.
  void Post(std::function<void()> task) override;
  // The event loop delivers the queued tasks; nothing to do here.
  void ProcessPending() override {}
  // An exception from a port handler goes to the application's handler.
  void HandleException(std::exception_ptr error) override;

 private:
  QObject context_;
};

}  // namespace missivo
