#include "line.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "phone/serial/serial_speed.h"

namespace phonesim {

namespace {

using std::chrono::milliseconds;

// How often an emulated line delivers: bytes go out in slices of this duration.
constexpr auto kSlice = milliseconds(2);
constexpr char kCtrlZ = '\x1A';
constexpr char kEsc = '\x1B';
// How long a hang-up waits for the program to read the part of the reply it got.
constexpr auto kHangUpWait = milliseconds(500);

int OpenAppend(const std::string& path) {
  if (path.empty()) return -1;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "cannot open " + path);
  return fd;
}

std::string TimeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  const auto ms = std::chrono::duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  char with_ms[48];
  std::snprintf(with_ms, sizeof with_ms, "%s.%03d", text, static_cast<int>(ms));
  return with_ms;
}

}  // namespace

Line::Line(PhoneModel model, LineFiles files) : model_(std::move(model)), files_(std::move(files)) {
  log_fd_ = OpenAppend(files_.log);
  raw_fd_ = OpenAppend(files_.raw);
}

Line::~Line() {
  Close();
  if (!files_.link.empty()) ::unlink(files_.link.c_str());
  if (log_fd_ >= 0) ::close(log_fd_);
  if (raw_fd_ >= 0) ::close(raw_fd_);
}

void Line::Open() {
  char name[256] = {};
  if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
    throw std::system_error(errno, std::generic_category(), "openpty");
  }
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  termios raw{};
  ::tcgetattr(slave_, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave_, TCSANOW, &raw);
  if (!files_.link.empty()) {
    ::unlink(files_.link.c_str());
    if (::symlink(name, files_.link.c_str()) != 0) {
      throw std::system_error(errno, std::generic_category(), "cannot link " + files_.link);
    }
  }
  std::printf("%s\n", name);
  std::fflush(stdout);
}

void Line::Close() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
  out_.clear();
  partial_.clear();
}

int Line::Run(int signal_fd) {
  Open();
  for (;;) {
    pollfd fds[2] = {{signal_fd, POLLIN, 0}, {master_, POLLIN, 0}};
    const bool due = !out_.empty() && !out_.front().hang_up && out_.front().due <= Clock::now();
    if (due) fds[1].events |= POLLOUT;
    if (::poll(fds, 2, PollTimeout(due)) < 0 && errno != EINTR) {
      throw std::system_error(errno, std::generic_category(), "poll");
    }
    if (fds[0].revents & POLLIN) return 0;
    if (fds[1].revents & POLLIN) ReadInput();
    if (!SendDue()) {
      if (!model_.scenario().replug_after_hang_up) return 0;
      Open();
    }
  }
}

int Line::PollTimeout(bool waiting_to_write) const {
  if (out_.empty()) return -1;
  const Chunk& head = out_.front();
  const auto now = Clock::now();
  if (head.hang_up) return 2;  // checking whether the program has read the rest
  // POLLOUT wakes us; a chunk that fell due since POLLOUT was left out is
  // sent at once (waiting without end for input would stall the reply).
  if (head.due <= now) return waiting_to_write ? -1 : 0;
  return static_cast<int>(std::chrono::ceil<milliseconds>(head.due - now).count());
}

void Line::ReadInput() {
  char buffer[4096];
  const ssize_t n = ::read(master_, buffer, sizeof buffer);
  if (n <= 0) return;
  const std::string bytes(buffer, static_cast<std::size_t>(n));
  Append(raw_fd_, bytes);
  for (char c : bytes) {
    if (model_.AwaitingText()) {
      // The text of a send: every byte up to Ctrl-Z (ESC drops the send).
      if (c == kCtrlZ || c == kEsc) {
        HandleLine(partial_, c);
        partial_.clear();
      } else {
        partial_.push_back(c);
      }
    } else if (c == '\r' || c == '\n') {
      if (!partial_.empty()) HandleLine(partial_, 0);
      partial_.clear();
    } else {
      partial_.push_back(c);
    }
  }
}

void Line::HandleLine(const std::string& line, char end) {
  Append(log_fd_, TimeStamp() + "\t" + line +
                      (end == kCtrlZ ? "^Z"
                       : end == kEsc ? "^["
                                     : "") +
                      "\n");
  ++commands_;
  // A new command ends an endless answer.
  endless_.clear();
  std::erase_if(out_, [](const Chunk& chunk) { return chunk.endless; });
  const Answer answer = end == kCtrlZ ? model_.HandleText(line, commands_)
                        : end == kEsc ? model_.CancelText()
                                      : model_.Handle(line, commands_);
  const auto now = Clock::now();
  const Scenario& s = model_.scenario();
  if (!hang_up_played_ && s.hang_up_after == commands_) {
    // Half of the answer, then the line goes dead.
    hang_up_played_ = true;
    const std::string whole = answer.echo + answer.response;
    Queue(whole.substr(0, whole.size() / 2), now);
    const auto due = out_.empty() ? now : std::max(now, out_.back().due);
    out_.push_back({"", due, true});
    return;
  }
  Queue(answer.echo, now);
  Queue(answer.response, now + milliseconds(s.latency_ms));
  endless_ = answer.endless;
  endless_interval_ms_ = answer.endless_interval_ms;
  if (!endless_.empty()) QueueEndless(now + milliseconds(s.latency_ms));
}

void Line::QueueEndless(Clock::time_point not_before) {
  if (endless_interval_ms_ > 0) {
    // A trickle: each byte after its own pause, never at the line's pace.
    auto due = std::max(not_before, out_.empty() ? not_before : out_.back().due);
    for (const char c : endless_) {
      due += milliseconds(endless_interval_ms_);
      out_.push_back({std::string(1, c), due, false, true});
    }
  } else {
    Queue(endless_, not_before, /*endless=*/true);
  }
  out_.back().refill = true;
}

std::uint32_t Line::LineSpeed() const {
  const Scenario& s = model_.scenario();
  if (!s.line_speed_from_device) return s.line_speed;
  std::uint32_t rate = 0;
  return missivo::GetLineSpeed(slave_, rate) == 0 ? rate : 0;
}

// Cuts `bytes` into slices of the emulated line's pace (10 bits a byte), each due
// when the line has sent the one before.
void Line::Queue(const std::string& bytes, Clock::time_point not_before, bool endless) {
  if (bytes.empty()) return;
  auto start = std::max(not_before, out_.empty() ? not_before : out_.back().due);
  const std::uint32_t speed = LineSpeed();
  if (speed == 0) {
    out_.push_back({bytes, start, false, endless});
    return;
  }
  start = std::max(start, line_free_);
  const std::size_t per_slice =
      std::max<std::size_t>(1, static_cast<std::size_t>(speed / 10 * kSlice.count() / 1000));
  for (std::size_t at = 0; at < bytes.size(); at += per_slice) {
    const std::string slice = bytes.substr(at, per_slice);
    out_.push_back({slice, start, false, endless});
    start += std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(slice.size()) * 10.0 / speed));
  }
  line_free_ = start;
}

bool Line::SendDue() {
  while (!out_.empty() && out_.front().due <= Clock::now()) {
    Chunk& head = out_.front();
    if (head.hang_up) {
      int unread = 0;
      if (hang_up_give_up_ == Clock::time_point{}) hang_up_give_up_ = Clock::now() + kHangUpWait;
      if (::ioctl(slave_, TIOCINQ, &unread) == 0 && unread > 0 && Clock::now() < hang_up_give_up_) {
        return true;
      }
      Close();
      return false;
    }
    const ssize_t n = ::write(master_, head.bytes.data(), head.bytes.size());
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) return true;
      out_.pop_front();  // nobody can take it
      continue;
    }
    head.bytes.erase(0, static_cast<std::size_t>(n));
    if (!head.bytes.empty()) return true;
    const bool refill = head.refill;
    out_.pop_front();
    if (refill && !endless_.empty()) {
      // Back to poll() first, so the next command is still heard.
      QueueEndless(Clock::now());
      return true;
    }
  }
  return true;
}

void Line::Append(int fd, const std::string& bytes) const {
  if (fd < 0) return;
  [[maybe_unused]] const ssize_t written = ::write(fd, bytes.data(), bytes.size());
}

}  // namespace phonesim
