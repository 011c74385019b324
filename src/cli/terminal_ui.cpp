#include "cli/terminal_ui.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "cli/cli_args.h"
#include "cli/terminal_text.h"
#include "core/secrets.h"
#include "phone/serial/main_thread_invoker.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;
bool g_stop_delivered = false;
int g_stop_pipe[2] = {-1, -1};

void OnStopSignal(int) {
  g_stop = 1;
  const int saved_errno = errno;
  if (g_stop_pipe[1] >= 0) {
    [[maybe_unused]] const ssize_t written = ::write(g_stop_pipe[1], "s", 1);
  }
  errno = saved_errno;
}

void WriteErr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// The controlling terminal with its echo off until this goes.
class SilentTerminal {
 public:
  SilentTerminal() : fd_(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ < 0 || ::tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    restore_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~SilentTerminal() {
    if (restore_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    if (fd_ >= 0) ::close(fd_);
  }
  SilentTerminal(const SilentTerminal&) = delete;
  SilentTerminal& operator=(const SilentTerminal&) = delete;

  bool usable() const { return restore_; }

  void Write(const std::string& text) const {
    if (::write(fd_, text.data(), text.size()) < 0) return;
  }

  // One line without its line end; nothing at the end of input or on a stop.
  std::optional<std::string> ReadLine() const {
    std::string line;
    line.reserve(256);  // a password typed is not copied by the growing buffer
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, -1) < 0) {
        if (errno == EINTR && !g_stop) continue;
        return std::nullopt;
      }
      char c = 0;
      const ssize_t n = ::read(fd_, &c, 1);
      if (n < 0 && errno == EINTR && !g_stop) continue;
      if (n <= 0) {
        WipeString(line);
        return std::nullopt;
      }
      if (c == '\n') break;
      if (c != '\r') line.push_back(c);
    }
    return line;
  }

 private:
  int fd_;
  termios saved_{};
  bool restore_ = false;
};

}  // namespace

void InstallStopSignals() {
  if (g_stop_pipe[0] < 0 && ::pipe2(g_stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_stop_pipe[0] = g_stop_pipe[1] = -1;  // stops are then noticed at safe points only
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal_number, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
  return g_stop != 0;
}

void NoteStopDelivered() {
  g_stop_delivered = true;
}

int StopDescriptor() {
  return g_stop_pipe[0];
}

TerminalUserInterface::TerminalUserInterface() : progress_to_terminal_(::isatty(2) == 1) {}

TerminalUserInterface::~TerminalUserInterface() {
  if (password_) WipeString(*password_);
}

void TerminalUserInterface::SetPassword(std::string password) {
  if (password_) WipeString(*password_);
  password_ = std::move(password);
  WipeString(password);
}

void TerminalUserInterface::ForgetPassword() {
  if (password_) WipeString(*password_);
  password_.reset();
}

void TerminalUserInterface::ShowMessage(const std::string& text, MessageKind kind,
                                        const std::string& caption) {
  ClearLine();
  std::string line = "missivo-cli: ";
  if (kind == MessageKind::kError) line += "error: ";
  // The text may carry the phone's reply ("AT Command Error:").
  if (!caption.empty()) line += ForTerminal(caption, LineBreaks::kKept) + ": ";
  line += ForTerminal(text, LineBreaks::kKept);
  if (!line.ends_with('\n')) line += '\n';
  WriteErr(line);
  Draw();
}

bool TerminalUserInterface::AskYesNo(const std::string&) {
  return false;
}

void TerminalUserInterface::ProcessPendingEvents() {
  DefaultMainThreadInvoker().ProcessPending();
  if (StopRequested() && !g_stop_delivered) {
    NoteStopDelivered();
    throw CliError(kStoppedText, kExitInterrupted);
  }
}

void TerminalUserInterface::ShowProgress(int maximum, int position) {
  gauge_shown_ = true;
  maximum_ = maximum;
  position_ = position;
  Draw();
}

void TerminalUserInterface::SetProgressPosition(int position) {
  position_ = position;
  Draw();
}

void TerminalUserInterface::HideProgress() {
  gauge_shown_ = false;
  Draw();
}

void TerminalUserInterface::SetProgressText(const std::string& text) {
  text_ = Cp1251ToUtf8(text);
  Draw();
}

void TerminalUserInterface::Draw() {
  if (!progress_to_terminal_) return;
  std::string line = "\r\x1b[K" + text_;
  if (gauge_shown_) {
    if (!text_.empty()) line += ' ';
    line += std::to_string(position_);
    line += '/';
    line += std::to_string(maximum_);
  }
  line_drawn_ = line.size() > 4;
  WriteErr(line);
}

void TerminalUserInterface::ClearLine() {
  if (!progress_to_terminal_ || !line_drawn_) return;
  WriteErr("\r\x1b[K");
  line_drawn_ = false;
}

std::optional<std::string> TerminalUserInterface::AskPassword(const std::string& caption) {
  if (password_) return password_;
  if (!ask_on_terminal_) return std::nullopt;
  ClearLine();
  const SilentTerminal terminal;
  if (!terminal.usable()) return std::nullopt;
  terminal.Write(Cp1251ToUtf8(caption) + "\nPassword: ");
  std::optional<std::string> typed = terminal.ReadLine();
  if (typed) {
    std::string password = Utf8ToCp1251(*typed);
    WipeString(*typed);
    if (StopRequested()) WipeString(password);
    typed = std::move(password);
  }
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
  return typed;
}

}  // namespace missivo::cli
