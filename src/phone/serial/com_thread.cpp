#include "phone/serial/com_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "phone/serial/com_port.h"
#include "phone/serial/main_thread_invoker.h"

namespace missivo {

namespace {

thread_local TComThread* current_thread = nullptr;

// Nice values standing for the thread priorities. Raising a priority needs a
// privilege; without it the thread keeps its priority.
int NiceOf(TThreadPriority priority) {
  static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
  return kNice[static_cast<int>(priority)];
}

}  // namespace

// One wait of the event thread for a task on the main thread.
struct TComThread::Call {
  std::mutex mutex;
  std::condition_variable done_or_cancelled;
  bool done = false;
  bool cancelled = false;
};

TComThread* TComThread::Current() {
  return current_thread;
}

TComThread::TComThread(TCustomComPort& port, MainThreadInvoker& invoker, int device,
                       TThreadPriority priority)
    : port_(port), invoker_(invoker), device_(device), priority_(static_cast<int>(priority)) {
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) {
    const int error = errno;
    ::close(device_);
    throw std::system_error(error, std::generic_category(), "eventfd");
  }
  try {
    thread_ = std::thread([this] { Execute(); });
  } catch (...) {
    ::close(device_);
    ::close(wake_fd_);
    throw;
  }
}

TComThread::~TComThread() {
  Stop();
  if (thread_.joinable()) thread_.join();
  ::close(wake_fd_);
}

void TComThread::Stop() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  if (call_) {
    std::lock_guard call_lock(call_->mutex);
    call_->cancelled = true;
    call_->done_or_cancelled.notify_all();
  }
  Wake();
}

void TComThread::Wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_fd_, &one, sizeof one);
}

void TComThread::RearmReceive() {
  if (!receive_armed_.exchange(true)) Wake();
}

void TComThread::SetPriority(TThreadPriority priority) {
  priority_ = static_cast<int>(priority);
  if (const int tid = tid_.load(); tid != 0) {
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceOf(priority));
  }
}

bool TComThread::RunOnMainThread(std::function<void()> task) {
  auto call = std::make_shared<Call>();
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    call_ = call;
  }
  MainThreadInvoker* invoker = &invoker_;
  invoker_.Post([call, invoker, task = std::move(task)] {
    // Runs on the main thread, as does Stop(): a cancelled call touches nothing,
    // since its thread and maybe its port are gone.
    {
      std::lock_guard lock(call->mutex);
      if (call->cancelled) return;
    }
    try {
      task();
    } catch (...) {
      invoker->HandleException(std::current_exception());
    }
    std::lock_guard lock(call->mutex);
    call->done = true;
    call->done_or_cancelled.notify_all();
  });
  std::unique_lock lock(call->mutex);
  call->done_or_cancelled.wait(lock, [&] { return call->done || call->cancelled; });
  const bool done = call->done;
  lock.unlock();
  std::lock_guard thread_lock(mutex_);
  call_.reset();
  return done;
}

void TComThread::Execute() {
  current_thread = this;
  tid_ = static_cast<int>(::gettid());
  ::setpriority(PRIO_PROCESS, 0, NiceOf(static_cast<TThreadPriority>(priority_.load())));

  bool device_gone = false;
  while (!stopping_) {
    const std::uint32_t mask = port_.event_mask_.load();
    pollfd fds[2] = {{wake_fd_, POLLIN, 0}, {device_, 0, 0}};
    if ((mask & event_mask::kRxChar) && receive_armed_) fds[1].events = POLLIN;
    const int ready = ::poll(fds, device_gone ? 1 : 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      ReportWaitError(errno);
      break;
    }
    if (fds[0].revents & POLLIN) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t got = ::read(wake_fd_, &count, sizeof count);
    }
    if (stopping_ || device_gone || fds[1].revents == 0) continue;

    std::uint32_t events = 0;
    if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      // The device has hung up: from now on only the wake-up counts. The mark
      // goes on the port only while this thread is still its thread (Stop takes
      // the same lock before the port is released and maybe opened again).
      device_gone = true;
      {
        std::lock_guard lock(mutex_);
        if (stopping_) continue;
        port_.hung_up_ = true;
      }
      events |= event_mask::kError;
    } else if (fds[1].revents & POLLIN) {
      receive_armed_ = false;
      events |= event_mask::kRxChar;
    }
    events &= mask;
    if (events != 0) Dispatch(events);
  }
  ::close(device_);
  finished_.store(true, std::memory_order_release);
}

void TComThread::Dispatch(std::uint32_t events) {
  TCustomComPort* port = &port_;
  if (port_.SynchronizeEvents()) {
    RunOnMainThread([port, events] { port->DispatchEvents(events, -1); });
    return;
  }
  try {
    port_.DispatchEvents(events, device_);
  } catch (...) {
    invoker_.HandleException(std::current_exception());
  }
}

void TComThread::ReportWaitError(int errno_value) {
  TCustomComPort* port = &port_;
  RunOnMainThread([port, errno_value] {
    const EComError error = ComErrorFromErrno(errno_value, port->DeviceName());
    try {
      port->RaiseError(error);
    } catch (...) {
      // Reported through OnError; nothing more to do with it here.
    }
    if (error.ErrorCode() == kErrorBusy) port->Close();
  });
}

}  // namespace missivo
