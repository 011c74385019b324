// How the serial port's event thread gets work done on the main thread.
//
// Contract for implementations:
// - Post() may be called from any thread. It queues the task and returns at once;
//   the task must later run exactly once on the main thread, between the main
//   thread's own work (never inside another task unless ProcessPending is called
//   from one), or be destroyed unrun when the invoker goes away.
// - ProcessPending() is called on the main thread at safe points (the port calls
//   it before it opens and after it has closed, never inside a transfer, so no
//   handler runs in the middle of an AT exchange); it runs the tasks queued so far.
//   An implementation whose main thread runs an event loop that delivers posted
//   tasks itself (the window program: a queued call to the GUI thread) may do
//   nothing here.
// - HandleException() receives an exception that escaped an event handler run by
//   the event thread's dispatch (the application's exception handler).
// The event thread waits for a posted task to finish, but it stops waiting as soon
// as its port closes; a task whose port has closed meanwhile does nothing. So the
// main thread never has to wait for the event thread, and closing never deadlocks.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace missivo {

class MainThreadInvoker {
 public:
  virtual ~MainThreadInvoker() = default;
  virtual void Post(std::function<void()> task) = 0;
  virtual void ProcessPending() = 0;
  virtual void HandleException(std::exception_ptr error) = 0;
};

// The invoker for programs without a GUI event loop: a queue that the main thread
// drains at the port's safe points, by ProcessPending(), or by waiting in
// WaitAndProcess(). Its descriptor becomes readable when a task is queued, so a
// main loop can poll() it. Exceptions from handlers are dropped, as the
// application's handler shows nothing for ordinary exceptions.
class QueuedMainThreadInvoker : public MainThreadInvoker {
 public:
  QueuedMainThreadInvoker();
  ~QueuedMainThreadInvoker() override;
  QueuedMainThreadInvoker(const QueuedMainThreadInvoker&) = delete;
  QueuedMainThreadInvoker& operator=(const QueuedMainThreadInvoker&) = delete;

  void Post(std::function<void()> task) override;
  // Runs the queued tasks, including those queued while it runs. A call made from
  // inside a task returns at once.
  void ProcessPending() override;
  void HandleException(std::exception_ptr) override {}

  // Waits until a task is queued or `timeout` has passed, then runs the queue.
  // Returns whether any task ran.
  bool WaitAndProcess(std::chrono::milliseconds timeout);

  // Readable while tasks are queued.
  int Descriptor() const { return event_fd_; }

 private:
  int event_fd_ = -1;
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  std::atomic<bool> pending_{false};
  bool running_ = false;
};

// The invoker that ports use unless they are given another one.
QueuedMainThreadInvoker& DefaultMainThreadInvoker();

}  // namespace missivo
