#include "phone/serial/main_thread_invoker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace missivo {

QueuedMainThreadInvoker::QueuedMainThreadInvoker()
    : event_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (event_fd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
}

QueuedMainThreadInvoker::~QueuedMainThreadInvoker() {
  ::close(event_fd_);
}

void QueuedMainThreadInvoker::Post(std::function<void()> task) {
  // The descriptor is readable exactly while the queue holds tasks: both change
  // under the lock.
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  if (!pending_.exchange(true, std::memory_order_acq_rel)) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(event_fd_, &one, sizeof one);
  }
}

void QueuedMainThreadInvoker::ProcessPending() {
  if (!pending_.load(std::memory_order_acquire) || running_) return;
  running_ = true;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) {
        pending_.store(false, std::memory_order_release);
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(event_fd_, &count, sizeof count);
        break;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    try {
      task();
    } catch (...) {
      HandleException(std::current_exception());
    }
  }
  running_ = false;
}

bool QueuedMainThreadInvoker::WaitAndProcess(std::chrono::milliseconds timeout) {
  if (!pending_.load(std::memory_order_acquire)) {
    pollfd p{event_fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    if (ready <= 0) return false;
  }
  const bool any = pending_.load(std::memory_order_acquire);
  ProcessPending();
  return any;
}

QueuedMainThreadInvoker& DefaultMainThreadInvoker() {
  static QueuedMainThreadInvoker invoker;
  return invoker;
}

}  // namespace missivo
