// The serial port's event thread: it sleeps in poll() on its own descriptor of the
// device and a wake-up descriptor, and reports line events through the port.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "phone/serial/com_types.h"

namespace missivo {

class TCustomComPort;
class MainThreadInvoker;

class TComThread {
 public:
  // Starts the thread at once. `device` is a descriptor of the device that the
  // thread owns and closes when it ends, so that the port may close its own
  // descriptor at any moment. Throws std::system_error when no thread can start.
  TComThread(TCustomComPort& port, MainThreadInvoker& invoker, int device,
             TThreadPriority priority);
  // Stops the thread and waits for its end.
  ~TComThread();
  TComThread(const TComThread&) = delete;
  TComThread& operator=(const TComThread&) = delete;

  TCustomComPort& Port() const { return port_; }
  // The event thread running the caller, or nullptr on any other thread.
  static TComThread* Current();

  // Marks the thread as stopping and wakes it, also out of a wait for the main
  // thread; does not wait for it to end. Called on the main thread.
  void Stop();
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

  // Makes the thread read the port's event mask again.
  void Wake();
  // Lets the thread report the next arrival of input (after the port has read).
  void RearmReceive();
  void SetPriority(TThreadPriority priority);

  // On the event thread: runs `task` on the main thread and waits until it has
  // run. Returns false, without waiting further, when the thread was stopped
  // first; a task that has not started by then never runs.
  bool RunOnMainThread(std::function<void()> task);

 private:
  struct Call;

  void Execute();
  void Dispatch(std::uint32_t events);
  void ReportWaitError(int errno_value);

  TCustomComPort& port_;
  MainThreadInvoker& invoker_;
  const int device_;
  int wake_fd_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> receive_armed_{true};
  std::atomic<int> tid_{0};
  std::atomic<int> priority_;
  std::mutex mutex_;
  std::shared_ptr<Call> call_;  // the wait for the main thread in progress, under mutex_
  std::thread thread_;
};

}  // namespace missivo
