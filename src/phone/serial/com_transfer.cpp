// Reads, writes and purges of the serial port. The device is non-blocking; a
// transfer that has to wait does so in poll() with the time-outs' deadline, and
// output not yet taken by the driver goes on being written during any such wait.
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "phone/serial/com_port.h"
#include "phone/serial/com_thread.h"

namespace missivo {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr short kHangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Milliseconds from now until `deadline`, rounded up; -1 without a deadline.
int PollTimeout(std::optional<Clock::time_point> deadline) {
  if (!deadline) return -1;
  const auto left = *deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<milliseconds>(left).count();
  return static_cast<int>(std::min<long long>(ms, 1'000'000'000));
}

}  // namespace

void TCustomComPort::Read(void* buffer, std::int32_t length, bool wait_on_completion) {
  PendingRead request;
  const TTimeouts& t = timeouts_;
  if (t.ReadInterval() == -1 && t.ReadMultiplier() == 0 && t.ReadConstant() == 0) {
    request.immediate = true;
  } else {
    if (t.ReadMultiplier() > 0 || t.ReadConstant() > 0) {
      const long long total =
          static_cast<long long>(std::max(t.ReadMultiplier(), 0)) * std::max(length, 0) +
          std::max(t.ReadConstant(), 0);
      request.total = milliseconds(total);
    }
    if (t.ReadInterval() > 0) request.interval = milliseconds(t.ReadInterval());
  }
  StartRead(buffer, length, wait_on_completion, request);
}

char TCustomComPort::ReceiveChar() {
  char c = 0;
  Read(&c, 1, true);
  return c;
}

char TCustomComPort::ReceiveCharWithin(std::chrono::milliseconds limit) {
  char c = 0;
  PendingRead request;
  request.total = limit;
  StartRead(&c, 1, true, request);
  return c;
}

bool TCustomComPort::InputWithin(std::chrono::milliseconds limit) {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  FinishRead();
  RequireUsable();
  const Clock::time_point deadline = Clock::now() + limit;
  while (rx_begin_ == rx_end_) {
    const short events = WaitDevice(POLLIN, deadline);
    if (events == 0) return false;  // time-out
    if (events & POLLOUT) PumpOutput();
    if (events & POLLIN) {
      FillBuffer();
    } else if (events & kHangUpEvents) {
      HangUp();
    }
  }
  return true;
}

void TCustomComPort::StartRead(void* buffer, std::int32_t length, bool wait, PendingRead request) {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  BeforeRead(*this, buffer, length, wait);
  FinishRead();
  RequireUsable();
  request.buffer = static_cast<char*>(buffer);
  request.length = std::max(length, 0);
  read_ = request;
  if (read_.length != 0 && wait) FinishRead();
  AfterRead(*this, buffer, length, wait);
}

void TCustomComPort::FinishRead() {
  if (read_.done < read_.length) {
    TakeBuffered();
    std::optional<Clock::time_point> last_byte;
    if (read_.interval && read_.done > 0) last_byte = Clock::now();
    while (read_.done < read_.length) {
      if (read_.immediate) {
        FillBuffer();
        TakeBuffered();
        break;
      }
      // The limits count from the moment the read has to wait.
      if (read_.total && !read_.deadline) read_.deadline = Clock::now() + *read_.total;
      auto deadline = read_.deadline;
      if (read_.interval && last_byte) {
        const auto gap_end = *last_byte + *read_.interval;
        if (!deadline || gap_end < *deadline) deadline = gap_end;
      }
      const short events = WaitDevice(POLLIN, deadline);
      if (events == 0) break;  // time-out
      if (events & POLLOUT) PumpOutput();
      if (events & POLLIN) {
        FillBuffer();
      } else if (events & kHangUpEvents) {
        HangUp();
      }
      const std::int32_t before = read_.done;
      TakeBuffered();
      if (read_.interval && read_.done != before) last_byte = Clock::now();
    }
  }
  const bool short_read = read_.done < read_.length;
  read_ = {};
  if (CheckLineErrors(-1)) RaiseErrno(EIO);  // a hang-up the event thread noticed first
  if (short_read) RaiseError(EComError(kTimeoutMessage, 0));
}

void TCustomComPort::TakeBuffered() {
  const std::size_t wanted = static_cast<std::size_t>(read_.length - read_.done);
  const std::size_t n = std::min(wanted, rx_end_ - rx_begin_);
  if (n == 0) return;
  if (n == 1) {
    read_.buffer[read_.done] = rx_buffer_[rx_begin_];
  } else {
    std::memcpy(read_.buffer + read_.done, rx_buffer_.data() + rx_begin_, n);
  }
  rx_begin_ += n;
  read_.done += static_cast<std::int32_t>(n);
}

void TCustomComPort::FillBuffer() {
  if (rx_begin_ == rx_end_) {
    rx_begin_ = rx_end_ = 0;
  } else if (rx_end_ == rx_buffer_.size()) {
    std::memmove(rx_buffer_.data(), rx_buffer_.data() + rx_begin_, rx_end_ - rx_begin_);
    rx_end_ -= rx_begin_;
    rx_begin_ = 0;
  }
  if (rx_end_ == rx_buffer_.size()) return;
  for (;;) {
    const ssize_t n = ::read(fd_, rx_buffer_.data() + rx_end_, rx_buffer_.size() - rx_end_);
    device_used_.store(true, std::memory_order_relaxed);
    if (n > 0) {
      char* begin = rx_buffer_.data() + rx_end_;
      char* end = begin + n;
      if (options_.Contains(TOption::opDiscardNullBytes)) end = std::remove(begin, end, '\0');
      rx_end_ += static_cast<std::size_t>(end - begin);
      if (thread_ && (event_mask_.load(std::memory_order_relaxed) & event_mask::kRxChar)) {
        thread_->RearmReceive();
      }
      return;
    }
    if (n == 0) HangUp();  // a terminal reads 0 bytes only once hung up
    if (errno == EINTR) continue;
    if (errno == EAGAIN) return;
    DeviceFailed(errno);
  }
}

void TCustomComPort::Write(const void* buffer, std::int32_t length, bool wait_on_completion) {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  BeforeWrite(*this, buffer, length, wait_on_completion);
  FinishWrite();
  RequireUsable();
  if (length > 0) {
    write_.bytes.assign(static_cast<const char*>(buffer), static_cast<std::size_t>(length));
    write_.done = 0;
    const TTimeouts& t = timeouts_;
    if (t.WriteMultiplier() > 0 || t.WriteConstant() > 0) {
      const long long total = static_cast<long long>(std::max(t.WriteMultiplier(), 0)) * length +
                              std::max(t.WriteConstant(), 0);
      write_.deadline = Clock::now() + milliseconds(total);
    }
    PumpOutput();
    if (wait_on_completion) FinishWrite();
  }
  AfterWrite(*this, buffer, length, wait_on_completion);
}

void TCustomComPort::WriteText(const std::string& text) {
  Write(text.data(), static_cast<std::int32_t>(text.size()), false);
}

void TCustomComPort::FinishWrite() {
  while (write_.done < write_.bytes.size()) {
    const short events = WaitDevice(0, write_.deadline);
    if (events == 0) break;  // time-out
    if (events & POLLOUT) {
      PumpOutput();
    } else if (events & kHangUpEvents) {
      HangUp();
    }
  }
  const bool short_write = write_.done < write_.bytes.size();
  write_ = {};
  if (CheckLineErrors(-1)) RaiseErrno(EIO);
  if (short_write) RaiseError(EComError(kTimeoutMessage, 0));
}

void TCustomComPort::PumpOutput() {
  while (write_.done < write_.bytes.size()) {
    const ssize_t n =
        ::write(fd_, write_.bytes.data() + write_.done, write_.bytes.size() - write_.done);
    device_used_.store(true, std::memory_order_relaxed);
    if (n > 0) {
      write_.done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return;
    DeviceFailed(n < 0 ? errno : EIO);
  }
}

short TCustomComPort::WaitDevice(short events, std::optional<Clock::time_point> deadline) {
  for (;;) {
    pollfd p[2] = {{fd_, events, 0}, {stop_fd_, POLLIN, 0}};
    if (write_.done < write_.bytes.size()) p[0].events |= POLLOUT;
    const int ready = ::poll(p, stop_fd_ >= 0 ? 2 : 1, PollTimeout(deadline));
    if (ready > 0 && p[1].revents != 0) Stop();
    if (ready > 0) return p[0].revents;
    if (ready == 0) return 0;
    if (errno != EINTR) DeviceFailed(errno);
  }
}

void TCustomComPort::Stop() {
  read_ = {};
  write_ = {};
  RaiseError(EComError(kStoppedMessage, EINTR));
}

bool TCustomComPort::StopAsked() const {
  if (stop_fd_ < 0) return false;
  pollfd p{stop_fd_, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0;
}

void TCustomComPort::DiscardInput() {
  if (!Active()) return;
  read_ = {};
  ClearInputBuffer();
}

void TCustomComPort::DiscardOutput() {
  if (!Active()) return;
  write_ = {};
  if (::tcflush(fd_, TCOFLUSH) != 0) DeviceFailed(errno);
}

void TCustomComPort::ClearInputBuffer() {
  if (!Active()) return;
  rx_begin_ = rx_end_ = 0;
  if (::tcflush(fd_, TCIFLUSH) != 0) DeviceFailed(errno);
}

// Handlers may have closed the port, and a hung-up device takes no more transfers.
void TCustomComPort::RequireUsable() {
  if (!Active()) RaiseError(EComError(kClosedPortMessage, 0));
  if (StopAsked()) Stop();
  if (hung_up_) HangUp();
}

void TCustomComPort::HangUp() {
  hung_up_ = true;
  read_ = {};
  write_ = {};
  CheckLineErrors(-1);
  RaiseErrno(EIO);
}

void TCustomComPort::DeviceFailed(int errno_value) {
  if (errno_value == EIO) HangUp();
  RaiseErrno(errno_value);
}

}  // namespace missivo
